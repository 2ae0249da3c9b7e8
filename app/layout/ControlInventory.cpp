// The window's controls: kinds, positions, sizes, fonts, colours and tab order, as one table.

#include "app/Appearance.h"
#include "app/frmColor.h"
#include "app/layout/Twips.h"
#include "platform/Platform.h"
#include "resources/StringTable.h"

#include <QFont>
#include <algorithm>
#include <vector>

namespace {

enum class Kind {
    PictureButton,
    TextButton,
    NameBox,
    FileList,
    Option,
    Preview,
    Slider,
    Swatch,
    BorderedLabel,
    Letter
};

enum class Face { Default, Gothic12, Gothic975, Gothic1425Bold, Gothic12Bold, Times2025Bold };

// One row of the inventory. `slot` receives the created control.
struct Row {
    Kind kind;
    void* slot;
    int left, top, width, height;
    Face face;
    int tab; // position in the tab order; -1 for controls that take no focus
};

QFont fontFor(Face face, const QFont& defaultFont) {
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
    return defaultFont;
}

} // namespace

void frmColor::createControls() {
    // The swatch grid: three rows of six, six and four; neighbours share their border lines.
    constexpr std::array<int, 6> swatchLeft{1620, 2100, 2580, 3060, 3540, 4020};
    constexpr std::array<int, 3> swatchTop{1200, 1560, 1920};

    // In creation order; later rows lie above earlier ones, except that labels lie beneath
    // every other control.
    std::vector<Row> rows = {
        {Kind::PictureButton, &cmdColor[7], 3960, 2760, 615, 615, Face::Default, 38},
        {Kind::PictureButton, &cmdColor[6], 3360, 2760, 615, 615, Face::Default, 37},
        {Kind::PictureButton, &cmdColor[5], 2760, 2760, 615, 615, Face::Default, 36},
        {Kind::PictureButton, &cmdColor[4], 2160, 2760, 615, 615, Face::Default, 35},
        {Kind::TextButton, &cmdColor[3], 1560, 2760, 615, 615, Face::Default, 34},
        {Kind::TextButton, &cmdColor[2], 1560, 2280, 3015, 495, Face::Gothic12, 33},
        {Kind::PictureButton, &cmdColor[1], 4020, 1920, 495, 375, Face::Default, 32},
        {Kind::TextButton, &cmdCancel, 5520, 2400, 735, 495, Face::Default, 31},
        {Kind::TextButton, &cmdOK, 4800, 2400, 735, 495, Face::Default, 30},
        {Kind::NameBox, &txtPallete, 4800, 1920, 1455, 375, Face::Gothic975, 29},
        {Kind::FileList, &FilPallete, 4800, 0, 1455, 1845, Face::Gothic975, 28},
        {Kind::Option, &optColor[1], 3360, 840, 855, 300, Face::Default, 21},
        {Kind::Option, &optColor[0], 3360, 600, 855, 300, Face::Default, 20},
        {Kind::Preview, &txtColor, 1560, 0, 3015, 495, Face::Gothic1425Bold, 19},
        {Kind::PictureButton, &cmdColor[0], 3540, 1920, 495, 375, Face::Default, 17},
        {Kind::Slider, &VScrColor[2], 960, 480, 495, 2895, Face::Default, 2},
        {Kind::Slider, &VScrColor[1], 480, 480, 495, 2895, Face::Default, 1},
        {Kind::Slider, &VScrColor[0], 0, 480, 495, 2895, Face::Default, 0},
    };
    for (int i = 0; i < 16; ++i) {
        const auto cell = static_cast<std::size_t>(i < 6 ? i : (i < 12 ? i - 6 : i - 12));
        const auto line = static_cast<std::size_t>(i / 6);
        rows.push_back({Kind::Swatch, &lblPallete[static_cast<std::size_t>(i)], swatchLeft[cell], swatchTop[line], 495,
                        375, Face::Default, i < 10 ? 7 + i : 12 + i});
    }
    rows.push_back({Kind::BorderedLabel, &lblHex, 1560, 600, 1575, 495, Face::Gothic12, 18});
    rows.push_back({Kind::BorderedLabel, &lblExplain, 0, 3480, 4575, 375, Face::Gothic12Bold, 6});
    rows.push_back({Kind::Letter, &Label1[2], 960, 0, 495, 375, Face::Times2025Bold, 5});
    rows.push_back({Kind::Letter, &Label1[1], 480, 0, 495, 375, Face::Times2025Bold, 4});
    rows.push_back({Kind::Letter, &Label1[0], 0, 0, 495, 3375, Face::Times2025Bold, 3});

    // The window's own colours, whatever the desktop's.
    setPalette(LightPalette());

    const QFont defaultFont = client->font();
    std::vector<std::pair<int, QWidget*>> tabOrder;
    std::vector<QWidget*> labels;
    for (const Row& row : rows) {
        QWidget* widget = nullptr;
        switch (row.kind) {
        case Kind::PictureButton:
        case Kind::TextButton: {
            auto* button = new CommandButton(client);
            *static_cast<CommandButton**>(row.slot) = button;
            button->setAutoDefault(false);
            button->setDefault(false);
            const int side = std::min(twips::toPixels(row.width), twips::toPixels(row.height));
            button->setIconSize(side >= 40 ? QSize(32, 32) : QSize(16, 16));
            widget = button;
            break;
        }
        case Kind::NameBox:
        case Kind::Preview: {
            auto* edit = new TextBox(client);
            *static_cast<TextBox**>(row.slot) = edit;
            widget = edit;
            break;
        }
        case Kind::FileList: {
            auto* list = new FileListBox(client);
            *static_cast<FileListBox**>(row.slot) = list;
            widget = list;
            break;
        }
        case Kind::Option: {
            auto* option = new OptionButton(client);
            *static_cast<QRadioButton**>(row.slot) = option;
            widget = option;
            break;
        }
        case Kind::Slider: {
            auto* slider = new ColorSlider(client);
            *static_cast<ColorSlider**>(row.slot) = slider;
            widget = slider;
            break;
        }
        case Kind::Swatch:
        case Kind::BorderedLabel:
        case Kind::Letter: {
            auto* label = new Label(client);
            *static_cast<Label**>(row.slot) = label;
            if (row.kind == Kind::Letter) {
                label->setTransparent(true);
                label->setCentred(true);
            } else {
                label->setBorder(true);
                label->setBackColor(0xFFFFFF);
                label->setCentred(row.kind == Kind::BorderedLabel);
            }
            labels.push_back(label);
            widget = label;
            break;
        }
        }
        widget->setGeometry(twips::rect(row.left, row.top, row.width, row.height));
        widget->setFont(fontFor(row.face, defaultFont));
        if (row.kind == Kind::Swatch || row.kind == Kind::BorderedLabel || row.kind == Kind::Letter) {
            widget->setFocusPolicy(Qt::NoFocus);
        } else {
            tabOrder.emplace_back(row.tab, widget);
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

    // Looks that the table does not carry.
    Label1[0]->setCaption(QStringLiteral("R"));
    Label1[0]->setForeColor(0x0000FF);
    Label1[1]->setCaption(QStringLiteral("G"));
    Label1[1]->setForeColor(0x008000);
    Label1[2]->setCaption(QStringLiteral("B"));
    Label1[2]->setForeColor(0xFF0000);
    cmdColor[2]->setText(QStringLiteral("クリップボードへコピー"));
    txtColor->setBackColor(0xFFFFFF);
    txtColor->setForeColor(0x000000);
    // The caption the load handler sets first: the window manager never sees another one.
    setWindowTitle(LoadResString(106));
    cmdColor[6]->setAvailable(os.canKeepOnTop());

    // For screen readers, what each control does, in the words of its hint. Buttons and
    // labels read their caption (picture buttons their picture's hint; Controls.cpp).
    for (std::size_t i = 0; i < 3; ++i) {
        VScrColor[i]->setAccessibleName(LoadResString(158 + static_cast<int>(i)));
        Label1[i]->setAccessibleDescription(LoadResString(158 + static_cast<int>(i)));
    }
    optColor[0]->setAccessibleDescription(LoadResString(146));
    optColor[1]->setAccessibleDescription(LoadResString(147));
    txtColor->setAccessibleName(LoadResString(105));
    txtPallete->setAccessibleName(LoadResString(151));
    FilPallete->setAccessibleName(QStringLiteral("パレットファイルの一覧"));
    lblHex->setAccessibleDescription(LoadResString(145));
    lblExplain->setAccessibleDescription(LoadResString(102));
    cmdColor[2]->setAccessibleDescription(LoadResString(103));
    cmdColor[3]->setAccessibleDescription(LoadResString(139));
}
