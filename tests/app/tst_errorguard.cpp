// The standard error handler: a failure inside a handler ends it with one plain OK box that
// shows the failure's message; what the handler changed before the failure stays changed.

#include "app/ErrorGuard.h"
#include "support/TestWindow.h"

#include <QTest>
#include <new>
#include <stdexcept>

using Stored = std::array<std::int32_t, 3>;

class ErrorGuardTest : public QObject {
    Q_OBJECT

private slots:
    void appErrorShowsItsMessage();
    void otherFailuresShowAMessageToo_data();
    void otherFailuresShowAMessageToo();
    void noFailureNoBox();
    void failingMessageBoxDoesNotEscape();
    void handlerFailingMidwayKeepsEarlierSteps();
};

void ErrorGuardTest::appErrorShowsItsMessage() {
    platform::FakePlatform os;
    int steps = 0;
    Guarded(os, nullptr, [&] {
        ++steps;
        throw AppError(QStringLiteral("パレットファイル C:\\x.pdt を開けません。"));
    });
    QCOMPARE(steps, 1);
    QCOMPARE(os.messageBoxes.size(), 1);
    const auto& box = os.messageBoxes.first();
    QCOMPARE(box.text, QStringLiteral("パレットファイル C:\\x.pdt を開けません。"));
    QCOMPARE(box.style, int(platform::OkOnly));
    QVERIFY(box.title.isEmpty());
}

void ErrorGuardTest::otherFailuresShowAMessageToo_data() {
    QTest::addColumn<int>("kind");
    QTest::newRow("runtime_error") << 0;
    QTest::newRow("bad_alloc") << 1;
}

void ErrorGuardTest::otherFailuresShowAMessageToo() {
    QFETCH(int, kind);
    platform::FakePlatform os;
    bool before = false;
    Guarded(os, nullptr, [&] {
        before = true;
        if (kind == 0) {
            throw std::runtime_error("boom");
        }
        throw std::bad_alloc();
    });
    QVERIFY(before);
    QCOMPARE(os.messageBoxes.size(), 1);
    QCOMPARE(os.messageBoxes.first().style, 0);
    QVERIFY(os.messageBoxes.first().title.isEmpty());
    const QString text = os.messageBoxes.first().text;
    QVERIFY(!text.isEmpty());
    // Japanese, for the user.
    QVERIFY2(text.contains(QStringLiteral("ました")) || text.contains(QStringLiteral("ません")), qPrintable(text));
}

void ErrorGuardTest::noFailureNoBox() {
    platform::FakePlatform os;
    int steps = 0;
    Guarded(os, nullptr, [&] { ++steps; });
    QCOMPARE(steps, 1);
    QVERIFY(os.messageBoxes.isEmpty());
}

void ErrorGuardTest::failingMessageBoxDoesNotEscape() {
    platform::FakePlatform os;
    os.onMessageBox = [](const platform::FakePlatform::MessageBoxCall&) { throw std::runtime_error("no display"); };
    // Guarded is noexcept: a failure that escaped would end the test program here.
    Guarded(os, nullptr, [] { throw AppError(QStringLiteral("失敗")); });
    QCOMPARE(os.messageBoxes.size(), 1);
}

void ErrorGuardTest::handlerFailingMidwayKeepsEarlierSteps() {
    // The text colour holds a component no slider can take (only a fault could put it there):
    // loading it into the sliders fails at the green one.
    TestWindow t;
    frmColor& f = *t.frm;
    t.m().TextRGB = {100, 300, 5};

    TestWindow::click(f.optColor[1]);

    QCOMPARE(t.os.messageBoxes.size(), 1);
    QCOMPARE(t.os.messageBoxes.first().style, 0);
    QVERIFY(t.os.messageBoxes.first().title.isEmpty());
    QVERIFY2(t.os.messageBoxes.first().text.contains(QStringLiteral("300")),
             qPrintable(t.os.messageBoxes.first().text));
    // Done before the failure: the switch to the text colour and the red slider with its display.
    QVERIFY(f.optColor[1]->isChecked());
    QVERIFY(!t.m().EditingBackground);
    QCOMPARE(t.sliders(), (std::array<int, 3>{100, 255, 255}));
    QCOMPARE(f.lblHex->Caption(), QStringLiteral("64FFFF"));
    QCOMPARE(f.txtColor->ForeColor(), 100 + 256 * 255 + 65536 * 255);
    QCOMPARE(f.txtColor->BackColor(), 0xFFFFFF);
    // Not done: the blue slider was never reached.
    QCOMPARE(t.m().TextRGB, (Stored{100, 300, 5}));
    QCOMPARE(t.m().BackgroundRGB, (Stored{255, 255, 255}));

    // The window goes on working.
    f.VScrColor[2]->setValue(5);
    QCOMPARE(t.m().TextRGB[2], 5);
    QCOMPARE(f.lblHex->Caption(), QStringLiteral("64FF05"));
    QCOMPARE(t.os.messageBoxes.size(), 1);
}

QTEST_MAIN(ErrorGuardTest)
#include "tst_errorguard.moc"
