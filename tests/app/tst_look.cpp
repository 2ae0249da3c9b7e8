// How the window looks and reads: slider thumbs and focus marks, its own colours, face and style
// whatever the desktop's, the Japanese font and the menu bar's fit, screen readers, and always on
// top where the window system cannot keep a window there.

#include "app/Appearance.h"
#include "color/Contrast.h"
#include "support/TestWindow.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>
#include <QStyleFactory>
#include <QTest>
#include <QToolButton>

namespace {

double contrast(const QColor& a, const QColor& b) {
    return ContrastRatio(Rgb{a.red(), a.green(), a.blue()}, Rgb{b.red(), b.green(), b.blue()});
}

QString nameOf(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

// Where a bordered label's text lies inside its border: the first and last columns with ink,
// and the number of bands of rows with ink (lines of text).
struct Ink {
    int left = -1, right = -1, top = -1, bottom = -1, lines = 0;
};
Ink inkOf(QWidget* label) {
    const QImage image = label->grab().toImage();
    Ink ink;
    bool inLine = false;
    for (int y = 1; y < image.height() - 1; ++y) {
        bool any = false;
        for (int x = 1; x < image.width() - 1; ++x) {
            if (image.pixelColor(x, y).lightness() < 160) {
                any = true;
                ink.left = ink.left < 0 ? x : std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = ink.top < 0 ? y : ink.top;
                ink.bottom = y;
            }
        }
        ink.lines += any && !inLine ? 1 : 0;
        inLine = any;
    }
    return ink;
}

} // namespace

class LookTest : public QObject {
    Q_OBJECT
private slots:
    void sliderThumbStandsOut() {
        TestWindow t;
        ColorSlider* slider = t.frm->VScrColor[1];
        for (int level : {0, 1, 128, 254, 255}) {
            slider->setValue(level);
            const QPoint thumb = TestWindow::sliderPart(slider, QStyle::SC_ScrollBarSlider).topLeft();
            const QColor inThumb = TestWindow::shownColour(slider, thumb + QPoint(4, 2));
            const QColor track = TestWindow::shownColour(slider, QPoint(16, level > 128 ? 170 : 22));
            const QColor arrow = TestWindow::shownColour(slider, QPoint(3, level > 128 ? 3 : slider->height() - 4));
            QVERIFY2(contrast(inThumb, track) >= 3 && contrast(inThumb, arrow) >= 3,
                     qPrintable(QString::number(level)));
        }
    }

    void lightLookAndFocusMarksUnderDarkDesktop() {
        const QPalette desktop = QApplication::palette();
        QApplication::setPalette(QPalette(QColor(0x30, 0x30, 0x30)));
        const auto restore = qScopeGuard([&desktop] { QApplication::setPalette(desktop); });
        TestWindow t;
        QCOMPARE(TestWindow::shownColour(t.frm->client, QPoint(100, 40)), QColor(0xEF, 0xEF, 0xEF));
        QVERIFY(TestWindow::shownColour(t.frm->cmdColor[4], QPoint(4, 20)).lightness() > 200);
        QCOMPARE(t.frm->mnu_Option_Copy->palette().color(QPalette::Window), QColor(0xEF, 0xEF, 0xEF));
        t.frm->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(t.frm.get()));
        for (const char* name : {"VScrColor(1)", "cmdColor(4)", "cmdColor(0)", "cmdColor(2)", "txtColor", "optColor(0)",
                                 "FilPallete", "txtPallete"}) {
            QWidget* widget = t.control(QString::fromLatin1(name));
            if (!widget->isVisible()) { // the list and the name box show in the file panel
                t.frm->cmdColor_Click(0);
            }
            const QImage before = widget->grab().toImage();
            widget->setFocus(Qt::OtherFocusReason);
            QVERIFY2(widget->hasFocus() && widget->grab().toImage() != before, name);
        }
    }

