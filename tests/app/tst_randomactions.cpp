// Thousands of random user actions against the real window, the program's invariants checked
// after every one. The seed is printed: SWATCHLY_SEED replays a run, SWATCHLY_ACTIONS sets its length.

#include "resources/StringTable.h"
#include "support/TestWindow.h"

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

// What an action changes on purpose, as the program holds it.
struct State {
    int colorMode, copyMode;
    bool editingBackground, basic, topmost, open, saving;
    Rgb sliders, other; // the sliders, the stored colour not being edited
    PaletteTable view, my;
    QString clipboard;
    bool operator==(const State&) const = default;
};

// A broken rule is reported by its condition as written here, and what it concerns.
#define EXPECT(cond, ...)                                                                                              \
    do {                                                                                                               \
        if (!(cond)) {                                                                                                 \
            return QStringLiteral(#cond " ") + QString(__VA_ARGS__);                                                   \
        }                                                                                                              \
    } while (false)

// One run: the window, the generator, the actions, and after each action what it must leave.
struct Run {
    TestWindow& t;
    frmColor& f;
    Module1& m;
    QString outer, folderRel{};
    std::mt19937 rng;
    QStringList recent{}, hostile{};
    QMap<QString, int> counts{};
    int saves = 0, refused = 0, topmostCalls = 0;
    std::map<QString, bool> probes{}; // where an escaping name would land: existed at start
    Tree tree{};                      // the last look at the outer folder
    int notify = -1;                  // reports changes in its folders: the tree is looked at only then
    bool captionFollowsMode = true;   // no panel opened since the last mode set-up
    // What the current action must leave behind.
    State x{};
    bool slidersFree = false, mayFail = false, saveSafe = false, saveExisted = false;
    QString nameBox{}, saveName{};
    qsizetype boxes = 0;
    int answer = platform::AnswerNo;

    // The colour mode and the copy format as the index of their menu item.
    int colorMode() const { return m.ColorMode == ColorGamut::Web216 ? 1 : 0; }
    int copyMode() const { return int(std::ranges::find(CopyFormats, m.CopyMode) - CopyFormats.begin()); }
    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng); }
    template <typename T> T pick(const QList<T>& items) { return items.at(uniform(0, int(items.size()) - 1)); }
    static void click(QWidget* w, QPoint at = {}, Qt::MouseButton b = Qt::LeftButton) { TestWindow::press(w, b, at); }
    QRect part(int i, QStyle::SubControl sc) const { return TestWindow::sliderPart(f.VScrColor[std::size_t(i)], sc); }
    static Rgb rgb(const std::array<std::int32_t, 3>& c) { return {c[0], c[1], c[2]}; }
    static Rgb snapped(const Rgb& c, int mode) {
        return mode == 1 ? Rgb{c[0] / 51 * 51, c[1] / 51 * 51, c[2] / 51 * 51} : c;
    }
    static QString hex2(int v) { return QString::asprintf("%02X", v); }
    static QString hex6(const Rgb& c) { return hex2(c[0]) + hex2(c[1]) + hex2(c[2]); }
    // A palette file record: 48 little-endian signed 32-bit integers, reds, greens, blues.
    static QByteArray record(const PaletteTable& p) { return {reinterpret_cast<const char*>(p.values.data()), 192}; }
    // Types text key by key, each key carrying its character.
    static void typeText(QWidget* w, const QString& text) {
        for (const QChar ch : text) {
            const char latin = ch.unicode() < 128 ? static_cast<char>(ch.unicode()) : 0;
            QTest::sendKeyEvent(QTest::Click, w, latin ? QTest::asciiToKey(latin) : Qt::Key_unknown, QString(ch), {});
        }
    }
    void stepSlider(int i, int delta) {
        x.sliders[std::size_t(i)] = std::clamp(x.sliders[std::size_t(i)] + delta, 0, 255);
        x.sliders = snapped(x.sliders, colorMode());
    }
    State observe() const {
        const Rgb other = rgb(m.EditingBackground ? m.TextRGB : m.BackgroundRGB);
        return {colorMode(), copyMode(),      m.EditingBackground, m.ShowingBasicPalette,
                m.IsTopmost, m.FilePanelOpen, m.PanelSaving,       t.sliders(),
                other,       m.PaletteView,   m.MyPalette,         t.os.clipboard};
    }
    static QString describe(const State& s) {
        return QString::asprintf("mode %d, format %d, background %d, basic %d, on top %d, open %d, saving %d, sliders ",
                                 s.colorMode, s.copyMode, s.editingBackground, s.basic, s.topmost, s.open, s.saving) +
               hex6(s.sliders) + QStringLiteral(", other ") + hex6(s.other) + QStringLiteral(", clipboard ") +
               s.clipboard;
    }
    void act(const char* kind, const QString& detail) {
        ++counts[QString::fromLatin1(kind)];
        recent << QString::fromLatin1(kind) + QStringLiteral(": ") + detail;
    }

    bool start() {
        static_assert(std::endian::native == std::endian::little); // for record()
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
        bool made = QDir(program).mkdir(QStringLiteral("folder.pdt")) && QDir(outer).mkdir(QStringLiteral("sibling")) &&
                    QFile::link(QStringLiteral("../sibling/keep.pdt"), t.path(QStringLiteral("link.pdt"))) &&
                    QFile::link(QStringLiteral("../sibling/none.pdt"), t.path(QStringLiteral("dangling.pdt")));
        t.writeFile(QStringLiteral("Blue.pdt"), record(blue));
        t.writeFile(QStringLiteral("wild.pdt"), record(wild));
        t.writeFile(QStringLiteral("tail.pdt"), record(wild) + QByteArray(40, 'x'));
        t.writeFile(QStringLiteral("short.pdt"), record(blue).left(100));
        t.writeFile(QStringLiteral("empty.pdt"), {});
        t.writeFile(QStringLiteral("色見本.pdt"), record(blue));
        t.writeFile(QStringLiteral("notes.txt"), "not a palette");
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
        x = observe();
        slidersFree = mayFail = false;
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
            stepSlider(i, v - x.sliders[std::size_t(i)]);
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
                std::swap(x.sliders, x.other);
                x.sliders = snapped(x.sliders, colorMode());
            }
            click(f.optColor[std::size_t(k)]);
        } else if (roll < 49) {
            const bool button = chance(0.5);
            x.colorMode = button ? 1 - colorMode() : uniform(0, 1);
            act("mode", button ? QStringLiteral("cmdColor(3)") : QStringLiteral("mnu_Color %1").arg(x.colorMode));
            x.sliders = snapped(x.sliders, x.colorMode);
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
            x.clipboard = f.lblHex->Caption();
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
            x.view = x.my;
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
        if (bytes.size() == 192) {
            std::memcpy(x.view.values.data(), bytes.constData(), 192);
        }
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
            const bool fits = std::ranges::all_of(entry, [](int v) { return v >= 0 && v <= 255; });
            x.sliders = fits ? snapped(entry, colorMode()) : x.sliders;
            mayFail = !fits;
        } else if (button == Qt::RightButton && !m.ShowingBasicPalette) {
            x.view.setEntry(i, x.sliders[0], x.sliders[1], x.sliders[2]);
            x.my.setEntry(i, x.sliders[0], x.sliders[1], x.sliders[2]);
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
            x.my = x.view;
            x.open = false;
        } else if (m.PanelSaving && !text.isEmpty()) {
            const QString base = text.endsWith(QLatin1String(".pdt")) ? text.chopped(4) : text;
            saveName = base + QStringLiteral(".pdt");
            const QFileInfo info(t.path(saveName));
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
        const State now = observe();
        x.sliders = slidersFree ? now.sliders : x.sliders;
        const Rgb s = now.sliders;
        const QString hex = f.lblHex->Caption(), code = hex6(s);
        const bool open = now.open, saving = now.saving, full = now.colorMode == 0, basic = now.basic, on = !open;
        EXPECT(now.my == x.my && now.view == x.view); // My palette, and what the swatches show of it
        EXPECT(now == x);
        EXPECT(rgb(m.EditingBackground ? m.BackgroundRGB : m.TextRGB) == s);
        EXPECT(f.optColor[0]->isChecked() == m.EditingBackground && f.optColor[1]->isChecked() == !m.EditingBackground);
        EXPECT(m.HexR + m.HexG + m.HexB == code && (full || std::ranges::all_of(s, [](int v) { return v % 51 == 0; })));
        EXPECT(hex == code || hex == QLatin1Char('#') + code || hex == "&H" + hex2(s[2]) + hex2(s[1]) + hex2(s[0]),
               hex);
        EXPECT(f.mnu_Color_full->isChecked() == full && f.mnu_Color_216->isChecked() == !full &&
               f.cmdColor[3]->text() == LoadResString(full ? TextId::FullColorButton : TextId::Web216Button));
        for (ColorSlider* bar : f.VScrColor) {
            EXPECT(bar->SmallChange() == (full ? 1 : 51) && bar->LargeChange() == (full ? 16 : 51));
        }
        const TextId caption = open   ? (saving ? TextId::SavePanel : TextId::LoadPanel)
                               : full ? TextId::FullColorMode
                                      : TextId::Web216Mode;
        EXPECT((!open && !captionFollowsMode) || f.Caption() == LoadResString(caption), f.Caption());
        static constexpr std::array formatIcons{PictureId::PlainHexFormat, PictureId::HtmlFormat,
                                                PictureId::AmpHFormat};
        EXPECT(std::ranges::count_if(f.mnu_Copymode, &QAction::isChecked) == 1 &&
               f.mnu_Copymode[std::size_t(now.copyMode)]->isChecked() &&
               f.cmdColor[4]->Picture() == formatIcons[std::size_t(now.copyMode)]);
        EXPECT(f.mnu_pallete[0]->isChecked() == basic && f.mnu_pallete[1]->isChecked() == !basic &&
               f.cmdColor[5]->Picture() == (basic ? PictureId::BasicPalette : PictureId::MyPalette));
        EXPECT(f.cmdColor[0]->isEnabled() == (on && !basic) && f.cmdColor[1]->isEnabled() == (on && !basic));
        EXPECT(open || m.PaletteView == m.MyPalette);
        EXPECT(f.mnu_Window_Topmost->isChecked() == m.IsTopmost &&
               f.cmdColor[6]->Picture() == (m.IsTopmost ? PictureId::OnTop : PictureId::NotOnTop));
        EXPECT(t.os.alwaysOnTopCalls.size() == topmostCalls &&
               (topmostCalls == 0 || t.os.alwaysOnTopCalls.last() == m.IsTopmost));
        // What the panel hides and disables while it is open, and gives back.
        for (std::size_t i = 0; i < 16; ++i) {
            EXPECT(f.lblPallete[i]->isEnabled() == on && (i < 2 || i > 6 || f.cmdColor[i]->isEnabled() == on),
                   QString::number(i));
        }
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT(f.VScrColor[i]->isVisible() == on && f.Label1[i]->isVisible() == on &&
                       f.optColor[i % 2]->isVisible() == on,
                   QString::number(i));
        }
        EXPECT(f.txtColor->isEnabled() == on && f.lblHex->isEnabled() == on && f.mnu_Color->isEnabled() == on &&
               f.mnu_based->isEnabled() == on && f.mnu_option->isEnabled() == on);
        EXPECT(f.cmdColor[7]->isEnabled() && f.mnu_Help->isEnabled());
        EXPECT(f.FilPallete->isVisible() == open && (!open || f.FilPallete->isEnabled()) &&
               f.cmdCancel->isVisible() == open && f.cmdOK->isVisible() == open);
        EXPECT(open || (!f.txtPallete->isVisible() && !f.cmdOK->isEnabled() && f.txtPallete->text().isEmpty()));
        EXPECT(!open || (f.txtPallete->isVisible() == saving &&
                         f.cmdOK->text() == LoadResString(saving ? TextId::SaveAction : TextId::LoadAction) &&
                         f.cmdCancel->text() == LoadResString(TextId::Back)));
        EXPECT(!open ||
               f.cmdOK->isEnabled() == (saving ? !f.txtPallete->text().isEmpty() : f.FilPallete->ListIndex() >= 0));
        EXPECT(nameBox.isNull() || f.txtPallete->text() == nameBox, f.txtPallete->text());

        // The files: a message box only where the action may fail or a save asks; a save is done
        // when the program reported no error and was not told No, and changes nothing else.
        bool refusedNow = false, asked = false;
        for (const auto& box : t.os.messageBoxes.mid(boxes)) {
            const bool question = box.style == (platform::YesNo | platform::Question | platform::SecondButtonDefault);
            EXPECT(question ? !saveName.isEmpty() : mayFail, box.text);
            asked = asked || question;
            refusedNow = refusedNow || !question;
        }
        const bool done = !saveName.isEmpty() && !refusedNow && !(asked && answer == platform::AnswerNo);
        saves += done;
        refused += refusedNow && !saveName.isEmpty();
        EXPECT(!saveSafe || saveName.isEmpty() || !refusedNow, saveName);
        EXPECT(!done || !saveExisted || asked, saveName);
        char events[4096];
        bool touched = done;
        while (::read(notify, events, sizeof events) > 0) {
            touched = true;
        }
        const Tree seen = touched ? scanTree(outer) : tree;
        const std::string saved = (folderRel + QLatin1Char('/') + saveName).toStdString();
        std::vector<Tree::value_type> changed;
        std::ranges::set_symmetric_difference(seen, tree, std::back_inserter(changed));
        for (const auto& [path, stamp] : changed) {
            EXPECT(done && path == saved, QString::fromStdString(path));
        }
        tree = seen;
        EXPECT(!done || (seen.count(saved) != 0 && S_ISREG(seen.at(saved)[0]) &&
                         t.readFile(saveName) == record(m.MyPalette)),
               saveName);
        return saveName.isEmpty() ? QString() : probesUntouched();
    }

    QString probesUntouched() const {
        for (const auto& [path, existed] : probes) {
            EXPECT(QFileInfo::exists(path) == existed, path);
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
            QFAIL(qPrintable(QStringLiteral("action %1: %2\nthe program holds %3\nthe action should leave %4\nreplay: "
                                            "SWATCHLY_SEED=%5 SWATCHLY_ACTIONS=%6; the last actions:\n  %7")
                                 .arg(QString::number(n), problem, Run::describe(run.observe()), Run::describe(run.x),
                                      QString::number(seed), QString::number(n + 1), last)));
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
