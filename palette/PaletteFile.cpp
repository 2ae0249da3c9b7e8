#include "palette/PaletteFile.h"

#include "app/ErrorGuard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace PaletteFile {

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
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

PaletteTable read(const QString& path) {
    QFile file(path);
    if (!file.exists()) {
        throw AppError(QStringLiteral("パレットファイル「%1」が見つかりません。\n"
                                      "一覧を読み込んだ後で削除または移動された可能性があります。")
                           .arg(shown(path)));
    }
    if (!file.open(QIODevice::ReadOnly)) {
        throw AppError(
            QStringLiteral("パレットファイル「%1」を開けません。\n（%2）").arg(shown(path), file.errorString()));
    }
    const QByteArray bytes = file.read(RecordSize);
    if (file.error() != QFileDevice::NoError) {
        throw AppError(
            QStringLiteral("パレットファイル「%1」を読み込めません。\n（%2）").arg(shown(path), file.errorString()));
    }
    if (bytes.size() < RecordSize) {
        throw AppError(QStringLiteral("「%1」はパレットファイルではありません。\n"
                                      "大きさが %2 バイトしかありません（パレットファイルは %3 バイトです）。")
                           .arg(shown(path))
                           .arg(file.size())
                           .arg(RecordSize));
    }
    return decode(bytes);
}

void write(const QString& path, const PaletteTable& table) {
    const QFileInfo target(path);
    if (target.isDir()) {
        throw AppError(QStringLiteral("パレットファイル「%1」を保存できません。\n同じ名前のフォルダーがあります。")
                           .arg(shown(path)));
    }
    if (target.exists() && !target.isWritable()) {
        throw AppError(
            QStringLiteral("パレットファイル「%1」を保存できません。\nファイルが読み取り専用です。").arg(shown(path)));
    }
    if (target.isSymLink()) {
        // QSaveFile writes through a link: a link in the program folder must not carry the save
        // to a file outside it.
        QFileInfo resolved = target;
        for (int depth = 0; resolved.isSymLink() && depth < 40; ++depth) {
            resolved = QFileInfo(resolved.symLinkTarget());
        }
        const QString folder = QDir(target.absolutePath()).canonicalPath();
        if (resolved.isSymLink() || folder.isEmpty() || QDir(resolved.absolutePath()).canonicalPath() != folder) {
            throw AppError(QStringLiteral("パレットファイル「%1」を保存できません。\n"
                                          "プログラムのフォルダーの外を指すリンクです。")
                               .arg(shown(path)));
        }
    }
    QSaveFile file(path);
    auto fail = [&](const QString& reason) {
        const QString detail = file.errorString();
        file.cancelWriting();
        return AppError(QStringLiteral("パレットファイル「%1」を保存できませんでした。\n%2\n（%3）")
                            .arg(shown(path), reason, detail));
    };
    // Unbuffered, so that a short write (a full disk, a file size limit) shows in write()
    // itself; the buffered flush inside commit() would let a cut-off file replace the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        throw fail(QStringLiteral("フォルダーに書き込めないか、この名前のファイルを作れません。"));
    }
    const QByteArray bytes = encode(table);
    if (file.write(bytes) != bytes.size() || !file.flush() || file.size() != RecordSize) {
        throw fail(QStringLiteral("書き込みに失敗しました。ディスクがいっぱいの可能性があります。"));
    }
    if (!file.commit()) {
        throw AppError(QStringLiteral("パレットファイル「%1」を保存できませんでした。\n"
                                      "ファイルを置き換えられませんでした。元のファイルはそのままです。\n（%2）")
                           .arg(shown(path), file.errorString()));
    }
}

QString baseNameProblem(const QString& baseName) {
    if (baseName == QLatin1String(".") || baseName == QLatin1String("..")) {
        return QStringLiteral("「%1」はファイル名に使えません。").arg(baseName);
    }
    for (const QChar ch : baseName) {
        if (ch == QLatin1Char('/') || ch == QLatin1Char('\\')) {
            return QStringLiteral(
                       "ファイル名に「%1」は使えません。パレットファイルはプログラムのフォルダーに保存されます。")
                .arg(ch);
        }
        if (ch.unicode() < 0x20 || ch.unicode() == 0x7F) {
            return QStringLiteral("ファイル名に制御文字は使えません。");
        }
    }
    // Most file systems take at most 255 bytes per name, and saving over an existing file goes
    // through a temporary name 7 bytes longer: a name that fits can always be saved again.
    if ((baseName + Extension).toUtf8().size() > MaxNameBytes) {
        return QStringLiteral("ファイル名が長すぎます（「%1」を含めて %2 バイトまでです）。")
            .arg(Extension)
            .arg(MaxNameBytes);
    }
    return {};
}

} // namespace PaletteFile
