#pragma once

// A fresh program whose folder is a subfolder of the test's temporary folder, so that anything
// written beside the program folder shows, and the steps a user takes on the swatches and the panel.

#include "palette/PaletteFile.h"
#include "support/TestWindow.h"

#include <QRegularExpression>
#include <QTest>

using RGB = std::array<int, 3>;
using Swatches = std::array<std::int32_t, 16>;

struct Fixture : TestWindow {
    frmColor& f = *frm;
    QString dir = folder.filePath("program");

    Fixture() {
        QDir().mkpath(dir);
        os.folder = dir;
        f.FilPallete->setPath(dir);
    }
    static PaletteTable filled(std::int32_t v) {
        PaletteTable table;
        table.fill(v, v, v);
        return table;
    }
    static bool isJapanese(const QString& text) { return text.contains(QRegularExpression("[ぁ-ヿ一-鿿]")); }
    QString path(const QString& name) const { return QDir(dir).filePath(name); }
    void put(const QString& name, const QByteArray& bytes) const {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    void put(const QString& name, const PaletteTable& table) const { put(name, PaletteFile::encode(table)); }
    QByteArray get(const QString& name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The entries of the program folder, or with `beside`, of the folder that holds it.
    QStringList files(bool beside = false) const {
        return QDir(beside ? folder.path() : dir)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
    QList<platform::FakePlatform::MessageBoxCall>& boxes() { return os.messageBoxes; }
    // What shows and can be used, control by control and menu item by menu item.
    QList<bool> state() const {
        QList<bool> s;
        for (QWidget* w : f.findChildren<QWidget*>()) {
            s << w->isVisible() << (w->isVisible() && w->isEnabled());
        }
        for (QAction* a : f.findChildren<QAction*>()) {
            s << a->isEnabled() << a->isChecked();
        }
        return s;
    }

    // Registers a colour in My palette with a right click.
    void reg(int swatch, RGB rgb) {
        setSliders(rgb[0], rgb[1], rgb[2]);
        press(f.lblPallete[static_cast<std::size_t>(swatch)], Qt::RightButton);
    }
    Swatches shown() const {
        Swatches colours{};
        for (std::size_t i = 0; i < 16; ++i) {
            colours[i] = f.lblPallete[i]->BackColor();
        }
        return colours;
    }
    // Whether every swatch shows its entry of a table: its colour, or the mark of one outside 0..255.
    bool shows(const PaletteTable& t) const {
        for (int i = 0; i < 16; ++i) {
            const std::int32_t r = t.at(i, 0), g = t.at(i, 1), b = t.at(i, 2);
            const bool colour = std::max({r, g, b}) <= 255 && std::min({r, g, b}) >= 0;
            if (shown()[std::size_t(i)] != (colour ? r + 256 * g + 65536 * b : UnshowableColor)) {
                return false;
            }
        }
        return true;
    }

    void open(bool saving) { click(f.cmdColor[saving ? 0 : 1]); }
    QStringList listed() const {
        QStringList names;
        for (int i = 0; i < f.FilPallete->ListCount(); ++i) {
            names << f.FilPallete->List(i);
        }
        return names;
    }
    void pick(const QString& name) const {
        QListWidgetItem* item = f.FilPallete->item(static_cast<int>(listed().indexOf(name)));
        QVERIFY2(item, qPrintable(name));
        click(f.FilPallete->viewport(), f.FilPallete->visualItemRect(item).center());
    }
    // Puts a name into the name box and clicks the save button.
    void saveAs(const QString& name) {
        f.txtPallete->setText(name);
        click(f.cmdOK);
    }
};
