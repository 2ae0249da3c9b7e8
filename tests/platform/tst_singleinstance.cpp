// One running instance per program, checked with real second processes: a helper that takes
// the instance lock the way the program does, and the program itself.

#include "app/Main.h"
#include "platform/FakePlatform.h"
#include "platform/SingleInstance.h"

#include <QApplication>
#include <QDateTime>
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
    void init();
    void cleanup();

    void secondStartIsRefusedUntilTheFirstEnds();
    void killedOwnerIsTakenOver();
    void simultaneousStartsLeaveOneWinner();
    void secondStartOfTheProgramEndsQuietly();
    void mainEndsAtOnceWhenAnotherInstanceRuns();

private:
    // A helper taking the lock of m_program (or `program`); with hold it keeps it.
    std::unique_ptr<QProcess> startHelper(bool hold, qint64 at = 0, const QString& program = {});
    // Runs a helper to its end and returns what it printed.
    QString tryOnce(const QString& program = {});
    static QString firstLine(QProcess& process);

    std::unique_ptr<QTemporaryDir> m_runtime;
    QString m_program;
    QProcessEnvironment m_env;
    std::vector<std::unique_ptr<QProcess>> m_started;
};

void SingleInstanceTest::init() {
    // Each test has a runtime folder of its own, so no lock of an earlier test or of a real
    // program interferes.
    m_runtime = std::make_unique<QTemporaryDir>();
    QVERIFY(m_runtime->isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime->path()));
    m_env = QProcessEnvironment::systemEnvironment();
    m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime->path());
    m_env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    m_program = m_runtime->filePath(QStringLiteral("bin/swatchly"));
}

void SingleInstanceTest::cleanup() {
    for (auto& process : m_started) {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(5000);
        }
    }
    m_started.clear();
    m_runtime.reset();
}

std::unique_ptr<QProcess> SingleInstanceTest::startHelper(bool hold, qint64 at, const QString& program) {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(m_env);
    QStringList arguments{program.isEmpty() ? m_program : program};
    if (hold) {
        arguments << QStringLiteral("--hold");
    }
    if (at > 0) {
        arguments << QStringLiteral("--at") << QString::number(at);
    }
    process->start(QStringLiteral(SWATCHLY_LOCK_HELPER), arguments);
    return process;
}

QString SingleInstanceTest::firstLine(QProcess& process) {
    QElapsedTimer timer;
    timer.start();
    while (!process.canReadLine() && timer.elapsed() < 10000) {
        if (!process.waitForReadyRead(100) && process.state() == QProcess::NotRunning) {
            break;
        }
    }
    return QString::fromLatin1(process.readLine()).trimmed();
}

QString SingleInstanceTest::tryOnce(const QString& program) {
    auto process = startHelper(false, 0, program);
    if (!process->waitForFinished(10000)) {
        process->kill();
        return QStringLiteral("hung");
    }
    const QString line = firstLine(*process);
    const int code = process->exitCode();
    if ((line == QLatin1String("LOCKED") && code != 0) || (line == QLatin1String("BUSY") && code != 1)) {
        return line + QStringLiteral(" with exit code ") + QString::number(code);
    }
    return line;
}

void SingleInstanceTest::secondStartIsRefusedUntilTheFirstEnds() {
    m_started.push_back(startHelper(true));
    QProcess& first = *m_started.back();
    QCOMPARE(firstLine(first), QStringLiteral("LOCKED"));

    QCOMPARE(tryOnce(), QStringLiteral("BUSY"));
    QCOMPARE(tryOnce(), QStringLiteral("BUSY"));
    // A program at another path is another program.
    QCOMPARE(tryOnce(m_runtime->filePath(QStringLiteral("copy/swatchly"))), QStringLiteral("LOCKED"));
    // The refused starts leave the first one running with its lock.
    QCOMPARE(first.state(), QProcess::Running);
    QCOMPARE(tryOnce(), QStringLiteral("BUSY"));

    // An orderly end gives the lock back.
    first.closeWriteChannel();
    QVERIFY(first.waitForFinished(5000));
    QCOMPARE(first.exitCode(), 0);
    QCOMPARE(tryOnce(), QStringLiteral("LOCKED"));
}

