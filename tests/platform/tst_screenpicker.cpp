// A screen pick through the desktop portal, answered by a stand-in portal on a private session
// bus (the test runs under dbus-run-session; without a bus it is skipped).

#include "platform/ScreenPicker.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
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

    void portal() {
        // No portal on the bus: the reason is told.
        QVERIFY(pick().contains(QStringLiteral("ポータル")));

        FakePortal portal;
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
        QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal,
                                   QDBusConnection::ExportAllSlots));
        QCOMPARE(pick(), QStringLiteral("#336699"));
        portal.response = 1;
        QCOMPARE(pick(), QString());
        portal.response = 0;
        portal.rgb[1] = 1.5;
        QVERIFY(pick().contains(QStringLiteral("ポータル")));
    }
};

QTEST_MAIN(ScreenPickerTest)
#include "tst_screenpicker.moc"
