// The window as created: size, control positions, fonts, stacking, tab order, buttons, menus.

#include "app/Main.h"
#include "support/TestWindow.h"

#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <map>
#include <tuple>

namespace {

// One control by name and index, as the layout table names it.
QWidget* control(frmColor& f, const QString& name, int i = 0) {
    const auto at = static_cast<std::size_t>(i);
    if (name == u"cmdColor") {
        return f.cmdColor.at(at);
    }
    if (name == u"optColor") {
        return f.optColor.at(at);
    }
    if (name == u"VScrColor") {
        return f.VScrColor.at(at);
    }
    if (name == u"lblPallete") {
        return f.lblPallete.at(at);
    }
    if (name == u"Label1") {
        return f.Label1.at(at);
    }
    const std::map<QString, QWidget*> single{
        {QStringLiteral("cmdCancel"), f.cmdCancel},   {QStringLiteral("cmdOK"), f.cmdOK},
        {QStringLiteral("txtPallete"), f.txtPallete}, {QStringLiteral("FilPallete"), f.FilPallete},
        {QStringLiteral("txtColor"), f.txtColor},     {QStringLiteral("lblHex"), f.lblHex},
        {QStringLiteral("lblExplain"), f.lblExplain},
    };
    return single.at(name);
}

QRect fromTwips(int l, int t, int w, int h) {
    // Every design value of the window is a whole number of pixels (15 twips each).
    for (int v : {l, t, w, h}) {
        if (v % 15 != 0) {
            qFatal("layout value %d is not a whole pixel", v);
        }
    }
    return {l / 15, t / 15, w / 15, h / 15};
}

const QString Gothic = QStringLiteral("ＭＳ Ｐゴシック");
const QString Times = QStringLiteral("Times New Roman");

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutions(); }
    void clientAreaIsFixed();
    void geometryAtCreation_data();
    void geometryAtCreation();
    void fonts_data();
    void fonts();
    void labelsLieBeneath();
    void tabOrder();
    void enterDoesNothing();
    void labelsTakeNoFocus();
    void menus();
    void f1OpensHelpFromAnywhere();
};

void LayoutTest::clientAreaIsFixed() {
    TestWindow t;
    QCOMPARE(t.frm->client->size(), QSize(307, 258));
    QCOMPARE(t.frm->client->minimumSize(), QSize(307, 258));
    QCOMPARE(t.frm->client->maximumSize(), QSize(307, 258));
    // The client area starts right under the menu bar and the window is no larger than both.
    QCOMPARE(t.frm->client->y(), t.frm->menuBar()->height());
    QCOMPARE(t.frm->size(), QSize(307, 258 + t.frm->menuBar()->height()));
    t.frm->resize(500, 500);
    QTest::qWait(10);
    QCOMPARE(t.frm->client->size(), QSize(307, 258));
}

void LayoutTest::geometryAtCreation_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<QRect>("rect");
    auto row = [](const char* name, int i, int l, int tp, int w, int h) {
        QTest::addRow("%s(%d)", name, i) << QString::fromLatin1(name) << i << fromTwips(l, tp, w, h);
    };
    row("cmdColor", 7, 3960, 2760, 615, 615);
    row("cmdColor", 5, 2760, 2760, 615, 615);
    row("cmdColor", 3, 1560, 2760, 615, 615);
    row("cmdColor", 2, 1560, 2280, 3015, 495);
    row("cmdColor", 1, 4020, 1920, 495, 375);
    row("cmdColor", 0, 3540, 1920, 495, 375);
    row("cmdCancel", 0, 5520, 2400, 735, 495);
    row("cmdOK", 0, 4800, 2400, 735, 495);
    row("txtPallete", 0, 4800, 1920, 1455, 375);
    row("FilPallete", 0, 4800, 0, 1455, 1845);
    row("optColor", 1, 3360, 840, 855, 300);
    row("optColor", 0, 3360, 600, 855, 300);
    row("txtColor", 0, 1560, 0, 3015, 495);
    row("VScrColor", 0, 0, 480, 495, 2895);
    row("VScrColor", 2, 960, 480, 495, 2895);
    row("lblPallete", 0, 1620, 1200, 495, 375);
    row("lblPallete", 5, 4020, 1200, 495, 375);
    row("lblPallete", 6, 1620, 1560, 495, 375);
    row("lblPallete", 11, 4020, 1560, 495, 375);
    row("lblPallete", 12, 1620, 1920, 495, 375);
    row("lblPallete", 15, 3060, 1920, 495, 375);
    row("lblHex", 0, 1560, 600, 1575, 495);
    row("lblExplain", 0, 0, 3480, 4575, 375);
    row("Label1", 0, 0, 0, 495, 3375);
    row("Label1", 1, 480, 0, 495, 375);
    row("Label1", 2, 960, 0, 495, 375);
}

