// Colours brought in from outside, a code on the clipboard or a pixel of the screen, and the
// contrast of text colour on background colour in the hint line.

#include "app/frmColor.h"
#include "color/ColorInput.h"
#include "platform/Platform.h"

#include <QPointer>
#include <QTimer>
#include <utility>

void Module1::SetEditedColour(int r, int g, int b) {
    // Through the sliders, as a swatch pick: each slider's handler stores and snaps its value.
    frm.VScrColor[0]->setValue(r);
    frm.VScrColor[1]->setValue(g);
    frm.VScrColor[2]->setValue(b);
    UpdateColorDisplay();
}

namespace {

// How long a paste waits for the program that holds the clipboard to hand over its text.
constexpr int PasteWithinMs = 1000;

} // namespace

void frmColor::mnu_Color_Paste_Click() {
    guarded([this] {
        if (m_pasteDeadline != nullptr) {
            return; // one paste at a time
        }
        // The window goes on answering while the text is on its way.
        m_pasteDeadline = new QTimer(this);
        m_pasteDeadline->setSingleShot(true);
        connect(m_pasteDeadline, &QTimer::timeout, this, [this] {
            os.cancelClipboardRead();
            PasteEnded(std::nullopt);
        });
        m_pasteDeadline->start(PasteWithinMs);
        const QPointer<frmColor> self(this);
        os.readClipboardText([self](const QString& text) {
            if (self != nullptr) {
                self->PasteEnded(text);
            }
        });
    });
}

void frmColor::PasteEnded(const std::optional<QString>& text) {
    QTimer* deadline = std::exchange(m_pasteDeadline, nullptr);
    deadline->stop();
    deadline->deleteLater();
    guarded([&] {
        // A paste that ends while the file panel is open changes nothing.
        if (m.FilePanelOpen) {
            return;
        }
        if (!text) {
            throw AppError(QStringLiteral("クリップボードの文字を読み取れませんでした。\n"
                                          "クリップボードを持っているプログラムが %1 秒のうちに応答しませんでした。\n"
                                          "そのプログラムでもう一度コピーしてから選んでください。")
                               .arg(PasteWithinMs / 1000));
        }
        if (text->trimmed().isEmpty()) {
            throw AppError(QStringLiteral("クリップボードに色コードがありません。\n"
                                          "FF8000、#FF8000、&H0080FF などの文字をコピーしてから選んでください。"));
        }
        const ColorCodeReading reading = ParseColorCode(*text);
        if (reading.transparent) {
            throw AppError(QStringLiteral("クリップボードの「%1」は透明度のある色です。\n"
                                          "Swatchly が扱うのは不透明な色だけです。")
                               .arg(QuotedForMessage(text->trimmed())));
        }
        if (!reading.colour) {
            throw AppError(QStringLiteral("クリップボードの「%1」は色コードとして読み取れません。\n"
                                          "読み取れる形式: FF8000、#FF8000、#F80、&H0080FF、0xFF8000、"
                                          "rgb(255, 128, 0)、hsl(30, 100%, 50%)、orange などの色の名前")
                               .arg(QuotedForMessage(text->trimmed())));
        }
        const Rgb colour = *reading.colour;
        m.SetEditedColour(colour.r, colour.g, colour.b);
    });
}

void frmColor::mnu_Color_Pick_Click() {
    guarded([this] {
        lblExplain->setCaption(QStringLiteral("取り込む色をクリック（Esc・右クリックで中止）"));
        const QPointer<frmColor> self(this);
        os.pickScreenColor(this, [self](std::optional<QRgb> colour, const QString& failure) {
            if (self == nullptr) {
                return;
            }
            self->guarded([&] {
                // A pick that ends while the file panel is open changes nothing.
                if (colour && !self->m.FilePanelOpen) {
                    self->m.SetEditedColour(qRed(*colour), qGreen(*colour), qBlue(*colour));
                } else if (!self->m.FilePanelOpen) {
                    self->lblExplain->setCaption(self->SliderReadout());
                }
                if (!failure.isEmpty()) {
                    throw AppError(failure);
                }
            });
        });
    });
}

void frmColor::mnu_Color_Contrast_Click() {
    guarded([this] {
        m.ShowingContrast = !m.ShowingContrast;
        mnu_Color_Contrast->setChecked(m.ShowingContrast);
        lblExplain->setCaption(SliderReadout());
    });
}

void frmColor::copyShortcut_Triggered() {
    if (cmdColor[CopyButton]->isEnabled()) {
        cmdColor_Click(CopyButton);
    }
}
