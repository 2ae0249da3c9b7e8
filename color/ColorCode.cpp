#include "color/ColorCode.h"

QString HexDigits(int component) {
    QString text = QString::number(component, 16).toUpper();
    if (text.size() == 1) {
        text.prepend(QLatin1Char('0'));
    }
    return text;
}

QString ColorCode(const QString& hexR, const QString& hexG, const QString& hexB, std::int32_t copyMode) {
    switch (copyMode) {
    case CopyPlainHex:
        return hexR + hexG + hexB;
    case CopyHtml:
        return QLatin1Char('#') + hexR + hexG + hexB;
    case CopyAmpH:
        return QLatin1String("&H") + hexB + hexG + hexR;
    default:
        return {};
    }
}

int CopyModeIcon(std::int32_t copyMode) {
    switch (copyMode) {
    case CopyHtml:
        return 106;
    case CopyAmpH:
        return 105;
    default:
        return 104;
    }
}
