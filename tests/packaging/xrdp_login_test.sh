#!/usr/bin/env bash
# Logs in through xrdp as a user would, with the package's programs and
# session scripts: xrdp and its session manager on the loopback address,
# xfreerdp on an Xvfb display as the client. Checks that
#  - a member of the workplace group gets the workplace filling the screen,
#    in several logins in a row (the screen appears late under xorgxrdp),
#    that a mouse click on its File menu in the client opens the menu, and
#    that File > Exit ends the session;
#  - a member without locations goes on in the desktop shell;
#  - a user outside the group gets the ordinary desktop;
#  - a client asking for its own program (/shell:xterm, RemoteApp /app:)
#    gets the workplace or nothing, never an xterm, where xrdp can refuse
#    it (0.10 on): there the setup sets AllowAlternateShell=false without a
#    warning; on 0.9 it warns instead;
#  - quillon-xrdp-setup --remove gives back xrdp's own files unchanged.
# xrdp listens on QUILLON_XRDP_PORT (default 3389), so that a second run, in
# a Debian 13 root on the same machine, can use another port.
# Needs root and xrdp from Debian; skips with a message otherwise. Stops every
# daemon, client and session it started and removes its users.
#
#   xrdp_login_test.sh PACKAGE.deb [LOG_DIR]
# Screenshots of the client's screen land in LOG_DIR (default: a temporary
# folder, kept when a check fails).
set -uo pipefail

deb=${1:?usage: xrdp_login_test.sh PACKAGE.deb [LOG_DIR]}
deb=$(readlink -f "$deb")
logins=${QUILLON_XRDP_LOGINS:-3}
group=qlnworkplace
users=(qlnta qlntb qlntc)  # workplace, no locations, outside the group
marker="Quillon xrdp login test"

say() { echo "xrdp login test: $*"; }
skip() { say "SKIPPED: $*"; exit 0; }

[ "$(id -u)" -eq 0 ] || skip "needs root (test users and the xrdp daemons)"
[ -r "$deb" ] || { say "no package $deb"; exit 2; }
port=${QUILLON_XRDP_PORT:-3389}
# FreeRDP 2 on Debian 12, 3 from Debian 13 on; xterm to ask for.
freerdp=freerdp2-x11 xfreerdp=xfreerdp
if [ "$(. /etc/os-release && echo "$VERSION_CODENAME")" != bookworm ]; then
    freerdp=freerdp3-x11 xfreerdp=xfreerdp3
