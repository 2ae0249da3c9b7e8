// Palette files: the 192-byte record, saving and loading through the panel, the overwrite
// question, and what happens when names, files or the file system are not as expected.

#include "palette/PaletteFile.h"
#include "support/TestWindow.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <csignal>
#include <optional>
#include <sys/resource.h>

using RGB = std::array<int, 3>;

namespace {

PaletteTable filled(std::int32_t r, std::int32_t g, std::int32_t b) {
    PaletteTable table;
    table.fill(r, g, b);
    return table;
}

// A program whose folder is a subfolder of the test's temporary folder, so that nothing
// written beside the program folder can go unseen.
struct Program {
    TestWindow t;
    QString folder;
    frmColor& f;

    Program()
        : folder(t.folder.filePath(QStringLiteral("program")))
        , f(*t.frm) {
        QDir().mkpath(folder);
        t.os.folder = folder;
        f.FilPallete->setPath(folder);
    }
    Module1& m() { return t.m(); }
    QString path(const QString& name) const { return QDir(folder).filePath(name); }
    void write(const QString& name, const QByteArray& bytes) const {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    QByteArray read(const QString& name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QStringList files() const { return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); }
    QStringList besideProgram() const {
        return QDir(t.folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    void registerColour(int swatch, RGB rgb) {
        for (std::size_t i = 0; i < 3; ++i) {
            f.VScrColor[i]->setValue(rgb[i]);
        }
        TestWindow::press(f.lblPallete[static_cast<std::size_t>(swatch)], Qt::RightButton);
    }
    void openForSaving() { TestWindow::click(f.cmdColor[0]); }
    void openForLoading() { TestWindow::click(f.cmdColor[1]); }
    // Puts a name into the name box (as typed, or pasted where keys cannot type it) and saves.
    void saveAs(const QString& name) {
        bool typeable = !name.isEmpty();
        for (QChar ch : name) {
            typeable = typeable && ch.unicode() >= 0x20 && ch.unicode() < 0x7F;
        }
        if (typeable) {
            f.txtPallete->selectAll();
            QTest::keyClick(f.txtPallete, Qt::Key_Backspace);
            QTest::keyClicks(f.txtPallete, name);
        } else {
            f.txtPallete->setText(name);
        }
        QCOMPARE(f.txtPallete->text(), name);
        TestWindow::click(f.cmdOK);
    }
    void clickEntry(const QString& name) {
        FileListBox* list = f.FilPallete;
        const int row = static_cast<int>(QStringList(listed()).indexOf(name));
        QVERIFY2(row >= 0, qPrintable(name));
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          list->visualItemRect(list->item(row)).center());
    }
    QStringList listed() {
        QStringList names;
        for (int i = 0; i < f.FilPallete->ListCount(); ++i) {
            names << f.FilPallete->List(i);
        }
        return names;
    }
    QList<platform::FakePlatform::MessageBoxCall>& boxes() { return t.os.messageBoxes; }
};

bool isJapanese(const QString& text) {
    static const QRegularExpression kana(QStringLiteral("[\\x{3040}-\\x{30FF}\\x{4E00}-\\x{9FFF}]"));
    return text.contains(kana);
}

// A record as the format describes it, built byte by byte: each value little-endian.
QByteArray record(const std::array<std::int32_t, 48>& values) {
    QByteArray bytes;
    for (std::int32_t v : values) {
        const auto u = static_cast<std::uint32_t>(v);
        bytes.append(static_cast<char>(u & 0xFF));
        bytes.append(static_cast<char>((u >> 8) & 0xFF));
        bytes.append(static_cast<char>((u >> 16) & 0xFF));
        bytes.append(static_cast<char>(u >> 24));
    }
    return bytes;
}

// Lowers the largest file this process may write, and ignores the signal that exceeding it
// raises, until destroyed. Root is held to it too.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_ok = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool ok() const { return m_ok; }

private:
    rlimit m_old{};
    void (*m_handler)(int) = nullptr;
    bool m_ok = false;
};

} // namespace

class PaletteFileTest : public QObject {
    Q_OBJECT

private slots:
    void workedExample();
    void recordLayout();
    void saveThenLoadGivesBackMyPalette();
    void nameGivesFile_data();
    void nameGivesFile();
    void overwriteAskedWhenListed();
    void dotPdtQuestionStartsWithExists();
    void overwriteAskedForUnlistedFile();
    void previewIsNeverSaved();
    void longerFileLoadsAndSaveCutsIt();
    void emptyNameMessage();
    void unsafeNames_data();
    void unsafeNames();
    void longestNameSaves();
    void failedSave_data();
    void failedSave();
    void linkOutOfFolderNotFollowed();
    void vanishedFileNotCreated();
    void readOpensReadOnly();
    void shortFile_data();
    void shortFile();
    void outOfRangeValuesLoad();
};

void PaletteFileTest::workedExample() {
    Program p;
    p.registerColour(0, {255, 0, 0});
    p.openForSaving();
    p.saveAs(QStringLiteral("example"));
    const QByteArray bytes = p.read(QStringLiteral("example.pdt"));
    QCOMPARE(bytes.size(), 192);
    for (int offset = 0; offset < 192; offset += 4) {
        const bool zero = offset == 64 || offset == 128;
        QCOMPARE(bytes.mid(offset, 4), zero ? QByteArray(4, '\0') : QByteArray::fromHex("ff000000"));
    }
    QVERIFY(p.boxes().isEmpty());
}

void PaletteFileTest::recordLayout() {
    // Entry 1 is (256, -1, 0x01020304), entry 15 is (-2147483648, 2147483647, 7).
    std::array<std::int32_t, 48> values{};
    values[1] = 256;
    values[16 + 1] = -1;
    values[32 + 1] = 0x01020304;
    values[15] = INT32_MIN;
    values[16 + 15] = INT32_MAX;
    values[32 + 15] = 7;
    const QByteArray bytes = record(values);
    QCOMPARE(bytes.mid(4, 4), QByteArray::fromHex("00010000"));
    QCOMPARE(bytes.mid(64 + 4, 4), QByteArray::fromHex("ffffffff"));
    QCOMPARE(bytes.mid(128 + 4, 4), QByteArray::fromHex("04030201"));

    PaletteTable table;
    table.setEntry(1, 256, -1, 0x01020304);
    table.setEntry(15, INT32_MIN, INT32_MAX, 7);
    QCOMPARE(PaletteFile::encode(table), bytes);
    QCOMPARE(PaletteFile::decode(bytes), table);
    QCOMPARE(PaletteFile::decode(bytes + QByteArray("trailing")), table);
}

void PaletteFileTest::saveThenLoadGivesBackMyPalette() {
    Program p;
    const std::array<RGB, 5> colours{{{0, 0, 0}, {255, 255, 255}, {1, 2, 3}, {254, 128, 7}, {51, 102, 153}}};
    for (std::size_t i = 0; i < colours.size(); ++i) {
        p.registerColour(static_cast<int>(i * 3), colours[i]);
    }
    const PaletteTable saved = p.m().MyPalette;
    p.openForSaving();
    p.saveAs(QStringLiteral("round"));
    TestWindow::click(p.f.cmdCancel);
    QCOMPARE(p.read(QStringLiteral("round.pdt")).size(), 192);

    p.registerColour(0, {9, 9, 9});
    p.registerColour(15, {8, 8, 8});
    p.openForLoading();
    p.clickEntry(QStringLiteral("round.pdt"));
    TestWindow::click(p.f.cmdOK);
    QCOMPARE(p.m().MyPalette, saved);
    QCOMPARE(p.m().PaletteView, saved);
    QCOMPARE(p.f.lblPallete[9]->BackColor(), 0x0780FE);
    QVERIFY(p.boxes().isEmpty());
}

void PaletteFileTest::nameGivesFile_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("file");
    QTest::newRow("Blue") << QStringLiteral("Blue") << QStringLiteral("Blue.pdt");
    QTest::newRow("Blue.pdt") << QStringLiteral("Blue.pdt") << QStringLiteral("Blue.pdt");
    QTest::newRow("ending is case-sensitive") << QStringLiteral("Blue.PDT") << QStringLiteral("Blue.PDT.pdt");
    QTest::newRow(".pdt alone") << QStringLiteral(".pdt") << QStringLiteral(".pdt");
    QTest::newRow("only one ending taken off") << QStringLiteral("a.pdt.pdt") << QStringLiteral("a.pdt.pdt");
    QTest::newRow("shorter than the ending") << QStringLiteral("pdt") << QStringLiteral("pdt.pdt");
    QTest::newRow("three dots") << QStringLiteral("...") << QStringLiteral("....pdt");
    QTest::newRow("spaces") << QStringLiteral(" my blue ") << QStringLiteral(" my blue .pdt");
    QTest::newRow("Japanese") << QStringLiteral("青い空") << QStringLiteral("青い空.pdt");
}

