// How the window looks and reads: slider thumbs and focus marks, its own colours under a dark
// desktop palette, the Japanese font and the menu bar's fit, screen readers, and always on top
// where the window system cannot keep a window there.

#include "app/Appearance.h"
#include "support/TestWindow.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QFontDatabase>
#include <QMenuBar>
#include <QTest>
#include <QToolButton>

namespace {

// The contrast ratio of two colours (1 to 21), from their relative luminance.
double contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto lin = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QString nameOf(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
}

} // namespace

class LookTest : public QObject {
    Q_OBJECT
private slots:
    void sliderThumbStandsOut_data() {
        QTest::addColumn<int>("level");
        for (int level : {0, 1, 128, 254, 255}) {
            QTest::addRow("%d", level) << level;
        }
    }
    void sliderThumbStandsOut() {
        QFETCH(int, level);
        TestWindow t;
        ColorSlider* slider = t.frm->VScrColor[1];
        slider->setValue(level);
        const QRect thumb = TestWindow::sliderPart(slider, QStyle::SC_ScrollBarSlider);
        const QRect track = TestWindow::sliderPart(slider, QStyle::SC_ScrollBarGroove);
        const QColor inThumb = TestWindow::shownColour(slider, QPoint(thumb.left() + 4, thumb.top() + 2));
        const QPoint trackPoint(track.center().x(), level > 128 ? track.bottom() - 4 : track.top() + 4);
        const QColor arrow = TestWindow::shownColour(slider, QPoint(3, level > 128 ? 3 : slider->height() - 4));
        QVERIFY2(contrast(inThumb, TestWindow::shownColour(slider, trackPoint)) >= 3, "thumb against the track");
        QVERIFY2(contrast(inThumb, arrow) >= 3, "thumb against the arrow next to it");
    }

