# shellcheck shell=bash
# The look (sourced by run.sh): a visible focus mark on the focused slider, Qt's own texts in
# Japanese, the window's own light colours under a dark desktop palette with only VL Gothic as
# Japanese font, and the note at start-up when no Japanese font is installed at all.
# shellcheck disable=SC2016,SC2154

# A fontconfig set-up of our own that hides some of the installed fonts.
fonts_without() { # file glob...
    local file="$1" glob
    shift
    {
        echo '<?xml version="1.0"?><!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd"><fontconfig>'
        echo '<include ignore_missing="yes">/etc/fonts/fonts.conf</include><selectfont><rejectfont>'
        for glob in "$@"; do echo "<glob>$glob</glob>"; done
        echo '</rejectfont></selectfont></fontconfig>'
    } >"$file"
}
hidden_ipa=(/usr/share/fonts/opentype/ipafont-gothic/* /usr/share/fonts/truetype/fonts-japanese-*
    /usr/share/fonts/opentype/noto/* /usr/share/fonts/truetype/takao-gothic/*)
fonts_without "$work/vl-only.conf" "${hidden_ipa[@]}"
fonts_without "$work/no-japanese.conf" "${hidden_ipa[@]}" /usr/share/fonts/truetype/vlgothic/*
# A dark desktop palette through the qt6ct platform theme; its fonts as Qt's defaults.
mkdir -p "$work/dark/qt6ct"
printf '[Appearance]\ncolor_scheme_path=/usr/share/qt6ct/colors/darker.conf\ncustom_palette=true\nstyle=Fusion\n[Fonts]\ngeneral="Sans Serif,9,-1,5,400,0,0,0,0,0,0,0,0,0,0,1"\nfixed="Monospace,9,-1,5,400,0,0,0,0,0,0,0,0,0,0,1"\n' \
    >"$work/dark/qt6ct/qt6ct.conf"

# The number of colours in a part of a screenshot: FILE X Y W H (client pixels for Y).
colours_in() { convert "$1" -crop "$4x$5+$2+$3" +repage -format %k info:; }

# ===========================================================================================
step "20. focus mark, Japanese context menus"
app_start
WID="$(wait_window "$title_full" 15000)"
if [ -n "$WID" ]; then
    activate "$WID"
    shot 20-focus-red "$WID"
    xdotool key Tab
    sleep 0.3
    shot 20-focus-green "$WID"
    highlight=48,140,198
    check "the focused red slider has the focus mark, the green one none" \
        '[ "$(pix "$shots/20-focus-red.png" 1 $((MB + 200)))" = "$highlight" ] &&
         [ "$(pix "$shots/20-focus-red.png" 33 $((MB + 200)))" != "$highlight" ]'
    check "after Tab the mark is on the green slider and the screenshots differ" \
        '[ "$(pix "$shots/20-focus-green.png" 33 $((MB + 200)))" = "$highlight" ] &&
         [ "$(pix "$shots/20-focus-green.png" 1 $((MB + 200)))" != "$highlight" ] &&
         ! cmp -s "$shots/20-focus-red.png" "$shots/20-focus-green.png"'
    # The context menus of a slider and of the preview, in Japanese (look at the screenshots).
    click 48 150 3
    sleep 0.4
    root_shot 20-slider-context-menu "$WID"
    xdotool key Escape
    click 150 16 3
    sleep 0.4
    root_shot 20-preview-context-menu "$WID"
    xdotool key Escape
    sleep 0.2
    activate "$WID"
    xdotool key alt+F4
    check "closed with Alt+F4" 'app_wait_exit 5000 0'
else
    fail "no window for the focus step"
    app_log
fi

# ===========================================================================================
step "21. dark desktop palette, only VL Gothic as Japanese font"
ja_fonts="$(FONTCONFIG_FILE="$work/vl-only.conf" fc-list :lang=ja family)"
check "the font set-up leaves only VL Gothic for Japanese ($(echo $ja_fonts))" \
    '[ -n "$ja_fonts" ] && ! grep -qv "^VL" <<<"$ja_fonts"'
XDG_CONFIG_HOME="$work/dark" QT_QPA_PLATFORMTHEME=qt6ct FONTCONFIG_FILE="$work/vl-only.conf" app_start
WID="$(wait_window "$title_full" 15000)"
if [ -n "$WID" ]; then
    read -r _ win_h <<<"$(win_size "$WID")"
    MB=$((win_h - 258))
    sleep 0.3
    shot 21-dark-vl "$WID"
    check_pixel "the bare window area keeps its light grey" "$shots/21-dark-vl.png" "$bare_x" "$bare_y" 239,239,239
    check_pixel "the code box keeps its white" "$shots/21-dark-vl.png" 110 46 255,255,255
    check "the copy-format button's face is light (got $(pix "$shots/21-dark-vl.png" 146 $((MB + 186))))" \
        '! is_dark "$(pix "$shots/21-dark-vl.png" 146 $((MB + 186)))"'
    check "letters R, G, B still red, green, blue" \
        'is_reddish "$(letter_colour "$shots/21-dark-vl.png" 0)" && is_greenish "$(letter_colour "$shots/21-dark-vl.png" 32)" &&
         is_bluish "$(letter_colour "$shots/21-dark-vl.png" 64)"'
    check "all four menus on the bar: its right end shows no overflow button" \
        '[ "$(colours_in "$shots/21-dark-vl.png" 299 2 7 $((MB - 4)))" -le 2 ]'
    activate "$WID"
    xdotool key alt+h
    sleep 0.4
    root_shot 21-dark-vl-help-menu "$WID"
    xdotool key Down Return
    BOX="$(wait_window "Swatchly" 5000)"
    check "the version box opens from the fourth menu" '[ -n "$BOX" ]'
    if [ -n "$BOX" ]; then
        sleep 0.3
        shot 21-dark-version-box "$BOX"
        check "the version box follows the dark desktop (so the palette is in force)" \
            'is_dark "$(pix "$shots/21-dark-version-box.png" 5 5)"'
        activate "$BOX"
        xdotool key Return
        wait_no_window "Swatchly\$" 3000
    fi
    activate "$WID"
    xdotool key alt+F4
    check "closed with Alt+F4" 'app_wait_exit 5000 0'
else
    fail "no window under the dark palette"
    app_log
fi

# ===========================================================================================
step "22. no Japanese font at all"
: >"$work/app.log"
FONTCONFIG_FILE="$work/no-japanese.conf" app_start
BOX="$(wait_window "Swatchly" 15000)"
check "a message box comes up first" '[ -n "$BOX" ]'
check "standard error names the package to install" 'grep -q "apt install fonts-ipafont-gothic" "$work/app.log"'
if [ -n "$BOX" ]; then
    sleep 0.3
    shot 22-no-japanese-font-box "$BOX"
    activate "$BOX"
    xdotool key Return
fi
WID="$(wait_window "$title_full" 15000)"
check "after the box the window comes up all the same" '[ -n "$WID" ]'
if [ -n "$WID" ]; then
    activate "$WID"
    xdotool key alt+F4
    check "closed with Alt+F4" 'app_wait_exit 5000 0'
fi
