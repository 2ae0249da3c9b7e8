#include "app/Main.h"

#include "app/Appearance.h"
#include "app/CommandLine.h"
#include "app/frmColor.h"
#include "platform/Platform.h"

#include <QApplication>
#include <cstdio>
#include <optional>
#include <unistd.h>
#include <utility>

namespace {

// What Qt says while the application connects to the display, held back until it is known
// whether the connection was made.
struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};
QList<HeldMessage> heldMessages;
QtMessageHandler passMessagesOn = nullptr;

QString environmentValue(const char* name) {
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? QStringLiteral("未設定") : value;
}

void holdOrEndWithoutDisplay(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        heldMessages.append({type, context.category, text});
        return;
    }
    // Qt gives up on the display (or on every platform plugin) and would abort: one line and
    // status 1 instead, without a core dump.
    QString line = QStringLiteral("swatchly: 画面に接続できないため起動できません（DISPLAY=%1、WAYLAND_DISPLAY=%2")
                       .arg(environmentValue("DISPLAY"), environmentValue("WAYLAND_DISPLAY"));
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        line += QStringLiteral("、QT_QPA_PLATFORM=%1").arg(environmentValue("QT_QPA_PLATFORM"));
    }
    line += QStringLiteral("）。デスクトップの中から起動するか、DISPLAY を確かめてください。\n");
    std::fputs(line.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    _exit(1);
}

// Around the making of the application object: a display that cannot be reached ends the
// program with a message instead of Qt's abort. Ending it, Qt's held messages follow.
void EndCleanlyWithoutDisplay(bool on) {
    if (on) {
        passMessagesOn = qInstallMessageHandler(holdOrEndWithoutDisplay);
        return;
    }
    qInstallMessageHandler(passMessagesOn);
    for (const HeldMessage& message : std::exchange(heldMessages, {})) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
        qt_message_output(message.type, context, message.text);
    }
}

} // namespace

int Main(int argc, char** argv, platform::Platform& platform) {
    // Options are answered first, without a window or the display.
    if (const std::optional<int> status = RunCommandLine(argc, argv)) {
        return *status;
    }
    // A second start brings the running window forward and ends, before any window exists.
    if (platform.previousInstanceRunning()) {
        return 0;
    }
    ChooseWindowSystem();
    EndCleanlyWithoutDisplay(true);
    QApplication app(argc, argv);
    EndCleanlyWithoutDisplay(false);
    QApplication::setApplicationName(QStringLiteral("Swatchly"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.swatchly.Swatchly"));
    InstallJapaneseTranslation();
    SetUpFonts(platform);

    frmColor window(platform);
    window.Form_Load();
    platform.bringForwardOnLaterStarts(&window);
    platform.closeOnTerminationSignals(&window);
    return QApplication::exec();
}
