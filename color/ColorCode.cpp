#include "color/ColorCode.h"

QString HexDigits(int component) {
    QString text;
    WriteHexDigits(text, component);
    return text;
}

void WriteHexDigits(QString& text, int component) {
    static constexpr char digits[] = "0123456789ABCDEF";
    // Written in place: a text that already holds two characters and is not shared takes the
    // new digits without a new allocation.
    text.resize(2);
    text[0] = QLatin1Char(digits[(component >> 4) & 0xF]);
    text[1] = QLatin1Char(digits[component & 0xF]);
}

QString ColorCode(const QString& hexR, const QString& hexG, const QString& hexB, std::int32_t copyMode) {
    QString code;
    switch (copyMode) {
    case CopyPlainHex:
        code.reserve(6);
        code.append(hexR).append(hexG).append(hexB);
        break;
    case CopyHtml:
        code.reserve(7);
        code.append(QLatin1Char('#')).append(hexR).append(hexG).append(hexB);
        break;
    case CopyAmpH:
        code.reserve(8);
        code.append(QLatin1String("&H")).append(hexB).append(hexG).append(hexR);
        break;
    default:
        break;
    }
    return code;
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
