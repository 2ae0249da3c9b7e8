#include "palette/PaletteFile.h"

#include "app/ErrorGuard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace PaletteFile {

namespace {

int openUnnamedFile(const char* folder, mode_t mode) {
    // An unnamed file gets its name through /proc: without it, the named way is taken.
    if (::access("/proc/self/fd", X_OK) != 0) {
        errno = EOPNOTSUPP;
        return -1;
    }
    return ::open(folder, O_TMPFILE | O_WRONLY | O_NOCTTY | O_CLOEXEC, mode);
}

int linkUnnamedFile(int fd, const char* name) {
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    return ::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name, AT_SYMLINK_FOLLOW);
}

} // namespace

DiskCalls diskCalls{openUnnamedFile, ::write, ::fdatasync, ::close, linkUnnamedFile, ::rename, ::fsync};

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// An open file descriptor, closed when it goes out of scope.
struct Descriptor {
    int fd;
    explicit Descriptor(int descriptor)
        : fd(descriptor) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { close(); }
    void close() {
        if (fd >= 0) {
            ::close(std::exchange(fd, -1));
        }
    }
};

// What a file system object that is no regular file is, for messages.
QString kindOf(mode_t mode) {
    if (S_ISDIR(mode)) {
        return QStringLiteral("フォルダー");
    }
    if (S_ISFIFO(mode)) {
        return QStringLiteral("名前付きパイプ（FIFO）");
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return QStringLiteral("デバイスファイル");
    }
    if (S_ISSOCK(mode)) {
        return QStringLiteral("ソケット");
    }
    return QStringLiteral("特殊なファイル");
}

AppError tooShort(const QString& path, qint64 size) {
    return AppError(QStringLiteral("「%1」はパレットファイルではありません。\n"
                                   "大きさが %2 バイトしかありません（パレットファイルは %3 バイトです）。")
                        .arg(shown(path), QString::number(size), QString::number(RecordSize)));
}

// Texts go into a message in one pass: a "%2" in a file name stays as it is.
AppError tooLarge(const QString& path, const QString& noun, qint64 maxBytes) {
    return AppError(QStringLiteral("%3「%1」は大きすぎるため読み込めません（%2 バイトまでです）。")
                        .arg(shown(path), QString::number(maxBytes), noun));
}

// Only a regular file is read, and a palette file holds at least one record.
void requireRegular(const QString& path, const struct stat& info, const QString& noun, qint64 minBytes) {
    if (!S_ISREG(info.st_mode)) {
        throw AppError(QStringLiteral("「%1」は%3として読み込めません。\n"
                                      "通常のファイルではなく、%2です。")
                           .arg(shown(path), kindOf(info.st_mode), noun));
    }
    if (info.st_size < minBytes) {
        throw tooShort(path, info.st_size);
    }
}

// The temporary files of saves: hidden, of one length, with a name no user gives a file and the
// list of palette files never shows.
const QString TemporaryPrefix = QStringLiteral(".swatchly-save-");
const QString TemporarySuffix = QStringLiteral(".tmp");
constexpr int TemporaryRandomChars = 12;

QString temporaryName() {
    static constexpr char alphabet[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    QString name = TemporaryPrefix;
    for (int i = 0; i < TemporaryRandomChars; ++i) {
        name += QLatin1Char(alphabet[QRandomGenerator::global()->bounded(36)]);
    }
    return name + TemporarySuffix;
}

bool isTemporaryName(const QString& name) {
    static const QRegularExpression pattern(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(TemporaryPrefix) + QStringLiteral("[0-9a-z]{%1}").arg(TemporaryRandomChars) +
        QRegularExpression::escape(TemporarySuffix)));
    return pattern.match(name).hasMatch();
}

} // namespace

