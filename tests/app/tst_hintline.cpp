// The hint line, fed by real mouse moves over the shown window.

#include "resources/StringTable.h"
#include "support/TestWindow.h"

#include <QCursor>
#include <QMenuBar>
#include <QTest>

namespace {

const QString Untouched = QStringLiteral("(untouched)");

// Moves the mouse in from outside the window onto a point of a control, with the hint line
// reset beforehand, and returns what the hint line says then.
QString hintAt(frmColor& f, QWidget* w, QPoint at = {}) {
    QCursor::setPos(f.geometry().bottomRight() + QPoint(200, 200));
    QCoreApplication::processEvents();
    f.lblExplain->setCaption(Untouched);
    TestWindow::hover(w, at);
    return f.lblExplain->Caption();
}

QWidget* control(frmColor& f, const QString& name, int i) {
    const auto at = static_cast<std::size_t>(i);
    if (name == u"cmdColor") {
        return f.cmdColor.at(at);
    }
    if (name == u"optColor") {
        return f.optColor.at(at);
    }
    if (name == u"lblPallete") {
        return f.lblPallete.at(at);
    }
    if (name == u"Label1") {
        return f.Label1.at(at);
    }
    if (name == u"txtColor") {
        return f.txtColor;
    }
    return name == u"lblHex" ? static_cast<QWidget*>(f.lblHex) : f.lblExplain;
}

} // namespace

class HintLineTest : public QObject {
    Q_OBJECT
private slots:
    void controlTexts_data();
    void controlTexts();
    void moveWithoutEnteringStillUpdates();
    void topmostHintFollowsState();
    void paletteHintsFollowState();
    void panelHints_data();
    void panelHints();
    void allSwatchesSayTheSame();
    void bareAreaShowsReadoutOnlyWhilePanelClosed();
    void sliderLeavesHint();
    void stripUnderTheLetters();
    void disabledControlIsHarmless();
};

void HintLineTest::controlTexts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("id");
    const std::array<int, 8> buttons{137, 138, 103, 139, 140, 157, 142, 101};
    for (int i = 0; i < 8; ++i) {
        QTest::addRow("cmdColor(%d)", i) << "cmdColor" << i << buttons[static_cast<std::size_t>(i)];
    }
    QTest::newRow("optColor(0)") << "optColor" << 0 << 146;
    QTest::newRow("optColor(1)") << "optColor" << 1 << 147;
    QTest::newRow("txtColor") << "txtColor" << 0 << 105;
    QTest::newRow("lblHex") << "lblHex" << 0 << 145;
    QTest::newRow("lblExplain") << "lblExplain" << 0 << 102;
    QTest::newRow("lblPallete(9)") << "lblPallete" << 9 << 136;
    QTest::newRow("R") << "Label1" << 0 << 158;
    QTest::newRow("G") << "Label1" << 1 << 159;
    QTest::newRow("B") << "Label1" << 2 << 160;
}

void HintLineTest::controlTexts() {
    QFETCH(QString, name);
    QFETCH(int, index);
    QFETCH(int, id);
    TestWindow t;
    QWidget* w = control(*t.frm, name, index);
    // The letters answer above their sliders only.
    const QPoint at = name == u"Label1" ? QPoint(16, 12) : QPoint();
    QVERIFY(!LoadResString(id).isEmpty());
    QCOMPARE(hintAt(*t.frm, w, at), LoadResString(id));
    QVERIFY(t.os.messageBoxes.isEmpty());
}

void HintLineTest::moveWithoutEnteringStillUpdates() {
    // Moves inside one control keep writing its hint, e.g. after the read-out replaced it.
    TestWindow t;
    frmColor& f = *t.frm;
    QCOMPARE(hintAt(f, f.txtColor, QPoint(10, 10)), LoadResString(105));
    f.VScrColor[1]->setValue(7);
    QCOMPARE(f.lblExplain->Caption(), QStringLiteral("(R255－G7－B255)"));
    TestWindow::hover(f.txtColor, QPoint(20, 10));
    QCOMPARE(f.lblExplain->Caption(), LoadResString(105));
}

