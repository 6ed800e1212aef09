#!/usr/bin/env bash
# Tries to leave the workplace as a determined user would: a user outside
# group sudo, in a kiosk session (Xvfb, the shipped openbox configuration,
# `quillon service` traced with strace), drives every known way out with
# xdotool. Fails on any program started other than quillon, pontlet, the
# listed viewer, the logon program and the system's D-Bus launcher; on any
# folder listed that is /, another user's home or the folder a link leads
# out to; on reading or copying a file from outside the location.
# Needs root; skips with a message where it cannot run. Removes its user.
#
#   kiosk_breakout_test.sh BUILD_BIN_DIR SOURCE_DIR
# The trace and screenshots are kept (and named) when a check fails.
set -uo pipefail

say() { echo "breakout test: $*"; }
skip() { say "SKIPPED: $*"; exit 0; }

bin=$(readlink -f "${1:?usage: kiosk_breakout_test.sh BUILD_BIN_DIR SOURCE_DIR}")
src=$(readlink -f "${2:?usage: kiosk_breakout_test.sh BUILD_BIN_DIR SOURCE_DIR}")
user=qlnbreak
marker="Quillon breakout test"

[ "$(id -u)" -eq 0 ] || skip "needs root (a test user and its session)"
for f in quillon pontlet quillonctl Quillon.html; do
    [ -f "$bin/$f" ] || { say "FAILED: no $bin/$f"; exit 2; }
done
missing=()
for p in xvfb openbox xdotool strace x11-utils xclip imagemagick; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"; } >/dev/null 2>&1 || skip "cannot install ${missing[*]}"
fi
if getent passwd "$user" >/dev/null; then
    [ "$(getent passwd "$user" | cut -d: -f5)" = "$marker" ] || skip "a user $user exists that this test did not make"
    pkill -KILL -u "$user"; sleep 0.5; userdel -r "$user" >/dev/null 2>&1  # left by a killed run
fi
strace -f -o /dev/null true 2>/dev/null || skip "strace cannot trace here"

work=$(mktemp -d /tmp/quillon-breakout.XXXXXX)
chmod 755 "$work"
pids=()
failures=0
passes=0

