// Thousands of random user actions against the real window, with the program's invariants
// checked after every one. A run is fixed by its seed: the seed is printed, SWATCHLY_SEED
// replays a run and SWATCHLY_ACTIONS sets its length.

#include "app/layout/Twips.h"
#include "palette/PaletteTable.h"
#include "platform/Platform.h"
#include "resources/StringTable.h"
#include "support/TestWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <array>
#include <cstring>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Rgb = std::array<int, 3>;

// Types text into a control key by key, each key carrying its character.
void typeText(QWidget* w, const QString& text) {
    for (const QChar ch : text) {
        const Qt::Key key = ch.unicode() < 128 ? QTest::asciiToKey(static_cast<char>(ch.unicode())) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, w, key, QString(ch), Qt::NoModifier);
    }
}

int snap216(int v) {
    return v / 51 * 51;
}

QString twoDigits(int v) {
    return QString::asprintf("%02X", v);
}

// The colour code lblHex shows for a colour in a copy format.
QString colourCode(const Rgb& c, int format) {
    const QString r = twoDigits(c[0]);
    const QString g = twoDigits(c[1]);
    const QString b = twoDigits(c[2]);
    switch (format) {
    case 0:
        return r + g + b;
    case 1:
        return QLatin1Char('#') + r + g + b;
    case 2:
        return QLatin1String("&H") + b + g + r;
    default:
        return {};
    }
}

std::int32_t packed(const Rgb& c) {
    return c[0] + 256 * c[1] + 65536 * c[2];
}

QString rgbText(const Rgb& c) {
    return QStringLiteral("(%1,%2,%3)").arg(c[0]).arg(c[1]).arg(c[2]);
}

bool entryInRange(const PaletteTable& t, int i) {
    for (int c = 0; c < 3; ++c) {
        if (t.at(i, c) < 0 || t.at(i, c) > 255) {
            return false;
        }
    }
    return true;
}

// The swatch colour of an entry; nothing when the number it stands for needs more than 32 bits.
std::optional<std::int32_t> swatchColour(const PaletteTable& t, int i) {
    if (entryInRange(t, i)) {
        return t.at(i, 0) + 256 * t.at(i, 1) + 65536 * t.at(i, 2);
    }
    // Outside 0..255: each component as upper-case hexadecimal (a negative one as its 32-bit
    // two's complement), padded to two digits, joined blue, green, red, read as one number.
    auto text = [](std::int32_t v) {
        QString digits = QString::number(static_cast<std::uint32_t>(v), 16).toUpper();
        if (digits.size() == 1) {
            digits.prepend(QLatin1Char('0'));
        }
        return digits;
    };
    QString joined = text(t.at(i, 2)) + text(t.at(i, 1)) + text(t.at(i, 0));
    while (joined.size() > 1 && joined.front() == QLatin1Char('0')) {
        joined.remove(0, 1);
    }
    if (joined.size() > 8) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(joined.toUInt(nullptr, 16));
}

// A palette file record: 48 little-endian signed 32-bit integers, reds, greens, blues.
QByteArray record(const PaletteTable& t) {
    QByteArray bytes;
    for (std::int32_t v : t.values) {
        const auto bits = static_cast<std::uint32_t>(v);
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.append(static_cast<char>((bits >> shift) & 0xFFu));
        }
    }
    return bytes;
}

PaletteTable fromRecord(const QByteArray& bytes) {
    PaletteTable t;
    for (std::size_t k = 0; k < t.values.size(); ++k) {
        std::uint32_t bits = 0;
        for (int b = 0; b < 4; ++b) {
            bits |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes.at(static_cast<qsizetype>(4 * k) + b)))
                    << (8 * b);
        }
        t.values[k] = static_cast<std::int32_t>(bits);
    }
    return t;
}

QString describe(const PaletteTable& t) {
    QStringList entries;
    for (int i = 0; i < PaletteTable::Entries; ++i) {
        entries << QStringLiteral("%1:(%2,%3,%4)").arg(i).arg(t.at(i, 0)).arg(t.at(i, 1)).arg(t.at(i, 2));
    }
    return entries.join(QLatin1Char(' '));
}

// What a file system entry looks like from outside: any write, replacement or new entry shows.
struct Stamp {
    bool dir = false;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 mtimeNs = 0;
    bool operator==(const Stamp&) const = default;
};

void scanTree(const QByteArray& dir, const QString& relative, std::map<QString, Stamp>& tree) {
    DIR* handle = ::opendir(dir.constData());
    if (handle == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(handle)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) {
            continue;
        }
        struct stat info {};
        if (::fstatat(::dirfd(handle), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
            continue;
        }
        const QString name = QFile::decodeName(entry->d_name);
        const QString path = relative.isEmpty() ? name : relative + QLatin1Char('/') + name;
        Stamp& stamp = tree[path];
        stamp.dir = S_ISDIR(info.st_mode);
        stamp.inode = info.st_ino;
        stamp.size = info.st_size;
        stamp.mtimeNs = static_cast<qint64>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
        if (stamp.dir) {
            scanTree(dir + '/' + entry->d_name, path, tree);
        }
    }
    ::closedir(handle);
}

// Every entry under a folder, by path relative to it. Plain system calls: this runs after
// every action.
std::map<QString, Stamp> snapshotTree(const QString& root) {
    std::map<QString, Stamp> tree;
    scanTree(QFile::encodeName(root), QString(), tree);
    return tree;
}

// Drops QTest's note about mouse events that a control does not take (a release on a swatch,
// any click on a disabled control): those are ordinary user input here.
QtMessageHandler previousHandler = nullptr;
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QLatin1String("Mouse event \"")) &&
        message.endsWith(QLatin1String("not accepted by receiving widget"))) {
        return;
    }
    previousHandler(type, context, message);
}

// Whether a save under a base name must succeed, must be refused, or may go either way.
enum class Verdict { Saves, Refused, Either };

constexpr int OverwriteStyle = platform::YesNo | platform::Question | platform::SecondButtonDefault;

// A message box the current action may or must show.
struct BoxExpectation {
    enum Kind { Error, Question, Version };
    BoxExpectation(Kind kind, bool optional = false, QString text = {})
        : kind(kind)
        , optional(optional)
        , text(std::move(text)) {}
    Kind kind;
    bool optional;
    QString text; // the exact text, for the overwrite question
};

// The state the program must be in, kept by the test from the actions alone.
struct Model {
    int colorMode = 0;
    int copyMode = 0;
    int shownFormat = 0; // the format lblHex was last written in
    bool editingBackground = true;
    Rgb background{255, 255, 255};
    Rgb text{0, 0, 0};
    Rgb sliders{255, 255, 255};
    bool showingBasic = false;
    bool panelOpen = false;
    bool panelSaving = false;
    bool topmost = false;
    enum class Caption { Mode, Save, Load } caption = Caption::Mode;
    PaletteTable my;
    PaletteTable view;
    PaletteTable basic;
    std::map<QString, QByteArray> files; // the regular files of the program folder
    std::set<QString> folders;           // the folders in the program folder
    std::set<QString> links;             // links in the program folder, to files outside it
    QString clipboard;
    int topmostCalls = 0;
    int helpCalls = 0;
    std::array<std::int32_t, 16> swatches{}; // the colours the swatches show
};

} // namespace

class RandomActionsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void randomActions();

private:
    void restoreTmpDir();
    QString m_savedTmpDir;
    bool m_hadTmpDir = false;
};

void RandomActionsTest::initTestCase() {
    previousHandler = qInstallMessageHandler(quietHandler);
    m_hadTmpDir = qEnvironmentVariableIsSet("TMPDIR");
    m_savedTmpDir = qEnvironmentVariable("TMPDIR");
}

void RandomActionsTest::cleanupTestCase() {
    qInstallMessageHandler(previousHandler);
    restoreTmpDir();
}

void RandomActionsTest::restoreTmpDir() {
    if (m_hadTmpDir) {
        qputenv("TMPDIR", m_savedTmpDir.toLocal8Bit());
    } else {
        qunsetenv("TMPDIR");
    }
}

namespace {

// One run: the window, the model, the generator, and the actions.
class Run {
public:
    Run(TestWindow& t, const QString& outer, std::uint32_t seed)
        : t(t)
        , f(*t.frm)
        , outer(outer)
        , rng(seed) {}
    ~Run() {
        if (m_notify >= 0) {
            ::close(m_notify);
        }
    }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    void start();
    // One random action; an empty result, or the first broken invariant.
    QString step();
    const std::deque<QString>& recent() const { return m_recent; }
    QString finalChecks();

