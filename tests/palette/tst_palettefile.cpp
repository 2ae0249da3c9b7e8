// Palette files: the 192-byte record, saving and loading through the panel, the overwrite
// question, and what happens when names, files or the file system are not as expected.

#include "palette/GimpPalette.h"
#include "palette/PaletteTestSupport.h"
#include "support/Fuzz.h"

#include <cstring>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(PaletteTable)

class PaletteFileTest : public QObject {
    Q_OBJECT

private slots:
    // The record byte by byte: 16 reds, 16 greens, 16 blues, each little-endian and signed. Saved, in
    // the program folder or in a data folder that the first save makes, and loaded back; bytes after
    // the record are ignored.
    void record_data() {
        QTest::addColumn<PaletteTable>("table");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("dataFolder");
        PaletteTable red = Fixture::filled(255), foreign; // foreign: values no swatch shows
        red.setEntry(0, 255, 0, 0);
        foreign.setEntry(0, 256, 0, 0);
        foreign.setEntry(1, -1, 0, 0);
        foreign.setEntry(2, 1000, 2000, 3);
        QByteArray redBytes = QByteArray::fromHex("ff000000").repeated(48), foreignBytes(192, '\0');
        redBytes.replace(64, 4, QByteArray(4, '\0')).replace(128, 4, QByteArray(4, '\0'));
        foreignBytes.replace(0, 12, QByteArray::fromHex("00010000ffffffffe8030000")); // reds 256, -1, 1000
        foreignBytes.replace(72, 4, QByteArray::fromHex("d0070000"))[136] = 3;        // green 2000, blue 3
        QTest::newRow("in the program folder") << red << redBytes << false;
        QTest::newRow("in a data folder that the first save makes") << red << redBytes << true;
        QTest::newRow("values no swatch shows") << foreign << foreignBytes << false;
    }
    void record() {
        QFETCH(PaletteTable, table);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, dataFolder);
        Fixture p;
        const QString program = p.dir;
        if (dataFolder) { // as an installed program has it
            p.os.palettes = p.dir = p.folder.filePath("data/Swatchly");
            p.f.FilPallete->setPath(p.os.paletteFolder());
        }
        p.m().MyPalette = table;
        p.open(true);
        p.saveAs("saved");
        QCOMPARE(p.get("saved.pdt"), bytes);
        QCOMPARE(QDir(program).isEmpty(), dataFolder);
        p.m().MyPalette = Fixture::filled(9);
        TestWindow::click(p.f.cmdCancel);
        p.put("loaded.pdt", bytes + "bytes after the record are ignored");
        p.open(false); // selects and previews the first file
        QVERIFY(p.m().PaletteView == table && p.shows(table));
        TestWindow::click(p.f.cmdOK);
        QCOMPARE(p.m().MyPalette, table);
    }
    // A name gives one file, or the rule it breaks is named and nothing is written. The limit counts
    // UTF-8 bytes (色 is 3), the ending included, and is ours, below the file system's 255.
    void names_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("refusal");
        const QString no = "\n保存しませんでした。", longest = QString(81, QChar(0x8272)) + "y"; // 248 bytes
        const QString tooLong = "ファイル名が長すぎます（「.pdt」を含めて 248 バイトまでです）。" + no;
        const QString slash =
            "ファイル名に「%1」は使えません。パレットファイルは決まったフォルダーに保存されます。" + no;
        const QString control = "ファイル名に制御文字（U+%1）は使えません。" + no;
        const QString direction = "ファイル名に文字の向きを変える制御文字（U+%1）は使えません。" + no;
        const QString besideControls = "a b~c\u00A0d\u2029e\u202Ff\u2065g\u206Ah"; // next to each range below
        QTest::newRow("Blue") << QString("Blue") << QString("Blue.pdt") << QString();
        QTest::newRow("Blue.pdt") << QString("Blue.pdt") << QString("Blue.pdt") << QString();
        QTest::newRow("ending is case-sensitive") << QString("Blue.PDT") << QString("Blue.PDT.pdt") << QString();
        QTest::newRow(".pdt alone") << QString(".pdt") << QString(".pdt") << QString();
        QTest::newRow("only one ending taken off") << QString("a.pdt.pdt") << QString("a.pdt.pdt") << QString();
        QTest::newRow("248 bytes") << longest << longest + ".pdt" << QString();
        QTest::newRow("249 bytes") << longest + "z" << QString() << tooLong;
        QTest::newRow("next to the control ranges") << besideControls << besideControls + ".pdt" << QString();
        QTest::newRow("slash") << QString("../escaped.pdt") << QString() << slash.arg("/");
        QTest::newRow("backslash") << QString("..\\escaped") << QString() << slash.arg("\\");
        QTest::newRow("U+001F") << QString("a\u001Fb") << QString() << control.arg("001F");
        QTest::newRow("U+007F") << QString("a\u007Fb") << QString() << control.arg("007F");
        QTest::newRow("U+009F") << QString("a\u009Fb") << QString() << control.arg("009F");
        QTest::newRow("U+202A") << QString("a\u202Ab") << QString() << direction.arg("202A");
        QTest::newRow("U+202E") << QString("txt.\u202Eexe") << QString() << direction.arg("202E");
        QTest::newRow("U+2066") << QString("a\u2066b") << QString() << direction.arg("2066");
        QTest::newRow("U+2069") << QString("a\u2069b") << QString() << direction.arg("2069");
        const QString half = "ファイル名に使えない文字（U+%1、対になっていないサロゲート）が含まれています。" + no;
        QTest::newRow("a surrogate pair (U+1F3A8)") << QString("\U0001F3A8") << QString("\U0001F3A8.pdt") << QString();
        QTest::newRow("a high half alone") << "a" + QString(QChar(0xD800)) + "b" << QString() << half.arg("D800");
        QTest::newRow("a high half at the end") << "a" + QString(QChar(0xDBFF)) << QString() << half.arg("DBFF");
        QTest::newRow("a low half alone") << QString(QChar(0xDFFF)) + "b" << QString() << half.arg("DFFF");
        QTest::newRow("a pair the wrong way round")
            << QString(QChar(0xDC00)) + QChar(0xD800) << QString() << half.arg("DC00");
        QTest::newRow("dot") << QString(".") << QString() << "「.」はファイル名に使えません。" + no;
        QTest::newRow("dot dot, ending") << QString("...pdt") << QString() << "「..」はファイル名に使えません。" + no;
        QTest::newRow("empty") << QString() << QString() << QString("ファイル名を入力してください。");
    }
    void names() {
        QFETCH(QString, name);
        QFETCH(QString, file);
        QFETCH(QString, refusal);
        Fixture p;
        p.reg(2, {0, 0, 255});
        p.open(true);
        p.f.txtPallete->setText(name);
        p.f.cmdOK_Click(); // the button is off for an empty name, the handler refuses it too
        QCOMPARE(p.boxes().size(), qsizetype(!refusal.isEmpty()));
        QCOMPARE(p.boxes().value(0).text, refusal);
        QCOMPARE(p.files(), file.isEmpty() ? QStringList{} : QStringList{file});
        QCOMPARE(p.get(file), file.isEmpty() ? QByteArray() : PaletteFile::encode(p.m().MyPalette));
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
    // Failures before anything is written, which root cannot bypass either: the message names the
    // file and the cause, nothing is left behind and the panel stays open.
    void failedSave_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("told"); // the reason the message gives
        QTest::newRow("folder where the file should be") << QString("directory") << QString("同じ名前のフォルダー");
        QTest::newRow("a file where the palette folder should be")
            << QString("in the way") << QString("作れませんでした（同じ名前のファイルがあります）");
    }
    void failedSave() {
        QFETCH(QString, how);
        QFETCH(QString, told);
        Fixture p;
        p.open(true);
        QVERIFY(how != "directory" || QDir(p.dir).mkpath("target.pdt/inside"));
        if (how == "in the way") { // its first save cannot make the folder
            QVERIFY(QDir(p.dir).removeRecursively());
            p.put("", QByteArray("a file"));
        }
        const QStringList before = p.files();
        p.saveAs("target");
        QCOMPARE(p.boxes().size(), 1); // a folder is no file to overwrite: no question
        const QString message = p.boxes().last().text;
        QVERIFY2(p.boxes().last().style == 0 && message.contains(p.path("target.pdt")) && message.contains(told),
                 qPrintable(message));
        QVERIFY(!message.contains("元のファイル"));
        QCOMPARE(p.files(), before);
        QCOMPARE(p.files(true), QStringList{"program"});
        QCOMPARE(QFileInfo(p.path("target.pdt/inside")).isDir(), how == "directory");
        QVERIFY(p.m().MyPalette == Fixture::filled(255) && p.m().FilePanelOpen && p.f.txtPallete->isVisible());
    }
    // Each call of a save that touches the disk, failing as a disk or a file system can. The new
    // file has no name while it is written, unless the file system refuses unnamed files: then it
    // is written under a temporary name. Either way a failure names the file and the cause, the
    // old file stays as it was (with its mode 0640), and nothing else is left in the folder.
    void diskFaults_data() {
        QTest::addColumn<int>("unnamedRefused"); // errno of the unnamed open; 0: it works
        QTest::addColumn<QString>("call");       // the call that fails
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("overOld");
        QTest::addColumn<QString>("reason"); // the message's reason line; "saved": the folder-sync text; "": none
        const QString noFile = "フォルダーに書き込めないか、新しいファイルを作れません。";
        const QString full = "書き込みに失敗しました。ディスクがいっぱいの可能性があります。";
        const QString limit = "書き込めるファイルの大きさの上限を超えました。このプログラムを起動したセッションで"
                              "上限が設定されています（ulimit -f）。";
        const QString sync = "ディスクに書き込めたことを確かめられませんでした。";
        const QString placed = "書き込んだファイルをフォルダーに置けませんでした。";
        const QString renamed = "ファイルを置き換えられませんでした。";
        QTest::newRow("unnamed, nothing fails") << 0 << QString() << 0 << true << QString();
        QTest::newRow("no unnamed files (EOPNOTSUPP): a named one") << EOPNOTSUPP << QString() << 0 << true << "";
        QTest::newRow("an old kernel (EISDIR): a named one") << EISDIR << QString() << 0 << false << "";
        QTest::newRow("EINVAL: a named one") << EINVAL << QString() << 0 << true << QString();
        QTest::newRow("unnamed open refused by the folder (EACCES)") << EACCES << QString() << 0 << true << noFile;
        QTest::newRow("unnamed open, disk full (ENOSPC)") << ENOSPC << QString() << 0 << false << noFile;
        for (const int refused : {0, EOPNOTSUPP}) {
            const char* route = refused ? "named" : "unnamed";
            QTest::addRow("%s, write: disk full", route) << refused << "write" << ENOSPC << true << full;
            QTest::addRow("%s, write: quota", route) << refused << "write" << EDQUOT << false << full;
            QTest::addRow("%s, write: file size limit", route) << refused << "write" << EFBIG << true << limit;
            QTest::addRow("%s, write: EIO", route) << refused << "write" << EIO << true << "書き込みに失敗しました。";
            QTest::addRow("%s, write: nothing written", route) << refused << "write0" << ENOSPC << true << full;
            QTest::addRow("%s, data sync", route) << refused << "dataSync" << EIO << true << sync;
            QTest::addRow("%s, close", route)
                << refused << "close" << EIO << true << "書き込んだファイルを閉じられませんでした。";
            QTest::addRow("%s, rename", route) << refused << "rename" << EXDEV << true << renamed;
            QTest::addRow("%s, rename, new file", route) << refused << "rename" << EACCES << false << renamed;
            QTest::addRow("%s, folder sync", route) << refused << "folderSync" << EIO << true << "saved";
            QTest::addRow("%s, folder sync, new file", route) << refused << "folderSync" << EIO << false << "saved";
            QTest::addRow("%s, folder cannot sync at all (EINVAL)", route)
                << refused << "folderSync" << EINVAL << true << QString();
        }
        QTest::newRow("link") << 0 << "link" << EIO << true << placed;
        QTest::newRow("link, no room for a name") << 0 << "link" << ENOSPC << false << placed;
        QTest::newRow("link, every temporary name taken") << 0 << "link" << EEXIST << true << placed;
        QTest::newRow("link, the first temporary name taken") << 0 << "linkOnce" << EEXIST << true << QString();
    }
    void diskFaults() {
        QFETCH(int, unnamedRefused);
        QFETCH(QString, call);
        QFETCH(int, error);
        QFETCH(bool, overOld);
        QFETCH(QString, reason);
        Fixture p;
        const QByteArray old = PaletteFile::encode(Fixture::filled(200)) + QByteArray("tail");
        if (overOld) {
            p.put("target.pdt", old);
            QVERIFY(::chmod(QFile::encodeName(p.path("target.pdt")).constData(), 0640) == 0);
            p.os.queueAnswer(platform::AnswerYes);
        }
        p.open(true);
        // The calls as a failing disk answers them; they see the fault through this.
        static struct {
            PaletteFile::DiskCalls real;
            int refused, error, links;
            QString call, folder;
            QStringList seenWhileWriting; // what a kill during the write would leave in the folder
            bool fails(const char* which) { return call == QLatin1String(which) && (errno = error, true); }
        } fault;
        fault = {PaletteFile::diskCalls, unnamedRefused, error, 0, call, p.dir, {}};
        PaletteFile::diskCalls = {
            [](const char* folder, mode_t mode) {
                return fault.refused != 0 ? (errno = fault.refused, -1) : fault.real.openUnnamed(folder, mode);
            },
            [](int fd, const void* data, std::size_t size) -> ssize_t {
                fault.seenWhileWriting = QDir(fault.folder).entryList(QDir::Files | QDir::Hidden);
                return fault.call == QLatin1String("write0") ? 0
                       : fault.fails("write")                ? -1
                                                             : fault.real.write(fd, data, size);
            },
            [](int fd) { return fault.fails("dataSync") ? -1 : fault.real.dataSync(fd); },
            [](int fd) {
                const int closed = fault.real.close(fd); // released either way, as close() does
                return fault.fails("close") ? -1 : closed;
            },
            [](int fd, const char* name) {
                const bool once = fault.call == QLatin1String("linkOnce") && fault.links++ == 0;
                return fault.fails("link") || (once && (errno = fault.error, true)) ? -1 : fault.real.link(fd, name);
            },
            [](const char* from, const char* to) { return fault.fails("rename") ? -1 : fault.real.rename(from, to); },
            [](int fd) { return fault.fails("folderSync") ? -1 : fault.real.folderSync(fd); },
        };
        const mode_t umask = ::umask(022);
        p.saveAs("target");
        PaletteFile::diskCalls = fault.real;
        ::umask(umask);

        const QString path = p.path("target.pdt");
        const bool saved = reason.isEmpty() || reason == "saved";
        QString message;
        if (reason == "saved") {
            message = QString("パレットファイル「%1」は保存しましたが、フォルダーへの書き込みがディスクに届いたことを"
                              "確かめられませんでした。\n停電などで電源が切れると、このファイルが保存する前の状態に"
                              "戻るおそれがあります。\n（%2）")
                          .arg(path, qt_error_string(error));
        } else if (!reason.isEmpty()) {
            message = QString("パレットファイル「%1」を保存できませんでした。\n%2%3\n（%4）")
                          .arg(path, reason, overOld ? "\n元のファイルはそのままです。" : "",
                               qt_error_string(error != 0 ? error : unnamedRefused));
        }
        QCOMPARE(p.boxes().size(), qsizetype(overOld) + !message.isEmpty()); // the question, the message
        QCOMPARE(message.isEmpty() ? message : p.boxes().last().text, message);
        QCOMPARE(p.get("target.pdt"), saved ? PaletteFile::encode(p.m().MyPalette) : overOld ? old : QByteArray());
        QCOMPARE(p.files(), saved || overOld ? QStringList{"target.pdt"} : QStringList{});
        QCOMPARE(p.listed(), p.files()); // read again after a save, also a failed one
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : 0, overOld ? 0640
                                                                                                          : saved ? 0644
                                                                                                                  : 0);
        // While it was written the new file had a name only where the file system has no unnamed files.
        const bool named = unnamedRefused == EOPNOTSUPP || unnamedRefused == EISDIR || unnamedRefused == EINVAL;
        if (call.startsWith("write") || reason.isEmpty() || reason == "saved") {
            QCOMPARE(fault.seenWhileWriting.filter(".swatchly-save-").size(), qsizetype(named));
        }
    }

    // A replaced file keeps its mode and the links that name it. A palette file is replaced through a
    // link only when the file it leads to lies in the palette folder; a GIMP palette wherever it leads.
    // A link that leads to no file is refused for both: whoever made it would decide where a new file
    // lands. Beside "name" the folder holds the links u -> t, v -> ../outside and loop -> loop, and
    // sub/. A GIMP export afterwards clears its folder of what interrupted saves left; a running
    // save's file stays.
    void replacing_data() {
        QTest::addColumn<bool>("gimp");
        QTest::addColumn<QString>("link");   // what "name" is a link to; empty: no link
        QTest::addColumn<QString>("file");   // the file written, or the one a refused save leaves alone
        QTest::addColumn<int>("mode");       // of the file there before, which it keeps; 0: none
        QTest::addColumn<QString>("reason"); // %1: the file
        const QString out = "パレットファイルのフォルダーの外を指すリンクです。";
        const QString dangling = "「%1」を指すリンクですが、その先にファイルがありません。";
        QTest::newRow("a file keeps 0640") << false << QString() << "name" << 0640 << "";
        QTest::newRow("a new file: 0666 less the umask") << false << QString() << "name" << 0 << "";
        QTest::newRow("link to a file in the folder") << false << QString("t") << "t" << 0640 << "";
        QTest::newRow("link to a link in the folder") << false << QString("u") << "t" << 0604 << "";
        QTest::newRow("link out of the folder and back") << false << QString("../program/t") << "t" << 0640 << "";
        QTest::newRow("dangling link in the folder") << false << QString("t") << "t" << 0 << dangling;
        QTest::newRow("link to a dangling link in the folder") << false << QString("u") << "t" << 0 << dangling;
        QTest::newRow("link out of the folder") << false << QString("../outside") << "../outside" << 0640 << out;
        QTest::newRow("link into a subfolder") << false << QString("sub/t") << "sub/t" << 0640 << out;
        QTest::newRow("link to a link out of the folder") << false << QString("v") << "../outside" << 0640 << out;
        QTest::newRow("dangling link out of the folder") << false << QString("../outside") << "../outside" << 0 << out;
        QTest::newRow("link loop") << false << QString("loop") << "loop" << 0 << out;
        QTest::newRow("GIMP palette keeps 0604") << true << QString() << "name" << 0604 << "";
        QTest::newRow("GIMP palette, a new file") << true << QString() << "name" << 0 << "";
        QTest::newRow("GIMP palette, link out of the folder") << true << QString("v") << "../outside" << 0640 << "";
        QTest::newRow("GIMP palette, link into a subfolder") << true << QString("sub/t") << "sub/t" << 0640 << "";
        QTest::newRow("GIMP palette, dangling link") << true << QString("../outside") << "../outside" << 0 << dangling;
        QTest::newRow("GIMP palette, dangling link into a subfolder")
            << true << QString("sub/t") << "sub/t" << 0 << dangling;
        QTest::newRow("GIMP palette, link to a dangling link") << true << QString("v") << "../outside" << 0 << dangling;
        QTest::newRow("GIMP palette, link loop") << true << QString("loop") << "loop" << 0 << "リンクがたどれません。";
    }
    void replacing() {
        QFETCH(bool, gimp);
        QFETCH(QString, link);
        QFETCH(QString, file);
        QFETCH(int, mode);
        QFETCH(QString, reason);
        Fixture p;
        QVERIFY(QDir(p.dir).mkdir("sub") && QFile::link("t", p.path("u")) && QFile::link("../outside", p.path("v")) &&
                QFile::link("loop", p.path("loop")) && (link.isEmpty() || QFile::link(link, p.path("name"))));
        const auto modeOf = [&](const QString& name) {
            struct stat info {};
            return ::stat(QFile::encodeName(p.path(name)).constData(), &info) == 0 ? int(info.st_mode & 07777) : 0;
        };
        if (mode != 0) {
            p.put(file, QByteArray("old"));
            QVERIFY(::chmod(QFile::encodeName(p.path(file)).constData(), mode_t(mode)) == 0 && modeOf(file) == mode);
        }
        // What a killed save left beside the file, and a running save's file.
        const QString folder = QFileInfo(p.path(file)).absolutePath();
        const QString leftover = QDir(folder).filePath(".swatchly-save-0123456789az.tmp");
        QFile running(QDir(folder).filePath(".swatchly-save-running00000.tmp"));
        QVERIFY(running.open(QIODevice::WriteOnly) && ::flock(running.handle(), LOCK_EX) == 0);
        QFile(leftover).open(QIODevice::WriteOnly);
        const mode_t umask = ::umask(022);
        QString message;
        try {
            gimp ? GimpPalette::write(p.path("name"), p.m().MyPalette)
                 : PaletteFile::write(p.path("name"), p.m().MyPalette);
        } catch (const AppError& error) {
            message = error.message();
        }
        ::umask(umask);
        const QString noun = gimp ? "GIMPパレット" : "パレットファイル";
        if (reason.contains("%1")) {
            reason = reason.arg(QDir::cleanPath(p.path(file)));
        }
        QCOMPARE(message,
                 reason.isEmpty() ? "" : QString("%1「%2」を保存できません。\n%3").arg(noun, p.path("name"), reason));
        const QByteArray bytes =
            gimp ? GimpPalette::encode(p.m().MyPalette, "name") : PaletteFile::encode(p.m().MyPalette);
        QCOMPARE(p.get(file), reason.isEmpty() ? bytes : mode ? QByteArray("old") : QByteArray());
        QCOMPARE(modeOf(file), reason.isEmpty() && mode == 0 ? 0644 : mode);
        // The link still leads where it did, and no temporary file is left anywhere.
        QCOMPARE(QFile::symLinkTarget(p.path("name")), link.isEmpty() ? "" : QDir::cleanPath(p.path(link)));
        QCOMPARE(QFileInfo::exists(leftover), !gimp || !reason.isEmpty());
        QStringList left;
        for (const QString& place : {p.folder.path(), p.dir, p.path("sub")}) {
            left += QDir(place).entryList(QDir::Files | QDir::Hidden).filter(".swatchly-save-");
        }
        QCOMPARE(left, QStringList({QFileInfo(leftover).fileName(), QFileInfo(running).fileName()})
                           .mid(gimp && reason.isEmpty() ? 1 : 0));
    }
    void unreadablePreview_data() {
        QTest::addColumn<int>("size");     // -1: removed after the list was read; -2: replaced by `kind`
        QTest::addColumn<QString>("kind"); // a FIFO or a socket, else a link to it, a device or standard input
        QTest::addColumn<QString>("told"); // what the message says of it
        QTest::addColumn<bool>("saving");
        QTest::newRow("vanished") << -1 << QString() << QString() << false;
        QTest::newRow("empty") << 0 << QString() << QString() << false;
        QTest::newRow("one byte short") << 191 << QString() << QString() << true;
        QTest::newRow("FIFO") << -2 << QString("fifo") << QString("FIFO") << false;
        QTest::newRow("FIFO, saving") << -2 << QString("fifo") << QString("FIFO") << true;
        QTest::newRow("socket") << -2 << QString("socket") << QString("ソケット") << false;
        QTest::newRow("link to a FIFO") << -2 << QString("pipe") << QString("FIFO") << false;
        QTest::newRow("link to a device") << -2 << QString("/dev/zero") << QString("デバイス") << true;
        QTest::newRow("link to stdin") << -2 << QString("/proc/self/fd/0") << QString("") << false;
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
    // taken as it stands, anything shorter changes nothing.
    void anyBytes() {
        QRandomGenerator gen = fuzzGenerator();
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
            // However many colours the rule cannot make, previewing them says nothing.
            QVERIFY2(p.boxes().size() == boxes, where.constData());
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
