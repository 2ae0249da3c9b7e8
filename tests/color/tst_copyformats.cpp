// The three copy formats: the menu, the copy-format button and the copy to the clipboard.

#include "app/Main.h"
#include "platform/QtPlatform.h"
#include "support/TestWindow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QTest>

namespace {

// R 255, G 128, B 0, as the user would set it up.
void orange(frmColor& f) {
    f.VScrColor[1]->setValue(128);
    f.VScrColor[2]->setValue(0);
}

void checkMenu(frmColor& f, int mode) {
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(f.mnu_Copymode[static_cast<std::size_t>(i)]->isChecked(), i == mode);
    }
}

} // namespace

class CopyFormatsTest : public QObject {
    Q_OBJECT

private slots:
    void menuMovesCheckAndPictureButNotTheCode_data();
    void menuMovesCheckAndPictureButNotTheCode();
    void buttonStepsThroughFormats();
    void copyPutsExactlyTheShownCode_data();
    void copyPutsExactlyTheShownCode();
    void copyRightAfterStart();
    void realClipboardHoldsOnlyTheText();
};

void CopyFormatsTest::menuMovesCheckAndPictureButNotTheCode_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("nextCode");
    QTest::newRow("HTML") << 1 << 106 << QStringLiteral("#FF8001");
    QTest::newRow("&H") << 2 << 105 << QStringLiteral("&H0180FF");
    QTest::newRow("digits again") << 0 << 104 << QStringLiteral("FF8001");
}

void CopyFormatsTest::menuMovesCheckAndPictureButNotTheCode() {
    QFETCH(int, mode);
    QFETCH(int, icon);
    QFETCH(QString, nextCode);
    TestWindow t;
    frmColor& f = *t.frm;
    // Start from another format, so that every row moves the check.
    f.mnu_Copymode[mode == 0 ? 2 : 0]->trigger();
    orange(f);
    const QString shown = f.lblHex->Caption();

    f.mnu_Copymode[static_cast<std::size_t>(mode)]->trigger();
    QCOMPARE(t.m().CopyMode, mode);
    checkMenu(f, mode);
    QCOMPARE(f.cmdColor[4]->Picture(), icon);
    // The label, and so the copy, keep the old format until the colour next changes.
    QCOMPARE(f.lblHex->Caption(), shown);
    TestWindow::click(f.cmdColor[2]);
    QCOMPARE(t.os.clipboard, shown);

    // Choosing the checked item again changes nothing.
    f.mnu_Copymode[static_cast<std::size_t>(mode)]->trigger();
    checkMenu(f, mode);
    QCOMPARE(f.cmdColor[4]->Picture(), icon);
    QCOMPARE(f.lblHex->Caption(), shown);

    f.VScrColor[2]->setFocus();
    QTest::keyClick(f.VScrColor[2], Qt::Key_Up);
    QCOMPARE(f.lblHex->Caption(), nextCode);
    TestWindow::click(f.cmdColor[2]);
    QCOMPARE(t.os.clipboard, nextCode);
    QVERIFY(t.os.messageBoxes.isEmpty());
}

void CopyFormatsTest::buttonStepsThroughFormats() {
    TestWindow t;
    frmColor& f = *t.frm;
    orange(f);
    QCOMPARE(f.cmdColor[4]->Picture(), 104);
    const struct {
        int mode;
        int icon;
        const char16_t* code;
    } expected[] = {{1, 106, u"#FF8000"}, {2, 105, u"&H0080FF"}, {0, 104, u"FF8000"}, {1, 106, u"#FF8000"}};
    for (const auto& step : expected) {
        TestWindow::click(f.cmdColor[4]);
        QCOMPARE(t.m().CopyMode, step.mode);
        QCOMPARE(f.cmdColor[4]->Picture(), step.icon);
        checkMenu(f, step.mode);
        // The button, unlike the menu, shows the new format at once.
        QCOMPARE(f.lblHex->Caption(), QString::fromUtf16(step.code));
    }
}

void CopyFormatsTest::copyPutsExactlyTheShownCode_data() {
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QString>("code");
    QTest::newRow("digits") << 0 << QStringLiteral("FF8000");
    QTest::newRow("HTML") << 1 << QStringLiteral("#FF8000");
    QTest::newRow("&H, one ampersand") << 2 << QStringLiteral("&H0080FF");
}

void CopyFormatsTest::copyPutsExactlyTheShownCode() {
    QFETCH(int, clicks);
    QFETCH(QString, code);
    TestWindow t;
    frmColor& f = *t.frm;
    orange(f);
    for (int i = 0; i < clicks; ++i) {
        TestWindow::click(f.cmdColor[4]);
    }
    QCOMPARE(f.lblHex->Caption(), code);
    t.os.clipboard = QStringLiteral("something else");

    TestWindow::click(f.cmdColor[2]);
    QCOMPARE(t.os.clipboardClears, 1);
    QCOMPARE(t.os.clipboardTexts, QStringList{code});
    // Set after the clear: the clipboard holds the code.
    QCOMPARE(t.os.clipboard, code);
    QCOMPARE(t.os.clipboard.count(QLatin1Char('&')), clicks == 2 ? 1 : 0);
    QVERIFY(t.os.messageBoxes.isEmpty());
}

void CopyFormatsTest::copyRightAfterStart() {
    TestWindow t;
    TestWindow::click(t.frm->cmdColor[2]);
    QCOMPARE(t.os.clipboard, QStringLiteral("FFFFFF"));
}

void CopyFormatsTest::realClipboardHoldsOnlyTheText() {
    platform::QtPlatform os;
    InstallFontSubstitutions();
    frmColor f(os);
    f.Form_Load();
    orange(f);
    TestWindow::click(f.cmdColor[4]);
    TestWindow::click(f.cmdColor[4]);
    QCOMPARE(f.lblHex->Caption(), QStringLiteral("&H0080FF"));

    // Whatever another program left there, in several formats.
    auto* before = new QMimeData;
    before->setHtml(QStringLiteral("<b>old</b>"));
    before->setText(QStringLiteral("old"));
    before->setImageData(QImage(4, 4, QImage::Format_RGB32));
    QGuiApplication::clipboard()->setMimeData(before);
    QVERIFY(QGuiApplication::clipboard()->mimeData()->hasHtml());

    TestWindow::click(f.cmdColor[2]);
    const QMimeData* now = QGuiApplication::clipboard()->mimeData();
    QVERIFY(now != nullptr);
    QCOMPARE(now->text(), QStringLiteral("&H0080FF"));
    QCOMPARE(now->formats(), QStringList{QStringLiteral("text/plain")});
    QVERIFY(!now->hasImage());
}

QTEST_MAIN(CopyFormatsTest)
#include "tst_copyformats.moc"
