#include "app/ErrorGuard.h"

#include "platform/Platform.h"

#include <new>

void ReportError(platform::Platform& platform, QWidget* owner, const std::exception& error) {
    QString text;
    if (const auto* appError = dynamic_cast<const AppError*>(&error)) {
        text = appError->message();
    } else if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) {
        text = QStringLiteral("メモリが不足しています。操作を完了できませんでした。");
    } else {
        text = QStringLiteral("予期しないエラーが発生しました。操作を完了できませんでした。\n（%1）")
                   .arg(QString::fromLocal8Bit(error.what()));
    }
    try {
        platform.messageBox(owner, text, 0);
    } catch (...) {
        // Nothing more can be reported from here.
    }
}
