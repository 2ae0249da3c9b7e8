#include "app/RememberedState.h"

#include "color/ColorInput.h"

#include <QRegion>
#include <QSet>
#include <QStringDecoder>
#include <algorithm>
#include <functional>

namespace {

// The names the file keeps these under never change, whatever the program comes to call them.
QString GamutKey(ColorGamut mode) {
    switch (mode) {
    case ColorGamut::Full:
        return QStringLiteral("full");
    case ColorGamut::Web216:
        return QStringLiteral("216");
    }
    return {};
}

// No default: a new colour vision has no name until it is given one here.
QString VisionKey(ColourVision vision) {
    switch (vision) {
    case ColourVision::None:
        return QStringLiteral("none");
    case ColourVision::Protan:
        return QStringLiteral("protan");
    case ColourVision::Deutan:
        return QStringLiteral("deutan");
    case ColourVision::Tritan:
        return QStringLiteral("tritan");
    case ColourVision::Achromat:
        return QStringLiteral("achromat");
    }
    return {};
}

constexpr std::array<ColorGamut, 2> Gamuts{ColorGamut::Full, ColorGamut::Web216};

template <typename T, std::size_t N>
std::optional<T> FromKey(QStringView key, const std::array<T, N>& all, QString (*keyOf)(T)) {
    for (const T value : all) {
        if (key == keyOf(value)) {
            return value;
        }
    }
    return std::nullopt;
}

// A whole number of at most six ASCII digits, with a minus sign where `min` allows one, in
// min..max; blanks around it do not matter.
std::optional<int> Number(QStringView text, int min, int max) {
    text = text.trimmed();
    const bool negative = text.startsWith(QLatin1Char('-')) && min < 0;
    const QStringView digits = negative ? text.mid(1) : text;
    if (digits.isEmpty() || digits.size() > 6) {
        return std::nullopt;
    }
    int value = 0;
    for (const QChar ch : digits) {
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9')) {
            return std::nullopt;
        }
        value = value * 10 + (ch.unicode() - u'0');
    }
    value = negative ? -value : value;
    if (value < min || value > max) {
        return std::nullopt;
    }
    return value;
}

// Numbers separated by commas, each in min..max.
template <std::size_t N> std::optional<std::array<int, N>> Numbers(QStringView text, int min, int max) {
    std::array<int, N> values{};
    std::size_t count = 0;
    for (const QStringView part : text.split(QLatin1Char(','))) {
        const std::optional<int> value = Number(part, min, max);
        if (!value || count == N) {
            return std::nullopt;
        }
        values[count++] = *value;
    }
    if (count != N) {
        return std::nullopt;
    }
    return values;
}

std::optional<RememberedState::Colour> ColourValue(QStringView text) {
    const auto rgb = Numbers<3>(text, 0, 255);
    if (!rgb) {
        return std::nullopt;
    }
    return RememberedState::Colour{(*rgb)[0], (*rgb)[1], (*rgb)[2]};
}

QString ColourText(const RememberedState::Colour& colour) {
    return QStringLiteral("%1,%2,%3").arg(colour[0]).arg(colour[1]).arg(colour[2]);
}

// Positions reach this far from the desktop's origin: further than any screen lies.
constexpr int FarthestPosition = 100000;

// One value of the file: its name, what a good value looks like (for the message), how it is
// read into a state (false when the text is no such value) and written from one (none when the
// state does not hold it).
struct Value {
    QString name;
    QString expected;
    std::function<bool(QStringView, RememberedState&)> read;
    std::function<std::optional<QString>(const RememberedState&)> write;
};

// Stores a value that was read; one that was not leaves the state as it was.
template <typename T> bool Store(std::optional<T>& field, const std::optional<T>& read) {
    if (read) {
        field = read;
    }
    return read.has_value();
}

template <typename T> std::optional<QString> Written(const std::optional<T>& value, QString (*keyOf)(T)) {
    return value ? std::optional<QString>(keyOf(*value)) : std::nullopt;
}

QString YesNo(bool on) {
    return on ? QStringLiteral("yes") : QStringLiteral("no");
}

const QString ColourExpected = QStringLiteral("0～255 の数を 3 つ「R,G,B」");

Value ColourEntry(const QString& name, std::optional<RememberedState::Colour> RememberedState::*field) {
    return {name, ColourExpected,
            [field](QStringView text, RememberedState& state) { return Store(state.*field, ColourValue(text)); },
            [field](const RememberedState& state) {
                const auto& colour = state.*field;
                return colour ? std::optional<QString>(ColourText(*colour)) : std::nullopt;
            }};
}

// A yes-or-no value, or one of two names.
Value TwoWayEntry(const QString& name, std::optional<bool> RememberedState::*field, const QString& yes,
                  const QString& no) {
    return {name, QStringLiteral("%1 か %2").arg(yes, no),
            [field, yes, no](QStringView text, RememberedState& state) {
                if (text != yes && text != no) {
                    return false;
                }
                return Store(state.*field, std::optional<bool>(text == yes));
            },
            [field, yes, no](const RememberedState& state) {
                const auto& value = state.*field;
                return value ? std::optional<QString>(*value ? yes : no) : std::nullopt;
            }};
}

QString Choices(const QStringList& names) {
    return names.join(QStringLiteral("、")) + QStringLiteral(" のどれか");
}