    void japaneseFace_data() {
        QTest::addColumn<QStringList>("families");
        QTest::addColumn<QString>("chosen");
        QTest::addRow("IPAPGothic") << QStringList{"VL PGothic", "IPAGothic", "IPAPGothic"} << "IPAPGothic";
        QTest::addRow("proportional") << QStringList{"VL Gothic", "VL PGothic"} << "VL PGothic";
        QTest::addRow("Japanese sans-serif of a pan-CJK family")
            << QStringList{"Noto Sans CJK KR", "Noto Sans Mono CJK JP", "Noto Serif CJK JP", "Noto Sans CJK JP"}
            << "Noto Sans CJK JP";
        QTest::addRow("a serif face rather than none") << QStringList{"IPAMincho"} << "IPAMincho";
        QTest::addRow("none") << QStringList{} << QString();
        QTest::addRow("a tie, listed one way") << QStringList{"VL Gothic", "TakaoGothic"} << "TakaoGothic";
        QTest::addRow("a tie, listed the other way") << QStringList{"TakaoGothic", "VL Gothic"} << "TakaoGothic";
    }
    void japaneseFace() {
        QFETCH(QStringList, families);
        QFETCH(QString, chosen);
        QCOMPARE(PickJapaneseFamily(families), chosen);
    }

    void disabledTextReadable_data() { // on its own background, at least 3 : 1
        QTest::addColumn<int>("text");
        QTest::addColumn<int>("background");
        QTest::addRow("window text") << int(QPalette::WindowText) << int(QPalette::Window);
        QTest::addRow("text in boxes") << int(QPalette::Text) << int(QPalette::Base);
        QTest::addRow("button text") << int(QPalette::ButtonText) << int(QPalette::Button);
    }
    void disabledTextReadable() {
        QFETCH(int, text);
        QFETCH(int, background);
        const auto shown = [](int role) { return LightPalette().color(QPalette::Disabled, QPalette::ColorRole(role)); };
        QVERIFY2(contrast(shown(text), shown(background)) >= 3, qPrintable(shown(text).name()));
    }

    void menusFitTheBar() {
        for (const char* name : {"IPAPGothic", "VL PGothic", "VL Gothic", "Noto Sans CJK JP"}) {
            const QString family = QString::fromLatin1(name);
            if (QFontDatabase::hasFamily(family)) { // where installed
                TestWindow t;
                QMenuBar* bar = t.frm->menuBar();
                FitMenuBar(bar, family, t.frm->client->width());
                QVERIFY2(QFontInfo(bar->font()).family() == family && bar->font().pointSizeF() >= 7, name);
                QCoreApplication::processEvents();                            // the window lays out the bar anew
                QVERIFY2(!bar->findChild<QToolButton*>()->isVisible(), name); // the overflow button
            }
        }
    }

    void menuBarShrinksToFit_data() { // the width given: beside the last menu at 9 pt
        QTest::addColumn<int>("spare");
        QTest::addColumn<qreal>("points");
        QTest::addRow("one pixel to spare: 9 pt") << 1 << 9.0;
        QTest::addRow("none to spare: 8.5 pt") << 0 << 8.5;
        QTest::addRow("no room at all: 6 pt, no smaller") << -1000 << 6.0;
    }
    void menuBarShrinksToFit() {
        QFETCH(int, spare);
        QFETCH(qreal, points);
        TestWindow t;
        QMenuBar* bar = t.frm->menuBar();
        FitMenuBar(bar, JapaneseFamily(), 10000);
        QCOMPARE(bar->font().pointSizeF(), 9.0);
        FitMenuBar(bar, JapaneseFamily(), bar->actionGeometry(bar->actions().last()).right() + spare);
        QCOMPARE(bar->font().pointSizeF(), points);
    }

