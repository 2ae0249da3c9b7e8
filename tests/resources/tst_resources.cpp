// The string table and the icons.

#include "resources/Icons.h"
#include "resources/StringTable.h"
#include "support/TestWindow.h"

#include <QIcon>
#include <QPainter>
#include <QRegularExpression>
#include <QTest>

class ResourcesTest : public QObject {
    Q_OBJECT

private slots:
    void everyIdHasText();
    void lookalikeCharacters();
    void basicColourNamesFollowTheBasicPalette();
    void icons_data();
    void icons();
    void programIcon();
    void iconsStayCrispAtDoubleDensity_data();
    void iconsStayCrispAtDoubleDensity();
};

void ResourcesTest::everyIdHasText() {
    for (int id = 101; id <= 160; ++id) {
        const QString text = LoadResString(id);
        QVERIFY2(!text.trimmed().isEmpty(), qPrintable(QString::number(id)));
        QVERIFY2(!text.contains(QChar::ReplacementCharacter), qPrintable(QString::number(id)));
    }
    QVERIFY(LoadResString(100).isEmpty());
    QVERIFY(LoadResString(161).isEmpty());
    QVERIFY(LoadResString(0).isEmpty());
}

void ResourcesTest::lookalikeCharacters() {
    // 103 writes コピ followed by the full-width hyphen-minus, not the long-vowel mark.
    const QString copy = LoadResString(103);
    const qsizetype at = copy.indexOf(QStringLiteral("コピ"));
    QVERIFY(at >= 0);
    QCOMPARE(copy.at(at + 2), QChar(0xFF0D));
    QVERIFY(!copy.contains(QStringLiteral("コピー")));
    QVERIFY(!copy.contains(QLatin1Char('-')));

    // The two spellings of "window" differ on purpose.
    QVERIFY(LoadResString(141).contains(QStringLiteral("ウィンドウ")));
    QVERIFY(!LoadResString(141).contains(QStringLiteral("ウインドウ")));
    QVERIFY(LoadResString(142).contains(QStringLiteral("ウインドウ")));
    QVERIFY(!LoadResString(142).contains(QStringLiteral("ウィンドウ")));

    // The mode texts use full-width digits and the full-width colon.
    QCOMPARE(LoadResString(106), QStringLiteral("Swatchly：フルカラーモード"));
    QCOMPARE(LoadResString(107), QStringLiteral("Swatchly：２１６色モード"));
    QCOMPARE(LoadResString(129), QStringLiteral("２１６色"));
}

void ResourcesTest::basicColourNamesFollowTheBasicPalette() {
    // Each of 110..125 ends in an English colour name in brackets; the name must describe the
    // basic colour of the same index.
    TestWindow t;
    const PaletteTable& basic = t.m().BasicPalette;
    static const QRegularExpression english(QStringLiteral("\\(([A-Za-z]+)\\)$"));
    for (int i = 0; i < 16; ++i) {
        const QString text = LoadResString(110 + i);
        const QRegularExpressionMatch match = english.match(text);
        QVERIFY2(match.hasMatch(), qPrintable(text));
        const QColor named = QColor::fromString(match.captured(1));
        QVERIFY2(named.isValid(), qPrintable(text));
        QCOMPARE(QColor(basic.at(i, 0), basic.at(i, 1), basic.at(i, 2)), named);
    }
}

void ResourcesTest::icons_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("large");
    QTest::addColumn<bool>("small");
    QTest::newRow("101 quit") << 101 << true << false;
    QTest::newRow("102 on top") << 102 << true << true;
    QTest::newRow("103 normal") << 103 << true << true;
    QTest::newRow("104 digits") << 104 << true << false;
    QTest::newRow("105 &H") << 105 << true << false;
    QTest::newRow("106 HTML") << 106 << true << false;
    QTest::newRow("107 save") << 107 << true << false;
    QTest::newRow("108 load") << 108 << true << false;
    QTest::newRow("109 palette, small only") << 109 << false << true;
    QTest::newRow("110 basic palette") << 110 << true << false;
    QTest::newRow("111 my palette") << 111 << true << false;
}