void PaletteFileTest::nameGivesFile() {
    QFETCH(QString, name);
    QFETCH(QString, file);
    Program p;
    p.registerColour(2, {0, 0, 255});
    p.openForSaving();
    p.saveAs(name);
    QVERIFY2(p.boxes().isEmpty(), qPrintable(p.boxes().value(0).text));
    QCOMPARE(p.files(), QStringList{file});
    QCOMPARE(p.read(file), PaletteFile::encode(p.m().MyPalette));
    QCOMPARE(p.listed(), QStringList{file});
    QCOMPARE(p.besideProgram(), QStringList{QStringLiteral("program")});
}

void PaletteFileTest::overwriteAskedWhenListed() {
    Program p;
    p.registerColour(0, {1, 1, 1});
    p.openForSaving();
    p.saveAs(QStringLiteral("Blue"));
    QVERIFY(p.boxes().isEmpty());
    const QByteArray first = p.read(QStringLiteral("Blue.pdt"));

    // The panel keeps My palette for saving; change it only for the comparison below by
    // going back, registering and opening again.
    TestWindow::click(p.f.cmdCancel);
    p.registerColour(0, {2, 2, 2});
    p.openForSaving();
    QCOMPARE(p.f.txtPallete->text(), QStringLiteral("Blue.pdt"));
    TestWindow::click(p.f.cmdOK); // no queued answer: the default button, No
    QCOMPARE(p.boxes().size(), 1);
    QCOMPARE(p.boxes()[0].text, QStringLiteral("Blueは存在します\r\n上書き保存しますか？"));
    QCOMPARE(p.boxes()[0].title, QStringLiteral("上書き確認"));
    QCOMPARE(p.boxes()[0].style, 292);
    QCOMPARE(p.read(QStringLiteral("Blue.pdt")), first);
    QVERIFY(p.m().FilePanelOpen);
    QCOMPARE(p.f.txtPallete->text(), QStringLiteral("Blue.pdt"));

    p.t.os.queueAnswer(platform::AnswerYes);
    TestWindow::click(p.f.cmdOK);
    QCOMPARE(p.boxes().size(), 2); // asked once, although the name is both listed and on disk
    QCOMPARE(p.read(QStringLiteral("Blue.pdt")), PaletteFile::encode(p.m().MyPalette));
    QVERIFY(p.read(QStringLiteral("Blue.pdt")) != first);
    QCOMPARE(p.files(), QStringList{QStringLiteral("Blue.pdt")});
}

