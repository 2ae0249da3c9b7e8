// Palette files: the 192-byte record, saving and loading through the panel, the overwrite
// question, and what happens when names, files or the file system are not as expected.

#include "palette/PaletteTestSupport.h"

#include <QRandomGenerator>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

class PaletteFileTest : public QObject {
    Q_OBJECT

private slots:
    void workedExampleAndRoundTrip_data() {
        QTest::addColumn<bool>("dataFolder");
        QTest::newRow("in the program folder") << false;
        QTest::newRow("in a data folder that the first save makes") << true;
    }
    void workedExampleAndRoundTrip() {
        QFETCH(bool, dataFolder);
        Fixture p;
        const QString program = p.dir;
        if (dataFolder) { // as an installed program has it
            p.os.palettes = p.dir = p.folder.filePath("data/Swatchly");
            p.f.FilPallete->setPath(p.os.paletteFolder());
        }
        p.reg(0, {255, 0, 0});
        const PaletteTable saved = p.m().MyPalette;
        p.open(true);
        p.saveAs("example");
        QByteArray expected = QByteArray::fromHex("ff000000").repeated(48);
        QCOMPARE(p.get("example.pdt"),
                 expected.replace(64, 4, QByteArray(4, '\0')).replace(128, 4, QByteArray(4, '\0')));
        QCOMPARE(QDir(program).isEmpty(), dataFolder);
        p.saveAs("example"); // listed now: the overwrite question, answered No
        QCOMPARE(p.boxes().size(), 1);
        TestWindow::click(p.f.cmdCancel);
        p.reg(0, {9, 9, 9});
        p.open(false);
        p.pick("example.pdt");
        TestWindow::click(p.f.cmdOK);
        QCOMPARE(p.m().MyPalette, saved);
    }
    void outOfRangeValuesLoadAndSaveBack() {
        // Written byte by byte: 16 reds, 16 greens, 16 blues, each little-endian.
        QByteArray bytes(192, '\0');
        bytes.replace(0, 12, QByteArray::fromHex("00010000ffffffffe8030000")); // reds 0 to 2: 256, -1, 1000
        bytes.replace(72, 4, QByteArray::fromHex("d0070000"));                 // green 2: 2000
        bytes[136] = 3;                                                        // blue 2
        PaletteTable foreign;
        foreign.setEntry(0, 256, 0, 0);
        foreign.setEntry(1, -1, 0, 0);
        foreign.setEntry(2, 1000, 2000, 3);
        Fixture p;
        p.put("foreign.pdt", bytes + "bytes after the record are ignored");
        p.open(false);
        QCOMPARE(p.boxes().size(), 1); // the swatches that cannot show them say so, once
        QVERIFY(p.m().PaletteView == foreign && p.shows(foreign));
        TestWindow::click(p.f.cmdOK);
        QCOMPARE(p.m().MyPalette, foreign);
        p.open(true);
        p.os.queueAnswer(platform::AnswerYes);
        p.saveAs("foreign");
        QCOMPARE(p.get("foreign.pdt"), bytes);
    }
    void nameGivesFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("file");
        QTest::newRow("Blue") << QString("Blue") << QString("Blue.pdt");
        QTest::newRow("Blue.pdt") << QString("Blue.pdt") << QString("Blue.pdt");
        QTest::newRow("ending is case-sensitive") << QString("Blue.PDT") << QString("Blue.PDT.pdt");
        QTest::newRow(".pdt alone") << QString(".pdt") << QString(".pdt");
        QTest::newRow("only one ending taken off") << QString("a.pdt.pdt") << QString("a.pdt.pdt");
        const QString longest = QString(81, QChar(0x8272)) + "y"; // 248 bytes with the ending
        QTest::newRow("longest name") << longest << longest + ".pdt";
        QTest::newRow("U+00A0, U+202F") << QString("a\u00A0b\u202Fc") << QString("a\u00A0b\u202Fc.pdt");
    }
    void nameGivesFile() {
        QFETCH(QString, name);
        QFETCH(QString, file);
        Fixture p;
        p.reg(2, {0, 0, 255});
        p.open(true);
        p.saveAs(name);
        QVERIFY2(p.boxes().isEmpty(), qPrintable(p.boxes().value(0).text));
        QCOMPARE(p.files(), QStringList{file});
        QCOMPARE(p.get(file), PaletteFile::encode(p.m().MyPalette));
        QCOMPARE(p.files(true), QStringList{"program"});
    }
    void overwriteQuestion_data() {
        QTest::addColumn<bool>("listed");
        QTest::newRow("saved before, listed") << true;
        QTest::newRow("written by another program since the list was read") << false;
    }
    void overwriteQuestion() {
        QFETCH(bool, listed);
        Fixture p;
        const QString file = "Blue.pdt";
        p.open(true);
        if (listed) {
            p.saveAs("Blue");
            QVERIFY(p.boxes().isEmpty());
        } else {
            p.put(file, Fixture::filled(7));
        }
        QCOMPARE(p.listed(), listed ? QStringList{file} : QStringList{});
        const QByteArray old = p.get(file);
        p.m().MyPalette.setEntry(0, 2, 2, 2);
        p.saveAs("Blue"); // no queued answer: the default button No, as Enter gives
        QCOMPARE(p.boxes().size(), 1);
        QCOMPARE(p.boxes()[0].text, QString("Blueは存在します\r\n上書き保存しますか？"));
        QCOMPARE(p.boxes()[0].title, QString("上書き確認"));
        QCOMPARE(p.boxes()[0].style, 292);
        QCOMPARE(p.get(file), old);
        QCOMPARE(p.files(), QStringList{file});
        p.os.queueAnswer(platform::AnswerYes);
        TestWindow::click(p.f.cmdOK);
        QCOMPARE(p.boxes().size(), 2); // asked once, although the name is both listed and on disk
        QCOMPARE(p.get(file), PaletteFile::encode(p.m().MyPalette));
    }
    void unsafeNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("link"); // where a link of that name in the program folder points
        QTest::newRow("parent folder") << QString("../escaped.pdt") << QString();
        QTest::newRow("subfolder") << QString("sub/name") << QString();
        QTest::newRow("backslash") << QString("..\\escaped") << QString();
        QTest::newRow("line feed") << QString("a\nb") << QString();
        QTest::newRow("C1 next line U+0085") << QString("a\u0085b") << QString();
        QTest::newRow("C1 control U+009F") << QString("a\u009Fb") << QString();
        QTest::newRow("right-to-left override U+202E") << QString("txt.\u202Eexe") << QString();
        QTest::newRow("isolate U+2066") << QString("a\u2066b") << QString();
        QTest::newRow("dot") << QString(".") << QString();
        QTest::newRow("dot dot with ending") << QString("...pdt") << QString();
        QTest::newRow("249 bytes") << QString(245, 'x') << QString();
        QTest::newRow("too long in UTF-8") << QString(100, QChar(0x3042)) << QString();
        QTest::newRow("link out of the folder") << QString("link") << QString("../outside.pdt");
    }
    void unsafeNames() {
        QFETCH(QString, name);
        QFETCH(QString, link);
        Fixture p;
        QVERIFY(link.isEmpty() || QFile::link(link, p.path(name + ".pdt")));
        const QStringList before = p.files();
        p.open(true);
        p.os.queueAnswer(platform::AnswerYes);
        p.saveAs(name);
        QCOMPARE(p.boxes().size(), 1);
        QVERIFY2(p.boxes()[0].style == 0 && Fixture::isJapanese(p.boxes()[0].text), qPrintable(p.boxes()[0].text));
        QCOMPARE(p.files(), before);
        QCOMPARE(p.files(true), QStringList{"program"});
    }
    void failedSave_data() {
        // Failures that root cannot bypass either.
        QTest::addColumn<QString>("how");
        QTest::newRow("folder where the file should be") << QString("directory");
        QTest::newRow("file size limit, over an old longer file") << QString("limit");
        QTest::newRow("a file where the palette folder should be") << QString("in the way");
        QTest::newRow("flush to the disk fails, over an old file") << QString("sync");
        QTest::newRow("close fails, over an old file") << QString("close");
    }
    void failedSave() {
        QFETCH(QString, how);
        Fixture p;
        const PaletteTable mine = Fixture::filled(255); // My palette as it starts
        const QByteArray old = PaletteFile::encode(Fixture::filled(200)) + QByteArray("tail");
        const bool limited = how == "limit", overOld = limited || how == "sync" || how == "close";
        if (overOld) {
            p.put("target.pdt", old);
            p.os.queueAnswer(platform::AnswerYes);
        }
        p.open(true);
        QVERIFY(how != "directory" || QDir(p.dir).mkpath("target.pdt/inside"));
        if (how == "in the way") { // its first save cannot make the folder
            QVERIFY(QDir(p.dir).removeRecursively());
            p.put("", QByteArray("a file"));
        }
        const QStringList before = p.files();
        rlimit unlimited{};
        getrlimit(RLIMIT_FSIZE, &unlimited);
        const rlimit low{limited ? rlim_t{100} : unlimited.rlim_cur, unlimited.rlim_max};
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &low) == 0);
        const PaletteFile::DiskCalls disk = PaletteFile::diskCalls; // as a failing disk answers
        PaletteFile::diskCalls = {how == "sync" ? +[](int) { return errno = EIO, -1; } : disk.dataSync,
                                  how == "close" ? +[](int fd) { return ::close(fd), errno = EIO, -1; } : disk.close};
        p.saveAs("target");
        PaletteFile::diskCalls = disk;
        setrlimit(RLIMIT_FSIZE, &unlimited);
        std::signal(SIGXFSZ, handler);

        QCOMPARE(p.boxes().size(), overOld ? 2 : 1); // a folder is no file to overwrite: no question
        const QString message = p.boxes().last().text;
        QVERIFY2(p.boxes().last().style == 0 && message.contains(p.path("target.pdt")) && Fixture::isJapanese(message),
                 qPrintable(message));
        // The old state is intact and no temporary file is left.
        QCOMPARE(p.files(), before);
        QCOMPARE(p.files(true), QStringList{"program"});
        QCOMPARE(p.get("target.pdt"), overOld ? old : QByteArray());
        QCOMPARE(QFileInfo(p.path("target.pdt/inside")).isDir(), how == "directory");
        QVERIFY(p.m().MyPalette == mine && p.m().FilePanelOpen && p.f.txtPallete->isVisible());
        if (overOld) { // once the cause is gone, the same save goes through and leaves one record
            p.os.queueAnswer(platform::AnswerYes);
            TestWindow::click(p.f.cmdOK);
            QCOMPARE(p.get("target.pdt"), PaletteFile::encode(mine));
        }
    }
    void unreadablePreview_data() {
        QTest::addColumn<int>("size");     // -1: removed after the list was read; -2: replaced by `kind`
        QTest::addColumn<QString>("kind"); // a FIFO or a socket, else a link to it, a device or standard input
        QTest::addColumn<QString>("told"); // what the message says of it
        QTest::addColumn<bool>("saving");
        QTest::newRow("vanished") << -1 << QString() << QString() << false;
        QTest::newRow("empty") << 0 << QString() << QString() << false;
        QTest::newRow("one byte short") << 191 << QString() << QString() << true;
        for (const bool saving : {false, true}) {
            const char* panel = saving ? "saving" : "loading";
            QTest::addRow("FIFO, %s", panel) << -2 << QString("fifo") << QString("FIFO") << saving;
            QTest::addRow("socket, %s", panel) << -2 << QString("socket") << QString("ソケット") << saving;
            QTest::addRow("link to a FIFO, %s", panel) << -2 << QString("pipe") << QString("FIFO") << saving;
            QTest::addRow("link to a device, %s", panel) << -2 << QString("/dev/zero") << QString("デバイス") << saving;
            QTest::addRow("link to stdin, %s", panel) << -2 << QString("/proc/self/fd/0") << QString("") << saving;
        }
    }
    void unreadablePreview() {
        QFETCH(int, size);
        QFETCH(QString, kind);
        QFETCH(QString, told);
        QFETCH(bool, saving);
        Fixture p;
        const auto make = [&](const QString& name) {
            return kind.isEmpty() ||
                   (kind == "fifo" || kind == "socket" ? ::mknod(QFile::encodeName(p.path(name)).constData(),
                                                                 (kind == "fifo" ? S_IFIFO : S_IFSOCK) | 0600, 0) == 0
                                                       : QFile::link(kind, p.path(name)));
        };
        ::alarm(60); // opening a pipe waits for a writer: a hang ends here, not at the CI's timeout
        p.put("a.pdt", Fixture::filled(1));
        p.put("b.pdt", PaletteFile::encode(Fixture::filled(0)).left(qMax(size, 0)));
        QVERIFY(::mkfifo(QFile::encodeName(p.path("pipe")).constData(), 0600) == 0 && make("0.pdt"));
        p.open(saving); // 0.pdt is not listed, so not previewed: the one message below is about b.pdt
        QVERIFY((size >= 0 || QFile::remove(p.path("b.pdt"))) && make("b.pdt")); // changed after the list was read
        p.pick("b.pdt");
        QCOMPARE(p.boxes().size(), 1);
        const QString message = p.boxes()[0].text;
        QVERIFY2(message.contains("b.pdt") && message.contains(told) && Fixture::isJapanese(message),
                 qPrintable(message));
        QVERIFY2(size < 0 || message.contains(QString(" %1 ").arg(size)), qPrintable(message));
        QCOMPARE(QFileInfo::exists(p.path("b.pdt")), size != -1);
        QVERIFY(size == -2 || p.get("b.pdt").size() == qMax(size, 0));
        QVERIFY(p.m().PaletteView == Fixture::filled(1) && p.shows(Fixture::filled(1)));
        TestWindow::click(p.f.cmdOK); // loading now commits the last good preview; saving asks first
        QCOMPARE(p.m().MyPalette, Fixture::filled(saving ? 255 : 1));
        ::alarm(0);
    }
    // Arbitrary bytes previewed as palette files never crash reading or painting: a full record is
    // taken as it stands, anything shorter changes nothing. SWATCHLY_FUZZ_SEED replays a printed seed.
    void anyBytes() {
        const QByteArray fixed = qgetenv("SWATCHLY_FUZZ_SEED");
        const quint32 seed = fixed.isEmpty() ? QRandomGenerator::global()->generate() : fixed.toUInt();
        qInfo("SWATCHLY_FUZZ_SEED=%u", seed);
        QRandomGenerator gen(seed);
        const std::uint32_t edges[] = {255, 256, 0xFFF, 0x1000, 0xFFFF, 0x10000, 0x7FFFFFFF, 0xFFFFFFFF, 0x80000000};
        Fixture p;
        p.put("a.pdt", p.m().MyPalette);
        p.put("b.pdt", p.m().MyPalette);
        p.open(false);
        for (int i = 0; i < 800; ++i) {
            // Any length; half the time small and edge values, so that painting gets past the first swatch.
            QByteArray bytes(static_cast<qsizetype>(gen.bounded(400)), '\0');
            const bool words = gen.bounded(2) == 0;
            for (qsizetype k = 0; k < bytes.size(); k += 4) {
                const std::uint32_t v =
                    words ? (gen.bounded(3) ? gen.bounded(256) : edges[gen.bounded(9)]) : gen.generate();
                std::memcpy(bytes.data() + k, &v, static_cast<std::size_t>(std::min<qsizetype>(4, bytes.size() - k)));
            }
            const QString name = p.f.FilPallete->List(1 - p.f.FilPallete->ListIndex());
            p.put(name, bytes);
            const Swatches before = p.shown();
            const PaletteTable view = p.m().PaletteView;
            const qsizetype boxes = p.boxes().size();
            const QByteArray where = "case " + QByteArray::number(i) + ": " + bytes.toHex();
            p.pick(name);
            if (bytes.size() < 192) {
                QVERIFY2(p.m().PaletteView == view && p.shown() == before, where.constData());
                QCOMPARE(p.boxes().size(), boxes + 1);
                continue;
            }
            QVERIFY2(PaletteFile::encode(p.m().PaletteView) == bytes.left(192), where.constData());
            // However many colours the rule cannot make, painting reports one.
            QVERIFY2(p.boxes().size() - boxes <= 1, where.constData());
        }
        TestWindow::click(p.f.cmdCancel);
        QVERIFY(p.shows(p.m().MyPalette));
    }
    void readOpensReadOnly() {
        // The running test executable cannot be opened for writing, not even by root.
        const QString exe = QCoreApplication::applicationFilePath();
        if (QFile probe(exe); probe.open(QIODevice::ReadWrite)) {
            QSKIP("this system lets a running executable be opened for writing");
        }
        QFile file(exe);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(PaletteFile::read(exe), PaletteFile::decode(file.read(192)));
    }
};

QTEST_MAIN(PaletteFileTest)
#include "tst_palettefile.moc"
