# shellcheck shell=bash
# The Debian package as a user gets it (sourced by run.sh): build it with CPack from the build tree
# under test, check it with lintian, install it with dpkg, run /usr/bin/swatchly as the
# unprivileged user nobody with a fresh home, then remove the package again. Needs root. The
# machine is left as it was, also on failure; a swatchly package installed before is never touched.
# shellcheck disable=SC2016,SC2034,SC2154

pkg_build_dir="$(dirname "$exe_src")"
pkg_home=""
pkg_runtime=""
pkg_installed=""
desktop_file=/usr/share/applications/io.github.swatchly.Swatchly.desktop

# shellcheck disable=SC2317  # called by the trap
pkg_restore() {
    app_kill_all
    if [ -n "$pkg_installed" ]; then
        dpkg --purge swatchly >>"$work/dpkg.log" 2>&1 || echo "FAIL  could not remove the package: dpkg --purge swatchly"
        pkg_installed=""
    fi
    [ -n "$pkg_home" ] && rm -rf "$pkg_home" "$pkg_runtime"
    pkg_home=""
    trap cleanup EXIT
}
# The command prefix that runs as nobody with the fresh home and a clean environment; an argument
# DISPLAY="$DISPLAY" after it lets the program reach the X server.
nobody=()
# cli_run NAME [DISPLAY=…] ARGS...: /usr/bin/swatchly ARGS as nobody; status in $cli_rc, output in
# $work/NAME.out and $work/NAME.err.
cli_run() {
    local name="$1" env=()
    shift
    [[ "${1:-}" == DISPLAY=* ]] && env=("$1") && shift
    timeout 10 "${nobody[@]}" "${env[@]}" /usr/bin/swatchly "$@" >"$work/$name.out" 2>"$work/$name.err" </dev/null
    cli_rc=$?
}
is_hidden() { xprop -id "$1" _NET_WM_STATE | grep -q _NET_WM_STATE_HIDDEN; }
is_shown() { ! is_hidden "$1" && xwininfo -id "$1" | grep -q "Map State: IsViewable"; }
# Active and on top of the window manager's stacking order (whose ids are written in hexadecimal).
is_active() {
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ] &&
        [ "$(($(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*, //; s/.* //')))" = "$1" ]
}
is_japanese() { grep -qP '[\x{3040}-\x{30ff}\x{4e00}-\x{9fff}]' "$1"; }
one_line() { [ -s "$1" ] && [ "$(wc -l <"$1")" -eq 1 ]; }

# ===========================================================================================
step "11. the Debian package: build and lintian"
if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP  the package steps install with dpkg and need root"
    return 0
fi
if dpkg-query -W -f='${Status}' swatchly 2>/dev/null | grep -q "ok installed"; then
    fail "a swatchly package is already installed on this machine: remove it first (dpkg -r swatchly)"
    return 0
fi
if [ ! -f "$pkg_build_dir/CPackConfig.cmake" ]; then
    fail "no CPack configuration in $pkg_build_dir: give run.sh the executable of a configured build tree"
    return 0
fi
deb="$work/deb/swatchly_1.0.0_$(dpkg --print-architecture).deb"
cpack -G DEB --config "$pkg_build_dir/CPackConfig.cmake" -B "$work/deb" >"$work/cpack.log" 2>&1
check "cpack -G DEB builds $(basename "$deb")" '[ -f "$deb" ]' || { tail -n 20 "$work/cpack.log"; return 0; }
depends="$(dpkg-deb -f "$deb" Depends)"
missing=""
for p in libqt6widgets6 libc6 fonts-ipafont-gothic fonts-liberation qt6-translations-l10n qt6-qpa-plugins; do
    grep -qE "(^|, )$p( |,|$)" <<<"$depends" || missing="$missing $p"
done
check "Depends names the libraries of the binary and the runtime packages (missing:${missing:- none}; Depends: $depends)" \
    '[ -z "$missing" ]'
dpkg-deb -c "$deb" >"$work/deb-contents"
check "the package holds usr/bin/swatchly -> ../lib/swatchly/swatchly, the manual page and the copyright" \
    'grep -q "\./usr/bin/swatchly -> \.\./lib/swatchly/swatchly$" "$work/deb-contents" &&
     grep -q "\./usr/share/man/man1/swatchly\.1\.gz$" "$work/deb-contents" &&
     grep -q "\./usr/share/doc/swatchly/copyright$" "$work/deb-contents"'
