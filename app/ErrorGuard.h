#pragma once

#include <QString>
#include <exception>
#include <utility>

class QWidget;

namespace platform {
class Platform;
}

// A failure inside an event handler. Its message is shown to the user as it stands, so it is
// written in Japanese and names the value or file involved.
class AppError : public std::exception {
public:
    explicit AppError(QString message)
        : m_message(std::move(message)) {}
    const QString& message() const { return m_message; }
    const char* what() const noexcept override { return "Swatchly error"; }

private:
    QString m_message;
};

// The standard error handler: shows a failure in a message box with an OK button only and the
// program's name as its title. Whatever the handler changed before the failure stays changed.
void ReportError(platform::Platform& platform, QWidget* owner, const std::exception& error);

// Runs an event handler's body inside the standard error handler.
template <typename Body> void Guarded(platform::Platform& platform, QWidget* owner, Body&& body) noexcept {
    try {
        std::forward<Body>(body)();
    } catch (const std::exception& error) {
        ReportError(platform, owner, error);
    }
}