void PaletteFileTest::dotPdtQuestionStartsWithExists() {
    Program p;
    p.openForSaving();
    p.saveAs(QStringLiteral(".pdt"));
    QVERIFY(p.boxes().isEmpty());
    QCOMPARE(p.listed(), QStringList{QStringLiteral(".pdt")});
    p.saveAs(QStringLiteral(".pdt"));
    QCOMPARE(p.boxes().size(), 1);
    QCOMPARE(p.boxes()[0].text, QStringLiteral("は存在します\r\n上書き保存しますか？"));
}

void PaletteFileTest::overwriteAskedForUnlistedFile() {
    Program p;
    p.openForSaving();
    QCOMPARE(p.f.FilPallete->ListCount(), 0);
    // Another program saves a file after the list was read.
    const QByteArray theirs = PaletteFile::encode(filled(7, 7, 7));
    p.write(QStringLiteral("Late.pdt"), theirs);
    p.saveAs(QStringLiteral("Late"));
    QCOMPARE(p.boxes().size(), 1);
    QCOMPARE(p.boxes()[0].style, 292);
    QCOMPARE(p.boxes()[0].text, QStringLiteral("Lateは存在します\r\n上書き保存しますか？"));
    QCOMPARE(p.read(QStringLiteral("Late.pdt")), theirs);

    p.t.os.queueAnswer(platform::AnswerYes);
    TestWindow::click(p.f.cmdOK);
    QCOMPARE(p.boxes().size(), 2);
    QCOMPARE(p.read(QStringLiteral("Late.pdt")), PaletteFile::encode(p.m().MyPalette));
    QCOMPARE(p.listed(), QStringList{QStringLiteral("Late.pdt")});
}

