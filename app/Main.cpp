#include "app/Main.h"

#include "app/frmColor.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QFont>

void InstallFontSubstitutions() {
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
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
