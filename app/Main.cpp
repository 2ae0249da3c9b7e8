#include "app/Main.h"

#include "app/Appearance.h"
#include "app/CommandLine.h"
#include "app/frmColor.h"
#include "platform/Platform.h"

#include <QApplication>
#include <QRegularExpression>
#include <csignal>
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

void holdOrEndWithoutDisplay(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        heldMessages.append({type, context.category, text});
        return;
    }
    // Qt gives up on every platform plugin it tried and would abort: one line that says why,
    // and status 1 instead, without a core dump.
    QStringList qtSaid;
    for (const HeldMessage& message : heldMessages) {
        qtSaid.append(message.text);
    }
    qtSaid.append(text);
    const QString line =
        NoDisplayMessage(qtSaid, qEnvironmentVariable("DISPLAY"), qEnvironmentVariable("WAYLAND_DISPLAY")) +
        QLatin1Char('\n');
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

QString NoDisplayMessage(const QStringList& qtSaid, const QString& display, const QString& waylandDisplay) {
    const auto shown = [](const QString& value) { return value.isEmpty() ? QStringLiteral("未設定") : value; };
    // Qt names each plugin it tried: "Could not find the Qt platform plugin "wayland" in """ when
    // no such plugin is installed, "Could not load the Qt platform plugin "xcb" in "" even though
    // it was found." when it is installed but did not start. A plugin that could not reach its
    // display has said so just before; one that says nothing could not be loaded at all.
    static const QRegularExpression tried(QStringLiteral("Could not (find|load) the Qt platform plugin \"([^\"]*)\""));
    QString reasons;
    bool xcbUnreachable = false;
    bool waylandUnreachable = false;
    for (const QString& said : qtSaid) {
        xcbUnreachable = xcbUnreachable || said.contains(QLatin1String("could not connect to display"));
        waylandUnreachable = waylandUnreachable || said.contains(QLatin1String("wl_display"));
        const QRegularExpressionMatch match = tried.match(said);
        if (!match.hasMatch()) {
            continue;
        }
        const bool installed = match.captured(1) == QLatin1String("load");
        const QString plugin = match.captured(2);
        const bool x11 = plugin == QLatin1String("xcb");
        if (!x11 && !plugin.startsWith(QLatin1String("wayland"))) {
            reasons += installed ? QStringLiteral("プラットフォームプラグイン %1 を起動できません。").arg(plugin)
                                 : QStringLiteral("プラットフォームプラグイン %1 がありません（QT_QPA_PLATFORM "
                                                  "を確かめてください）。")
                                       .arg(plugin);
            continue;
        }
        const QString system = x11 ? QStringLiteral("X11") : QStringLiteral("Wayland");
        const QString package = x11 ? QStringLiteral("qt6-qpa-plugins") : QStringLiteral("qt6-wayland");
        if (!installed) {
            reasons +=
                QStringLiteral("%1 用のプラットフォームプラグイン（%2）がインストールされていません（パッケージ %3）。")
                    .arg(system, plugin, package);
        } else if (x11 ? xcbUnreachable : waylandUnreachable) {
            reasons += QStringLiteral("%1 の画面（%2=%3）に接続できません。")
                           .arg(system, x11 ? QStringLiteral("DISPLAY") : QStringLiteral("WAYLAND_DISPLAY"),
                                shown(x11 ? display : waylandDisplay));
        } else {
            reasons += QStringLiteral("%1 用のプラットフォームプラグイン（%2）を読み込めません。必要なライブラリが"
                                      "足りない可能性があります（パッケージ %3 と、それが使うライブラリ）。")
                           .arg(system, plugin, package);
        }
    }
    if (reasons.isEmpty()) {
        return QStringLiteral("swatchly: 画面に接続できないため起動できません（DISPLAY=%1、WAYLAND_DISPLAY=%2）。"
                              "デスクトップの中から起動するか、DISPLAY を確かめてください。")
            .arg(shown(display), shown(waylandDisplay));
    }
    return QStringLiteral("swatchly: 画面に接続できないため起動できません。") + reasons;
}

int Main(int argc, char** argv, platform::Platform& platform) {
    // Options are answered first, without a window or the display.
    if (const std::optional<int> status = RunCommandLine(argc, argv)) {
        return *status;
    }
    // A write past the file size limit (ulimit -f) fails with EFBIG, which a save reports,
    // instead of ending the program; the first such write is the instance lock's.
    std::signal(SIGXFSZ, SIG_IGN);
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
