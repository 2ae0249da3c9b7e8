#pragma once

#include "platform/Platform.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace platform {

// The test double: records every call and answers message boxes from a queue.
class FakePlatform final : public Platform {
public:
    struct MessageBoxCall {
        QString text;
        int style = 0;
        QString title;
    };

    explicit FakePlatform(QString folder = {});

    // Answers for the next message boxes, in order; a box without a queued answer gets
    // AnswerNo for Yes/No boxes and AnswerOk otherwise.
    void queueAnswer(int answer) { m_answers.append(answer); }
    // Runs when a message box is shown, before it is answered (to look at the window then).
    std::function<void(const MessageBoxCall&)> onMessageBox;

    QList<MessageBoxCall> messageBoxes;
    QStringList openedHelp;
    QStringList quitHelpFiles;
    QList<bool> alwaysOnTopCalls;
    int dragCount = 0;
    QPoint dragFrom; // the press the last move started from
    int clipboardClears = 0;
    QStringList clipboardTexts;
    QString clipboard;                              // what the clipboard holds now
    bool clipboardWaits = false;                    // reads wait in pendingClipboardReads instead of answering at once
    QList<ClipboardTextDone> pendingClipboardReads; // every read started while it waits, unanswered
    int clipboardReadsCancelled = 0;
    bool picksScreen = true;            // what canPickScreenColor() answers
    QList<ScreenPickDone> pendingPicks; // picks started and not yet ended by the test
    QStringList chosenFiles;            // what the next file dialogs answer, in order
    bool otherInstance = false;
    bool keepsOnTop = true; // what canKeepOnTop() answers
    QString folder;
    QString palettes; // the palette folder; empty: the program folder
    QString settings; // the settings file; empty: swatchly.ini in the program folder
    // What runs when the session ends (the test runs it); empty until the window asks for it.
    std::function<void()> sessionEnds;
    QStringList standardError; // each line said on standard error, without "swatchly: "

    int messageBox(QWidget* owner, const QString& text, int style, const QString& title = {}) override;
    void openHelp(QWidget* owner, const QString& helpFile) override;
    void quitHelp(QWidget* owner, const QString& helpFile) override;
    void setAlwaysOnTop(QWidget* window, bool on) override;
    bool canKeepOnTop() const override { return keepsOnTop; }
    void beginWindowDrag(QWidget* window, QPoint pressedAt) override;
    void clearClipboard() override;
    void setClipboardText(const QString& text) override;
    void readClipboardText(ClipboardTextDone done) override;
    void cancelClipboardRead() override;
    bool canPickScreenColor() const override { return picksScreen; }
    void pickScreenColor(QWidget* window, ScreenPickDone done) override;
    QString chooseSaveFile(QWidget* owner, const QString& title, const QString& filter, const QString& suggestedName,
                           const QString& suffix) override;
    QString chooseOpenFile(QWidget* owner, const QString& title, const QString& filter) override;
    bool previousInstanceRunning() override { return otherInstance; }
    // Later starts are real processes: tests/platform/tst_singleinstance.cpp starts them.
    void bringForwardOnLaterStarts(QWidget* window) override { Q_UNUSED(window); }
    // Signals are real: tests/platform/tst_qtplatform.cpp raises them.
    void closeOnTerminationSignals(QWidget* window) override { Q_UNUSED(window); }
    QString programFolder() const override { return folder; }
    QString resourceFolder() const override { return folder; }
    QString paletteFolder() const override { return palettes.isEmpty() ? folder : palettes; }
    QString settingsFile() const override;
    void saveWhenSessionEnds(QObject* context, std::function<void()> save) override;
    void sayOnStandardError(const QString& line) override { standardError.append(line); }

private:
    QList<int> m_answers;
};

} // namespace platform