    std::map<QString, int> counts;         // actions by kind
    std::map<QString, qint64> nanoseconds; // time spent in actions by kind, checks apart
    qint64 checkNanoseconds = 0;
    int saves = 0, refusedSaves = 0, overwriteAnswers = 0, loads = 0, errorBoxes = 0;

private:
    // --- Generator -----------------------------------------------------------------------
    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng); }
    template <typename T> const T& pick(const QList<T>& items) {
        return items.at(uniform(0, static_cast<int>(items.size()) - 1));
    }
    int level() {
        // Edges and levels more often than their share.
        switch (uniform(0, 5)) {
        case 0:
            return pick(QList<int>{0, 1, 50, 51, 52, 101, 102, 153, 203, 204, 254, 255});
        case 1:
            return snap216(uniform(0, 255));
        default:
            return uniform(0, 255);
        }
    }

    // --- Actions ---------------------------------------------------------------------------
    void act(const QString& kind, const QString& detail);
    void closedPanelAction();
    void openPanelAction();

    void sliderByCode();
    void sliderArrow();
    void sliderTrack();
    void sliderKey();
    void sliderDrag();
    void sliderWheel();
    void sliderMiddleClick();
    void optionClick();
    void modeMenu();
    void modeButton();
    void swatchPress();
    void paletteMenu();
    void paletteButton();
    void copyFormatMenu();
    void copyFormatButton();
    void copy();
    void topmostMenu();
    void topmostButton();
    void openPanel(bool saving);
    void hover();
    void helpMenu();
    void versionMenu();
    void fileClick();
    void typeName();
    void okClick();
    void backClick();
    void disabledClick();

    // --- Model steps shared by several actions ----------------------------------------------
    Rgb& edited() { return model.editingBackground ? model.background : model.text; }
    void slidersTo(const Rgb& target);
    void enter216();
    void enterFull();
    void paint(const PaletteTable& table);
    void showMyPalette();
    void showBasicPalette();
    void previewFile(const QString& name);
    void closePanel();
    void predictSave();
    Verdict verdictFor(const QString& base) const;

    // --- Real input ------------------------------------------------------------------------
    void click(QWidget* w, QPoint at = {}, Qt::MouseButton button = Qt::LeftButton);
    QRect sliderPart(ColorSlider* bar, QStyle::SubControl part) const;
    void focusSlider(ColorSlider* bar);
    void stepSlider(int i, int delta);

    // --- Checks ----------------------------------------------------------------------------
    QString check();
    QString checkColour();
    QString checkModes();
    QString checkPalettes();
    QString checkPanel();
    QString checkBoxes();
    QString checkFiles();
    QString checkProbes() const;
    QString checkPainting();
    bool filesTouched(); // anything changed in the tree since the last look
    void splitTree(std::map<QString, Stamp>& inside, std::map<QString, Stamp>& outside) const;

    TestWindow& t;
    frmColor& f;
    QString outer;   // holds the program folder and a sibling folder, nothing else
    QString program; // the program folder
    std::mt19937 rng;
    Model model;

    std::deque<QString> m_recent;
    QString m_kind;

    // Expectations of the current action.
    std::vector<BoxExpectation> m_boxes;
    bool m_eitherSave = false; // a save that may be refused; if not, it writes m_eitherName
    QString m_eitherName;
    std::set<QString> m_writes; // files the action writes
    bool m_unpredictedSliders = false;
    bool m_displayUpdate = false; // UpdateColorDisplay must have run even if no slider moved
    bool m_modeSetUp = false;     // the red slider must have the focus
    QString m_typed;              // the name box must read this after typing
    std::deque<int> m_answers;    // answers to overwrite questions, in order
    int m_boxesSeen = 0;
    Rgb m_slidersBefore{};

    std::map<QString, Stamp> m_outside; // the tree around the program folder
    std::map<QString, Stamp> m_inside;  // the program folder
    std::map<QString, bool> m_probes;   // where an escaping name would land: existed at start
    bool m_focusChecks = false;
    int m_sincePaint = 0;
    int m_notify = -1; // inotify on the folders of the tree
    bool m_forceScan = false;
    QStringList m_hostileBases;
};

void Run::start() {
    program = t.folder.path();
    QVERIFY(QDir(outer).relativeFilePath(program).indexOf(QLatin1Char('/')) < 0);

    // Palette files already in the folder: ordinary ones, one with a tail, a short one, an
    // empty one, foreign values (outside 0..255, one beyond what a swatch can show), a folder
    // named like a palette file and a file of another kind.
    PaletteTable blue;
    PaletteTable warm;
    PaletteTable wild;
    for (int i = 0; i < 16; ++i) {
        blue.setEntry(i, 0, i * 8, 255 - i);
        warm.setEntry(i, 255, 128 + i, i * 3);
        wild.setEntry(i, i * 17, 255 - i * 17, 7);
    }
    wild.setEntry(3, 256, 0, 0);     // paints as (0, 1, 0); cannot be picked
    wild.setEntry(5, -1, 0, 0);      // paints from eight digits; cannot be picked
    wild.setEntry(6, 0, 0x10000, 0); // paints; cannot be picked
    wild.setEntry(12, 0, 0, -2);     // needs more than 32 bits: painting stops here
    PaletteTable greys;
    for (int i = 0; i < 16; ++i) {
        greys.setEntry(i, i * 17, i * 17, i * 17);
    }
    const std::map<QString, QByteArray> seeded = {
        {QStringLiteral("Blue.pdt"), record(blue)},
        {QStringLiteral("warm.pdt"), record(warm)},
        {QStringLiteral("wild.pdt"), record(wild)},
        {QStringLiteral("tail.pdt"), record(greys) + QByteArray(40, 'x')},
        {QStringLiteral("short.pdt"), record(warm).left(100)},
        {QStringLiteral("empty.pdt"), QByteArray()},
        {QStringLiteral("色見本.pdt"), record(greys)},
        {QStringLiteral("notes.txt"), QByteArrayLiteral("not a palette")},
    };
    for (const auto& [name, bytes] : seeded) {
        t.writeFile(name, bytes);
        model.files[name] = bytes;
    }
    QVERIFY(QDir(program).mkdir(QStringLiteral("folder.pdt")));
    model.folders.insert(QStringLiteral("folder.pdt"));
    QVERIFY(QDir(outer).mkdir(QStringLiteral("sibling")));
    QFile keep(QDir(outer).filePath(QStringLiteral("sibling/keep.pdt")));
    QVERIFY(keep.open(QIODevice::WriteOnly));
    keep.write(record(warm));
    keep.close();
    // Links in the program folder to a palette file outside it, and to a file not there.
    QVERIFY(QFile::link(QStringLiteral("../sibling/keep.pdt"), t.path(QStringLiteral("link.pdt"))));
    QVERIFY(QFile::link(QStringLiteral("../sibling/none.pdt"), t.path(QStringLiteral("dangling.pdt"))));
    model.files[QStringLiteral("link.pdt")] = record(warm);
    model.links = {QStringLiteral("link.pdt"), QStringLiteral("dangling.pdt")};

    model.my.fill(255, 255, 255);
    model.view.fill(255, 255, 255);
    model.swatches.fill(0xFFFFFF);
    model.basic = f.m.BasicPalette;
    model.clipboard = t.os.clipboard;

    // Names that must never reach anywhere but the program folder.
    m_hostileBases = {QStringLiteral("../x"),
                      QStringLiteral("a/b"),
                      QStringLiteral(".."),
                      QStringLiteral("."),
                      QStringLiteral("\\evil"),
                      QStringLiteral("..\\evil2"),
                      QStringLiteral("../../swatchly-escape-probe"),
                      QStringLiteral("../sibling/keep"),
                      QStringLiteral("folder/inside"),
                      QDir(outer).filePath(QStringLiteral("abs"))};
    for (const QString& base : m_hostileBases) {
        const QString name = base + QStringLiteral(".pdt");
        const QString landing = QDir::cleanPath(QDir(program).filePath(name));
        m_probes[landing] = QFileInfo::exists(landing);
        const QString last = name.section(QLatin1Char('/'), -1);
        for (const QString& dir : {QDir::currentPath(), QDir::tempPath(), QDir::homePath(), QDir::rootPath()}) {
            const QString path = QDir(dir).filePath(last);
            m_probes[path] = QFileInfo::exists(path);
        }
    }

    // Keys reach the control with the focus only in the active window.
    f.activateWindow();
    m_focusChecks = QTest::qWaitForWindowActive(&f);
    if (!m_focusChecks) {
        qInfo("the window did not become active: focus is not checked");
    }

    // Every click on a button or a slider repaints it at once, and the raster engine hands
    // every fill taller than about a hundred lines to the thread pool and waits for it: on a
    // busy machine that waiting costs more than all the rest of an action. The window paints
    // for real every 64 actions instead (checkPainting), all of it at once.
    f.setUpdatesEnabled(false);

    // Answers to the overwrite question are given when it is asked.
    t.os.onMessageBox = [this](const platform::FakePlatform::MessageBoxCall& call) {
        if ((call.style & 0xF) == platform::YesNo && !m_answers.empty()) {
            t.os.queueAnswer(m_answers.front());
            m_answers.pop_front();
        }
    };

    splitTree(m_inside, m_outside);
    // The kernel reports every change in the tree, so that the tree is compared only when
    // something in it changed (a stat of every entry after every action costs more than the
    // action itself).
    m_notify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    QVERIFY(m_notify >= 0);
    for (const QString& dir : {outer, QDir(outer).filePath(QStringLiteral("sibling")), program,
                               QDir(program).filePath(QStringLiteral("folder.pdt"))}) {
        QVERIFY(::inotify_add_watch(m_notify, QFile::encodeName(dir).constData(),
                                    IN_CREATE | IN_DELETE | IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_MOVED_FROM |
                                        IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF) >= 0);
    }
    const QString problem = check();
    QVERIFY2(problem.isEmpty(), qPrintable(QStringLiteral("before any action: ") + problem));
}

