// The command line, answered before anything else: each option, and each way of getting it wrong,
// with the status and what goes to standard output and standard error.

#include "app/CommandLine.h"

#include <QTest>
#include <cstdio>
#include <unistd.h>
#include <vector>

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void options_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");  // -1: the program runs
        QTest::addColumn<QString>("out"); // how standard output begins
        QTest::addColumn<QString>("err"); // the one line on standard error, after "swatchly: "
        const QString usage = QStringLiteral("使い方: swatchly [オプション]\n"),
                      version = QStringLiteral("Swatchly 1.0\n");
        const QString unknown =
            QStringLiteral("「%1」というオプションはありません。使えるオプションは swatchly --help で表示されます。");
        const QString argument =
            QStringLiteral("引数「%1」は受け付けません。Swatchly はファイル名などの引数を取りません。");
        const QString value = QStringLiteral("オプション「%1」には値を付けられません。");
        QTest::addRow("none") << QStringList{} << -1 << QString() << QString();
        QTest::addRow("-h") << QStringList{"-h"} << 0 << usage << QString();
        QTest::addRow("--help") << QStringList{"--help"} << 0 << usage << QString();
        QTest::addRow("-help, a word after one dash") << QStringList{"-help"} << 0 << usage << QString();
        QTest::addRow("-v") << QStringList{"-v"} << 0 << version << QString();
        QTest::addRow("--version") << QStringList{"--version"} << 0 << version << QString();
        QTest::addRow("unknown") << QStringList{"--colour"} << 2 << QString() << unknown.arg("--colour");
        QTest::addRow("unknown, one letter") << QStringList{"-x"} << 2 << QString() << unknown.arg("-x");
        QTest::addRow("unknown, two letters") << QStringList{"-hv"} << 2 << QString() << unknown.arg("-hv");
        QTest::addRow("unknown with a value")
            << QStringList{"--colour=赤"} << 2 << QString() << unknown.arg("--colour=赤");
        QTest::addRow("unknown after --version")
            << QStringList{"--version", "-x"} << 2 << QString() << unknown.arg("-x");
        QTest::addRow("argument") << QStringList{"赤.pdt"} << 2 << QString() << argument.arg("赤.pdt");
        QTest::addRow("argument after --help") << QStringList{"--help", "a"} << 2 << QString() << argument.arg("a");
        QTest::addRow("--help=1") << QStringList{"--help=1"} << 2 << QString() << value.arg("--help=1");
        QTest::addRow("-v=") << QStringList{"-v="} << 2 << QString() << value.arg("-v=");
    }

    void options() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QByteArrayList bytes{"swatchly"};
        std::vector<char*> argv;
        for (const QString& argument : arguments) {
            bytes << argument.toUtf8();
        }
        for (QByteArray& argument : bytes) {
            argv.push_back(argument.data());
        }
        // Standard output and error go to temporary files while it runs.
        std::FILE* files[2] = {std::tmpfile(), std::tmpfile()};
        const int saved[2] = {dup(STDOUT_FILENO), dup(STDERR_FILENO)};
        std::fflush(nullptr);
        dup2(fileno(files[0]), STDOUT_FILENO);
        dup2(fileno(files[1]), STDERR_FILENO);
        const std::optional<int> returned = RunCommandLine(int(argv.size()), argv.data());
        std::fflush(nullptr);
        QString shown[2];
        for (int i = 0; i < 2; ++i) {
            dup2(saved[i], STDOUT_FILENO + i);
            close(saved[i]);
            QByteArray text(4096, '\0');
            std::rewind(files[i]);
            text.resize(qsizetype(std::fread(text.data(), 1, std::size_t(text.size()), files[i])));
            std::fclose(files[i]);
            shown[i] = QString::fromUtf8(text);
        }
        QCOMPARE(returned.value_or(-1), status);
        QVERIFY2(shown[0].startsWith(out) && shown[0].isEmpty() == out.isEmpty(), qPrintable(shown[0]));
        QCOMPARE(shown[1], err.isEmpty() ? err : QStringLiteral("swatchly: %1\n").arg(err));
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
