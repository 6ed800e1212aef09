#!/usr/bin/env bash
# Client folders through a real login: xrdp and its session manager on the
# loopback address with the package's session scripts, Debian's rdesktop on
# an Xvfb display as the client, sharing a folder of this machine as drive
# QDRIVE. The test user's location has the client folder
# ~/thinclient_drives/QDRIVE/Docs and synchronises at connect time with the
# server as master (server to client with -overwriteIfDiff, then client to
# server with -skip), its transfer window shown. Checks that
#  - with the drive shared, the server's files reach the client's folder
#    (replacing a file that differs), the client's files reach the server
#    folder (keeping the server's file of the same name), both transfers end
#    with 0 and the workplace opens; the session's user sees the files in
#    the FUSE mount;
#  - without the drive, each transfer shows its failure in a message box in
#    the session and ends with 1, nothing is made under ~/thinclient_drives,
#    and the workplace opens after them;
#  - with a read-only client folder, the transfer to the client shows its
#    failure and ends with 1, the one to the server still copies and ends
#    with 0.
# Needs root, xrdp and /dev/fuse; skips with a message otherwise. Stops every
# daemon, client and session it started, unmounts what it mounted and
# removes its user, also when a check fails or it is stopped.
#
#   client_drive_test.sh PACKAGE.deb [LOG_DIR]
# QUILLON_DRIVE_PORT (default: QUILLON_XRDP_PORT, the login test's, plus 2,
# so 3391 beside 3389) and, for xrdp 0.9, QUILLON_DRIVE_SESMAN_PORT (default
# 3351) choose the loopback ports; sesman 0.10 listens on a socket in
# /run/xrdp instead. Screenshots of the sessions land in LOG_DIR (default: a
# temporary folder, kept when a check fails).
set -uo pipefail

deb=${1:?usage: client_drive_test.sh PACKAGE.deb [LOG_DIR]}
deb=$(readlink -f "$deb")
port=${QUILLON_DRIVE_PORT:-$((${QUILLON_XRDP_PORT:-3389} + 2))}
# xrdp-sesman 0.9 listens on a TCP port, 0.10 on a socket of its own.
sesman_port=
grep -q '^ListenPort=[0-9][0-9]*$' /etc/xrdp/sesman.ini 2>/dev/null && sesman_port=${QUILLON_DRIVE_SESMAN_PORT:-3351}
group=qlndrives
user=qlntd
marker="Quillon client drive test"
drive=QDRIVE  # at most 7 characters: xrdp cuts longer drive names

say() { echo "client drive test: $*"; }
skip() { say "SKIPPED: $*"; exit 0; }

