// Thousands of random user actions against the real window, the program's invariants checked
// after every one. The seed is printed: SWATCHLY_SEED replays a run, SWATCHLY_ACTIONS sets its length.

#include "palette/PaletteTable.h"
#include "platform/Platform.h"
#include "resources/StringTable.h"
#include "support/TestWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <algorithm>
#include <bit>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Rgb = std::array<int, 3>;
// Every entry under a folder by relative path: type, inode, and for files size and change time.
using Tree = std::map<std::string, std::array<qint64, 4>>;

// A palette file record: 48 little-endian signed 32-bit integers, reds, greens, blues.
static_assert(std::endian::native == std::endian::little);
PaletteTable fromRecord(const QByteArray& bytes) {
    PaletteTable t;
    std::memcpy(t.values.data(), bytes.constData(), 192);
    return t;
}

Tree scanTree(const QString& root) {
    Tree tree;
    const std::filesystem::path base = QFile::encodeName(root).toStdString();
    for (const auto& entry : std::filesystem::recursive_directory_iterator(base)) {
        struct stat s {};
        ::lstat(entry.path().c_str(), &s);
        const bool dir = S_ISDIR(s.st_mode); // a save changes its folder's times
        tree[entry.path().lexically_relative(base).string()] = {
            s.st_mode, qint64(s.st_ino), dir ? 0 : s.st_size,
            dir ? 0 : s.st_mtim.tv_sec * 1000000000 + s.st_mtim.tv_nsec};
    }
    return tree;
}

// Types text key by key, each key carrying its character.
void typeText(QWidget* w, const QString& text) {
    for (const QChar ch : text) {
        const char latin = ch.unicode() < 128 ? static_cast<char>(ch.unicode()) : 0;
        QTest::sendKeyEvent(QTest::Click, w, latin ? QTest::asciiToKey(latin) : Qt::Key_unknown, QString(ch), {});
    }
}

// The state an action changes on purpose.
struct State {
    int colorMode, copyMode;
    bool editingBackground, basic, topmost, open, saving;
    bool operator==(const State&) const = default;
};

#define EXPECT(cond, message)                                                                                          \
    do {                                                                                                               \
        if (!(cond)) {                                                                                                 \
            return QString(message);                                                                                   \
        }                                                                                                              \
    } while (false)

// One run: the window, the generator, the actions, and after each action what it must leave.
struct Run {
    TestWindow& t;
    frmColor& f;
    Module1& m;
    QString outer, folderRel{};
    std::mt19937 rng;
    QStringList recent{};
    QMap<QString, int> counts{};
    int saves = 0, refused = 0;
    QStringList hostile{};
    std::map<QString, bool> probes{}; // where an escaping name would land: existed at start
    Tree tree{};                      // the last look at the outer folder
    int notify = -1;                  // reports changes in its folders: the tree is looked at only then
    bool captionFollowsMode = true;   // no panel opened since the last mode set-up
    int topmostCalls = 0;
    // What the current action must leave behind.
    State x{};
    Rgb sliders{}, other{}; // the sliders, the stored colour not being edited
    bool slidersFree = false, mayFail = false, copied = false;
    PaletteTable view{}, my{};
    QString clipboard{}, nameBox{}, saveName{};
    qsizetype boxes = 0;
    bool saveSafe = false, saveExisted = false;
    int answer = platform::AnswerNo;

