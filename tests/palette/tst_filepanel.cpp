// The palette file panel in the window: what opening it for saving or loading hides, disables
// and shows, the list and the name box, previews, and what closing it gives back.

#include "app/layout/Twips.h"
#include "palette/PaletteFile.h"
#include "resources/StringTable.h"
#include "support/TestWindow.h"

#include <QMenu>
#include <QTest>

using RGB = std::array<int, 3>;
Q_DECLARE_METATYPE(RGB)

namespace {

PaletteTable filled(std::int32_t r, std::int32_t g, std::int32_t b) {
    PaletteTable table;
    table.fill(r, g, b);
    return table;
}

std::array<std::int32_t, 16> swatchColours(const frmColor& f) {
    std::array<std::int32_t, 16> colours{};
    for (std::size_t i = 0; i < 16; ++i) {
        colours[i] = f.lblPallete[i]->BackColor();
    }
    return colours;
}

std::array<std::int32_t, 16> painted(const PaletteTable& table) {
    std::array<std::int32_t, 16> colours{};
    for (int i = 0; i < 16; ++i) {
        colours[static_cast<std::size_t>(i)] = table.at(i, 0) + 256 * table.at(i, 1) + 65536 * table.at(i, 2);
    }
    return colours;
}

void registerColour(frmColor& f, int swatch, RGB rgb) {
    for (std::size_t i = 0; i < 3; ++i) {
        f.VScrColor[i]->setValue(rgb[i]);
    }
    TestWindow::press(f.lblPallete[static_cast<std::size_t>(swatch)], Qt::RightButton);
}

void clickEntry(frmColor& f, const QString& name) {
    FileListBox* list = f.FilPallete;
    for (int row = 0; row < list->ListCount(); ++row) {
        if (list->List(row) == name) {
            list->scrollToItem(list->item(row));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                              list->visualItemRect(list->item(row)).center());
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("%1 is not listed").arg(name)));
}

void typeName(frmColor& f, const QString& text) {
    f.txtPallete->selectAll();
    QTest::keyClick(f.txtPallete, Qt::Key_Backspace);
    QTest::keyClicks(f.txtPallete, text);
}

QStringList listed(frmColor& f) {
    QStringList names;
    for (int i = 0; i < f.FilPallete->ListCount(); ++i) {
        names << f.FilPallete->List(i);
    }
    return names;
}

} // namespace

class FilePanelTest : public QObject {
    Q_OBJECT

private slots:
    void panelStates_data();
    void panelStates();
    void loadModePreviewsFirstFile();
    void saveModeFillsNameAndPreviews();
    void emptyFolder_data();
    void emptyFolder();
    void nameBoxEnablesAction();
    void closing_data();
    void closing();
    void reopeningPreviewsFirstFileAgain();
    void listIsSortedPaletteFilesOnly();
    void swatchesAndMenusInertWhileOpen();
};

void FilePanelTest::panelStates_data() {
    QTest::addColumn<int>("opener"); // -1 closed, else the toolbar button
    QTest::newRow("closed") << -1;
    QTest::newRow("open for saving") << 0;
    QTest::newRow("open for loading") << 1;
}

