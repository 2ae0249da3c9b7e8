# shellcheck shell=bash
# Sourced by run.sh: colours brought in and judged. A code pasted from the clipboard (xclip),
# a refused text, a pixel of the root window picked (xsetroot), the contrast ratio in the hint
# line, and My palette exported to a GIMP palette, read from outside and imported back.
# shellcheck disable=SC2016,SC2034,SC2154

read -r sw1_x sw1_y <<<"$(tw_centre 2100 1200 495 375)" # lblPallete(1)
# put_clip TEXT: another program (xclip) owns the clipboard with TEXT.
put_clip() {
    printf '%s' "$1" | xclip -selection clipboard
    wait_for 3000 clip_is "$1"
}
# paste_and_copy TEXT: TEXT on the clipboard, Ctrl+V, then the copy button.
paste_and_copy() {
    put_clip "$1"
    activate "$WID"
    xdotool key ctrl+v
    sleep 0.2
    click "$copy_x" "$copy_y"
}

step "25. paste a colour code, pick one from the screen, the contrast ratio"
: >"$work/app.log"
app_start
WID="$(wait_window "$title_full" 15000)"
[ -n "$WID" ] || { app_log; die "no window for pasting"; }
paste_and_copy "#336699"
check_clip "#336699 pasted: the copy gives 336699" "336699"
paste_and_copy "orange"
check_clip "orange pasted: the copy gives FFA500" "FFA500"
paste_and_copy "&H996633"
check_clip "&H996633 (blue first) pasted: the copy gives 336699" "336699"
put_clip "hello"
activate "$WID"
xdotool key ctrl+v
BOX="$(wait_window "Swatchly" 5000)"
check "hello: a message box" '[ -n "$BOX" ]'
if [ -n "$BOX" ]; then
    sleep 0.3
    shot 25-hello-box "$BOX"
    activate "$BOX"
    xdotool key Return
    wait_no_window "Swatchly\$" 3000
fi
click "$copy_x" "$copy_y"
check_clip "after hello the colour is still 336699" "336699"

# The root window painted one colour, picked beside the main window.
xsetroot -solid "#123456"
activate "$WID"
xdotool key ctrl+e
sleep 0.3
root_shot 25-picking "$WID"
xdotool mousemove 1100 900 sleep 0.1 click 1
sleep 0.3
click "$copy_x" "$copy_y"
check_clip "Ctrl+E and a click on the root window: the copy gives 123456" "123456"
activate "$WID"
xdotool key ctrl+e
sleep 0.2
xdotool key Escape
sleep 0.2
click "$copy_x" "$copy_y"
check_clip "Ctrl+E and Esc change nothing" "123456"
xsetroot -solid black

# The text colour on the background: black on #123456.
activate "$WID"
xdotool mousemove --window "$WID" "$bare_x" $((MB + bare_y))
sleep 0.2
shot 25-no-ratio "$WID"
xdotool key ctrl+k
sleep 0.3
shot 25-ratio "$WID"
hint_differs() { ! cmp -s <(convert "$shots/25-no-ratio.png" -crop "300x20+0+$((MB + 232))" rgb:-) \
    <(convert "$shots/25-ratio.png" -crop "300x20+0+$((MB + 232))" rgb:-); }
check "Ctrl+K writes the ratio into the hint line (screenshot 25-ratio)" 'hint_differs'

step "25. My palette to a GIMP palette and back"
# Swatch 0 holds the edited colour (#123456); the rest stay white.
click "$sw0_x" "$sw0_y" 3
gpl="$work/e2e palette.gpl"
rm -f "$gpl"
activate "$WID"
xdotool key alt+p
sleep 0.3
xdotool key x
DLG="$(wait_window "GIMPパレットに書き出す" 10000)"
check "the export item opens the save dialog" '[ -n "$DLG" ]'
if [ -n "$DLG" ]; then
    sleep 0.5
    shot 25-export-dialog "$DLG"
    xdotool key ctrl+a
    xdotool type --delay 20 "$gpl"
    xdotool key Return
    wait_for 5000 test -s "$gpl"
fi
check "the exported file begins with GIMP Palette and holds 16 colour lines" \
    '[ "$(head -n1 "$gpl")" = "GIMP Palette" ] && [ "$(grep -cE "^ *[0-9]+ +[0-9]+ +[0-9]+	" "$gpl")" = 16 ]'
check "its first colour is 18 52 86, its second white" \
    '[ "$(grep -E "^ *[0-9]" "$gpl" | head -n2 | awk "{print \$1,\$2,\$3}" | paste -sd,)" = "18 52 86,255 255 255" ]'
# Changed from outside, then imported: swatch 1 shows the new colour.
sed -i '0,/^255 255 255/s//200 100  50/' "$gpl"
activate "$WID"
xdotool key alt+p
sleep 0.3
xdotool key i
DLG="$(wait_window "GIMPパレットから読み込む" 10000)"
check "the import item opens the open dialog" '[ -n "$DLG" ]'
if [ -n "$DLG" ]; then
    sleep 0.5
    xdotool key ctrl+a
    xdotool type --delay 20 "$gpl"
    xdotool key Return
    wait_no_window "GIMPパレットから読み込む" 5000
fi
sleep 0.3
shot 25-imported "$WID"
check_pixel "imported: swatch 0 is (18,52,86)" "$shots/25-imported.png" "$sw0_x" "$sw0_y" 18,52,86
check_pixel "imported: swatch 1 is (200,100,50)" "$shots/25-imported.png" "$sw1_x" "$sw1_y" 200,100,50
activate "$WID"
xdotool key alt+F4
check "closed with Alt+F4" 'app_wait_exit 5000 0'