cleanup() {
    exec 2>/dev/null  # no job notices for the programs killed here
    local p
    # The user's programs first, so that none complains of a lost display.
    for _ in 1 2 3 4 5; do pkill -KILL -u "$user" 2>/dev/null || break; sleep 0.2; done
    for p in "${pids[@]}"; do kill -TERM "$p" 2>/dev/null; wait "$p" 2>/dev/null; done  # Xvfb removes its lock
    getent passwd "$user" >/dev/null && userdel -r "$user" >/dev/null 2>&1
    if [ $failures -eq 0 ]; then rm -rf "$work"; else say "trace and screenshots in $work"; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP PIPE

# Polls a condition for up to $1 seconds.
within() {
    local limit=$(($1 * 10)); shift
    for _ in $(seq "$limit"); do "$@" && return 0; sleep 0.1; done
    return 1
}

# --- The user, their home and their location --------------------------------
[ -d "/home/$user" ] && ! getent passwd "$user" >/dev/null && rm -rf --one-file-system "/home/$user"
useradd -m -s /bin/bash -c "$marker" "$user" || { say "FAILED: useradd"; failures=1; exit 1; }
home=/home/$user
loc=$home/loc
outside=$work/outside
secret=$outside/secret.txt
mkdir -p "$loc" "$outside" "$home/.config" "$home/.local/share/applications"
echo "secret" >"$secret"
echo "paste me" >"$home/paste-me.txt"
echo "a note" >"$loc/note.txt"
base64 -d >"$loc/photo.png" <<<'iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8BQDwAEhQGAhKmMIQAAAABJRU5ErkJggg=='
head -c 512 /dev/urandom >"$loc/unknown.bin"
ln -s / "$loc/rootlink"
ln -s "$outside" "$loc/outlink"
# What the desktop's openers would run for this user.
printf '%s\n' 'application/octet-stream; xterm -e bash' 'text/html; xterm -e bash' 'image/*; xterm -e bash' \
    >"$home/.mailcap"
printf '%s\n' '[Desktop Entry]' 'Type=Application' 'Name=Evil' 'Exec=xterm -e bash' \
    'MimeType=text/plain;text/html;image/png;application/octet-stream;inode/directory;' \
    >"$home/.local/share/applications/evil.desktop"
{
    echo '[Default Applications]'
    for t in text/plain text/html image/png application/octet-stream inode/directory; do echo "$t=evil.desktop"; done
} >"$home/.config/mimeapps.list"
chown -R "$user:" "$home"
chmod -R a+rX "$outside"

# --- The programs, as an administrator installs them ------------------------
stage=$work/opt
mkdir -p "$stage/kiosk"
cp "$bin/quillon" "$bin/pontlet" "$bin/quillonctl" "$bin/Quillon.html" "$stage/"
cp "$src/packaging/session/kiosk/openbox-rc.xml" "$stage/kiosk/"
touch "$work/viewer.log" "$work/logon.log"
chown "$user:" "$work/viewer.log" "$work/logon.log"
# Shell built-ins only: each stub is one execve in the trace.
printf '#!/bin/sh\necho "$*" >>%s\n' "$work/viewer.log" >"$stage/viewer"
printf '#!/bin/sh\necho "logon" >>%s\n' "$work/logon.log" >"$stage/logon"
echo "text/plain $stage/viewer %f" >"$stage/open-with.conf"
account=$(cd / && runuser -u "$user" -- "$stage/quillonctl" whoami 2>/dev/null |
    sed -n 's/.*"account": *"\([^"]*\)".*/\1/p')
cat >"$work/config.json" <<JSON
{"schema": 1003, "entries": [{"type": 1, "name": "$account",
 "locations": [{"name": "Docs", "serverLocation": "$loc", "clientLocation": "$home/no-such-client",
   "syncEnabled": true, "manualTransfer": true, "rightMouseButton": true}],
 "script": {"programPath": "$stage/logon", "enabled": true}}]}
JSON
"$stage/quillonctl" load "$work/config.json" "$stage/userConfig.QLNData" >/dev/null ||
    { say "FAILED: quillonctl load"; failures=1; exit 1; }
chmod -R a+rX,go-w "$stage"
chmod 755 "$stage/viewer" "$stage/logon"
config_sum=$(sha256sum <"$stage/userConfig.QLNData")

# --- The session: Xvfb, the kiosk openbox, quillon service under strace ------
display=
for n in $(seq 70 89); do
    [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ] || { display=:$n; break; }
done
[ -n "$display" ] || skip "no free X display number"
export DISPLAY=$display
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
within 10 xdpyinfo >/dev/null 2>&1 || skip "Xvfb does not start"
install -d -m 700 -o "$user" "$work/run"
session_env=(env -i HOME="$home" USER="$user" LOGNAME="$user" SHELL=/bin/bash LANG=C.UTF-8
    PATH=/usr/local/bin:/usr/bin:/bin DISPLAY="$display" XDG_RUNTIME_DIR="$work/run")
wm_up() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
for _ in 1 2; do  # a second try where the first one did not take the screen
    runuser -u "$user" -- "${session_env[@]}" openbox --sm-disable --config-file "$stage/kiosk/openbox-rc.xml" \
        >>"$work/openbox.out" 2>&1 &
    pids+=($!)
    within 15 wm_up && break
done
wm_up || { failures=1; skip "openbox does not start (its output is in $work/openbox.out)"; }
mkdir "$work/trace"
(cd "$home" && exec "${session_env[@]}" strace -ff --seccomp-bpf -ttt -y -qq -u "$user" -e trace=execve,openat \
    -o "$work/trace/t" "$stage/quillon" service >"$work/quillon.out" 2>&1) &
pids+=($!)

main_window() { xdotool search --onlyvisible --name ' - Quillon$' 2>/dev/null | head -1; }
within 30 main_window >/dev/null || { say "FAILED: no workplace window"; failures=1; exit 1; }
qpid=$(pgrep -u "$user" -x quillon | head -1)
main=$(main_window)

now() { date +%s.%N; }
shot() { import -window root "$work/$1.png" 2>/dev/null; }
windows() { xdotool search --onlyvisible --pid "$1" 2>/dev/null | sort; }
# Prints the first window of process $1 that is not in the list $2.
new_window() { comm -13 <(echo "$2") <(windows "$1") | grep -m1 .; }
gone() { ! xwininfo -id "$1" 2>/dev/null | grep -q 'IsViewable'; }
focus_main() { xdotool windowactivate --sync "$main" >/dev/null 2>&1; }
keys() { xdotool key --clearmodifiers --delay 150 "$@"; }

# What the trace shows from time $1 (to $2): programs started other than the
# allowed ones, folders listed that lie outside, outside files opened.
allowed="^($stage/(quillon|pontlet|viewer|logon)|(/usr)?(/local)?/s?bin/dbus-(launch|daemon))\$"
violations() {
    cat "$work"/trace/t.* 2>/dev/null | awk -v from="$1" -v to="${2:-9e99}" -v allowed="$allowed" -v home="$home" \
        -v outside="$outside" -v files="^($secret|$home/paste-me.txt)\$" '
        $1 + 0 < from + 0 || $1 + 0 > to + 0 { next }
        / execve\("/ {
            p = $0; sub(/^[^"]*"/, "", p); sub(/".*/, "", p)
            if (p !~ allowed) print "started " p
            next
        }
        / openat\(/ && / = [0-9]+<.*>$/ {
            p = $0; sub(/.* = [0-9]+</, "", p); sub(/>$/, "", p)
            if (p ~ files) print "opened " p
            if ($0 !~ /O_DIRECTORY/ || $0 ~ /O_PATH/) next
            if (p == "/" || p == "/home" || p == home || index(p "/", outside "/") == 1 ||
                p ~ /^\/root(\/|$)/ || (p ~ /^\/home\/[^\/]+/ && index(p "/", home "/") != 1))
                print "listed " p
        }' | sort -u | head -5 | paste -sd ';' | sed 's/;/; /g'
}

# Records one vector's verdict: $1 its name, then the reasons it failed.
verdict() {
    local name=$1; shift
    local why; why=$(printf '%s; ' "$@" | sed 's/^; //; s/\(; \)*$//')
    if [ -z "$why" ]; then
        say "PASSED: $name"; passes=$((passes + 1))
    else
        say "FAILED: $name: $why"; failures=$((failures + 1))
        shot "$(echo "$name" | tr -c 'a-zA-Z0-9\n' '-')"
    fi
}

lines() { wc -l <"$1"; }
within 10 test -s "$work/logon.log" || true
xdotool mousemove 1279 1023  # off the rows and buttons: no tooltip windows
# The locations tree has the focus at start; Tab gives it to the folder's
# rows, where typing selects by name. Dialogs hand it back when they close.
loc_read() { cat "$work"/trace/t.* 2>/dev/null | grep -q "<$loc>\$"; }
within 10 loc_read; sleep 0.5  # the rows are read on a worker thread
focus_main; keys Tab

# Closes window $1 as a user does (Alt+F4), making sure it has the focus.
close_window() {
    xdotool windowactivate --sync "$1" >/dev/null 2>&1
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ] && keys alt+F4
    within 5 gone "$1"
}

# Waits for a message box of quillon (a window not in $1) and answers it
# with Enter; says why not otherwise.
answer_box() {
    local box
    if box=$(within 10 new_window "$qpid" "$1"); then
        xdotool windowactivate --sync "$box" key Return >/dev/null 2>&1
        within 5 gone "$box" || echo "the message box did not close"
    else
        echo "no message box"
    fi
}

# Runs a vector: $1 names it, the rest is the function that tries it,
# which adds its own reasons to why; then the trace since its start.
vector() {
    local name=$1 v; shift
    start=$(now); before=$(windows "$qpid"); why=()
    "$@"
    sleep 0.5
    v=$(violations "$start"); [ -z "$v" ] || why+=("$v")
    verdict "$name" "${why[@]}"
}
add() { [ -z "$1" ] || why+=("$1"); }

open_listed() {
    focus_main; keys n Return
    within 10 grep -q 'note\.txt' "$work/viewer.log" || add "the listed viewer did not get note.txt"
    local w; w=$(new_window "$qpid" "$before") && { add "a window came up"; close_window "$w"; }
}
# Enter on the entry whose name starts with $1: refused with a message box.
open_refused() {
    local viewed; viewed=$(lines "$work/viewer.log")
    focus_main; keys "$1" Return
    add "$(answer_box "$before")"
    [ "$(lines "$work/viewer.log")" = "$viewed" ] || add "the viewer ran"
    # Back into the location if the view went through the link.
    focus_main; keys alt+Left
}
help_inside() {
    local w
    focus_main; keys F1
    if w=$(within 10 new_window "$qpid" "$before"); then
        close_window "$w" || add "the help window did not close"
    else
        add "no help window"
    fi
}
paste_outside() {
    local listing; listing=$(ls -A "$loc")
    printf 'file://%s\r\nfile://%s\r\n' "$home/paste-me.txt" "$secret" >"$work/uris"
    chmod 644 "$work/uris"
    runuser -u "$user" -- env DISPLAY="$display" xclip -selection clipboard -t text/uri-list -i "$work/uris" \
        >/dev/null 2>&1
    focus_main; keys ctrl+v
    add "$(answer_box "$before")"
    sleep 0.5
    [ "$(ls -A "$loc")" = "$listing" ] || add "the location changed: $(ls -A "$loc" | tr '\n' ' ')"
}
manual_window() {
    local p w
    focus_main; keys alt+s l
    if ! within 10 pgrep -u "$user" -x pontlet >/dev/null; then add "pontlet did not start"; return; fi
    p=$(pgrep -u "$user" -x pontlet | head -1)
    if w=$(within 10 new_window "$p" ""); then
        sleep 1  # both panes list their folders
        # Into both links of the server pane, then the client pane's first row.
        xdotool windowactivate --sync "$w" >/dev/null 2>&1
        keys o Right; sleep 0.5; keys r Right Tab Home Right; sleep 1
        shot manual-window
        close_window "$w" || add "pontlet's window did not close"
    else
        add "no pontlet window"
    fi
    within 5 sh -c "! kill -0 $p 2>/dev/null" || { add "pontlet did not end"; kill "$p" 2>/dev/null; }
}
mouse_menu() {
    local x y p
    read -r x y < <(xwininfo -id "$main" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
        END {print x, y}')
    focus_main
    xdotool mousemove $((x + 20)) $((y + 10)) click 1
    if p=$(within 5 new_window "$qpid" "$before"); then
        keys Escape; within 3 gone "$p" || add "the menu did not close"
    else
        add "a click on File opened no menu"
    fi
    keys Escape  # the menu bar keeps the keys after its menu closed
    xdotool mousemove 1279 1023
}
# An administrator key ($1): nothing may change, nothing may come up.
admin_key() {
    local w d
    focus_main
    import -window "$main" "$work/before-$1.png" 2>/dev/null
    keys "$1"
    within 5 sh -c "[ \$(wc -l <'$work/logon.log') -gt 1 ]" && add "the logon program ran again"
    if w=$(new_window "$qpid" "$before"); then add "a window came up"; keys Escape; fi
    import -window "$main" "$work/after-$1.png" 2>/dev/null
    d=$(compare -metric AE -fuzz 10% "$work/before-$1.png" "$work/after-$1.png" null: 2>&1)
    [[ $d =~ ^[0-9.e+]+$ ]] && awk -v d="$d" 'BEGIN { exit !(d + 0 < 5000) }' ||
        add "the workplace changed ($d pixels differ)"
    [ "$(sha256sum <"$stage/userConfig.QLNData")" = "$config_sum" ] || add "the configuration changed"
}

first=$(now)
vector "open note.txt (listed type): the listed viewer" open_listed
vector "open photo.png (unlisted type; mimeapps.list, ~/.mailcap)" open_refused p
vector "open unknown.bin (unlisted type; ~/.mailcap)" open_refused u
vector "F1: help inside quillon" help_inside
vector "Enter on rootlink -> /" open_refused r
vector "Enter on a link to an outside folder" open_refused o
vector "paste of outside files (text/uri-list)" paste_outside
vector "manual transfer window, missing client folder" manual_window
vector "mouse click on the File menu" mouse_menu
vector "Ctrl+N" admin_key ctrl+n
vector "Ctrl+O" admin_key ctrl+o

why=()
kill -0 "$qpid" 2>/dev/null || add "quillon ended"
[ "$(lines "$work/logon.log")" = 1 ] || add "the logon program ran $(lines "$work/logon.log") times"
add "$(violations 0 "$first")"
verdict "the session: its start, the logon program once, still running" "${why[@]}"

say "$passes passed, $failures failed"
[ $failures -eq 0 ]