    // The colour mode and the copy format as the index of their menu item.
    int colorMode() const { return m.ColorMode == ColorGamut::Web216 ? 1 : 0; }
    int copyMode() const {
        return int(std::find(CopyFormats.begin(), CopyFormats.end(), m.CopyMode) - CopyFormats.begin());
    }
    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng); }
    template <typename T> T pick(const QList<T>& items) { return items.at(uniform(0, int(items.size()) - 1)); }
    static void click(QWidget* w, QPoint at = {}, Qt::MouseButton b = Qt::LeftButton) { TestWindow::press(w, b, at); }
    QRect part(int i, QStyle::SubControl sc) const { return TestWindow::sliderPart(f.VScrColor[std::size_t(i)], sc); }
    static Rgb snapped(const Rgb& c, int mode) {
        return mode == 1 ? Rgb{c[0] / 51 * 51, c[1] / 51 * 51, c[2] / 51 * 51} : c;
    }
    static QString hex2(int v) { return QString::asprintf("%02X", v); }
    static QString hex6(const Rgb& c) { return hex2(c[0]) + hex2(c[1]) + hex2(c[2]); }
    static QByteArray record(const PaletteTable& p) { return {reinterpret_cast<const char*>(p.values.data()), 192}; }
    void stepSlider(int i, int delta) {
        sliders[std::size_t(i)] = std::clamp(sliders[std::size_t(i)] + delta, 0, 255);
        sliders = snapped(sliders, colorMode());
    }
    void act(const char* kind, const QString& detail) {
        ++counts[QString::fromLatin1(kind)];
        recent << QString::fromLatin1(kind) + QStringLiteral(": ") + detail;
    }

    bool start() {
        const QString program = t.folder.path();
        folderRel = QDir(outer).relativeFilePath(program);
        // Palette files already there: ordinary, with a tail, short, empty, foreign values (out of
        // the sliders' range, and one no swatch can show), a folder named like a palette file,
        // another kind of file, and links to a file outside the folder and to nothing.
        PaletteTable blue, wild;
        for (int i = 0; i < 16; ++i) {
            blue.setEntry(i, 0, i * 8, 255 - i);
            wild.setEntry(i, i * 17, 255 - i * 17, 7);
        }
        wild.setEntry(3, 256, 0, 0);
        wild.setEntry(5, -1, 0, 0);
        wild.setEntry(12, 0, 0, -2);
        t.writeFile(QStringLiteral("Blue.pdt"), record(blue));
        t.writeFile(QStringLiteral("wild.pdt"), record(wild));
        t.writeFile(QStringLiteral("tail.pdt"), record(wild) + QByteArray(40, 'x'));
        t.writeFile(QStringLiteral("short.pdt"), record(blue).left(100));
        t.writeFile(QStringLiteral("empty.pdt"), {});
        t.writeFile(QStringLiteral("色見本.pdt"), record(blue));
        t.writeFile(QStringLiteral("notes.txt"), "not a palette");
        bool made = QDir(program).mkdir(QStringLiteral("folder.pdt")) && QDir(outer).mkdir(QStringLiteral("sibling")) &&
                    QFile::link(QStringLiteral("../sibling/keep.pdt"), t.path(QStringLiteral("link.pdt"))) &&
                    QFile::link(QStringLiteral("../sibling/none.pdt"), t.path(QStringLiteral("dangling.pdt")));
        t.writeFile(QStringLiteral("../sibling/keep.pdt"), record(blue));
        f.FilPallete->Refresh();

        hostile = QStringLiteral("../x|a/b|..|.|\\evil|..\\evil2|../../swatchly-escape-probe|../sibling/keep|"
                                 "folder/inside")
                      .split(QLatin1Char('|'))
                  << QDir(outer).filePath(QStringLiteral("abs"));
        for (const QString& base : hostile) {
            const QString name = base + QStringLiteral(".pdt");
            const QString landing = QDir::cleanPath(QDir(program).filePath(name));
            probes[landing] = QFileInfo::exists(landing);
            for (const QString& dir : {QDir::currentPath(), QDir::tempPath(), QDir::homePath(), QDir::rootPath()}) {
                const QString path = QDir(dir).filePath(name.section(QLatin1Char('/'), -1));
                probes[path] = QFileInfo::exists(path);
            }
        }
        // A click repaints its control at once; nothing here looks at the pixels, so painting
        // is off to keep ten thousand actions within seconds.
        f.setUpdatesEnabled(false);
        // The overwrite question gets the answer the current save chose.
        t.os.onMessageBox = [this](const auto& box) {
            t.os.queueAnswer(box.style & 0xF ? answer : platform::AnswerOk);
        };
        notify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        for (const QString& dir :
             {outer, program, outer + QStringLiteral("/sibling"), program + QStringLiteral("/folder.pdt")}) {
            const auto events = IN_ALL_EVENTS & ~(IN_ACCESS | IN_OPEN | IN_CLOSE_NOWRITE);
            made = made && ::inotify_add_watch(notify, QFile::encodeName(dir).constData(), events) >= 0;
        }
        tree = scanTree(outer);
        return made;
    }

    QString step() {
        x = {colorMode(), copyMode(),      m.EditingBackground, m.ShowingBasicPalette,
             m.IsTopmost, m.FilePanelOpen, m.PanelSaving};
        sliders = t.sliders();
        other = m.EditingBackground ? Rgb{m.TextRGB[0], m.TextRGB[1], m.TextRGB[2]}
                                    : Rgb{m.BackgroundRGB[0], m.BackgroundRGB[1], m.BackgroundRGB[2]};
        slidersFree = mayFail = copied = false;
        view = m.PaletteView;
        my = m.MyPalette;
        clipboard = t.os.clipboard;
        nameBox = saveName = QString();
        boxes = t.os.messageBoxes.size();
        m.FilePanelOpen ? openAction() : closedAction();
        QCoreApplication::processEvents();
        return check();
    }

    // --- Actions -------------------------------------------------------------------------

    void closedAction() {
        const int roll = uniform(0, 99);
        const int i = uniform(0, 2);
        ColorSlider* bar = f.VScrColor[std::size_t(i)];
        const int small = colorMode() == 1 ? 51 : 1, large = colorMode() == 1 ? 51 : 16;
        if (roll < 10) {
            const int v = chance(0.3) ? pick(QList<int>{0, 1, 50, 51, 52, 203, 204, 254, 255}) : uniform(0, 255);
            act("slider by code", QStringLiteral("VScrColor(%1).Value = %2").arg(i).arg(v));
            stepSlider(i, v - sliders[std::size_t(i)]);
            bar->setValue(v);
        } else if (roll < 32) {
            // A step up or down by an arrow, the track or a key, or to an end by a key.
            const bool up = chance(0.5);
            const int size = uniform(0, 2);
            const QRect area = part(i, size == 0 ? (up ? QStyle::SC_ScrollBarSubLine : QStyle::SC_ScrollBarAddLine)
                                                 : (up ? QStyle::SC_ScrollBarSubPage : QStyle::SC_ScrollBarAddPage));
            const bool byKey = size == 2 || area.height() < 3 || chance(0.4);
            const Qt::Key key = std::array{Qt::Key_Down, Qt::Key_PageDown, Qt::Key_End,
                                           Qt::Key_Up,   Qt::Key_PageUp,   Qt::Key_Home}[std::size_t(size + 3 * up)];
            act(byKey ? "slider key" : "slider click",
                QStringLiteral("VScrColor(%1) %2").arg(i).arg(QKeySequence(key).toString()));
            stepSlider(i, (up ? 1 : -1) * std::array{small, large, 255}[std::size_t(size)]);
            // A click on the thumb gives the focus and leaves the value alone.
            click(bar, byKey ? part(i, QStyle::SC_ScrollBarSlider).center()
                             : QPoint(area.center().x(), area.top() + uniform(0, area.height() - 1)));
            if (byKey) {
                QTest::keyClick(bar, key);
            }
        } else if (roll < 38) {
            sliderMouse(i);
        } else if (roll < 43) {
            const int k = uniform(0, 1);
            act("option click", QStringLiteral("optColor(%1)").arg(k));
            if (x.editingBackground != (k == 0)) {
                x.editingBackground = k == 0;
                std::swap(sliders, other);
                sliders = snapped(sliders, colorMode());
            }
            click(f.optColor[std::size_t(k)]);
        } else if (roll < 49) {
            const bool button = chance(0.5);
            x.colorMode = button ? 1 - colorMode() : uniform(0, 1);
            act("mode", button ? QStringLiteral("cmdColor(3)") : QStringLiteral("mnu_Color %1").arg(x.colorMode));
            sliders = snapped(sliders, x.colorMode);
            captionFollowsMode = true;
            button ? click(f.cmdColor[3]) : (x.colorMode == 0 ? f.mnu_Color_full : f.mnu_Color_216)->trigger();
        } else if (roll < 61) {
            swatch();
        } else if (roll < 66) {
            const bool button = chance(0.6);
            x.basic = button ? !m.ShowingBasicPalette : chance(0.5);
            act("palette", button ? QStringLiteral("cmdColor(5)") : QStringLiteral("mnu_pallete(%1)").arg(!x.basic));
            mayFail = !x.basic; // My palette may hold a colour no swatch can show
            button ? click(f.cmdColor[5]) : f.mnu_pallete[x.basic ? 0 : 1]->trigger();
        } else if (roll < 70) {
            const bool button = chance(0.5);
            x.copyMode = button ? (copyMode() + 1) % 3 : uniform(0, 2);
            act("format", button ? QStringLiteral("cmdColor(4)") : QStringLiteral("mnu_Copymode(%1)").arg(x.copyMode));
            button ? click(f.cmdColor[4]) : f.mnu_Copymode[std::size_t(x.copyMode)]->trigger();
        } else if (roll < 74) {
            act("copy", QStringLiteral("cmdColor(2)"));
            copied = true;
            click(f.cmdColor[2]);
        } else if (roll < 76) {
            const bool button = chance(0.5);
            act("always on top", button ? QStringLiteral("cmdColor(6)") : QStringLiteral("mnu_Window_Topmost"));
            x.topmost = !x.topmost;
            ++topmostCalls;
            button ? click(f.cmdColor[6]) : f.mnu_Window_Topmost->trigger();
        } else if (roll < 84) {
            const bool saving = chance(0.5);
            act("open panel", QStringLiteral("cmdColor(%1)").arg(saving ? 0 : 1));
            if (!m.ShowingBasicPalette) {
                x.open = true;
                x.saving = saving;
                captionFollowsMode = false;
                expectPreview(f.FilPallete->List(0)); // the first file is selected and previewed at once
            }
            click(f.cmdColor[saving ? 0 : 1]);
        } else {
            roll < 88 ? hover() : roll < 91 ? disabledClick() : swatch();
        }
    }

    void openAction() {
        const int roll = uniform(0, 99);
        const int count = f.FilPallete->ListCount();
        if (count > 0 && (roll < 25 || (roll < 50 && !m.PanelSaving))) {
            const int k = uniform(0, count - 1);
            const QString name = f.FilPallete->List(k);
            act("file click", QStringLiteral("row %1 \"%2\"").arg(k).arg(name));
            expectPreview(name);
            nameBox = m.PanelSaving ? name : QString();
            QListWidgetItem* item = f.FilPallete->item(k);
            f.FilPallete->scrollToItem(item);
            click(f.FilPallete->viewport(), f.FilPallete->visualItemRect(item).center());
        } else if (roll < 50 && m.PanelSaving) {
            typeName();
        } else if (roll < 75) {
            okClick();
        } else if (roll < 85) {
            act("back", QStringLiteral("cmdCancel"));
            x.open = false;
            view = my;
            mayFail = true; // My palette may hold a colour no swatch can show
            click(f.cmdCancel);
        } else {
            roll < 95 ? disabledClick() : hover();
        }
    }

    // A file click selects a file and previews it; a file that is no palette leaves the preview.
    void expectPreview(const QString& name) {
        QFile file(t.path(name));
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.read(192) : QByteArray();
        view = bytes.size() == 192 ? fromRecord(bytes) : view;
        mayFail = true;
    }

    // Slider input whose exact outcome depends on the style's geometry: a drag, the wheel, a middle click.
    void sliderMouse(int i) {
        ColorSlider* bar = f.VScrColor[std::size_t(i)];
        const QRect groove = part(i, QStyle::SC_ScrollBarGroove);
        const QPoint from = part(i, QStyle::SC_ScrollBarSlider).center();
        const QPoint to(from.x(), uniform(groove.top(), groove.bottom()));
        const int kind = uniform(0, 2);
        act("slider mouse", QStringLiteral("VScrColor(%1) kind %2 to y %3").arg(i).arg(kind).arg(to.y()));
        slidersFree = true;
        if (kind == 0) {
            QTest::mousePress(bar, Qt::LeftButton, {}, from);
            QTest::mouseMove(bar, to);
            QTest::mouseRelease(bar, Qt::LeftButton, {}, to);
        } else if (kind == 1) {
            const QPointF at = bar->rect().center();
            QWheelEvent wheel(at, bar->mapToGlobal(at), {}, QPoint(0, pick(QList<int>{120, -120, 240, -360, 40})),
                              Qt::NoButton, {}, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(bar, &wheel);
        } else {
            click(bar, to, Qt::MiddleButton);
        }
    }

    void swatch() {
        const int i = uniform(0, 15);
        const auto button = pick(
            QList<Qt::MouseButton>{Qt::LeftButton, Qt::LeftButton, Qt::RightButton, Qt::RightButton, Qt::MiddleButton});
        act("swatch", QStringLiteral("lblPallete(%1) button %2").arg(i).arg(int(button)));
        const PaletteTable& source = m.ShowingBasicPalette ? m.BasicPalette : m.PaletteView;
        const Rgb entry{source.at(i, 0), source.at(i, 1), source.at(i, 2)};
        if (button == Qt::LeftButton) {
            // A colour the sliders cannot take is refused as a whole.
            const bool fits = std::all_of(entry.begin(), entry.end(), [](int v) { return v >= 0 && v <= 255; });
            sliders = fits ? snapped(entry, colorMode()) : sliders;
            mayFail = !fits;
        } else if (button == Qt::RightButton && !m.ShowingBasicPalette) {
            view.setEntry(i, sliders[0], sliders[1], sliders[2]);
            my.setEntry(i, sliders[0], sliders[1], sliders[2]);
        }
        click(f.lblPallete[std::size_t(i)], {}, button);
    }

    void typeName() {
        static const QStringList plain =
            QStringLiteral("Blue|Blue.pdt|mine|色見本|Ünïcödé|X.PDT|.pdt|..pdt|a.pdt.pdt| lead|trail |*star?|folder|"
                           "notes.txt|wild|$HOME|%s%n|'quote\"|link|dangling.pdt")
                .split(QLatin1Char('|'))
            << QString(200, QLatin1Char('K'));
        static const QStringList pasted =
            QStringLiteral("ctl\x01name|tab\tname|new\nline|del\x7fname|esc\x1b[31m|emoji😀").split(QLatin1Char('|'))
            << QString(300, QLatin1Char('L')) << QString(244, QLatin1Char('M')) << QString(245, QLatin1Char('N'))
            << QString(81, QChar(0x8272)) << QString(82, QChar(0x8272));
        TextBox* box = f.txtPallete;
        click(box);
        const int roll = uniform(0, 9);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        if (roll < 5) {
            nameBox = roll < 3 ? pick(plain) : pick(hostile);
            act("type name", nameBox);
            typeText(box, nameBox);
        } else if (roll < 7) {
            const QString name = pick(pasted);
            act("paste name", name.left(40));
            QGuiApplication::clipboard()->setText(name);
            QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        } else {
            const QString more = pick(QStringLiteral("|x|.pdt|/|..").split(QLatin1Char('|')));
            act("edit name", QStringLiteral("%1Backspace, \"%2\"").arg(roll == 7 ? "" : "End, ", more));
            QTest::keyClick(box, roll == 7 ? Qt::Key_Backspace : Qt::Key_End);
            QTest::keyClick(box, Qt::Key_Backspace);
            typeText(box, more);
        }
    }

    void okClick() {
        const QString text = f.txtPallete->text();
        act(m.PanelSaving ? "save" : "load commit", QStringLiteral("cmdOK, name \"%1\"").arg(text.left(60)));
        if (!m.PanelSaving && f.FilPallete->ListIndex() >= 0) {
            my = view;
            x.open = false;
        } else if (m.PanelSaving && !text.isEmpty()) {
            const QString base = text.endsWith(QLatin1String(".pdt")) ? text.chopped(4) : text;
            saveName = base + QStringLiteral(".pdt");
            const QFileInfo info(QDir(t.folder.path()).filePath(saveName));
            saveExisted = info.exists() || info.isSymLink();
            // A name that is plainly fine in the program folder must save.
            static const QRegularExpression unsafe(QStringLiteral("^\\.\\.?$|[/\\\\\\x00-\\x1f\\x7f]"));
            saveSafe = !base.contains(unsafe) && saveName.toUtf8().size() <= 240 &&
                       (!saveExisted || (info.isFile() && !info.isSymLink()));
            answer = chance(0.6) ? platform::AnswerYes : platform::AnswerNo;
            mayFail = !saveSafe;
        }
        click(f.cmdOK);
    }

    // Controls the current state disables: clicking them must change nothing.
    void disabledClick() {
        QList<QWidget*> targets{f.cmdColor[0], f.cmdColor[1]};
        if (m.FilePanelOpen) {
            targets << f.cmdColor[2] << f.cmdColor[5] << f.cmdColor[6] << f.txtColor << f.lblHex << f.lblPallete[0]
                    << f.lblPallete[9];
            targets << (f.FilPallete->ListIndex() < 0 && !m.PanelSaving ? f.cmdOK : f.cmdColor[4]);
        } else if (!m.ShowingBasicPalette) {
            return hover();
        }
        QWidget* w = pick(targets);
        const auto button = pick(QList<Qt::MouseButton>{Qt::LeftButton, Qt::RightButton, Qt::MiddleButton});
        act("disabled click", QString::fromLatin1(w->metaObject()->className()));
        // Sent straight to the control: QTest would log a note for each event a disabled control ignores.
        for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, w->rect().center(), w->mapToGlobal(w->rect().center()), button,
                              type == QEvent::MouseButtonPress ? button : Qt::NoButton, {});
            QCoreApplication::sendEvent(w, &event);
        }
    }

    void hover() {
        QList<QWidget*> targets{f.client, f.lblHex, f.lblExplain, f.txtColor};
        targets << f.cmdColor[std::size_t(uniform(0, 7))] << f.lblPallete[std::size_t(uniform(0, 15))];
        targets << (m.FilePanelOpen ? QList<QWidget*>{f.FilPallete->viewport(), f.cmdOK, f.cmdCancel}
                                    : QList<QWidget*>{f.optColor[0], f.Label1[0], f.Label1[2]});
        QWidget* w = pick(targets);
        act("hover", QString::fromLatin1(w->metaObject()->className()));
        QTest::mouseMove(w, QPoint(uniform(0, w->width() - 1), uniform(0, w->height() - 1)));
    }

    // --- Checks ----------------------------------------------------------------------------

    QString check() {
        const Rgb s = t.sliders();
        const Rgb bg{m.BackgroundRGB[0], m.BackgroundRGB[1], m.BackgroundRGB[2]};
        const Rgb tx{m.TextRGB[0], m.TextRGB[1], m.TextRGB[2]};
        const bool open = m.FilePanelOpen, saving = m.PanelSaving, full = colorMode() == 0;
        const bool basic = m.ShowingBasicPalette;
        EXPECT(slidersFree || s == sliders, QStringLiteral("sliders %1, expected %2").arg(hex6(s), hex6(sliders)));
        EXPECT((m.EditingBackground ? bg : tx) == s, "the edited colour differs from the sliders");
        EXPECT((m.EditingBackground ? tx : bg) == other, "the colour not being edited changed");
        EXPECT(f.optColor[0]->isChecked() == m.EditingBackground && f.optColor[1]->isChecked() == !m.EditingBackground,
               "the option buttons do not name the colour being edited");
        EXPECT(m.HexR == hex2(s[0]) && m.HexG == hex2(s[1]) && m.HexB == hex2(s[2]),
               QStringLiteral("HexR/G/B are %1%2%3 for sliders %4").arg(m.HexR, m.HexG, m.HexB, hex6(s)));
        EXPECT(full || std::all_of(s.begin(), s.end(), [](int v) { return v % 51 == 0; }), "216 colours, off a level");
        const QString hex = f.lblHex->Caption(), rgb = hex6(s);
        EXPECT(hex == rgb || hex == QLatin1Char('#') + rgb ||
                   hex == QLatin1String("&H") + hex2(s[2]) + hex2(s[1]) + hex2(s[0]),
               QStringLiteral("lblHex reads \"%1\" for sliders %2").arg(hex, rgb));
        EXPECT(t.os.clipboard == (copied ? hex : clipboard), "the clipboard does not hold the last copy of lblHex");

        const State now{colorMode(), copyMode(), m.EditingBackground, basic, m.IsTopmost, open, saving};
        EXPECT(now == x, "ColorMode, CopyMode, EditingBackground, ShowingBasicPalette, IsTopmost, FilePanelOpen or "
                         "PanelSaving is not what the action should leave");
        EXPECT(f.mnu_Color_full->isChecked() == full && f.mnu_Color_216->isChecked() == !full &&
                   f.cmdColor[3]->text() == LoadResString(full ? TextId::FullColorButton : TextId::Web216Button),
               "the colour menu checks or cmdColor(3) do not name the mode");
        for (ColorSlider* bar : f.VScrColor) {
            EXPECT(bar->SmallChange() == (full ? 1 : 51) && bar->LargeChange() == (full ? 16 : 51),
                   "wrong slider steps");
        }
        const TextId caption = open   ? (saving ? TextId::SavePanel : TextId::LoadPanel)
                               : full ? TextId::FullColorMode
                                      : TextId::Web216Mode;
        EXPECT((!open && !captionFollowsMode) || f.Caption() == LoadResString(caption),
               QStringLiteral("the caption is \"%1\", expected \"%2\"").arg(f.Caption(), LoadResString(caption)));
        static constexpr std::array formatIcons{PictureId::PlainHexFormat, PictureId::HtmlFormat,
                                                PictureId::AmpHFormat};
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT(f.mnu_Copymode[i]->isChecked() == (int(i) == copyMode()) &&
                       f.cmdColor[4]->Picture() == formatIcons[std::size_t(copyMode())],
                   "the copy-format checks or cmdColor(4)'s icon do not name the format");
        }
        EXPECT(f.mnu_pallete[0]->isChecked() == basic && f.mnu_pallete[1]->isChecked() == !basic &&
                   f.cmdColor[5]->Picture() == (basic ? PictureId::BasicPalette : PictureId::MyPalette),
               "the palette checks or cmdColor(5)'s icon do not name the palette shown");
        EXPECT(f.cmdColor[0]->isEnabled() == (!open && !basic) && f.cmdColor[1]->isEnabled() == (!open && !basic),
               "the file buttons are not usable exactly when My palette is shown and the panel closed");
        EXPECT(m.MyPalette == my && m.PaletteView == view, "MyPalette or PaletteView is not as expected");
        EXPECT(open || m.PaletteView == m.MyPalette, "the panel is closed on a preview");
        EXPECT(f.mnu_Window_Topmost->isChecked() == m.IsTopmost &&
                   f.cmdColor[6]->Picture() == (m.IsTopmost ? PictureId::OnTop : PictureId::NotOnTop) &&
                   t.os.alwaysOnTopCalls.size() == topmostCalls &&
                   (topmostCalls == 0 || t.os.alwaysOnTopCalls.last() == m.IsTopmost),
               "the always-on-top check, icon or window do not follow IsTopmost");

        for (std::size_t i = 0; i < 16; ++i) {
            EXPECT(f.lblPallete[i]->isEnabled() == !open && (i < 2 || i > 6 || f.cmdColor[i]->isEnabled() == !open) &&
                       (i > 2 || (f.VScrColor[i]->isVisible() == !open && f.Label1[i]->isVisible() == !open &&
                                  f.optColor[i % 2]->isVisible() == !open)),
                   QStringLiteral("swatch %1, cmdColor(%1), slider %1 or an option does not follow the panel").arg(i));
        }
        EXPECT(f.txtColor->isEnabled() == !open && f.lblHex->isEnabled() == !open &&
                   f.mnu_Color->isEnabled() == !open && f.mnu_based->isEnabled() == !open &&
                   f.mnu_option->isEnabled() == !open,
               "the preview, the code or the menus do not follow the panel");
        EXPECT(f.cmdColor[7]->isEnabled() && f.mnu_Help->isEnabled(), "quit or help is disabled");
        EXPECT(f.FilPallete->isVisible() == open && (!open || f.FilPallete->isEnabled()) &&
                   f.cmdCancel->isVisible() == open && f.cmdOK->isVisible() == open,
               "the file list or the panel buttons do not follow the panel");
        EXPECT(open || (!f.txtPallete->isVisible() && !f.cmdOK->isEnabled() && f.txtPallete->text().isEmpty()),
               "the closed panel left its name box or action button behind");
        EXPECT(!open || (f.txtPallete->isVisible() == saving &&
                         f.cmdOK->text() == LoadResString(saving ? TextId::SaveAction : TextId::LoadAction) &&
                         f.cmdCancel->text() == LoadResString(TextId::Back)),
               "the name box or the button captions do not follow the panel mode");
        EXPECT(!open ||
                   f.cmdOK->isEnabled() == (saving ? !f.txtPallete->text().isEmpty() : f.FilPallete->ListIndex() >= 0),
               QStringLiteral("cmdOK is wrongly %1").arg(f.cmdOK->isEnabled() ? "enabled" : "disabled"));
        EXPECT(nameBox.isNull() || f.txtPallete->text() == nameBox,
               QStringLiteral("the name box reads \"%1\", expected \"%2\"").arg(f.txtPallete->text(), nameBox));
        return checkFiles();
    }

    QString checkFiles() {
        bool refusedNow = false, asked = false;
        for (qsizetype k = boxes; k < t.os.messageBoxes.size(); ++k) {
            const auto& box = t.os.messageBoxes.at(k);
            const bool question = box.style == (platform::YesNo | platform::Question | platform::SecondButtonDefault);
            EXPECT(question ? !saveName.isEmpty() : mayFail,
                   QStringLiteral("unexpected message box (style %1): %2").arg(box.style).arg(box.text));
            asked = asked || question;
            refusedNow = refusedNow || !question;
        }
        // A save is done when the program reported no error and was not told No.
        const bool done = !saveName.isEmpty() && !refusedNow && !(asked && answer == platform::AnswerNo);
        saves += done;
        refused += refusedNow && !saveName.isEmpty();
        EXPECT(!saveSafe || saveName.isEmpty() || !refusedNow, "the save was refused");
        EXPECT(!done || !saveExisted || asked, QStringLiteral("\"%1\" was overwritten unasked").arg(saveName));
        char events[4096];
        bool touched = done;
        while (::read(notify, events, sizeof events) > 0) {
            touched = true;
        }
        const Tree now = touched ? scanTree(outer) : tree;
        const std::string saved = (folderRel + QLatin1Char('/') + saveName).toStdString();
        std::vector<std::pair<std::string, std::array<qint64, 4>>> changed;
        std::set_symmetric_difference(now.begin(), now.end(), tree.begin(), tree.end(), std::back_inserter(changed));
        for (const auto& [path, stamp] : changed) {
            EXPECT(done && path == saved,
                   QStringLiteral("\"%1\" changed without a save of it").arg(QString::fromStdString(path)));
        }
        tree = now;
        const QByteArray bytes = done ? t.readFile(saveName) : QByteArray();
        EXPECT(!done || (now.count(saved) != 0 && S_ISREG(now.at(saved)[0]) && bytes == record(m.MyPalette)),
               QStringLiteral("the save of \"%1\" left %2 bytes, not MyPalette").arg(saveName).arg(bytes.size()));
        return saveName.isEmpty() ? QString() : probesUntouched();
    }

    QString probesUntouched() const {
        for (const auto& [path, existed] : probes) {
            EXPECT(QFileInfo::exists(path) == existed, QStringLiteral("\"%1\" appeared").arg(path));
        }
        return {};
    }
};

