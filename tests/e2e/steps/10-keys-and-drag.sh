# shellcheck shell=bash
# Sourced by run.sh: the keyboard in the file panel (typing a name with a space, Enter, Esc),
# the focus it gives back, and the help window beside the main window, above it while it is on
# top, closed by Esc.
# shellcheck disable=SC2016,SC2034,SC2154

step "keys: a name typed into the save panel, Enter, Esc"
app_start
WID="$(wait_window "$title_full" 15000)"
[ -n "$WID" ] || { app_log; die "no window for the keyboard steps"; }
activate "$WID"
click "$save_x" "$save_y"
check "the save button opens the panel" 'wait_title "$WID" "$title_save"'
# The name box has the focus, its proposed name selected: typing replaces it, the space included.
xdotool type --delay 30 "my palette"
xdotool key Return
pdt="$prog/my palette.pdt"
wait_for 3000 test -f "$pdt"
check "the program still runs with the panel open" \
    'kill -0 "$APP_PID" && [ "$(xdotool getwindowname "$WID" 2>/dev/null)" = "$title_save" ]' ||
    die "the program ended while a name was typed"
sleep 0.2
shot 11-keys-saved "$WID"
check "\"my palette\" and Enter: my palette.pdt holds 192 bytes (got $(stat -c %s "$pdt" 2>/dev/null))" \
    '[ "$(stat -c %s "$pdt" 2>/dev/null)" = 192 ]'
xdotool key Escape
sleep 0.3
shot 11-keys-escaped "$WID"
check "Esc closes the panel: the letter R shows again" 'is_reddish "$(letter_colour "$shots/11-keys-escaped.png" 0)"'
# The red slider has the focus again: Down takes red from 255 to 254.
xdotool key Down
click "$copy_x" "$copy_y"
check_clip "Down then copy gives FEFFFF (the red slider had the focus)" "FEFFFF"

step "keys: the load panel, Enter loads the first file"
click "$load_x" "$load_y"
check "the load button opens the panel" 'wait_title "$WID" "$title_load"'
xdotool key Return
sleep 0.3
shot 11-keys-loaded "$WID"
# The first listed file is e2e_palette.pdt (saved by step 7): swatch 0 is (207,255,255).
check_pixel "Enter in the list loads the first file: swatch 0 is (207,255,255)" "$shots/11-keys-loaded.png" \
    "$sw0_x" "$sw0_y" 207,255,255
check "the panel closed: the letter R shows again" 'is_reddish "$(letter_colour "$shots/11-keys-loaded.png" 0)"'

step "help beside the main window, above it while it is on top, closed by Esc"
# open_help MAIN_X SIDE: F1 with the main window at MAIN_X; the help window opens on SIDE of it.
open_help() {
    xdotool windowmove "$WID" "$1" 60
    activate "$WID"
    xdotool key F1
    HELP="$(wait_window "$title_help" 10000)"
    [ -n "$HELP" ] || return 1
    sleep 0.3
    import -window root "$shots/11-help-$2.png"
    read -r main_x main_y <<<"$(win_pos "$WID" | tr , ' ')"
    read -r help_x help_y <<<"$(win_pos "$HELP" | tr , ' ')"
    read -r help_w _ <<<"$(win_size "$HELP")"
    echo "      main window at $main_x,$main_y; help window at $help_x,$help_y, $help_w wide"
    [ "$help_y" -eq "$main_y" ] || return 1
    if [ "$2" = right ]; then [ "$help_x" -ge $((main_x + win_w)) ]; else [ $((help_x + help_w)) -le "$main_x" ]; fi
}
click "$top_x" "$top_y"
check "always on top is on" 'wait_above "$WID" yes'
check "F1 opens the help window right of the main window, level with it" 'open_help 40 right'
if [ -n "$HELP" ]; then
    check "the help window belongs to the main window" \
        'xprop -id "$HELP" WM_TRANSIENT_FOR | grep -qi "$(printf "0x%x" "$WID")"'
    # Even when the main window is raised onto it, the help window stays above.
    xdotool windowmove "$WID" $((help_x + 40)) $((help_y + 40))
    activate "$WID"
    sleep 0.3
    root_shot 11-help-above "$WID"
    stacking="$(xprop -root _NET_CLIENT_LIST_STACKING)"
    check "raised onto the help window, the main window stays beneath it" \
        '[ "${stacking##*"$(printf "0x%x" "$HELP")"}" = "" ]'
    activate "$HELP"
    xdotool key Escape
    check "Esc closes the help window" 'wait_no_window "$title_help" 3000'
fi
check "with no room on its right, the help window opens left of the main window" 'open_help 640 left'
click "$quit_x" "$quit_y"
check "quit button: the process ends with status 0, the help window with it" \
    'app_wait_exit 5000 0 && wait_no_window "$title_help" 3000'
