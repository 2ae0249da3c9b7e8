// The window from start-up to shut-down: the initial state, the layout, keys and menus,
// unloading, a second start, and the standard error handler.

#include "app/ErrorGuard.h"
#include "app/Main.h"
#include "support/TestWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTest>
#include <algorithm>
#include <stdexcept>
#include <tuple>

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void initialState() {
        TestWindow t;
        frmColor& f = *t.frm;
        QVERIFY(f.isVisible() && !f.windowIcon().isNull());
        QCOMPARE(f.Caption(), QStringLiteral("Swatchly：フルカラーモード"));
        QCOMPARE(frmColor(t.os).Caption(), f.Caption()); // also before loading: shown with it
        QVERIFY(f.cmdColor[3]->text() == u"フルカラー" && f.cmdColor[2]->text() == u"クリップボードへコピー");
        QVERIFY(f.optColor[0]->isChecked() && !f.optColor[1]->isChecked() && t.m().EditingBackground);
        QCOMPARE(t.sliders(), (std::array<int, 3>{255, 255, 255}));
        for (ColorSlider* slider : f.VScrColor) { // at the top of the track
            QVERIFY(TestWindow::sliderPart(slider, QStyle::SC_ScrollBarSlider).top() < slider->height() / 4);
        }
        QCOMPARE(f.focusWidget(), f.VScrColor[0]);
        QVERIFY(f.lblHex->Caption() == u"FFFFFF" && f.lblExplain->Caption() == u"(R255－G255－B255)");
        QCOMPARE(TestWindow::shownColour(f.txtColor), QColor(Qt::white));
        QVERIFY(f.txtColor->text() == u"Swatchly" && f.txtColor->palette().color(QPalette::Text) == Qt::black);
        // The picture buttons show their start pictures in their hints (tst_toolbar); the copy
        // format's three pictures share one hint.
        QCOMPARE(f.cmdColor[4]->Picture(), PictureId::PlainHexFormat);
        QVERIFY(std::ranges::all_of(f.cmdColor, &QWidget::isEnabled));
        QVERIFY(std::ranges::all_of(f.lblPallete, [](Label* swatch) { return swatch->BackColor() == 0xFFFFFF; }));
        QVERIFY(f.mnu_Color_full->Checked() && !f.mnu_Color_216->Checked() && !f.mnu_Window_Topmost->Checked());
        QVERIFY(f.mnu_Copymode[0]->Checked() && std::ranges::count_if(f.mnu_Copymode, &QAction::isChecked) == 1);
        QVERIFY(!f.mnu_pallete[0]->Checked() && f.mnu_pallete[1]->Checked());
        QVERIFY(t.os.alwaysOnTopCalls.isEmpty() && t.os.messageBoxes.isEmpty());
        // The file panel: hidden, stacked at the top-left corner, the back button right under OK.
        QVERIFY(f.FilPallete->isHidden() && f.txtPallete->isHidden() && f.cmdOK->isHidden() && f.cmdCancel->isHidden());
        QVERIFY(!f.cmdOK->isEnabled() && f.cmdCancel->text() == u"戻る" && f.FilPallete->Pattern() == u"*.pdt");
        QCOMPARE(f.FilPallete->geometry(), QRect(1, 1, 97, 123));
        QCOMPARE(f.txtPallete->geometry(), QRect(1, 124, 97, 25));
        QCOMPARE(f.cmdOK->geometry(), QRect(1, 150, 97, 33));
        QCOMPARE(f.cmdCancel->geometry(), QRect(1, 183, 97, 33));
    }

    void fileListShowsProgramFolderWhateverTheCurrentFolder() {
        QTemporaryDir elsewhere;
        QFile(elsewhere.filePath(QStringLiteral("stranger.pdt"))).open(QIODevice::WriteOnly);
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(elsewhere.path()));
        {
            TestWindow t;
            t.writeFile(QStringLiteral("mine.pdt"), QByteArray(192, '\0'));
            QCOMPARE(t.frm->FilPallete->Path(), t.folder.path());
            QVERIFY(t.frm->FilPallete->ListCount() == 1 && t.frm->FilPallete->List(0) == u"mine.pdt");
        }
        QVERIFY(QDir::setCurrent(previous));
    }

    void unload_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("close box") << 0;
        QTest::newRow("quit button") << 1;
        QTest::newRow("quit button, panel open") << 2;
    }

    void unload() {
        QFETCH(int, how);
        TestWindow t;
        if (how == 2) {
            TestWindow::click(t.frm->cmdColor[0]);
        }
        if (how == 0) {
            QVERIFY(t.frm->close());
        } else {
            TestWindow::click(t.frm->cmdColor[7]);
        }
        QVERIFY(!t.frm->isVisible());
        // Help was never opened: the quit command goes to the help system all the same.
        QCOMPARE(t.os.quitHelpFiles, QStringList{t.path(QStringLiteral("swatchly.hlp"))});
        QVERIFY(t.os.messageBoxes.isEmpty() && QDir(t.folder.path()).isEmpty());
    }

    void secondStartEndsQuietly() {
        platform::FakePlatform os;
        os.otherInstance = true;
        const auto before = QApplication::topLevelWidgets().size();
        char name[] = "swatchly";
        char* argv[] = {name, nullptr};
        QCOMPARE(Main(1, argv, os), 0);
        QVERIFY(QApplication::topLevelWidgets().size() == before && os.messageBoxes.isEmpty());
    }

    // Why no window system could be reached, from what Qt 6.4 says on the way.
    void noDisplayMessage_data() {
        QTest::addColumn<QStringList>("qtSaid");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("waylandDisplay");
        QTest::addColumn<QString>("reasons"); // after "swatchly: 画面に接続できないため起動できません。"
        const QString gaveUp = QStringLiteral("This application failed to start because no Qt platform plugin could "
                                              "be initialized. Reinstalling the application may fix this problem.");
        const auto notFound = [](const char* plugin) {
            return QStringLiteral("Could not find the Qt platform plugin \"%1\" in \"\"").arg(QLatin1String(plugin));
        };
        const auto notLoaded = [](const char* plugin) {
            return QStringLiteral("Could not load the Qt platform plugin \"%1\" in \"\" even though it was found.")
                .arg(QLatin1String(plugin));
        };
        const QString noX = QStringLiteral("could not connect to display ");
        const QString xcbLibraries = QStringLiteral("X11 用のプラットフォームプラグイン（xcb）を読み込めません。必要な"
                                                    "ライブラリが足りない可能性があります（パッケージ qt6-qpa-plugins "
                                                    "と、それが使うライブラリ）。");
        QTest::newRow("no DISPLAY") << QStringList{noX, notLoaded("xcb"), gaveUp} << QString() << QString()
                                    << QStringLiteral("X11 の画面（DISPLAY=未設定）に接続できません。");
        QTest::newRow("a DISPLAY that refuses")
            << QStringList{noX + QLatin1String(":4093"), notLoaded("xcb"), gaveUp} << QStringLiteral(":4093")
            << QString() << QStringLiteral("X11 の画面（DISPLAY=:4093）に接続できません。");
        QTest::newRow("xcb found, its libraries missing")
            << QStringList{notLoaded("xcb"), gaveUp} << QStringLiteral(":0") << QString() << xcbLibraries;
        QTest::newRow("xcb not installed")
            << QStringList{notFound("xcb"), gaveUp} << QStringLiteral(":0") << QString()
            << QStringLiteral("X11 用のプラットフォームプラグイン（xcb）がインストールされていません（パッケージ "
                              "qt6-qpa-plugins）。");
        const QString noWaylandPlugin = QStringLiteral("Wayland 用のプラットフォームプラグイン（wayland）がインストール"
                                                       "されていません（パッケージ qt6-wayland）。");
        QTest::newRow("pure Wayland without qt6-wayland: Qt then tries xcb")
            << QStringList{notFound("wayland"), noX, notLoaded("xcb"), gaveUp} << QString()
            << QStringLiteral("wayland-0")
            << noWaylandPlugin + QStringLiteral("X11 の画面（DISPLAY=未設定）に接続できません。");
        QTest::newRow("QT_QPA_PLATFORM=wayland without qt6-wayland")
            << QStringList{notFound("wayland"), gaveUp} << QStringLiteral(":0") << QStringLiteral("wayland-0")
            << noWaylandPlugin;
        QTest::newRow("Wayland plugin, no compositor")
            << QStringList{QStringLiteral("Failed to create wl_display (No such file or directory)"),
                           notLoaded("wayland"), gaveUp}
            << QString() << QStringLiteral("wayland-9")
            << QStringLiteral("Wayland の画面（WAYLAND_DISPLAY=wayland-9）に接続できません。");
        QTest::newRow("Wayland plugin found, not loaded")
            << QStringList{notLoaded("wayland-egl"), gaveUp} << QString() << QStringLiteral("wayland-0")
            << QStringLiteral(
                   "Wayland 用のプラットフォームプラグイン（wayland-egl）を読み込めません。必要なライブラリが"
                   "足りない可能性があります（パッケージ qt6-wayland と、それが使うライブラリ）。");
        QTest::newRow("a plugin nobody makes")
            << QStringList{notFound("nosuch"), gaveUp} << QStringLiteral(":0") << QString()
            << QStringLiteral("プラットフォームプラグイン nosuch がありません（QT_QPA_PLATFORM を確かめてください）。");
        QTest::newRow("Qt names no plugin") << QStringList{gaveUp} << QStringLiteral(":1") << QString() << QString();
    }

    void noDisplayMessage() {
        QFETCH(QStringList, qtSaid);
        QFETCH(QString, display);
        QFETCH(QString, waylandDisplay);
        QFETCH(QString, reasons);
        const QString line = NoDisplayMessage(qtSaid, display, waylandDisplay);
        if (reasons.isEmpty()) { // then both variables, as they are
            QCOMPARE(line, QStringLiteral("swatchly: 画面に接続できないため起動できません（DISPLAY=:1、WAYLAND_DISPLAY="
                                          "未設定）。デスクトップの中から起動するか、DISPLAY を確かめてください。"));
        } else {
            QCOMPARE(line, QStringLiteral("swatchly: 画面に接続できないため起動できません。") + reasons);
        }
    }

    void errorHandler_data() {
        QTest::addColumn<int>("failure");
        int failure = 0;
        for (const char* row : {"AppError", "runtime_error", "AppError, failing message box"}) {
            QTest::newRow(row) << failure++;
        }
    }

    void errorHandler() {
        QFETCH(int, failure);
        platform::FakePlatform os;
        if (failure == 2) { // Guarded is noexcept: an escaping failure would end the test program
            os.onMessageBox = [](const auto&) { throw std::runtime_error("no display"); };
        }
        const QString message = QStringLiteral("パレットファイル C:\\x.pdt を開けません。");
        Guarded(os, nullptr, [&] {
            if (failure == 1) {
                throw std::runtime_error("boom");
            }
            throw AppError(message);
        });
        QCOMPARE(os.messageBoxes.size(), 1);
        const auto& box = os.messageBoxes.first(); // OK only, the default title, a Japanese text
        QVERIFY(box.style == platform::OkOnly && box.title.isEmpty());
        QVERIFY(box.text.contains(QRegularExpression(QStringLiteral("[\\x{3041}-\\x{30FF}]"))));
        QVERIFY(failure == 1 || box.text == message);
    }

    void handlerFailingMidwayKeepsEarlierSteps() {
        // A text colour no slider can take (only a fault could put it there): loading it into
        // the sliders fails at the green one.
        TestWindow t;
        frmColor& f = *t.frm;
        t.m().TextRGB = {100, 300, 5};
        TestWindow::click(f.optColor[1]);
        QCOMPARE(t.os.messageBoxes.size(), 1);
        QVERIFY(t.os.messageBoxes.first().text.contains(u"300"));
        // Done before the failure: the switch to the text colour, the red slider and its display.
        QVERIFY(f.optColor[1]->isChecked() && !t.m().EditingBackground);
        QCOMPARE(t.sliders(), (std::array<int, 3>{100, 255, 255}));
        QVERIFY(f.lblHex->Caption() == u"64FFFF" && f.txtColor->ForeColor() == 0xFFFF64);
        // Not done: the blue slider was never reached.
        QCOMPARE(t.m().TextRGB, (std::array<std::int32_t, 3>{100, 300, 5}));
        // The window goes on working.
        f.VScrColor[2]->setValue(5);
        QVERIFY(f.lblHex->Caption() == u"64FF05" && t.os.messageBoxes.size() == 1);
    }

    void layout() {
        TestWindow t;
        frmColor& f = *t.frm;
        // Spot checks, in twips (15 to a pixel), of controls on the client area.
        const std::pair<const char*, QRect> places[] = {
            {"cmdColor(7)", {3960, 2760, 615, 615}}, {"cmdColor(2)", {1560, 2280, 3015, 495}},
            {"optColor(1)", {3360, 840, 855, 300}},  {"txtColor", {1560, 0, 3015, 495}},
            {"VScrColor(2)", {960, 480, 495, 2895}}, {"lblPallete(11)", {4020, 1560, 495, 375}},
            {"lblHex", {1560, 600, 1575, 495}},      {"lblExplain", {0, 3480, 4575, 375}},
            {"Label1(0)", {0, 0, 495, 3375}},
        };
        for (const auto& [name, twips] : places) {
            QWidget* w = t.control(QString::fromLatin1(name));
            QCOMPARE(w->parentWidget(), f.client);
            QCOMPARE(w->geometry(), QRect(twips.topLeft() / 15, twips.size() / 15));
            QVERIFY(w->isVisible() && w->isEnabled());
        }
        // The Japanese Gothic resolves to IPAPGothic, Times New Roman to Liberation Serif.
        const std::tuple<const char*, qreal, bool> fonts[] = {{"cmdColor(2)", 12.0, false}, {"FilPallete", 9.75, false},
                                                              {"txtColor", 14.25, true},    {"lblHex", 12.0, false},
                                                              {"lblExplain", 12.0, true},   {"Label1(1)", 20.25, true}};
        for (const auto& [name, points, bold] : fonts) {
            const QFont font = t.control(QString::fromLatin1(name))->font();
            const bool serif = QByteArray(name).startsWith("Label1");
            QCOMPARE(font.family(), serif ? QStringLiteral("Times New Roman") : QStringLiteral("ＭＳ Ｐゴシック"));
            QCOMPARE(QFontInfo(font).family(),
                     serif ? QStringLiteral("Liberation Serif") : QStringLiteral("IPAPGothic"));
            QVERIFY(font.pointSizeF() == points && font.weight() == (bold ? QFont::Bold : QFont::Normal));
        }
        // A fixed client area right under the menu bar.
        QCOMPARE(f.client->y(), f.menuBar()->height());
        QCOMPARE(f.size(), QSize(307, 258 + f.menuBar()->height()));
        f.resize(500, 500);
        QTest::qWait(10);
        QCOMPARE(f.client->size(), QSize(307, 258));
        // The labels lie beneath: the tall "R" shows only above its slider.
        QCOMPARE(f.client->childAt(16, 600 / 15), f.VScrColor[0]);
        QCOMPARE(f.client->childAt(16, 300 / 15), f.Label1[0]);
        QCOMPARE(f.client->childAt(48, 300 / 15), f.Label1[1]);
        // Under "G" and "B", between 375 and 480 twips, lies the bare window area.
        QCOMPARE(f.client->childAt(48, 420 / 15), nullptr);
        QCOMPARE(f.client->childAt(80, 420 / 15), nullptr);
        // Neighbouring swatches and buttons share their border line.
        QCOMPARE(f.lblPallete[0]->geometry().right(), f.lblPallete[1]->geometry().left());
        QCOMPARE(f.lblPallete[0]->geometry().bottom(), f.lblPallete[6]->geometry().top());
        QCOMPARE(f.cmdColor[0]->geometry().right(), f.cmdColor[1]->geometry().left());
        // The menus: captions, the single ampersand of the &H item, F1 on help.
        const auto captions = [](const QWidget* menu) {
            QStringList texts;
            for (const QAction* action : menu->actions()) {
                texts << action->text();
            }
            return texts;
        };
        QCOMPARE(captions(f.menuBar()),
                 (QStringList{"カラー（&C）", "基本設定（&O）", "パレット（&P）", "ヘルプ（&H）"}));
        // Added items follow the specified ones behind a separator, unchecked.
        QCOMPARE(captions(f.mnu_Color),
                 (QStringList{"フルカラー（1677万色）", "216色", "", "色コードを貼り付け(&V)", "画面から色を取得(&E)",
                              "コントラスト比を表示(&K)", "コントラストを満たす色に直す(&J)", "色覚シミュレーション"}));
        QCOMPARE(captions(f.mnu_Color_Vision),
                 (QStringList{"なし", "1型（P型）", "2型（D型）", "3型（T型）", "1色覚"}));
        QVERIFY(f.mnu_Vision[0]->isChecked() && f.m.Vision == ColourVision::None);
        QCOMPARE(std::ranges::count_if(f.mnu_Vision, &QAction::isChecked), 1);
        QVERIFY(f.mnu_Color->actions()[2]->isSeparator() && f.mnu_based->actions()[2]->isSeparator());
        QVERIFY(!f.mnu_Color_Contrast->isChecked() && !f.m.ShowingContrast);
        QCOMPARE(captions(f.mnu_Option_Window), QStringList{"常に手前に表示"});
        QCOMPARE(captions(f.mnu_Option_Copy),
                 (QStringList{"何もなし（１６進数のみ）", "ＨＴＭＬ用（#～）", "ＶＢ用（&&H～）", "", "ＣＳＳ rgb()",
                              "ＣＳＳ hsl()", "0x～"}));
        QVERIFY(f.mnu_Option_Copy->actions()[3]->isSeparator());
        QCOMPARE(captions(f.mnu_based), (QStringList{"１６色パレット", "マイパレット", "",
                                                     "GIMPパレットに書き出す(&X)…", "GIMPパレットから読み込む(&I)…"}));
        QCOMPARE(captions(f.mnu_Help), (QStringList{"ヘルプ（&H）", "バージョン"}));
        // The doubled ampersand shows one and marks no access key.
        QVERIFY(QKeySequence::mnemonic(f.mnu_Copymode[2]->text()).isEmpty());
        QCOMPARE(f.mnu_Help_Help->shortcut(), QKeySequence(Qt::Key_F1));
    }

    void keyboard() {
        TestWindow t;
        frmColor& f = *t.frm;
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        const auto tabbing = [](QWidget* from, int presses) {
            from->setFocus();
            QList<QWidget*> visited;
            for (int i = 0; i < presses; ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                visited.append(QApplication::focusWidget());
            }
            return visited;
        };
        // The hidden panel and every label but one swatch are skipped: the swatches are one stop
        // after all the others.
        QCOMPARE(tabbing(f.VScrColor[0], 14),
                 (QList<QWidget*>{f.VScrColor[1], f.VScrColor[2], f.cmdColor[0], f.txtColor, f.optColor[0],
                                  f.cmdColor[1], f.cmdColor[2], f.cmdColor[3], f.cmdColor[4], f.cmdColor[5],
                                  f.cmdColor[6], f.cmdColor[7], f.lblPallete[0], f.VScrColor[0]}));
        QTest::keyClick(f.VScrColor[0], Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), f.lblPallete[0]);
        // No default button: Enter and Return change nothing. F1 opens help from anywhere.
        for (QPushButton* button : f.findChildren<QPushButton*>()) {
            QVERIFY(!button->isDefault() && !button->autoDefault());
        }
        for (QWidget* w : QList<QWidget*>{f.VScrColor[0], f.txtColor, f.cmdColor[3], f.cmdColor[7], f.optColor[1]}) {
            w->setFocus();
            for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_F1}) {
                QTest::keyClick(w, key);
            }
        }
        QVERIFY(f.isVisible() && t.m().ColorMode == ColorGamut::Full && t.m().EditingBackground);
        // The file panel, opened from the keyboard: the name box takes the typing (a space too,
        // which the quit button would take), Enter saves when the action button can, Esc goes back.
        t.writeFile(QStringLiteral("a.pdt"), QByteArray(192, '\0'));
        f.VScrColor[0]->setFocus();
        QTest::keySequence(f.windowHandle(), QKeySequence(Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Space));
        QVERIFY(QApplication::focusWidget() == f.txtPallete && f.txtPallete->selectedText() == u"a.pdt");
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("my palette "));
        QVERIFY(f.isVisible() && t.m().FilePanelOpen && f.txtPallete->text() == u"my palette ");
        QTest::keySequence(f.windowHandle(), QKeySequence(Qt::Key_Backspace, Qt::Key_Enter));
        QCOMPARE(t.readFile(QStringLiteral("my palette.pdt")).size(), 192);
        QCOMPARE(tabbing(f.FilPallete, 5),
                 (QList<QWidget*>{f.txtPallete, f.cmdOK, f.cmdCancel, f.cmdColor[7], f.FilPallete}));
        QTest::keyClick(f.FilPallete, Qt::Key_F1);
        f.mnu_Help_Help->trigger();
        f.txtPallete->setFocus();
        f.txtPallete->clear();
        // Nothing to save: Enter does nothing.
        QTest::keySequence(f.windowHandle(), QKeySequence(Qt::Key_Return, Qt::Key_Escape));
        QVERIFY(!t.m().FilePanelOpen && QApplication::focusWidget() == f.VScrColor[0]);
        // Loading: the list has the focus, and Enter loads the file chosen.
        TestWindow::click(f.cmdColor[1]);
        QTest::keyClick(f.windowHandle(), Qt::Key_Return);
        QVERIFY(!t.m().FilePanelOpen && QApplication::focusWidget() == f.VScrColor[0] && t.m().MyPalette.at(3, 1) == 0);
        QCOMPARE(QDir(t.folder.path()).entryList(QDir::Files), (QStringList{"a.pdt", "my palette.pdt"}));
        // Help is opened by its path even while the file is absent.
        const QString help = t.path(QStringLiteral("swatchly.hlp"));
        QVERIFY(!QFile::exists(help));
        QCOMPARE(t.os.openedHelp, QStringList(7, help));
        QVERIFY(t.os.messageBoxes.isEmpty());
    }
};

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
