// The state kept between runs: its file written and read back, damaged value by value, and the
// window that turns it on and off, writes it after changes to My palette and at the end, and
// restores it at start through its own procedures.

#include "app/RememberedState.h"
#include "palette/PaletteFile.h"
#include "support/TestWindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(RememberedState)
Q_DECLARE_METATYPE(ColourVision)

namespace {

using Colour = RememberedState::Colour;

// A file as the program writes it, and the state it holds: every value away from the start state.
const QByteArray Kept = "# a comment\n"
                        "\n"
                        "background=18,52,86\n" // line 3
                        "text=255,128,0\n"
                        "edit=text\n"
                        "mode=216\n"
                        "copy=html\n"
                        "on-top=yes\n"
                        "palette=basic\n"
                        "my-palette.1=207,255,255\n" // line 10
                        "my-palette.2=0,0,0\n"
                        "my-palette.3=255,255,255\nmy-palette.4=255,255,255\nmy-palette.5=255,255,255\n"
                        "my-palette.6=255,255,255\nmy-palette.7=255,255,255\nmy-palette.8=255,255,255\n"
                        "my-palette.9=255,255,255\nmy-palette.10=255,255,255\nmy-palette.11=255,255,255\n"
                        "my-palette.12=255,255,255\nmy-palette.13=255,255,255\nmy-palette.14=255,255,255\n"
                        "my-palette.15=255,255,255\nmy-palette.16=255,255,255\n"
                        "contrast=yes\n" // line 26
                        "vision=deutan\n"
                        "position=20,40\n";

RememberedState keptState() {
    RememberedState s;
    s.background = Colour{18, 52, 86};
    s.text = Colour{255, 128, 0};
    s.editingBackground = false;
    s.mode = ColorGamut::Web216;
    s.copyFormat = CopyFormat::Html;
    s.onTop = true;
    s.basicPaletteShown = true;
    s.myPalette.fill(Colour{255, 255, 255});
    s.myPalette[0] = Colour{207, 255, 255};
    s.myPalette[1] = Colour{0, 0, 0};
    s.showingContrast = true;
    s.vision = ColourVision::Deutan;
    s.position = QPoint(20, 40);
    return s;
}

// The file above with the line of `name` replaced (or, with no such line, `line` added at the end).
QByteArray with(const QByteArray& name, const QByteArray& line) {
    QList<QByteArray> lines = Kept.split('\n');
    for (QByteArray& l : lines) {
        if (l.startsWith(name + '=')) {
            l = line;
            return lines.join('\n');
        }
    }
    return Kept + line + '\n';
}

// The state above with one value changed.
template <typename Change> RememberedState keptWith(Change change) {
    RememberedState s = keptState();
    change(s);
    return s;
}

// What a value left out of line `n` says.
QString refused(int n, const char* name, const char* value, const char* expected) {
    return QStringLiteral("%1 行目の %2=「%3」は使えません（書けるのは %4）")
        .arg(n)
        .arg(QLatin1String(name), QString::fromUtf8(value), QString::fromUtf8(expected));
}
const char* const ColourForm = "0～255 の数を 3 つ「R,G,B」";

// Rows of damaged(): the file above with the line named in `line` replaced by it, read as the
// state above with `change` made; a value refused is named with its line in the file above.
template <typename Change>
void readRow(const char* title, const QByteArray& line, Change change, const QStringList& ignored = {}) {
    QTest::newRow(title) << with(line.left(line.indexOf('=')).trimmed(), line) << keptWith(change) << ignored;
}
template <typename Change> void refusedRow(const char* title, const QByteArray& line, const char* form, Change reset) {
    const QByteArray name = line.left(line.indexOf('='));
    const int n = int(Kept.left(Kept.indexOf('\n' + name + '=')).count('\n')) + 2; // the line of `name`
    readRow(title, line, reset, {refused(n, name.constData(), line.mid(name.size() + 1).constData(), form)});
}

struct stat statOf(const QString& path) {
    struct stat info {};
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info;
}

// The window started again on the files of `t`, as the program's next start.
void restart(TestWindow& t) {
    t.frm = std::make_unique<frmColor>(t.os);
    t.frm->Form_Load();
}

} // namespace

