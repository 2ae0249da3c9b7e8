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

namespace {

using Xpm = const char* const*;

QIcon fromXpm(std::initializer_list<Xpm> images) {
    std::vector<QImage> decoded;
    for (Xpm xpm : images) {
        decoded.emplace_back(xpm);
    }
    return pixelArtIcon(std::move(decoded));
}

QIcon build(int id) {
    switch (id) {
    case 101:
        return fromXpm({icon101_32});
    case 102:
        return fromXpm({icon102_16, icon102_32});
    case 103:
        return fromXpm({icon103_16, icon103_32});
    case 104:
        return fromXpm({icon104_32});
    case 105:
        return fromXpm({icon105_32});
    case 106:
        return fromXpm({icon106_32});
    case 107:
        return fromXpm({icon107_16, icon107_32});
    case 108:
        return fromXpm({icon108_16, icon108_32});
    case 109:
        return fromXpm({icon109_16});
    case 110:
        return fromXpm({icon110_32});
    case 111:
        return fromXpm({icon111_32});
    default:
        return {};
    }
}

} // namespace

QIcon LoadResPicture(int id) {
    // Each picture is decoded once, on first use, and shared afterwards.
    static QHash<int, QIcon> cache;
    auto it = cache.constFind(id);
    if (it == cache.constEnd()) {
        it = cache.insert(id, build(id));
    }
    return *it;
}

QIcon ProgramIcon() {
    return fromXpm({app_16, app_32, app_48});
}
