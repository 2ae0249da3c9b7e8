# shellcheck shell=bash
# Sourced by run.sh: the state kept between runs, only when asked (基本設定 → 終了時の状態を記憶する).
# Turned on, the colours changed, a swatch registered, quit, started again: all back. Turned off:
# the file gone, and the next start is the start state. A FIFO in the file's place holds nothing up.
# shellcheck disable=SC2016,SC2034,SC2154

state="$prog/swatchly.ini"
read -r text_opt_x text_opt_y <<<"$(tw_centre 3360 840 855 300)" # optColor(1)
sample_x=300 sample_y=16                                           # txtColor, right of its text
# remember_item [SHOT]: opens 基本設定 (its menu shot as SHOT) and chooses the item by its key.
remember_item() {
    activate "$WID"
    xdotool key alt+o
    sleep 0.4
    [ -n "${1:-}" ] && root_shot "$1" "$WID"
    xdotool key m
    sleep 0.3
}
# option_menu SHOT: the 基本設定 menu open, shot as SHOT, closed again.
option_menu() {
    activate "$WID"
    xdotool key alt+o
    sleep 0.4
    root_shot "$1" "$WID"
    xdotool key Escape sleep 0.1 Escape
    sleep 0.2
}
# paste_code TEXT: TEXT on the clipboard, then Ctrl+V in the window.
paste_code() {
    printf '%s' "$1" | xclip -selection clipboard
    wait_for 3000 clip_is "$1"
    activate "$WID"
    xdotool key ctrl+v
    sleep 0.2
}
# start_main: starts the program and waits for its window; prints how long that took.
start_main() {
    local t0
    t0=$(now_ms)
    app_start
    WID="$(wait_window "$title_full" 15000)"
    [ -n "$WID" ] || WID="$(wait_window "Swatchly：２１６色モード" 1000)"
    echo "      window after $(($(now_ms) - t0)) ms"
}

step "28. remembering the state: on, changed, quit, started again"
rm -f "$state" "$state.damaged"
: >"$work/app.log"
start_main
[ -n "$WID" ] || { app_log; die "no window for remembering"; }
check "off at start: no state file" '[ ! -e "$state" ]'
remember_item 28-option-menu-off
check "turned on: the state file is written at once" 'wait_for 3000 test -s "$state"'
paste_code "#336699"
click "$text_opt_x" "$text_opt_y"
paste_code "#FFCC00"
click "$format_x" "$format_y"
check "colour changes alone wrote nothing" 'grep -q "^background=255,255,255$" "$state"'
click "$sw0_x" "$sw0_y" 3
click "$top_x" "$top_y"
wait_above "$WID" yes
xdotool windowmove "$WID" 210 170
sleep 0.4
pos_before="$(win_pos "$WID")"
registered="$(grep '^my-palette.1=' "$state")"
check "the registration wrote the file: $registered" '[ "$registered" = "my-palette.1=255,204,0" ]'
option_menu 28-option-menu-on
click "$quit_x" "$quit_y"
check "quit button: the process ends with status 0" 'app_wait_exit 5000 0'
check "the file holds both colours, the one edited, the format, on top" \
    'grep -q "^background=51,102,153$" "$state" && grep -q "^text=255,204,0$" "$state" &&
     grep -q "^edit=text$" "$state" && grep -q "^copy=html$" "$state" && grep -q "^on-top=yes$" "$state"'
check "nothing said on standard error" '[ ! -s "$work/app.log" ]' || app_log

start_main
[ -n "$WID" ] || { app_log; die "no window after the restart"; }
sleep 0.3
shot 28-restored "$WID"
check_pixel "restored: swatch 0 holds the registered (255,204,0)" "$shots/28-restored.png" "$sw0_x" "$sw0_y" 255,204,0
check_pixel "restored: the sample's background is (51,102,153)" "$shots/28-restored.png" "$sample_x" "$sample_y" 51,102,153
check "restored: always on top" 'wait_above "$WID" yes'
check "restored: the window where it was ($pos_before, now $(win_pos "$WID"))" '[ "$(win_pos "$WID")" = "$pos_before" ]'
click "$copy_x" "$copy_y"
check_clip "restored: the text colour edited, in the HTML format" "#FFCC00"
option_menu 28-option-menu-restored
remember_item
check "turned off: the file is gone" 'wait_for 3000 eval "[ ! -e \"\$state\" ]"'
activate "$WID"
xdotool key alt+F4
check "closed with Alt+F4" 'app_wait_exit 5000 0'
check "and nothing was written at the end" '[ ! -e "$state" ]'

step "28. off: the next start is the start state"
start_main
[ -n "$WID" ] || { app_log; die "no window with remembering off"; }
sleep 0.3
shot 28-start-state "$WID"
check_pixel "swatch 0 is white again" "$shots/28-start-state.png" "$sw0_x" "$sw0_y" 255,255,255
check_pixel "the sample is white again" "$shots/28-start-state.png" "$sample_x" "$sample_y" 255,255,255
check "not on top" 'wait_above "$WID" no'
click "$copy_x" "$copy_y"
check_clip "the copy gives FFFFFF" "FFFFFF"
click "$quit_x" "$quit_y"
check "quit: status 0, and still no file" 'app_wait_exit 5000 0 && [ ! -e "$state" ]'

step "28. a FIFO in the state file's place"
mkfifo "$state"
: >"$work/app.log"
t0=$(now_ms)
start_main
elapsed=$(($(now_ms) - t0))
check "the window comes up anyway, in $elapsed ms" '[ -n "$WID" ] && [ "$elapsed" -lt 5000 ]'
check "one line on standard error names the file and the FIFO" \
    '[ "$(grep -c "swatchly.ini.*名前付きパイプ（FIFO）" "$work/app.log")" = 1 ]' || app_log
if [ -n "$WID" ]; then
    click "$quit_x" "$quit_y"
    check "quit: status 0 in time, the FIFO left alone" 'app_wait_exit 5000 0 && [ -p "$state" ]'
    check "the refused write at the end is one more line" '[ "$(wc -l <"$work/app.log")" = 2 ]' || app_log
fi
rm -f "$state"