#undef EXPECT

} // namespace

class RandomActionsTest : public QObject {
    Q_OBJECT
private slots:
    void randomActions();
};

void RandomActionsTest::randomActions() {
    const QByteArray given = qgetenv("SWATCHLY_SEED");
    const std::uint32_t seed = given.isEmpty() ? 20261207u : given.toUInt();
    const int asked = qEnvironmentVariableIntValue("SWATCHLY_ACTIONS");
    const int actions = asked > 0 ? asked : 10000;
    qInfo("SWATCHLY_SEED=%u SWATCHLY_ACTIONS=%d", seed, actions);

    // The program folder lies alone in a folder of its own, beside a sibling, so that anything
    // written outside the program folder shows.
    QTemporaryDir outer;
    QVERIFY(outer.isValid());
    const QByteArray tmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(outer.path()));
    TestWindow t;
    tmp.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", tmp);

    Run run{.t = t, .f = *t.frm, .m = t.frm->m, .outer = outer.path(), .rng = std::mt19937(seed)};
    QVERIFY(run.start());
    for (int n = 0; n < actions; ++n) {
        if (const QString problem = run.step(); !problem.isEmpty()) {
            const QString last = run.recent.mid(n - 15).join(QStringLiteral("\n  "));
            QFAIL(qPrintable(
                QStringLiteral("action %1: %2\nreplay: SWATCHLY_SEED=%3 SWATCHLY_ACTIONS=%4; the last actions:\n  %5")
                    .arg(QString::number(n), problem, QString::number(seed), QString::number(n + 1), last)));
        }
    }
    const QString problem = run.probesUntouched();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    ::close(run.notify);
    qInfo("%d actions, %d saves done, %d refused", actions, run.saves, run.refused);
    qInfo() << run.counts;
}

QTEST_MAIN(RandomActionsTest)
#include "tst_randomactions.moc"
