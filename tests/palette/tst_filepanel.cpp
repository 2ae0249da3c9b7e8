// The palette file panel in the window: what opening it for saving or loading hides, disables
// and shows, the list and the name box, previews, and what closing it gives back.

#include "palette/PaletteTestSupport.h"
#include "resources/StringTable.h"

#include <QMenu>
#include <sys/file.h>

class FilePanelTest : public QObject {
    Q_OBJECT

private slots:
    void panelStates_data() {
        QTest::addColumn<int>("opener"); // -1 closed, else the toolbar button
        QTest::addColumn<bool>("withFiles");
        QTest::newRow("closed") << -1 << true;
        QTest::newRow("open for saving") << 0 << true;
        QTest::newRow("open for loading") << 1 << true;
        QTest::newRow("saving, empty list") << 0 << false;
        QTest::newRow("loading, empty list") << 1 << false;
    }
    void panelStates() {
        QFETCH(int, opener);
        QFETCH(bool, withFiles);
        Fixture p;
        p.put("notes.txt", Fixture::filled(0));
        QVERIFY(QDir(p.dir).mkdir("folder.pdt"));
        for (const char* name : {"b.pdt", "A.pdt", "10.pdt", "2.pdt"}) {
            p.put(withFiles ? name : "pdt", Fixture::filled(name[0] == '1' ? 1 : 0));
        }
        // Opening removes what an interrupted save left, and nothing else: not look-alikes, not a running save's file.
        for (const char* name : {".swatchly-save-0123456789az.tmp", ".swatchly-save-0123456789a.tmp", "b.pdt.Ab12Cd"}) {
            p.put(name, QByteArray("x"));
        }
        QFile running(p.path(".swatchly-save-running00000.tmp"));
        QVERIFY(running.open(QIODevice::WriteOnly) && ::flock(running.handle(), LOCK_EX) == 0);
        QStringList files = p.files();
        const bool open = opener >= 0;
        const bool saving = opener == 0;
        if (open) {
            p.open(saving);
            files.removeOne(".swatchly-save-0123456789az.tmp");
        }
        QCOMPARE(p.files(), files);
        QCOMPARE(p.m().FilePanelOpen, open);
        const std::array<QWidget*, 3> panel{p.f.FilPallete, p.f.cmdOK, p.f.cmdCancel};
        QCOMPARE(p.f.txtPallete->isVisible(), saving);
        // Opening with files selects and previews the first, which enables the action button.
        QCOMPARE(p.f.cmdOK->isEnabled(), open && withFiles);
        QCOMPARE(p.f.txtPallete->text(), QString(saving && withFiles ? "10.pdt" : ""));
        QVERIFY(p.shows(open && withFiles ? Fixture::filled(1) : p.m().MyPalette));
        for (std::size_t i = 0; i < 16; ++i) {
            QCOMPARE(panel[i % 3]->isVisible(), open);
            QCOMPARE(p.f.lblPallete[i]->isEnabled(), !open);
            QCOMPARE(p.f.cmdColor[i % 7]->isEnabled(), !open);
            QCOMPARE(p.f.Label1[i % 3]->isVisible(), !open);
            QCOMPARE(p.f.VScrColor[i % 3]->isVisible(), !open);
            QCOMPARE(p.f.optColor[i % 2]->isVisible(), !open);
        }
        QVERIFY(p.f.cmdColor[7]->isEnabled() && p.f.mnu_Help->menuAction()->isEnabled());
        for (QObject* o : std::initializer_list<QObject*>{p.f.txtColor, p.f.lblHex, p.f.mnu_Color->menuAction(),
                                                          p.f.mnu_based->menuAction(), p.f.mnu_option->menuAction()}) {
            QCOMPARE(o->property("enabled").toBool(), !open);
        }
        if (open) {
            QCOMPARE(p.listed(), (withFiles ? QStringList{"10.pdt", "2.pdt", "A.pdt", "b.pdt"} : QStringList{}));
            QCOMPARE(p.f.Caption(), LoadResString(saving ? TextId::SavePanel : TextId::LoadPanel));
            QCOMPARE(p.f.cmdOK->text(), LoadResString(saving ? TextId::SaveAction : TextId::LoadAction));
            // The buttons stack under the name box, or in its place when it is hidden.
            QCOMPARE(p.f.cmdOK->y(), saving ? p.f.txtPallete->geometry().bottom() + 1 : p.f.txtPallete->y());
            QCOMPARE(p.f.cmdCancel->y(), p.f.cmdOK->geometry().bottom() + 1);
        }
    }

    void nameBoxEnablesAction() {
        Fixture p;
        p.put("x.pdt", Fixture::filled(0));
        p.open(true);
        p.f.txtPallete->selectAll();
        QTest::keyClick(p.f.txtPallete, Qt::Key_Backspace);
        QVERIFY(p.f.txtPallete->text().isEmpty() && !p.f.cmdOK->isEnabled());
        QTest::keyClicks(p.f.txtPallete, "q");
        QVERIFY(p.f.cmdOK->isEnabled());
        QTest::keyClick(p.f.txtPallete, Qt::Key_Backspace);
        QVERIFY(!p.f.cmdOK->isEnabled());
        p.f.cmdOK_Click(); // the handler itself still refuses an empty name
        QCOMPARE(p.boxes().value(0).text, QString("ファイル名を入力してください。"));
        QCOMPARE(p.files(), QStringList{"x.pdt"});
    }

    void closing_data() {
        QTest::addColumn<bool>("saving");
        QTest::addColumn<bool>("byAction");
        QTest::newRow("saving, save, back") << true << false;
        QTest::newRow("loading, back") << false << false;
        QTest::newRow("loading, load") << false << true;
    }
    void closing() {
        QFETCH(bool, saving);
        QFETCH(bool, byAction);
        Fixture p;
        p.reg(5, {5, 6, 7});
        const PaletteTable mine = p.m().MyPalette;
        p.put("a.pdt", Fixture::filled(1));
        p.put("b.pdt", Fixture::filled(2));
        const QList<bool> closed = p.state();
        p.open(saving);
        p.pick("b.pdt");
        QVERIFY(p.shows(Fixture::filled(2)));
        if (saving) { // saves My palette, not the preview; the panel stays open and lists the new file
            QCOMPARE(p.f.txtPallete->text(), QString("b.pdt"));
            p.saveAs("c");
            QCOMPARE(p.get("c.pdt"), PaletteFile::encode(mine));
            QCOMPARE(p.listed(), (QStringList{"a.pdt", "b.pdt", "c.pdt"}));
            QVERIFY(p.m().FilePanelOpen && p.f.cmdOK->isEnabled() && p.shows(Fixture::filled(2)));
        }
        TestWindow::click(byAction ? p.f.cmdOK : p.f.cmdCancel);
        QVERIFY(!p.m().FilePanelOpen && !p.f.cmdOK->isEnabled() && p.f.txtPallete->text().isEmpty());
        QCOMPARE(p.state(), closed);
        QCOMPARE(p.m().MyPalette, byAction ? Fixture::filled(2) : mine);
        QVERIFY(p.m().PaletteView == p.m().MyPalette && p.shows(p.m().MyPalette) && p.boxes().isEmpty());
        // Opening again reads the folder again, and selects and previews the first file.
        p.put("0.pdt", Fixture::filled(3));
        p.open(!saving);
        QVERIFY(p.f.FilPallete->ListIndex() == 0 && p.f.cmdOK->isEnabled() && p.shows(Fixture::filled(3)));
    }
};

QTEST_MAIN(FilePanelTest)
#include "tst_filepanel.moc"