dpkg-deb -x "$deb" "$work/deb-tree"
check "the packaged executable is stripped" 'file "$work/deb-tree/usr/lib/swatchly/swatchly" | grep -q ", stripped"'
lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1
rc=$?
grep -v "running with root privileges" "$work/lintian.log" | sed 's/^/      /'
check "lintian reports no errors (status $rc)" '[ "$rc" -eq 0 ] && ! grep -q "^E:" "$work/lintian.log"'

# ===========================================================================================
step "12. installed with dpkg, run as nobody with a fresh home"
trap 'pkg_restore; cleanup' EXIT
pkg_installed=yes
dpkg -i "$deb" >"$work/dpkg.log" 2>&1
rc=$?
check "dpkg -i installs the package (status $rc)" '[ "$rc" -eq 0 ]' || { tail -n 20 "$work/dpkg.log"; pkg_restore; return 0; }
usr_stamp="$work/usr-stamp"
touch "$usr_stamp"
pkg_home="$(mktemp -d /tmp/swatchly-nobody-home.XXXXXX)"
pkg_runtime="$(mktemp -d /tmp/swatchly-nobody-runtime.XXXXXX)"
chown nobody:nogroup "$pkg_home" "$pkg_runtime"
chmod 700 "$pkg_home" "$pkg_runtime"
nobody=(setpriv --reuid=nobody --regid=nogroup --init-groups env -i HOME="$pkg_home" USER=nobody LOGNAME=nobody
    PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 XDG_RUNTIME_DIR="$pkg_runtime")
entry_exec="$(sed -n 's/^Exec=//p' "$desktop_file")"
entry_icon="$(sed -n 's/^Icon=//p' "$desktop_file")"
check "the menu entry's command \"$entry_exec\" is /usr/bin/swatchly, its icon $entry_icon is in the hicolor theme" \
    '[ "$("${nobody[@]}" sh -c "command -v $entry_exec")" = /usr/bin/swatchly ] &&
     [ -f "/usr/share/icons/hicolor/48x48/apps/$entry_icon.png" ]'

"${nobody[@]}" DISPLAY="$DISPLAY" /usr/bin/swatchly >>"$work/app.log" 2>&1 &
APP_PID=$!
WID="$(wait_window "$title_full" 15000)"
if ! check "/usr/bin/swatchly as nobody shows the window \"$title_full\"" '[ -n "$WID" ]'; then
    app_log
    pkg_restore
    return 0
fi
read -r _ win_h <<<"$(win_size "$WID")"
MB=$((win_h - 258))
check "the program runs as nobody" '[ "$(ps -o user= -p "$APP_PID")" = nobody ]'
wm_class="$(xprop -id "$WID" WM_CLASS | sed -n 's/.*, "\(.*\)"$/\1/p')"
check "its WM_CLASS \"$wm_class\" is the menu entry's StartupWMClass" \
    '[ -n "$wm_class" ] && grep -qx "StartupWMClass=$wm_class" "$desktop_file"'
check "the window carries its icon (_NET_WM_ICON)" 'xprop -id "$WID" _NET_WM_ICON | grep -q "="'
sleep 0.3
root_shot 12-installed "$WID"

click "$save_x" "$save_y"
check "the save button opens the panel" 'wait_title "$WID" "$title_save"'
click "$name_x" "$name_y"
xdotool type --delay 30 "installed"
click "$oksave_x" "$oksave_y"
wait_for 3000 test -f "$pkg_home/.local/share/Swatchly/installed.pdt"
sleep 0.3
if [ "$(xdotool search --onlyvisible --pid "$APP_PID" 2>/dev/null | wc -l)" -gt 1 ]; then
    root_shot 12-save-message "$WID"
    echo "      a message box came up (screenshot 12-save-message); closing it"
    xdotool key Return
    sleep 0.3
fi
saved="$(find "$pkg_home/.local/share" -type f -printf '%P %s, ' 2>/dev/null)"
check "the palette is saved in nobody's data folder, the only file there: ${saved:-none}" \
    '[ "$saved" = "Swatchly/installed.pdt 192, " ]'
