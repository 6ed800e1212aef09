#!/usr/bin/env bash
# Installs the package on this machine as an administrator would, upgrades
# it, removes and purges it, and checks that the configuration folder gets
# the README's permissions and that the configuration and its .bak and
# .unreadable copies survive every step unchanged; where xrdp is installed,
# that removing the package takes the xrdp rule out again. Needs root and a
# machine without Quillon; skips otherwise. Leaves nothing behind.
#
#   install_test.sh PACKAGE.deb
set -uo pipefail

deb=$(readlink -f "${1:?usage: install_test.sh PACKAGE.deb}")
dir=/opt/quillon
say() { echo "install test: $*"; }
[ "$(id -u)" -eq 0 ] || { say "SKIPPED: needs root"; exit 0; }
if dpkg-query -W -f='${Status}' quillon 2>/dev/null | grep -q installed || [ -e "$dir" ]; then
    say "SKIPPED: Quillon is already on this machine ($dir)"
    exit 0
fi

work=$(mktemp -d /tmp/quillon-install.XXXXXX)
cleanup() {
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq quillon >/dev/null 2>&1
    rm -rf "$dir" "$work"
}
trap cleanup EXIT
failures=0
fail() { say "FAILED: $*"; failures=$((failures + 1)); }
apt_get() { DEBIAN_FRONTEND=noninteractive apt-get "$@" -y -qq --no-install-recommends >"$work/apt.log" 2>&1 || {
    fail "apt-get $*: $(tail -3 "$work/apt.log")"; return 1; }; }

# An older version of the same package, so that the second install is an upgrade.
dpkg-deb -R "$deb" "$work/old"
sed -i 's/^Version: .*/Version: 0.0.1/' "$work/old/DEBIAN/control"
dpkg-deb -b --root-owner-group "$work/old" "$work/quillon_0.0.1_amd64.deb" >/dev/null

apt_get install "$work/quillon_0.0.1_amd64.deb" || exit 1
folder_as_readme() {
    local want_group=root
    getent group sudo >/dev/null && want_group=sudo
    [ "$(stat -c '%a %G' "$dir")" = "2775 $want_group" ] || fail "$1: $dir is $(stat -c '%a %G' "$dir")"
}
folder_as_readme "install"
[ -e "$dir/userConfig.QLNData" ] && fail "install made a configuration"
[ -e "$dir/open-with.conf" ] && fail "install made an open-with table"

# The administrator's configuration, one that nobody else may read, and the
# copies the program keeps beside it.
echo '{"schema": 1003, "entries": [{"type": 2, "name": "HOST\\staff"}]}' >"$work/config.json"
/usr/bin/quillonctl load "$work/config.json" "$dir/userConfig.QLNData" || fail "quillonctl load"
echo "backup" >"$dir/userConfig.QLNData.bak"
echo "unreadable" >"$dir/userConfig.QLNData.unreadable"
chmod 600 "$dir"/userConfig.QLNData*
echo "application/pdf /usr/bin/true %f" >"$dir/open-with.conf"
sums() { (cd "$dir" && sha256sum userConfig.QLNData* open-with.conf); }
before=$(sums)

apt_get install "$deb"
[ "$(dpkg-query -W -f='${Version}' quillon)" = "$(dpkg-deb -f "$deb" Version)" ] || fail "no upgrade"
folder_as_readme "upgrade"
[ "$(sums)" = "$before" ] || fail "the upgrade changed the configuration or its copies"
[ "$(stat -c %a "$dir/userConfig.QLNData")" = 644 ] || fail "the configuration is not readable by all"
[ "$(stat -c %a "$dir/userConfig.QLNData.bak")" = 600 ] || fail "the backup's permissions changed"
version=$(dpkg-deb -f "$deb" Version)
[ "$(/usr/bin/quillon --version)" = "quillon ${version%%~*}" ] || fail "quillon --version"
for page in quillonctl quillon-xrdp-setup; do
    man -w $page >/dev/null 2>&1 || fail "man finds no $page page"
done

# The xrdp rule set up as the README says; removing the package gives back
# xrdp's files as they were, and says so.
xrdp=/etc/xrdp
xrdp_files="startwm.sh sesman.ini xrdp.ini"
rule=false
if [ -f "$xrdp/startwm.sh" ] && ! grep -qs -e '^# BEGIN quillon' -e '^; quillon-xrdp-setup ' "$xrdp"/*; then
    mkdir "$work/xrdp" && (cd "$xrdp" && cp -p $xrdp_files "$work/xrdp/")
    "$dir/quillon-xrdp-setup" root >/dev/null 2>&1 || fail "quillon-xrdp-setup root"
    grep -q '^# BEGIN quillon' "$xrdp/startwm.sh" || fail "quillon-xrdp-setup set no rule"
    rule=true
fi

# Without conffiles a removed package is gone for apt; dpkg still purges.
for step in "apt_get remove" "dpkg --purge"; do
    $step quillon >>"$work/apt.log" 2>&1 || fail "$step"
    if $rule; then
        grep -q 'taking the Quillon rule out' "$work/apt.log" || fail "$step did not say it takes the xrdp rule out"
        for f in $xrdp_files; do
            cmp -s "$xrdp/$f" "$work/xrdp/$f" || { fail "$step left $xrdp/$f changed"; cp -p "$work/xrdp/$f" "$xrdp/$f"; }
        done
        rule=false
    fi
    [ "$(sums)" = "$before" ] || fail "$step lost or changed the configuration or its copies"
    [ -e "$dir/quillon" ] && fail "$step left the program"
done

if [ $failures -ne 0 ]; then
    say "$failures checks failed"
    exit 1
fi
say "install, upgrade, remove and purge kept the configuration and its copies"