    void focusIsVisible_data() {
        QTest::addColumn<QString>("control");
        for (const char* name :
             {"VScrColor(1)", "cmdColor(4)", "cmdColor(0)", "cmdColor(2)", "txtColor", "optColor(0)"}) {
            QTest::newRow(name) << QString::fromLatin1(name);
        }
    }
    void focusIsVisible() {
        QFETCH(QString, control);
        TestWindow t;
        t.frm->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(t.frm.get()));
        QWidget* widget = t.control(control);
        const QImage before = widget->grab().toImage();
        widget->setFocus(Qt::OtherFocusReason);
        QVERIFY(widget->hasFocus());
        QVERIFY(widget->grab().toImage() != before);
    }

    void lightLookUnderDarkDesktop() {
        const QPalette desktop = QApplication::palette();
        QPalette dark(Qt::white, QColor(0x35, 0x35, 0x35), Qt::gray, Qt::black, Qt::darkGray, Qt::white, Qt::white,
                      QColor(0x20, 0x20, 0x20), QColor(0x30, 0x30, 0x30));
        QApplication::setPalette(dark);
        {
            TestWindow t;
            frmColor& f = *t.frm;
            QCOMPARE(TestWindow::shownColour(f.client, QPoint(100, 40)), QColor(0xEF, 0xEF, 0xEF));
            QVERIFY(TestWindow::shownColour(f.cmdColor[4], QPoint(4, 20)).lightness() > 200);
            QCOMPARE(TestWindow::shownColour(f.txtColor), QColor(Qt::white));
            QCOMPARE(f.mnu_Option_Copy->palette().color(QPalette::Window), QColor(0xEF, 0xEF, 0xEF));
            QCOMPARE(f.optColor[0]->palette().color(QPalette::WindowText), QColor(Qt::black));
        }
        QApplication::setPalette(desktop);
    }

    void japaneseFace_data() {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("IPA first") << QStringList{"VL PGothic", "IPAGothic", "IPAPGothic"} << "IPAPGothic";
        QTest::newRow("VL") << QStringList{"VL Gothic", "VL PGothic"} << "VL PGothic";
        QTest::newRow("Noto") << QStringList{"Noto Sans CJK KR", "Noto Sans Mono CJK JP", "Noto Serif CJK JP",
                                             "Noto Sans CJK JP"}
                              << "Noto Sans CJK JP";
        QTest::newRow("Takao") << QStringList{"TakaoMincho", "TakaoGothic", "TakaoPGothic"} << "TakaoPGothic";
        QTest::newRow("none") << QStringList{} << QString();
    }
    void japaneseFace() {
        QFETCH(QStringList, installed);
        QFETCH(QString, chosen);
        QCOMPARE(PickJapaneseFamily(installed), chosen);
    }

    void menusFitTheBar_data() {
        QTest::addColumn<QString>("family");
        for (const char* family : {"IPAPGothic", "VL PGothic", "VL Gothic", "Noto Sans CJK JP"}) {
            QTest::newRow(family) << QString::fromLatin1(family);
        }
    }
    void menusFitTheBar() {
        QFETCH(QString, family);
        if (!QFontDatabase::hasFamily(family)) {
            QSKIP("font not installed");
        }
        TestWindow t;
        QMenuBar* bar = t.frm->menuBar();
        FitMenuBar(bar, family, t.frm->client->width());
        QCOMPARE(QFontInfo(bar->font()).family(), family);
        QVERIFY(bar->font().pointSizeF() >= 7);
        QCoreApplication::processEvents(); // the window lays out the bar anew
        QVERIFY(bar->actionGeometry(t.frm->mnu_Help->menuAction()).right() < bar->width());
        QVERIFY(!bar->findChild<QToolButton*>()->isVisible()); // the overflow button
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
        QVERIFY(f.VScrColor[1]->Value() == 255 && f.lblHex->Caption() == u"FFFF00");
        QCOMPARE(nameOf(f.VScrColor[0]), QStringLiteral("三原色のうち赤の値を変更します"));
        QCOMPARE(nameOf(f.lblHex), QStringLiteral("FFFF00"));
        QCOMPARE(nameOf(f.lblExplain), f.lblExplain->Caption());
        f.lblPallete[3]->setBackColor(0x0080FF);
        QCOMPARE(nameOf(f.lblPallete[3]), QStringLiteral("#FF8000"));
        QCOMPARE(nameOf(f.cmdColor[6]), QStringLiteral("通常のウインドウ状態です"));
        f.cmdColor_Click(6);
        QCOMPARE(nameOf(f.cmdColor[6]), QStringLiteral("ウィンドウを常に手前に表示します"));
        for (int panel = 0; panel < 2; ++panel) { // every control shown, then with the file panel open
            for (QWidget* widget : f.client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                QVERIFY2(!widget->isVisibleTo(&f) || !nameOf(widget).isEmpty(), widget->metaObject()->className());
            }
            f.cmdColor_Click(0);
        }
    }

    void windowSystem_data() {
        QTest::addColumn<QByteArray>("chosen");
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<QByteArray>("session");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("asked");
        QTest::newRow("Wayland with X11")
            << QByteArray() << QByteArray("wayland-0") << QByteArray() << QByteArray(":0") << QByteArray("xcb");
        QTest::newRow("Wayland session") << QByteArray() << QByteArray() << QByteArray("wayland") << QByteArray(":1")
                                         << QByteArray("xcb");
        QTest::newRow("chosen by the user")
            << QByteArray("wayland") << QByteArray("wayland-0") << QByteArray() << QByteArray(":0") << QByteArray();
        QTest::newRow("Wayland only") << QByteArray() << QByteArray("wayland-0") << QByteArray() << QByteArray()
                                      << QByteArray();
        QTest::newRow("X11") << QByteArray() << QByteArray() << QByteArray("x11") << QByteArray(":0") << QByteArray();
    }
    void windowSystem() {
        QFETCH(QByteArray, chosen);
        QFETCH(QByteArray, wayland);
        QFETCH(QByteArray, session);
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, asked);
        QCOMPARE(WindowSystemFor(chosen, wayland, session, display), asked);
    }

    void alwaysOnTopNotOfferedWhereItCannotWork() {
        TestWindow t;
        t.os.keepsOnTop = false;
        frmColor f(t.os);
        f.Form_Load();
        QVERIFY(!f.mnu_Window_Topmost->isEnabled() && !f.cmdColor[6]->isEnabled());
        f.cmdColor_Click(0); // the file panel disables and then enables the toolbar
        f.cmdCancel_Click();
        QVERIFY(!f.cmdColor[6]->isEnabled() && f.cmdColor[5]->isEnabled());
        QVERIFY(t.frm->mnu_Window_Topmost->isEnabled() && t.frm->cmdColor[6]->isEnabled());
    }
};

QTEST_MAIN(LookTest)
#include "tst_look.moc"
