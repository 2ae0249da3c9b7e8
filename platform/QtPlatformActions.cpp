// The parts of the desktop that only menu commands use: screen picks and the file dialogs.

#include "platform/QtPlatform.h"
#include "platform/ScreenPicker.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace platform {

void QtPlatform::pickScreenColor(QWidget* window, ScreenPickDone done) {
    if (m_picker == nullptr) {
        m_picker = std::make_unique<ScreenPicker>(screenPickWay());
    }
    m_picker->start(window, std::move(done));
}

namespace {

// The dialog opens where the last one was left, at first in the home folder.
QString chooseFile(QWidget* owner, QFileDialog::AcceptMode mode, const QString& title, const QString& filter,
                   QString& lastFolder, const QString& name, const QString& suffix) {
    QFileDialog dialog(owner, title, lastFolder.isEmpty() ? QDir::homePath() : lastFolder, filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // Asked by the caller, in the program's words.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(suffix);
    if (!name.isEmpty()) {
        dialog.selectFile(name);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    const QString path = dialog.selectedFiles().constFirst();
    lastFolder = QFileInfo(path).absolutePath();
    return path;
}

} // namespace

QString QtPlatform::chooseSaveFile(QWidget* owner, const QString& title, const QString& filter,
                                   const QString& suggestedName, const QString& suffix) {
    return chooseFile(owner, QFileDialog::AcceptSave, title, filter, m_lastFolder, suggestedName, suffix);
}

QString QtPlatform::chooseOpenFile(QWidget* owner, const QString& title, const QString& filter) {
    return chooseFile(owner, QFileDialog::AcceptOpen, title, filter, m_lastFolder, {}, {});
}

} // namespace platform
