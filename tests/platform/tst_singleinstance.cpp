// One running Swatchly per user and program file, checked with real processes of the built
// program.

#include "platform/SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <cstring>
#include <memory>
#include <pwd.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

class SingleInstanceTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        m_temp = QDir::tempPath();
        // A thousand connections of this process to the program need as many descriptors.
        rlimit files{};
        QVERIFY(getrlimit(RLIMIT_NOFILE, &files) == 0);
        files.rlim_cur = std::min<rlim_t>(files.rlim_max, 4096);
        QVERIFY(setrlimit(RLIMIT_NOFILE, &files) == 0);
    }

    void init() {
        m_dir = std::make_unique<QTemporaryDir>(m_temp + QStringLiteral("/tst_singleinstance-XXXXXX"));
        QVERIFY(QDir(m_dir->path()).mkpath("runtime") && QDir(m_dir->path()).mkpath("tmp"));
        QFile::setPermissions(m_dir->filePath("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir->filePath("runtime")));
        qputenv("TMPDIR", QFile::encodeName(m_dir->filePath("tmp")));
        m_lock = platform::SingleInstance(QFileInfo(QStringLiteral(SWATCHLY_PROGRAM)).canonicalFilePath()).lockPath();
    }

    void cleanup() {
        for (auto& process : m_started) {
            process->kill();
            process->waitForFinished(5000);
        }
        m_started.clear();
    }

    void oneInstanceRuns() {
        QProcess* first = start();
        QTRY_COMPARE_WITH_TIMEOUT(lockOwner(), first->processId(), 20000);
        checkNextStartEnds();

        // Killed, the first leaves its lock file behind; of five starts at the same moment exactly
        // one takes it over and runs, the others end with status 0.
        first->kill();
        QVERIFY(first->waitForFinished(5000));
        QVERIFY(QFile::exists(m_lock));
        const std::size_t from = m_started.size();
        for (int i = 0; i < 5; ++i) {
            start();
        }
        QTRY_COMPARE_WITH_TIMEOUT(running(), 1, 30000);
        for (std::size_t i = from; i < m_started.size(); ++i) {
            if (m_started[i]->state() == QProcess::NotRunning) {
                QCOMPARE(m_started[i]->exitCode(), 0);
            } else {
                QTRY_COMPARE_WITH_TIMEOUT(lockOwner(), m_started[i]->processId(), 5000);
            }
        }
        checkNextStartEnds();
    }

    void lockRules_data() {
        // What stands at the lock's place, or what its folder is. Where the lock can serve, exactly
        // one instance runs; where it cannot, the program runs all the same. `says`: the running
        // instance says why in one line, naming the folder or file.
        QTest::addColumn<QString>("what");
        QTest::addColumn<bool>("serves");
        QTest::addColumn<bool>("says");
        for (const char* row :
             {"empty file of a start killed early", "garbage", "process id of a live program", "link", "folder",
              "another user's file", "runtime folder of another user", "runtime folder missing", "umask 000",
              "runtime folder 0740, group reads", "runtime folder 0704, others read"}) {
            QTest::newRow(row) << QString::fromLatin1(row) << true << false;
        }
        // Others may put a socket or a lock file there, or reach the program's: the temp folder's
        // own folder is taken instead.
        for (const char* row : {"runtime folder 0770, group writes", "runtime folder 0710, group enters",
                                "runtime folder 0702, others write", "runtime folder 0701, others enter"}) {
            QTest::newRow(row) << QString::fromLatin1(row) << true << true;
        }
        QTest::newRow("held by a live process that does not answer") << QString("held") << false << true;
        QTest::newRow("no folder for the lock") << QString("no folder") << false << true;
    }

    void lockRules() {
        QFETCH(QString, what);
        QFETCH(bool, serves);
        QFETCH(bool, says);
        // Root may write anywhere: what is another user's belongs to another user, not just read-only.
        auto makeForeign = [](const QString& path) {
            QVERIFY(geteuid() == 0 ? lchown(QFile::encodeName(path).constData(), 65534, 65534) == 0
                                   : QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner));
        };
        QString named = QFileInfo(m_lock).absolutePath(); // what the one line names
        const QString fallbackLock = m_dir->filePath("tmp/runtime-") + QFile::decodeName(getpwuid(geteuid())->pw_name) +
                                     '/' + QFileInfo(m_lock).fileName();
        int folderMode = 0700; // of the folder that ends up holding the lock
        QFile file(m_lock);
        mode_t umaskBefore = umask(022);
        if (what.startsWith("runtime folder 07")) {
            folderMode = what.mid(15, 4).toInt(nullptr, 8);
            QVERIFY(chmod(QFile::encodeName(named).constData(), static_cast<mode_t>(folderMode)) == 0);
            if (says) {
                m_lock = fallbackLock;
                folderMode = 0700;
            }
        } else if (what == "umask 000") {
            umask(0);
        } else if (what == "runtime folder missing") { // made as Qt makes it
            QVERIFY(QDir(named).removeRecursively());
        } else if (what == "runtime folder of another user" || what == "no folder") {
            makeForeign(named); // the user's own folder in the temp folder takes the lock
            m_lock = fallbackLock;
            if (what == "no folder") { // and none can be made there
                named = m_dir->filePath("tmp-file");
                QVERIFY(QFile(named).open(QIODevice::WriteOnly));
                qputenv("TMPDIR", QFile::encodeName(named));
            }
        } else if (what == "link" || what == "folder") {
            QVERIFY(what == "link" ? QFile::link(m_dir->filePath("elsewhere"), m_lock) : QDir().mkpath(m_lock));
        } else if (what == "another user's file" && geteuid() != 0) {
            QSKIP("only root can leave another user's file");
        } else {
            QVERIFY(file.open(QIODevice::ReadWrite));
            file.write(what == "garbage"                        ? QByteArray("\xff\0garbage\n", 10)
                       : what == "process id of a live program" ? QByteArray::number(QCoreApplication::applicationPid())
                                                                : QByteArray());
            file.flush();
            QVERIFY(what != "held" || flock(file.handle(), LOCK_EX) == 0);
            if (what == "another user's file") {
                makeForeign(m_lock);
            }
        }
        QProcess* first = start();
        umask(umaskBefore);
        if (serves) {
            QTRY_COMPARE_WITH_TIMEOUT(lockOwner(), first->processId(), 20000);
            struct stat info {};
            QVERIFY(stat(QFile::encodeName(QFileInfo(m_lock).absolutePath()).constData(), &info) == 0);
            QCOMPARE(info.st_mode & 0777, mode_t(folderMode));
            // The socket and the lock are the user's alone, whatever the umask.
            QTRY_VERIFY(stat(QFile::encodeName(socketPath()).constData(), &info) == 0);
            QCOMPARE(info.st_mode, mode_t(S_IFSOCK | 0600));
            QVERIFY(stat(QFile::encodeName(m_lock).constData(), &info) == 0);
            QCOMPARE(info.st_mode, mode_t(S_IFREG | 0600));
            checkNextStartEnds();
        }
        // The program's own line comes before anything Qt says, as the lock is taken before Qt starts.
        first->setReadChannel(QProcess::StandardError);
        QTRY_VERIFY_WITH_TIMEOUT(!says || first->canReadLine(), 20000);
        const QByteArray said = says ? first->readLine() : QByteArray();
        QTest::qWait(says ? 1500 : 0);
        file.close();
        QCOMPARE(first->state(), QProcess::Running);
        QVERIFY2(!first->readAllStandardError().contains("swatchly: ") &&
                     (!says || (said.startsWith("swatchly: ") && said.contains(QFile::encodeName(named)))),
                 said.constData());
    }

    void signalsEndAsAClose_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
    }

    void signalsEndAsAClose() {
        QFETCH(int, signal);
        // As after a close: status 0, and neither socket nor lock file left behind.
        QProcess* first = start();
        QTRY_COMPARE_WITH_TIMEOUT(lockOwner(), first->processId(), 20000);
        checkNextStartEnds(); // the window is up and answers
        QVERIFY(QFile::exists(socketPath()));
        QVERIFY(::kill(static_cast<pid_t>(first->processId()), signal) == 0);
        QVERIFY(first->waitForFinished(10000));
        QCOMPARE(first->exitStatus(), QProcess::NormalExit);
        QCOMPARE(first->exitCode(), 0);
        QVERIFY(!QFile::exists(socketPath()));
        QVERIFY(!QFile::exists(m_lock));
        // And the next start is the running instance.
        QProcess* next = start();
        QTRY_COMPARE_WITH_TIMEOUT(lockOwner(), next->processId(), 20000);
    }

    void silentConnections_data() {
        // Connections to the running instance that send nothing: how many, how long they stay
        // silent, and which of them the program has closed by then (counted from the first).
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("silentMs");
        QTest::addColumn<int>("closed"); // the first `closed` are closed, the others open
        QTest::newRow("8 at once: all kept") << 8 << 300 << 0;
        QTest::newRow("9 at once: the oldest closed") << 9 << 300 << 1;
        QTest::newRow("1000 at once: the last 8 kept") << 1000 << 300 << 992;
        QTest::newRow("silent 1.5 s: kept") << 1 << 1500 << 0;
        QTest::newRow("silent 2.5 s: closed") << 1 << 2500 << 1;
    }

    void silentConnections() {
        QFETCH(int, count);
        QFETCH(int, silentMs);
        QFETCH(int, closed);
        QProcess* first = start();
        QTRY_COMPARE_WITH_TIMEOUT(lockOwner(), first->processId(), 20000);
        checkNextStartEnds(); // the window is up and answers
        const QString descriptors = QStringLiteral("/proc/%1/fd").arg(first->processId());
        auto openDescriptors = [&] { return QDir(descriptors).entryList(QDir::NoDotAndDotDot | QDir::System).size(); };
        QTest::qWait(300);
        const qsizetype before = openDescriptors();

        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray path = QFile::encodeName(socketPath());
        std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
        std::vector<int> sockets;
        auto closeAll = qScopeGuard([&] {
            for (const int fd : sockets) {
                ::close(fd);
            }
        });
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < count; ++i) {
            const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            QVERIFY(fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0);
            sockets.push_back(fd);
        }
        QTest::qWait(static_cast<int>(std::max<qint64>(0, silentMs - timer.elapsed())));
        // Closed by the program: the end of the stream can be read at once.
        QString pattern;
        for (const int fd : sockets) {
            char byte = 0;
            pattern += recv(fd, &byte, 1, MSG_DONTWAIT | MSG_PEEK) == 0 ? QLatin1Char('x') : QLatin1Char('o');
        }
        QCOMPARE(pattern, QString(closed, QLatin1Char('x')) + QString(count - closed, QLatin1Char('o')));
        QCOMPARE(openDescriptors(), before + count - closed);
        // The next start is answered, and the program still runs alone.
        checkNextStartEnds();
    }

