#include "app/Main.h"

#include "app/frmColor.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QFont>
#include <QFontInfo>

void InstallFontSubstitutions() {
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
    // Japanese text in the default face falls back on the same Japanese face as the rest of
    // the window: one Japanese font loaded instead of two (each costs about 2 MB resident).
    QFont font = QApplication::font();
    if (!font.families().contains(QStringLiteral("IPAPGothic"))) {
        // The family the default face resolves to (the default is often an alias such as
        // "Sans Serif", which would let the Japanese face take over the Latin text too).
        font.setFamilies({QFontInfo(font).family(), QStringLiteral("IPAPGothic")});
        QApplication::setFont(font);
    }
}

int Main(int argc, char** argv, platform::Platform& platform) {
    // A second start ends quietly, before any window exists.
    if (platform.previousInstanceRunning()) {
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Swatchly"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.swatchly.Swatchly"));
    InstallFontSubstitutions();

    frmColor window(platform);
    window.Form_Load();
    return QApplication::exec();
}
