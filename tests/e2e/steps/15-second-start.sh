# shellcheck shell=bash
# A second start while Swatchly runs: it ends at once and the running window comes forward, from
# behind another window and, from a launcher, from the minimised state. Sourced by run.sh (the
# command line is checked on the installed program, step 13).
# shellcheck disable=SC2016,SC2154

step "15. a second start brings the running window forward"
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
