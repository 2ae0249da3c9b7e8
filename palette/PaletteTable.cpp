#include "palette/PaletteTable.h"

#include "app/ErrorGuard.h"

QString SwatchComponentText(std::int32_t value) {
    // A negative component is written as its 32-bit two's complement, eight digits.
    QString text = QString::number(static_cast<std::uint32_t>(value), 16).toUpper();
    if (text.size() == 1) {
        text.prepend(QLatin1Char('0'));
    }
    return text;
}

std::int32_t SwatchColor(std::int32_t r, std::int32_t g, std::int32_t b) {
    // Every colour the program makes itself: the hexadecimal text is the plain number.
    if (r >= 0 && r <= 255 && g >= 0 && g <= 255 && b >= 0 && b <= 255) {
        return r + 256 * g + 65536 * b;
    }
    const QString text = SwatchComponentText(b) + SwatchComponentText(g) + SwatchComponentText(r);
    // Leading zeros carry no value; more than eight digits do not fit in 32 bits.
    qsizetype first = 0;
    while (first < text.size() - 1 && text.at(first) == QLatin1Char('0')) {
        ++first;
    }
    const QStringView digits = QStringView(text).mid(first);
    if (digits.size() > 8) {
        throw AppError(QStringLiteral("パレットの色 (R%1, G%2, B%3) は色として表せません（値が大きすぎます）。"
                                      "各成分は 0～255 でなければなりません。")
                           .arg(r)
                           .arg(g)
                           .arg(b));
    }
    // Eight digits are read as a 32-bit pattern, as a hexadecimal constant would be.
    return static_cast<std::int32_t>(digits.toUInt(nullptr, 16));
}
