// The floor of the start-up benchmark: the least a Qt 6 Widgets program can do to show a window
// of Swatchly's size (a 307 x 258 client area under a menu bar). Whatever Swatchly costs above
// this is its own.

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("floor"));
    auto* client = new QWidget(&window);
    client->setFixedSize(307, 258);
    window.setCentralWidget(client);
    window.menuBar()->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("&Quit"), &app, &QApplication::quit);
    window.show();
    return QApplication::exec();
}
