# shellcheck shell=bash
# Helpers of the end-to-end script (sourced by run.sh): reporting, the program's process,
# windows, input, screenshots and pixels. Expects $work, $prog and $shots from run.sh; $WID and
# $MB name the main window and its menu bar height once the window is up. Conditions handed to
# check() and wait_for are shell text evaluated there, hence in single quotes.
# shellcheck disable=SC2016,SC2034,SC2154

passed=0
failed=0

e2e_started_ms=$(($(date +%s%N) / 1000000))
step() { printf '\n== %s  (at %d.%01d s)\n' "$1" $((($(now_ms) - e2e_started_ms) / 1000)) $((($(now_ms) - e2e_started_ms) % 1000 / 100)); }
pass() { passed=$((passed + 1)); printf 'PASS  %s\n' "$1"; }
fail() { failed=$((failed + 1)); printf 'FAIL  %s\n' "$1"; }
die() {
    printf 'FAIL  %s (stopping)\n' "$1"
    failed=$((failed + 1))
    finish
}
# check DESCRIPTION CONDITION: CONDITION is shell text, evaluated here.
check() {
    local what="$1"
    shift
    if eval "$*"; then pass "$what"; else fail "$what"; return 1; fi
}
finish() {
    printf '\n%d passed, %d failed in %d s\n' "$passed" "$failed" $((($(now_ms) - e2e_started_ms) / 1000))
    printf 'screenshots: %s\n' "$shots"
    [ "$failed" -eq 0 ] && exit 0
    exit 1
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# wait_for MILLISECONDS COMMAND...: run COMMAND every 50 ms until it succeeds or time is up.
wait_for() {
    local deadline=$(($(now_ms) + $1))
    shift
    while true; do
        "$@" && return 0
        [ "$(now_ms)" -ge "$deadline" ] && return 1
        sleep 0.05
    done
}

# Centre of a control given in twips (left top width height), as client pixels "x y".
tw_centre() { echo "$((($1 + $3 / 2) / 15)) $((($2 + $4 / 2) / 15))"; }

# --- the program's process -------------------------------------------------------------------
APP_PID=""
app_start() {
    "$prog/swatchly" >>"$work/app.log" 2>&1 &
    APP_PID=$!
}
app_kill_all() {
    if [ -n "$APP_PID" ] && kill -0 "$APP_PID" 2>/dev/null; then
        kill "$APP_PID" 2>/dev/null
        wait "$APP_PID" 2>/dev/null
    fi
}
app_log() {
    [ -s "$work/app.log" ] && { echo "--- program output:"; tail -n 30 "$work/app.log"; }
}
# app_wait_exit MILLISECONDS STATUS: the program ends in time with that exit status.
app_wait_exit() {
    local rc
    if ! wait_for "$1" eval '! kill -0 "$APP_PID" 2>/dev/null'; then
        echo "      still running after $1 ms"
        return 1
    fi
    wait "$APP_PID"
    rc=$?
    APP_PID=""
    [ "$rc" -eq "$2" ] || echo "      exit status $rc"
    [ "$rc" -eq "$2" ]
}

# --- windows ---------------------------------------------------------------------------------
find_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1; }
# wait_window TITLE MILLISECONDS: prints the id of the visible window with exactly that title.
wait_window() {
    local deadline=$(($(now_ms) + $2)) id
    while true; do
        id="$(find_window "$1")"
        [ -n "$id" ] && { echo "$id"; return 0; }
        [ "$(now_ms)" -ge "$deadline" ] && return 1
        sleep 0.05
    done
}
# wait_no_window TITLE-START MILLISECONDS
wait_no_window() {
    local gone_title="$1"
    wait_for "$2" eval '[ -z "$(xdotool search --onlyvisible --name "^$gone_title" 2>/dev/null)" ]'
}
# wait_title WINDOW TITLE
wait_title() {
    local title_window="$1" title_text="$2"
    wait_for 3000 eval '[ "$(xdotool getwindowname "$title_window" 2>/dev/null)" = "$title_text" ]'
}
win_info() { xwininfo -id "$1" 2>/dev/null; }
win_size() { win_info "$1" | awk '/^  Width:/{w=$2}/^  Height:/{h=$2}END{print w, h}'; }
win_pos() { win_info "$1" | awk '/Absolute upper-left X/{x=$4}/Absolute upper-left Y/{y=$4}END{print x "," y}'; }
win_geo() { echo "$(win_pos "$1") $(win_size "$1" | tr ' ' x)"; }
is_above() { xprop -id "$1" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_ABOVE; }
# wait_above WINDOW yes|no
wait_above() {
    local above_window="$1"
    if [ "$2" = yes ]; then wait_for 3000 is_above "$above_window"; else wait_for 3000 eval '! is_above "$above_window"'; fi
}
activate() {
    local active_window="$1"
    xdotool windowactivate "$active_window" 2>/dev/null
    wait_for 2000 eval '[ "$(xdotool getactivewindow 2>/dev/null)" = "$active_window" ]'
    sleep 0.1
}

