// GIMP palettes: the text written, reading it back, what is refused, any bytes, and export and
// import through the window.

#include "palette/GimpPalette.h"
#include "palette/PaletteFile.h"
#include "support/Fuzz.h"
#include "support/TestWindow.h"

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
        PaletteTable first16;
        for (int i = 0; i < 20; ++i) {
            other += QByteArray::number(i) + "\t 1  2 Colour " + QByteArray::number(i) + "\r\n";
            if (i < PaletteTable::Entries) {
                first16.setEntry(i, i, 1, 2);
            }
        }
        QCOMPARE(GimpPalette::decode(other, QString()), first16);
        const PaletteTable few = GimpPalette::decode("GIMP Palette\n1 2 3\n", QString());
        QVERIFY(few.at(0, 1) == 2 && few.at(1, 0) == 255);
    }

    // Reading a file: what is refused is named with the file and the line, or the size limit.
    void read_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("outcome"); // the first colour read, the line refused, or the message (%1: the file)
        const QString big = "GIMPパレット「%1」は大きすぎるため読み込めません（1048576 バイトまでです）。";
        const QString header = "1 行目: 最初の行が「GIMP Palette」ではありません。";
        const QString three = "2 行目: 赤・緑・青の３つの数が並んでいません。",
                      range = " 行目: 0～255 の範囲外の値があります。";
        const QByteArray head = "GIMP Palette\n1 2 3\n",
                         mebibyte = head + "#" + QByteArray(1024 * 1024 - 21, '-') + "\n";
        QTest::newRow("0, 255, byte order mark, blanks")
            << QByteArray("\xEF\xBB\xBF GIMP Palette \n 0\t255 0\n") << QString("0 255 0");
        QTest::newRow("a name after the numbers") << QByteArray("GIMP Palette\n1 2 3\tred\n") << "1 2 3";
        QTest::newRow("1 MiB") << mebibyte << "1 2 3";
        QTest::newRow("1 MiB and a byte") << mebibyte + ' ' << big;
        QTest::newRow("no header") << QByteArray("1 2 3\n") << header;
        QTest::newRow("empty") << QByteArray() << header;
        QTest::newRow("256") << head + QByteArray("1 256 3\n") << "3" + range;
        QTest::newRow("far out of range") << QByteArray("GIMP Palette\n99999999999999999999 0 0\n") << "2" + range;
        QTest::newRow("two numbers") << QByteArray("GIMP Palette\n1 2\n") << three;
        QTest::newRow("run together") << QByteArray("GIMP Palette\n1 2 3x\n") << three;
        QTest::newRow("negative") << QByteArray("GIMP Palette\n1 -2 3\n") << three;
        QTest::newRow("no colour") << QByteArray("GIMP Palette\nName: n\n") << "3 行目: 色が１つもありません。";
    }
    void read() {
        QFETCH(QByteArray, text);
        QFETCH(QString, outcome);
        const QTemporaryDir dir;
        const QString path = dir.filePath("x.gpl");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.flush());
        QString result;
        try {
            const PaletteTable table = GimpPalette::read(path);
            result = QString("%1 %2 %3").arg(table.at(0, 0)).arg(table.at(0, 1)).arg(table.at(0, 2));
        } catch (const AppError& error) {
            result = error.message();
        }
        const QString refused = "「%1」はGIMPパレットとして読み込めません。\n%2\nマイパレットは元のままです。";
        QCOMPARE(result, outcome.contains("行目") ? refused.arg(path, outcome) : QString(outcome).replace("%1", path));
    }

    void anyBytes() {
        QRandomGenerator gen = fuzzGenerator();
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
        // Through a link to that file: asked the same, then the file is replaced and the link stays.
        const QString link = t.path("link.gpl"), nowhere = t.path("nowhere.gpl");
        QVERIFY(QFile::link(gpl, link) && QFile::link(nowhere, t.path("dangling.gpl")));
        f.m.MyPalette.setEntry(0, 4, 5, 6);
        t.os.chosenFiles = {link, link, t.path("dangling.gpl")};
        f.mnu_Gimp_Export->trigger();
        QVERIFY(t.os.messageBoxes.size() == 3 && t.os.messageBoxes.last().text.contains(link));
        QVERIFY(t.readFile("out.gpl").contains("\n  1   2   3"));
        t.os.queueAnswer(platform::AnswerYes);
        f.mnu_Gimp_Export->trigger();
        QVERIFY(t.readFile("out.gpl").contains("\n  4   5   6") && QFileInfo(link).isSymLink());
        // A link that leads nowhere is refused without a question, naming it and where it leads: a
        // link in a shared folder does not decide where a file is made.
        f.mnu_Gimp_Export->trigger();
        QCOMPARE(t.os.messageBoxes.size(), 5);
        QVERIFY(
            t.os.messageBoxes.last().text.contains(nowhere + "」を指すリンクですが、その先にファイルがありません。"));
        QVERIFY(!QFileInfo::exists(nowhere) && QFileInfo(t.path("dangling.gpl")).isSymLink());
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
        QVERIFY(!f.m.ShowingBasicPalette && f.m.MyPalette.at(0, 2) == 6 && f.m.PaletteView == f.m.MyPalette);
        QCOMPARE(TestWindow::shownColour(f.lblPallete[1]), QColor(17, 254, 73));
    }
};

QTEST_MAIN(GimpPaletteTest)
#include "tst_gimppalette.moc"
