#include "app/Appearance.h"

#include "platform/Platform.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLibraryInfo>
#include <QMenuBar>
#include <QPointer>
#include <QStyle>
#include <QStyleFactory>
#include <QTranslator>
#include <cstdio>

namespace {

const QString preferredJapanese = QStringLiteral("IPAPGothic");
const QString missingFontPackage = QStringLiteral("fonts-ipafont-gothic");

// Japanese text in `font` falls back on the Japanese face: the family the font resolves to, then
// the Japanese face (the font is often an alias such as "Sans Serif", which would let the
// Japanese face take over the Latin text too).
QFont WithJapanese(QFont font, const QString& japanese) {
    if (!japanese.isEmpty() && !font.families().contains(japanese)) {
        font.setFamilies({QFontInfo(font).family(), japanese});
    }
    return font;
}

} // namespace

QByteArray WindowSystemFor(const QByteArray& chosen, const QByteArray& waylandDisplay, const QByteArray& sessionType,
                           const QByteArray& display) {
    const bool wayland = !waylandDisplay.isEmpty() || sessionType == "wayland";
    if (!chosen.isEmpty() || !wayland || display.isEmpty()) {
        return {};
    }
    return QByteArrayLiteral("xcb");
}

void ChooseWindowSystem() {
    const QByteArray platformName = WindowSystemFor(qgetenv("QT_QPA_PLATFORM"), qgetenv("WAYLAND_DISPLAY"),
                                                    qgetenv("XDG_SESSION_TYPE"), qgetenv("DISPLAY"));
    if (!platformName.isEmpty()) {
        qputenv("QT_QPA_PLATFORM", platformName);
    }
}

QString PickJapaneseFamily(const QStringList& families) {
    if (families.contains(preferredJapanese)) {
        return preferredJapanese;
    }
    // A proportional sans-serif ("Gothic") face reads like the one the layout was made with;
    // serif ("Mincho") and fixed-pitch faces do not, and among the faces of a pan-CJK family
    // the Japanese one has the Japanese glyph shapes.
    const auto score = [](const QString& family) {
        int points = 0;
        for (const char* word : {"Mincho", "Serif", "Mono", "Ming", "Song"}) {
            points -= family.contains(QLatin1String(word), Qt::CaseInsensitive) ? 8 : 0;
        }
        points += family.contains(QLatin1String("PGothic"), Qt::CaseInsensitive) ? 4 : 0;
        points += family.contains(QLatin1String("Gothic"), Qt::CaseInsensitive) ||
                          family.contains(QLatin1String("Sans"), Qt::CaseInsensitive)
                      ? 2
                      : 0;
        points += family.endsWith(QLatin1String(" JP")) || family.contains(QLatin1String("Japanese")) ? 1 : 0;
        return points;
    };
    // Among faces that score the same, the first by code points, whatever order the font
    // database lists them in.
    QString best;
    int bestScore = 0;
    for (const QString& family : families) {
        const int points = score(family);
        if (best.isEmpty() || points > bestScore || (points == bestScore && family < best)) {
            best = family;
            bestScore = points;
        }
    }
    return best;
}

QString JapaneseFamily() {
    static const QString family = QFontDatabase::hasFamily(preferredJapanese)
                                      ? preferredJapanese
                                      : PickJapaneseFamily(QFontDatabase::families(QFontDatabase::Japanese));
    return family;
}

void FitMenuBar(QMenuBar* bar, const QString& family, int width) {
    QFont face = LayoutFont();
    if (!family.isEmpty()) {
        face.setFamilies({family});
    }
    const QList<QAction*> menus = bar->actions();
    for (qreal points = 9; points >= 6; points -= 0.5) {
        face.setPointSizeF(points);
        bar->setFont(face);
        if (menus.isEmpty() || bar->actionGeometry(menus.last()).right() < width) {
            return;
        }
    }
}

bool InstallFontSubstitutions() {
    const QString japanese = JapaneseFamily();
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
    if (japanese.isEmpty()) {
        return false;
    }
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), japanese);
    // Japanese text in the default face falls back on the same Japanese face as the rest of
    // the window: one Japanese font loaded instead of two (each costs about 2 MB resident).
    if (!QApplication::font().families().contains(japanese)) {
        QApplication::setFont(WithJapanese(QApplication::font(), japanese));
    }
    return true;
}

QFont LayoutFont() {
    // What QApplication::font() is on X11 without a platform theme (and offscreen); the family
    // the alias resolves to is looked up once.
    QFont font(QStringLiteral("Sans Serif"), 9);
    static const QStringList families = WithJapanese(font, JapaneseFamily()).families();
    font.setFamilies(families);
    return Pinned(font);
}

QFont Pinned(QFont font) {
    font.setResolveMask(QFont::AllPropertiesResolved);
    return font;
}

QString MissingJapaneseFontText() {
    return QStringLiteral("日本語のフォントが見つかりません。日本語の文字が表示できません。\n"
                          "Debian パッケージ %1 を入れてください（sudo apt install %1）。\n\n"
                          "No Japanese font is installed, so Swatchly's Japanese text cannot be shown.\n"
                          "Install the Debian package %1 (sudo apt install %1).")
        .arg(missingFontPackage);
}

void SetUpFonts(platform::Platform& os) {
    if (InstallFontSubstitutions()) {
        return;
    }
    std::fprintf(stderr, "swatchly: %s\n", MissingJapaneseFontText().toLocal8Bit().constData());
    os.messageBox(nullptr, MissingJapaneseFontText(), platform::OkOnly);
}

void InstallJapaneseTranslation() {
    static bool installed = false;
    if (installed) {
        return;
    }
    installed = true;
    auto* translator = new QTranslator(qApp);
    if (translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}

QPalette LightPalette() {
    // Fusion's light colours, the look the layout was made with, but for the disabled texts:
    // Fusion's grey (#BEBEBE on #EFEFEF, 1.6 : 1) is barely legible, this one reaches 3 : 1.
    QPalette colours = OwnStyle()->standardPalette();
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        colours.setColor(QPalette::Disabled, role, QColor(0x8A, 0x8A, 0x8A));
    }
    // Every colour counts as set: none comes from the desktop's palette.
    colours.setResolveMask(~QPalette::ResolveMask(0));
    return colours;
}

QStyle* OwnStyle() {
    static QPointer<QStyle> fusion;
    if (fusion.isNull()) {
        fusion = QStyleFactory::create(QStringLiteral("Fusion"));
        fusion->setParent(qApp);
    }
    return fusion;
}

void KeepOwnLook(QWidget* widget) {
    // A style is a widget's own: it does not pass on to the widgets within.
    QList<QWidget*> widgets = widget->findChildren<QWidget*>();
    widgets.prepend(widget);
    for (QWidget* each : widgets) {
        each->setStyle(OwnStyle());
        if (each->isWindow()) {
            each->setFont(LayoutFont());
            each->setPalette(LightPalette());
        }
    }
}
