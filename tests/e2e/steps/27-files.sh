# shellcheck shell=bash
# Sourced by run.sh: files that fight back. Started under a file size limit of 0 (ulimit -f 0) the
# program runs, and a save says why it fails and leaves nothing; an export to a link that leads
# nowhere is refused and makes no file there; a palette file with a value outside 0..255 previews
# and loads without a message, and only a left click on its crossed swatch says why.
# shellcheck disable=SC2016,SC2034,SC2154

# swatchly_boxes: the number of visible windows titled exactly "Swatchly" (the message boxes).
swatchly_boxes() { xdotool search --onlyvisible --name '^Swatchly$' 2>/dev/null | wc -l; }
# close_box: Enter on the message box that is up.
close_box() {
    local box
    box="$(find_window Swatchly)"
    [ -n "$box" ] || return 0
    activate "$box"
    xdotool key Return
    wait_no_window 'Swatchly$' 3000
}

step "27. started under ulimit -f 0: it runs, and a save says why it fails"
: >"$work/app.log"
(ulimit -f 0 && exec "$prog/swatchly") >>"$work/app.log" 2>&1 &
APP_PID=$!
WID="$(wait_window "$title_full" 15000)"
check "a window under ulimit -f 0 (the lock's PID cannot be written)" '[ -n "$WID" ] && kill -0 "$APP_PID"'
if [ -n "$WID" ]; then
    click "$save_x" "$save_y"
    wait_title "$WID" "$title_save"
    click "$name_x" "$name_y"
    xdotool key ctrl+a
    xdotool type --delay 30 "limited"
    click "$oksave_x" "$oksave_y"
    BOX="$(wait_window Swatchly 5000)"
    check "the save gives a message box" '[ -n "$BOX" ]'
    if [ -n "$BOX" ]; then
        sleep 0.3
        shot 27-file-size-limit "$BOX"
        close_box
    fi
    check "nothing is left in the program folder: no limited.pdt, no temporary file" \
        '[ ! -e "$prog/limited.pdt" ] && [ -z "$(find "$prog" -name ".swatchly-save-*")" ]'
    click "$back_x" "$back_y"
    click "$quit_x" "$quit_y"
    check "quit button: the process ends with status 0" 'app_wait_exit 5000 0'
else
    app_log
    app_wait_exit 1000 0
fi

step "27. an export to a link that leads nowhere is refused"
app_start
WID="$(wait_window "$title_full" 15000)"
[ -n "$WID" ] || { app_log; die "no window for the export to a dangling link"; }
elsewhere="$work/elsewhere.gpl"
rm -f "$elsewhere" "$work/dangling.gpl"
ln -s "$elsewhere" "$work/dangling.gpl"
activate "$WID"
xdotool key alt+p
sleep 0.3
xdotool key x
DLG="$(wait_window "GIMPパレットに書き出す" 10000)"
check "the export item opens the save dialog" '[ -n "$DLG" ]'
if [ -n "$DLG" ]; then
    sleep 0.5
    xdotool key ctrl+a
    xdotool type --delay 20 "$work/dangling.gpl"
    xdotool key Return
    BOX="$(wait_window Swatchly 5000)"
    check "the export gives a message box" '[ -n "$BOX" ]'
    if [ -n "$BOX" ]; then
        sleep 0.3
        shot 27-dangling-link "$BOX"
        close_box
    fi
fi
check "no file was made where the link leads, and the link is still a link" \
    '[ ! -e "$elsewhere" ] && [ -L "$work/dangling.gpl" ]'

step "27. a palette file with a value outside 0..255: no box at preview or load"
# Red 256 in swatch 0, the rest black; first in the list, so the panel previews it as it opens.
foreign="$prog/000-foreign.pdt"
{ printf '\000\001\000\000'; head -c 188 /dev/zero; } >"$foreign"
click "$load_x" "$load_y"
wait_title "$WID" "$title_load"
sleep 1
shot 27-foreign-preview "$WID"
check "the preview as the panel opens shows no message box" '[ "$(swatchly_boxes)" -eq 0 ]'
# The mark: light grey beside the cross (swatch 0 at client 108,80, 33x25 pixels).
check_pixel "swatch 0 shows the mark's grey" "$shots/27-foreign-preview.png" 124 84 216,216,216
click "$okload_x" "$okload_y"
sleep 1
check "loading it shows no message box" '[ "$(swatchly_boxes)" -eq 0 ]'
click "$sw0_x" "$sw0_y"
BOX="$(wait_window Swatchly 3000)"
check "a left click on the crossed swatch says why it cannot be picked" '[ -n "$BOX" ]'
if [ -n "$BOX" ]; then
    sleep 0.3
    shot 27-crossed-swatch-click "$BOX"
    close_box
fi
rm -f "$foreign"
click "$quit_x" "$quit_y"
check "quit button: the process ends with status 0" 'app_wait_exit 5000 0'