    void screenReaders() {
        TestWindow t;
        frmColor& f = *t.frm;
        t.setSliders(255, 10, 0);
        QAccessibleInterface* green = QAccessible::queryAccessibleInterface(f.VScrColor[1]);
        QVERIFY(green->role() == QAccessible::Slider && green->text(QAccessible::Value) == u"10");
        QAccessibleValueInterface* value = green->valueInterface();
        QVERIFY(value->minimumValue() == 0 && value->maximumValue() == 255 && value->currentValue() == 10);
        value->setCurrentValue(300);
        QVERIFY(f.VScrColor[1]->Value() == 255 && f.lblHex->Caption() == u"FFFF00" && nameOf(f.lblHex) == u"FFFF00");
        QCOMPARE(nameOf(f.VScrColor[0]), QStringLiteral("三原色のうち赤の値を変更します"));
        f.lblPallete[3]->setBackColor(0x0080FF);
        QCOMPARE(nameOf(f.lblPallete[3]), QStringLiteral("色見本 4/16 #FF8000"));
        f.lblPallete[15]->setBackColor(-1);
        QCOMPARE(nameOf(f.lblPallete[15]), QStringLiteral("色見本 16/16 表示できない色"));
        QCOMPARE(nameOf(f.lblHex), QStringLiteral("FFFF00")); // a label with a caption reads it
        const auto checkState = [](QWidget* button) {
            const QAccessible::State state = QAccessible::queryAccessibleInterface(button)->state();
            return state.checkable ? QString::fromLatin1(state.checked ? "checked" : "unchecked") : QString();
        };
        QCOMPARE(checkState(f.cmdColor[6]), QStringLiteral("unchecked"));
        f.cmdColor_Click(6);
        QCOMPARE(nameOf(f.cmdColor[6]), QStringLiteral("ウィンドウを常に手前に表示します"));
        QCOMPARE(checkState(f.cmdColor[6]), QStringLiteral("checked"));
        QCOMPARE(checkState(f.cmdColor[5]), QString()); // a picture of a palette is no toggle
        QAccessibleActionInterface* topmost = QAccessible::queryAccessibleInterface(f.cmdColor[6])->actionInterface();
        topmost->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(checkState(f.cmdColor[6]) == u"unchecked" && !f.mnu_Window_Topmost->isChecked());
        QCOMPARE(nameOf(f.cmdColor[2]), QStringLiteral("クリップボードへコピー")); // a caption without a name
        // The copy-format button names the format in force, in the words of its menu item.
        const auto format = [&f] {
            return QAccessible::queryAccessibleInterface(f.cmdColor[4])->text(QAccessible::Description);
        };
        QCOMPARE(format(), QStringLiteral("いまのコピー形式：何もなし（１６進数のみ）"));
        f.cmdColor_Click(4);
        QCOMPARE(format(), QStringLiteral("いまのコピー形式：ＨＴＭＬ用（#～）"));
        f.cmdColor_Click(4);
        QCOMPARE(format(), QStringLiteral("いまのコピー形式：ＶＢ用（&H～）"));
        f.mnu_Copymode[1]->trigger();
        QCOMPARE(format(), QStringLiteral("いまのコピー形式：ＨＴＭＬ用（#～）"));
        for (int panel = 0; panel < 2; ++panel) { // every control shown, then with the file panel open
            for (QWidget* widget : f.client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                QVERIFY2(!widget->isVisibleTo(&f) || !nameOf(widget).isEmpty(), widget->metaObject()->className());
            }
            f.cmdColor_Click(0);
        }
    }

    void codeFitsItsLabel_data() {
        // The label is 105 pixels wide: the style-sheet functions go on two lines.
        QTest::addColumn<int>("format");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("width"); // the label made narrower; 0: as laid out
        QTest::addRow("FFFFFF") << 0 << QColor(255, 255, 255) << 1 << 0;
        QTest::addRow("&H0080FF") << 2 << QColor(255, 128, 0) << 1 << 0;
        QTest::addRow("0xFFFFFF") << 5 << QColor(255, 255, 255) << 1 << 0;
        QTest::addRow("rgb(255, 255, 255)") << 3 << QColor(255, 255, 255) << 2 << 0;
        QTest::addRow("rgb(0, 0, 0), as many lines") << 3 << QColor(0, 0, 0) << 2 << 0;
        QTest::addRow("hsl(299.5, 100%%, 25.1%%)") << 4 << QColor(127, 0, 128) << 2 << 0;
        QTest::addRow("hsl(240, 96.6%%, 11.4%%), the widest") << 4 << QColor(1, 1, 57) << 2 << 0;
        // Where the width is short, not the height: the longer second line sets the size.
        QTest::addRow("the widest in 70 pixels") << 4 << QColor(1, 1, 57) << 2 << 70;
    }
    void codeFitsItsLabel() {
        QFETCH(int, format);
        QFETCH(QColor, colour);
        QFETCH(int, lines);
        QFETCH(int, width);
        TestWindow t;
        frmColor& f = *t.frm;
        if (width > 0) {
            f.lblHex->resize(width, f.lblHex->height());
        }
        f.mnu_Copymode.at(std::size_t(format))->trigger();
        t.setSliders(1, 2, 3); // the format shows from the next change on
        t.setSliders(colour.red(), colour.green(), colour.blue());
        const Ink ink = inkOf(f.lblHex);
        QCOMPARE(ink.lines, lines);
        // Clear of the border on all sides, not cut off; centred within a pixel or two.
        QVERIFY2(ink.left > 1 && ink.right < f.lblHex->width() - 2 && ink.top > 1 &&
                     ink.bottom < f.lblHex->height() - 2,
                 qPrintable(f.lblHex->Caption()));
        QVERIFY(std::abs(ink.left - (f.lblHex->width() - 1 - ink.right)) <= 2);
    }