void PaletteFileTest::previewIsNeverSaved() {
    Program p;
    p.registerColour(1, {10, 20, 30});
    const PaletteTable mine = p.m().MyPalette;
    p.write(QStringLiteral("a.pdt"), PaletteFile::encode(filled(1, 1, 1)));
    p.write(QStringLiteral("b.pdt"), PaletteFile::encode(filled(2, 2, 2)));
    p.openForSaving();
    p.clickEntry(QStringLiteral("b.pdt"));
    QCOMPARE(p.f.txtPallete->text(), QStringLiteral("b.pdt"));
    QCOMPARE(p.m().PaletteView, filled(2, 2, 2));
    p.saveAs(QStringLiteral("c"));
    QCOMPARE(p.read(QStringLiteral("c.pdt")), PaletteFile::encode(mine));
    QCOMPARE(p.m().MyPalette, mine);
    QCOMPARE(p.m().PaletteView, filled(2, 2, 2));
}

void PaletteFileTest::longerFileLoadsAndSaveCutsIt() {
    Program p;
    const QByteArray head = PaletteFile::encode(filled(3, 4, 5));
    p.write(QStringLiteral("long.pdt"), head + QByteArray(100, '\xAB'));
    p.openForLoading();
    QCOMPARE(p.m().PaletteView, filled(3, 4, 5));
    TestWindow::click(p.f.cmdOK);
    QCOMPARE(p.m().MyPalette, filled(3, 4, 5));

    p.registerColour(0, {0, 0, 0});
    p.openForSaving();
    p.t.os.queueAnswer(platform::AnswerYes);
    p.saveAs(QStringLiteral("long"));
    QCOMPARE(p.boxes().size(), 1);
    QCOMPARE(p.read(QStringLiteral("long.pdt")), PaletteFile::encode(p.m().MyPalette));
    QCOMPARE(QFileInfo(p.path(QStringLiteral("long.pdt"))).size(), 192);
}

void PaletteFileTest::emptyNameMessage() {
    Program p;
    p.openForSaving();
    QVERIFY(!p.f.cmdOK->isEnabled());
    // The button is disabled with an empty name; the handler still refuses one.
    p.f.cmdOK_Click();
    QCOMPARE(p.boxes().size(), 1);
    QCOMPARE(p.boxes()[0].text, QStringLiteral("ファイル名を入力してください。"));
    QCOMPARE(p.boxes()[0].style, 0);
    QVERIFY(p.boxes()[0].title.isEmpty());
    QCOMPARE(p.f.focusWidget(), p.f.txtPallete);
    QVERIFY(p.files().isEmpty());
    QVERIFY(p.m().FilePanelOpen);
}