void LayoutTest::geometryAtCreation() {
    QFETCH(QString, name);
    QFETCH(int, index);
    QFETCH(QRect, rect);
    platform::FakePlatform os;
    frmColor f(os); // created, not loaded: the design layout
    QWidget* w = control(f, name, index);
    QCOMPARE(w->parentWidget(), f.client);
    QCOMPARE(w->geometry(), rect);
    QVERIFY(!w->isHidden());
    QVERIFY(w->isEnabled());
}

void LayoutTest::fonts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("family");
    QTest::addColumn<qreal>("points");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QString>("resolved");
    QTest::newRow("cmdColor(2)") << "cmdColor" << 2 << Gothic << 12.0 << false << "IPAPGothic";
    QTest::newRow("txtPallete") << "txtPallete" << 0 << Gothic << 9.75 << false << "IPAPGothic";
    QTest::newRow("FilPallete") << "FilPallete" << 0 << Gothic << 9.75 << false << "IPAPGothic";
    QTest::newRow("txtColor") << "txtColor" << 0 << Gothic << 14.25 << true << "IPAPGothic";
    QTest::newRow("lblHex") << "lblHex" << 0 << Gothic << 12.0 << false << "IPAPGothic";
    QTest::newRow("lblExplain") << "lblExplain" << 0 << Gothic << 12.0 << true << "IPAPGothic";
    for (int i = 0; i < 3; ++i) {
        QTest::addRow("Label1(%d)", i) << "Label1" << i << Times << 20.25 << true << "Liberation Serif";
    }
}

void LayoutTest::fonts() {
    QFETCH(QString, name);
    QFETCH(int, index);
    QFETCH(QString, family);
    QFETCH(qreal, points);
    QFETCH(bool, bold);
    QFETCH(QString, resolved);
    TestWindow t;
    const QFont font = control(*t.frm, name, index)->font();
    QCOMPARE(font.family(), family);
    QCOMPARE(font.pointSizeF(), points);
    QCOMPARE(font.bold(), bold);
    QCOMPARE(font.weight(), bold ? QFont::Bold : QFont::Normal);
    QVERIFY(!font.italic() && !font.underline() && !font.strikeOut());
    QCOMPARE(QFontInfo(font).family(), resolved);
}

void LayoutTest::labelsLieBeneath() {
    TestWindow t;
    frmColor& f = *t.frm;
    // The tall "R" shows only above its slider; 600 twips down the slider is on top.
    QCOMPARE(f.client->childAt(16, 600 / 15), f.VScrColor[0]);
    QCOMPARE(f.client->childAt(16, 300 / 15), f.Label1[0]);
    QCOMPARE(f.client->childAt(48, 300 / 15), f.Label1[1]);
    // Under "G" and "B", between 375 and 480 twips, lies the bare window area.
    QCOMPARE(f.client->childAt(48, 420 / 15), nullptr);
    QCOMPARE(f.client->childAt(80, 420 / 15), nullptr);
    // Neighbouring swatches share their border line: the shared pixel column is the right one's.
    QCOMPARE(f.lblPallete[0]->geometry().right(), f.lblPallete[1]->geometry().left());
    QCOMPARE(f.lblPallete[0]->geometry().bottom(), f.lblPallete[6]->geometry().top());
}

