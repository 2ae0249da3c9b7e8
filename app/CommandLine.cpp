#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QStringList>
#include <cstdio>

namespace {

void print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
}

// The argument as the user typed it that gave the option `name`.
QString asTyped(const QStringList& arguments, const QString& name) {
    for (const QString& argument : arguments.mid(1)) {
        QString option = argument.section(QLatin1Char('='), 0, 0);
        while (option.startsWith(QLatin1Char('-'))) {
            option.remove(0, 1);
        }
        if (argument.startsWith(QLatin1Char('-')) && option == name) {
            return argument;
        }
    }
    return name;
}

} // namespace

std::optional<int> RunCommandLine(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOptions({help, version});
    const bool parsed = parser.parse(arguments);

    QString refused;
    if (!parser.unknownOptionNames().isEmpty()) {
        refused =
            QStringLiteral("「%1」というオプションはありません。使えるオプションは swatchly --help で表示されます。")
                .arg(asTyped(arguments, parser.unknownOptionNames().constFirst()));
    } else if (!parsed) { // the only other mistake: a value given to an option that takes none
        const QStringList withValue = arguments.mid(1).filter(QStringLiteral("="));
        refused = QStringLiteral("オプション「%1」には値を付けられません。")
                      .arg(withValue.isEmpty() ? parser.errorText() : withValue.constFirst());
    } else if (!parser.positionalArguments().isEmpty()) {
        refused = QStringLiteral("引数「%1」は受け付けません。Swatchly はファイル名などの引数を取りません。")
                      .arg(parser.positionalArguments().constFirst());
    }
    if (!refused.isEmpty()) {
        print(stderr, QStringLiteral("swatchly: ") + refused + QLatin1Char('\n'));
        return 2;
    }
    if (parser.isSet(help)) {
        print(stdout,
              QStringLiteral("使い方: swatchly [オプション]\n"
                             "\n"
                             "背景色と文字色を RGB のスライダーで作り、色コードをクリップボードにコピーする\n"
                             "カラーピッカーです。すでに起動しているときは、そのウィンドウを手前に表示します。\n"
                             "\n"
                             "オプション:\n"
                             "  -h, --help     この使い方を表示して終了します。\n"
                             "  -v, --version  バージョンを表示して終了します。\n"));
        return 0;
    }
    if (parser.isSet(version)) {
        print(stdout, QStringLiteral("Swatchly " SWATCHLY_VERSION "\n"));
        return 0;
    }
    return std::nullopt;
}