void PaletteFileTest::unsafeNames_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("parent folder") << QStringLiteral("../escaped");
    QTest::newRow("parent folder with ending") << QStringLiteral("../escaped.pdt");
    QTest::newRow("subfolder") << QStringLiteral("sub/name");
    QTest::newRow("absolute") << QStringLiteral("/tmp/escaped");
    QTest::newRow("backslash") << QStringLiteral("..\\escaped");
    QTest::newRow("tab") << QStringLiteral("a\tb");
    QTest::newRow("line feed") << QStringLiteral("a\nb");
    QTest::newRow("delete") << QStringLiteral("a\x7F");
    QTest::newRow("dot") << QStringLiteral(".");
    QTest::newRow("dot dot") << QStringLiteral("..");
    QTest::newRow("dot dot with ending") << QStringLiteral("...pdt");
    QTest::newRow("249 bytes") << QString(245, QLatin1Char('x'));
    QTest::newRow("too long in UTF-8") << QString(100, QChar(0x3042));
}

void PaletteFileTest::unsafeNames() {
    QFETCH(QString, name);
    Program p;
    const PaletteTable mine = p.m().MyPalette;
    p.openForSaving();
    p.saveAs(name);
    QCOMPARE(p.boxes().size(), 1);
    QCOMPARE(p.boxes()[0].style, 0);
    QVERIFY2(isJapanese(p.boxes()[0].text), qPrintable(p.boxes()[0].text));
    QVERIFY(p.files().isEmpty());
    QCOMPARE(p.besideProgram(), QStringList{QStringLiteral("program")});
    QVERIFY(!QFileInfo::exists(QStringLiteral("/tmp/escaped.pdt")));
    QVERIFY(p.m().FilePanelOpen);
    QCOMPARE(p.f.txtPallete->text(), name);
    QCOMPARE(p.m().MyPalette, mine);
}

void PaletteFileTest::longestNameSaves() {
    // 248 bytes with the ending: the longest name that can be saved, and saved over again.
    Program p;
    const QString name = QString(81, QChar(0x8272)) + QStringLiteral("y");
    QCOMPARE((name + QStringLiteral(".pdt")).toUtf8().size(), 248);
    p.openForSaving();
    p.saveAs(name);
    p.t.os.queueAnswer(platform::AnswerYes);
    TestWindow::click(p.f.cmdOK);
    QCOMPARE(p.boxes().size(), 1);
    QCOMPARE(p.boxes()[0].style, 292);
    QCOMPARE(p.files(), QStringList{name + QStringLiteral(".pdt")});
    QCOMPARE(p.read(name + QStringLiteral(".pdt")), PaletteFile::encode(p.m().MyPalette));

    // A longer name is refused before anything is written, even where the file already exists
    // under a name the file system can hold.
    const QString longer = QString(245, QLatin1Char('z'));
    p.write(longer + QStringLiteral(".pdt"), PaletteFile::encode(filled(4, 4, 4)));
    p.saveAs(longer);
    QCOMPARE(p.boxes().size(), 2);
    QCOMPARE(p.boxes().last().style, 0);
    QVERIFY2(p.boxes().last().text.contains(QStringLiteral("248")), qPrintable(p.boxes().last().text));
    QCOMPARE(p.read(longer + QStringLiteral(".pdt")), PaletteFile::encode(filled(4, 4, 4)));
    QCOMPARE(p.files().size(), 2);
}

void PaletteFileTest::failedSave_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("oldFile");
    QTest::newRow("folder where the file should be") << QStringLiteral("directory") << false;
    QTest::newRow("file size limit, new file") << QStringLiteral("limit") << false;
    QTest::newRow("file size limit, over an old file") << QStringLiteral("limit") << true;
    QTest::newRow("program folder removed") << QStringLiteral("removed") << false;
}

