# shellcheck shell=bash
# The Debian package as a user gets it (sourced by run.sh): build it with CPack from the build tree
# under test (twice: the same bytes), check its fields, files and binary and run lintian, install
# it with dpkg, run /usr/bin/swatchly as the unprivileged user nobody with a fresh home, then remove
# the package again. Needs root. The machine is left as it was, also on failure; a swatchly package
# installed before is never touched.
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
# The package names of a relation field, without versions, sorted, on one line.
relation_names() { dpkg-deb -f "$1" "$2" | tr ',' '\n' | sed 's/(.*)//; s/ //g' | grep -v '^$' | sort | xargs; }
# The share of dark (text) pixels, 0..1, in a rectangle W H X Y of an image.
dark_share() { convert "$1" -crop "${2}x${3}+${4}+${5}" +repage -colorspace Gray -threshold 40% -format '%[fx:1-mean]' info:; }

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
# Without SOURCE_DATE_EPOCH from outside: the package's own date must make it reproducible.
unset SOURCE_DATE_EPOCH
cpack -G DEB --config "$pkg_build_dir/CPackConfig.cmake" -B "$work/deb" >"$work/cpack.log" 2>&1
deb="$(find "$work/deb" -maxdepth 1 -name 'swatchly_*.deb' -print -quit)"
check "cpack -G DEB builds ${deb:+$(basename "$deb")}" '[ -n "$deb" ]' || { tail -n 20 "$work/cpack.log"; return 0; }
# Again, a second later, with each file the build made for the package stamped anew.
mv "$deb" "$work/first.deb"
sleep 1
touch "$pkg_build_dir/swatchly" "$pkg_build_dir"/doc/* "$pkg_build_dir"/install-marker/*
find "$pkg_build_dir/icons" -type f -exec touch {} +
cpack -G DEB --config "$pkg_build_dir/CPackConfig.cmake" -B "$work/deb" >>"$work/cpack.log" 2>&1
check "built twice, the package is the same byte for byte" 'cmp "$work/first.deb" "$deb"'
depends="$(relation_names "$deb" Depends)"
check "Depends: the libraries of the binary and Qt's platform plugins, nothing else (got: $depends)" \
    '[ "$depends" = "libc6 libgcc-s1 libqt6core6 libqt6dbus6 libqt6gui6 libqt6widgets6 libstdc++6 libxcb1 qt6-qpa-plugins" ]'
recommends="$(relation_names "$deb" Recommends)"
check "Recommends: the fonts, Qt's Japanese texts and its Wayland plugin (got: $recommends)" \
    '[ "$recommends" = "fonts-ipafont-gothic fonts-liberation qt6-translations-l10n qt6-wayland" ]'
dpkg-deb -c "$deb" >"$work/deb-contents"
check "the package holds the executable usr/bin/swatchly, help and install marker in usr/share/swatchly, the manual page and the copyright, nothing in usr/lib" \
    'grep -q "^-rwxr-xr-x .* \./usr/bin/swatchly$" "$work/deb-contents" &&
     grep -q "\./usr/share/swatchly/swatchly\.hlp$" "$work/deb-contents" &&
     grep -q "\./usr/share/swatchly/swatchly\.installed$" "$work/deb-contents" &&
     grep -q "\./usr/share/man/man1/swatchly\.1\.gz$" "$work/deb-contents" &&
     grep -q "\./usr/share/doc/swatchly/copyright$" "$work/deb-contents" &&
     ! grep -q "\./usr/lib/" "$work/deb-contents"'
dpkg-deb -x "$deb" "$work/deb-tree"
# Counted as dpkg-gencontrol counts: each file in whole KiB, rounded up, 1 KiB a folder or link.
installed_kib="$(dpkg-deb -f "$deb" Installed-Size)"
file_kib="$(find "$work/deb-tree" -type f -printf '%s\n' | awk '{ s += int(($1 + 1023) / 1024) } END { print s }')"
other_kib="$(find "$work/deb-tree" -mindepth 1 ! -type f | wc -l)"
check "Installed-Size $installed_kib KiB is what it installs: $file_kib KiB of files, $other_kib folders and links" \
    '[ "$installed_kib" -eq $((file_kib + other_kib)) ]'
packaged="$work/deb-tree/usr/bin/swatchly"
check "the packaged executable is stripped, without a .comment section" \
    'file "$packaged" | grep -q ", stripped" && ! readelf -S -W "$packaged" | grep -q " \.comment "'
check "and has no RUNPATH or RPATH: $(readelf -d "$packaged" | grep -E "R(UN)?PATH" | xargs)" \
    '! readelf -d "$packaged" | grep -qE "\((RUNPATH|RPATH)\)"'
lintian -EvIL +pedantic "$deb" >"$work/lintian.log" 2>&1
rc=$?
grep -v "running with root privileges" "$work/lintian.log" | sed 's/^/      /'
# A tree built without Debian's hardening flags (./scripts/package.sh uses them) cannot avoid the
# hardening tags; every other tag counts.
tags="$(grep -E "^[EWIPXOC]: " "$work/lintian.log")"
grep -q -- "-D_FORTIFY_SOURCE" "$pkg_build_dir/CMakeCache.txt" || tags="$(grep -v ": hardening-no-" <<<"$tags")"
check "lintian -EvIL +pedantic reports no tag (status $rc${tags:+; tags: $(xargs <<<"$tags")})" \
    '[ "$rc" -eq 0 ] && [ -z "$tags" ]'

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

# F1: the help from /usr/share/swatchly, its contents listed on the left (a missing file leaves
# that pane empty and says so on the right). The quit button below closes it with the program.
activate "$WID"
xdotool key F1
HELP="$(wait_window "$title_help" 10000)"
if check "F1 opens the help window" '[ -n "$HELP" ]'; then
    sleep 0.5
    shot 12-help "$HELP"
    read -r help_w help_h <<<"$(win_size "$HELP")"
    listed="$(dark_share "$shots/12-help.png" $((help_w / 4)) $((help_h - 20)) 10 10)"
    check "its contents pane lists the sections of /usr/share/swatchly/swatchly.hlp (dark share $listed)" \
        'awk "BEGIN { exit !($listed > 0.01) }"'
    activate "$WID"
fi
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
pkg_version="$(dpkg-query -W -f='${Version}' swatchly)"
log_version="$(zcat /usr/share/doc/swatchly/changelog.gz | sed -n '1s/.*(\(.*\)).*/\1/p')"
meta_version="$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' /usr/share/metainfo/io.github.swatchly.Swatchly.metainfo.xml | head -n1)"
man_version="$(zcat /usr/share/man/man1/swatchly.1.gz | sed -n 's/^\.TH .*"Swatchly \([^"]*\)".*/\1/p')"
check "one version everywhere: the program's 1.0, package $pkg_version, changelog $log_version, metainfo $meta_version, manual page $man_version" \
    '[ "$(printf "%s\n" 1.0 "$pkg_version" "$log_version" "$meta_version" "$man_version" | sort -u)" = 1.0 ]'
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
# No window system: each line names what Qt tried and why it failed. Qt's Wayland plugin comes
# with the package qt6-wayland, which this machine may or may not have.
if dpkg-query -W -f='${Status}' qt6-wayland 2>/dev/null | grep -q "ok installed"; then
    no_wayland="Wayland の画面（WAYLAND_DISPLAY=wayland-e2e）に接続できません"
else
    no_wayland="（wayland）がインストールされていません（パッケージ qt6-wayland）"
fi
for row in "no display|X11 の画面（DISPLAY=未設定）に接続できません" \
    "DISPLAY=:4093|X11 の画面（DISPLAY=:4093）に接続できません" \
    "WAYLAND_DISPLAY=wayland-e2e|$no_wayland" \
    "QT_QPA_PLATFORM=nosuch|プラットフォームプラグイン nosuch がありません"; do
    IFS='|' read -r setting says <<<"$row"
    extra=()
    [[ "$setting" == *=* ]] && extra=("$setting")
    timeout 10 "${nobody[@]}" "${extra[@]}" /usr/bin/swatchly >"$work/nodisplay.out" 2>"$work/nodisplay.err" </dev/null
    cli_rc=$?
    check "$setting: status 1, one Japanese line on stderr saying \"$says\" (got $cli_rc: $(head -c 300 "$work/nodisplay.err"))" \
        '[ "$cli_rc" -eq 1 ] && one_line "$work/nodisplay.err" && grep -qF "$says" "$work/nodisplay.err"'
done
check "none of these left a window" 'wait_no_window "Swatchly" 1000'

# ===========================================================================================
step "14. the package removed again"
dpkg --purge swatchly >>"$work/dpkg.log" 2>&1
rc=$?
pkg_installed=""
check "dpkg --purge swatchly (status $rc) leaves no package, no /usr/bin/swatchly, no /usr/share/swatchly" \
    '[ "$rc" -eq 0 ] && ! dpkg-query -W -f="\${Status}" swatchly 2>/dev/null | grep -q "ok installed" &&
     [ ! -e /usr/bin/swatchly ] && [ ! -e /usr/share/swatchly ]'
pkg_restore
