// One running Swatchly per program file, checked with real processes of the built program.

#include "platform/SingleInstance.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <vector>

class SingleInstanceTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void oneInstanceRuns();

private:
    QProcess* start();
    qint64 lockOwner() const; // the process id the lock file names
    long running() const;
    void checkNextStartEnds();

    QTemporaryDir m_runtime; // for the lock: no real Swatchly interferes
    QString m_lock;
    std::vector<std::unique_ptr<QProcess>> m_started;
};

void SingleInstanceTest::initTestCase() {
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    m_lock = platform::SingleInstance(QFileInfo(QStringLiteral(SWATCHLY_PROGRAM)).canonicalFilePath()).lockPath();
}

void SingleInstanceTest::cleanupTestCase() {
    for (auto& process : m_started) {
        process->kill();
        process->waitForFinished(5000);
    }
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

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "tst_singleinstance.moc"
