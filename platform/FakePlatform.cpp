#include "platform/FakePlatform.h"

#include <QDir>
#include <utility>

namespace platform {

FakePlatform::FakePlatform(QString programFolder)
    : folder(std::move(programFolder)) {}

int FakePlatform::messageBox(QWidget* owner, const QString& text, int style, const QString& title) {
    Q_UNUSED(owner);
    const MessageBoxCall call{text, style, title};
    messageBoxes.append(call);
    if (onMessageBox) {
        onMessageBox(call);
    }
    if (!m_answers.isEmpty()) {
        return m_answers.takeFirst();
    }
    return (style & 0xF) == YesNo ? AnswerNo : AnswerOk;
}

void FakePlatform::openHelp(QWidget* owner, const QString& helpFile) {
    Q_UNUSED(owner);
    openedHelp.append(helpFile);
}

void FakePlatform::quitHelp(QWidget* owner, const QString& helpFile) {
    Q_UNUSED(owner);
    quitHelpFiles.append(helpFile);
}

void FakePlatform::setAlwaysOnTop(QWidget* window, bool on) {
    Q_UNUSED(window);
    alwaysOnTopCalls.append(on);
}

void FakePlatform::beginWindowDrag(QWidget* window, QPoint pressedAt) {
    Q_UNUSED(window);
    ++dragCount;
    dragFrom = pressedAt;
}

void FakePlatform::clearClipboard() {
    ++clipboardClears;
    clipboard.clear();
}

void FakePlatform::setClipboardText(const QString& text) {
    clipboardTexts.append(text);
    clipboard = text;
}

void FakePlatform::readClipboardText(ClipboardTextDone done) {
    if (clipboardWaits) {
        pendingClipboardReads.append(std::move(done));
    } else {
        done(clipboard);
    }
}

void FakePlatform::cancelClipboardRead() {
    ++clipboardReadsCancelled;
    pendingClipboardReads.clear();
}

void FakePlatform::pickScreenColor(QWidget* window, ScreenPickDone done) {
    Q_UNUSED(window);
    pendingPicks.append(std::move(done));
}

QString FakePlatform::chooseSaveFile(QWidget* owner, const QString& title, const QString& filter,
                                     const QString& suggestedName, const QString& suffix) {
    Q_UNUSED(owner);
    Q_UNUSED(filter);
    Q_UNUSED(suggestedName);
    Q_UNUSED(suffix);
    Q_UNUSED(title);
    return chosenFiles.isEmpty() ? QString() : chosenFiles.takeFirst();
}

QString FakePlatform::chooseOpenFile(QWidget* owner, const QString& title, const QString& filter) {
    Q_UNUSED(owner);
    Q_UNUSED(filter);
    Q_UNUSED(title);
    return chosenFiles.isEmpty() ? QString() : chosenFiles.takeFirst();
}

QString FakePlatform::settingsFile() const {
    return settings.isEmpty() ? QDir(folder).filePath(QStringLiteral("swatchly.ini")) : settings;
}

void FakePlatform::saveWhenSessionEnds(QObject* context, std::function<void()> save) {
    Q_UNUSED(context);
    sessionEnds = std::move(save);
}

} // namespace platform