void PaletteFileTest::failedSave() {
    QFETCH(QString, how);
    QFETCH(bool, oldFile);
    Program p;
    p.registerColour(0, {1, 2, 3});
    const PaletteTable mine = p.m().MyPalette;
    const QString file = QStringLiteral("target.pdt");
    const QByteArray old = PaletteFile::encode(filled(200, 100, 50)) + QByteArray("tail");
    if (oldFile) {
        p.write(file, old);
    }
    p.openForSaving();
    if (how == QLatin1String("directory")) {
        QVERIFY(QDir(p.folder).mkdir(file));
        p.write(QStringLiteral("target.pdt/inside"), QByteArray("keep"));
    } else if (how == QLatin1String("removed")) {
        QVERIFY(QDir(p.folder).removeRecursively());
    }
    const QStringList before = p.files();
    // A folder in the file's place is refused at once: there is nothing to overwrite.
    const int questions = oldFile ? 1 : 0;
    for (int i = 0; i < questions; ++i) {
        p.t.os.queueAnswer(platform::AnswerYes);
    }
    {
        std::optional<FileSizeLimit> limit;
        if (how == QLatin1String("limit")) {
            limit.emplace(100);
            QVERIFY(limit->ok());
        }
        p.saveAs(QStringLiteral("target"));
    }
    QCOMPARE(p.boxes().size(), questions + 1);
    const QString message = p.boxes().last().text;
    QCOMPARE(p.boxes().last().style, 0);
    QVERIFY2(message.contains(QDir::toNativeSeparators(p.path(file))), qPrintable(message));
    QVERIFY2(isJapanese(message), qPrintable(message));
    // The old state is intact and no temporary file is left.
    QCOMPARE(p.files(), before);
    if (oldFile) {
        QCOMPARE(p.read(file), old);
    }
    if (how == QLatin1String("directory")) {
        QVERIFY(QFileInfo(p.path(file)).isDir());
        QCOMPARE(p.read(QStringLiteral("target.pdt/inside")), QByteArray("keep"));
    }
    if (how == QLatin1String("removed")) {
        QVERIFY(!QFileInfo::exists(p.folder));
        QVERIFY(p.besideProgram().isEmpty());
    } else {
        QCOMPARE(p.besideProgram(), QStringList{QStringLiteral("program")});
    }
    QCOMPARE(p.m().MyPalette, mine);
    QVERIFY(p.m().FilePanelOpen);
    QVERIFY(p.f.txtPallete->isVisible());

    // Once the cause is gone, the same save goes through.
    if (how == QLatin1String("limit")) {
        p.t.os.queueAnswer(platform::AnswerYes);
        TestWindow::click(p.f.cmdOK);
        QCOMPARE(p.read(file), PaletteFile::encode(mine));
    }
}

void PaletteFileTest::linkOutOfFolderNotFollowed() {
    Program p;
    const QString outside = p.t.folder.filePath(QStringLiteral("outside.pdt"));
    QVERIFY(QFile::link(outside, p.path(QStringLiteral("link.pdt"))));
    p.openForSaving();
    p.t.os.queueAnswer(platform::AnswerYes);
    p.saveAs(QStringLiteral("link"));
    QVERIFY(!QFileInfo::exists(outside));
    QCOMPARE(p.besideProgram(), QStringList{QStringLiteral("program")});
    QVERIFY(!p.boxes().isEmpty());
    QCOMPARE(p.boxes().last().style, 0);
    QVERIFY(p.boxes().last().text.contains(QStringLiteral("link.pdt")));

    // A link to another file of the program folder is fine.
    p.write(QStringLiteral("real.pdt"), PaletteFile::encode(filled(0, 0, 0)));
    QVERIFY(QFile::link(QStringLiteral("real.pdt"), p.path(QStringLiteral("alias.pdt"))));
    p.t.os.queueAnswer(platform::AnswerYes);
    p.saveAs(QStringLiteral("alias"));
    QCOMPARE(p.read(QStringLiteral("real.pdt")), PaletteFile::encode(p.m().MyPalette));
}

