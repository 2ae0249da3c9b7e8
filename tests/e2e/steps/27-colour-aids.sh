# shellcheck shell=bash
# Sourced by run.sh: help with the pair of colours and the added copy formats. Ctrl+J fixing the
# contrast of a grey text on white, the sample drawn as seen with deuteranopia while the code
# stays, a CSS hsl() code pasted and copied in the added formats, and the pictures of the
# copy-format button for them at 100 % and 200 % (look at the screenshots).
# shellcheck disable=SC2016,SC2034,SC2154

read -r text_opt_x text_opt_y <<<"$(tw_centre 3360 840 855 300)" # optColor(1)
read -r back_opt_x back_opt_y <<<"$(tw_centre 3360 600 855 300)" # optColor(0)
sample_x=295 sample_y=16                                         # txtColor, clear of its text
# crop_sum FILE X Y W H: a checksum of a part of the client area.
crop_sum() { convert "$1" -crop "$4x$5+$2+$((MB + $3))" +repage rgb:- | md5sum; }
# copy_format N: 基本設定 → コピー形式 → the Nth item, counted from the first (the separator skipped).
copy_format() {
    activate "$WID"
    xdotool key alt+o
    sleep 0.3
    xdotool key Down Right
    sleep 0.3
    for _ in $(seq "$1"); do xdotool key Down; done
    [ -n "${2:-}" ] && sleep 0.3 && root_shot "$2" "$WID"
    xdotool key Return
    sleep 0.2
}
# paste TEXT: TEXT on the clipboard (xclip), then Ctrl+V.
paste() {
    printf '%s' "$1" | xclip -selection clipboard
    wait_for 3000 clip_is "$1"
    activate "$WID"
    xdotool key ctrl+v
    sleep 0.2
}

step "27. Ctrl+J, the colour-vision simulation, the CSS and 0x copy formats"
: >"$work/app.log"
app_start
WID="$(wait_window "$title_full" 15000)"
[ -n "$WID" ] || { app_log; die "no window for the colour aids"; }
xdotool windowmove "$WID" 60 80
sleep 0.3

# #777777 text on white: Ctrl+J makes it #767676, the nearest colour that reaches 4.5:1.
click "$text_opt_x" "$text_opt_y"
paste "#777777"
activate "$WID"
xdotool key ctrl+k
xdotool key ctrl+j
sleep 0.2
xdotool mousemove --window "$WID" "$bare_x" $((MB + bare_y))
sleep 0.2
shot 27-fixed "$WID"
click "$copy_x" "$copy_y"
check_clip "#777777 text on white, Ctrl+J: the copy gives 767676" "767676"
# Once more: AA already, so on to AAA (#595959, 7.0:1).
activate "$WID"
xdotool key ctrl+j
sleep 0.2
click "$copy_x" "$copy_y"
check_clip "Ctrl+J again: on to AAA, 595959" "595959"

# A red background under the grey text, then 2型: the sample changes, the code does not.
click "$back_opt_x" "$back_opt_y"
paste "#CC3333"
xdotool mousemove --window "$WID" "$bare_x" $((MB + bare_y))
sleep 0.2
shot 27-vision-none "$WID"
activate "$WID"
xdotool key alt+c
sleep 0.3
xdotool key Up Right
sleep 0.3
xdotool key Down Down
sleep 0.2
root_shot 27-colour-menu-vision "$WID"
xdotool key Return
sleep 0.3
xdotool mousemove --window "$WID" "$bare_x" $((MB + bare_y))
sleep 0.2
shot 27-vision-deutan "$WID"
before="$(pix "$shots/27-vision-none.png" "$sample_x" $((MB + sample_y)))"
after="$(pix "$shots/27-vision-deutan.png" "$sample_x" $((MB + sample_y)))"
check "2型: the sample's background changes ($before -> $after)" \
    '[ "$before" = "204,51,51" ] && [ "$after" != "$before" ]'
check "2型: the code label is unchanged, pixel for pixel" \
    '[ "$(crop_sum "$shots/27-vision-none.png" 104 40 105 33)" = "$(crop_sum "$shots/27-vision-deutan.png" 104 40 105 33)" ]'
check "2型: the hint line adds the ratio as seen (screenshot 27-vision-deutan)" \
    '[ "$(crop_sum "$shots/27-vision-none.png" 0 232 305 25)" != "$(crop_sum "$shots/27-vision-deutan.png" 0 232 305 25)" ]'
click "$copy_x" "$copy_y"
check_clip "2型: the copy still gives CC3333" "CC3333"
activate "$WID"
xdotool key alt+c
sleep 0.3
root_shot 27-colour-menu "$WID"
xdotool key Escape Escape

# hsl(210, 50%, 40%) pasted, copied in each added format (the menu's choice shows from the next
# colour change on: the paste is one).
for format in "3 rgb(51, 102, 153)" "4 hsl(210, 50%, 40%)" "5 0x336699"; do
    read -r n code <<<"$format"
    copy_format "$n" "$([ "$n" = 3 ] && echo 27-copy-format-menu)"
    paste "hsl(210, 50%, 40%)"
    xdotool mousemove --window "$WID" "$bare_x" $((MB + bare_y))
    sleep 0.2
    shot "27-format-$n" "$WID"
    click "$copy_x" "$copy_y"
    check_clip "hsl(210, 50%, 40%) pasted, copied as $code" "$code"
done
# From an added format the button goes to the first one, and rewrites the code at once.
click "$format_x" "$format_y"
click "$copy_x" "$copy_y"
check_clip "the copy-format button from 0x: back to 336699" "336699"
activate "$WID"
xdotool key alt+F4
check "closed with Alt+F4" 'app_wait_exit 5000 0'

step "27. the added copy-format pictures at 200 %"
QT_SCALE_FACTOR=2 app_start
WID="$(wait_window "$title_full" 15000)"
if [ -n "$WID" ]; then
    xdotool windowmove "$WID" 20 40
    read -r _ h2 <<<"$(win_size "$WID")"
    mb2=$((h2 - 2 * 258))
    # cmdColor(4) at 2160,2760 (615 x 615 twips): 82 pixels square at 200 %.
    for n in 3 4 5; do
        copy_format "$n"
        sleep 0.3
        shot "27-format-$n-200" "$WID"
        convert "$shots/27-format-$n-200.png" -crop "82x82+288+$((mb2 + 368))" +repage "$shots/27-button-$n-200.png"
        convert "$shots/27-format-$n.png" -crop "41x41+144+$((MB + 184))" +repage "$shots/27-button-$n-100.png"
    done
    differ() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" != 0 ]; }
    check "the three pictures differ from each other at 200 %" \
        'differ "$shots/27-button-3-200.png" "$shots/27-button-4-200.png" &&
         differ "$shots/27-button-4-200.png" "$shots/27-button-5-200.png" &&
         differ "$shots/27-button-3-200.png" "$shots/27-button-5-200.png"'
    activate "$WID"
    xdotool key alt+F4
    check "closed with Alt+F4" 'app_wait_exit 5000 0'
else
    fail "no window at 200 %"
    app_log
fi