fi
packages=(xrdp xorgxrdp $freerdp openbox x11-utils xdotool xvfb xauth imagemagick xterm)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    say "installing ${missing[*]}"
    { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"; } >/dev/null 2>&1 || skip "cannot install ${missing[*]}"
fi
# xrdp-sesman 0.10 listens on a socket of its own, 0.9 on 3350.
sesman_port=$(sed -n 's/^ListenPort=\([0-9][0-9]*\)$/\1/p' /etc/xrdp/sesman.ini)
for p in $port $sesman_port; do
    if (exec 3<>/dev/tcp/127.0.0.1/$p) 2>/dev/null; then
        skip "port $p is taken: an xrdp already runs here"
    fi
done
for u in "${users[@]}"; do
    if getent passwd "$u" >/dev/null && [ "$(getent passwd "$u" | cut -d: -f5)" != "$marker" ]; then
        skip "a user $u exists that this test did not make"
    fi
done

work=$(mktemp -d /tmp/quillon-xrdp.XXXXXX)
chmod 755 "$work"
log=${2:-$work/log}
mkdir -p "$log"
pids=()
failed=0

kill_user_processes() {
    local u=$1 list
    for _ in 1 2 3 4 5; do
        list=$(pgrep -u "$u" 2>/dev/null) || return 0
        kill -KILL $list 2>/dev/null
        sleep 0.2
    done
}

# xrdp's channel server mounts ~/thinclient_drives with FUSE where fuse is
# installed; a mount left behind keeps the home from being removed.
unmount_home() {
    local m
    for m in $(awk -v h="/home/$1/" 'index($2, h) == 1 {print $2}' /proc/mounts); do
        umount -l "$m" 2>/dev/null
    done
}

cleanup() {
    local p
    for p in "${pids[@]}"; do kill -TERM "$p" 2>/dev/null; done
    sleep 0.5
    for p in "${pids[@]}"; do kill -KILL "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
    for u in "${users[@]}"; do
        kill_user_processes "$u"
        unmount_home "$u"
        # The X servers of the sessions leave their sockets and locks.
        find /tmp/.X11-unix /tmp -maxdepth 1 -user "$u" -name '*X[0-9]*' -exec rm -f {} + 2>/dev/null
        getent passwd "$u" >/dev/null && userdel -r "$u" >/dev/null 2>&1
    done
    getent group "$group" >/dev/null && groupdel "$group"
    if [ $failed -eq 0 ]; then rm -rf "$work"; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

fail() { say "FAILED: $*"; failed=1; }

# The package, unpacked; its scripts find everything beside themselves.
dpkg -x "$deb" "$work/root"
app=$work/root/opt/quillon
mkdir -p "$work/docs" && echo "hello" >"$work/docs/readme.txt" && chmod -R a+rX "$work/docs"

# A home a killed earlier run left behind (its user is gone) would belong to
# nobody the new user is, and the session could not start in it.
for u in "${users[@]}"; do
    if ! getent passwd "$u" >/dev/null && [ -d "/home/$u" ]; then
        unmount_home "$u"
        rm -rf --one-file-system "/home/$u"
    fi
done

groupadd "$group"
password=$(head -c 12 /dev/urandom | base64 | tr -d '/+=')
for u in "${users[@]}"; do
    useradd -m -s /bin/bash -c "$marker" "$u"
    echo "$u:$password" | chpasswd
done
usermod -aG "$group" qlnta
usermod -aG "$group" qlntb

# The deployment steps of the README, as the test users see them. The
# account comes as JSON text, backslash escaped, ready for the JSON below.
account=$(runuser -u qlnta -- "$app/quillonctl" whoami 2>/dev/null | sed -n 's/.*"account": *"\([^"]*\)".*/\1/p')
[ -n "$account" ] || { fail "quillonctl whoami gave no account"; exit 1; }
cat >"$work/config.json" <<JSON
{"schema": 1003, "entries": [
 {"type": 1, "name": "$account", "locations": [{"name": "Docs", "serverLocation": "$work/docs"}]}]}
JSON
"$app/quillonctl" load "$work/config.json" "$app/userConfig.QLNData" || { fail "load"; exit 1; }
chmod 0644 "$app/userConfig.QLNData"
dry_a=$(cd / && runuser -u qlnta -- "$app/quillonctl" session --dry-run 2>&1)
dry_b=$(cd / && runuser -u qlntb -- "$app/quillonctl" session --dry-run 2>&1)
[ "$dry_a" = "logoff: armed" ] || fail "dry run of qlnta: $dry_a"
[ "$dry_b" = "shell: x-session-manager" ] || fail "dry run of qlntb: $dry_b"

# xrdp on loopback with its own copy of the configuration.
etc=$work/etc
cp -a /etc/xrdp "$etc"
sed -i -e "0,/^port=/s|^port=.*|port=tcp://127.0.0.1:$port|" -e "s|^LogFile=.*|LogFile=$work/xrdp.log|" \
    -e 's|^EnableSyslog=.*|EnableSyslog=false|' "$etc/xrdp.ini"
sed -i -e "s|^DefaultWindowManager=.*|DefaultWindowManager=$etc/startwm.sh|" \
    -e "s|^LogFile=.*|LogFile=$work/sesman.log|" -e 's|^EnableSyslog=.*|EnableSyslog=false|' "$etc/sesman.ini"
cp -a "$etc" "$work/etc.before"
"$app/quillon-xrdp-setup" --etc "$etc" "$group" >/dev/null 2>"$log/setup.err" || { fail "quillon-xrdp-setup"; exit 1; }
grep -q '^EnableUserWindowManager=false' "$etc/sesman.ini" || fail "the per-user start script is still on"
grep -q '^rail=false' "$etc/xrdp.ini" || fail "RemoteApp is still open"
# xrdp refuses a client's own program from 0.10 on; before, the setup warns.
version=$(xrdp-sesman --version 2>/dev/null | grep -o '[0-9][0-9]*\.[0-9][0-9]*' | head -1)
refuses=false
[ "${version%%.*}" -gt 0 ] || [ "${version#*.}" -ge 10 ] && refuses=true
if $refuses; then
    grep -q '^AllowAlternateShell=false$' "$etc/sesman.ini" || fail "xrdp $version: alternate shells stay allowed"
    [ -s "$log/setup.err" ] && fail "xrdp $version: the setup warned: $(cat "$log/setup.err")"
else
    grep -q 'its own program' "$log/setup.err" || fail "xrdp $version: the setup did not warn about the client's own program"
fi

# Made by systemd where it runs; not in a chroot.
mkdir -p /run/xrdp
xrdp-sesman --nodaemon --config "$etc/sesman.ini" >"$log/sesman.out" 2>&1 &
pids+=($!)
xrdp --nodaemon --config "$etc/xrdp.ini" >"$log/xrdp.out" 2>&1 &
pids+=($!)
display=
for n in $(seq 90 99); do
    [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ] || { display=:$n; break; }
done
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do
    (exec 3<>/dev/tcp/127.0.0.1/$port) 2>/dev/null && DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break
    sleep 0.2
done

# Polls a condition for up to $1 seconds.
within() {
    local limit=$(($1 * 5)); shift
    for _ in $(seq "$limit"); do "$@" && return 0; sleep 0.2; done
    return 1
}

# Runs an X client on the session display of a process, with its X cookie.
on_session() {
    local pid=$1; shift
    local env home auth
    env=$(tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null) || return 1
    home=$(sed -n 's/^HOME=//p' <<<"$env")
    auth=$(sed -n 's/^XAUTHORITY=//p' <<<"$env")
    DISPLAY=$(sed -n 's/^DISPLAY=//p' <<<"$env") XAUTHORITY=${auth:-$home/.Xauthority} "$@"
}

user_process() { pgrep -u "$1" -x "$2" | head -1; }

shot() { import -display "$display" -window root "$log/$1.png" 2>/dev/null; }

rdp=
connect() {
    local user=$1; shift
    DISPLAY=$display $xfreerdp /v:127.0.0.1:$port /u:"$user" /p:"$password" /cert:ignore /size:1024x768 "$@" \
        >"$log/xfreerdp-$user.out" 2>&1 &
    rdp=$!
    pids+=($rdp)
}
disconnect() { kill "$rdp" 2>/dev/null; wait "$rdp" 2>/dev/null; kill_user_processes "$1"; }

# The workplace's window covers the whole session screen and stays so.
window_fills_screen() {
    local pid=$1 wid root w h
    wid=$(on_session "$pid" xdotool search --onlyvisible --name ' - Quillon$' 2>/dev/null | head -1)
    [ -n "$wid" ] || return 1
    root=$(on_session "$pid" xwininfo -root | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w, h}')
    read -r w h < <(on_session "$pid" xwininfo -id "$wid" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w, h}')
    geometry="${w}x${h} on ${root/ /x}"
    [ "$w" = "${root% *}" ] && [ "$h" -ge $((${root#* } - 40)) ]
}

ended() { ! kill -0 "$1" 2>/dev/null; }

# A menu of the workplace is up: a mapped window of its process whose type
# is a drop-down or pop-up menu.
menu_open() {
    local pid=$1 w
    for w in $(on_session "$pid" xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
        on_session "$pid" xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q '_MENU' && return 0
    done
    return 1
}
menu_closed() { ! menu_open "$1"; }

# Clicks the File menu of the workplace with the mouse in the client's
# window: the menu bar's first item, just inside the window's top left.
click_file_menu() {
    local pid=$1 wid x y rdp_wid
    wid=$(on_session "$pid" xdotool search --onlyvisible --name ' - Quillon$' 2>/dev/null | head -1)
    [ -n "$wid" ] || return 1
    read -r x y < <(on_session "$pid" xwininfo -id "$wid" |
        awk '/Absolute upper-left X:/{x=$4} /Absolute upper-left Y:/{y=$4} END{print x, y}')
    rdp_wid=$(DISPLAY=$display xdotool search --onlyvisible --class xfreerdp 2>/dev/null | head -1)
    [ -n "$rdp_wid" ] || return 1
    DISPLAY=$display xdotool mousemove --window "$rdp_wid" $((x + 16)) $((y + 10)) click 1
}

# One login of the workplace user: the window must fill the screen and stay
# so; File > Exit, typed into the client, must end the session.
workplace_login() {
    local name=$1 pid
    connect qlnta
    if ! within 30 user_process qlnta quillon >/dev/null; then
        fail "$name: no workplace started"; shot "$name"; disconnect qlnta; return
    fi
    pid=$(user_process qlnta quillon)
    geometry=
    if within 20 window_fills_screen "$pid" && sleep 1 && window_fills_screen "$pid"; then
        say "$name: the workplace fills the screen ($geometry)"
    else
        fail "$name: the workplace does not fill the screen (${geometry:-no window})"
    fi
    shot "$name"
    DISPLAY=$display xdotool search --class xfreerdp windowfocus --sync 2>/dev/null
    if menu_open "$pid"; then
        fail "$name: a menu is open before the click"
    elif click_file_menu "$pid" && within 10 menu_open "$pid"; then
        say "$name: a mouse click opens the File menu"
    else
        fail "$name: a mouse click does not open the File menu"
    fi
    shot "$name-menu"
    DISPLAY=$display xdotool key Escape
    within 10 menu_closed "$pid" || fail "$name: Escape does not close the menu"
    DISPLAY=$display xdotool key --delay 300 alt+f x
    if within 20 ended "$pid" && within 20 ended "$rdp"; then
        say "$name: File > Exit ended the session"
    else
        fail "$name: File > Exit did not end the session"; shot "$name-exit"
    fi
    disconnect qlnta
}

for i in $(seq "$logins"); do
    workplace_login "login $i of qlnta"
done
# The same without a window manager: the test's copy of the session script
# starts none, and the workplace must place itself over the late screen.
sed -i 's/command -v openbox >/false >/' "$app/quillon-session"
for i in $(seq "$logins"); do
    workplace_login "login $i of qlnta without a window manager"
done

# A client asking for its own program gets the workplace or nothing, never
# the program: watched for 20 s, or until the client gives up.
own_program() {
    local name=$1 seen=nothing; shift
    connect qlnta "$@"
    for _ in $(seq 100); do
        [ -n "$(user_process qlnta xterm)" ] && { seen=xterm; break; }
        [ -n "$(user_process qlnta quillon)" ] && seen=workplace
        ended "$rdp" && break
        sleep 0.2
    done
    shot "$name"
    if [ $seen = xterm ]; then fail "$name: the client got its xterm"; else say "$name: the client got $seen, no xterm"; fi
    disconnect qlnta
}
if $refuses; then
    own_program "own program (/shell:xterm)" /shell:xterm
    remoteapp=/app:xterm; [ "$xfreerdp" = xfreerdp3 ] && remoteapp=/app:program:xterm
    own_program "RemoteApp ($remoteapp)" "$remoteapp"
else
    say "xrdp $version cannot refuse a client's own program: the setup warns instead (checked above)"
fi

# The desktop's window manager runs for the user, and is not the kiosk one.
desktop_runs() {
    local pid; pid=$(user_process "$1" openbox)
    [ -n "$pid" ] && ! tr '\0' ' ' <"/proc/$pid/cmdline" | grep -q kiosk
}

# Without locations: quillon hands over to the desktop shell, which stays.
connect qlntb
if within 30 desktop_runs qlntb && sleep 3 && ! ended "$rdp" && desktop_runs qlntb &&
    [ -z "$(user_process qlntb quillon)" ]; then
    say "qlntb (no locations): the session goes on in the desktop shell"
else
    fail "qlntb (no locations): no desktop shell session"
fi
shot qlntb
disconnect qlntb

# Outside the group: the ordinary desktop, no workplace.
connect qlntc
if within 30 desktop_runs qlntc && sleep 2 && [ -z "$(user_process qlntc quillon)" ] &&
    ! ended "$rdp"; then
    say "qlntc (not in $group): the ordinary desktop"
else
    fail "qlntc (not in $group): not the ordinary desktop"
fi
shot qlntc
disconnect qlntc

# Taken out again, the setup leaves xrdp's own files as they were.
"$app/quillon-xrdp-setup" --etc "$etc" --remove >/dev/null || fail "quillon-xrdp-setup --remove"
diff -r "$work/etc.before" "$etc" >"$log/remove.diff" || fail "--remove did not restore xrdp's files (remove.diff)"

if [ $failed -ne 0 ]; then
    say "logs and screenshots in $log"
    exit 1
fi
say "all checks passed (screenshots in $log)"
