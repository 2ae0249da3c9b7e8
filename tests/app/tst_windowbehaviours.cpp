// The window as a whole: dragging it by its labels and background, always on top, help and
// the version box.

#include "support/TestWindow.h"

#include <QFile>
#include <QTest>

namespace {

// A press and release at a point of a control, delivered to the window as the window system
// would: Qt decides which control is under the point.
void pressThroughWindow(frmColor& f, QWidget* w, QPoint at, Qt::MouseButton button) {
    const QPoint inWindow = w->mapTo(&f, at);
    QTest::mousePress(f.windowHandle(), button, Qt::NoModifier, inWindow);
    QTest::mouseRelease(f.windowHandle(), button, Qt::NoModifier, inWindow);
}

// Points of the bare window area: under the letters G and B, and between the colour code and
// the option buttons.
const QList<QPoint> barePoints{{48, 28}, {80, 28}, {216, 50}, {306, 20}};

} // namespace

class WindowBehavioursTest : public QObject {
    Q_OBJECT
private slots:
    void dragHandles_data();
    void dragHandles();
    void noDragFromControls();
    void menuAndButtonShareTopmost();
    void helpOpensEvenWhenAbsent();
    void versionBox();
};

void WindowBehavioursTest::dragHandles_data() {
    QTest::addColumn<QString>("handle");
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("drags");
    const QList<std::pair<Qt::MouseButton, const char*>> buttons{
        {Qt::LeftButton, "left"}, {Qt::RightButton, "right"}, {Qt::MiddleButton, "middle"}};
    for (const char* handle : {"R", "G", "B", "lblHex", "lblExplain", "bare"}) {
        for (const auto& [button, name] : buttons) {
            QTest::addRow("%s %s", handle, name)
                << QString::fromLatin1(handle) << int(button) << (button == Qt::LeftButton ? 1 : 0);
        }
    }
}

void WindowBehavioursTest::dragHandles() {
    QFETCH(QString, handle);
    QFETCH(int, button);
    QFETCH(int, drags);
    TestWindow t;
    frmColor& f = *t.frm;
    const auto b = static_cast<Qt::MouseButton>(button);
    if (handle == u"bare") {
        for (const QPoint& p : barePoints) {
            QCOMPARE(f.client->childAt(p), nullptr);
            pressThroughWindow(f, f.client, p, b);
        }
        drags *= static_cast<int>(barePoints.size());
    } else if (handle.size() == 1) {
        // The letters take the mouse only above the sliders (the tall R is covered below).
        QWidget* letter = f.Label1.at(static_cast<std::size_t>(QStringLiteral("RGB").indexOf(handle)));
        pressThroughWindow(f, letter, QPoint(16, 12), b);
        if (handle == u"R") { // its strip down to the slider, 375..480 twips, too
            pressThroughWindow(f, letter, QPoint(16, 29), b);
            drags *= 2;
        }
    } else {
        QWidget* label = handle == u"lblHex" ? static_cast<QWidget*>(f.lblHex) : f.lblExplain;
        pressThroughWindow(f, label, label->rect().center(), b);
    }
    QCOMPARE(t.os.dragCount, drags);
    QVERIFY(t.os.messageBoxes.isEmpty());
}

void WindowBehavioursTest::noDragFromControls() {
    TestWindow t;
    frmColor& f = *t.frm;
    QList<QWidget*> controls{f.VScrColor[0], f.VScrColor[1], f.VScrColor[2], f.optColor[0],
                             f.optColor[1],  f.txtColor,     f.cmdColor[2],  f.cmdColor[4]};
    for (Label* swatch : f.lblPallete) {
        controls.append(swatch);
    }
    for (QWidget* w : controls) {
        pressThroughWindow(f, w, w->rect().center(), Qt::LeftButton);
        // A right press on a slider or a text box opens the control's own context menu.
        if (!qobject_cast<QAbstractSlider*>(w) && !qobject_cast<QLineEdit*>(w)) {
            pressThroughWindow(f, w, w->rect().center(), Qt::RightButton);
        }
    }
    // The tall R below its top strip is the red slider, not a handle.
    pressThroughWindow(f, f.Label1[0], QPoint(16, 100), Qt::LeftButton);
    QCOMPARE(t.os.dragCount, 0);

    // The file panel's list and name box are no handles either.
    t.writeFile(QStringLiteral("a.pdt"), QByteArray(192, '\0'));
    TestWindow::click(f.cmdColor[0]);
    for (QWidget* w : QList<QWidget*>{f.FilPallete->viewport(), f.txtPallete, f.cmdCancel}) {
        pressThroughWindow(f, w, QPoint(5, 5), Qt::LeftButton);
    }
    QCOMPARE(t.os.dragCount, 0);
}

void WindowBehavioursTest::menuAndButtonShareTopmost() {
    TestWindow t;
    frmColor& f = *t.frm;
    f.mnu_Window_Topmost->trigger();
    QVERIFY(f.mnu_Window_Topmost->Checked());
    QCOMPARE(f.cmdColor[6]->Picture(), 102);
    QVERIFY(t.m().IsTopmost);
    TestWindow::click(f.cmdColor[6]);
    QVERIFY(!f.mnu_Window_Topmost->Checked());
    QCOMPARE(f.cmdColor[6]->Picture(), 103);
    QVERIFY(!t.m().IsTopmost);
    f.mnu_Window_Topmost->trigger();
    f.mnu_Window_Topmost->trigger();
    QCOMPARE(t.os.alwaysOnTopCalls, (QList<bool>{true, false, true, false}));
    QVERIFY(!t.m().IsTopmost);
}

void WindowBehavioursTest::helpOpensEvenWhenAbsent() {
    TestWindow t;
    const QString help = t.path(QStringLiteral("swatchly.hlp"));
    QVERIFY(!QFile::exists(help));
    t.frm->mnu_Help_Help->trigger();
    t.frm->mnu_Help_Help->trigger();
    QCOMPARE(t.os.openedHelp, (QStringList{help, help}));
    QVERIFY(t.os.messageBoxes.isEmpty());
    QVERIFY(!t.frm->mnu_Help_Help->isChecked());
    QVERIFY(t.frm->isVisible());
}

void WindowBehavioursTest::versionBox() {
    TestWindow t;
    t.frm->mnu_ver->trigger();
    QCOMPARE(t.os.messageBoxes.size(), 1);
    const auto& box = t.os.messageBoxes.first();
    const QString head = QStringLiteral("Swatchly! バージョン1.0\r\n\r\n");
    QVERIFY2(box.text.startsWith(head), qPrintable(box.text));
    const QString attribution = box.text.mid(head.size());
    QVERIFY(!attribution.trimmed().isEmpty());
    QVERIFY(!attribution.contains(u'\r') && !attribution.contains(u'\n'));
    QCOMPARE(box.style, 0);
    QVERIFY(box.title.isEmpty());
    QVERIFY(!t.frm->mnu_ver->isChecked());
}

QTEST_MAIN(WindowBehavioursTest)
#include "tst_windowbehaviours.moc"
