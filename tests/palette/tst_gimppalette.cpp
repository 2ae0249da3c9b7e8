// GIMP palettes: the text written, reading it back, what is refused, any bytes, and export and
// import through the window.

#include "palette/GimpPalette.h"
#include "palette/PaletteFile.h"
#include "support/TestWindow.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

PaletteTable sample() {
    PaletteTable table;
    for (int i = 0; i < PaletteTable::Entries; ++i) {
        table.setEntry(i, i * 17, 255 - i, (i * 73) % 256);
    }
    return table;
}

} // namespace

class GimpPaletteTest : public QObject {
    Q_OBJECT

private slots:
    void writtenAndRead() {
        const QByteArray text = GimpPalette::encode(sample(), QStringLiteral("夏\nの色"));
        const QList<QByteArray> lines = text.split('\n');
        QCOMPARE(lines.mid(0, 3), (QList<QByteArray>{"GIMP Palette", "Name: 夏 の色", "Columns: 6"}));
        QCOMPARE(lines[6], QByteArray("  0 255   0\t#00FF00"));
        QCOMPARE(lines.size(), 6 + 16 + 1);
        QCOMPARE(GimpPalette::decode(text, QString()), sample());
        PaletteTable foreign = sample();
        foreign.setEntry(3, 0, 256, 0);
        QVERIFY_THROWS_EXCEPTION(AppError, GimpPalette::encode(foreign, QString()));
        // Other writers: CRLF, a byte order mark, blanks, names, comments, more than 16 colours;
        // fewer than 16 leave the rest white.
        QByteArray other = "\xEF\xBB\xBFGIMP Palette\r\nName: x\r\nColumns: 4\r\n# c\r\n\r\n";
        for (int i = 0; i < 20; ++i) {
            other += QByteArray::number(i) + "\t 1  2 Colour " + QByteArray::number(i) + "\r\n";
        }
        QCOMPARE(GimpPalette::decode(other, QString()).at(15, 0), 15);
        const PaletteTable few = GimpPalette::decode("GIMP Palette\n1 2 3\n", QString());
        QVERIFY(few.at(0, 1) == 2 && few.at(1, 0) == 255);
    }

    void refused() {
        const QList<std::pair<QByteArray, QString>> cases{
            {"1 2 3\n", "1 行目"},                                  // no header
            {"", "1 行目"},                                         // empty
            {"GIMP Palette\n1 2 3\n1 256 3\n", "3 行目"},           // out of range
            {"GIMP Palette\n99999999999999999999 0 0\n", "2 行目"}, // far out of range
            {"GIMP Palette\n1 2\n", "2 行目"},                      // two numbers
            {"GIMP Palette\n1 2 3x\n", "2 行目"},                   // run together
            {"GIMP Palette\n1 -2 3\n", "2 行目"},                   // negative
            {"GIMP Palette\nName: n\n", "色が"},                    // no colour
        };
        for (const auto& [text, told] : cases) {
            QString message;
            try {
                GimpPalette::decode(text, QStringLiteral("/p/x.gpl"));
            } catch (const AppError& error) {
                message = error.message();
            }
            QVERIFY2(message.contains(told) && message.contains(QStringLiteral("/p/x.gpl")), text.constData());
        }
    }

    void anyBytes() {
        const QByteArray fixed = qgetenv("SWATCHLY_FUZZ_SEED");
        const quint32 seed = fixed.isEmpty() ? QRandomGenerator::global()->generate() : fixed.toUInt();
        qInfo("SWATCHLY_FUZZ_SEED=%u", seed);
        QRandomGenerator gen(seed);
        const QByteArray valid = GimpPalette::encode(sample(), QStringLiteral("n"));
        const QByteArray alphabet = "0123456789 \t\r\n#-+GIMP Palette:\xFF";
        for (int i = 0; i < 2000; ++i) {
            // A valid text with bytes changed, inserted or cut, half of them from the alphabet.
            QByteArray bytes = valid;
            for (int e = 0; e < 1 + int(gen.bounded(8)) && !bytes.isEmpty(); ++e) {
                const auto at = qsizetype(gen.bounded(quint32(bytes.size())));
                const char c =
                    gen.bounded(2) ? alphabet[gen.bounded(quint32(alphabet.size()))] : char(gen.bounded(256));
                const int how = int(gen.bounded(3));
                how == 0 ? void(bytes[at] = c) : how == 1 ? void(bytes.insert(at, c)) : bytes.truncate(at);
            }
            const QByteArray where = "case " + QByteArray::number(i) + ": " + bytes.toHex();
            try {
                const PaletteTable table = GimpPalette::decode(bytes, QString());
                QVERIFY2(
                    std::all_of(table.values.begin(), table.values.end(), [](int v) { return v >= 0 && v <= 255; }),
                    where.constData());
            } catch (const AppError& error) {
                QVERIFY2(error.message().contains(QStringLiteral("行目")) ||
                             error.message().contains(QStringLiteral("色が")),
                         where.constData());
            }
        }
    }

    void exportAndImport() {
        TestWindow t;
        frmColor& f = *t.frm;
        f.m.MyPalette = sample();
        const QString gpl = t.path("out.gpl");
        // Written; replaced only after a yes.
        t.os.chosenFiles = {gpl, gpl, gpl};
        f.mnu_Gimp_Export->trigger();
        QCOMPARE(t.readFile("out.gpl"), GimpPalette::encode(sample(), QStringLiteral("out")));
        QVERIFY(t.os.messageBoxes.isEmpty());
        f.m.MyPalette.setEntry(0, 1, 2, 3);
        f.mnu_Gimp_Export->trigger();
        QVERIFY(t.os.messageBoxes.size() == 1 && t.readFile("out.gpl").contains("\n  0 255"));
        t.os.queueAnswer(platform::AnswerYes);
        f.mnu_Gimp_Export->trigger();
        QVERIFY(t.readFile("out.gpl").contains("\n  1   2   3"));
        // Imported into My palette and shown, also from the basic palette; a broken or missing
        // file changes nothing.
        f.mnu_pallete[0]->trigger();
        f.m.MyPalette = PaletteTable{};
        t.writeFile("broken.gpl", "GIMP Palette\n1 2 3\n4 5\n");
        t.os.chosenFiles = {t.path("broken.gpl"), t.path("none.gpl"), gpl};
        f.mnu_Gimp_Import->trigger();
        QVERIFY(t.os.messageBoxes.last().text.contains(QStringLiteral("3 行目")));
        f.mnu_Gimp_Import->trigger();
        QVERIFY(t.os.messageBoxes.last().text.contains(QStringLiteral("none.gpl")));
        QVERIFY(f.m.ShowingBasicPalette && f.m.MyPalette == PaletteTable{});
        f.mnu_Gimp_Import->trigger();
        QVERIFY(!f.m.ShowingBasicPalette && f.m.MyPalette.at(0, 2) == 3 && f.m.PaletteView == f.m.MyPalette);
        QCOMPARE(TestWindow::shownColour(f.lblPallete[1]), QColor(17, 254, 73));
    }
};

QTEST_MAIN(GimpPaletteTest)
#include "tst_gimppalette.moc"