void Run::act(const QString& kind, const QString& detail) {
    m_kind = kind;
    ++counts[kind];
    m_recent.push_back(detail.isEmpty() ? kind : kind + QStringLiteral(": ") + detail);
    if (m_recent.size() > 16) {
        m_recent.pop_front();
    }
}

QString Run::step() {
    m_boxes.clear();
    m_eitherSave = false;
    m_eitherName.clear();
    m_writes.clear();
    m_unpredictedSliders = false;
    m_displayUpdate = false;
    m_modeSetUp = false;
    m_typed.clear();
    m_answers.clear();
    m_slidersBefore = t.sliders();
    QElapsedTimer timer;
    timer.start();
    if (model.panelOpen) {
        openPanelAction();
    } else {
        closedPanelAction();
    }
    // Let the window paint and run its posted events, as between two real inputs.
    QCoreApplication::processEvents();
    const qint64 acted = timer.nsecsElapsed();
    QString problem = check();
    if (problem.isEmpty() && ++m_sincePaint == 64) {
        problem = checkPainting();
    }
    nanoseconds[m_kind] += acted;
    checkNanoseconds += timer.nsecsElapsed() - acted;
    return problem;
}

void Run::closedPanelAction() {
    struct Weighted {
        int weight;
        void (Run::*action)();
    };
    static const std::array<Weighted, 23> actions{{
        {10, &Run::sliderByCode},
        {8, &Run::sliderArrow},
        {6, &Run::sliderTrack},
        {8, &Run::sliderKey},
        {3, &Run::sliderDrag},
        {2, &Run::sliderWheel},
        {1, &Run::sliderMiddleClick},
        {5, &Run::optionClick},
        {3, &Run::modeMenu},
        {3, &Run::modeButton},
        {12, &Run::swatchPress},
        {2, &Run::paletteMenu},
        {3, &Run::paletteButton},
        {2, &Run::copyFormatMenu},
        {2, &Run::copyFormatButton},
        {3, &Run::copy},
        {1, &Run::topmostMenu},
        {1, &Run::topmostButton},
        {2, &Run::hover},
        {1, &Run::helpMenu},
        {1, &Run::versionMenu},
        {4, nullptr}, // open
        {1, &Run::disabledClick},
    }};
    int total = 0;
    for (const Weighted& w : actions) {
        total += w.weight;
    }
    int roll = uniform(1, total);
    for (const Weighted& w : actions) {
        roll -= w.weight;
        if (roll <= 0) {
            if (w.action == nullptr) {
                openPanel(chance(0.5));
            } else {
                (this->*w.action)();
            }
            return;
        }
    }
}

void Run::openPanelAction() {
    const int roll = uniform(0, 99);
    if (roll < 25) {
        fileClick();
    } else if (roll < 50) {
        model.panelSaving ? typeName() : fileClick();
    } else if (roll < 72) {
        okClick();
    } else if (roll < 82) {
        backClick();
    } else if (roll < 92) {
        disabledClick();
    } else if (roll < 96) {
        hover();
    } else if (roll < 98) {
        helpMenu();
    } else {
        versionMenu();
    }
}

// --- Model steps -------------------------------------------------------------------------------

void Run::slidersTo(const Rgb& target) {
    // Each slider takes its value; the change handling snaps it in 216-colour mode and stores
    // it into the colour being edited.
    for (std::size_t i = 0; i < 3; ++i) {
        // A value that moves the slider updates the display, even where snapping then puts
        // the slider back where it was.
        if (target[i] != model.sliders[i]) {
            m_displayUpdate = true;
        }
        model.sliders[i] = model.colorMode == 1 ? snap216(target[i]) : target[i];
    }
    edited() = model.sliders;
}

void Run::enter216() {
    model.colorMode = 1;
    for (int& v : model.sliders) {
        v = snap216(v);
    }
    edited() = model.sliders;
    model.caption = Model::Caption::Mode;
    m_modeSetUp = true;
}

void Run::enterFull() {
    model.colorMode = 0;
    model.caption = Model::Caption::Mode;
    m_modeSetUp = true;
}

void Run::paint(const PaletteTable& table) {
    // In order; an entry whose colour cannot be formed stops the painting with an error, and
    // it and the swatches after it keep the colour they had.
    for (int i = 0; i < PaletteTable::Entries; ++i) {
        const std::optional<std::int32_t> colour = swatchColour(table, i);
        if (!colour) {
            m_boxes.push_back({BoxExpectation::Error});
            return;
        }
        model.swatches[static_cast<std::size_t>(i)] = *colour;
    }
}

void Run::showMyPalette() {
    model.showingBasic = false;
    paint(model.view);
}

void Run::showBasicPalette() {
    model.showingBasic = true;
    paint(model.basic);
}

void Run::previewFile(const QString& name) {
    const auto found = model.files.find(name);
    if (found == model.files.end() || found->second.size() < 192) {
        // Not a palette file: the preview stays as it was.
        m_boxes.push_back({BoxExpectation::Error});
        return;
    }
    model.view = fromRecord(found->second);
    paint(model.view);
}

void Run::closePanel() {
    model.panelOpen = false;
}

Verdict Run::verdictFor(const QString& base) const {
    for (const QChar ch : base) {
        if (ch == QLatin1Char('/') || ch.unicode() < 0x20 || ch.unicode() == 0x7F) {
            return Verdict::Refused;
        }
    }
    const QString name = base + QStringLiteral(".pdt");
    const qsizetype bytes = name.toUtf8().size();
    if (bytes > 255 || model.folders.count(name) != 0) {
        return Verdict::Refused;
    }
    // Harmless inside the program folder, but a program may well refuse them: names that
    // leave no room for a temporary name beside them, names that mean a folder elsewhere,
    // and links (a save must not write through them, but may replace them).
    if (bytes > 240 || base == QLatin1String(".") || base == QLatin1String("..") || base.contains(QLatin1Char('\\')) ||
        model.links.count(name) != 0) {
        return Verdict::Either;
    }
    return Verdict::Saves;
}

void Run::predictSave() {
    const QString text = f.txtPallete->text();
    QString base;
    if (text.endsWith(QLatin1String(".pdt"))) {
        base = text.chopped(4);
    } else if (text.isEmpty()) {
        m_boxes.push_back({BoxExpectation::Error});
        return;
    } else {
        base = text;
    }
    const QString name = base + QStringLiteral(".pdt");
    const QString question = base + QStringLiteral("は存在します\r\n上書き保存しますか？");
    switch (verdictFor(base)) {
    case Verdict::Refused:
        ++refusedSaves;
        if (model.folders.count(name) != 0) {
            // A folder of that name: a program may ask first; told to go on, it must fail.
            m_answers.push_back(platform::AnswerYes);
            m_boxes.push_back({BoxExpectation::Question, true, question});
        }
        m_boxes.push_back({BoxExpectation::Error});
        return;
    case Verdict::Either:
        m_eitherSave = true;
        m_eitherName = name;
        if (model.files.count(name) != 0) {
            m_answers.push_back(platform::AnswerYes);
            m_boxes.push_back({BoxExpectation::Question, true, question});
        }
        return;
    case Verdict::Saves:
        break;
    }
    bool write = true;
    if (model.files.count(name) != 0) {
        const bool yes = chance(0.6);
        m_answers.push_back(yes ? platform::AnswerYes : platform::AnswerNo);
        m_boxes.push_back({BoxExpectation::Question, false, question});
        write = yes;
        ++overwriteAnswers;
    }
    if (write) {
        model.files[name] = record(model.my);
        m_writes.insert(name);
        ++saves;
    }
}

