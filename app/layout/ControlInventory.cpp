// The window's controls: kinds, positions, sizes, fonts, colours, tab order and what the open
// file panel does with them, as one table.

#include "app/Appearance.h"
#include "app/frmColor.h"
#include "app/layout/Twips.h"
#include "resources/StringTable.h"

#include <QFont>
#include <algorithm>
#include <variant>
#include <vector>

namespace {

// The control a row makes, by the member that receives it.
using Slot = std::variant<CommandButton**, TextBox**, FileListBox**, OptionButton**, ColorSlider**, Label**>;

// How a label looks; other controls are Plain.
enum class Look { Plain, Swatch, BorderedLabel, Letter };

enum class Face { Default, Gothic12, Gothic975, Gothic1425Bold, Gothic12Bold, Times2025Bold };

// While the file panel is open a control stays as it is (the quit button, the hint line and the
// panel's own), gives way to the panel, or is disabled.
enum class InPanel { Stays, Hidden, Disabled };

// One row of the inventory.
struct Row {
    Slot slot;
    int left, top, width, height;
    Face face;
    int tab; // position in the tab order; labels take no focus
    InPanel inPanel;
    Look look = Look::Plain;
};

// The faces not set here come from the window's, which is the layout's whatever the desktop's.
QFont fontFor(Face face) {
    auto make = [](const char* family, qreal points, bool bold) {
        QFont font(QString::fromUtf8(family));
        font.setPointSizeF(points);
        font.setWeight(bold ? QFont::Bold : QFont::Normal);
        font.setItalic(false);
        return font;
    };
    switch (face) {
    case Face::Gothic12:
        return make("ＭＳ Ｐゴシック", 12, false);
    case Face::Gothic975:
        return make("ＭＳ Ｐゴシック", 9.75, false);
    case Face::Gothic1425Bold:
        return make("ＭＳ Ｐゴシック", 14.25, true);
    case Face::Gothic12Bold:
        return make("ＭＳ Ｐゴシック", 12, true);
    case Face::Times2025Bold:
        return make("Times New Roman", 20.25, true);
    case Face::Default:
        break;
    }
    return LayoutFont();
}

} // namespace