void LayoutTest::tabOrder() {
    TestWindow t;
    frmColor& f = *t.frm;
    const QList<QWidget*> expected{f.VScrColor[0], f.VScrColor[1], f.VScrColor[2], f.cmdColor[0], f.txtColor,
                                   f.optColor[0],  f.optColor[1],  f.FilPallete,   f.txtPallete,  f.cmdOK,
                                   f.cmdCancel,    f.cmdColor[1],  f.cmdColor[2],  f.cmdColor[3], f.cmdColor[4],
                                   f.cmdColor[5],  f.cmdColor[6],  f.cmdColor[7]};
    QList<QWidget*> chain;
    QWidget* w = f.VScrColor[0];
    do {
        if (expected.contains(w)) {
            chain.append(w);
        }
        w = w->nextInFocusChain();
    } while (w != f.VScrColor[0] && chain.size() < 40);
    QCOMPARE(chain, expected);

    // Tabbing through the loaded window skips the hidden panel and every label.
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    f.VScrColor[0]->setFocus();
    QList<QWidget*> visited;
    for (int i = 0; i < 13; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget());
    }
    const QList<QWidget*> tabbed{f.VScrColor[1], f.VScrColor[2], f.cmdColor[0], f.txtColor,    f.optColor[0],
                                 f.cmdColor[1],  f.cmdColor[2],  f.cmdColor[3], f.cmdColor[4], f.cmdColor[5],
                                 f.cmdColor[6],  f.cmdColor[7],  f.VScrColor[0]};
    QCOMPARE(visited, tabbed);
}

void LayoutTest::enterDoesNothing() {
    TestWindow t;
    frmColor& f = *t.frm;
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    for (QPushButton* button : f.findChildren<QPushButton*>()) {
        QVERIFY2(!button->isDefault() && !button->autoDefault(), qPrintable(button->text()));
    }
    // Enter and Return on each focusable control of the running window change nothing.
    for (QWidget* w : QList<QWidget*>{f.VScrColor[0], f.cmdColor[2], f.cmdColor[3], f.cmdColor[4], f.cmdColor[5],
                                      f.cmdColor[6], f.cmdColor[7], f.optColor[1]}) {
        w->setFocus();
        QTest::keyClick(w, Qt::Key_Return);
        QTest::keyClick(w, Qt::Key_Enter);
        QTest::keyClick(w, Qt::Key_Escape);
    }
    QVERIFY(f.isVisible());
    QCOMPARE(t.m().CopyMode, 0);
    QCOMPARE(t.m().ColorMode, 0);
    QVERIFY(!t.m().ShowingBasicPalette && !t.m().IsTopmost && t.m().EditingBackground);
    QCOMPARE(t.os.clipboardClears, 0);
    QVERIFY(t.os.alwaysOnTopCalls.isEmpty() && t.os.quitHelpFiles.isEmpty());

    // In the file panel Enter in the name box saves nothing and Escape does not go back.
    TestWindow::click(f.cmdColor[0]);
    TestWindow::click(f.txtPallete);
    QTest::keyClicks(f.txtPallete, QStringLiteral("typed"));
    QTest::keyClick(f.txtPallete, Qt::Key_Return);
    QTest::keyClick(f.txtPallete, Qt::Key_Escape);
    QVERIFY(!QFile::exists(t.path(QStringLiteral("typed.pdt"))));
    QVERIFY(t.m().FilePanelOpen && f.txtPallete->isVisible());
}

void LayoutTest::labelsTakeNoFocus() {
    TestWindow t;
    frmColor& f = *t.frm;
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QList<QWidget*> labels{f.lblHex, f.lblExplain, f.Label1[0], f.Label1[1], f.Label1[2]};
    for (Label* swatch : f.lblPallete) {
        labels.append(swatch);
    }
    f.VScrColor[1]->setFocus();
    for (QWidget* label : labels) {
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
        TestWindow::click(label, QPoint(5, 5));
        QCOMPARE(QApplication::focusWidget(), f.VScrColor[1]);
    }
}