// --- Real input --------------------------------------------------------------------------------

void Run::click(QWidget* w, QPoint at, Qt::MouseButton button) {
    const QPoint p = at.isNull() ? w->rect().center() : at;
    QTest::mousePress(w, button, Qt::NoModifier, p);
    QTest::mouseRelease(w, button, Qt::NoModifier, p);
}

QRect Run::sliderPart(ColorSlider* bar, QStyle::SubControl part) const {
    return TestWindow::sliderPart(bar, part);
}

void Run::focusSlider(ColorSlider* bar) {
    if (QApplication::focusWidget() != bar) {
        // A click on the thumb gives the focus and leaves the value alone.
        click(bar, sliderPart(bar, QStyle::SC_ScrollBarSlider).center());
    }
}

void Run::stepSlider(int i, int delta) {
    auto& v = model.sliders[static_cast<std::size_t>(i)];
    v = std::clamp(v + delta, 0, 255);
    if (model.colorMode == 1) {
        v = snap216(v);
    }
    edited()[static_cast<std::size_t>(i)] = v;
}

// --- Actions with the panel closed ---------------------------------------------------------------

void Run::sliderByCode() {
    const int i = uniform(0, 2);
    const int v = level();
    act(QStringLiteral("slider by code"), QStringLiteral("VScrColor(%1).Value = %2").arg(i).arg(v));
    Rgb target = model.sliders;
    target[static_cast<std::size_t>(i)] = v;
    slidersTo(target);
    f.VScrColor[static_cast<std::size_t>(i)]->setValue(v);
}

void Run::sliderArrow() {
    const int i = uniform(0, 2);
    const bool up = chance(0.5);
    ColorSlider* bar = f.VScrColor[static_cast<std::size_t>(i)];
    act(QStringLiteral("slider arrow"), QStringLiteral("VScrColor(%1) %2 arrow").arg(i).arg(up ? "upper" : "lower"));
    const int small = model.colorMode == 1 ? 51 : 1;
    stepSlider(i, up ? small : -small);
    click(bar, sliderPart(bar, up ? QStyle::SC_ScrollBarSubLine : QStyle::SC_ScrollBarAddLine).center());
}

void Run::sliderTrack() {
    const int i = uniform(0, 2);
    ColorSlider* bar = f.VScrColor[static_cast<std::size_t>(i)];
    bool above = chance(0.5);
    QRect area = sliderPart(bar, above ? QStyle::SC_ScrollBarSubPage : QStyle::SC_ScrollBarAddPage);
    if (area.height() < 3) {
        // The thumb sits at that end: the track is on the other side.
        above = !above;
        area = sliderPart(bar, above ? QStyle::SC_ScrollBarSubPage : QStyle::SC_ScrollBarAddPage);
    }
    act(QStringLiteral("slider track"),
        QStringLiteral("VScrColor(%1) track %2 the thumb").arg(i).arg(above ? "above" : "below"));
    const int large = model.colorMode == 1 ? 51 : 16;
    stepSlider(i, above ? large : -large);
    const QPoint at(area.center().x(), area.top() + uniform(0, area.height() - 1));
    click(bar, at);
}

void Run::sliderKey() {
    const int i = uniform(0, 2);
    ColorSlider* bar = f.VScrColor[static_cast<std::size_t>(i)];
    static const QList<Qt::Key> keys{Qt::Key_Up,       Qt::Key_Down, Qt::Key_PageUp,
                                     Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};
    const Qt::Key key = pick(keys);
    act(QStringLiteral("slider key"), QStringLiteral("VScrColor(%1) key %2").arg(i).arg(QKeySequence(key).toString()));
    focusSlider(bar);
    const int small = model.colorMode == 1 ? 51 : 1;
    const int large = model.colorMode == 1 ? 51 : 16;
    switch (key) {
    case Qt::Key_Up:
        stepSlider(i, small);
        break;
    case Qt::Key_Down:
        stepSlider(i, -small);
        break;
    case Qt::Key_PageUp:
        stepSlider(i, large);
        break;
    case Qt::Key_PageDown:
        stepSlider(i, -large);
        break;
    case Qt::Key_Home:
        stepSlider(i, 255);
        break;
    default:
        stepSlider(i, -255);
        break;
    }
    QWidget* target = QApplication::focusWidget();
    if (m_focusChecks && target != bar) {
        // Reported by the focus check below; the key goes nowhere useful.
        m_recent.back() += QStringLiteral(" (slider did not take the focus)");
    }
    QTest::keyClick(target != nullptr ? target : bar, key);
}

void Run::sliderDrag() {
    const int i = uniform(0, 2);
    ColorSlider* bar = f.VScrColor[static_cast<std::size_t>(i)];
    const QRect thumb = sliderPart(bar, QStyle::SC_ScrollBarSlider);
    const QRect groove = sliderPart(bar, QStyle::SC_ScrollBarGroove);
    const QPoint from = thumb.center();
    const QPoint to(from.x(), uniform(groove.top(), groove.bottom()));
    act(QStringLiteral("slider drag"),
        QStringLiteral("VScrColor(%1) thumb dragged by %2 px").arg(i).arg(to.y() - from.y()));
    m_unpredictedSliders = true;
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(bar, QPoint(from.x(), (from.y() + to.y()) / 2));
    QTest::mouseMove(bar, to);
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, to);
}