void frmColor::createControls() {
    // The swatch grid: three rows of six, six and four; neighbours share their border lines.
    constexpr std::array<int, 6> swatchLeft{1620, 2100, 2580, 3060, 3540, 4020};
    constexpr std::array<int, 3> swatchTop{1200, 1560, 1920};

    // In creation order; later rows lie above earlier ones, except that labels lie beneath
    // every other control.
    std::vector<Row> rows = {
        {&cmdColor[QuitButton], 3960, 2760, 615, 615, Face::Default, 38, InPanel::Stays},
        {&cmdColor[TopmostButton], 3360, 2760, 615, 615, Face::Default, 37, InPanel::Disabled},
        {&cmdColor[PaletteButton], 2760, 2760, 615, 615, Face::Default, 36, InPanel::Disabled},
        {&cmdColor[FormatButton], 2160, 2760, 615, 615, Face::Default, 35, InPanel::Disabled},
        {&cmdColor[ModeButton], 1560, 2760, 615, 615, Face::Default, 34, InPanel::Disabled},
        {&cmdColor[CopyButton], 1560, 2280, 3015, 495, Face::Gothic12, 33, InPanel::Disabled},
        {&cmdColor[LoadButton], 4020, 1920, 495, 375, Face::Default, 32, InPanel::Disabled},
        {&cmdCancel, 5520, 2400, 735, 495, Face::Default, 31, InPanel::Stays},
        {&cmdOK, 4800, 2400, 735, 495, Face::Default, 30, InPanel::Stays},
        {&txtPallete, 4800, 1920, 1455, 375, Face::Gothic975, 29, InPanel::Stays},
        {&FilPallete, 4800, 0, 1455, 1845, Face::Gothic975, 28, InPanel::Stays},
        {&optColor[TextOption], 3360, 840, 855, 300, Face::Default, 21, InPanel::Hidden},
        {&optColor[BackgroundOption], 3360, 600, 855, 300, Face::Default, 20, InPanel::Hidden},
        {&txtColor, 1560, 0, 3015, 495, Face::Gothic1425Bold, 19, InPanel::Disabled},
        {&cmdColor[SaveButton], 3540, 1920, 495, 375, Face::Default, 17, InPanel::Disabled},
        {&VScrColor[2], 960, 480, 495, 2895, Face::Default, 2, InPanel::Hidden},
        {&VScrColor[1], 480, 480, 495, 2895, Face::Default, 1, InPanel::Hidden},
        {&VScrColor[0], 0, 480, 495, 2895, Face::Default, 0, InPanel::Hidden},
    };
    for (int i = 0; i < 16; ++i) {
        const auto cell = static_cast<std::size_t>(i < 6 ? i : (i < 12 ? i - 6 : i - 12));
        const auto line = static_cast<std::size_t>(i / 6);
        rows.push_back({&lblPallete[static_cast<std::size_t>(i)], swatchLeft[cell], swatchTop[line], 495, 375,
                        Face::Default, i < 10 ? 7 + i : 12 + i, InPanel::Disabled, Look::Swatch});
    }
    rows.push_back({&lblHex, 1560, 600, 1575, 495, Face::Gothic12, 18, InPanel::Disabled, Look::BorderedLabel});
    rows.push_back({&lblExplain, 0, 3480, 4575, 375, Face::Gothic12Bold, 6, InPanel::Stays, Look::BorderedLabel});
    rows.push_back({&Label1[2], 960, 0, 495, 375, Face::Times2025Bold, 5, InPanel::Hidden, Look::Letter});
    rows.push_back({&Label1[1], 480, 0, 495, 375, Face::Times2025Bold, 4, InPanel::Hidden, Look::Letter});
    rows.push_back({&Label1[0], 0, 0, 495, 3375, Face::Times2025Bold, 3, InPanel::Hidden, Look::Letter});

    // The window's own colours, whatever the desktop's.
    setPalette(LightPalette());

    std::vector<std::pair<int, QWidget*>> tabOrder;
    std::vector<QWidget*> labels;
    for (const Row& row : rows) {
        QWidget* const widget = std::visit(
            [this](auto** slot) -> QWidget* {
                *slot = new std::remove_pointer_t<std::remove_pointer_t<decltype(slot)>>(client);
                return *slot;
            },
            row.slot);
        widget->setGeometry(twips::rect(row.left, row.top, row.width, row.height));
        widget->setFont(fontFor(row.face));
        if (auto* const* button = std::get_if<CommandButton**>(&row.slot)) {
            (**button)->setAutoDefault(false);
            (**button)->setDefault(false);
            const int side = std::min(twips::toPixels(row.width), twips::toPixels(row.height));
            (**button)->setIconSize(side >= 40 ? QSize(32, 32) : QSize(16, 16));
        }
        if (auto* const* slot = std::get_if<Label**>(&row.slot)) {
            Label* label = **slot;
            if (row.look == Look::Letter) {
                label->setTransparent(true);
                label->setCentred(true);
            } else {
                label->setBorder(true);
                label->setBackColor(0xFFFFFF);
                label->setCentred(row.look == Look::BorderedLabel);
            }
            label->setFocusPolicy(Qt::NoFocus);
            labels.push_back(label);
        } else {
            tabOrder.emplace_back(row.tab, widget);
        }
        if (row.inPanel == InPanel::Hidden) {
            hiddenByPanel.append(widget);
        } else if (row.inPanel == InPanel::Disabled) {
            disabledByPanel.append(widget);
        }
    }

    // Labels are drawn beneath the other controls: only the top strip of the tall "R" shows.
    for (QWidget* label : labels) {
        label->lower();
    }

    std::sort(tabOrder.begin(), tabOrder.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < tabOrder.size(); ++i) {
        QWidget::setTabOrder(tabOrder[i - 1].second, tabOrder[i].second);
    }
    // The swatches, whose tab positions above are those of labels that take no focus, are one
    // focus stop after all the others: the one swatch that holds it takes Tab (palette/Swatches.cpp).
    QWidget* before = tabOrder.back().second;
    for (std::size_t i = 0; i < lblPallete.size(); ++i) {
        lblPallete[i]->setSwatchPlace(static_cast<int>(i) + 1, static_cast<int>(lblPallete.size()));
        lblPallete[i]->setFocusPolicy(Qt::TabFocus); // Qt orders only widgets that take focus
        QWidget::setTabOrder(before, lblPallete[i]);
        before = lblPallete[i];
    }
    for (std::size_t i = 1; i < lblPallete.size(); ++i) {
        lblPallete[i]->setFocusPolicy(Qt::NoFocus);
    }

    // Looks that the table does not carry.
    Label1[0]->setCaption(QStringLiteral("R"));
    Label1[0]->setForeColor(0x0000FF);
    Label1[1]->setCaption(QStringLiteral("G"));
    Label1[1]->setForeColor(0x008000);
    Label1[2]->setCaption(QStringLiteral("B"));
    Label1[2]->setForeColor(0xFF0000);
    cmdColor[CopyButton]->setText(QStringLiteral("クリップボードへコピー"));
    // The read-out with the contrast as seen with another colour vision is the longest text.
    lblExplain->setShrinkToFit(true);
    // The sample text: black on white, the colours the program starts with.
    txtColor->setBackColor(0xFFFFFF);
    txtColor->setForeColor(0x000000);

    // For screen readers, what each control does, in the words of its hint. Buttons and
    // labels read their caption (picture buttons their picture's hint; Controls.cpp).
    for (std::size_t i = 0; i < 3; ++i) {
        VScrColor[i]->setAccessibleName(LoadResString(SliderHints[i]));
        Label1[i]->setAccessibleDescription(LoadResString(SliderHints[i]));
    }
    optColor[BackgroundOption]->setAccessibleDescription(LoadResString(TextId::BackgroundOptionHint));
    optColor[TextOption]->setAccessibleDescription(LoadResString(TextId::TextOptionHint));
    txtColor->setAccessibleName(LoadResString(TextId::PreviewHint));
    txtPallete->setAccessibleName(LoadResString(TextId::NameBoxHint));
    FilPallete->setAccessibleName(QStringLiteral("パレットファイルの一覧"));
    lblHex->setAccessibleDescription(LoadResString(TextId::CodeHint));
    lblExplain->setAccessibleDescription(LoadResString(TextId::HintLineHint));
    for (ToolbarButton button : {CopyButton, ModeButton}) {
        cmdColor[button]->setAccessibleDescription(LoadResString(*ToolbarHint(button)));
    }
}