    void longReadoutFitsTheHintLine() {
        // The ratio as seen with another colour vision makes the longest read-out: smaller, whole.
        TestWindow t;
        frmColor& f = *t.frm;
        const auto naturalWidth = [&f] {
            return QFontMetrics(f.lblExplain->font()).horizontalAdvance(f.lblExplain->Caption());
        };
        f.mnu_Color_Contrast->trigger();
        QCOMPARE(f.lblExplain->Caption(), QStringLiteral("(R255－G255－B255)　21.0:1 AAA"));
        Ink ink = inkOf(f.lblExplain);
        QVERIFY2(std::abs(ink.right - ink.left + 1 - naturalWidth()) <= 3, "a read-out that fits keeps its size");
        f.mnu_Vision[4]->trigger();
        QCOMPARE(f.lblExplain->Caption(), QStringLiteral("(R255－G255－B255)　21.0:1 AAA（1色覚 21.0:1 AAA）"));
        QVERIFY(naturalWidth() > f.lblExplain->width());
        ink = inkOf(f.lblExplain);
        QVERIFY2(ink.left > 1 && ink.right < f.lblExplain->width() - 2 && ink.lines == 1,
                 qPrintable(QStringLiteral("%1..%2").arg(ink.left).arg(ink.right)));
    }

    // A swatch's two actions for screen readers: the left click's and the right click's, the
    // second doing nothing on the basic palette, as the right click.
    void swatchActions() {
        TestWindow t;
        frmColor& f = *t.frm;
        QAccessibleInterface* swatch = QAccessible::queryAccessibleInterface(f.lblPallete[5]);
        QAccessibleActionInterface* actions = swatch->actionInterface();
        QVERIFY(swatch->role() == QAccessible::Button && actions);
        QCOMPARE(actions->actionNames().size(), 2);
        const QString press = actions->actionNames()[0];
        const QString reg = actions->actionNames()[1];
        QCOMPARE(press, QAccessibleActionInterface::pressAction());
        QCOMPARE(actions->localizedActionName(press), QStringLiteral("色選択"));
        QCOMPARE(actions->localizedActionName(reg), QStringLiteral("色登録"));
        QVERIFY(actions->keyBindingsForAction(reg).contains(QStringLiteral("Ctrl+Return")));
        t.setSliders(1, 2, 3);
        actions->doAction(reg);
        QCOMPARE(nameOf(f.lblPallete[5]), QStringLiteral("色見本 6/16 #010203"));
        t.setSliders(9, 9, 9);
        actions->doAction(press);
        QCOMPARE(t.sliders(), (std::array<int, 3>{1, 2, 3}));
        f.mnu_pallete[0]->trigger(); // the basic palette: green at the 6th
        actions->doAction(reg);
        QVERIFY(t.m().MyPalette.at(5, 2) == 3 && nameOf(f.lblPallete[5]) == u"色見本 6/16 #008000");
        actions->doAction(press);
        QCOMPARE(t.sliders(), (std::array<int, 3>{0, 128, 0}));
    }

