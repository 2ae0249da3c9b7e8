// One running Swatchly per user and program file, and the command line, checked with real
// processes of the built program.

#include "platform/SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <memory>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

class SingleInstanceTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { m_temp = QDir::tempPath(); }
    void init();
    void cleanup();
    void oneInstanceRuns();
    void lockInTheWay_data();
    void lockInTheWay();
    void startsAloneWhenTheLockCannotServe_data();
    void startsAloneWhenTheLockCannotServe();
    void commandLine_data();
    void commandLine();

private:
    QProcess* start(const QStringList& arguments = {}, const QProcessEnvironment& environment = {});
    qint64 lockOwner() const; // the process id the lock file names
    long running() const;
    void checkNextStartEnds();
    static QByteArray ownLines(QProcess* process); // what the program itself said on standard error
    static void makeForeign(const QString& path);  // another user's, or at least not writable

    QString m_temp;
    std::unique_ptr<QTemporaryDir> m_dir; // the runtime folder and the temp folder: no real Swatchly interferes
    QString m_lock;
    std::vector<std::unique_ptr<QProcess>> m_started;
};

void SingleInstanceTest::init() {
    m_dir = std::make_unique<QTemporaryDir>(m_temp + QStringLiteral("/tst_singleinstance-XXXXXX"));
    QVERIFY(QDir(m_dir->path()).mkpath("runtime") && QDir(m_dir->path()).mkpath("tmp"));
    QFile::setPermissions(m_dir->filePath("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir->filePath("runtime")));
    qputenv("TMPDIR", QFile::encodeName(m_dir->filePath("tmp")));
    m_lock = platform::SingleInstance(QFileInfo(QStringLiteral(SWATCHLY_PROGRAM)).canonicalFilePath()).lockPath();
}

void SingleInstanceTest::cleanup() {
    for (auto& process : m_started) {
        process->kill();
        process->waitForFinished(5000);
    }
    m_started.clear();
}

QProcess* SingleInstanceTest::start(const QStringList& arguments, const QProcessEnvironment& environment) {
    auto& process = m_started.emplace_back(std::make_unique<QProcess>());
    if (!environment.isEmpty()) {
        process->setProcessEnvironment(environment);
    }
    process->start(QStringLiteral(SWATCHLY_PROGRAM), arguments);
    return process.get();
}

qint64 SingleInstanceTest::lockOwner() const {
    QFile file(m_lock);
    return file.open(QIODevice::ReadOnly) ? file.readLine().trimmed().toLongLong() : 0;
}

long SingleInstanceTest::running() const {
    return std::count_if(m_started.begin(), m_started.end(),
                         [](const auto& process) { return process->state() != QProcess::NotRunning; });
}

QByteArray SingleInstanceTest::ownLines(QProcess* process) {
    QByteArray own;
    for (const QByteArray& line : process->readAllStandardError().split('\n')) {
        if (line.startsWith("swatchly: ")) {
            own += line + '\n';
        }
    }
    return own;
}

void SingleInstanceTest::makeForeign(const QString& path) {
    // Root may write anywhere, so root hands the file to another user instead.
    if (geteuid() == 0) {
        QVERIFY(lchown(QFile::encodeName(path).constData(), 65534, 65534) == 0);
    } else {
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner));
    }
}