QByteArray encode(const PaletteTable& table) {
    QByteArray bytes(RecordSize, Qt::Uninitialized);
    char* out = bytes.data();
    for (std::int32_t value : table.values) {
        const auto bits = static_cast<std::uint32_t>(value);
        for (int shift = 0; shift < 32; shift += 8) {
            *out++ = static_cast<char>((bits >> shift) & 0xFFu);
        }
    }
    return bytes;
}

PaletteTable decode(const QByteArray& bytes) {
    Q_ASSERT(bytes.size() >= RecordSize);
    PaletteTable table;
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.constData());
    for (std::int32_t& value : table.values) {
        std::uint32_t bits = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            bits |= static_cast<std::uint32_t>(*in++) << shift;
        }
        value = static_cast<std::int32_t>(bits);
    }
    return table;
}

namespace {

AppError unreadable(const QString& path, const QString& noun, int error) {
    return AppError(
        QStringLiteral("%3「%1」を読み込めません。\n（%2）").arg(shown(path), qt_error_string(error), noun));
}

int openForReading(const QByteArray& native, const QString& path, const QString& noun, qint64 minBytes,
                   const QString& missingNote, qint64* size) {
    auto missingOrUnopenable = [&](int error) {
        if (error == ENOENT) {
            return AppError(QStringLiteral("%2「%1」が見つかりません。%3").arg(shown(path), noun, missingNote));
        }
        return AppError(
            QStringLiteral("%3「%1」を開けません。\n（%2）").arg(shown(path), qt_error_string(error), noun));
    };
    // Looked at before it is opened: opening a pipe waits for a writer, and opening a device
    // can have effects of its own.
    struct stat info {};
    if (::stat(native.constData(), &info) != 0) {
        throw missingOrUnopenable(errno);
    }
    requireRegular(path, info, noun, minBytes);
    // It may have been replaced since: opened without blocking, and looked at again.
    Descriptor file{::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    if (file.fd < 0) {
        throw missingOrUnopenable(errno);
    }
    if (::fstat(file.fd, &info) != 0) {
        throw unreadable(path, noun, errno);
    }
    requireRegular(path, info, noun, minBytes);
    *size = info.st_size;
    return std::exchange(file.fd, -1);
}

} // namespace

PaletteTable read(const QString& path) {
    return read(QFile::encodeName(path), path);
}

PaletteTable read(const QByteArray& nativePath, const QString& path) {
    qint64 size = 0;
    const Descriptor file{openForReading(nativePath, path, QStringLiteral("パレットファイル"), RecordSize,
                                         QStringLiteral("\n一覧を読み込んだ後で削除または移動された可能性があります。"),
                                         &size)};
    QByteArray bytes(RecordSize, '\0');
    for (qint64 done = 0; done < RecordSize;) {
        const ssize_t n = ::pread(file.fd, bytes.data() + done, static_cast<std::size_t>(RecordSize - done), done);
        if (n < 0 && errno != EINTR) {
            throw unreadable(path, QStringLiteral("パレットファイル"), errno);
        }
        if (n == 0) { // cut short while it was read
            throw tooShort(path, done);
        }
        done += std::max<ssize_t>(n, 0);
    }
    return decode(bytes);
}

QByteArray readWhole(const QString& path, const QString& noun, qint64 maxBytes) {
    qint64 size = 0;
    const Descriptor file{openForReading(QFile::encodeName(path), path, noun, 0, QString(), &size)};
    if (size > maxBytes) {
        throw tooLarge(path, noun, maxBytes);
    }
    // Read to its end, whatever the size said: a file that grows meanwhile is still refused.
    QByteArray bytes(maxBytes + 1, '\0');
    qint64 done = 0;
    for (;;) {
        const ssize_t n = ::pread(file.fd, bytes.data() + done, static_cast<std::size_t>(maxBytes + 1 - done), done);
        if (n < 0 && errno != EINTR) {
            throw unreadable(path, noun, errno);
        }
        if (n == 0) {
            break;
        }
        done += std::max<ssize_t>(n, 0);
        if (done > maxBytes) {
            throw tooLarge(path, noun, maxBytes);
        }
    }
    bytes.truncate(done);
    return bytes;
}

namespace {

// What replaces a file must find a regular file there, or nothing, and may write it.
bool checkReplaceable(const QString& path, const QString& noun, struct stat* old) {
    const bool existed = ::stat(QFile::encodeName(path).constData(), old) == 0;
    if (existed && !S_ISREG(old->st_mode)) {
        throw AppError(QStringLiteral("%3「%1」を保存できません。\n同じ名前の%2があります。")
                           .arg(shown(path), kindOf(old->st_mode), noun));
    }
    if (existed && !QFileInfo(path).isWritable()) {
        throw AppError(
            QStringLiteral("%2「%1」を保存できません。\nファイルが読み取り専用です。").arg(shown(path), noun));
    }
    return existed;
}

// A link followed to the file it names at last; empty for a loop.
QFileInfo followLinks(const QFileInfo& link) {
    QFileInfo resolved = link;
    for (int depth = 0; resolved.isSymLink() && depth < 40; ++depth) {
        resolved = QFileInfo(resolved.symLinkTarget());
    }
    return resolved.isSymLink() ? QFileInfo() : resolved;
}

// The name a new file is created under where the file system has no unnamed files, or is
// given just before it replaces the old one; -1 with errno when no name could be taken.
int createTemporary(const QString& folder, QByteArray* temporary) {
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        *temporary = QFile::encodeName(QDir(folder).filePath(temporaryName()));
        fd = ::open(temporary->constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    return fd;
}

// Puts `bytes` in place of `finalPath` (`path` as the user named it, for messages).
void replaceContents(const QString& path, const QString& finalPath, const QByteArray& bytes, const QString& noun,
                     bool existed, const struct stat& old) {
    const QString oldStays = existed ? QStringLiteral("\n元のファイルはそのままです。") : QString();
    auto failure = [&](const QString& reason, int error) {
        return AppError(QStringLiteral("%5「%1」を保存できませんでした。\n%2%3\n（%4）")
                            .arg(shown(path), reason, oldStays, qt_error_string(error), noun));
    };
    const QString cannotCreate = QStringLiteral("フォルダーに書き込めないか、新しいファイルを作れません。");

    const QString folder = QFileInfo(finalPath).absolutePath();
    // The new file has no name until it is complete and on the disk, so that a save cut short
    // leaves nothing behind. A file system without unnamed files gets a named temporary file.
    QByteArray temporary; // the new file's name, once it has one
    Descriptor file{diskCalls.openUnnamed(QFile::encodeName(folder).constData(), 0666)};
    const bool unnamed = file.fd >= 0;
    if (!unnamed) {
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            throw failure(cannotCreate, errno);
        }
        file.fd = createTemporary(folder, &temporary);
        if (file.fd < 0) {
            throw failure(cannotCreate, errno);
        }
    }
    // From here on a failure takes the new file away again.
    auto abandon = [&](const QString& reason, int error) {
        file.close();
        if (!temporary.isEmpty()) {
            ::unlink(temporary.constData());
        }
        return failure(reason, error);
    };
    // Held until the file has its final name: removeLeftovers() leaves a running save's file alone.
    ::flock(file.fd, LOCK_EX | LOCK_NB);
    if (existed && ::fchmod(file.fd, old.st_mode & 07777) != 0) {
        throw abandon(QStringLiteral("元のファイルと同じアクセス権を新しいファイルに設定できません。"), errno);
    }
    auto writeFailed = [](int error) {
        if (error == EFBIG) {
            return QStringLiteral("書き込めるファイルの大きさの上限を超えました。このプログラムを起動したセッションで"
                                  "上限が設定されています（ulimit -f）。");
        }
        if (error == ENOSPC || error == EDQUOT) {
            return QStringLiteral("書き込みに失敗しました。ディスクがいっぱいの可能性があります。");
        }
        return QStringLiteral("書き込みに失敗しました。");
    };
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n =
            diskCalls.write(file.fd, bytes.constData() + done, static_cast<std::size_t>(bytes.size() - done));
        if (const int error = errno; n < 0 && error != EINTR) {
            throw abandon(writeFailed(error), error);
        }
        if (n == 0) {
            throw abandon(writeFailed(ENOSPC), ENOSPC);
        }
        done += std::max<ssize_t>(n, 0);
    }
    if (diskCalls.dataSync(file.fd) != 0) {
        throw abandon(QStringLiteral("ディスクに書き込めたことを確かめられませんでした。"), errno);
    }
    // Closed now, so that its errors are heard while the old file still stands; a second
    // descriptor keeps the file and its lock up to the rename. (A failed close may still have
    // released the descriptor: it is not closed twice.)
    const QString notClosed = QStringLiteral("書き込んだファイルを閉じられませんでした。");
    const int written = std::exchange(file.fd, ::dup(file.fd));
    if (file.fd < 0) {
        const int error = errno;
        file.fd = written;
        throw abandon(notClosed, error);
    }
    if (diskCalls.close(written) != 0) {
        throw abandon(notClosed, errno);
    }
    const QByteArray target = QFile::encodeName(finalPath);
    if (unnamed) {
        // Named only now, right before the rename: a kill between the two leaves a temporary name,
        // which removeLeftovers() clears.
        int error = EEXIST;
        for (int attempt = 0; attempt < 16 && error == EEXIST; ++attempt) {
            temporary = QFile::encodeName(QDir(folder).filePath(temporaryName()));
            error = diskCalls.link(file.fd, temporary.constData()) == 0 ? 0 : errno;
        }
        if (error != 0) {
            temporary.clear();
            throw abandon(QStringLiteral("書き込んだファイルをフォルダーに置けませんでした。"), error);
        }
    }
    if (diskCalls.rename(temporary.constData(), target.constData()) != 0) {
        throw abandon(QStringLiteral("ファイルを置き換えられませんでした。"), errno);
    }
    file.close();
    // The new file is complete and in place; syncing the folder makes the replacement itself
    // outlast a power cut. Nothing is left to undo if that fails, but the user is told. A file
    // system that cannot sync a folder at all (EINVAL) has nothing to sync.
    const Descriptor directory{::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    const int error = directory.fd < 0 || diskCalls.folderSync(directory.fd) != 0 ? errno : 0;
    if (error != 0 && error != EINVAL) {
        throw AppError(QStringLiteral("%3「%1」は保存しましたが、フォルダーへの書き込みがディスクに届いたことを"
                                      "確かめられませんでした。\n停電などで電源が切れると、このファイルが保存する前"
                                      "の状態に戻るおそれがあります。\n（%2）")
                           .arg(shown(path), qt_error_string(error), noun));
    }
}

// Replaces the file at `path`; a link there is followed to the file it names, which is replaced
// and keeps being named by the link. With `sameFolder`, only a link to a file in the same
// folder is followed. Returns the path of the file replaced.
QString replaceThroughLinks(const QString& path, const QByteArray& bytes, const QString& noun, bool sameFolder) {
    const QFileInfo target(path);
    struct stat old {};
    const bool existed = checkReplaceable(path, noun, &old);
    QString finalPath = target.absoluteFilePath();
    if (target.isSymLink()) {
        // A link is followed through any further links to the file it ends at; that file is
        // replaced and the link stays. A loop is refused, and so is a link that leads nowhere:
        // whoever made the link would decide where a new file lands. With `sameFolder` a name
        // outside the link's own folder is refused too, one in a subfolder included; the folders
        // are compared without links, so a detour out and back in still counts as the folder. A
        // refused save writes nothing.
        const QFileInfo resolved = followLinks(target);
        const QString folder = QDir(target.absolutePath()).canonicalPath();
        if (resolved.filePath().isEmpty() ||
            (sameFolder && (folder.isEmpty() || QDir(resolved.absolutePath()).canonicalPath() != folder))) {
            throw AppError(QStringLiteral("%2「%1」を保存できません。\n%3")
                               .arg(shown(path), noun,
                                    sameFolder ? QStringLiteral("パレットファイルのフォルダーの外を指すリンクです。")
                                               : QStringLiteral("リンクがたどれません。")));
        }
        finalPath = resolved.absoluteFilePath();
        if (!resolved.exists()) {
            throw AppError(
                QStringLiteral("%2「%1」を保存できません。\n「%3」を指すリンクですが、その先にファイルがありません。")
                    .arg(shown(path), noun, shown(finalPath)));
        }
    }
    replaceContents(path, finalPath, bytes, noun, existed, old);
    return finalPath;
}

} // namespace

void write(const QString& path, const PaletteTable& table) {
    // A save never reaches outside the palette folder.
    replaceThroughLinks(path, encode(table), QStringLiteral("パレットファイル"), true);
}

void replaceWhole(const QString& path, const QByteArray& bytes, const QString& noun) {
    // No panel ever opens on this folder: it is cleared here of what earlier saves left.
    removeLeftovers(QFileInfo(replaceThroughLinks(path, bytes, noun, false)).absolutePath());
}

void removeLeftovers(const QString& folder) {
    const QDir dir(folder);
    const QStringList names = dir.entryList({TemporaryPrefix + QLatin1Char('*') + TemporarySuffix},
                                            QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (!isTemporaryName(name)) {
            continue;
        }
        const QByteArray native = QFile::encodeName(dir.filePath(name));
        struct stat info {};
        if (::lstat(native.constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
            continue;
        }
        const Descriptor file{::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC)};
        if (file.fd >= 0 && ::flock(file.fd, LOCK_EX | LOCK_NB) == 0) {
            ::unlink(native.constData());
        }
    }
}

QString baseNameProblem(const QString& baseName) {
    if (baseName == QLatin1String(".") || baseName == QLatin1String("..")) {
        return QStringLiteral("「%1」はファイル名に使えません。").arg(baseName);
    }
    for (qsizetype i = 0; i < baseName.size(); ++i) {
        const QChar ch = baseName[i];
        if (ch == QLatin1Char('/') || ch == QLatin1Char('\\')) {
            return QStringLiteral(
                       "ファイル名に「%1」は使えません。パレットファイルは決まったフォルダーに保存されます。")
                .arg(ch);
        }
        const char16_t u = ch.unicode();
        const QString code = QStringLiteral("U+%1").arg(int(u), 4, 16, QLatin1Char('0')).toUpper();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F)) {
            return QStringLiteral("ファイル名に制御文字（%1）は使えません。").arg(code);
        }
        // Embeddings, overrides and isolates make a name read differently from what it is.
        if ((u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069)) {
            return QStringLiteral("ファイル名に文字の向きを変える制御文字（%1）は使えません。").arg(code);
        }
        // Half of a surrogate pair has no UTF-8: the file would get another name.
        if (ch.isHighSurrogate() && i + 1 < baseName.size() && baseName[i + 1].isLowSurrogate()) {
            ++i;
        } else if (ch.isSurrogate()) {
            return QStringLiteral("ファイル名に使えない文字（%1、対になっていないサロゲート）が含まれています。")
                .arg(code);
        }
    }
    // Most file systems take at most 255 bytes per name. Saves go through a temporary name of
    // their own, so this is not the file systems' limit, but the one names always had here.
    if ((baseName + Extension).toUtf8().size() > MaxNameBytes) {
        return QStringLiteral("ファイル名が長すぎます（「%1」を含めて %2 バイトまでです）。")
            .arg(Extension)
            .arg(MaxNameBytes);
    }
    return {};
}

} // namespace PaletteFile