void Run::sliderWheel() {
    const int i = uniform(0, 2);
    ColorSlider* bar = f.VScrColor[static_cast<std::size_t>(i)];
    const int delta = pick(QList<int>{120, -120, 240, -360, 40});
    act(QStringLiteral("slider wheel"), QStringLiteral("VScrColor(%1) wheel %2").arg(i).arg(delta));
    m_unpredictedSliders = true;
    const QPointF at = bar->rect().center();
    QWheelEvent wheel(at, bar->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(bar, &wheel);
}

void Run::sliderMiddleClick() {
    const int i = uniform(0, 2);
    ColorSlider* bar = f.VScrColor[static_cast<std::size_t>(i)];
    const QRect groove = sliderPart(bar, QStyle::SC_ScrollBarGroove);
    const QPoint at(groove.center().x(), uniform(groove.top(), groove.bottom()));
    act(QStringLiteral("slider middle click"), QStringLiteral("VScrColor(%1) at y %2").arg(i).arg(at.y()));
    m_unpredictedSliders = true;
    click(bar, at, Qt::MiddleButton);
}

void Run::optionClick() {
    const int i = uniform(0, 1);
    act(QStringLiteral("option click"), QStringLiteral("optColor(%1)").arg(i));
    const bool background = i == 0;
    if (model.editingBackground != background) {
        model.editingBackground = background;
        slidersTo(background ? model.background : model.text);
    }
    click(f.optColor[static_cast<std::size_t>(i)]);
}

void Run::modeMenu() {
    const bool full = chance(0.5);
    act(QStringLiteral("mode menu"), full ? QStringLiteral("mnu_Color_full") : QStringLiteral("mnu_Color_216"));
    if (full) {
        enterFull();
        f.mnu_Color_full->trigger();
    } else {
        enter216();
        f.mnu_Color_216->trigger();
    }
}

void Run::modeButton() {
    act(QStringLiteral("mode button"), QStringLiteral("cmdColor(3)"));
    if (model.colorMode == 0) {
        enter216();
    } else {
        enterFull();
    }
    click(f.cmdColor[3]);
}

void Run::swatchPress() {
    const int i = uniform(0, 15);
    const int roll = uniform(0, 9);
    const Qt::MouseButton button = roll < 5 ? Qt::LeftButton : (roll < 9 ? Qt::RightButton : Qt::MiddleButton);
    const char* name = button == Qt::LeftButton ? "left" : (button == Qt::RightButton ? "right" : "middle");
    act(QStringLiteral("swatch press"), QStringLiteral("lblPallete(%1) %2").arg(i).arg(name));
    if (button == Qt::LeftButton) {
        const PaletteTable& source = model.showingBasic ? model.basic : model.view;
        if (entryInRange(source, i)) {
            slidersTo({source.at(i, 0), source.at(i, 1), source.at(i, 2)});
            m_displayUpdate = true;
        } else {
            // A colour the sliders cannot take: reported, and the sliders show what they can.
            m_boxes.push_back({BoxExpectation::Error});
            m_unpredictedSliders = true;
        }
    } else if (button == Qt::RightButton && !model.showingBasic) {
        model.view.setEntry(i, model.sliders[0], model.sliders[1], model.sliders[2]);
        model.my.setEntry(i, model.sliders[0], model.sliders[1], model.sliders[2]);
        model.swatches[static_cast<std::size_t>(i)] = packed(model.sliders);
    }
    click(f.lblPallete[static_cast<std::size_t>(i)], {}, button);
}

void Run::paletteMenu() {
    const int i = uniform(0, 1);
    act(QStringLiteral("palette menu"), QStringLiteral("mnu_pallete(%1)").arg(i));
    if (i == 0) {
        showBasicPalette();
    } else {
        showMyPalette();
    }
    f.mnu_pallete[static_cast<std::size_t>(i)]->trigger();
}

void Run::paletteButton() {
    act(QStringLiteral("palette button"), QStringLiteral("cmdColor(5)"));
    if (model.showingBasic) {
        showMyPalette();
    } else {
        showBasicPalette();
    }
    click(f.cmdColor[5]);
}

void Run::copyFormatMenu() {
    const int i = uniform(0, 2);
    act(QStringLiteral("copy format menu"), QStringLiteral("mnu_Copymode(%1)").arg(i));
    model.copyMode = i;
    f.mnu_Copymode[static_cast<std::size_t>(i)]->trigger();
}

void Run::copyFormatButton() {
    act(QStringLiteral("copy format button"), QStringLiteral("cmdColor(4)"));
    model.copyMode = (model.copyMode + 1) % 3;
    model.shownFormat = model.copyMode;
    click(f.cmdColor[4]);
}

void Run::copy() {
    act(QStringLiteral("copy"), QStringLiteral("cmdColor(2)"));
    model.clipboard = colourCode(model.sliders, model.shownFormat);
    click(f.cmdColor[2]);
}

void Run::topmostMenu() {
    act(QStringLiteral("always on top menu"), QStringLiteral("mnu_Window_Topmost"));
    model.topmost = !model.topmost;
    ++model.topmostCalls;
    f.mnu_Window_Topmost->trigger();
}

void Run::topmostButton() {
    act(QStringLiteral("always on top button"), QStringLiteral("cmdColor(6)"));
    model.topmost = !model.topmost;
    ++model.topmostCalls;
    click(f.cmdColor[6]);
}

void Run::openPanel(bool saving) {
    const int index = saving ? 0 : 1;
    act(saving ? QStringLiteral("open for saving") : QStringLiteral("open for loading"),
        QStringLiteral("cmdColor(%1)%2").arg(index).arg(model.showingBasic ? " (disabled)" : ""));
    if (!model.showingBasic) {
        model.panelOpen = true;
        model.panelSaving = saving;
        model.caption = saving ? Model::Caption::Save : Model::Caption::Load;
        // The first listed file is selected at once and previewed.
        const QString first = f.FilPallete->List(0);
        if (!first.isEmpty()) {
            previewFile(first);
        }
    }
    click(f.cmdColor[static_cast<std::size_t>(index)]);
}

void Run::hover() {
    QList<QWidget*> targets{f.client, f.lblHex, f.lblExplain, f.txtColor};
    for (QWidget* w : f.cmdColor) {
        targets << w;
    }
    for (QWidget* w : f.lblPallete) {
        targets << w;
    }
    if (model.panelOpen) {
        targets << f.FilPallete->viewport() << f.cmdOK << f.cmdCancel;
        if (model.panelSaving) {
            targets << f.txtPallete;
        }
    } else {
        targets << f.optColor[0] << f.optColor[1] << f.Label1[0] << f.Label1[1] << f.Label1[2];
    }
    QWidget* w = pick(targets);
    act(QStringLiteral("hover"),
        w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName());
    QTest::mouseMove(w, QPoint(uniform(0, w->width() - 1), uniform(0, w->height() - 1)));
}

void Run::helpMenu() {
    act(QStringLiteral("help menu"), QStringLiteral("mnu_Help_Help"));
    ++model.helpCalls;
    f.mnu_Help_Help->trigger();
}

void Run::versionMenu() {
    act(QStringLiteral("version menu"), QStringLiteral("mnu_ver"));
    m_boxes.push_back({BoxExpectation::Version});
    f.mnu_ver->trigger();
}

void Run::disabledClick() {
    // Controls that the current state disables: clicking them must do nothing.
    QList<QWidget*> targets;
    if (model.panelOpen) {
        for (std::size_t i = 0; i < 7; ++i) {
            targets << f.cmdColor[i];
        }
        for (QWidget* w : f.lblPallete) {
            targets << w;
        }
        targets << f.txtColor << f.lblHex;
    } else if (model.showingBasic) {
        targets << f.cmdColor[0] << f.cmdColor[1];
    }
    if (model.panelOpen && !model.panelSaving) {
        // The hidden name box and nothing listed: the action button may be disabled too.
        if (f.FilPallete->ListIndex() < 0) {
            targets << f.cmdOK;
        }
    }
    if (targets.isEmpty()) {
        copy();
        return;
    }
    QWidget* w = pick(targets);
    const Qt::MouseButton button = pick(QList<Qt::MouseButton>{Qt::LeftButton, Qt::RightButton, Qt::MiddleButton});
    act(QStringLiteral("disabled click"),
        QStringLiteral("%1 %2 button")
            .arg(QString::fromLatin1(w->metaObject()->className()))
            .arg(button == Qt::LeftButton ? "left" : (button == Qt::RightButton ? "right" : "middle")));
    click(w, {}, button);
}

// --- Actions with the panel open -----------------------------------------------------------------

void Run::fileClick() {
    const int count = f.FilPallete->ListCount();
    if (count == 0) {
        backClick();
        return;
    }
    const int k = uniform(0, count - 1);
    const QString name = f.FilPallete->List(k);
    act(QStringLiteral("file click"), QStringLiteral("FilPallete row %1 \"%2\"").arg(k).arg(name));
    previewFile(name);
    QListWidgetItem* item = f.FilPallete->item(k);
    f.FilPallete->scrollToItem(item);
    click(f.FilPallete->viewport(), f.FilPallete->visualItemRect(item).center());
}

void Run::typeName() {
    static const QStringList plain{
        QStringLiteral("Blue"),       QStringLiteral("Blue.pdt"),     QStringLiteral("warm"),
        QStringLiteral("mine"),       QStringLiteral("mine.pdt"),     QStringLiteral("色見本"),
        QStringLiteral("Ünïcödé"),    QStringLiteral("X.PDT"),        QStringLiteral(".pdt"),
        QStringLiteral("..pdt"),      QStringLiteral("a.pdt.pdt"),    QStringLiteral(" lead"),
        QStringLiteral("trail "),     QStringLiteral("-dash"),        QStringLiteral("*star?"),
        QStringLiteral("semi;colon"), QStringLiteral("folder"),       QStringLiteral("notes.txt"),
        QStringLiteral("wild"),       QStringLiteral("tail.pdt"),     QStringLiteral("$HOME"),
        QStringLiteral("%s%n"),       QStringLiteral("'quote\""),     QStringLiteral("café au lait"),
        QStringLiteral("link"),       QStringLiteral("dangling.pdt"),
    };
    static const QStringList pasted{
        QStringLiteral("ctl\x01name"),  QStringLiteral("tab\tname"),    QStringLiteral("new\nline"),
        QStringLiteral("cr\rname"),     QStringLiteral("del\x7fname"),  QStringLiteral("esc\x1b[31m"),
        QStringLiteral("emoji😀"),       QString(300, QLatin1Char('L')), QString(251, QLatin1Char('M')),
        QString(252, QLatin1Char('N')), QString(83, QChar(0x8272)),     QString(84, QChar(0x8272)),
    };
    const int roll = uniform(0, 9);
    TextBox* box = f.txtPallete;
    click(box);
    if (roll < 5) {
        const QString name = roll < 3 ? pick(plain) : pick(m_hostileBases);
        act(QStringLiteral("type name"), QStringLiteral("select all, type \"%1\"").arg(name));
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        typeText(box, name);
        m_typed = name;
    } else if (roll < 7) {
        const QString name = pick(pasted);
        act(QStringLiteral("type name"), QStringLiteral("select all, paste \"%1\"").arg(name.left(40)));
        QGuiApplication::clipboard()->setText(name);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    } else if (roll < 8) {
        act(QStringLiteral("type name"), QStringLiteral("select all, Backspace"));
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Backspace);
    } else if (roll < 9) {
        act(QStringLiteral("type name"), QStringLiteral("End, Backspace"));
        QTest::keyClick(box, Qt::Key_End);
        QTest::keyClick(box, Qt::Key_Backspace);
    } else {
        const QString more = pick(QStringList{QStringLiteral("x"), QStringLiteral(".pdt"), QStringLiteral("/"),
                                              QStringLiteral("2"), QStringLiteral("..")});
        act(QStringLiteral("type name"), QStringLiteral("End, type \"%1\"").arg(more));
        QTest::keyClick(box, Qt::Key_End);
        typeText(box, more);
    }
}