void FilePanelTest::panelStates() {
    QFETCH(int, opener);
    TestWindow t;
    frmColor& f = *t.frm;
    t.writeFile(QStringLiteral("a.pdt"), PaletteFile::encode(filled(1, 2, 3)));
    if (opener >= 0) {
        TestWindow::click(f.cmdColor[static_cast<std::size_t>(opener)]);
    }
    const bool open = opener >= 0;
    const bool saving = opener == 0;

    QCOMPARE(t.m().FilePanelOpen, open);
    if (open) {
        QCOMPARE(t.m().PanelSaving, saving);
        QCOMPARE(f.Caption(), LoadResString(saving ? 131 : 132));
        QCOMPARE(f.cmdOK->text(), LoadResString(saving ? 133 : 134));
        QCOMPARE(f.cmdCancel->text(), LoadResString(135));
    }
    QCOMPARE(f.FilPallete->isVisible(), open);
    QVERIFY(!open || f.FilPallete->isEnabled());
    QCOMPARE(f.txtPallete->isVisible(), saving);
    QCOMPARE(f.cmdOK->isVisible(), open);
    QCOMPARE(f.cmdCancel->isVisible(), open);
    // Opening with a file selects it, which enables the action button.
    QCOMPARE(f.cmdOK->isEnabled(), open);
    for (std::size_t i = 0; i < 3; ++i) {
        QCOMPARE(f.Label1[i]->isVisible(), !open);
        QCOMPARE(f.VScrColor[i]->isVisible(), !open);
    }
    for (QRadioButton* option : f.optColor) {
        QCOMPARE(option->isVisible(), !open);
    }
    for (Label* swatch : f.lblPallete) {
        QCOMPARE(swatch->isEnabled(), !open);
    }
    QCOMPARE(f.txtColor->isEnabled(), !open);
    QCOMPARE(f.lblHex->isEnabled(), !open);
    for (std::size_t i = 0; i < 7; ++i) {
        QCOMPARE(f.cmdColor[i]->isEnabled(), !open);
    }
    QVERIFY(f.cmdColor[7]->isEnabled());
    QCOMPARE(f.mnu_Color->menuAction()->isEnabled(), !open);
    QCOMPARE(f.mnu_based->menuAction()->isEnabled(), !open);
    QCOMPARE(f.mnu_option->menuAction()->isEnabled(), !open);
    QVERIFY(f.mnu_Help->menuAction()->isEnabled());

    if (open) {
        // The panel sits at the top-left corner; the buttons stack under the name box, or in
        // the name box's place when it is hidden.
        QCOMPARE(f.FilPallete->pos(), QPoint(twips::toPixels(10), twips::toPixels(10)));
        QCOMPARE(f.txtPallete->x(), f.FilPallete->x());
        QVERIFY(f.txtPallete->y() > f.FilPallete->geometry().bottom());
        QCOMPARE(f.cmdOK->y(), saving ? f.txtPallete->geometry().bottom() + 1 : f.txtPallete->y());
        QCOMPARE(f.cmdCancel->y(), f.cmdOK->geometry().bottom() + 1);
        QCOMPARE(f.cmdOK->width(), f.txtPallete->width());
        QCOMPARE(f.cmdCancel->width(), f.txtPallete->width());
        QVERIFY(!f.cmdCancel->geometry().intersects(f.cmdOK->geometry()));
        QVERIFY(!f.cmdOK->geometry().intersects(f.FilPallete->geometry()));
    }
}

void FilePanelTest::loadModePreviewsFirstFile() {
    TestWindow t;
    frmColor& f = *t.frm;
    registerColour(f, 0, {10, 20, 30});
    const PaletteTable mine = t.m().MyPalette;
    t.writeFile(QStringLiteral("b.pdt"), PaletteFile::encode(filled(0, 0, 255)));
    t.writeFile(QStringLiteral("a.pdt"), PaletteFile::encode(filled(255, 0, 0)));

    TestWindow::click(f.cmdColor[1]);
    QCOMPARE(f.FilPallete->ListIndex(), 0);
    QCOMPARE(t.m().PaletteView, filled(255, 0, 0));
    QCOMPARE(swatchColours(f), painted(filled(255, 0, 0)));
    QVERIFY(f.cmdOK->isEnabled());
    QCOMPARE(t.m().MyPalette, mine);

    clickEntry(f, QStringLiteral("b.pdt"));
    QCOMPARE(swatchColours(f), painted(filled(0, 0, 255)));
    QCOMPARE(t.m().MyPalette, mine);

    TestWindow::click(f.cmdCancel);
    QCOMPARE(t.m().PaletteView, mine);
    QCOMPARE(swatchColours(f), painted(mine));
    QVERIFY(t.os.messageBoxes.isEmpty());
}

