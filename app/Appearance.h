#pragma once

// How the program looks and reads wherever it runs: the window system it asks for, the
// Japanese font, Qt's own texts in Japanese, and the window's own fixed colours.

#include <QByteArray>
#include <QFont>
#include <QPalette>
#include <QString>
#include <QStringList>

class QMenuBar;
class QStyle;
class QWidget;

namespace platform {
class Platform;
}

// Before the application exists. On a Wayland session that also offers X11, the program runs
// through XWayland, where window managers keep a window on top, unless the user chose a
// platform with QT_QPA_PLATFORM.
void ChooseWindowSystem();
// The platform to ask for given QT_QPA_PLATFORM, WAYLAND_DISPLAY, XDG_SESSION_TYPE and DISPLAY;
// empty: leave the choice to Qt.
QByteArray WindowSystemFor(const QByteArray& chosen, const QByteArray& waylandDisplay, const QByteArray& sessionType,
                           const QByteArray& display);

// The Japanese face among `families` (the installed faces that write Japanese): IPAPGothic,
// else a proportional Gothic face, preferring faces made for Japanese; empty when there is none.
QString PickJapaneseFamily(const QStringList& families);
// The Japanese face of this system, looked up once; empty when none is installed.
QString JapaneseFamily();
// Gives the menu bar the Japanese face at 9 pt, or a little smaller where that face's
// full-width parentheses are wider, so that every menu fits `width` pixels.
void FitMenuBar(QMenuBar* bar, const QString& family, int width);

// The face of the window's controls without a font of their own, of its menu bar and menus:
// Qt's default where no platform theme sets one (Sans Serif 9 pt), the face the layout was made
// with, followed by the Japanese face as InstallFontSubstitutions gives it to the application.
// Whatever font the desktop (or qt6ct) gives the application, the window keeps this one.
QFont LayoutFont();
// The font with every property set: a widget given it takes nothing from the application font.
QFont Pinned(QFont font);

// Maps the font names the window asks for onto installed fonts. False when the system has no
// Japanese font at all.
bool InstallFontSubstitutions();
// The fonts, and when no Japanese font is installed a note on standard error and in a message
// box that reads without one; the program then carries on.
void SetUpFonts(platform::Platform& os);
// The note about a missing Japanese font, in Japanese and English.
QString MissingJapaneseFontText();

// Qt's own texts (context menus, standard buttons) in Japanese. Loading it costs well under a
// millisecond, so it is done at start-up, before the first window.
void InstallJapaneseTranslation();

// The window's own colours, whatever the desktop's palette: the grey face, white boxes and black
// texts of its layout, every colour set. Help window, file dialogs and message boxes follow the
// desktop.
QPalette LightPalette();
// The window's own style, Fusion, whatever style the desktop chose: one for the program, gone
// with the application.
QStyle* OwnStyle();
// Gives a widget and everything in it the window's own look: the style to each, and to each
// that is a window of its own (the widget itself, a menu) the layout's face and colours; the
// others inherit them.
void KeepOwnLook(QWidget* widget);