private:
    QProcess* start() {
        auto& process = m_started.emplace_back(std::make_unique<QProcess>());
        // The program gets the usual limit of 1024 descriptors, not this test's larger one.
        process->setChildProcessModifier([] {
            rlimit files{};
            getrlimit(RLIMIT_NOFILE, &files);
            files.rlim_cur = std::min<rlim_t>(files.rlim_max, 1024);
            setrlimit(RLIMIT_NOFILE, &files);
        });
        process->start(QStringLiteral(SWATCHLY_PROGRAM), {});
        return process.get();
    }

    // The process id the lock file names.
    qint64 lockOwner() const {
        QFile file(m_lock);
        return file.open(QIODevice::ReadOnly) ? file.readLine().trimmed().toLongLong() : 0;
    }

    long running() const {
        return std::count_if(m_started.begin(), m_started.end(),
                             [](const auto& process) { return process->state() != QProcess::NotRunning; });
    }

    void checkNextStartEnds() {
        // At once, quietly, with status 0, leaving the running one untouched.
        const qint64 owner = lockOwner();
        QElapsedTimer timer;
        timer.start();
        QProcess* next = start();
        QVERIFY(next->waitForFinished(20000));
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(next->exitStatus(), QProcess::NormalExit);
        QCOMPARE(next->exitCode(), 0);
        QCOMPARE(next->readAllStandardOutput() + next->readAllStandardError(), QByteArray());
        QCOMPARE(running(), 1);
        QCOMPARE(lockOwner(), owner);
    }

    QString socketPath() const { return QString(m_lock).replace(QStringLiteral(".lock"), QStringLiteral(".socket")); }

    QString m_temp;
    std::unique_ptr<QTemporaryDir> m_dir; // runtime and temp folders of the program: no real Swatchly interferes
    QString m_lock;
    std::vector<std::unique_ptr<QProcess>> m_started;
};

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "tst_singleinstance.moc"
