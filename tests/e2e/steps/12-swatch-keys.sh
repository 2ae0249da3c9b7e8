# shellcheck shell=bash
# Sourced by run.sh: the swatches from the keyboard alone. Tab reaches them as one stop after all
# the other controls, the arrows move the focus mark over them, Space takes a colour (read back
# through the copy button) and Ctrl+Enter registers the colour being edited.
# shellcheck disable=SC2016,SC2154

step "11b. the swatches from the keyboard alone"
app_start
WID="$(wait_window "$title_full" 15000)"
[ -n "$WID" ] || { app_log; die "no window for the swatch keys"; }
read -r _ win_h <<<"$(win_size "$WID")"
MB=$((win_h - 258))
activate "$WID"
# Out of the way: the hint line shows what the keys bring, not what the mouse is over.
xdotool mousemove 1000 740
highlight=48,140,198
# focus_on FILE INDEX: the focus mark's left side, inside the border of swatch INDEX.
focus_on() {
    local x=$(((1620 + 480 * ($2 % 6)) / 15 + 2)) y=$(((1200 + 360 * ($2 / 6) + 187) / 15))
    [ "$(pix "$1" "$x" $((MB + y)))" = "$highlight" ]
}
keys() { xdotool key --delay 80 "$@"; sleep 0.3; }
# From the red slider, which has the focus at start: ten Tabs to the palette button, Space shows
# the basic palette; three more Tabs pass the always-on-top and quit buttons to the swatches.
keys Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab space Tab Tab Tab
shot 12-swatch-focus-first "$WID"
check "thirteen Tabs from the red slider reach the swatches: the focus mark is on the first" \
    'focus_on "$shots/12-swatch-focus-first.png" 0 && ! focus_on "$shots/12-swatch-focus-first.png" 1'
read -r sw8_x sw8_y <<<"$(tw_centre 2580 1560 495 375)"
keys Right Right Down
shot 12-swatch-focus-purple "$WID"
check "Right, Right, Down move the mark to the third swatch of the second row" \
    'focus_on "$shots/12-swatch-focus-purple.png" 8 && ! focus_on "$shots/12-swatch-focus-purple.png" 0'
check_pixel "that swatch shows purple on the basic palette" "$shots/12-swatch-focus-purple.png" "$sw8_x" "$sw8_y" 128,0,128
keys space
# Back over the buttons to the copy button (quit, always on top, palette, format, mode, copy).
keys shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab space
check_clip "Space took the swatch's colour: the copy button copies 800080" "800080"
# My palette again from the palette button; the swatches' stop is still the same swatch.
keys Tab Tab Tab space Tab Tab Tab
shot 12-swatch-focus-my-palette "$WID"
check_pixel "My palette is shown: the swatch is white" "$shots/12-swatch-focus-my-palette.png" "$sw8_x" "$sw8_y" 255,255,255
check "the mark is back on the swatch it left" 'focus_on "$shots/12-swatch-focus-my-palette.png" 8'
keys ctrl+Return
shot 12-swatch-registered "$WID"
check_pixel "Ctrl+Enter registered purple in that swatch" "$shots/12-swatch-registered.png" "$sw8_x" "$sw8_y" 128,0,128
read -r sw7_x sw7_y <<<"$(tw_centre 2100 1560 495 375)"
check_pixel "the swatch beside it stays white" "$shots/12-swatch-registered.png" "$sw7_x" "$sw7_y" 255,255,255
keys End
shot 12-swatch-focus-last "$WID"
check "End moves the mark to the last swatch" 'focus_on "$shots/12-swatch-focus-last.png" 15'
activate "$WID"
xdotool key alt+F4
check "closed with Alt+F4" 'app_wait_exit 5000 0'