click "$back_x" "$back_y"

xdotool windowminimize "$WID"
check "the window is minimised (_NET_WM_STATE_HIDDEN)" 'wait_for 3000 is_hidden "$WID"'
cli_run second DISPLAY="$DISPLAY"
check "a second start as the same user ends with status 0 (got $cli_rc)" '[ "$cli_rc" -eq 0 ]'
check "the running window is restored: mapped, no longer hidden" 'wait_for 3000 is_shown "$WID"'
check "and raised: it is the active window, on top" 'wait_for 3000 is_active "$WID"'
count=$(xdotool search --onlyvisible --class '^Swatchly$' 2>/dev/null | wc -l) # its caption names the panel now
check "still exactly one Swatchly window (got $count)" '[ "$count" -eq 1 ]'
sleep 0.3
root_shot 12-restored "$WID"
# Shown again in any case, so that the checks below do not depend on the ones above.
is_shown "$WID" || { activate "$WID"; sleep 0.3; }
click "$quit_x" "$quit_y"
check "quit button: the program ends with status 0" 'app_wait_exit 5000 0' || app_kill_all
# New paths under /usr that no package owns (packages installed meanwhile by others do not count).
find /usr -xdev -newer "$usr_stamp" 2>/dev/null | sort >"$work/usr-new"
cat /var/lib/dpkg/info/*.list | sort -u >"$work/usr-owned"
new_in_usr="$(comm -23 "$work/usr-new" "$work/usr-owned" | head -n 20 | xargs)"
check "nothing new under /usr while it ran${new_in_usr:+ (found: $new_in_usr)}" '[ -z "$new_in_usr" ]'

# ===========================================================================================
step "13. the command line of the installed program"
cli_run version --version
check "--version prints \"Swatchly 1.0\", status 0 (got $cli_rc: $(head -c 80 "$work/version.out"))" \
    '[ "$cli_rc" -eq 0 ] && [ "$(cat "$work/version.out")" = "Swatchly 1.0" ]'
cli_run help --help
check "--help prints a Japanese usage text naming --version, status 0 (got $cli_rc)" \
    '[ "$cli_rc" -eq 0 ] && is_japanese "$work/help.out" && grep -q -- "--version" "$work/help.out"'
cli_run unknown DISPLAY="$DISPLAY" --frobnicate
check "an unknown option: status 2, one Japanese line on stderr naming it (got $cli_rc: $(head -c 120 "$work/unknown.err"))" \
    '[ "$cli_rc" -eq 2 ] && one_line "$work/unknown.err" && is_japanese "$work/unknown.err" &&
     grep -q -- "--frobnicate" "$work/unknown.err"'
cli_run argument DISPLAY="$DISPLAY" palette.pdt
check "an argument: status 2, one Japanese line on stderr (got $cli_rc: $(head -c 120 "$work/argument.err"))" \
    '[ "$cli_rc" -eq 2 ] && one_line "$work/argument.err" && is_japanese "$work/argument.err"'
for display in "" DISPLAY=:4093; do # none, and one that refuses
    # shellcheck disable=SC2086 # no argument for no display
    cli_run nodisplay $display
    check "no display${display:+ ($display refuses)}: status 1, one Japanese line on stderr (got $cli_rc: $(head -c 120 "$work/nodisplay.err"))" \
        '[ "$cli_rc" -eq 1 ] && one_line "$work/nodisplay.err" && is_japanese "$work/nodisplay.err"'
done
check "none of these left a window" 'wait_no_window "Swatchly" 1000'

# ===========================================================================================
step "14. the package removed again"
dpkg --purge swatchly >>"$work/dpkg.log" 2>&1
rc=$?
pkg_installed=""
check "dpkg --purge swatchly (status $rc) leaves no package, no /usr/bin/swatchly, no /usr/lib/swatchly" \
    '[ "$rc" -eq 0 ] && ! dpkg-query -W -f="\${Status}" swatchly 2>/dev/null | grep -q "ok installed" &&
     [ ! -L /usr/bin/swatchly ] && [ ! -e /usr/lib/swatchly ]'
pkg_restore
