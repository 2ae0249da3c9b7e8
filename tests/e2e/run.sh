#!/usr/bin/env bash
# End-to-end test of Swatchly as a user meets it: a real X server (Xvfb), a real window manager
# (openbox), real mouse and keyboard input (xdotool), the real clipboard (xclip) and real files.
#
# Usage: tests/e2e/run.sh path/to/swatchly
#
# The executable and the swatchly.hlp built beside it are copied into a fresh program folder, so
# palette files and the single-instance lock never touch anything else. Screenshots go to
# $E2E_SHOTS (default: a new temporary folder, printed at the start and the end).
# Every check prints one PASS or FAIL line; the exit status is 0 only if every check passed.

# Conditions handed to check() are shell text that it evaluates, hence in single quotes:
# shellcheck disable=SC2016,SC2034
set -uo pipefail
export LC_ALL=C.UTF-8

here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=lib.sh
. "$here/lib.sh"

if [ $# -ne 1 ] || [ ! -x "$1" ]; then
    echo "usage: $0 path/to/swatchly" >&2
    exit 2
fi
exe_src="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
help_src="$(dirname "$exe_src")/swatchly.hlp"
[ -f "$help_src" ] || { echo "missing $help_src (the build places it beside the executable)" >&2; exit 2; }
for tool in Xvfb openbox xdotool xwininfo xprop xclip xsetroot import convert; do
    command -v "$tool" >/dev/null || { echo "missing tool: $tool" >&2; exit 2; }
done

work="$(mktemp -d "${TMPDIR:-/tmp}/swatchly-e2e.XXXXXX")"
prog="$work/program"
mkdir -p "$prog" "$work/runtime" "$work/config"
chmod 700 "$work/runtime"
cp "$exe_src" "$prog/swatchly"
cp "$help_src" "$prog/swatchly.hlp"
shots="${E2E_SHOTS:-$(mktemp -d "${TMPDIR:-/tmp}/swatchly-e2e-shots.XXXXXX")}"
mkdir -p "$shots"
echo "program folder: $prog"
echo "screenshots:    $shots"

xvfb_pid=""
wm_pid=""
# shellcheck disable=SC2317  # called by the trap
cleanup() {
    app_kill_all
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# --- X server and window manager ------------------------------------------------------------
# -displayfd lets the server take the first free display number itself (atomically, through its
# lock file) and tell us which one, so parallel runs never race for a number.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.05
done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; die "Xvfb did not start"; }
DISPLAY=":$(head -n1 "$work/display")"
export DISPLAY
echo "display:        $DISPLAY"

XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/config" XDG_DATA_HOME="$work/config" openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm_pid=$!
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' || die "openbox did not start"

# The program's environment: X11, no scaling, its own runtime folder for the instance lock.
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="$work/runtime"
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING
unset QT_FONT_DPI QT_STYLE_OVERRIDE

title_full="Swatchly：フルカラーモード"
title_save="マイパレットを保存します"
title_load="マイパレットを読み込みます"
title_help="Swatchly ヘルプ"

# Layout positions in twips (15 twips = 1 pixel), from the top-left corner of the client area.
# Centres of the controls used below, in client pixels.
read -r letterR_x letterR_y <<<"16 12"                                 # Label1(0), above its slider
read -r hex_x hex_y <<<"$(tw_centre 1560 600 1575 495)"                # lblHex
read -r bare_x bare_y <<<"$(tw_centre 3135 600 225 495)"               # bare area between lblHex and optColor
read -r hint_x hint_y <<<"$(tw_centre 0 3480 4575 375)"                # lblExplain
read -r save_x save_y <<<"$(tw_centre 3540 1920 495 375)"              # cmdColor(0)
read -r load_x load_y <<<"$(tw_centre 4020 1920 495 375)"              # cmdColor(1)
read -r copy_x copy_y <<<"$(tw_centre 1560 2280 3015 495)"             # cmdColor(2)
read -r format_x format_y <<<"$(tw_centre 2160 2760 615 615)"          # cmdColor(4)
read -r palette_x palette_y <<<"$(tw_centre 2760 2760 615 615)"        # cmdColor(5)
read -r top_x top_y <<<"$(tw_centre 3360 2760 615 615)"                # cmdColor(6)
read -r quit_x quit_y <<<"$(tw_centre 3960 2760 615 615)"              # cmdColor(7)
read -r sw0_x sw0_y <<<"$(tw_centre 1620 1200 495 375)"                # lblPallete(0)
read -r sw1_x sw1_y <<<"$(tw_centre 2100 1200 495 375)"                # lblPallete(1)
read -r sw2_x sw2_y <<<"$(tw_centre 2580 1200 495 375)"                # lblPallete(2)
read -r sw3_x sw3_y <<<"$(tw_centre 3060 1200 495 375)"                # lblPallete(3)
read -r sw12_x sw12_y <<<"$(tw_centre 1620 1920 495 375)"              # lblPallete(12)
red_track_x=$((495 / 30))                                              # VScrColor(0): 0,480 495x2895
red_track_y=$(((480 + 2895) / 15 - 30))                                # in the track, below the thumb
# The file panel: the list at 10,10 (1455x1845), the name box 20 twips below it, the OK button
# under the name box (save) or in its place (load), the back button under the OK button.
read -r list_x list_y <<<"$(tw_centre 10 10 1455 375)"                 # first row of FilPallete
read -r name_x name_y <<<"$(tw_centre 10 1865 1455 375)"               # txtPallete
read -r oksave_x oksave_y <<<"$(tw_centre 10 2240 1455 495)"           # cmdOK, save mode
read -r back_x back_y <<<"$(tw_centre 10 2735 1455 495)"               # cmdCancel, save mode
read -r okload_x okload_y <<<"$(tw_centre 10 1865 1455 495)"           # cmdOK, load mode

# ===========================================================================================
step "1. start-up: window, title, client size"
t0=$(now_ms)
app_start
WID="$(wait_window "$title_full" 15000)"
if [ -z "$WID" ]; then
    fail "no visible window titled \"$title_full\" within 15 s"
    app_log
    die "cannot go on without the window"
fi
pass "window \"$title_full\" visible after $(($(now_ms) - t0)) ms"
read -r win_w win_h <<<"$(win_size "$WID")"
MB=$((win_h - 258))
check "window width is the client width 307 px (got $win_w)" '[ "$win_w" -eq 307 ]'
check "window height is 258 px client + a menu bar (got $win_h, menu bar $MB px)" '[ "$MB" -ge 12 ] && [ "$MB" -le 40 ]'
hints="$(xprop -id "$WID" WM_NORMAL_HINTS)"
check "the window has a fixed size: min = max = ${win_w}x${win_h}" \
    'grep -q "minimum size: $win_w by $win_h" <<<"$hints" && grep -q "maximum size: $win_w by $win_h" <<<"$hints"'
shot 01-start "$WID"
# The hint line is the lowest control (client y 232..256): its border must sit exactly there,
# which pins the client area's size and its place below the menu bar.
check "hint line border at client y 232 and 256, white inside (client area placed under the menu bar)" \
    'is_dark "$(pix "$shots/01-start.png" 150 $((MB + 232)))" &&
     is_dark "$(pix "$shots/01-start.png" 150 $((MB + 256)))" &&
     [ "$(pix "$shots/01-start.png" 3 $((MB + 244)))" = "255,255,255" ]'
check_pixel "swatch lblPallete(0) is white at start" "$shots/01-start.png" "$sw0_x" "$sw0_y" 255,255,255
letter_r="$(letter_colour "$shots/01-start.png" 0)"
letter_g="$(letter_colour "$shots/01-start.png" 32)"
letter_b="$(letter_colour "$shots/01-start.png" 64)"
check "letters R, G, B drawn red, green, blue (darkest channels $letter_r / $letter_g / $letter_b)" \
    'is_reddish "$letter_r" && is_greenish "$letter_g" && is_bluish "$letter_b"'

# ===========================================================================================
step "2. a second start ends at once"
t0=$(now_ms)
timeout 10 "$prog/swatchly" >"$work/second.log" 2>&1
rc=$?
elapsed=$(($(now_ms) - t0))
check "second start exits with status 0 (got $rc) in $elapsed ms (< 3000)" '[ "$rc" -eq 0 ] && [ "$elapsed" -lt 3000 ]'
sleep 0.3
count=$(xdotool search --onlyvisible --name '^Swatchly' 2>/dev/null | wc -l)
check "still exactly one Swatchly window (got $count)" '[ "$count" -eq 1 ]'
check "the first instance still runs" 'kill -0 "$APP_PID"'

# ===========================================================================================
step "3. dragging the window by its labels and background"
drag_check() { # name x y button dx dy expect_dx expect_dy
    local before after want_dx="$7" want_dy="$8"
    before="$(win_pos "$WID")"
    drag "$2" "$3" "$4" "$5" "$6"
    after="$(win_pos "$WID")"
    local dx=$((${after%,*} - ${before%,*})) dy=$((${after#*,} - ${before#*,}))
    check "$1: window moved by ($dx,$dy), expected ($want_dx,$want_dy)" '[ "$dx" -eq "$want_dx" ] && [ "$dy" -eq "$want_dy" ]'
}
drag_check "left drag on the letter R" "$letterR_x" "$letterR_y" 1 60 40 60 40
drag_check "right drag on the letter R" "$letterR_x" "$letterR_y" 3 60 40 0 0
drag_check "left drag on lblHex" "$hex_x" "$hex_y" 1 -60 -40 -60 -40
drag_check "left drag on the bare window area" "$bare_x" "$bare_y" 1 40 30 40 30
drag_check "left drag on a swatch" "$sw1_x" "$sw1_y" 1 30 30 0 0
# A click with no time between press and release (as a tap on a touchpad gives) starts no move:
# the window stays where it is when the pointer moves on.
for surface in "letter R:$letterR_x:$letterR_y" "lblHex:$hex_x:$hex_y" "hint line:$hint_x:$hint_y" \
    "bare window area:$bare_x:$bare_y"; do
    IFS=: read -r name x y <<<"$surface"
    before="$(win_pos "$WID")"
    xdotool mousemove --window "$WID" "$x" $((MB + y)) sleep 0.1 click 1 sleep 0.1 mousemove_relative -- 60 40 sleep 0.3
    check "xdotool click 1 on the $name, then a pointer move: the window stays at $before" \
        '[ "$(win_pos "$WID")" = "$before" ]'
done
shot 03-after-clicks "$WID"
drag_check "a drag on the letter R after the clicks still moves it" "$letterR_x" "$letterR_y" 1 30 -20 30 -20

# ===========================================================================================
step "4. always on top: menu and toolbar button"
geo0="$(win_geo "$WID")"
topmost_menu() {
    activate "$WID"
    xdotool key alt+o
    sleep 0.3
    xdotool key Right
    sleep 0.3
    [ -n "${1:-}" ] && root_shot "$1" "$WID"
    xdotool key Return
}
topmost_menu 04-menu-window-topmost
check "menu 基本設定 → ウィンドウの設定 → 常に手前に表示 sets _NET_WM_STATE_ABOVE" 'wait_above "$WID" yes'
check "geometry unchanged ($geo0)" '[ "$(win_geo "$WID")" = "$geo0" ]'
topmost_menu
check "choosing it again clears _NET_WM_STATE_ABOVE" 'wait_above "$WID" no'
check "geometry unchanged" '[ "$(win_geo "$WID")" = "$geo0" ]'
click "$top_x" "$top_y"
check "toolbar button cmdColor(6) sets _NET_WM_STATE_ABOVE" 'wait_above "$WID" yes'
check "geometry unchanged" '[ "$(win_geo "$WID")" = "$geo0" ]'
shot 04-topmost-on "$WID"
click "$top_x" "$top_y"
check "cmdColor(6) again clears it" 'wait_above "$WID" no'
topmost_menu
wait_above "$WID" yes >/dev/null
click "$top_x" "$top_y"
check "on from the menu, off from the button: both paths share one state" 'wait_above "$WID" no'
check "geometry unchanged after six toggles" '[ "$(win_geo "$WID")" = "$geo0" ]'

# ===========================================================================================
step "5. copy to the clipboard in the three formats"
click "$copy_x" "$copy_y"
check_clip "copy at start-up gives FFFFFF" "FFFFFF"
targets="$(timeout 5 xclip -o -selection clipboard -t TARGETS 2>/dev/null)"
check "clipboard offers text only (no image, no html)" \
    'grep -q UTF8_STRING <<<"$targets" && ! grep -qiE "image/|text/html" <<<"$targets"'
# Three clicks in the red track below the thumb: three page steps of 16 down from 255.
for _ in 1 2 3; do
    click "$red_track_x" "$red_track_y"
done
click "$copy_x" "$copy_y"
check_clip "three page steps on the red slider, copy gives CFFFFF (207,255,255)" "CFFFFF"
click "$format_x" "$format_y"
click "$copy_x" "$copy_y"
check_clip "format button once: #CFFFFF" "#CFFFFF"
click "$format_x" "$format_y"
shot 05-format-vb "$WID"
click "$copy_x" "$copy_y"
check_clip "format button twice: &HFFFFCF (blue first, one ampersand)" "&HFFFFCF"
click "$format_x" "$format_y"
click "$copy_x" "$copy_y"
check_clip "format button a third time: back to CFFFFF" "CFFFFF"

# ===========================================================================================
step "6. F1 opens the help window"
activate "$WID"
xdotool key F1
HELP="$(wait_window "$title_help" 10000)"
check "F1 opens a window titled \"$title_help\"" '[ -n "$HELP" ]'
if [ -n "$HELP" ]; then
    sleep 0.3
    shot 06-help "$HELP"
    # Keep the help window clear of the main window for the clicks that follow.
    xdotool windowmove "$WID" 20 40 windowmove "$HELP" 360 40
    sleep 0.3
fi

# ===========================================================================================
step "7. save My palette through the panel, restart, load it back"
click "$sw0_x" "$sw0_y" 3
shot 07-registered "$WID"
check_pixel "right click registers the edited colour in swatch 0 (207,255,255)" "$shots/07-registered.png" "$sw0_x" "$sw0_y" 207,255,255
check_pixel "swatch 1 stays white" "$shots/07-registered.png" "$sw1_x" "$sw1_y" 255,255,255
click "$save_x" "$save_y"
check "save button opens the panel (caption \"$title_save\")" 'wait_title "$WID" "$title_save"'
sleep 0.2
shot 07-save-panel "$WID"
click "$name_x" "$name_y"
xdotool type --delay 30 "e2e_palette"
sleep 0.2
shot 07-save-named "$WID"
click "$oksave_x" "$oksave_y"
pdt="$prog/e2e_palette.pdt"
wait_for 3000 test -f "$pdt"
check "OK writes e2e_palette.pdt into the program folder" '[ -f "$pdt" ]'
check "the file is exactly 192 bytes (got $(stat -c %s "$pdt" 2>/dev/null))" '[ "$(stat -c %s "$pdt" 2>/dev/null)" = 192 ]'
expected_ints="207 $(printf '255 %.0s' $(seq 47))"
got_ints="$(od -An -v -t d4 --endian=little "$pdt" 2>/dev/null | xargs)"
check "first 4 bytes hold red 207 of entry 0; the other 47 integers are 255" '[ "$got_ints " = "$expected_ints" ]'
sleep 0.2
shot 07-saved "$WID"
# Saving again under the same name asks first; Enter answers No (the default) and writes nothing.
stamp="$(stat -c '%i %y' "$pdt")"
click "$oksave_x" "$oksave_y"
BOX="$(wait_window "上書き確認" 5000)"
check "saving under the same name asks \"上書き確認\"" '[ -n "$BOX" ]'
if [ -n "$BOX" ]; then
    sleep 0.2
    shot 07-overwrite-question "$BOX"
    activate "$BOX"
    xdotool key Return
    check "Enter answers No: the question closes" 'wait_no_window "上書き確認" 3000'
    check "and the file is untouched (same inode and time)" '[ "$(stat -c "%i %y" "$pdt")" = "$stamp" ]'
fi
click "$back_x" "$back_y"
sleep 0.3
shot 07-back "$WID"
check "back closes the panel: the letter R is shown again" 'is_reddish "$(letter_colour "$shots/07-back.png" 0)"'
check "the caption still reads \"$title_save\" after the panel closed" '[ "$(xdotool getwindowname "$WID")" = "$title_save" ]'
click "$quit_x" "$quit_y"
check "quit button: the process ends with status 0" 'app_wait_exit 5000 0'
check "the help window is gone with it" 'wait_no_window "$title_help" 3000'

t0=$(now_ms)
app_start
WID="$(wait_window "$title_full" 15000)"
[ -n "$WID" ] || { app_log; die "no window after the restart"; }
pass "restarted in $(($(now_ms) - t0)) ms"
shot 07-restarted "$WID"
check_pixel "after the restart swatch 0 is white again (nothing saved but the file)" "$shots/07-restarted.png" "$sw0_x" "$sw0_y" 255,255,255
click "$load_x" "$load_y"
check "load button opens the panel (caption \"$title_load\")" 'wait_title "$WID" "$title_load"'
sleep 0.2
shot 07-load-panel "$WID"
click "$list_x" "$list_y"
click "$okload_x" "$okload_y"
sleep 0.3
shot 07-loaded "$WID"
check_pixel "the loaded palette shows: swatch 0 is (207,255,255)" "$shots/07-loaded.png" "$sw0_x" "$sw0_y" 207,255,255
check "the panel closed: the letter R is shown again" 'is_reddish "$(letter_colour "$shots/07-loaded.png" 0)"'
# The loaded palette is My palette now: a left click picks its colour, the copy shows it.
click "$sw0_x" "$sw0_y"
click "$copy_x" "$copy_y"
check_clip "left click on the loaded swatch 0 and copy gives CFFFFF" "CFFFFF"
# Saving now writes My palette: it must be the loaded one, byte for byte. A Japanese name this time.
click "$save_x" "$save_y"
check "save button opens the panel again" 'wait_title "$WID" "$title_save"'
# Typing non-Latin text through xdotool remaps a key on the fly and can lose the first character,
# so the name is pasted, as a user might do too.
printf '%s' "見本" | xclip -i -selection clipboard
click "$name_x" "$name_y"
xdotool key ctrl+a ctrl+v
sleep 0.2
shot 07-save-japanese-name "$WID"
click "$oksave_x" "$oksave_y"
pdt2="$prog/見本.pdt"
wait_for 3000 test -f "$pdt2"
check "the palette saved as 見本.pdt equals e2e_palette.pdt byte for byte (the load was committed)" \
    'cmp -s "$pdt" "$pdt2"' || (cd "$prog" && ls -l -- *.pdt)
click "$back_x" "$back_y"

# ===========================================================================================
step "7b. basic palette: pick colours there, register them in My palette"
click "$palette_x" "$palette_y"
sleep 0.2
shot 07b-basic-palette "$WID"
check_pixel "palette button shows the basic palette: swatch 2 is blue" "$shots/07b-basic-palette.png" "$sw2_x" "$sw2_y" 0,0,255
check_pixel "swatch 3 is lime" "$shots/07b-basic-palette.png" "$sw3_x" "$sw3_y" 0,255,0
check_pixel "swatch 12 is red" "$shots/07b-basic-palette.png" "$sw12_x" "$sw12_y" 255,0,0
click "$sw12_x" "$sw12_y"
click "$palette_x" "$palette_y"
click "$sw2_x" "$sw2_y" 3
click "$palette_x" "$palette_y"
click "$sw3_x" "$sw3_y"
click "$palette_x" "$palette_y"
click "$sw3_x" "$sw3_y" 3
sleep 0.2
shot 07b-my-palette-filled "$WID"
check_pixel "My palette is back with the loaded swatch 0" "$shots/07b-my-palette-filled.png" "$sw0_x" "$sw0_y" 207,255,255
check_pixel "red picked from the basic palette, registered in swatch 2" "$shots/07b-my-palette-filled.png" "$sw2_x" "$sw2_y" 255,0,0
check_pixel "lime picked from the basic palette, registered in swatch 3" "$shots/07b-my-palette-filled.png" "$sw3_x" "$sw3_y" 0,255,0
click "$copy_x" "$copy_y"
check_clip "the sliders hold lime: copy gives 00FF00" "00FF00"

# ===========================================================================================
step "8. hint line"
hint_of() { # x y name: move the mouse there and keep the hint line's pixels
    xdotool mousemove --window "$WID" "$1" $((MB + $2))
    sleep 0.25
    shot "$3" "$WID"
    # lblExplain: 0,3480 4575x375 twips
    convert "$shots/$3.png" -crop "305x25+0+$((MB + 232))" +repage rgb:- | md5sum
}
h_bare="$(hint_of "$bare_x" "$bare_y" 08-hint-bare)"
h_copy="$(hint_of "$copy_x" "$copy_y" 08-hint-copy)"
h_top="$(hint_of "$top_x" "$top_y" 08-hint-topmost)"
h_bare2="$(hint_of "$bare_x" "$bare_y" 08-hint-bare-again)"
check "the hint over the copy button differs from the bare-area read-out" '[ "$h_copy" != "$h_bare" ]'
check "the hints over the copy and the topmost buttons differ" '[ "$h_copy" != "$h_top" ]'
check "back on the bare area the read-out returns unchanged" '[ "$h_bare2" = "$h_bare" ]'

# ===========================================================================================
step "9. help, then quit through the quit button"
activate "$WID"
xdotool key F1
HELP="$(wait_window "$title_help" 10000)"
check "F1 opens the help window again" '[ -n "$HELP" ]'
[ -n "$HELP" ] && xdotool windowmove "$WID" 20 40 windowmove "$HELP" 360 40 && sleep 0.3
click "$quit_x" "$quit_y"
check "quit button: the process ends with status 0" 'app_wait_exit 5000 0'
check "the help window is gone" 'wait_no_window "$title_help" 3000'
check "no Swatchly window is left" 'wait_no_window "Swatchly" 1000'

# ===========================================================================================
step "10. 200 % scaling, closed by the window manager's close command"
t0=$(now_ms)
QT_SCALE_FACTOR=2 app_start
WID="$(wait_window "$title_full" 15000)"
if [ -n "$WID" ]; then
    pass "window at 200 % visible after $(($(now_ms) - t0)) ms"
    read -r w2 h2 <<<"$(win_size "$WID")"
    check "window width is 614 px at 200 % (got $w2)" '[ "$w2" -eq 614 ]'
    sleep 0.3
    shot 10-scale200 "$WID"
    activate "$WID"
    xdotool key alt+F4
    check "Alt+F4 (the close box's command) ends the process with status 0" 'app_wait_exit 5000 0'
else
    fail "no window at 200 %"
    app_log
fi

# Further steps, one file a topic, in name order; each starts the program itself as it needs.
for steps in "$here"/steps/*.sh; do
    [ -e "$steps" ] || continue
    # shellcheck source=/dev/null
    . "$steps"
done

finish
