#include "app/Main.h"

#include "app/Appearance.h"
#include "app/frmColor.h"
#include "platform/Platform.h"

#include <QApplication>

int Main(int argc, char** argv, platform::Platform& platform) {
    // A second start ends quietly, before any window exists.
    if (platform.previousInstanceRunning()) {
        return 0;
    }
    ChooseWindowSystem();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Swatchly"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.swatchly.Swatchly"));
    InstallJapaneseTranslation();
    SetUpFonts(platform);

    frmColor window(platform);
    window.Form_Load();
    return QApplication::exec();
}