void HintLineTest::topmostHintFollowsState() {
    TestWindow t;
    frmColor& f = *t.frm;
    QCOMPARE(hintAt(f, f.cmdColor[6]), LoadResString(142));
    TestWindow::click(f.cmdColor[6]);
    QCOMPARE(f.lblExplain->Caption(), LoadResString(142)); // a click writes no hint
    TestWindow::hover(f.cmdColor[6], QPoint(10, 10));
    QCOMPARE(f.lblExplain->Caption(), LoadResString(141));
    TestWindow::click(f.cmdColor[6]);
    QCOMPARE(hintAt(f, f.cmdColor[6]), LoadResString(142));
}

void HintLineTest::paletteHintsFollowState() {
    TestWindow t;
    frmColor& f = *t.frm;
    TestWindow::click(f.cmdColor[5]);
    QCOMPARE(hintAt(f, f.lblPallete[3]), LoadResString(148));
    QCOMPARE(hintAt(f, f.cmdColor[5]), LoadResString(156));
    TestWindow::click(f.cmdColor[5]);
    QCOMPARE(hintAt(f, f.lblPallete[3]), LoadResString(136));
    QCOMPARE(hintAt(f, f.cmdColor[5]), LoadResString(157));
    // The palette menu leads to the same hints.
    f.mnu_pallete[0]->trigger();
    QCOMPARE(hintAt(f, f.lblPallete[14]), LoadResString(148));
    QCOMPARE(hintAt(f, f.cmdColor[5]), LoadResString(156));
}

void HintLineTest::panelHints_data() {
    QTest::addColumn<bool>("saving");
    QTest::addColumn<QList<int>>("ids"); // list, name box, OK, back
    QTest::newRow("saving") << true << QList<int>{149, 151, 152, 154};
    QTest::newRow("loading") << false << QList<int>{150, 0, 153, 155};
}

void HintLineTest::panelHints() {
    QFETCH(bool, saving);
    QFETCH(QList<int>, ids);
    TestWindow t;
    frmColor& f = *t.frm;
    t.writeFile(QStringLiteral("a.pdt"), QByteArray(192, '\0'));
    TestWindow::click(f.cmdColor[saving ? 0 : 1]);
    QVERIFY(f.cmdOK->isEnabled());
    QCOMPARE(hintAt(f, f.FilPallete->viewport()), LoadResString(ids[0]));
    QCOMPARE(hintAt(f, f.FilPallete, QPoint(1, 1)), LoadResString(ids[0])); // on its frame
    if (saving) {
        QCOMPARE(hintAt(f, f.txtPallete), LoadResString(ids[1]));
    } else {
        QVERIFY(f.txtPallete->isHidden());
    }
    QCOMPARE(hintAt(f, f.cmdOK), LoadResString(ids[2]));
    QCOMPARE(hintAt(f, f.cmdCancel), LoadResString(ids[3]));
    // The help menu and the quit button keep working while the panel is open.
    QCOMPARE(hintAt(f, f.cmdColor[7]), LoadResString(101));
}

void HintLineTest::allSwatchesSayTheSame() {
    TestWindow t;
    for (Label* swatch : t.frm->lblPallete) {
        QCOMPARE(hintAt(*t.frm, swatch), LoadResString(136));
    }
    const QStringList letters{hintAt(*t.frm, t.frm->Label1[0], QPoint(16, 5)),
                              hintAt(*t.frm, t.frm->Label1[1], QPoint(16, 5)),
                              hintAt(*t.frm, t.frm->Label1[2], QPoint(16, 5))};
    QCOMPARE(letters, (QStringList{LoadResString(158), LoadResString(159), LoadResString(160)}));
    QCOMPARE(QSet<QString>(letters.begin(), letters.end()).size(), 3);
}

