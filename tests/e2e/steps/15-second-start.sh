# shellcheck shell=bash
# The command line, and a second start while Swatchly runs: it ends at once and the running
# window comes forward, from behind another window and from the minimised state. Sourced by run.sh.
# shellcheck disable=SC2016,SC2154

step "15. command line: answered before any window or display connection"
# cli DESCRIPTION STATUS EXPECTED ENV-ARGUMENTS...: runs `env ENV-ARGUMENTS...`, which must end with
# STATUS. Status 0 prints EXPECTED first on standard output and nothing on standard error; any other
# status prints nothing on standard output and one line on standard error that names EXPECTED.
cli() {
    local what="$1" want="$2" expected="$3" rc out err
    shift 3
    out="$(env "$@" 2>"$work/cli.err")"
    rc=$?
    err="$(cat "$work/cli.err")"
    if [ "$want" -eq 0 ]; then
        check "$what: status $rc, prints \"${out%%$'\n'*}\"" '[ "$rc" -eq 0 ] && [[ "$out" == "$expected"* ]] && [ -z "$err" ]'
    else
        check "$what: status $rc, says \"$err\"" \
            '[ "$rc" -eq "$want" ] && [ -z "$out" ] && [ "$(wc -l <"$work/cli.err")" -eq 1 ] && [[ "$err" == "swatchly: "*"$expected"* ]]'
    fi
}
cli "--help" 0 "使い方: swatchly" timeout 10 "$prog/swatchly" --help
cli "--version" 0 "Swatchly 1.0" timeout 10 "$prog/swatchly" --version
cli "an unknown option" 2 "--frob" timeout 10 "$prog/swatchly" --frob
cli "a file argument" 2 "mine.pdt" timeout 10 "$prog/swatchly" mine.pdt
cli "no display at all" 1 "DISPLAY=" -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 10 "$prog/swatchly"
cli "a display that refuses" 1 "DISPLAY=:4093" DISPLAY=:4093 timeout 10 "$prog/swatchly"

step "15b. a second start brings the running window forward"
# An X server timestamp, as a launcher puts one into the start-up notification id it passes on:
# the time of a property change on the root window, as xev reports it.
server_time() {
    xev -root -event property >"$work/xev.log" 2>&1 &
    local xev_pid=$!
    sleep 0.3
    xprop -root -f _SWATCHLY_E2E_TIME 8s -set _SWATCHLY_E2E_TIME now
    sleep 0.3
    kill "$xev_pid" 2>/dev/null
    wait "$xev_pid" 2>/dev/null
    grep -o 'time [0-9]*' "$work/xev.log" | tail -n1 | cut -d' ' -f2
}
# Whether the window is the top of the window manager's stacking order.
on_top() { xprop -root _NET_CLIENT_LIST_STACKING | grep -qE "$(printf '0x%x' "$1")\$"; }
is_hidden() { xprop -id "$1" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_HIDDEN; }
in_front() { ! is_hidden "$WID" && on_top "$WID" && [ "$(xdotool getactivewindow)" = "$WID" ]; }
# second_start DESCRIPTION [VARIABLE=VALUE...]: starts the program again; it must end at once with
# status 0 and nothing to say, and the running window must then be shown, on top and active.
second_start() {
    local what="$1" rc elapsed
    shift
    t0=$(now_ms)
    env "$@" timeout 10 "$prog/swatchly" >"$work/second.log" 2>&1
    rc=$?
    elapsed=$(($(now_ms) - t0))
    check "$what: the second start ends with status 0 (got $rc) in $elapsed ms, saying nothing" \
        '[ "$rc" -eq 0 ] && [ "$elapsed" -lt 3000 ] && [ ! -s "$work/second.log" ]'
    check "$what: the running window is restored, on top and active" \
        'wait_for 3000 in_front'
    check "$what: still exactly one Swatchly window, of the first process" \
        '[ "$(xdotool search --onlyvisible --name "^Swatchly" | wc -l)" -eq 1 ] && kill -0 "$APP_PID"'
}

app_start
WID="$(wait_window "$title_full" 15000)"
if [ -z "$WID" ]; then
    fail "no window for the second-start checks"
    app_log
else
    xdotool windowmove "$WID" 300 200
    xmessage -title e2e-other-window "another program's window" &
    other_pid=$!
    OTHER="$(wait_window e2e-other-window 5000)"
    if [ -n "$OTHER" ]; then
        xdotool windowmove "$OTHER" 280 180
        activate "$OTHER"
        check "another window is active and above Swatchly" 'on_top "$OTHER" && ! on_top "$WID"'
        second_start "behind another window, from a terminal (no start-up id)"
        activate "$OTHER"
    fi
    xdotool windowminimize "$WID"
    check "the window is minimised" 'wait_for 3000 is_hidden "$WID"'
    second_start "minimised, from a launcher (start-up id with its time)" \
        DESKTOP_STARTUP_ID="swatchly-e2e-$$_TIME$(server_time)"
    sleep 0.3
    echo "      window at $(win_geo "$WID")"
    shot 15-brought-forward "$WID"
    kill "$other_pid" 2>/dev/null
    wait "$other_pid" 2>/dev/null
    click "$quit_x" "$quit_y"
    check "quit button: the process ends with status 0" 'app_wait_exit 5000 0'
fi