void Run::okClick() {
    const bool enabled = model.panelSaving ? !f.txtPallete->text().isEmpty() : f.FilPallete->ListIndex() >= 0;
    if (model.panelSaving) {
        act(QStringLiteral("save"), QStringLiteral("cmdOK with name \"%1\"%2")
                                        .arg(f.txtPallete->text().left(60))
                                        .arg(enabled ? "" : " (disabled)"));
        if (enabled) {
            predictSave();
        }
    } else {
        act(QStringLiteral("load commit"), enabled ? QStringLiteral("cmdOK") : QStringLiteral("cmdOK (disabled)"));
        if (enabled) {
            model.my = model.view;
            closePanel();
            ++loads;
        }
    }
    click(f.cmdOK);
}

void Run::backClick() {
    act(QStringLiteral("back"), QStringLiteral("cmdCancel"));
    model.view = model.my;
    closePanel();
    paint(model.my);
    click(f.cmdCancel);
}

// --- Checks --------------------------------------------------------------------------------------

#define EXPECT(cond, ...)                                                                                              \
    do {                                                                                                               \
        if (!(cond)) {                                                                                                 \
            return __VA_ARGS__;                                                                                        \
        }                                                                                                              \
    } while (false)

QString Run::check() {
    for (auto part : {&Run::checkBoxes, &Run::checkColour, &Run::checkModes, &Run::checkPalettes, &Run::checkPanel,
                      &Run::checkFiles}) {
        const QString problem = (this->*part)();
        if (!problem.isEmpty()) {
            return problem;
        }
    }
    return {};
}

QString Run::checkBoxes() {
    const auto& boxes = t.os.messageBoxes;
    std::size_t next = 0;
    bool errorShown = false;
    for (qsizetype k = m_boxesSeen; k < boxes.size(); ++k) {
        const auto& box = boxes.at(k);
        bool matched = false;
        while (next < m_boxes.size() && !matched) {
            const BoxExpectation& e = m_boxes[next++];
            switch (e.kind) {
            case BoxExpectation::Error:
                matched = box.style == platform::OkOnly && !box.text.isEmpty();
                break;
            case BoxExpectation::Question:
                matched =
                    box.style == OverwriteStyle && box.text == e.text && box.title == QStringLiteral("上書き確認");
                break;
            case BoxExpectation::Version:
                matched = box.style == platform::OkOnly && box.text.contains(QStringLiteral("バージョン"));
                break;
            }
            if (!matched && !e.optional) {
                break;
            }
        }
        if (!matched && m_eitherSave && !errorShown && box.style == platform::OkOnly) {
            // A save that may be refused was refused.
            matched = true;
        }
        if (!matched) {
            return QStringLiteral("unexpected message box (style %1, title \"%2\"): %3")
                .arg(box.style)
                .arg(box.title, box.text);
        }
        if (box.style == platform::OkOnly && !box.text.contains(QStringLiteral("バージョン"))) {
            errorShown = true;
            ++errorBoxes;
        }
    }
    m_boxesSeen = static_cast<int>(boxes.size());
    for (; next < m_boxes.size(); ++next) {
        EXPECT(m_boxes[next].optional, QStringLiteral("an expected message box (kind %1) was not shown")
                                           .arg(static_cast<int>(m_boxes[next].kind)));
    }
    if (m_eitherSave && !errorShown) {
        // Not refused: it is an ordinary save then.
        model.files[m_eitherName] = record(model.my);
        m_writes.insert(m_eitherName);
        ++saves;
    }
    return {};
}

QString Run::checkColour() {
    const Rgb s = t.sliders();
    if (m_unpredictedSliders) {
        model.sliders = s;
        edited() = s;
        if (model.colorMode == 1) {
            for (int v : s) {
                EXPECT(v % 51 == 0, QStringLiteral("216-colour mode left a slider between levels: %1").arg(rgbText(s)));
            }
        }
    }
    EXPECT(s == model.sliders, QStringLiteral("sliders are %1, expected %2").arg(rgbText(s), rgbText(model.sliders)));
    const Module1& m = f.m;
    EXPECT(m.EditingBackground == model.editingBackground,
           QStringLiteral("EditingBackground is %1").arg(m.EditingBackground));
    EXPECT(f.optColor[0]->isChecked() == model.editingBackground &&
               f.optColor[1]->isChecked() == !model.editingBackground,
           QStringLiteral("the option buttons do not name the colour being edited"));
    const Rgb bg{m.BackgroundRGB[0], m.BackgroundRGB[1], m.BackgroundRGB[2]};
    const Rgb tx{m.TextRGB[0], m.TextRGB[1], m.TextRGB[2]};
    EXPECT((model.editingBackground ? bg : tx) == s, QStringLiteral("the edited colour %1 differs from the sliders %2")
                                                         .arg(rgbText(model.editingBackground ? bg : tx), rgbText(s)));
    EXPECT(bg == model.background && tx == model.text,
           QStringLiteral("stored colours background %1 text %2, expected %3 and %4")
               .arg(rgbText(bg), rgbText(tx), rgbText(model.background), rgbText(model.text)));
    if (model.colorMode == 1) {
        for (int v : s) {
            EXPECT(v % 51 == 0, QStringLiteral("216-colour mode edits %1").arg(rgbText(s)));
        }
    }
    EXPECT(m.HexR == twoDigits(s[0]) && m.HexG == twoDigits(s[1]) && m.HexB == twoDigits(s[2]),
           QStringLiteral("HexR/HexG/HexB are %1/%2/%3 for sliders %4").arg(m.HexR, m.HexG, m.HexB, rgbText(s)));

    // The display: the code in the format it was last written in, the preview holding both colours.
    if (m_unpredictedSliders && f.lblHex->Caption() == colourCode(s, model.copyMode)) {
        // A dragged thumb may have been snapped back to where it was: the display was updated
        // then, or not.
        model.shownFormat = model.copyMode;
    }
    if (s != m_slidersBefore || m_displayUpdate) {
        model.shownFormat = model.copyMode;
        EXPECT(f.lblExplain->Caption() == QStringLiteral("(R%1－G%2－B%3)").arg(s[0]).arg(s[1]).arg(s[2]),
               QStringLiteral("the read-out is \"%1\" for sliders %2").arg(f.lblExplain->Caption(), rgbText(s)));
    }
    EXPECT(f.lblHex->Caption() == colourCode(s, model.shownFormat),
           QStringLiteral("lblHex reads \"%1\", expected \"%2\"")
               .arg(f.lblHex->Caption(), colourCode(s, model.shownFormat)));
    EXPECT(f.txtColor->BackColor() == packed(bg) && f.txtColor->ForeColor() == packed(tx),
           QStringLiteral("the preview shows %1 on %2, the colours are %3 on %4")
               .arg(f.txtColor->ForeColor())
               .arg(f.txtColor->BackColor())
               .arg(packed(tx))
               .arg(packed(bg)));
    EXPECT(t.os.clipboard == model.clipboard,
           QStringLiteral("the clipboard holds \"%1\", expected \"%2\"").arg(t.os.clipboard, model.clipboard));
    if (m_kind == QLatin1String("copy")) {
        EXPECT(t.os.clipboard == f.lblHex->Caption(), QStringLiteral("the copy differs from lblHex"));
    }
    return {};
}

