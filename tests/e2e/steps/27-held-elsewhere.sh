# shellcheck shell=bash
# Sourced by run.sh: another program holds what Swatchly asks for, and the program ends cleanly.
# A clipboard owner that never answers (the window goes on answering; the paste gives up with a
# message), the pointer or the keyboard grabbed by another client during Ctrl+E (a message, and
# no pick left running), the hand-over socket under umask 000, and SIGTERM.
# shellcheck disable=SC2016,SC2154

holder="$(dirname "$exe_src")/tests/x11holder"
read -r mode_x mode_y <<<"$(tw_centre 1560 2760 615 615)" # cmdColor(3)
holder_pid=""
# hold WHAT: another X client takes the clipboard, the pointer or the keyboard and keeps it.
hold() {
    : >"$work/holder.log"
    "$holder" "$1" >"$work/holder.log" 2>&1 &
    holder_pid=$!
    wait_for 3000 grep -q ready "$work/holder.log"
}
let_go() {
    kill "$holder_pid" 2>/dev/null
    wait "$holder_pid" 2>/dev/null
    holder_pid=""
}
basic_palette_shown() {
    shot 27-palette "$WID" && [ "$(pix "$shots/27-palette.png" "$sw2_x" $((MB + sw2_y)))" = "0,0,255" ]
}
wakeups() { cat /proc/"$APP_PID"/task/*/status | awk '/^voluntary_ctxt_switches/ { n += $2 } END { print n }'; }
message_box() { wait_window "Swatchly" "$1"; }

step "27. the socket under umask 000; a clipboard owner that never answers"
[ -x "$holder" ] || die "missing $holder (built with the tests)"
: >"$work/app.log"
umask_before="$(umask)"
umask 000
app_start
umask "$umask_before"
WID="$(wait_window "$title_full" 15000)"
[ -n "$WID" ] || { app_log; die "no window for the held-elsewhere checks"; }
socket_file="$(ls "$XDG_RUNTIME_DIR"/swatchly-*.socket 2>/dev/null)"
lock_file="${socket_file%.socket}.lock"
check "started under umask 000: the socket is the user's alone ($(stat -c %A "$socket_file" 2>/dev/null))" \
    '[ "$(stat -c %A "$socket_file")" = "srw-------" ]'
check "and so is the lock ($(stat -c %A "$lock_file" 2>/dev/null))" '[ "$(stat -c %A "$lock_file")" = "-rw-------" ]'

hold clipboard
check "another program owns the clipboard and answers nobody" 'grep -q ready "$work/holder.log"'
activate "$WID"
pasted_at=$(now_ms)
xdotool key ctrl+v
sleep 0.1
# Frozen, the window would take the click only once the paste ends (Qt alone waits about 15 s).
# The mode button answers in the window's caption, which is read at once.
xdotool mousemove --window "$WID" "$mode_x" $((MB + mode_y)) click 1
clicked_at=$(now_ms)
wait_title "$WID" "Swatchly：２１６色モード"
shown_after=$(($(now_ms) - clicked_at))
check "while the paste waits for the owner, a click on the mode button switches to 216 colours in $shown_after ms (< 1000)" \
    '[ "$shown_after" -lt 1000 ] && grep -q request "$work/holder.log"'
BOX="$(message_box 3000)"
box_after=$(($(now_ms) - pasted_at))
check "the paste gives up with a message box $box_after ms after Ctrl+V (< 2000)" \
    '[ -n "$BOX" ] && [ "$box_after" -lt 2000 ]'
if [ -n "$BOX" ]; then
    sleep 0.3
    shot 27-no-answer "$BOX"
    activate "$BOX"
    xdotool key Return
    wait_no_window "Swatchly\$" 3000
fi
let_go
click "$mode_x" "$mode_y"
click "$copy_x" "$copy_y"
check_clip "the colour is unchanged: the copy gives FFFFFF" "FFFFFF"
sleep 1
before="$(wakeups)"
sleep 3
after="$(wakeups)"
check "then idle: $((after - before)) wake-ups in 3 s" '[ "$((after - before))" -eq 0 ]'

step "27. Ctrl+E while another program holds the pointer or the keyboard"
hold pointer
check "another program holds the pointer" 'grep -q ready "$work/holder.log"'
activate "$WID"
xdotool key ctrl+e
BOX="$(message_box 3000)"
check "Ctrl+E: a message box says the mouse cannot be used" '[ -n "$BOX" ]'
if [ -n "$BOX" ]; then
    sleep 0.3
    shot 27-pointer-held "$BOX"
    activate "$BOX"
    xdotool key Return
    wait_no_window "Swatchly\$" 3000
fi
let_go
# No pick is left running: clicks and Ctrl+C act as usual.
click "$format_x" "$format_y"
click "$copy_x" "$copy_y"
check_clip "after it a click on the format button and the copy button give #FFFFFF" "#FFFFFF"
click "$format_x" "$format_y"
click "$format_x" "$format_y"
activate "$WID"
xdotool key ctrl+c
check_clip "and Ctrl+C gives FFFFFF" "FFFFFF"

hold keyboard
check "another program holds the keyboard" 'grep -q ready "$work/holder.log"'
# The keys go to the other program: the pick is chosen from the menu with the mouse.
xdotool mousemove --window "$WID" 20 $((MB / 2)) sleep 0.1 click 1
sleep 0.4
xdotool mousemove --window "$WID" 82 $((MB + 79)) sleep 0.1 click 1
BOX="$(message_box 3000)"
check "カラー → 画面から色を取得: a message box says the keyboard cannot be used" '[ -n "$BOX" ]'
if [ -n "$BOX" ]; then
    sleep 0.3
    shot 27-keyboard-held "$BOX"
fi
let_go
if [ -n "$BOX" ]; then
    activate "$BOX"
    xdotool key Return
    wait_no_window "Swatchly\$" 3000
fi
click "$palette_x" "$palette_y"
check "after it a click on the palette button shows the basic palette" 'wait_for 1000 basic_palette_shown'
click "$palette_x" "$palette_y"

step "27. SIGTERM ends the program as a close does"
kill -TERM "$APP_PID"
check "SIGTERM: the program ends with status 0" 'app_wait_exit 5000 0'
check "neither the socket nor the lock is left" '[ ! -e "$socket_file" ] && [ ! -e "$lock_file" ]'
