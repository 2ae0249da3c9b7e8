#include "palette/GimpPalette.h"

#include "app/ErrorGuard.h"
#include "palette/PaletteFile.h"

#include <QDir>
#include <QFileInfo>

namespace GimpPalette {

namespace {

const QString Noun = QStringLiteral("GIMPパレット");

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// A decimal number 0..255 starting at `at`; moves `at` past it. -1 for no number, 256 for a
// larger one.
int readComponent(const QByteArray& line, qsizetype& at) {
    int value = -1;
    while (at < line.size() && line[at] >= '0' && line[at] <= '9') {
        value = std::min(256, (value < 0 ? 0 : value * 10) + (line[at] - '0'));
        ++at;
    }
    return value;
}

} // namespace

QByteArray encode(const PaletteTable& table, const QString& name) {
    QStringList outside;
    for (int i = 0; i < PaletteTable::Entries; ++i) {
        if (SwatchColor(table.at(i, 0), table.at(i, 1), table.at(i, 2)) == UnshowableColor) {
            outside << QStringLiteral("%1 番目（%2, %3, %4）")
                           .arg(QString::number(i + 1), QString::number(table.at(i, 0)),
                                QString::number(table.at(i, 1)), QString::number(table.at(i, 2)));
        }
    }
    if (!outside.isEmpty()) {
        throw AppError(
            QStringLiteral("マイパレットに 0～255 の範囲外の値を持つ色があるため、GIMPパレットに書き出せません。\n%1")
                .arg(outside.join(QLatin1Char('\n'))));
    }
    QString oneLine;
    for (const QChar ch : name) {
        oneLine +=
            ch.category() == QChar::Other_Control || ch == QChar::LineSeparator || ch == QChar::ParagraphSeparator
                ? QLatin1Char(' ')
                : ch;
    }
    QByteArray text = "GIMP Palette\nName: " + oneLine.trimmed().toUtf8() + "\nColumns: 6\n#\n# Swatchly\n#\n";
    for (int i = 0; i < PaletteTable::Entries; ++i) {
        const int r = table.at(i, 0);
        const int g = table.at(i, 1);
        const int b = table.at(i, 2);
        text += QStringLiteral("%1 %2 %3\t#%4%5%6\n")
                    .arg(r, 3)
                    .arg(g, 3)
                    .arg(b, 3)
                    .arg(r, 2, 16, QLatin1Char('0'))
                    .arg(g, 2, 16, QLatin1Char('0'))
                    .arg(b, 2, 16, QLatin1Char('0'))
                    .toUpper()
                    .toLatin1();
    }
    return text;
}

PaletteTable decode(const QByteArray& bytes, const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    auto refuse = [&](qsizetype lineNumber, const QString& why) {
        return AppError(
            QStringLiteral("「%1」はGIMPパレットとして読み込めません。\n%2 行目: %3\nマイパレットは元のままです。")
                .arg(shown, QString::number(lineNumber), why));
    };
    const QList<QByteArray> lines = bytes.split('\n');
    QByteArray first = lines.value(0);
    if (first.startsWith("\xEF\xBB\xBF")) {
        first.remove(0, 3);
    }
    if (first.trimmed() != "GIMP Palette") {
        throw refuse(1, QStringLiteral("最初の行が「GIMP Palette」ではありません。"));
    }
    PaletteTable table;
    table.fill(255, 255, 255);
    int colours = 0;
    for (qsizetype n = 1; n < lines.size(); ++n) {
        const QByteArray& line = lines[n];
        qsizetype at = 0;
        while (at < line.size() && isBlank(line[at])) {
            ++at;
        }
        if (at == line.size() || line[at] == '#' || line.startsWith("Name:") || line.startsWith("Columns:")) {
            continue;
        }
        int rgb[3] = {};
        for (int c = 0; c < 3; ++c) {
            if (c > 0) {
                const qsizetype before = at;
                while (at < line.size() && isBlank(line[at])) {
                    ++at;
                }
                if (at == before) {
                    at = line.size(); // numbers run together, or something else follows
                }
            }
            rgb[c] = readComponent(line, at);
            if (rgb[c] < 0) {
                throw refuse(n + 1, QStringLiteral("赤・緑・青の３つの数が並んでいません。"));
            }
            if (rgb[c] > 255) {
                throw refuse(n + 1, QStringLiteral("0～255 の範囲外の値があります。"));
            }
        }
        // After the numbers a blank and the colour's name, or nothing.
        if (at < line.size() && !isBlank(line[at])) {
            throw refuse(n + 1, QStringLiteral("赤・緑・青の３つの数が並んでいません。"));
        }
        if (colours < PaletteTable::Entries) {
            table.setEntry(colours, rgb[0], rgb[1], rgb[2]);
        }
        ++colours;
    }
    if (colours == 0) {
        throw refuse(lines.size(), QStringLiteral("色が１つもありません。"));
    }
    return table;
}

PaletteTable read(const QString& path) {
    return decode(PaletteFile::readWhole(path, Noun, MaxBytes), path);
}

void write(const QString& path, const PaletteTable& table) {
    PaletteFile::replaceWhole(path, encode(table, QFileInfo(path).completeBaseName()), Noun);
}

} // namespace GimpPalette