QString Run::checkModes() {
    const Module1& m = f.m;
    EXPECT(m.ColorMode == model.colorMode,
           QStringLiteral("ColorMode is %1, expected %2").arg(m.ColorMode).arg(model.colorMode));
    const bool full = model.colorMode == 0;
    EXPECT(f.mnu_Color_full->isChecked() == full && f.mnu_Color_216->isChecked() == !full,
           QStringLiteral("the colour menu checks do not name mode %1").arg(model.colorMode));
    EXPECT(f.cmdColor[3]->text() == LoadResString(full ? 128 : 129),
           QStringLiteral("cmdColor(3) reads \"%1\" in mode %2").arg(f.cmdColor[3]->text()).arg(model.colorMode));
    for (ColorSlider* bar : f.VScrColor) {
        EXPECT(bar->Min() == 255 && bar->Max() == 0 && bar->SmallChange() == (full ? 1 : 51) &&
                   bar->LargeChange() == (full ? 16 : 51),
               QStringLiteral("slider steps %1/%2 in mode %3")
                   .arg(bar->SmallChange())
                   .arg(bar->LargeChange())
                   .arg(model.colorMode));
    }
    const int caption = model.caption == Model::Caption::Save   ? 131
                        : model.caption == Model::Caption::Load ? 132
                        : full                                  ? 106
                                                                : 107;
    EXPECT(f.Caption() == LoadResString(caption),
           QStringLiteral("the window caption is \"%1\", expected \"%2\"").arg(f.Caption(), LoadResString(caption)));
    if (m_modeSetUp && m_focusChecks) {
        EXPECT(QApplication::focusWidget() == f.VScrColor[0],
               QStringLiteral("the red slider lacks the focus after the mode set-up"));
    }

    EXPECT(m.CopyMode == model.copyMode,
           QStringLiteral("CopyMode is %1, expected %2").arg(m.CopyMode).arg(model.copyMode));
    for (int i = 0; i < 3; ++i) {
        EXPECT(f.mnu_Copymode[static_cast<std::size_t>(i)]->isChecked() == (i == model.copyMode),
               QStringLiteral("the copy-format menu checks do not name format %1").arg(model.copyMode));
    }
    static constexpr std::array<int, 3> formatIcons{104, 106, 105};
    EXPECT(f.cmdColor[4]->Picture() == formatIcons[static_cast<std::size_t>(model.copyMode)],
           QStringLiteral("cmdColor(4) shows icon %1 for format %2").arg(f.cmdColor[4]->Picture()).arg(model.copyMode));

    EXPECT(m.IsTopmost == model.topmost && f.mnu_Window_Topmost->isChecked() == model.topmost &&
               f.cmdColor[6]->Picture() == (model.topmost ? 102 : 103),
           QStringLiteral("always on top: IsTopmost %1, check %2, icon %3, expected %4")
               .arg(m.IsTopmost)
               .arg(f.mnu_Window_Topmost->isChecked())
               .arg(f.cmdColor[6]->Picture())
               .arg(model.topmost));
    EXPECT(t.os.alwaysOnTopCalls.size() == model.topmostCalls &&
               (model.topmostCalls == 0 || t.os.alwaysOnTopCalls.last() == model.topmost),
           QStringLiteral("the window was told %1 times to change its always-on-top state, expected %2")
               .arg(t.os.alwaysOnTopCalls.size())
               .arg(model.topmostCalls));
    EXPECT(t.os.openedHelp.size() == model.helpCalls,
           QStringLiteral("help opened %1 times").arg(t.os.openedHelp.size()));
    return {};
}

QString Run::checkPalettes() {
    const Module1& m = f.m;
    EXPECT(m.ShowingBasicPalette == model.showingBasic,
           QStringLiteral("ShowingBasicPalette is %1").arg(m.ShowingBasicPalette));
    EXPECT(f.mnu_pallete[0]->isChecked() == model.showingBasic && f.mnu_pallete[1]->isChecked() == !model.showingBasic,
           QStringLiteral("the palette menu checks do not name the palette shown"));
    EXPECT(f.cmdColor[5]->Picture() == (model.showingBasic ? 110 : 111),
           QStringLiteral("cmdColor(5) shows icon %1").arg(f.cmdColor[5]->Picture()));
    if (!model.panelOpen) {
        EXPECT(f.cmdColor[0]->isEnabled() == !model.showingBasic && f.cmdColor[1]->isEnabled() == !model.showingBasic,
               QStringLiteral("the file buttons are %1 with %2 shown")
                   .arg(f.cmdColor[0]->isEnabled() ? "enabled" : "disabled")
                   .arg(model.showingBasic ? "the basic palette" : "My palette"));
        EXPECT(m.PaletteView == m.MyPalette,
               QStringLiteral("the panel is closed but PaletteView differs from MyPalette"));
    }
    EXPECT(m.MyPalette == model.my,
           QStringLiteral("MyPalette is [%1], expected [%2]").arg(describe(m.MyPalette), describe(model.my)));
    EXPECT(m.PaletteView == model.view,
           QStringLiteral("PaletteView is [%1], expected [%2]").arg(describe(m.PaletteView), describe(model.view)));
    EXPECT(m.BasicPalette == model.basic, QStringLiteral("the basic palette changed"));

    // The swatches show the table shown, by the swatch colour rule; where painting stopped at
    // a colour that cannot be formed, the swatches from there on keep what they showed.
    for (std::size_t i = 0; i < 16; ++i) {
        EXPECT(f.lblPallete[i]->BackColor() == model.swatches[i],
               QStringLiteral("swatch %1 shows %2, expected %3 (%4 palette shown)")
                   .arg(i)
                   .arg(f.lblPallete[i]->BackColor())
                   .arg(model.swatches[i])
                   .arg(model.showingBasic ? "the basic" : "My"));
    }
    return {};
}

QString Run::checkPanel() {
    const Module1& m = f.m;
    const bool open = model.panelOpen;
    EXPECT(m.FilePanelOpen == open, QStringLiteral("FilePanelOpen is %1").arg(m.FilePanelOpen));
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT(f.VScrColor[i]->isVisible() == !open && f.Label1[i]->isVisible() == !open,
               QStringLiteral("slider %1 is %2 with the panel %3")
                   .arg(i)
                   .arg(f.VScrColor[i]->isVisible() ? "shown" : "hidden")
                   .arg(open ? "open" : "closed"));
    }
    for (QRadioButton* option : f.optColor) {
        EXPECT(option->isVisible() == !open, QStringLiteral("the option buttons do not follow the panel"));
    }
    for (Label* swatch : f.lblPallete) {
        EXPECT(swatch->isEnabled() == !open, QStringLiteral("the swatches do not follow the panel"));
    }
    EXPECT(f.txtColor->isEnabled() == !open && f.lblHex->isEnabled() == !open,
           QStringLiteral("the preview and the code do not follow the panel"));
    for (std::size_t i = 2; i < 7; ++i) {
        EXPECT(f.cmdColor[i]->isEnabled() == !open, QStringLiteral("cmdColor(%1) does not follow the panel").arg(i));
    }
    if (open) {
        EXPECT(!f.cmdColor[0]->isEnabled() && !f.cmdColor[1]->isEnabled(),
               QStringLiteral("the file buttons are usable in the panel"));
    }
    EXPECT(f.cmdColor[7]->isEnabled(), QStringLiteral("the quit button is disabled"));
    EXPECT(f.mnu_Color->isEnabled() == !open && f.mnu_based->isEnabled() == !open && f.mnu_option->isEnabled() == !open,
           QStringLiteral("the colour, palette and settings menus do not follow the panel"));
    EXPECT(f.mnu_Help->isEnabled(), QStringLiteral("the help menu is disabled"));
    // A hidden list may be enabled or not: only the open panel needs it usable.
    EXPECT(f.FilPallete->isVisible() == open && (!open || f.FilPallete->isEnabled()),
           QStringLiteral("the file list does not follow the panel"));
    EXPECT(f.cmdCancel->isVisible() == open && f.cmdOK->isVisible() == open,
           QStringLiteral("the panel buttons do not follow the panel"));
    if (!open) {
        EXPECT(!f.txtPallete->isVisible() && !f.cmdOK->isEnabled() && f.txtPallete->text().isEmpty(),
               QStringLiteral("the closed panel left its name box or action button behind"));
        return {};
    }

    EXPECT(m.PanelSaving == model.panelSaving, QStringLiteral("PanelSaving is %1").arg(m.PanelSaving));
    EXPECT(f.txtPallete->isVisible() == model.panelSaving,
           QStringLiteral("the name box does not follow the panel mode"));
    EXPECT(f.cmdOK->text() == LoadResString(model.panelSaving ? 133 : 134),
           QStringLiteral("cmdOK reads \"%1\"").arg(f.cmdOK->text()));
    EXPECT(f.cmdCancel->text() == LoadResString(135),
           QStringLiteral("cmdCancel reads \"%1\"").arg(f.cmdCancel->text()));
    if (model.panelSaving) {
        EXPECT(f.cmdOK->isEnabled() == !f.txtPallete->text().isEmpty(),
               QStringLiteral("cmdOK is %1 with the name \"%2\"")
                   .arg(f.cmdOK->isEnabled() ? "enabled" : "disabled", f.txtPallete->text()));
        EXPECT(f.cmdOK->y() == f.txtPallete->y() + f.txtPallete->height(),
               QStringLiteral("cmdOK is not under the name box"));
    } else {
        EXPECT(f.cmdOK->isEnabled() == (f.FilPallete->ListIndex() >= 0),
               QStringLiteral("cmdOK is %1 with list index %2")
                   .arg(f.cmdOK->isEnabled() ? "enabled" : "disabled")
                   .arg(f.FilPallete->ListIndex()));
        EXPECT(f.cmdOK->y() == twips::toPixels(twips::Height(f.FilPallete) + 20),
               QStringLiteral("cmdOK is not in the name box's place"));
    }
    EXPECT(f.cmdCancel->y() == f.cmdOK->y() + f.cmdOK->height(), QStringLiteral("cmdCancel is not under cmdOK"));
    if (!m_typed.isNull()) {
        EXPECT(f.txtPallete->text() == m_typed,
               QStringLiteral("the name box reads \"%1\" after typing \"%2\"").arg(f.txtPallete->text(), m_typed));
    }
    if (m_kind == QLatin1String("file click") && model.panelSaving) {
        EXPECT(f.txtPallete->text() == f.FilPallete->List(f.FilPallete->ListIndex()),
               QStringLiteral("the name box reads \"%1\" after a click on \"%2\"")
                   .arg(f.txtPallete->text(), f.FilPallete->List(f.FilPallete->ListIndex())));
    }

    // The list shows the palette files of the folder.
    QStringList listed;
    for (int i = 0; i < f.FilPallete->ListCount(); ++i) {
        listed << f.FilPallete->List(i);
    }
    QStringList expected;
    for (const auto& [name, bytes] : model.files) {
        if (name.endsWith(QLatin1String(".pdt"))) {
            expected << name;
        }
    }
    listed.sort();
    expected.sort();
    EXPECT(listed == expected,
           QStringLiteral("the list shows [%1], the folder holds [%2]").arg(listed.join(u'|'), expected.join(u'|')));
    return {};
}

