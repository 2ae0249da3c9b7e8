// A stand-in for a starting program in the single-instance tests: takes the instance lock of
// a program path, as the program does before its application object exists, and reports.
//
//   swatchly_lock_helper <program path> [--hold] [--at <milliseconds since the epoch>]
//
// Prints "LOCKED" or "BUSY" on one line; exits 0 when it got the lock, 1 when not. With --hold
// it keeps the lock until its standard input closes. With --at it waits for that moment first,
// so that several helpers try at the same time.

#include "platform/SingleInstance.h"

#include <QDateTime>
#include <QString>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: swatchly_lock_helper <program path> [--hold] [--at <ms>]\n", stderr);
        return 2;
    }
    bool hold = false;
    qint64 at = 0;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--hold") == 0) {
            hold = true;
        } else if (std::strcmp(argv[i], "--at") == 0 && i + 1 < argc) {
            at = QByteArray(argv[++i]).toLongLong();
        }
    }
    while (at > 0 && QDateTime::currentMSecsSinceEpoch() < at) {
        if (at - QDateTime::currentMSecsSinceEpoch() > 5) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    platform::SingleInstance instance(QString::fromLocal8Bit(argv[1]));
    const bool locked = instance.tryAcquire();
    std::fputs(locked ? "LOCKED\n" : "BUSY\n", stdout);
    std::fflush(stdout);
    if (locked && hold) {
        while (std::fgetc(stdin) != EOF) {
        }
    }
    return locked ? 0 : 1;
}
