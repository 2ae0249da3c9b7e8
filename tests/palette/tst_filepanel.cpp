// The palette file panel in the window: what opening it for saving or loading hides, disables
// and shows, the list and the name box, previews, and what closing it gives back.

#include "palette/PaletteTestSupport.h"
#include "resources/StringTable.h"

#include <QMenu>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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
        for (QObject* o : std::initializer_list<QObject*>{
                 p.f.txtColor, p.f.lblHex, p.f.mnu_Color->menuAction(), p.f.mnu_based->menuAction(),
                 p.f.mnu_option->menuAction(), p.f.mnu_Color_Paste, p.f.mnu_Color_Pick, p.f.mnu_Color_Contrast,
                 p.f.mnu_Gimp_Export, p.f.mnu_Gimp_Import, p.f.mnu_Option_Remember, p.f.copyShortcut, p.f.mnu_Color_Fix,
                 p.f.mnu_Color_Vision->menuAction()}) {
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

    // Every regular file whose name ends in .pdt (in any case) is listed: also one whose name is no
    // valid UTF-8, shown with its stray bytes escaped and opened by its own bytes, and one that
    // cannot be read, whose opening says why. The one file is previewed as the panel opens.
    void listedNames_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("listedAs"); // empty: not listed
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<QString>("message"); // %1: the path as shown; empty: loads
        const QString shortFile = "「%1」はパレットファイルではありません。\n大きさが 10 バイトしかありません（パレット"
                                  "ファイルは 192 バイトです）。";
        const QString locked = "パレットファイル「%1」を開けません。\n（" + qt_error_string(EACCES) + "）";
        QTest::newRow("Japanese") << QByteArray("見本.pdt") << "見本.pdt" << 192 << true << "";
        QTest::newRow("four bytes of UTF-8")
            << QByteArray("\xf0\x9f\x8e\xa8.pdt") << "\U0001F3A8.pdt" << 192 << true << "";
        QTest::newRow("U+10FFFF, the last")
            << QByteArray("\xf4\x8f\xbf\xbf.pdt") << "\U0010FFFF.pdt" << 192 << true << "";
        QTest::newRow("past U+10FFFF") << QByteArray("\xf4\x90\x80\x80.pdt") << "\\xf4\\x90\\x80\\x80.pdt" << 192
                                       << true << "";
        QTest::newRow("U+FFFD itself") << QByteArray("\xef\xbf\xbd.pdt") << "\uFFFD.pdt" << 192 << true << "";
        QTest::newRow("a byte 0xff") << QByteArray("a\xff.pdt") << "a\\xff.pdt" << 192 << true << "";
        QTest::newRow("Latin-1 é") << QByteArray("caf\xe9.pdt") << "caf\\xe9.pdt" << 192 << true << "";
        QTest::newRow("an overlong slash") << QByteArray("\xc0\xaf.pdt") << "\\xc0\\xaf.pdt" << 192 << true << "";
        QTest::newRow("U+07FF, two bytes") << QByteArray("\xdf\xbf.pdt") << "\u07FF.pdt" << 192 << true << "";
        QTest::newRow("half a surrogate pair")
            << QByteArray("\xed\xa0\x80.pdt") << "\\xed\\xa0\\x80.pdt" << 192 << true << "";
        QTest::newRow("a stray continuation byte") << QByteArray("\x80\x61.pdt") << "\\x80a.pdt" << 192 << true << "";
        QTest::newRow("a byte 0xff before two, three and four bytes of UTF-8")
            << QByteArray("\xff\xc3\xa9\xe8\xa6\x8b\xf0\x9f\x8e\xa8.pdt") << "\\xff\u00E9\u898B\U0001F3A8.pdt" << 192
            << true << "";
        QTest::newRow("cut short") << QByteArray("\xe8\x89.pdt") << "\\xe8\\x89.pdt" << 192 << true << "";
        QTest::newRow("ending in capitals") << QByteArray("B.PDT") << "B.PDT" << 192 << true << "";
        QTest::newRow("another ending") << QByteArray("a.pdtx") << "" << 192 << true << "";
        QTest::newRow("a byte 0xff, too short") << QByteArray("a\xff.pdt") << "a\\xff.pdt" << 10 << true << shortFile;
        QTest::newRow("unreadable") << QByteArray("locked.pdt") << "locked.pdt" << 192 << false << locked;
        QTest::newRow("a byte 0xff, unreadable") << QByteArray("\xff.pdt") << "\\xff.pdt" << 192 << false << locked;
    }
    void listedNames() {
        QFETCH(QByteArray, name);
        QFETCH(QString, listedAs);
        QFETCH(int, size);
        QFETCH(bool, readable);
        QFETCH(QString, message);
        Fixture p;
        const QByteArray native = QFile::encodeName(p.dir) + '/' + name;
        const QByteArray bytes = PaletteFile::encode(Fixture::filled(7)).left(size);
        const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL, readable ? 0644 : 0);
        QVERIFY(fd >= 0 && ::write(fd, bytes.constData(), std::size_t(bytes.size())) == bytes.size() &&
                ::close(fd) == 0);
        // Root reads any file: the panel is then opened as nobody, who can enter the folders.
        const bool asNobody = !readable && ::geteuid() == 0;
        if (asNobody) {
            QVERIFY(::chmod(QFile::encodeName(p.folder.path()).constData(), 0755) == 0 &&
                    ::chmod(QFile::encodeName(p.dir).constData(), 0755) == 0 && ::setresuid(65534, 65534, 0) == 0);
        }
        p.open(false);
        QVERIFY(!asNobody || ::setresuid(0, 0, 0) == 0);
        QCOMPARE(p.listed(), listedAs.isEmpty() ? QStringList{} : QStringList{listedAs});
        QCOMPARE(p.boxes().size(), qsizetype(!message.isEmpty()));
        QCOMPARE(message.isEmpty() ? message : p.boxes()[0].text, QString(message).replace("%1", p.path(listedAs)));
        TestWindow::click(p.f.cmdOK);
        QCOMPARE(p.m().MyPalette, Fixture::filled(message.isEmpty() && !listedAs.isEmpty() ? 7 : 255));
    }

    // What the panel's buttons and keys do. Return and keypad Enter are the action button, or 戻る on
    // that button; Esc goes back. A disabled action button, a modifier, a held key or the quit button
    // does nothing. Closing gives back everything as it was.
    void acting_data() {
        QTest::addColumn<bool>("saving");
        QTest::addColumn<bool>("empty"); // the name box is emptied, or no file is listed
        QTest::addColumn<int>("focus");  // 0 the name box or the list, 1 the action button, 2 戻る, 3 the quit button
        QTest::addColumn<int>("press");  // a key with its modifiers; 0: a click
        QTest::addColumn<bool>("held");
        QTest::addColumn<QString>("outcome"); // saved, loaded, back, or nothing
        const int enter = (Qt::KeypadModifier | Qt::Key_Enter).toCombined(), ret = Qt::Key_Return, esc = Qt::Key_Escape;
        const int shiftReturn = (Qt::SHIFT | Qt::Key_Return).toCombined();
        QTest::newRow("saving, click the action button") << true << false << 1 << 0 << false << "saved";
        QTest::newRow("saving, click 戻る") << true << false << 2 << 0 << false << "back";
        QTest::newRow("loading, click 戻る") << false << false << 2 << 0 << false << "back";
        QTest::newRow("loading, click the action button") << false << false << 1 << 0 << false << "loaded";
        QTest::newRow("Return in the name box") << true << false << 0 << ret << false << "saved";
        QTest::newRow("keypad Enter in the name box") << true << false << 0 << enter << false << "saved";
        QTest::newRow("keypad Enter on the action button") << true << false << 1 << enter << false << "saved";
        QTest::newRow("Return on 戻る") << true << false << 2 << ret << false << "back";
        QTest::newRow("keypad Enter on 戻る") << true << false << 2 << enter << false << "back";
        QTest::newRow("keypad Enter, empty name box") << true << true << 0 << enter << false << "nothing";
        QTest::newRow("keypad Enter in the list") << false << false << 0 << enter << false << "loaded";
        QTest::newRow("keypad Enter, no file listed") << false << true << 0 << enter << false << "nothing";
        QTest::newRow("Esc") << true << false << 0 << esc << false << "back";
        QTest::newRow("held Esc") << true << false << 0 << esc << true << "nothing";
        QTest::newRow("held Return") << true << false << 0 << ret << true << "nothing";
        QTest::newRow("Shift+Return") << true << false << 0 << shiftReturn << false << "nothing";
        QTest::newRow("Return on the quit button") << true << false << 3 << ret << false << "nothing";
    }
    void acting() {
        QFETCH(bool, saving);
        QFETCH(bool, empty);
        QFETCH(int, focus);
        QFETCH(int, press);
        QFETCH(bool, held);
        QFETCH(QString, outcome);
        Fixture p;
        p.reg(5, {5, 6, 7});
        const PaletteTable mine = p.m().MyPalette;
        if (saving || !empty) {
            p.put("a.pdt", Fixture::filled(1));
            p.put("b.pdt", Fixture::filled(2));
        }
        const QStringList files = p.files();
        const QList<bool> closed = p.state();
        p.open(saving);
        if (saving || !empty) { // a preview, which saving keeps and 戻る takes back
            p.pick("b.pdt");
            QVERIFY(p.shows(Fixture::filled(2)) && p.f.txtPallete->text() == (saving ? "b.pdt" : ""));
        }
        if (saving) { // typing turns the action button off and on again
            p.f.txtPallete->selectAll();
            QTest::keyClick(p.f.txtPallete, Qt::Key_Backspace);
            QVERIFY(p.f.txtPallete->text().isEmpty() && !p.f.cmdOK->isEnabled());
            QTest::keyClicks(p.f.txtPallete, empty ? "" : "c");
        }
        QCOMPARE(p.f.cmdOK->isEnabled(), !empty);
        QWidget* target = std::array<QWidget*, 4>{saving ? static_cast<QWidget*>(p.f.txtPallete) : p.f.FilPallete,
                                                  p.f.cmdOK, p.f.cmdCancel, p.f.cmdColor[7]}[std::size_t(focus)];
        const QKeyCombination key = QKeyCombination::fromCombined(press);
        QKeyEvent event(QEvent::KeyPress, key.key(), key.keyboardModifiers(), QString(), held);
        press == 0 ? TestWindow::click(target) : void(QApplication::sendEvent(target, &event));
        const bool saved = outcome == "saved", open = saved || outcome == "nothing";
        QCOMPARE(p.m().FilePanelOpen, open);
        QCOMPARE(p.files(), saved ? files + QStringList{"c.pdt"} : files);
        QCOMPARE(p.m().MyPalette, outcome == "loaded" ? Fixture::filled(2) : mine);
        QVERIFY(p.boxes().isEmpty());
        if (saved) { // My palette, not the preview; the list shows the new file
            QVERIFY(p.get("c.pdt") == PaletteFile::encode(mine) && p.shows(Fixture::filled(2)));
            QCOMPARE(p.listed(), p.files());
        }
        if (open) {
            return;
        }
        QVERIFY(!p.f.cmdOK->isEnabled() && p.f.txtPallete->text().isEmpty());
        QCOMPARE(p.state(), closed);
        QVERIFY(p.m().PaletteView == p.m().MyPalette && p.shows(p.m().MyPalette));
        // Opening again reads the folder again, and selects and previews the first file.
        p.put("0.pdt", Fixture::filled(3));
        p.open(!saving);
        QVERIFY(p.f.FilPallete->ListIndex() == 0 && p.f.cmdOK->isEnabled() && p.shows(Fixture::filled(3)));
    }
};

QTEST_MAIN(FilePanelTest)
#include "tst_filepanel.moc"
