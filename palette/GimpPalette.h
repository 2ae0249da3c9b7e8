#pragma once

#include "palette/PaletteTable.h"

#include <QByteArray>
#include <QString>

// GIMP's palette files (.gpl), which GIMP, Inkscape and Krita read: a "GIMP Palette" line, a
// header of "Name:" and "Columns:", comments after "#", then one colour a line, "R G B name".
namespace GimpPalette {

inline const QString Extension = QStringLiteral(".gpl");
// Larger files are refused unread; GIMP's own palettes stay far below.
constexpr qint64 MaxBytes = 1024 * 1024;

// The text of a palette of the 16 entries, in UTF-8, named `name` (on one line). Throws
// AppError when an entry lies outside 0..255, which the format cannot hold.
QByteArray encode(const PaletteTable& table, const QString& name);

// The first 16 colours of a palette text, the entries it has not left white. Throws AppError
// naming `path` and the line when the text is no palette: no "GIMP Palette" line first, a line
// that is no three numbers, a value outside 0..255, no colour at all.
PaletteTable decode(const QByteArray& bytes, const QString& path);

PaletteTable read(const QString& path);
// Replaces the file at once and whole, or leaves it as it was.
void write(const QString& path, const PaletteTable& table);

} // namespace GimpPalette