QString Run::checkFiles() {
    if (!filesTouched() && m_writes.empty()) {
        return {};
    }
    std::map<QString, Stamp> inside;
    std::map<QString, Stamp> outside;
    splitTree(inside, outside);
    if (outside != m_outside) {
        QStringList changed;
        for (const auto& [path, stamp] : outside) {
            const auto before = m_outside.find(path);
            if (before == m_outside.end() || !(before->second == stamp)) {
                changed << path;
            }
        }
        for (const auto& [path, stamp] : m_outside) {
            if (outside.count(path) == 0) {
                changed << path + QStringLiteral(" (gone)");
            }
        }
        return QStringLiteral("something changed outside the program folder: %1")
            .arg(changed.join(QStringLiteral(", ")));
    }
    for (const auto& [name, stamp] : inside) {
        const auto before = m_inside.find(name);
        const bool touched = before == m_inside.end() || !(before->second == stamp);
        if (!touched) {
            continue;
        }
        EXPECT(m_writes.count(name) != 0,
               QStringLiteral("\"%1\" in the program folder changed without a save of it").arg(name));
    }
    for (const auto& [name, stamp] : m_inside) {
        EXPECT(inside.count(name) != 0, QStringLiteral("\"%1\" disappeared from the program folder").arg(name));
    }
    for (const QString& name : m_writes) {
        EXPECT(inside.count(name) != 0 && !inside.at(name).dir,
               QStringLiteral("the save of \"%1\" wrote no such file").arg(name));
        QFile file(QDir(program).filePath(name));
        EXPECT(file.open(QIODevice::ReadOnly), QStringLiteral("cannot read the saved \"%1\"").arg(name));
        const QByteArray bytes = file.readAll();
        EXPECT(bytes.size() == 192, QStringLiteral("the saved \"%1\" has %2 bytes").arg(name).arg(bytes.size()));
        EXPECT(bytes == model.files.at(name), QStringLiteral("the saved \"%1\" holds [%2], MyPalette was [%3]")
                                                  .arg(name, describe(fromRecord(bytes)), describe(model.my)));
    }
    m_inside = std::move(inside);
    if (m_kind == QLatin1String("save")) {
        return checkProbes();
    }
    return {};
}

void Run::splitTree(std::map<QString, Stamp>& inside, std::map<QString, Stamp>& outside) const {
    const QString folder = QDir(outer).relativeFilePath(program);
    const QString prefix = folder + QLatin1Char('/');
    for (const auto& [path, stamp] : snapshotTree(outer)) {
        if (path.startsWith(prefix)) {
            inside[path.mid(prefix.size())] = stamp;
        } else if (path == folder) {
            // Saving changes the folder's own times; that it stays the same folder counts.
            outside[path] = Stamp{stamp.dir, stamp.inode, 0, 0};
        } else {
            outside[path] = stamp;
        }
    }
}

QString Run::checkPainting() {
    m_sincePaint = 0;
    // What the user sees: every swatch painted in the colour it holds.
    const bool enabled = f.updatesEnabled();
    f.setUpdatesEnabled(true);
    const QImage image = f.grab().toImage().convertToFormat(QImage::Format_RGB32);
    f.setUpdatesEnabled(enabled);
    for (int i = 0; i < PaletteTable::Entries; ++i) {
        const Label* swatch = f.lblPallete[static_cast<std::size_t>(i)];
        const QPoint centre = swatch->mapTo(&f, swatch->rect().center());
        const QColor seen = image.pixelColor(centre);
        const QColor colour = ColorFromPacked(swatch->BackColor());
        if (seen != colour) {
            return QStringLiteral("swatch %1 is painted %2, it holds %3").arg(i).arg(seen.name(), colour.name());
        }
    }
    return {};
}

bool Run::filesTouched() {
    bool touched = m_forceScan;
    m_forceScan = false;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(m_notify, buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        touched = true;
    }
    return touched;
}

QString Run::checkProbes() const {
    for (const auto& [path, existed] : m_probes) {
        EXPECT(QFileInfo::exists(path) == existed, QStringLiteral("\"%1\" appeared").arg(path));
    }
    return {};
}

QString Run::finalChecks() {
    m_kind = QStringLiteral("end");
    m_writes.clear();
    m_forceScan = true;
    for (const QString& problem : {checkFiles(), checkProbes()}) {
        if (!problem.isEmpty()) {
            return problem;
        }
    }
    // Every file the program folder holds is the one the model expects, byte for byte.
    for (const auto& [name, bytes] : model.files) {
        QFile file(QDir(program).filePath(name));
        EXPECT(file.open(QIODevice::ReadOnly) && file.readAll() == bytes,
               QStringLiteral("\"%1\" does not hold what was last saved to it").arg(name));
    }
    return {};
}

#undef EXPECT

} // namespace

void RandomActionsTest::randomActions() {
    bool seedGiven = false;
    std::uint32_t seed = qEnvironmentVariable("SWATCHLY_SEED").toUInt(&seedGiven);
    if (!seedGiven) {
        // A fixed default keeps CI repeatable; longer explorations set their own seeds.
        seed = 20261207u;
    }
    bool countGiven = false;
    int actions = qEnvironmentVariableIntValue("SWATCHLY_ACTIONS", &countGiven);
    if (!countGiven || actions <= 0) {
        actions = 10000;
    }
    qInfo("SWATCHLY_SEED=%u SWATCHLY_ACTIONS=%d", seed, actions);

    // The program folder lies in a folder of its own, beside a sibling, so that anything
    // written outside the program folder shows.
    QTemporaryDir outer;
    QVERIFY(outer.isValid());
    qputenv("TMPDIR", QFile::encodeName(outer.path()));
    TestWindow t;
    restoreTmpDir();
    QVERIFY(t.folder.isValid());

    Run run(t, outer.path(), seed);
    run.start();
    if (QTest::currentTestFailed()) {
        return;
    }

    QElapsedTimer timer;
    timer.start();
    for (int n = 0; n < actions; ++n) {
        const QString problem = run.step();
        if (!problem.isEmpty()) {
            QString message = QStringLiteral("seed %1, action %2 of %3: %4\nreplay with SWATCHLY_SEED=%1 "
                                             "SWATCHLY_ACTIONS=%5\nthe last actions, oldest first:")
                                  .arg(seed)
                                  .arg(n)
                                  .arg(actions)
                                  .arg(problem)
                                  .arg(n + 1);
            int index = n - static_cast<int>(run.recent().size()) + 1;
            for (const QString& line : run.recent()) {
                message += QStringLiteral("\n  #%1 %2").arg(index++).arg(line);
            }
            QFAIL(qPrintable(message));
        }
    }
    const QString problem = run.finalChecks();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));

    QStringList mix;
    for (const auto& [kind, count] : run.counts) {
        mix << QStringLiteral("%1 %2 (%3 ms)").arg(kind).arg(count).arg(run.nanoseconds[kind] / 1000000);
    }
    qInfo("%d actions in %lld ms; %d saves (%d refused, %d overwrite questions), %d loads, %d error boxes", actions,
          timer.elapsed(), run.saves, run.refusedSaves, run.overwriteAnswers, run.loads, run.errorBoxes);
    qInfo("checks took %lld ms; actions: %s", run.checkNanoseconds / 1000000,
          qPrintable(mix.join(QStringLiteral(", "))));
}

QTEST_MAIN(RandomActionsTest)
#include "tst_randomactions.moc"