void FilePanelTest::saveModeFillsNameAndPreviews() {
    TestWindow t;
    frmColor& f = *t.frm;
    registerColour(f, 3, {1, 2, 3});
    const PaletteTable mine = t.m().MyPalette;
    t.writeFile(QStringLiteral("first.pdt"), PaletteFile::encode(filled(0, 255, 0)));

    TestWindow::click(f.cmdColor[0]);
    QCOMPARE(f.txtPallete->text(), QStringLiteral("first.pdt"));
    QCOMPARE(swatchColours(f), painted(filled(0, 255, 0)));
    QVERIFY(f.cmdOK->isEnabled());

    typeName(f, QStringLiteral("mine"));
    TestWindow::click(f.cmdOK);
    QCOMPARE(t.readFile(QStringLiteral("mine.pdt")), PaletteFile::encode(mine));
    QCOMPARE(t.readFile(QStringLiteral("first.pdt")), PaletteFile::encode(filled(0, 255, 0)));
    // The panel stays open for saving, lists the new file and keeps the preview on screen.
    QVERIFY(t.m().FilePanelOpen && t.m().PanelSaving);
    QVERIFY(f.txtPallete->isVisible());
    QCOMPARE(f.txtPallete->text(), QStringLiteral("mine"));
    QVERIFY(f.cmdOK->isEnabled());
    QCOMPARE(listed(f), (QStringList{QStringLiteral("first.pdt"), QStringLiteral("mine.pdt")}));
    QCOMPARE(swatchColours(f), painted(filled(0, 255, 0)));
    QCOMPARE(t.m().MyPalette, mine);
    QVERIFY(t.os.messageBoxes.isEmpty());

    TestWindow::click(f.cmdCancel);
    QCOMPARE(swatchColours(f), painted(mine));
    QCOMPARE(t.m().PaletteView, mine);
    QCOMPARE(t.m().MyPalette, mine);
}

void FilePanelTest::emptyFolder_data() {
    QTest::addColumn<int>("opener");
    QTest::newRow("saving") << 0;
    QTest::newRow("loading") << 1;
}

void FilePanelTest::emptyFolder() {
    QFETCH(int, opener);
    TestWindow t;
    frmColor& f = *t.frm;
    t.writeFile(QStringLiteral("not a palette.txt"), QByteArray(192, '\0'));
    TestWindow::click(f.cmdColor[static_cast<std::size_t>(opener)]);
    QCOMPARE(f.FilPallete->ListCount(), 0);
    QCOMPARE(f.FilPallete->ListIndex(), -1);
    QVERIFY(!f.cmdOK->isEnabled());
    QVERIFY(f.txtPallete->text().isEmpty());
    QCOMPARE(swatchColours(f), painted(filled(255, 255, 255)));
    QVERIFY(t.os.messageBoxes.isEmpty());
}

void FilePanelTest::nameBoxEnablesAction() {
    TestWindow t;
    frmColor& f = *t.frm;
    t.writeFile(QStringLiteral("x.pdt"), PaletteFile::encode(filled(0, 0, 0)));
    TestWindow::click(f.cmdColor[0]);
    QVERIFY(f.cmdOK->isEnabled());
    f.txtPallete->setFocus();
    QTest::keyClick(f.txtPallete, Qt::Key_End);
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(f.txtPallete, Qt::Key_Backspace);
    }
    QCOMPARE(f.txtPallete->text(), QString());
    QVERIFY(!f.cmdOK->isEnabled());
    QTest::keyClicks(f.txtPallete, QStringLiteral("q"));
    QVERIFY(f.cmdOK->isEnabled());
    QTest::keyClick(f.txtPallete, Qt::Key_Backspace);
    QVERIFY(!f.cmdOK->isEnabled());
}

void FilePanelTest::closing_data() {
    QTest::addColumn<int>("opener");
    QTest::addColumn<bool>("byAction");
    QTest::newRow("saving, back") << 0 << false;
    QTest::newRow("loading, back") << 1 << false;
    QTest::newRow("loading, load") << 1 << true;
}