void SingleInstanceTest::killedOwnerIsTakenOver() {
    m_started.push_back(startHelper(true));
    QProcess& first = *m_started.back();
    QCOMPARE(firstLine(first), QStringLiteral("LOCKED"));
    const QString lockPath = platform::SingleInstance(m_program).lockPath();
    QVERIFY2(QFile::exists(lockPath), qPrintable(lockPath));
    QCOMPARE(tryOnce(), QStringLiteral("BUSY"));

    first.kill(); // SIGKILL: the lock file stays behind
    QVERIFY(first.waitForFinished(5000));
    QVERIFY(QFile::exists(lockPath));

    QElapsedTimer timer;
    timer.start();
    m_started.push_back(startHelper(true));
    QProcess& next = *m_started.back();
    QCOMPARE(firstLine(next), QStringLiteral("LOCKED"));
    // At once, not after some stale-lock timeout.
    QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(tryOnce(), QStringLiteral("BUSY"));
}

void SingleInstanceTest::simultaneousStartsLeaveOneWinner() {
    constexpr int starts = 6;
    for (int round = 0; round < 3; ++round) {
        std::vector<std::unique_ptr<QProcess>> helpers;
        const qint64 at = QDateTime::currentMSecsSinceEpoch() + 700;
        for (int i = 0; i < starts; ++i) {
            helpers.push_back(startHelper(true, at));
        }
        int winners = 0;
        int losers = 0;
        QProcess* winner = nullptr;
        for (auto& helper : helpers) {
            const QString line = firstLine(*helper);
            if (line == QLatin1String("LOCKED")) {
                ++winners;
                winner = helper.get();
            } else if (line == QLatin1String("BUSY")) {
                ++losers;
                QVERIFY(helper->waitForFinished(5000));
                QCOMPARE(helper->exitCode(), 1);
            }
        }
        QCOMPARE(winners, 1);
        QCOMPARE(losers, starts - 1);
        QCOMPARE(winner->state(), QProcess::Running);
        winner->closeWriteChannel();
        QVERIFY(winner->waitForFinished(5000));
        for (auto& helper : helpers) {
            m_started.push_back(std::move(helper));
        }
    }
}

void SingleInstanceTest::secondStartOfTheProgramEndsQuietly() {
    const QString program = QStringLiteral(SWATCHLY_PROGRAM);
    QVERIFY(QFileInfo::exists(program));
    const QString lockPath = platform::SingleInstance(QFileInfo(program).canonicalFilePath()).lockPath();

    m_started.push_back(std::make_unique<QProcess>());
    QProcess& first = *m_started.back();
    first.setProcessEnvironment(m_env);
    first.start(program, {});
    QVERIFY(first.waitForStarted(5000));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(lockPath), 10000);
    QCOMPARE(first.state(), QProcess::Running);

    QProcess second;
    second.setProcessEnvironment(m_env);
    QElapsedTimer timer;
    timer.start();
    second.start(program, {});
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(second.readAllStandardOutput(), QByteArray());
    QCOMPARE(second.readAllStandardError(), QByteArray());

    // The first one is untouched and still holds the lock.
    QCOMPARE(first.state(), QProcess::Running);
    QCOMPARE(tryOnce(QFileInfo(program).canonicalFilePath()), QStringLiteral("BUSY"));
}

void SingleInstanceTest::mainEndsAtOnceWhenAnotherInstanceRuns() {
    platform::FakePlatform os;
    os.otherInstance = true;
    const int windowsBefore = int(QApplication::topLevelWidgets().size());
    char name[] = "swatchly";
    char* argv[] = {name, nullptr};
    QCOMPARE(Main(1, argv, os), 0);
    QCOMPARE(int(QApplication::topLevelWidgets().size()), windowsBefore);
    QVERIFY(os.messageBoxes.isEmpty());
}

QTEST_MAIN(SingleInstanceTest)
#include "tst_singleinstance.moc"
