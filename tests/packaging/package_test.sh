#!/usr/bin/env bash
# Checks the Debian package made by scripts/package: unpacked into a scratch
# root with dpkg -x, every file stands where the manual pages and the README
# say, the programs are stripped and answer --help and --version without a
# display, the manual pages render cleanly, and lintian finds no error.
#
#   package_test.sh PACKAGE.deb SOURCE_DIR
set -uo pipefail

deb=$(readlink -f "${1:?usage: package_test.sh PACKAGE.deb SOURCE_DIR}")
src=$(readlink -f "${2:?usage: package_test.sh PACKAGE.deb SOURCE_DIR}")
say() { echo "package test: $*"; }
for tool in dpkg-deb man lintian file; do
    command -v "$tool" >/dev/null || { say "SKIPPED: $tool is missing (scripts/deps.sh installs it)"; exit 0; }
done

root=$(mktemp -d /tmp/quillon-package.XXXXXX)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
failures=0
fail() { say "FAILED: $*"; failures=$((failures + 1)); }
version=$(dpkg-deb -f "$deb" Version)
[ "$(basename "$deb")" = "quillon_${version}_amd64.deb" ] || fail "package file name $(basename "$deb")"
# The package carries the release it was built on; the programs their own version.
release=$(. /etc/os-release && echo "$VERSION_ID")
[ "${version#*~}" = "deb$release" ] || fail "version $version names no Debian $release"
version=${version%%~*}

# What stands where: x executable, f file, l link to the program in /opt.
while read -r kind path; do
    case $kind in
        x) [ -f "$root$path" ] && [ -x "$root$path" ] || fail "no program $path" ;;
        f) [ -f "$root$path" ] || fail "no file $path" ;;
        l) [ "$(readlink "$root$path")" = "/opt/quillon/$(basename "$path")" ] || fail "no link $path" ;;
    esac
done <<'LIST'
x /opt/quillon/quillon
x /opt/quillon/quillonctl
x /opt/quillon/pontlet
x /opt/quillon/quillon-session
x /opt/quillon/quillon-xrdp-setup
f /opt/quillon/Quillon.html
f /opt/quillon/open-with.conf.example
f /opt/quillon/kiosk/openbox-rc.xml
f /opt/quillon/icons/quillon48.png
l /usr/bin/quillon
l /usr/bin/quillonctl
l /usr/bin/pontlet
f /usr/share/man/man1/quillon.1.gz
f /usr/share/man/man1/quillonctl.1.gz
f /usr/share/man/man1/pontlet.1.gz
f /usr/share/man/man1/quillon-session.1.gz
f /usr/share/man/man8/quillon-xrdp-setup.8.gz
f /usr/share/applications/quillon.desktop
f /usr/share/icons/hicolor/16x16/apps/quillon.png
f /usr/share/icons/hicolor/32x32/apps/quillon.png
f /usr/share/icons/hicolor/48x48/apps/quillon.png
f /usr/share/doc/quillon/copyright
f /usr/share/doc/quillon/changelog.gz
LIST

