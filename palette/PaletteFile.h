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

// Reads a palette file. It must be a regular file (after following links) of at least one
// record: that is checked before it is opened, and again on the open file, which is opened
// read-only and without blocking, so that a pipe or a device in its place cannot hold the
// program up. Throws AppError naming the file and what is wrong with it; bytes after the record
// are ignored.
PaletteTable read(const QString& path);

// Reads a whole file of at most `maxBytes` with the same care as read(): only a regular file,
// opened without blocking. `noun` names the kind of file in messages.
QByteArray readWhole(const QString& path, const QString& noun, qint64 maxBytes);

// Replaces (or creates) a palette file with exactly one record. The record goes into a new
// temporary file in the same folder, which replaces the old file only once its data reached the
// disk: on any failure the old file stays as it was and the temporary file is removed. Throws
// AppError naming the file and the reason.
void write(const QString& path, const PaletteTable& table);

// Replaces (or creates) any file with `bytes` in the way write() does; a link is followed
// wherever it leads. `noun` names the kind of file in messages.
void replaceWhole(const QString& path, const QByteArray& bytes, const QString& noun);

// Removes what saves that were interrupted (the program killed, the machine off) left in a
// folder: only the temporary files that write() creates, and only when no save holds them.
void removeLeftovers(const QString& folder);

// The calls that end a save's writing; a test replaces them to play a failing disk.
struct DiskCalls {
    int (*dataSync)(int fd);
    int (*close)(int fd);
};
extern DiskCalls diskCalls;

// The longest file name, ending included, in UTF-8 bytes, that a palette file is saved under.
constexpr qsizetype MaxNameBytes = 248;

// The reason a base name cannot be used for a palette file in the program's folder, or an
// empty string when it can: no folder separators, no control characters, no characters that
// change the direction of the text around them, not "." or "..", at most MaxNameBytes with the
// ending.
QString baseNameProblem(const QString& baseName);

} // namespace PaletteFile