const QList<Value>& Values() {
    static const QList<Value> values = [] {
        QList<Value> all;
        all << ColourEntry(QStringLiteral("background"), &RememberedState::background)
            << ColourEntry(QStringLiteral("text"), &RememberedState::text)
            << TwoWayEntry(QStringLiteral("edit"), &RememberedState::editingBackground, QStringLiteral("background"),
                           QStringLiteral("text"));
        QStringList modes;
        for (const ColorGamut mode : Gamuts) {
            modes << GamutKey(mode);
        }
        all << Value{
            QStringLiteral("mode"), Choices(modes),
            [](QStringView text, RememberedState& state) { return Store(state.mode, FromKey(text, Gamuts, GamutKey)); },
            [](const RememberedState& state) { return Written(state.mode, GamutKey); }};
        QStringList formats;
        for (const CopyFormat format : CopyFormats) {
            formats << CopyFormatKey(format);
        }
        all << Value{
            QStringLiteral("copy"), Choices(formats),
            [](QStringView text, RememberedState& state) { return Store(state.copyFormat, CopyFormatFromKey(text)); },
            [](const RememberedState& state) {
                return state.copyFormat ? std::optional<QString>(CopyFormatKey(*state.copyFormat)) : std::nullopt;
            }};
        all << TwoWayEntry(QStringLiteral("on-top"), &RememberedState::onTop, YesNo(true), YesNo(false))
            << TwoWayEntry(QStringLiteral("palette"), &RememberedState::basicPaletteShown, QStringLiteral("basic"),
                           QStringLiteral("mine"));
        for (int i = 0; i < PaletteTable::Entries; ++i) {
            const auto index = static_cast<std::size_t>(i);
            all << Value{QStringLiteral("my-palette.%1").arg(i + 1), ColourExpected,
                         [index](QStringView text, RememberedState& state) {
                             return Store(state.myPalette[index], ColourValue(text));
                         },
                         [index](const RememberedState& state) {
                             const auto& colour = state.myPalette[index];
                             return colour ? std::optional<QString>(ColourText(*colour)) : std::nullopt;
                         }};
        }
        all << TwoWayEntry(QStringLiteral("contrast"), &RememberedState::showingContrast, YesNo(true), YesNo(false));
        QStringList visions;
        for (const ColourVision vision : ColourVisions) {
            visions << VisionKey(vision);
        }
        all << Value{QStringLiteral("vision"), Choices(visions),
                     [](QStringView text, RememberedState& state) {
                         return Store(state.vision, FromKey(text, ColourVisions, VisionKey));
                     },
                     [](const RememberedState& state) { return Written(state.vision, VisionKey); }};
        all << Value{
            QStringLiteral("position"), QStringLiteral("±%1 までの整数を 2 つ「X,Y」").arg(FarthestPosition),
            [](QStringView text, RememberedState& state) {
                const auto xy = Numbers<2>(text, -FarthestPosition, FarthestPosition);
                return Store(state.position, xy ? std::optional<QPoint>(QPoint((*xy)[0], (*xy)[1])) : std::nullopt);
            },
            [](const RememberedState& state) {
                return state.position ? std::optional<QString>(
                                            QStringLiteral("%1,%2").arg(state.position->x()).arg(state.position->y()))
                                      : std::nullopt;
            }};
        return all;
    }();
    return values;
}

} // namespace

QByteArray WriteRememberedState(const RememberedState& state) {
    QString text = QStringLiteral("# Swatchly の終了時の状態（基本設定 → 終了時の状態を記憶する）\n"
                                  "# その項目のチェックを外すと、このファイルは削除されます。\n");
    for (const Value& value : Values()) {
        if (const std::optional<QString> written = value.write(state)) {
            text += value.name + QLatin1Char('=') + *written + QLatin1Char('\n');
        }
    }
    return text.toUtf8();
}

QStringList ReadRememberedState(QByteArrayView text, RememberedState& state) {
    QStringList ignored;
    QSet<QString> seen;
    bool anyLine = false;
    int lineNumber = 0;
    for (QByteArrayView rest = text; !rest.isEmpty();) {
        const qsizetype end = rest.indexOf('\n');
        const QByteArrayView bytes = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        ++lineNumber;
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString line = utf8.decode(bytes);
        const QString where = QStringLiteral("%1 行目").arg(lineNumber);
        if (utf8.hasError()) {
            anyLine = true;
            ignored << where + QStringLiteral("（UTF-8 の文字ではありません）");
            continue;
        }
        if (lineNumber == 1 && line.startsWith(QChar(0xFEFF))) {
            line.remove(0, 1);
        }
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        anyLine = true;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0) {
            ignored << where + QStringLiteral("「%1」（「名前=値」の形ではありません）").arg(QuotedForMessage(line));
            continue;
        }
        const QString name = line.left(equals).trimmed();
        const QString valueText = line.mid(equals + 1).trimmed();
        const auto found =
            std::find_if(Values().begin(), Values().end(), [&name](const Value& value) { return value.name == name; });
        if (found == Values().end()) {
            ignored << where + QStringLiteral("の「%1」（知らない名前です）").arg(QuotedForMessage(name));
            continue;
        }
        if (seen.contains(name)) {
            ignored << where + QStringLiteral("の %1（2 度目です。初めのほうを使います）").arg(name);
            continue;
        }
        seen.insert(name);
        if (!found->read(valueText, state)) {
            ignored << where + QStringLiteral("の %1=「%2」は使えません（書けるのは %3）")
                                   .arg(name, QuotedForMessage(valueText), found->expected);
        }
    }
    if (anyLine) {
        QStringList missing;
        for (const Value& value : Values()) {
            if (!seen.contains(value.name)) {
                missing << value.name;
            }
        }
        if (!missing.isEmpty()) {
            ignored << QStringLiteral("%1 がありません").arg(missing.join(QStringLiteral("、")));
        }
    }
    return ignored;
}

bool LiesOnScreens(const QRect& window, const QList<QRect>& screens) {
    QRegion outside(window);
    for (const QRect& screen : screens) {
        outside -= QRegion(screen);
    }
    return !window.isEmpty() && outside.isEmpty();
}