void PaletteFileTest::vanishedFileNotCreated() {
    Program p;
    p.write(QStringLiteral("a.pdt"), PaletteFile::encode(filled(1, 1, 1)));
    p.write(QStringLiteral("b.pdt"), PaletteFile::encode(filled(2, 2, 2)));
    p.openForLoading();
    QVERIFY(QFile::remove(p.path(QStringLiteral("b.pdt"))));
    const auto before = p.f.lblPallete[0]->BackColor();
    p.clickEntry(QStringLiteral("b.pdt"));
    QCOMPARE(p.boxes().size(), 1);
    QVERIFY2(p.boxes()[0].text.contains(QStringLiteral("b.pdt")) && isJapanese(p.boxes()[0].text),
             qPrintable(p.boxes()[0].text));
    QVERIFY(!QFileInfo::exists(p.path(QStringLiteral("b.pdt"))));
    QCOMPARE(p.m().PaletteView, filled(1, 1, 1));
    QCOMPARE(p.f.lblPallete[0]->BackColor(), before);
    QVERIFY(p.f.cmdOK->isEnabled());
}

void PaletteFileTest::readOpensReadOnly() {
    // The running test executable cannot be opened for writing, not even by root.
    const QString exe = QCoreApplication::applicationFilePath();
    QFile probe(exe);
    if (probe.open(QIODevice::ReadWrite)) {
        QSKIP("this system lets a running executable be opened for writing");
    }
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("exe.pdt"));
    QVERIFY(QFile::link(exe, link));
    QFile file(exe);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(PaletteFile::read(link), PaletteFile::decode(file.read(192)));

    const QString missing = dir.filePath(QStringLiteral("missing.pdt"));
    QVERIFY_THROWS_EXCEPTION(AppError, PaletteFile::read(missing));
    QVERIFY(!QFileInfo::exists(missing));
}

void PaletteFileTest::shortFile_data() {
    QTest::addColumn<int>("size");
    QTest::newRow("empty") << 0;
    QTest::newRow("one value") << 4;
    QTest::newRow("one byte short") << 191;
}

void PaletteFileTest::shortFile() {
    QFETCH(int, size);
    Program p;
    p.write(QStringLiteral("a.pdt"), PaletteFile::encode(filled(1, 1, 1)));
    p.write(QStringLiteral("short.pdt"), PaletteFile::encode(filled(0, 0, 0)).left(size));
    p.openForLoading();
    p.clickEntry(QStringLiteral("short.pdt"));
    QCOMPARE(p.boxes().size(), 1);
    const QString message = p.boxes()[0].text;
    QVERIFY2(message.contains(QStringLiteral("short.pdt")) && message.contains(QStringLiteral(" %1 ").arg(size)) &&
                 isJapanese(message),
             qPrintable(message));
    QCOMPARE(p.m().PaletteView, filled(1, 1, 1));
    QCOMPARE(p.f.lblPallete[15]->BackColor(), 0x010101);
    QCOMPARE(p.read(QStringLiteral("short.pdt")).size(), size);

    // Loading now commits the last good preview.
    TestWindow::click(p.f.cmdOK);
    QCOMPARE(p.m().MyPalette, filled(1, 1, 1));
}

void PaletteFileTest::outOfRangeValuesLoad() {
    Program p;
    PaletteTable foreign = filled(0, 0, 0);
    foreign.setEntry(0, 256, 0, 0);
    foreign.setEntry(1, -1, 0, 0);
    foreign.setEntry(2, 1000, 2000, 3);
    p.write(QStringLiteral("foreign.pdt"), PaletteFile::encode(foreign));
    p.openForLoading();
    QVERIFY(p.boxes().isEmpty());
    QCOMPARE(p.m().PaletteView, foreign);
    QCOMPARE(p.f.lblPallete[0]->BackColor(), 256);
    QCOMPARE(p.f.lblPallete[1]->BackColor(), -1);
    QCOMPARE(p.f.lblPallete[2]->BackColor(), 0x37D03E8); // "03" "7D0" "3E8"
    TestWindow::click(p.f.cmdOK);
    QCOMPARE(p.m().MyPalette, foreign);

    // Saved back with the values it was loaded with.
    p.openForSaving();
    p.t.os.queueAnswer(platform::AnswerYes);
    p.saveAs(QStringLiteral("foreign"));
    QCOMPARE(p.read(QStringLiteral("foreign.pdt")), PaletteFile::encode(foreign));
}

QTEST_MAIN(PaletteFileTest)
#include "tst_palettefile.moc"