void FilePanelTest::closing() {
    QFETCH(int, opener);
    QFETCH(bool, byAction);
    TestWindow t;
    frmColor& f = *t.frm;
    registerColour(f, 5, {5, 6, 7});
    const PaletteTable mine = t.m().MyPalette;
    t.writeFile(QStringLiteral("a.pdt"), PaletteFile::encode(filled(1, 1, 1)));
    t.writeFile(QStringLiteral("b.pdt"), PaletteFile::encode(filled(2, 2, 2)));
    TestWindow::click(f.cmdColor[static_cast<std::size_t>(opener)]);
    clickEntry(f, QStringLiteral("b.pdt"));
    TestWindow::click(byAction ? f.cmdOK : f.cmdCancel);

    QVERIFY(!t.m().FilePanelOpen);
    QCOMPARE(t.m().MyPalette, byAction ? filled(2, 2, 2) : mine);
    QCOMPARE(t.m().PaletteView, t.m().MyPalette);
    QCOMPARE(swatchColours(f), painted(t.m().MyPalette));
    for (std::size_t i = 0; i < 3; ++i) {
        QVERIFY(f.Label1[i]->isVisible());
        QVERIFY(f.VScrColor[i]->isVisible());
    }
    QVERIFY(f.optColor[0]->isVisible() && f.optColor[1]->isVisible());
    QVERIFY(!f.FilPallete->isVisible() && !f.txtPallete->isVisible());
    QVERIFY(!f.cmdOK->isVisible() && !f.cmdCancel->isVisible());
    QVERIFY(!f.cmdOK->isEnabled());
    QCOMPARE(f.txtPallete->text(), QString());
    QCOMPARE(f.Caption(), LoadResString(opener == 0 ? 131 : 132));
    for (std::size_t i = 0; i < 8; ++i) {
        QVERIFY(f.cmdColor[i]->isEnabled());
    }
    QVERIFY(f.mnu_based->menuAction()->isEnabled());
    // The colour controls work again.
    f.VScrColor[0]->setValue(0);
    TestWindow::press(f.lblPallete[5], Qt::LeftButton);
    QCOMPARE(t.sliders(), byAction ? (RGB{2, 2, 2}) : (RGB{5, 6, 7}));
}

void FilePanelTest::reopeningPreviewsFirstFileAgain() {
    TestWindow t;
    frmColor& f = *t.frm;
    t.writeFile(QStringLiteral("a.pdt"), PaletteFile::encode(filled(1, 1, 1)));
    for (int opener : {1, 1, 0, 0, 1}) {
        TestWindow::click(f.cmdColor[static_cast<std::size_t>(opener)]);
        QCOMPARE(f.FilPallete->ListIndex(), 0);
        QVERIFY(f.cmdOK->isEnabled());
        QCOMPARE(swatchColours(f), painted(filled(1, 1, 1)));
        QCOMPARE(f.txtPallete->text(), opener == 0 ? QStringLiteral("a.pdt") : QString());
        TestWindow::click(f.cmdCancel);
        QCOMPARE(swatchColours(f), painted(filled(255, 255, 255)));
    }
}

void FilePanelTest::listIsSortedPaletteFilesOnly() {
    TestWindow t;
    frmColor& f = *t.frm;
    for (const char* name : {"b.pdt", "A.pdt", "c.pdt", "10.pdt", "2.pdt", "notes.txt", "pdt"}) {
        t.writeFile(QString::fromUtf8(name), PaletteFile::encode(filled(0, 0, 0)));
    }
    QVERIFY(QDir(t.folder.path()).mkdir(QStringLiteral("folder.pdt")));
    TestWindow::click(f.cmdColor[1]);
    QCOMPARE(listed(f), (QStringList{QStringLiteral("10.pdt"), QStringLiteral("2.pdt"), QStringLiteral("A.pdt"),
                                     QStringLiteral("b.pdt"), QStringLiteral("c.pdt")}));
    QCOMPARE(f.FilPallete->List(5), QString());
    QCOMPARE(f.FilPallete->List(-1), QString());
}

void FilePanelTest::swatchesAndMenusInertWhileOpen() {
    TestWindow t;
    frmColor& f = *t.frm;
    for (std::size_t i = 0; i < 3; ++i) {
        f.VScrColor[i]->setValue(100);
    }
    TestWindow::click(f.cmdColor[1]);
    const auto before = swatchColours(f);
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        TestWindow::press(f.lblPallete[0], button);
    }
    QCOMPARE(t.sliders(), (RGB{100, 100, 100}));
    QCOMPARE(t.m().MyPalette, filled(255, 255, 255));
    QCOMPARE(swatchColours(f), before);
    // The toolbar and the palette menu cannot switch the palette either.
    TestWindow::click(f.cmdColor[5]);
    QVERIFY(!t.m().ShowingBasicPalette);
    QVERIFY(!f.mnu_based->menuAction()->isEnabled());
    QVERIFY(t.m().FilePanelOpen);
}

QTEST_MAIN(FilePanelTest)
#include "tst_filepanel.moc"
