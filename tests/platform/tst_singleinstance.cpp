// One running Swatchly per user and program file, checked with real processes of the built
// program.

#include "platform/SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
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
    void lockRules_data();
    void lockRules();

private:
    QProcess* start();
    qint64 lockOwner() const; // the process id the lock file names
    long running() const;
    void checkNextStartEnds();

    QString m_temp;
    std::unique_ptr<QTemporaryDir> m_dir; // runtime and temp folders of the program: no real Swatchly interferes
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

QProcess* SingleInstanceTest::start() {
    auto& process = m_started.emplace_back(std::make_unique<QProcess>());
    process->start(QStringLiteral(SWATCHLY_PROGRAM), {});
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

void SingleInstanceTest::lockRules_data() {
    // What stands at the lock's place, or what its folder is. Where the lock can serve, exactly
    // one instance runs, without a word; where it cannot, the program runs all the same and says
    // why in one line.
    QTest::addColumn<QString>("what");
    QTest::addColumn<bool>("serves");
    for (const char* row :
         {"empty file of a start killed early", "garbage", "process id of a live program", "link", "folder",
          "another user's file", "runtime folder of another user", "runtime folder missing"}) {
        QTest::newRow(row) << QString::fromLatin1(row) << true;
    }
    QTest::newRow("held by a live process that does not answer") << QString("held") << false;
    QTest::newRow("no folder for the lock") << QString("no folder") << false;
}

void SingleInstanceTest::lockRules() {
    QFETCH(QString, what);
    QFETCH(bool, serves);
    // Root may write anywhere: what is another user's belongs to another user, not just read-only.
    auto makeForeign = [](const QString& path) {
        QVERIFY(geteuid() == 0 ? lchown(QFile::encodeName(path).constData(), 65534, 65534) == 0
                               : QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner));
    };
    QString named = QFileInfo(m_lock).absolutePath(); // what the one line names
    QFile file(m_lock);
    if (what == "runtime folder missing") { // made as Qt makes it
        QVERIFY(QDir(named).removeRecursively());
    } else if (what == "runtime folder of another user" || what == "no folder") {
        makeForeign(named); // the user's own folder in the temp folder takes the lock
        m_lock = m_dir->filePath("tmp/runtime-") + QFile::decodeName(getpwuid(geteuid())->pw_name) + '/' +
                 QFileInfo(m_lock).fileName();
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
    if (serves) {
        QTRY_COMPARE_WITH_TIMEOUT(lockOwner(), first->processId(), 20000);
        QCOMPARE(QFileInfo(QFileInfo(m_lock).absolutePath()).permissions() & 0x0077, 0);
        checkNextStartEnds();
    }
    // The program's own line comes before anything Qt says, as the lock is taken before Qt starts.
    first->setReadChannel(QProcess::StandardError);
    QTRY_VERIFY_WITH_TIMEOUT(serves || first->canReadLine(), 20000);
    const QByteArray said = serves ? QByteArray() : first->readLine();
    QTest::qWait(serves ? 0 : 1500);
    file.close();
    QCOMPARE(first->state(), QProcess::Running);
    QVERIFY2(!first->readAllStandardError().contains("swatchly: ") &&
                 (serves || (said.startsWith("swatchly: ") && said.contains(QFile::encodeName(named)))),
             said.constData());
}

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "tst_singleinstance.moc"
