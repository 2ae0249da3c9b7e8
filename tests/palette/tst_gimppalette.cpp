// GIMP palettes: the text written, reading it back, what is refused, any bytes, and export and
// import through the window.

#include "palette/GimpPalette.h"
#include "palette/PaletteFile.h"
#include "support/TestWindow.h"

#include <QRandomGenerator>
#include <QTest>
#include <sys/stat.h>

namespace {

PaletteTable sample() {
    PaletteTable table;
    for (int i = 0; i < PaletteTable::Entries; ++i) {
        table.setEntry(i, i * 17, 255 - i, (i * 73) % 256);
    }
    return table;
}

QString refusal(const QByteArray& bytes) {
    try {
        GimpPalette::decode(bytes, QStringLiteral("/p/x.gpl"));
    } catch (const AppError& error) {
        return error.message();
    }
    return {};
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

    void refused_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("told");
        QTest::addRow("no header") << QByteArray("1 2 3\n") << "1 行目";
        QTest::addRow("empty") << QByteArray() << "1 行目";
        QTest::addRow("256") << QByteArray("GIMP Palette\n1 2 3\n1 256 3\n") << "3 行目";
        QTest::addRow("huge number") << QByteArray("GIMP Palette\n99999999999999999999 0 0\n") << "2 行目";
        QTest::addRow("two numbers") << QByteArray("GIMP Palette\n1 2\n") << "2 行目";
        QTest::addRow("run together") << QByteArray("GIMP Palette\n1 2 3x\n") << "2 行目";
        QTest::addRow("negative") << QByteArray("GIMP Palette\n1 -2 3\n") << "2 行目";
        QTest::addRow("no colour") << QByteArray("GIMP Palette\nName: n\n") << "色が";
    }
    void refused() {
        QFETCH(QByteArray, text);
        QFETCH(QString, told);
        const QString message = refusal(text);
        QVERIFY2(message.contains(told) && message.contains(QStringLiteral("/p/x.gpl")), qPrintable(message));
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
        // Imported into My palette and shown, also from the basic palette; a broken file or a
        // FIFO changes nothing.
        f.mnu_pallete[0]->trigger();
        f.m.MyPalette = PaletteTable{};
        t.writeFile("broken.gpl", "GIMP Palette\n1 2 3\n4 5\n");
        QVERIFY(::mkfifo(QFile::encodeName(t.path("fifo.gpl")).constData(), 0600) == 0);
        t.os.chosenFiles = {t.path("broken.gpl"), t.path("fifo.gpl"), gpl};
        f.mnu_Gimp_Import->trigger();
        QVERIFY(t.os.messageBoxes.last().text.contains(QStringLiteral("3 行目")));
        f.mnu_Gimp_Import->trigger();
        QVERIFY(t.os.messageBoxes.last().text.contains(QStringLiteral("FIFO")));
        QVERIFY(f.m.ShowingBasicPalette && f.m.MyPalette == PaletteTable{});
        f.mnu_Gimp_Import->trigger();
        QVERIFY(!f.m.ShowingBasicPalette && f.m.MyPalette.at(0, 2) == 3 && f.m.PaletteView == f.m.MyPalette);
        QCOMPARE(TestWindow::shownColour(f.lblPallete[1]), QColor(17, 254, 73));
    }
};

QTEST_MAIN(GimpPaletteTest)
#include "tst_gimppalette.moc"
