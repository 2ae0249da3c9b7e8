#pragma once

#include "palette/PaletteTable.h"

#include <QByteArray>
#include <QString>

// A palette file: the 48 values of a palette table as little-endian signed 32-bit integers,
// 16 reds, 16 greens, 16 blues; 192 bytes, no header.
namespace PaletteFile {

constexpr qint64 RecordSize = 192;
inline const QString Extension = QStringLiteral(".pdt");

QByteArray encode(const PaletteTable& table);
// The first 192 bytes of `bytes`, which must hold at least that many.
PaletteTable decode(const QByteArray& bytes);

// Reads a palette file. Opens it read-only and never creates it. Throws AppError with a
// message naming the file when it is missing, unreadable or shorter than one record; bytes
// after the record are ignored.
PaletteTable read(const QString& path);

// Replaces (or creates) a palette file with exactly one record, atomically: on any failure the
// old file stays as it was and no temporary file is left. Throws AppError naming the file and
// the reason.
void write(const QString& path, const PaletteTable& table);

// The longest file name, ending included, in UTF-8 bytes, that a palette file is saved under.
constexpr qsizetype MaxNameBytes = 248;

// The reason a base name cannot be used for a palette file in the program's folder, or an
// empty string when it can: no folder separators, no control characters, not "." or "..",
// at most MaxNameBytes with the ending.
QString baseNameProblem(const QString& baseName);

} // namespace PaletteFile
