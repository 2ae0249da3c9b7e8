#include "resources/Icons.h"

#include "platform/PixelArtIcon.h"

#include <QHash>
#include <QImage>

// The pictures are 16-colour XPM images compiled into the program.
#include "resources/icons/app_16.xpm"
#include "resources/icons/app_32.xpm"
#include "resources/icons/app_48.xpm"
#include "resources/icons/icon101_32.xpm"
#include "resources/icons/icon102_16.xpm"
#include "resources/icons/icon102_32.xpm"
#include "resources/icons/icon103_16.xpm"
#include "resources/icons/icon103_32.xpm"
#include "resources/icons/icon104_32.xpm"
#include "resources/icons/icon105_32.xpm"
#include "resources/icons/icon106_32.xpm"
#include "resources/icons/icon107_16.xpm"
#include "resources/icons/icon107_32.xpm"
#include "resources/icons/icon108_16.xpm"
#include "resources/icons/icon108_32.xpm"
#include "resources/icons/icon109_16.xpm"
#include "resources/icons/icon110_32.xpm"
#include "resources/icons/icon111_32.xpm"
#include "resources/icons/icon112_32.xpm"
#include "resources/icons/icon113_32.xpm"
#include "resources/icons/icon114_32.xpm"

namespace {

using Xpm = const char* const*;

QIcon fromXpm(std::initializer_list<Xpm> images) {
    std::vector<QImage> decoded;
    for (Xpm xpm : images) {
        decoded.emplace_back(xpm);
    }
    return pixelArtIcon(std::move(decoded));
}

QIcon build(PictureId id) {
    switch (id) {
    case PictureId::Quit:
        return fromXpm({icon101_32});
    case PictureId::OnTop:
        return fromXpm({icon102_16, icon102_32});
    case PictureId::NotOnTop:
        return fromXpm({icon103_16, icon103_32});
    case PictureId::PlainHexFormat:
        return fromXpm({icon104_32});
    case PictureId::AmpHFormat:
        return fromXpm({icon105_32});
    case PictureId::HtmlFormat:
        return fromXpm({icon106_32});
    case PictureId::SavePalette:
        return fromXpm({icon107_16, icon107_32});
    case PictureId::LoadPalette:
        return fromXpm({icon108_16, icon108_32});
    case PictureId::SmallPalette:
        return fromXpm({icon109_16});
    case PictureId::BasicPalette:
        return fromXpm({icon110_32});
    case PictureId::MyPalette:
        return fromXpm({icon111_32});
    case PictureId::CssRgbFormat:
        return fromXpm({icon112_32});
    case PictureId::CssHslFormat:
        return fromXpm({icon113_32});
    case PictureId::ZeroXFormat:
        return fromXpm({icon114_32});
    case PictureId::None:
        break;
    }
    return {};
}

} // namespace

QIcon LoadResPicture(PictureId id) {
    // Each picture is decoded once, on first use, and shared afterwards.
    static QHash<PictureId, QIcon> cache;
    auto it = cache.constFind(id);
    if (it == cache.constEnd()) {
        it = cache.insert(id, build(id));
    }
    return *it;
}

std::optional<TextId> PictureHint(PictureId id) {
    switch (id) {
    case PictureId::Quit:
        return TextId::QuitHint;
    case PictureId::OnTop:
        return TextId::OnTopHint;
    case PictureId::NotOnTop:
        return TextId::NotOnTopHint;
    case PictureId::PlainHexFormat:
    case PictureId::AmpHFormat:
    case PictureId::HtmlFormat:
    case PictureId::CssRgbFormat:
    case PictureId::CssHslFormat:
    case PictureId::ZeroXFormat:
        return TextId::FormatButtonHint;
    case PictureId::SavePalette:
        return TextId::SaveButtonHint;
    case PictureId::LoadPalette:
        return TextId::LoadButtonHint;
    case PictureId::BasicPalette:
        return TextId::BasicPaletteHint;
    case PictureId::MyPalette:
        return TextId::MyPaletteHint;
    case PictureId::SmallPalette:
    case PictureId::None:
        break;
    }
    return std::nullopt;
}

QIcon ProgramIcon() {
    return fromXpm({app_16, app_32, app_48});
}