void LayoutTest::menus() {
    platform::FakePlatform os;
    frmColor f(os);
    const QList<QAction*> tops = f.menuBar()->actions();
    QCOMPARE(tops.size(), 4);
    const QStringList titles{QStringLiteral("カラー（&C）"), QStringLiteral("基本設定（&O）"),
                             QStringLiteral("パレット（&P）"), QStringLiteral("ヘルプ（&H）")};
    const QList<QKeySequence> keys{QKeySequence(Qt::ALT | Qt::Key_C), QKeySequence(Qt::ALT | Qt::Key_O),
                                   QKeySequence(Qt::ALT | Qt::Key_P), QKeySequence(Qt::ALT | Qt::Key_H)};
    for (qsizetype i = 0; i < 4; ++i) {
        QCOMPARE(tops[i]->text(), titles[i]);
        QCOMPARE(QKeySequence::mnemonic(tops[i]->text()), keys[i]);
    }
    QCOMPARE(f.mnu_Color->actions(), (QList<QAction*>{f.mnu_Color_full, f.mnu_Color_216}));
    QCOMPARE(f.mnu_option->actions(),
             (QList<QAction*>{f.mnu_Option_Window->menuAction(), f.mnu_Option_Copy->menuAction()}));
    QCOMPARE(f.mnu_Option_Window->actions(), QList<QAction*>{f.mnu_Window_Topmost});
    QCOMPARE(f.mnu_Option_Copy->actions(), (QList<QAction*>{f.mnu_Copymode[0], f.mnu_Copymode[1], f.mnu_Copymode[2]}));
    QCOMPARE(f.mnu_based->actions(), (QList<QAction*>{f.mnu_pallete[0], f.mnu_pallete[1]}));
    QCOMPARE(f.mnu_Help->actions(), (QList<QAction*>{f.mnu_Help_Help, f.mnu_ver}));

    const std::vector<std::tuple<MenuItem*, const char*, bool>> items{
        {f.mnu_Color_full, "フルカラー（1677万色）", true}, {f.mnu_Color_216, "216色", false},
        {f.mnu_Window_Topmost, "常に手前に表示", false},    {f.mnu_Copymode[0], "何もなし（１６進数のみ）", true},
        {f.mnu_Copymode[1], "ＨＴＭＬ用（#～）", false},    {f.mnu_Copymode[2], "ＶＢ用（&&H～）", false},
        {f.mnu_pallete[0], "１６色パレット", false},        {f.mnu_pallete[1], "マイパレット", true},
        {f.mnu_Help_Help, "ヘルプ（&H）", false},           {f.mnu_ver, "バージョン", false},
    };
    for (const auto& [item, caption, checked] : items) {
        QCOMPARE(item->text(), QString::fromUtf8(caption));
        QCOMPARE(item->Checked(), checked);
        QVERIFY(item->isEnabled() && item->isVisible() && !item->isSeparator());
    }
    // The doubled ampersand shows one and marks no access key.
    QVERIFY(QKeySequence::mnemonic(f.mnu_Copymode[2]->text()).isEmpty());
    QCOMPARE(QKeySequence::mnemonic(f.mnu_Help_Help->text()), QKeySequence(Qt::ALT | Qt::Key_H));
    QCOMPARE(f.mnu_Help_Help->shortcut(), QKeySequence(Qt::Key_F1));
    // Every swatch is white before anything is chosen.
    for (Label* swatch : f.lblPallete) {
        QCOMPARE(swatch->BackColor(), 0xFFFFFF);
    }
}

void LayoutTest::f1OpensHelpFromAnywhere() {
    TestWindow t;
    frmColor& f = *t.frm;
    f.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    const QString help = t.path(QStringLiteral("swatchly.hlp"));
    for (QWidget* w : QList<QWidget*>{f.VScrColor[0], f.txtColor, f.cmdColor[2], f.optColor[0]}) {
        w->setFocus();
        QTest::keyClick(w, Qt::Key_F1);
    }
    // The help menu stays usable while the file panel has taken over the window.
    TestWindow::click(f.cmdColor[1]);
    f.FilPallete->setFocus();
    QTest::keyClick(f.FilPallete, Qt::Key_F1);
    QCOMPARE(t.os.openedHelp, QStringList(5, help));
    QVERIFY(t.os.messageBoxes.isEmpty());
}

QTEST_MAIN(LayoutTest)
#include "tst_layout.moc"