void ResourcesTest::icons() {
    QFETCH(int, id);
    QFETCH(bool, large);
    QFETCH(bool, small);
    const QIcon icon = LoadResPicture(id);
    QVERIFY(!icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    if (large) {
        QVERIFY(sizes.contains(QSize(32, 32)));
    }
    if (small) {
        QVERIFY(sizes.contains(QSize(16, 16)));
    }
    // A real picture with a transparency mask: some pixels opaque, some see-through, in at most
    // 16 colours.
    const QImage image = icon.pixmap(QSize(32, 32), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.size(), QSize(32, 32));
    int opaque = 0;
    int clear = 0;
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) == 255) {
                ++opaque;
                colours.insert(pixel);
            } else if (qAlpha(pixel) == 0) {
                ++clear;
            }
        }
    }
    QVERIFY(opaque > 0);
    QVERIFY(clear > 0);
    QVERIFY(colours.size() <= 16);
}

void ResourcesTest::programIcon() {
    const QIcon icon = ProgramIcon();
    QVERIFY(!icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    for (const QSize size : {QSize(16, 16), QSize(32, 32), QSize(48, 48)}) {
        QVERIFY2(sizes.contains(size), qPrintable(QStringLiteral("%1").arg(size.width())));
        QCOMPARE(icon.pixmap(size, 1.0).size(), size);
    }
    QVERIFY(LoadResPicture(100).isNull());
    QVERIFY(LoadResPicture(112).isNull());
}

void ResourcesTest::iconsStayCrispAtDoubleDensity_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("logical");
    for (int id : {101, 103, 104, 105, 106, 107, 108, 110, 111}) {
        QTest::addRow("%d at 32", id) << id << 32;
    }
    QTest::addRow("103 at 16") << 103 << 16;
    QTest::addRow("program icon at 32") << 0 << 32;
}

void ResourcesTest::iconsStayCrispAtDoubleDensity() {
    QFETCH(int, id);
    QFETCH(int, logical);
    const QIcon icon = id == 0 ? ProgramIcon() : LoadResPicture(id);
    const QSize size(logical, logical);
    // A native image of the device size is used as it is; otherwise each pixel of the native
    // image becomes a 2 x 2 block, without blending.
    QImage expected;
    if (icon.availableSizes().contains(size * 2)) {
        expected = icon.pixmap(size * 2, 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
    } else {
        const QImage native = icon.pixmap(size, 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(native.size(), size);
        expected = QImage(size * 2, QImage::Format_ARGB32);
        for (int y = 0; y < expected.height(); ++y) {
            for (int x = 0; x < expected.width(); ++x) {
                expected.setPixel(x, y, native.pixel(x / 2, y / 2));
            }
        }
    }

    // Asked for directly, and as a button paints it onto a 2x surface.
    const QPixmap pixmap = icon.pixmap(size, 2.0);
    QCOMPARE(pixmap.size(), size * 2);
    QCOMPARE(pixmap.devicePixelRatio(), 2.0);
    QImage painted(size * 2, QImage::Format_ARGB32_Premultiplied);
    painted.setDevicePixelRatio(2.0);
    painted.fill(Qt::transparent);
    {
        QPainter painter(&painted);
        icon.paint(&painter, QRect(QPoint(0, 0), size));
    }
    for (const QImage& big :
         {pixmap.toImage().convertToFormat(QImage::Format_ARGB32), painted.convertToFormat(QImage::Format_ARGB32)}) {
        QCOMPARE(big.size(), expected.size());
        for (int y = 0; y < big.height(); ++y) {
            for (int x = 0; x < big.width(); ++x) {
                if (big.pixel(x, y) != expected.pixel(x, y)) {
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 differs").arg(x).arg(y)));
                }
            }
        }
    }
}

QTEST_MAIN(ResourcesTest)
#include "tst_resources.moc"
