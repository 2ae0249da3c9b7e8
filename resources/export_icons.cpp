// Build-time tool: writes the program icon as PNG files for the desktop's icon theme.
// Usage: swatchly_export_icons <output folder> <size>...

#include "resources/Icons.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: swatchly_export_icons <folder> <size>...\n");
        return 2;
    }
    const QDir out(args.at(1));
    const QIcon icon = ProgramIcon();
    for (qsizetype i = 2; i < args.size(); ++i) {
        const int size = args.at(i).toInt();
        const QPixmap pixmap = icon.pixmap(QSize(size, size));
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        if (size <= 0 || pixmap.width() != size || !out.mkpath(folder) ||
            !pixmap.save(out.filePath(folder + QStringLiteral("/io.github.swatchly.Swatchly.png")), "PNG")) {
            std::fprintf(stderr, "swatchly_export_icons: cannot write the %d-pixel icon\n", size);
            return 1;
        }
    }
    return 0;
}