[ "$(id -u)" -eq 0 ] || skip "needs root (a test user and the xrdp daemons)"
[ -r "$deb" ] || { say "no package $deb"; exit 2; }
[ -c /dev/fuse ] || skip "no /dev/fuse: xrdp cannot show client drives here"
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
install_missing() {
    local missing=() p
    for p in "$@"; do installed "$p" || missing+=("$p"); done
    [ ${#missing[@]} -eq 0 ] && return 0
    say "installing ${missing[*]}"
    { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"; } >/dev/null 2>&1 || skip "cannot install ${missing[*]}"
}
install_missing xrdp xorgxrdp rdesktop openbox x11-utils xdotool xvfb xauth imagemagick
# fusermount, from fuse or fuse3 (which also gives the name fusermount).
if ! command -v fusermount >/dev/null && ! command -v fusermount3 >/dev/null; then
    if ldd /usr/sbin/xrdp-chansrv 2>/dev/null | grep -q 'libfuse3'; then install_missing fuse3; else install_missing fuse; fi
fi
for p in $port $sesman_port; do
    if (exec 3<>/dev/tcp/127.0.0.1/"$p") 2>/dev/null; then
        skip "port $p is taken (QUILLON_DRIVE_PORT, QUILLON_DRIVE_SESMAN_PORT choose others)"
    fi
done
if getent passwd "$user" >/dev/null && [ "$(getent passwd "$user" | cut -d: -f5)" != "$marker" ]; then
    skip "a user $user exists that this test did not make"
fi

work=$(mktemp -d /tmp/quillon-drive.XXXXXX)
chmod 755 "$work"
log=${2:-$work/log}
mkdir -p "$log"
pids=()
failed=0
home=/home/$user

kill_user_processes() {
    local list
    for _ in 1 2 3 4 5; do
        list=$(pgrep -u "$user" 2>/dev/null) || return 0
        kill -KILL $list 2>/dev/null
        sleep 0.2
    done
}

# The channel server's FUSE mount outlives a killed session.
unmount_home() {
    local m
    for m in $(awk -v h="$home/" 'index($2, h) == 1 {print $2}' /proc/mounts); do
        umount -l "$m" 2>/dev/null
    done
}

cleanup() {
    local p
    for p in "${pids[@]}"; do kill -TERM "$p" 2>/dev/null; done
    sleep 0.5
    for p in "${pids[@]}"; do kill -KILL "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
    kill_user_processes
    unmount_home
    mountpoint -q "$work/readonly" && umount -l "$work/readonly"
    find /tmp/.X11-unix /tmp -maxdepth 1 -user "$user" -name '*X[0-9]*' -exec rm -f {} + 2>/dev/null
    rm -rf "/tmp/runtime-$user"
    getent passwd "$user" >/dev/null && userdel -r "$user" >/dev/null 2>&1
    getent group "$group" >/dev/null && groupdel "$group"
    if [ $failed -eq 0 ]; then rm -rf --one-file-system "$work"; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

fail() { say "FAILED: $*"; failed=1; }

# The package, unpacked. Its pontlet stands behind a note-taker that keeps
# each exit code and what the tool said, where the test can read them.
dpkg -x "$deb" "$work/root"
app=$work/root/opt/quillon
mv "$app/pontlet" "$app/pontlet.real"
cat >"$app/pontlet" <<EOF
#!/bin/sh
"\$(dirname "\$0")/pontlet.real" "\$@" 2>>"$work/notes/pontlet.err"
code=\$?
echo \$code >>"$work/notes/pontlet.exits"
exit \$code
EOF
chmod 755 "$app/pontlet"

if ! getent passwd "$user" >/dev/null && [ -d "$home" ]; then
    unmount_home
    rm -rf --one-file-system "$home"
fi
groupadd "$group"
password=$(head -c 12 /dev/urandom | base64 | tr -d '/+=')
useradd -m -s /bin/bash -c "$marker" -G "$group" "$user"
echo "$user:$password" | chpasswd
mkdir -p "$work/notes" && chown "$user" "$work/notes"

account=$(runuser -u "$user" -- "$app/quillonctl" whoami 2>/dev/null | sed -n 's/.*"account": *"\([^"]*\)".*/\1/p')
[ -n "$account" ] || { fail "quillonctl whoami gave no account"; exit 1; }
cat >"$work/config.json" <<JSON
{"schema": 1003, "entries": [
 {"type": 1, "name": "$account", "locations": [{"name": "Docs", "serverLocation": "$work/server",
  "clientLocation": "~/thinclient_drives/$drive/Docs", "syncEnabled": true, "connectAction": 3,
  "serverToClient": true, "clientToServer": true, "hideTransferWindow": false}]}]}
JSON
"$app/quillonctl" load "$work/config.json" "$app/userConfig.QLNData" || { fail "load"; exit 1; }
chmod 0644 "$app/userConfig.QLNData"
dry=$(cd / && runuser -u "$user" -- "$app/quillonctl" session --dry-run 2>&1)
[ "$(grep -c "^transfer: .*-ClientPath \"~/thinclient_drives/$drive/Docs/\"" <<<"$dry")" = 2 ] ||
    fail "the dry run does not name two transfers to ~/thinclient_drives/$drive/Docs: $dry"

# xrdp on loopback with its own copy of the configuration. xrdp reads the
# session manager's port from /etc/xrdp/sesman.ini only, so it runs in a
# mount namespace of its own in which the copy stands there.
etc=$work/etc
cp -a /etc/xrdp "$etc"
sed -i -e "0,/^port=/s|^port=.*|port=tcp://127.0.0.1:$port|" -e "s|^LogFile=.*|LogFile=$work/xrdp.log|" \
    -e 's|^EnableSyslog=.*|EnableSyslog=false|' "$etc/xrdp.ini"
sed -i -e "s|^DefaultWindowManager=.*|DefaultWindowManager=$etc/startwm.sh|" -e "s|^ListenPort=[0-9].*|ListenPort=$sesman_port|" \
    -e 's|^X11DisplayOffset=.*|X11DisplayOffset=60|' \
    -e "s|^LogFile=.*|LogFile=$work/sesman.log|" -e 's|^EnableSyslog=.*|EnableSyslog=false|' "$etc/sesman.ini"
"$app/quillon-xrdp-setup" --etc "$etc" "$group" >/dev/null 2>"$log/setup.err" || { fail "quillon-xrdp-setup"; exit 1; }

# Made by systemd where it runs; not in a chroot.
mkdir -p /run/xrdp
xrdp-sesman --nodaemon --config "$etc/sesman.ini" >"$log/sesman.out" 2>&1 &
pids+=($!)
unshare --mount --propagation private sh -c 'mount --bind "$1" /etc/xrdp/sesman.ini && exec xrdp --nodaemon --config "$2"' \
    sh "$etc/sesman.ini" "$etc/xrdp.ini" >"$log/xrdp.out" 2>&1 &
pids+=($!)
display=
for n in $(seq 80 89); do
    [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ] || { display=:$n; break; }
done
[ -n "$display" ] || { fail "no free display for the client"; exit 1; }
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)

# Polls a condition for up to $1 seconds of wall time (a look at the
# session may itself take a while on a busy machine).
within() {
    local end=$((SECONDS + $1)); shift
    until "$@"; do
        [ $SECONDS -lt "$end" ] || return 1
        sleep 0.2
    done
}
listening() { (exec 3<>/dev/tcp/127.0.0.1/"$port") 2>/dev/null && DISPLAY=$display xdpyinfo >/dev/null 2>&1; }
within 10 listening || { fail "xrdp or Xvfb did not start"; exit 1; }

# Runs an X client on the session display of a process, with its X cookie.
on_session() {
    local pid=$1; shift
    local env auth
    env=$(tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null) || return 1
    auth=$(sed -n 's/^XAUTHORITY=//p' <<<"$env")
    DISPLAY=$(sed -n 's/^DISPLAY=//p' <<<"$env") XAUTHORITY=${auth:-$home/.Xauthority} "$@"
}
user_process() { pgrep -u "$user" -x "$1" | head -1; }
workplace_shown() {
    local pid; pid=$(user_process quillon)
    [ -n "$pid" ] && on_session "$pid" xdotool search --onlyvisible --name ' - Quillon$' >/dev/null 2>&1
}
exits() { cat "$work/notes/pontlet.exits" 2>/dev/null | tr '\n' ' ' | sed 's/ $//'; }
exits_are() { [ "$(exits)" = "$1" ]; }

rdp=
connect() {
    # "yes" answers its question whether to trust the server's certificate.
    DISPLAY=$display rdesktop -u "$user" -p "$password" -g 1024x768 "$@" "127.0.0.1:$port" <<<yes \
        >>"$log/rdesktop.out" 2>&1 &
    rdp=$!
    pids+=($rdp)
}
disconnect() {
    kill "$rdp" 2>/dev/null; wait "$rdp" 2>/dev/null
    kill_user_processes
    unmount_home
}

# A login's transfers start afresh, with nothing noted.
fresh_notes() { rm -f "$work/notes/pontlet.exits" "$work/notes/pontlet.err"; }

# The failure box of the transfer titled $2 is up in the session: its
# failure ($1, a pattern) is noted, so its progress window, of the same
# title, has closed, and a window of that title is shown. Dismissed with
# Enter.
box_shown() {
    local pid; pid=$(user_process pontlet.real)
    [ -n "$pid" ] && grep -q "^pontlet: not copied: $1" "$work/notes/pontlet.err" 2>/dev/null &&
        on_session "$pid" xdotool search --onlyvisible --name "^$2\$" >/dev/null 2>&1
}
dismiss_box() {
    local name=$1 reason=$2 title=$3 pid wid
    if within 30 box_shown "$reason" "$title"; then
        pid=$(user_process pontlet.real)
        on_session "$pid" import -window root "$log/$name.png" 2>/dev/null
        say "$name: \"$title\" shows the failure in the session ($log/$name.png)"
        wid=$(on_session "$pid" xdotool search --onlyvisible --name "^$title\$" | head -1)
        on_session "$pid" xdotool windowactivate --sync "$wid" key Return 2>/dev/null
    else
        fail "$name: no message box \"$title\" with the failure ($reason)"
        pid=$(user_process quillon) && on_session "$pid" import -window root "$log/$name.png" 2>/dev/null
    fi
}

# Shared drive: the server's files reach the client and the client's the server.
mkdir -p "$work/server/sub" "$work/client/Docs"
echo "from the server" >"$work/server/s.txt"
echo "deep on the server" >"$work/server/sub/deep.txt"
echo "the server's version" >"$work/server/both.txt"
echo "from the client" >"$work/client/Docs/c.txt"
echo "the client's older version" >"$work/client/Docs/both.txt"
touch -d '2020-01-01' "$work/client/Docs/both.txt"
chmod -R a+rwX "$work/server"
fresh_notes
connect -r "disk:$drive=$work/client"
if within 45 workplace_shown; then
    say "shared drive: the workplace opened after the transfers"
else
    fail "shared drive: no workplace"
fi
exits_are "0 0" || fail "shared drive: pontlet exit codes '$(exits)', not '0 0' ($(cat "$work/notes/pontlet.err" 2>/dev/null))"
for f in s.txt sub/deep.txt both.txt; do
    cmp -s "$work/server/$f" "$work/client/Docs/$f" || fail "shared drive: $f did not reach the client"
done
cmp -s <(echo "from the client") "$work/server/c.txt" || fail "shared drive: c.txt did not reach the server"
cmp -s <(echo "the server's version") "$work/server/both.txt" || fail "shared drive: the server's both.txt was replaced"
seen=$(runuser -u "$user" -- ls "$home/thinclient_drives/$drive/Docs" 2>&1 | tr '\n' ' ')
[ "$seen" = "both.txt c.txt s.txt sub " ] || fail "shared drive: the session's user sees '$seen' in the drive"
[ $failed -eq 0 ] && say "shared drive: files copied both ways as the location says (exit codes $(exits))"
pid=$(user_process quillon) && on_session "$pid" import -window root "$log/shared.png" 2>/dev/null
disconnect

# No drive shared: each transfer's failure reaches the user, nothing is made.
fresh_notes
connect
unshared=": the client does not share the drive $drive"
dismiss_box "not-shared-to-client" "$work/server/\\?$unshared" "Pontlet - Sending Files To Client"
dismiss_box "not-shared-to-server" "$home/thinclient_drives/$drive/Docs/\\?$unshared" "Pontlet - Sending Files To Server"
within 20 workplace_shown || fail "not shared: no workplace after the transfers"
within 5 exits_are "1 1" || fail "not shared: pontlet exit codes '$(exits)', not '1 1'"
disconnect
leftover=$(ls -A "$home/thinclient_drives" 2>/dev/null)
[ -z "$leftover" ] || fail "not shared: left in ~/thinclient_drives: $leftover"

# A read-only client folder: nothing reaches it, the other way still works.
mkdir -p "$work/readonly/Docs"
echo "from a read-only client" >"$work/readonly/Docs/r.txt"
mount --bind "$work/readonly" "$work/readonly" && mount -o remount,bind,ro "$work/readonly" ||
    fail "read-only: cannot make a read-only folder"
fresh_notes
connect -r "disk:$drive=$work/readonly"
dismiss_box "read-only" "$work/server/s.txt: " "Pontlet - Sending Files To Client"
within 20 workplace_shown || fail "read-only: no workplace after the transfers"
within 5 exits_are "1 0" || fail "read-only: pontlet exit codes '$(exits)', not '1 0'"
cmp -s "$work/readonly/Docs/r.txt" "$work/server/r.txt" || fail "read-only: r.txt did not reach the server"
[ -e "$work/readonly/Docs/s.txt" ] && fail "read-only: a file was written to the read-only folder"
disconnect
umount -l "$work/readonly"

if [ $failed -ne 0 ]; then
    say "logs and screenshots in $log"
    exit 1
fi
say "all checks passed (screenshots in $log)"
