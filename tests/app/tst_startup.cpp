#include "resources/StringTable.h"
#include "support/TestWindow.h"

#include <QTest>

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void initialState();
};

void StartupTest::initialState() {
    TestWindow t;
    frmColor& f = *t.frm;
    QCOMPARE(f.Caption(), LoadResString(106));
    QCOMPARE(f.cmdColor[3]->text(), QStringLiteral("フルカラー"));
    QVERIFY(f.optColor[0]->isChecked());
    QCOMPARE(t.sliders(), (std::array<int, 3>{255, 255, 255}));
    QCOMPARE(f.lblHex->Caption(), QStringLiteral("FFFFFF"));
    QCOMPARE(f.lblExplain->Caption(), QStringLiteral("(R255－G255－B255)"));
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
