// Saves a palette file or exports a GIMP palette over and over, between two contents, until it is
// killed: run.sh kills it at random moments and looks at what is left.
//
// Usage: killsave palette|gimp PATH first|second|loop|next
//   first, second: writes that content once and ends;
//   loop: writes the two in turn for ever, saying "ready" on standard output after the first;
//   next: what the program does next in that folder: opening the file panel clears a palette
//   folder of what killed saves left there, a GIMP export clears its folder after writing.

#include "app/ErrorGuard.h"
#include "palette/GimpPalette.h"
#include "palette/PaletteFile.h"

#include <QFileInfo>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 4 || (std::strcmp(argv[1], "palette") != 0 && std::strcmp(argv[1], "gimp") != 0)) {
        std::fputs("usage: killsave palette|gimp PATH first|second|loop|next\n", stderr);
        return 2;
    }
    const bool gimp = std::strcmp(argv[1], "gimp") == 0;
    const QString path = QString::fromLocal8Bit(argv[2]);
    PaletteTable contents[2];
    contents[0].fill(1, 2, 3);
    contents[1].fill(200, 100, 50);
    contents[1].setEntry(15, 9, 8, 7);
    const auto save = [&](const PaletteTable& table) {
        gimp ? GimpPalette::write(path, table) : PaletteFile::write(path, table);
    };
    try {
        if (std::strcmp(argv[3], "next") == 0) {
            gimp ? save(contents[0]) : PaletteFile::removeLeftovers(QFileInfo(path).absolutePath());
            return 0;
        }
        if (std::strcmp(argv[3], "loop") != 0) {
            save(contents[std::strcmp(argv[3], "second") == 0 ? 1 : 0]);
            return 0;
        }
        save(contents[1]);
        std::puts("ready");
        std::fflush(stdout);
        for (unsigned n = 0;; ++n) {
            save(contents[n % 2]);
        }
    } catch (const AppError& error) {
        std::fprintf(stderr, "killsave: %s\n", error.message().toLocal8Bit().constData());
        return 1;
    }
}