# --- input, in client pixels of the main window (below its menu bar) --------------------------
click() { # x y [button]
    xdotool mousemove --window "$WID" "$1" $((MB + $2)) sleep 0.05 click "${3:-1}"
    sleep 0.15
}
# drag x y button dx dy: press, travel past the drag distance (the window manager's move starts
# there), wait for the window manager to take the pointer, travel on to dx dy in all, release. The
# window follows the whole way from the press: it moves by exactly dx dy.
drag() {
    xdotool mousemove --window "$WID" "$1" $((MB + $2)) sleep 0.1 mousedown "$3" sleep 0.05 \
        mousemove_relative -- 6 0 sleep 0.02 mousemove_relative -- 6 0 sleep 0.15 \
        mousemove_relative -- $(($4 - 12)) "$5" sleep 0.1 mouseup "$3"
    sleep 0.3
}

# --- clipboard -------------------------------------------------------------------------------
clip_is() {
    timeout 5 xclip -o -selection clipboard >"$work/clip" 2>/dev/null || return 1
    printf '%s' "$1" | cmp -s - "$work/clip"
}
check_clip() { # description expected
    if wait_for 3000 clip_is "$2"; then
        pass "$1"
    else
        fail "$1 (clipboard holds: '$(od -An -c "$work/clip" | xargs)')"
    fi
}

# --- screenshots and pixels ------------------------------------------------------------------
# A window that is gone makes import wait for ever: it gets 20 s.
shot() { timeout 20 import -window "$2" "$shots/$1.png"; }
# The screen around a window, with room for its open menus.
root_shot() {
    local pos x y
    pos="$(win_pos "$2")"
    x=$((${pos%,*} - 30)) y=$((${pos#*,} - 40))
    [ "$x" -lt 0 ] && x=0
    [ "$y" -lt 0 ] && y=0
    import -window root -crop "640x400+$x+$y" +repage "$shots/$1.png"
}
# pix FILE X Y: "r,g,b" of one pixel, 0..255.
pix() {
    convert "$1" -crop "1x1+$2+$3" +repage -depth 8 \
        -format '%[fx:round(255*r)],%[fx:round(255*g)],%[fx:round(255*b)]' info:
}
# Colours arrive as "r,g,b" and are split on the commas.
# shellcheck disable=SC2086
is_dark() { local IFS=,; set -- $1; [ "$1" -lt 100 ] && [ "$2" -lt 100 ] && [ "$3" -lt 100 ]; }
# letter_colour FILE XOFFSET: per-channel minima "r,g,b" over the 33x25 cell of a letter R, G or B
# in the client area: a coloured letter on a grey ground keeps its own channel high.
letter_colour() {
    convert "$1" -crop "33x25+$2+$MB" +repage \
        -format '%[fx:round(255*minima.r)],%[fx:round(255*minima.g)],%[fx:round(255*minima.b)]' info:
}
# shellcheck disable=SC2086
is_reddish() { local IFS=,; set -- $1; [ "$1" -gt 150 ] && [ "$2" -lt 60 ] && [ "$3" -lt 60 ]; }
# shellcheck disable=SC2086
is_greenish() { local IFS=,; set -- $1; [ "$1" -lt 60 ] && [ "$2" -gt 80 ] && [ "$3" -lt 60 ]; }
# shellcheck disable=SC2086
is_bluish() { local IFS=,; set -- $1; [ "$1" -lt 60 ] && [ "$2" -lt 60 ] && [ "$3" -gt 150 ]; }
# check_pixel DESCRIPTION FILE X Y R,G,B: one pixel of the client area (below the menu bar).
check_pixel() {
    local got
    got="$(pix "$2" "$3" $((MB + $4)))"
    if [ "$got" = "$5" ]; then pass "$1"; else fail "$1 (pixel at client $3,$4 is $got)"; fi
}
