#pragma once

#include "palette/PaletteTable.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <sys/types.h>

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
// The same for a file named by its bytes, which need not be valid UTF-8 (a name the list shows
// escaped); `shownPath` stands for it in messages.
PaletteTable read(const QByteArray& nativePath, const QString& shownPath);

// Reads a whole file of at most `maxBytes` with the same care as read(): only a regular file,
// opened without blocking. `noun` names the kind of file in messages.
QByteArray readWhole(const QString& path, const QString& noun, qint64 maxBytes);

// Replaces (or creates) a palette file with exactly one record. The record goes into a new file
// in the same folder, unnamed where the file system allows it (else under a hidden temporary
// name), which takes the old file's name only once its data reached the disk: on any failure the
// old file stays as it was and nothing is left in the folder. A link is followed only to an
// existing file in the same folder. Throws AppError naming the file and the reason, also when
// the file was saved but the folder could not be synced.
void write(const QString& path, const PaletteTable& table);

// Replaces (or creates) any file with `bytes` in the way write() does; a link is followed
// wherever it leads, but only to an existing file. `noun` names the kind of file in messages.
// Afterwards the folder is cleared of what interrupted saves left there (removeLeftovers).
void replaceWhole(const QString& path, const QByteArray& bytes, const QString& noun);

// Removes what saves that were interrupted (the program killed, the machine off) left in a
// folder: only the temporary names that write() gives files, and only when no save holds them.
void removeLeftovers(const QString& folder);

// The calls of a save that touch the disk; a test replaces them to play a failing disk.
struct DiskCalls {
    // A new file without a name in `folder`, open for writing (open() with O_TMPFILE). A file
    // system that refuses it (EOPNOTSUPP, EISDIR, EINVAL) gets a named temporary file instead.
    int (*openUnnamed)(const char* folder, mode_t mode);
    ssize_t (*write)(int fd, const void* data, std::size_t size);
    int (*dataSync)(int fd);
    int (*close)(int fd);
    // Gives the unnamed file open as `fd` the path `name` (linkat() through /proc/self/fd).
    int (*link)(int fd, const char* name);
    int (*rename)(const char* from, const char* to);
    // Syncs the folder open as `fd`, which makes the new name outlast a power cut.
    int (*folderSync)(int fd);
};
extern DiskCalls diskCalls;

// The longest file name, ending included, in UTF-8 bytes, that a palette file is saved under.
constexpr qsizetype MaxNameBytes = 248;

// The reason a base name cannot be used for a palette file in the program's folder, or an
// empty string when it can: no folder separators, no control characters, no characters that
// change the direction of the text around them, nothing that UTF-8 cannot hold (half of a
// surrogate pair), not "." or "..", at most MaxNameBytes with the ending.
QString baseNameProblem(const QString& baseName);

} // namespace PaletteFile
