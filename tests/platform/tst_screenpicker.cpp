// A screen pick through the desktop portal, answered by a stand-in portal on a private session
// bus (the test runs under dbus-run-session; without a bus it is skipped).

#include "platform/ScreenPicker.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QSignalSpy>
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
    QDBusObjectPath PickColor(const QString& parent, const QVariantMap& options) {
        Q_UNUSED(parent);
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

    struct Result {
        bool ended = false;
        std::optional<QRgb> colour;
        QString failure;
    };
    static Result pick() {
        QWidget window;
        platform::ScreenPicker picker(platform::ScreenPickWay::Portal);
        Result result;
        picker.start(&window, [&](std::optional<QRgb> colour, const QString& failure) {
            result = {true, colour, failure};
        });
        (void)QTest::qWaitFor([&] { return result.ended; }, 10000);
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
        const Result none = pick();
        QVERIFY(none.ended && !none.colour && none.failure.contains(QStringLiteral("ポータル")));

        FakePortal portal;
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
        QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal,
                                   QDBusConnection::ExportAllSlots));
        const Result picked = pick();
        QVERIFY(picked.ended && picked.colour && picked.failure.isEmpty());
        QCOMPARE(*picked.colour, qRgb(51, 102, 153));
        portal.response = 1;
        const Result cancelled = pick();
        QVERIFY(cancelled.ended && !cancelled.colour && cancelled.failure.isEmpty());
        portal.response = 0;
        portal.rgb[1] = 1.5;
        const Result broken = pick();
        QVERIFY(broken.ended && !broken.colour && !broken.failure.isEmpty());
    }
};

QTEST_MAIN(ScreenPickerTest)
#include "tst_screenpicker.moc"
