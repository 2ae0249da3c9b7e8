# shellcheck shell=bash
# Sourced by run.sh: under qt6ct, the usual Qt settings tool outside KDE, with a dark colour
# scheme, a 12 pt font and another style, the window keeps its own look: the window (client area
# and menu bar) and an open menu are the same, pixel for pixel, as without a platform theme.
# shellcheck disable=SC2016,SC2154

step "21b. the window's own look under qt6ct: dark colours, a 12 pt font, the Windows style"
mkdir -p "$work/qt6ct-large/qt6ct"
printf '%s\n' '[Appearance]' 'color_scheme_path=/usr/share/qt6ct/colors/darker.conf' 'custom_palette=true' \
    'style=Windows' '[Fonts]' 'general="Sans Serif,12,-1,5,400,0,0,0,0,0,0,0,0,0,0,1"' \
    'fixed="Monospace,12,-1,5,400,0,0,0,0,0,0,0,0,0,0,1"' >"$work/qt6ct-large/qt6ct/qt6ct.conf"
# look_of NAME: the window in the same place, the pointer away, a shot of it and of the colour
# menu opened from the keyboard.
look_of() {
    app_start
    WID="$(wait_window "$title_full" 15000)"
    [ -n "$WID" ] || { app_log; return 1; }
    xdotool windowmove "$WID" 100 100
    xdotool mousemove 1000 740
    activate "$WID"
    sleep 0.3
    shot "$1" "$WID"
    xdotool key alt+c
    sleep 0.5
    root_shot "$1-menu" "$WID"
    xdotool key Escape Escape
    activate "$WID"
    xdotool key alt+F4
    app_wait_exit 5000 0
}
# same FILE FILE: the number of differing pixels is 0 (compare says how many, or that sizes differ).
same() {
    local differ
    differ="$(compare -metric AE "$1" "$2" null: 2>&1)"
    echo "      differing pixels: $differ"
    [ "$differ" = 0 ]
}
QT_QPA_PLATFORMTHEME='' look_of 21b-no-theme
check "without a platform theme: window and menu shot" '[ -s "$shots/21b-no-theme.png" ] && [ -s "$shots/21b-no-theme-menu.png" ]'
XDG_CONFIG_HOME="$work/qt6ct-large" QT_QPA_PLATFORMTHEME=qt6ct look_of 21b-qt6ct
check "under qt6ct the client area and the menu bar are pixel-identical" \
    'same "$shots/21b-no-theme.png" "$shots/21b-qt6ct.png"'
check "under qt6ct the open colour menu is pixel-identical" \
    'same "$shots/21b-no-theme-menu.png" "$shots/21b-qt6ct-menu.png"'