void SingleInstanceTest::checkNextStartEnds() {
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

void SingleInstanceTest::oneInstanceRuns() {
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

void SingleInstanceTest::lockInTheWay_data() {
    // What stands at the lock's place, or what the runtime folder is; each starts exactly one
    // instance, without a word.
    QTest::addColumn<QString>("what");
    for (const char* row :
         {"empty file of a start killed early", "garbage", "process id of a live program", "link", "folder",
          "another user's file", "runtime folder of another user", "runtime folder missing"}) {
        QTest::newRow(row) << QString::fromLatin1(row);
    }
}

void SingleInstanceTest::lockInTheWay() {
    QFETCH(QString, what);
    const QString runtime = m_dir->filePath("runtime");
    if (what.startsWith("runtime folder")) {
        if (what.endsWith("missing")) {
            QVERIFY(QDir(runtime).removeRecursively());
        } else {
            makeForeign(runtime);
        }
        // The lock goes into the runtime folder, made as Qt makes it, or into the user's own
        // folder in the temp folder.
        if (!what.endsWith("missing")) {
            m_lock = m_dir->filePath("tmp/runtime-") + QFile::decodeName(getpwuid(geteuid())->pw_name) + '/' +
                     QFileInfo(m_lock).fileName();
        }
    } else if (what == "link") {
        QVERIFY(QFile::link(m_dir->filePath("elsewhere"), m_lock));
    } else if (what == "folder") {
        QVERIFY(QDir().mkpath(m_lock));
    } else {
        QFile file(m_lock);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(what == "garbage"                        ? QByteArray("\xff\0garbage\n", 10)
                   : what == "process id of a live program" ? QByteArray::number(QCoreApplication::applicationPid())
                                                            : QByteArray());
        file.close();
        if (what == "another user's file") {
            if (geteuid() != 0) {
                QSKIP("only root can leave another user's file");
            }
            makeForeign(m_lock);
        }
    }
    QProcess* first = start();
    QTRY_COMPARE_WITH_TIMEOUT(lockOwner(), first->processId(), 20000);
    QCOMPARE(QFileInfo(m_lock).ownerId(), geteuid());
    QCOMPARE(QFileInfo(QFileInfo(m_lock).absolutePath()).permissions() & 0x0077, 0);
    checkNextStartEnds();
    QCOMPARE(ownLines(first), QByteArray());
}

void SingleInstanceTest::startsAloneWhenTheLockCannotServe_data() {
    QTest::addColumn<bool>("held");
    QTest::newRow("lock held by a live process that does not answer") << true;
    QTest::newRow("no folder for the lock") << false;
}

void SingleInstanceTest::startsAloneWhenTheLockCannotServe() {
    // The program starts all the same, and says so in one line naming the file or folder.
    QFETCH(bool, held);
    int fd = -1;
    QString named = QFileInfo(m_lock).absolutePath();
    if (held) {
        fd = open(QFile::encodeName(m_lock).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        QVERIFY(fd >= 0 && flock(fd, LOCK_EX) == 0);
    } else {
        makeForeign(m_dir->filePath("runtime"));
        QFile tmp(m_dir->filePath("tmp-file"));
        QVERIFY(tmp.open(QIODevice::WriteOnly));
        qputenv("TMPDIR", QFile::encodeName(tmp.fileName()));
        named = tmp.fileName();
    }
    QProcess* alone = start();
    QByteArray said;
    QTRY_VERIFY_WITH_TIMEOUT(!(said += ownLines(alone)).isEmpty(), 20000);
    QTest::qWait(1500);
    said += ownLines(alone);
    if (fd >= 0) {
        close(fd);
    }
    QCOMPARE(alone->state(), QProcess::Running);
    QVERIFY2(said.count('\n') == 1 && said.contains(QFile::encodeName(named)), said.constData());
}

void SingleInstanceTest::commandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("display"); // "-": no display at all
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("out");      // the start of standard output
    QTest::addColumn<QByteArray>("errNames"); // what the one line on standard error names
    QTest::newRow("--help") << QStringList{"--help"} << QString() << 0 << QByteArray("使い方: swatchly")
                            << QByteArray();
    QTest::newRow("-v") << QStringList{"-v"} << QString() << 0 << QByteArray("Swatchly 1.0\n") << QByteArray();
    QTest::newRow("unknown option") << QStringList{"--frob=1"} << QString() << 2 << QByteArray()
                                    << QByteArray("--frob=1");
    QTest::newRow("file argument") << QStringList{"mine.pdt"} << QString() << 2 << QByteArray()
                                   << QByteArray("mine.pdt");
    QTest::newRow("no display") << QStringList{} << QString("-") << 1 << QByteArray() << QByteArray("DISPLAY=");
    QTest::newRow("display that refuses")
        << QStringList{} << QString(":4093") << 1 << QByteArray() << QByteArray(":4093");
}

void SingleInstanceTest::commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, display);
    QFETCH(int, status);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, errNames);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!display.isEmpty()) {
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            environment.remove(QString::fromLatin1(name));
        }
        if (display != "-") {
            environment.insert("DISPLAY", display);
        }
    }
    QProcess* process = start(arguments, environment);
    QVERIFY(process->waitForFinished(20000));
    QCOMPARE(process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(process->exitCode(), status);
    const QByteArray said = process->readAllStandardOutput();
    QVERIFY2(out.isEmpty() ? said.isEmpty() : said.startsWith(out), said.constData());
    const QByteArray err = process->readAllStandardError();
    QVERIFY2(errNames.isEmpty() ? err.isEmpty()
                                : err.count('\n') == 1 && err.startsWith("swatchly: ") && err.contains(errNames),
             err.constData());
}

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "tst_singleinstance.moc"