class RememberedStateTest : public QObject {
    Q_OBJECT
private slots:
    // --- The file ---------------------------------------------------------------------------

    void readAndWritten() {
        // The form documented in the help file reads into the state, and the state is written
        // in that form: the same lines, in the same order, after the comment lines.
        RememberedState read;
        QCOMPARE(ReadRememberedState(Kept, read), QStringList());
        QCOMPARE(read, keptState());
        const QByteArray written = WriteRememberedState(keptState());
        QVERIFY(written.startsWith("# "));
        QCOMPARE(written.mid(written.indexOf("\nbackground=") + 1), Kept.mid(Kept.indexOf("background=")));
        // Values the state does not hold are left out, and read back as not there.
        RememberedState partial;
        partial.vision = ColourVision::Achromat;
        partial.position = QPoint(-100000, 100000);
        RememberedState back;
        const QStringList missing = ReadRememberedState(WriteRememberedState(partial), back);
        QCOMPARE(back, partial);
        QVERIFY(missing.size() == 1 && missing[0].startsWith(u"background、text、edit、mode、copy"));
        // Every copy format has a name of its own, and is read back under it.
        for (const CopyFormat format : CopyFormats) {
            QCOMPARE(CopyFormatFromKey(CopyFormatKey(format)), std::optional<CopyFormat>(format));
        }
        QCOMPARE(CopyFormatFromKey(u"HTML"), std::nullopt);
    }

