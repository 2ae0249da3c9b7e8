// A screen pick through the desktop portal, answered by a stand-in portal on a private session
// bus (the test runs under dbus-run-session; without a bus it is skipped).

#include "platform/ScreenPicker.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QScopeGuard>
#include <QTest>
#include <QWidget>

// Answers PickColor as a portal does: a request path at once, the result as its Response.
class FakePortal final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Screenshot")
public:
    uint response = 0;
    double rgb[3] = {0.2, 0.4, 0.6};

public slots:
    QDBusObjectPath PickColor(const QString&, const QVariantMap& options) {
        QString sender = message().service().mid(1);
        sender.replace(QLatin1Char('.'), QLatin1Char('_'));
        const QString path = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                                 .arg(sender, options.value(QStringLiteral("handle_token")).toString());
        QMetaObject::invokeMethod(
            this,
            [this, path] {
                QDBusArgument colour;
                colour.beginStructure();
                colour << rgb[0] << rgb[1] << rgb[2];
                colour.endStructure();
                QDBusMessage signal = QDBusMessage::createSignal(path, QStringLiteral("org.freedesktop.portal.Request"),
                                                                 QStringLiteral("Response"));
                signal << response << QVariantMap{{QStringLiteral("color"), QVariant::fromValue(colour)}};
                QDBusConnection::sessionBus().send(signal);
            },
            Qt::QueuedConnection);
        return QDBusObjectPath(path);
    }
};

class ScreenPickerTest : public QObject {
    Q_OBJECT

    // What a pick ended with: the colour, or the failure ("" for a cancel); "unended".
    static QString pick() {
        QWidget window;
        platform::ScreenPicker picker(platform::ScreenPickWay::Portal);
        QString result = QStringLiteral("unended");
        picker.start(&window, [&](std::optional<QRgb> colour, const QString& failure) {
            result = colour ? QColor(*colour).name() : failure;
        });
        (void)QTest::qWaitFor([&] { return result != QLatin1String("unended"); }, 10000);
        return result;
    }

private slots:
    void initTestCase() {
        if (!QDBusConnection::sessionBus().isConnected()) {
            QSKIP("no session bus");
        }
    }

    void portal_data() {
        QTest::addColumn<int>("response"); // -1: no portal on the bus
        QTest::addColumn<QList<double>>("rgb");
        QTest::addColumn<QString>("result"); // the colour picked, the message's first line, or "": silence
        const QString unreadable = QStringLiteral("デスクトップのポータルから色を受け取れませんでした。");
        const QList<double> any{0.2, 0.4, 0.6};
        QTest::addRow("no portal") << -1 << any
                                   << QStringLiteral("デスクトップのポータルが色の取得に応じませんでした。");
        QTest::addRow("picked") << 0 << any << "#336699";
        QTest::addRow("to the nearest level") << 0 << QList<double>{0.5, 0.498, 0.502} << "#807f80";
        QTest::addRow("the ends") << 0 << QList<double>{0.0, 1.0, 0.002} << "#00ff01";
        QTest::addRow("above 1") << 0 << QList<double>{0.2, 1.0001, 0.6} << unreadable;
        QTest::addRow("below 0") << 0 << QList<double>{0.2, 0.4, -0.0001} << unreadable;
        QTest::addRow("cancelled") << 1 << any << QString();
        QTest::addRow("failed") << 2 << any << unreadable;
    }
    void portal() {
        QFETCH(int, response);
        QFETCH(QList<double>, rgb);
        QFETCH(QString, result);
        FakePortal portal;
        portal.response = uint(response);
        std::copy(rgb.cbegin(), rgb.cend(), portal.rgb);
        QDBusConnection bus = QDBusConnection::sessionBus();
        const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
        const QString path = QStringLiteral("/org/freedesktop/portal/desktop");
        const auto leave = qScopeGuard([&] {
            bus.unregisterObject(path);
            bus.unregisterService(service);
        });
        if (response >= 0) {
            QVERIFY(bus.registerService(service));
            QVERIFY(bus.registerObject(path, &portal, QDBusConnection::ExportAllSlots));
        }
        QCOMPARE(pick().section(u'\n', 0, 0), result);
    }
};

QTEST_MAIN(ScreenPickerTest)
#include "tst_screenpicker.moc"