    // Whatever font, colours and style the desktop gives the application (qt6ct can give all
    // three), the window, its menu bar and its menus look exactly as with Qt's defaults, and a
    // context menu Qt makes for a control takes the same look.
    void ownLookOnAnyDesktop_data() {
        QTest::addColumn<QString>("desktop");
        QTest::newRow("a larger, italic, spaced and capitalised font") << "font";
        QTest::newRow("dark colours") << "palette";
        QTest::newRow("the Windows style") << "style";
    }
    void ownLookOnAnyDesktop() {
        QFETCH(QString, desktop);
        const auto pictures = [](frmColor& f) {
            QList<QImage> shown{f.client->grab().toImage(), f.menuBar()->grab().toImage()};
            for (QMenu* menu : f.menuBar()->findChildren<QMenu*>()) {
                menu->adjustSize();
                shown << menu->grab().toImage();
            }
            return shown;
        };
        // Also what no picture shows: every face and colour that each widget has.
        const auto given = [](frmColor& f) {
            QList<std::pair<QString, QPalette>> faces;
            for (QWidget* widget : f.findChildren<QWidget*>()) {
                faces.append({widget->font().toString(), widget->palette()});
            }
            return faces;
        };
        QList<QImage> plain;
        QList<std::pair<QString, QPalette>> plainFaces;
        {
            TestWindow t;
            // Qt's own default face, as on X11 without a platform theme, the Japanese face behind it.
            QCOMPARE(LayoutFont().toString(), QApplication::font().toString());
            plain = pictures(*t.frm);
            plainFaces = given(*t.frm);
        }
        const QFont font = QApplication::font();
        const QPalette colours = QApplication::palette();
        const auto restore = qScopeGuard([&font, &colours] {
            QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
            QApplication::setFont(font);
            QApplication::setPalette(colours);
        });
        if (desktop == u"font") {
            QFont large(QStringLiteral("Serif"), 12);
            large.setItalic(true);
            large.setCapitalization(QFont::AllUppercase);
            large.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
            large.setStretch(QFont::Expanded);
            QApplication::setFont(large);
        } else if (desktop == u"palette") {
            QPalette dark(QColor(0x30, 0x30, 0x30));
            dark.setColor(QPalette::Link, Qt::yellow); // a colour Fusion's own palette leaves to the desktop
            QApplication::setPalette(dark);
        } else {
            QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
        }
        TestWindow t;
        const QList<QImage> themed = pictures(*t.frm);
        QCOMPARE(themed.size(), plain.size());
        for (qsizetype i = 0; i < plain.size(); ++i) {
            QVERIFY2(themed[i] == plain[i], qPrintable(QStringLiteral("picture %1").arg(i)));
        }
        QVERIFY(given(*t.frm) == plainFaces);
        for (QWidget* widget : t.frm->findChildren<QWidget*>()) {
            QVERIFY2(widget->style() == OwnStyle(), widget->metaObject()->className());
        }
        QContextMenuEvent asked(QContextMenuEvent::Keyboard, QPoint(5, 5), t.frm->txtColor->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(t.frm->txtColor, &asked);
        QMenu* context = t.frm->txtColor->findChild<QMenu*>();
        QVERIFY(context && context->isVisible());
        QVERIFY(context->style() == OwnStyle() && context->font() == LayoutFont() &&
                context->palette().color(QPalette::Window) == QColor(0xEF, 0xEF, 0xEF));
        context->close();
    }

    void windowSystem_data() {
        QTest::addColumn<QByteArrayList>("env"); // QT_QPA_PLATFORM, WAYLAND_DISPLAY, XDG_SESSION_TYPE, DISPLAY
        QTest::addColumn<QByteArray>("asked");
        QTest::addRow("Wayland display and X") << QByteArrayList{"", "wayland-0", "", ":0"} << QByteArray("xcb");
        QTest::addRow("Wayland session and X") << QByteArrayList{"", "", "wayland", ":1"} << QByteArray("xcb");
        QTest::addRow("the user's choice") << QByteArrayList{"wayland", "wayland-0", "", ":0"} << QByteArray();
        QTest::addRow("Wayland without X") << QByteArrayList{"", "wayland-0", "wayland", ""} << QByteArray();
        QTest::addRow("X11 session") << QByteArrayList{"", "", "x11", ":0"} << QByteArray();
    }
    void windowSystem() {
        QFETCH(QByteArrayList, env);
        QFETCH(QByteArray, asked);
        QCOMPARE(WindowSystemFor(env[0], env[1], env[2], env[3]), asked);
    }

    void alwaysOnTopNotOfferedWhereItCannotWork() {
        TestWindow t;
        t.os.keepsOnTop = false;
        frmColor f(t.os);
        f.Form_Load();
        f.cmdColor_Click(0); // the file panel disables and then enables the toolbar
        f.cmdCancel_Click();
        QVERIFY(!f.mnu_Window_Topmost->isEnabled() && !f.cmdColor[6]->isEnabled() && f.cmdColor[5]->isEnabled());
    }
};

QTEST_MAIN(LookTest)
#include "tst_look.moc"