    void damaged_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<RememberedState>("expected");
        QTest::addColumn<QStringList>("ignored");
        const RememberedState all = keptState();
        // Colours: three numbers 0..255, each edge on both sides.
        readRow("255 is a level", "background=255,0,0", [](auto& s) { s.background = Colour{255, 0, 0}; });
        refusedRow("256 is none", "background=256,0,0", ColourForm, [](auto& s) { s.background.reset(); });
        readRow("0 is a level", "text=0,0,0", [](auto& s) { s.text = Colour{0, 0, 0}; });
        refusedRow("-1 is none", "text=0,-1,0", ColourForm, [](auto& s) { s.text.reset(); });
        readRow("six digits", "my-palette.3=000255,0,0", [](auto& s) { s.myPalette[2] = Colour{255, 0, 0}; });
        refusedRow("seven digits", "my-palette.3=0000255,0,0", ColourForm, [](auto& s) { s.myPalette[2].reset(); });
        refusedRow("two numbers", "my-palette.16=1,2", ColourForm, [](auto& s) { s.myPalette[15].reset(); });
        refusedRow("four numbers", "my-palette.16=1,2,3,4", ColourForm, [](auto& s) { s.myPalette[15].reset(); });
        refusedRow("a colour code", "text=FF8000", ColourForm, [](auto& s) { s.text.reset(); });
        readRow("blanks around names and numbers", "  my-palette.16 = 1 , 2 ,3 ", [](auto& s) {
            s.myPalette[15] = Colour{1, 2, 3};
        });
        // Names: exactly as written, in lower case.
        readRow("mode full", "mode=full", [](auto& s) { s.mode = ColorGamut::Full; });
        refusedRow("mode 217", "mode=217", "full、216 のどれか", [](auto& s) { s.mode.reset(); });
        readRow("edit background", "edit=background", [](auto& s) { s.editingBackground = true; });
        refusedRow("edit TEXT", "edit=TEXT", "background か text", [](auto& s) { s.editingBackground.reset(); });
        readRow("copy vb", "copy=vb", [](auto& s) { s.copyFormat = CopyFormat::AmpH; });
        readRow("copy 0x", "copy=0x", [](auto& s) { s.copyFormat = CopyFormat::HexLiteral; });
        const char* const formats = "plain、html、vb、css-rgb、css-hsl、0x のどれか";
        refusedRow("copy css", "copy=css", formats, [](auto& s) { s.copyFormat.reset(); });
        readRow("on-top no", "on-top=no", [](auto& s) { s.onTop = false; });
        refusedRow("on-top 1", "on-top=1", "yes か no", [](auto& s) { s.onTop.reset(); });
        readRow("palette mine", "palette=mine", [](auto& s) { s.basicPaletteShown = false; });
        refusedRow("contrast on", "contrast=on", "yes か no", [](auto& s) { s.showingContrast.reset(); });
        readRow("vision achromat", "vision=achromat", [](auto& s) { s.vision = ColourVision::Achromat; });
        refusedRow("vision Deutan", "vision=Deutan", "none、protan、deutan、tritan、achromat のどれか",
                   [](auto& s) { s.vision.reset(); });
        // The position: whole numbers up to 100000 either way.
        const char* const xy = "±100000 までの整数を 2 つ「X,Y」";
        readRow("position at the limits", "position=100000,-100000",
                [](auto& s) { s.position = QPoint(100000, -100000); });
        refusedRow("position beyond", "position=-100001,0", xy, [](auto& s) { s.position.reset(); });
        refusedRow("position with a fraction", "position=1.5,2", xy, [](auto& s) { s.position.reset(); });
        // Lines that are no value at all.
        QTest::newRow("unknown name") << with("colour", "colour=1,2,3") << all
                                      << QStringList{QStringLiteral("29 行目の「colour」（知らない名前です）")};
        QTest::newRow("a name again: the first counts")
            << with("none", "mode=full") << all
            << QStringList{QStringLiteral("29 行目の mode（2 度目です。初めのほうを使います）")};
        QTest::newRow("no equals sign") << with("none", "mode") << all
                                        << QStringList{
                                               QStringLiteral("29 行目「mode」（「名前=値」の形ではありません）")};
        readRow("not UTF-8", "vision=\xff", [](auto& s) { s.vision.reset(); },
                {QStringLiteral("27 行目（UTF-8 の文字ではありません）"), QStringLiteral("vision がありません")});
        readRow("a value of control characters and 50 letters, shortened", "copy=\x01\x02" + QByteArray(50, 'x'),
                [](auto& s) { s.copyFormat.reset(); },
                {refused(7, "copy", qPrintable("  " + QString(38, u'x') + u'…'), formats)});
        QTest::newRow("a missing swatch")
            << with("my-palette.5", "# gone") << keptWith([](auto& s) { s.myPalette[4].reset(); })
            << QStringList{QStringLiteral("my-palette.5 がありません")};
        // Forms of text that are all right.
        QByteArray windows = "\xEF\xBB\xBF" + Kept;
        windows.replace("\n", "\r\n");
        QTest::newRow("byte order mark, CR LF") << windows << all << QStringList();
        QTest::newRow("empty") << QByteArray() << RememberedState() << QStringList();
        QTest::newRow("comments only") << QByteArray("# x=1\n\n  # y\n") << RememberedState() << QStringList();
    }

    void damaged() {
        QFETCH(QByteArray, text);
        QFETCH(RememberedState, expected);
        QFETCH(QStringList, ignored);
        RememberedState read;
        QCOMPARE(ReadRememberedState(text, read), ignored);
        QCOMPARE(read, expected);
        // A value left out leaves what was there before.
        RememberedState before = keptState();
        before.position = QPoint(7, 7);
        ReadRememberedState(with("position", "position=x"), before);
        QCOMPARE(before.position, std::optional<QPoint>(QPoint(7, 7)));
    }

    void onScreens_data() {
        QTest::addColumn<QRect>("window");
        QTest::addColumn<bool>("on");
        // Two screens side by side, 800x600 and 1024x768.
        QTest::newRow("inside the first") << QRect(10, 10, 307, 280) << true;
        QTest::newRow("at its top-left corner") << QRect(0, 0, 307, 280) << true;
        QTest::newRow("one pixel above") << QRect(0, -1, 307, 280) << false;
        QTest::newRow("across both") << QRect(700, 10, 307, 280) << true;
        QTest::newRow("to the bottom edge of the second") << QRect(1000, 488, 307, 280) << true;
        QTest::newRow("one pixel below it") << QRect(1000, 489, 307, 280) << false;
        QTest::newRow("below the first, beside the taller second") << QRect(700, 400, 307, 280) << false;
        QTest::newRow("right of both") << QRect(1824, 0, 307, 280) << false;
    }

    void onScreens() {
        QFETCH(QRect, window);
        QFETCH(bool, on);
        QCOMPARE(LiesOnScreens(window, {QRect(0, 0, 800, 600), QRect(800, 0, 1024, 768)}), on);
    }

    // --- The window ---------------------------------------------------------------------------

    void turnedOnAndOff() {
        TestWindow t;
        frmColor& f = *t.frm;
        const QString file = t.path("swatchly.ini");
        // After the specified items, behind a separator, unchecked; off with the file panel.
        const QList<QAction*> items = f.mnu_option->actions();
        QVERIFY(items.size() == 4 && items[0]->menu() == f.mnu_Option_Window && items[2]->isSeparator());
        QVERIFY(items[3] == f.mnu_Option_Remember && f.mnu_Option_Remember->text() == u"終了時の状態を記憶する(&M)");
        QVERIFY(f.mnu_Option_Remember->isCheckable() && !f.mnu_Option_Remember->isChecked());
        // On: written at once, the state as it is.
        t.setSliders(1, 2, 3);
        QVERIFY(!QFile::exists(file));
        f.mnu_Option_Remember->trigger();
        QVERIFY(f.mnu_Option_Remember->isChecked());
        RememberedState read;
        QCOMPARE(ReadRememberedState(t.readFile("swatchly.ini"), read), QStringList());
        QCOMPARE(read, f.StateToRemember());
        QCOMPARE(read.background, std::optional<Colour>(Colour{1, 2, 3}));
        // Off: the file goes, and the end writes nothing.
        f.mnu_Option_Remember->trigger();
        QVERIFY(!f.mnu_Option_Remember->isChecked() && !QFile::exists(file));
        t.os.sessionEnds();
        QVERIFY(f.close());
        QCOMPARE(QDir(t.folder.path()).entryList(QDir::Files), QStringList());
        QVERIFY(t.os.messageBoxes.isEmpty() && t.os.standardError.isEmpty());
    }

    void turningFails_data() {
        QTest::addColumn<bool>("on");
        QTest::addColumn<QString>("message"); // %1: the file
        QTest::newRow("on: its folder is a file") << false
                                                  << QStringLiteral("記憶した状態のファイル「%1」を保存できません。"
                                                                    "\n保存先のフォルダー「%2」を作れませんでした。");
        QTest::newRow("off: a folder of its name holds files")
            << true
            << QStringLiteral("記憶した状態のファイル「%1」を削除で"
                              "きませんでした。\n（Is a directory）");
    }

    void turningFails() {
        // The file is the state of record: the check mark stays as it was.
        QFETCH(bool, on);
        QFETCH(QString, message);
        TestWindow t;
        const QString file = on ? t.path("swatchly.ini") : t.path("plain/swatchly.ini");
        t.os.settings = file;
        if (on) {
            QVERIFY(QDir().mkpath(t.path("swatchly.ini/inside")));
            restart(t);
            QVERIFY(t.frm->mnu_Option_Remember->isChecked());
        } else {
            t.writeFile("plain", "");
        }
        t.frm->mnu_Option_Remember->trigger();
        QCOMPARE(t.frm->mnu_Option_Remember->isChecked(), on);
        QCOMPARE(t.os.messageBoxes.size(), 1);
        QCOMPARE(t.os.messageBoxes[0].text, on ? message.arg(file) : message.arg(file, t.path("plain")));
    }

    void writtenAfterChangesToMyPalette_data() {
        QTest::addColumn<int>("change");
        QTest::addColumn<bool>("written");
        QTest::newRow("a swatch registered") << 0 << true;
        QTest::newRow("a swatch picked") << 1 << false;
        QTest::newRow("a palette file loaded") << 2 << true;
        QTest::newRow("a palette file previewed, then back") << 3 << false;
        QTest::newRow("a GIMP palette imported") << 4 << true;
        QTest::newRow("a right click on the basic colours") << 5 << false;
        QTest::newRow("the copy format, the mode, on top") << 6 << false;
    }

    void writtenAfterChangesToMyPalette() {
        QFETCH(int, change);
        QFETCH(bool, written);
        TestWindow t;
        frmColor& f = *t.frm;
        PaletteTable loaded;
        loaded.fill(9, 8, 7);
        t.writeFile("a.pdt", PaletteFile::encode(loaded));
        t.writeFile("a.gpl", "GIMP Palette\n" + QByteArray("9 8 7\n").repeated(5));
        f.mnu_Option_Remember->trigger();
        const QByteArray before = t.readFile("swatchly.ini");
        // Slider moves alone write nothing.
        t.setSliders(10, 20, 30);
        QCOMPARE(t.readFile("swatchly.ini"), before);
        switch (change) {
        case 0:
            TestWindow::press(f.lblPallete[4], Qt::RightButton);
            break;
        case 1:
            TestWindow::press(f.lblPallete[4]);
            break;
        case 2:
        case 3:
            TestWindow::click(f.cmdColor[frmColor::LoadButton]);
            TestWindow::click(change == 2 ? f.cmdOK : f.cmdCancel);
            break;
        case 4:
            t.os.chosenFiles = {t.path("a.gpl")};
            f.mnu_Gimp_Import->trigger();
            break;
        case 5:
            f.mnu_pallete[frmColor::BasicPaletteItem]->trigger();
            TestWindow::press(f.lblPallete[4], Qt::RightButton);
            break;
        default:
            TestWindow::click(f.cmdColor[frmColor::FormatButton]);
            TestWindow::click(f.cmdColor[frmColor::ModeButton]);
            TestWindow::click(f.cmdColor[frmColor::TopmostButton]);
            break;
        }
        QVERIFY(t.os.messageBoxes.isEmpty());
        const QByteArray after = t.readFile("swatchly.ini");
        QCOMPARE(after != before, written);
        if (written) {
            QCOMPARE(after, WriteRememberedState(f.StateToRemember()));
            // The change itself is in the file.
            RememberedState read;
            ReadRememberedState(after, read);
            QCOMPARE(read.myPalette[4], std::optional<Colour>(change == 0 ? Colour{10, 20, 30} : Colour{9, 8, 7}));
        }
    }

    void writtenOnceAtTheEnd() {
        // The session's end and the close box each write what changed since, and nothing twice.
        TestWindow t;
        frmColor& f = *t.frm;
        const QString file = t.path("swatchly.ini");
        f.mnu_Option_Remember->trigger();
        const auto inode = [&] { return statOf(file).st_ino; };
        const ino_t first = inode();
        t.os.sessionEnds();
        QCOMPARE(inode(), first); // nothing changed since it was turned on
        TestWindow::click(f.optColor[frmColor::TextOption]);
        t.setSliders(0, 51, 102);
        QCOMPARE(inode(), first);
        t.os.sessionEnds();
        const ino_t second = inode();
        QVERIFY(second != first);
        QCOMPARE(t.readFile("swatchly.ini"), WriteRememberedState(f.StateToRemember()));
        t.os.sessionEnds();
        QVERIFY(f.close());
        QCOMPARE(inode(), second);
        // A window that restarts on it starts as it was left.
        restart(t);
        QVERIFY(t.frm->optColor[frmColor::TextOption]->isChecked());
        QCOMPARE(t.sliders(), (std::array<int, 3>{0, 51, 102}));
        QCOMPARE(inode(), second);
        // Changed, then closed by the quit button: written.
        t.setSliders(1, 1, 1);
        TestWindow::click(t.frm->cmdColor[frmColor::QuitButton]);
        QVERIFY(inode() != second && t.os.standardError.isEmpty());
        QVERIFY(t.readFile("swatchly.ini").contains("\ntext=1,1,1\n"));
    }

    void restoredAtStart_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hex");
        QTest::addColumn<QString>("readout"); // how the hint line starts
        QTest::addColumn<bool>("editsText");
        QTest::addColumn<int>("sample"); // the sample's background and text colours, packed
        QTest::addColumn<int>("sampleText");
        QTest::addColumn<int>("swatch0");
        QTest::addColumn<QList<bool>>("checks");  // 216, the three formats, basic, mine, on top, contrast
        QTest::addColumn<QList<int>>("pictures"); // format, palette, on top
        QTest::addColumn<ColourVision>("vision");
        QTest::addColumn<bool>("moved"); // to the position kept
        // In 216 colours the text colour edited snaps onto the grid: (255, 128, 0) to (255, 102, 0).
        QTest::newRow("everything away from the start")
            << Kept << QStringLiteral("Swatchly：２１６色モード") << QStringLiteral("#FF6600")
            << QStringLiteral("(R255－G102－B0)　") << true << PackedColor(18, 52, 86) << PackedColor(255, 102, 0)
            << PackedColor(0, 0, 0) << QList<bool>{true, false, true, false, true, false, true, true}
            << QList<int>{int(PictureId::HtmlFormat), int(PictureId::BasicPalette), int(PictureId::OnTop)}
            << ColourVision::Deutan << true;
        QByteArray other = Kept;
        for (const auto& [from, to] :
             std::initializer_list<std::pair<const char*, const char*>>{{"edit=text", "edit=background"},
                                                                        {"mode=216", "mode=full"},
                                                                        {"copy=html", "copy=vb"},
                                                                        {"on-top=yes", "on-top=no"},
                                                                        {"palette=basic", "palette=mine"},
                                                                        {"contrast=yes", "contrast=no"},
                                                                        {"vision=deutan", "vision=tritan"},
                                                                        {"position=20,40", "position=-1,40"}}) {
            other.replace(from, to);
        }
        QTest::newRow("the other way, one pixel off the screen")
            << other << QStringLiteral("Swatchly：フルカラーモード") << QStringLiteral("&H563412")
            << QStringLiteral("(R18－G52－B86)") << false << PackedColor(18, 52, 86) << PackedColor(255, 128, 0)
            << PackedColor(207, 255, 255) << QList<bool>{false, false, false, true, false, true, false, false}
            << QList<int>{int(PictureId::AmpHFormat), int(PictureId::MyPalette), int(PictureId::NotOnTop)}
            << ColourVision::Tritan << false;
    }

    void restoredAtStart() {
        QFETCH(QByteArray, file);
        QFETCH(QString, caption);
        QFETCH(QString, hex);
        QFETCH(QString, readout);
        QFETCH(bool, editsText);
        QFETCH(int, sample);
        QFETCH(int, sampleText);
        QFETCH(int, swatch0);
        QFETCH(QList<bool>, checks);
        QFETCH(QList<int>, pictures);
        QFETCH(ColourVision, vision);
        QFETCH(bool, moved);
        TestWindow t;
        t.writeFile("swatchly.ini", file);
        restart(t);
        frmColor& f = *t.frm;
        QVERIFY(f.isVisible() && f.mnu_Option_Remember->isChecked());
        QVERIFY(t.os.messageBoxes.isEmpty() && t.os.standardError.isEmpty());
        // Captions, check marks and pictures all say the state restored.
        QCOMPARE(f.Caption(), caption);
        QCOMPARE(f.cmdColor[frmColor::ModeButton]->text(),
                 checks[0] ? QStringLiteral("２１６色") : QStringLiteral("フルカラー"));
        QCOMPARE(f.lblHex->Caption(), hex);
        QVERIFY2(f.lblExplain->Caption().startsWith(readout), qPrintable(f.lblExplain->Caption()));
        QCOMPARE(f.lblExplain->Caption().contains(u":1"), checks[7]);
        QCOMPARE(f.optColor[frmColor::TextOption]->isChecked(), editsText);
        QCOMPARE(f.optColor[frmColor::BackgroundOption]->isChecked(), !editsText);
        // The sample as seen with the colour vision kept.
        const auto seen = [vision](int packed) {
            const Rgb c = SimulatedColour(Rgb{packed & 0xFF, (packed >> 8) & 0xFF, packed >> 16}, vision);
            return PackedColor(c.r, c.g, c.b);
        };
        QVERIFY(f.txtColor->BackColor() == seen(sample) && f.txtColor->ForeColor() == seen(sampleText));
        QVERIFY(f.mnu_Vision[std::size_t(vision)]->isChecked());
        QCOMPARE(f.lblPallete[0]->BackColor(), swatch0);
        QCOMPARE(f.m.MyPalette.at(0, 0), 207); // My palette as kept, whichever palette shows
        const QList<bool> checked{f.mnu_Color_216->isChecked(),      f.mnu_Copymode[0]->isChecked(),
                                  f.mnu_Copymode[1]->isChecked(),    f.mnu_Copymode[2]->isChecked(),
                                  f.mnu_pallete[0]->isChecked(),     f.mnu_pallete[1]->isChecked(),
                                  f.mnu_Window_Topmost->isChecked(), f.mnu_Color_Contrast->isChecked()};
        QCOMPARE(checked, checks);
        QCOMPARE(f.mnu_Color_full->isChecked(), !checks[0]);
        const QList<int> shown{int(f.cmdColor[frmColor::FormatButton]->Picture()),
                               int(f.cmdColor[frmColor::PaletteButton]->Picture()),
                               int(f.cmdColor[frmColor::TopmostButton]->Picture())};
        QCOMPARE(shown, pictures);
        QCOMPARE(t.os.alwaysOnTopCalls, checks[6] ? QList<bool>{true} : QList<bool>{});
        // The save and load buttons follow the palette shown.
        QCOMPARE(f.cmdColor[frmColor::SaveButton]->isEnabled(), checks[5]);
        QCOMPARE(f.m.Vision, vision);
        QCOMPARE(f.pos() == QPoint(20, 40) || f.pos() == QPoint(-1, 40), moved);
    }

    void damagedAtStart_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("line");   // %1: the file
        QTest::addColumn<bool>("keptAside"); // as swatchly.ini.damaged, before the first write
        const QString unused = QStringLiteral("記憶した状態を使わずに起動しました。");
        const auto notPlain = [&unused](const char* what) {
            return QStringLiteral("「%1」は記憶した状態のファイルとして読み込めません。通常のファイルではなく、") +
                   QString::fromUtf8(what) + QStringLiteral("です。") + unused;
        };
        const QString ignoring =
            QStringLiteral("記憶した状態のファイル「%1」の次の値を無視し、はじめの状態のままにしました: ");
        QTest::newRow("a FIFO") << 0 << notPlain("名前付きパイプ（FIFO）") << false;
        QTest::newRow("a folder") << 1 << notPlain("フォルダー") << false;
        QTest::newRow("a link to a device") << 2 << notPlain("デバイスファイル") << true;
        QTest::newRow("a dangling link") << 3
                                         << QStringLiteral("記憶した状態のファイル「%1」が見つかりません。") + unused
                                         << true;
        QTest::newRow("16 KiB and a byte") << 4
                                           << QStringLiteral("記憶した状態のファイル「%1」は大きすぎるため読み込めま"
                                                             "せん（16384 バイトまでです）。") +
                                                  unused
                                           << true;
        QTest::newRow("16 KiB") << 5 << QString() << false;
        QTest::newRow("a value out of range")
            << 6 << ignoring + refused(3, "background", "256,0,0", ColourForm) << true;
        QString unknown;
        for (int n = 1; n <= 8; ++n) {
            unknown += QStringLiteral("%1 行目の「a」（知らない名前です）、").arg(n);
        }
        QTest::newRow("every line unknown") << 7 << ignoring + unknown + QStringLiteral("ほか 3 件") << true;
    }

    void damagedAtStart() {
        // Started on whatever lies in the file's place: it never blocks, one line says what was
        // left out, the values that could be read are restored, and the file as it was is kept
        // aside before it is written over.
        QFETCH(int, kind);
        QFETCH(QString, line);
        QFETCH(bool, keptAside);
        TestWindow t;
        const QString file = t.path("swatchly.ini");
        const QByteArray native = QFile::encodeName(file);
        QByteArray original;
        switch (kind) {
        case 0:
            QCOMPARE(::mkfifo(native.constData(), 0600), 0);
            break;
        case 1:
            QVERIFY(QDir().mkdir(file));
            break;
        case 2:
        case 3:
            QCOMPARE(::symlink(kind == 2 ? "/dev/zero" : "nowhere", native.constData()), 0);
            break;
        case 4:
        case 5:
            original = QByteArray(16 * 1024 - 1 + (kind == 4 ? 1 : 0), '#') + '\n';
            break;
        case 6:
            original = with("background", "background=256,0,0");
            break;
        default:
            original = QByteArray("a=1\n").repeated(10);
            break;
        }
        if (kind >= 4) {
            t.writeFile("swatchly.ini", original);
        }
        restart(t);
        frmColor& f = *t.frm;
        QVERIFY(f.isVisible() && f.mnu_Option_Remember->isChecked() && t.os.messageBoxes.isEmpty());
        QCOMPARE(t.os.standardError, line.isEmpty() ? QStringList() : QStringList{line.arg(file)});
        // The values that were good are restored: the text colour, not the background.
        QCOMPARE(f.m.TextRGB,
                 kind == 6 ? (std::array<std::int32_t, 3>{255, 102, 0}) : (std::array<std::int32_t, 3>{0, 0, 0}));
        QCOMPARE(f.m.BackgroundRGB, (std::array<std::int32_t, 3>{255, 255, 255}));
        // The first write keeps what was there; a pipe or a folder is left alone and refused.
        f.mnu_pallete[frmColor::MyPaletteItem]->trigger();
        TestWindow::press(f.lblPallete[0], Qt::RightButton);
        QCOMPARE(QFileInfo::exists(file + ".damaged") || QFileInfo(file + ".damaged").isSymLink(), keptAside);
        if (keptAside && kind >= 4) {
            QFile copy(file + ".damaged");
            QVERIFY(copy.open(QIODevice::ReadOnly) && copy.readAll() == original);
        }
        const bool refusedWrite = kind <= 1;
        QCOMPARE(t.os.messageBoxes.size(), refusedWrite ? 1 : 0);
        QCOMPARE(QFileInfo(file).isFile() && !QFileInfo(file).isSymLink(), !refusedWrite);
        if (!refusedWrite) {
            QCOMPARE(t.readFile("swatchly.ini"), WriteRememberedState(f.StateToRemember()));
        }
        // At the end a refused write is one more line, and no message box.
        f.m.BackgroundRGB = {1, 2, 3};
        QVERIFY(f.close());
        QCOMPARE(t.os.messageBoxes.size(), refusedWrite ? 1 : 0);
        QCOMPARE(t.os.standardError.size(), (line.isEmpty() ? 0 : 1) + (refusedWrite ? 1 : 0));
        if (refusedWrite) {
            QVERIFY(t.os.standardError.last().startsWith(
                QStringLiteral("記憶した状態のファイル「%1」を保存できません。").arg(file)));
        }
    }
};

QTEST_MAIN(RememberedStateTest)
#include "tst_rememberedstate.moc"