void HintLineTest::bareAreaShowsReadoutOnlyWhilePanelClosed() {
    TestWindow t;
    frmColor& f = *t.frm;
    f.VScrColor[0]->setValue(1);
    f.VScrColor[1]->setValue(20);
    f.VScrColor[2]->setValue(0);
    const QString readout = QStringLiteral("(R1－G20－B0)");
    TestWindow::hover(f.cmdColor[3]);
    QCOMPARE(f.lblExplain->Caption(), LoadResString(139));
    TestWindow::hover(f.client, QPoint(216, 50)); // from the button straight onto the bare area
    QCOMPARE(f.lblExplain->Caption(), readout);
    QCOMPARE(hintAt(f, f.client, QPoint(306, 5)), readout);

    TestWindow::click(f.cmdColor[1]);
    TestWindow::hover(f.cmdCancel);
    QCOMPARE(f.lblExplain->Caption(), LoadResString(155));
    TestWindow::hover(f.client, QPoint(216, 50));
    QCOMPARE(f.lblExplain->Caption(), LoadResString(155)); // the last hint stays
    QCOMPARE(hintAt(f, f.client, QPoint(306, 5)), Untouched);

    TestWindow::click(f.cmdCancel);
    QCOMPARE(hintAt(f, f.client, QPoint(216, 50)), readout);
}

void HintLineTest::sliderLeavesHint() {
    TestWindow t;
    frmColor& f = *t.frm;
    TestWindow::hover(f.lblHex);
    QCOMPARE(f.lblExplain->Caption(), LoadResString(145));
    for (ColorSlider* slider : f.VScrColor) {
        TestWindow::hover(slider);
        TestWindow::hover(slider, QPoint(5, 150));
    }
    QCOMPARE(f.lblExplain->Caption(), LoadResString(145));
    // The tall R below its top strip is covered by the red slider.
    TestWindow::hover(f.client, QPoint(16, 100));
    QCOMPARE(f.lblExplain->Caption(), LoadResString(145));
    // Nor does the menu bar have a hint.
    QCOMPARE(hintAt(f, f.menuBar(), QPoint(f.menuBar()->width() - 3, 3)), Untouched);
}

void HintLineTest::stripUnderTheLetters() {
    TestWindow t;
    frmColor& f = *t.frm;
    const QString readout = f.SliderReadout();
    // 375..480 twips is y 25..31: still the tall R, bare area under G and B.
    for (int y : {25, 28, 31}) {
        QCOMPARE(hintAt(f, f.client, QPoint(16, y)), LoadResString(158));
        QCOMPARE(hintAt(f, f.client, QPoint(48, y)), readout);
        QCOMPARE(hintAt(f, f.client, QPoint(80, y)), readout);
    }
    QCOMPARE(hintAt(f, f.client, QPoint(16, 0)), LoadResString(158));
    QCOMPARE(hintAt(f, f.client, QPoint(48, 24)), LoadResString(159));
    QCOMPARE(hintAt(f, f.client, QPoint(80, 24)), LoadResString(160));
    QCOMPARE(hintAt(f, f.client, QPoint(16, 32)), Untouched); // the red slider
}

void HintLineTest::disabledControlIsHarmless() {
    TestWindow t;
    frmColor& f = *t.frm;
    TestWindow::click(f.cmdColor[5]); // the file buttons are disabled now
    for (int i : {0, 1}) {
        const QString hint = hintAt(f, f.cmdColor.at(static_cast<std::size_t>(i)));
        QVERIFY2(hint == Untouched || hint == LoadResString(137 + i), qPrintable(hint));
    }
    // Loading from an empty folder: the OK button stays disabled.
    TestWindow::click(f.cmdColor[5]);
    TestWindow::click(f.cmdColor[1]);
    QVERIFY(!f.cmdOK->isEnabled());
    const QString hint = hintAt(f, f.cmdOK);
    QVERIFY2(hint == Untouched || hint == LoadResString(153), qPrintable(hint));
    const QString swatch = hintAt(f, f.lblPallete[0]);
    QVERIFY2(swatch == Untouched || swatch == LoadResString(136), qPrintable(swatch));
    QVERIFY(t.os.messageBoxes.isEmpty());
    QCOMPARE(hintAt(f, f.cmdCancel), LoadResString(155));
}

QTEST_MAIN(HintLineTest)
#include "tst_hintline.moc"