# Every path the manual pages and the README name under /opt/quillon is in
# the package, except the configuration, its copies and the open-with table,
# which are the administrator's.
named=$( (zcat "$root"/usr/share/man/man*/*.gz; cat "$src/README.md") |
    grep -o '/opt/quillon/[A-Za-z0-9_.-]*' | sort -u | grep -v -e 'userConfig\.QLNData' -e 'open-with\.conf$')
for path in $named; do
    [ -e "$root$path" ] || fail "$path is named in a manual page or the README but not in the package"
done

for program in quillon quillonctl pontlet; do
    file "$root/opt/quillon/$program" | grep -q ', stripped' || fail "$program is not stripped"
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/opt/quillon/$program" --version 2>&1)
    [ "$out" = "$program $version" ] || fail "$program --version said: $out"
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/opt/quillon/$program" --help 2>/dev/null) ||
        fail "$program --help failed"
    grep -qi 'exit codes' <<<"$out" || fail "$program --help names no exit codes"
done

for page in man1/quillon.1 man1/quillonctl.1 man1/pontlet.1 man1/quillon-session.1 man8/quillon-xrdp-setup.8; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/usr/share/man/$page.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man $page: $warnings"
done

# The xrdp rule on copies of xrdp's files as 0.9.21 (Debian 12) and 0.10
# (Debian 13) ship them, with the version a stand-in xrdp-sesman reports:
# the rule once however often it is set, first after the interpreter line;
# the per-user start script and RemoteApp closed, alternate shells refused
# where the option exists and warned about where not; --remove gives back
# every file byte for byte.
setup=$root/opt/quillon/quillon-xrdp-setup
gid=$(getent group root | cut -d: -f3)
mkdir -p "$root/bin"
while IFS='|' read -r version security knows; do
    etc=$root/etc-xrdp-$version
    mkdir -p "$etc"
    printf '#!/bin/sh\necho "xrdp-sesman %s"\n' "$version" >"$root/bin/xrdp-sesman"
    chmod +x "$root/bin/xrdp-sesman"
    printf '#!/bin/sh\n. ~/.profile\nexec /etc/X11/Xsession\n' >"$etc/startwm.sh"
    printf '[Globals]\nini_version=1\n\n[Channels]\n; Channel names not listed here will be blocked by XRDP.\nrdpdr=true\nrail=true\n\n[Xorg]\nname=Xorg\n#channel.rail=true\nchannel.rail=true\n' >"$etc/xrdp.ini"
    printf ';; See `man 5 sesman.ini` for details\n\n[Globals]\nEnableUserWindowManager=true\n\n[Security]\nAllowRootLogin=true\n; When AlwaysGroupCheck=false access will be permitted\n%b\n[Sessions]\nX11DisplayOffset=10\n' \
        "$security" >"$etc/sesman.ini"
    mkdir -p "$etc.orig" && cp -p "$etc"/* "$etc.orig/"
    run() { PATH=$root/bin:$PATH "$setup" --etc "$etc" "$@"; }
    run no-such-group-here >/dev/null 2>&1 && fail "$version: setup accepted an unknown group"
    diff -r "$etc" "$etc.orig" >/dev/null || fail "$version: a refused setup changed a file"
    run root >/dev/null 2>&1 && err=$(run root 2>&1 >/dev/null) || fail "$version: setup failed"
    [ "$(grep -c "id -G) \" in \*\" $gid \"\*) .* exec \"/" "$etc/startwm.sh")" = 1 ] || fail "$version: the rule is not there once"
    [ "$(sed -n 2p "$etc/startwm.sh" | cut -c1-15)" = "# BEGIN quillon" ] || fail "$version: the rule is not first"
    [ "$(grep -c '^EnableUserWindowManager=false$' "$etc/sesman.ini")" = 1 ] || fail "$version: the per-user start script stays on"
    [ "$(sed -n '/^\[Channels\]/,/^\[Xorg\]/p' "$etc/xrdp.ini" | grep -c '^rail=false$')" = 1 ] ||
        fail "$version: RemoteApp stays open"
    grep -q '^channel\.rail=true' "$etc/xrdp.ini" && fail "$version: a session type keeps RemoteApp open"
    refused=$(sed -n '/^\[Security\]/,/^\[Sessions\]/p' "$etc/sesman.ini" | grep -c '^AllowAlternateShell=false$')
    if [ "$knows" = yes ]; then
        [ "$refused" = 1 ] || fail "$version ($security): alternate shells stay allowed"
        [ -z "$err" ] || fail "$version: a warning where the option exists: $err"
    else
        grep -q AllowAlternateShell "$etc/sesman.ini" && fail "$version: an option this xrdp does not know"
        grep -q 'its own program' <<<"$err" || fail "$version: no warning about the client's own program"
    fi
    run --remove >/dev/null || fail "$version: setup --remove failed"
    for f in startwm.sh sesman.ini xrdp.ini; do
        cmp -s "$etc/$f" "$etc.orig/$f" || fail "$version ($security): --remove did not give back $f"
    done
done <<'CASES'
0.9.21.1|RestrictOutboundClipboard=none|no
0.10.1|; Set to 'no' to prevent users from logging in with alternate shells\n#AllowAlternateShell=true|yes
0.10.2|;AllowAlternateShell=true|yes
0.10.3|RestrictInboundClipboard=none|yes
0.10.4|AllowAlternateShell=true\n#AllowAlternateShell=false|yes
CASES

# Without xrdp the setup says so and changes nothing; its help is its
# leading comment, no code.
err=$("$setup" --etc "$root/no-xrdp" root 2>&1) && fail "setup without xrdp succeeded"
grep -q 'xrdp is not installed' <<<"$err" || fail "setup without xrdp said: $err"
"$setup" --help | grep -q -e '^set ' -e '^etc=' && fail "setup --help prints code"

# The rule hands a member to the session script, and to the ordinary desktop
# once the script is gone (the package removed).
mkdir -p "$root/fall/etc"
cp "$setup" "$root/fall/"
printf '#!/bin/sh\necho desktop\n' >"$root/fall/etc/startwm.sh"
: >"$root/fall/etc/sesman.ini"; : >"$root/fall/etc/xrdp.ini"
"$root/fall/quillon-xrdp-setup" --etc "$root/fall/etc" root >/dev/null 2>&1 || fail "setup beside no session script"
for session in workplace missing; do
    rm -f "$root/fall/quillon-session"
    [ $session = missing ] || printf '#!/bin/sh\necho workplace\n' >"$root/fall/quillon-session"
    chmod +x "$root/fall/quillon-session" 2>/dev/null
    want=$session; [ $session = missing ] && want=desktop
    [ "$(sh "$root/fall/etc/startwm.sh" 2>&1)" = $want ] || fail "a member with the session script $session does not get the $want"
done

if command -v desktop-file-validate >/dev/null; then
    out=$(desktop-file-validate "$root/usr/share/applications/quillon.desktop") || fail "desktop entry: $out"
fi
# No error; the tags kept are explained in the README.
lintian_out=$(lintian --fail-on error "$deb" 2>&1) || fail "lintian: $lintian_out"
say "lintian: $(grep -c '^[EW]:' <<<"$lintian_out") errors and warnings"

if [ $failures -ne 0 ]; then
    say "$failures checks failed"
    exit 1
fi
say "all checks passed for $(basename "$deb")"
