// The resources: the look-alike characters of the string table, and the icons.

#include "color/Module1.h"
#include "resources/Icons.h"
#include "resources/StringTable.h"

#include <QIcon>
#include <QTest>

class ResourcesTest : public QObject {
    Q_OBJECT

private slots:
    void lookalikeCharacters();
    void icons_data();
    void icons();
    void formatPicturesOfTheirOwn();
};

void ResourcesTest::lookalikeCharacters() {
    // コピ and the full-width hyphen-minus, not the long-vowel mark.
    QVERIFY(LoadResString(TextId::CopyHint).contains(QStringLiteral("コピ\uFF0D")));
    // The two spellings of "window" differ on purpose (the other one is a button's name in tst_look).
    QVERIFY(LoadResString(TextId::NotOnTopHint).contains(QStringLiteral("ウインドウ")));
}

void ResourcesTest::icons_data() {
    QTest::addColumn<PictureId>("id"); // None: the program icon
    QTest::addColumn<int>("size");
    using enum PictureId;
    for (PictureId id : {Quit, OnTop, NotOnTop, PlainHexFormat, AmpHFormat, HtmlFormat, SavePalette, LoadPalette,
                         BasicPalette, MyPalette, CssRgbFormat, CssHslFormat, ZeroXFormat}) {
        QTest::addRow("%d at 32", int(id)) << id << 32;
    }
    for (PictureId id : {OnTop, NotOnTop, SmallPalette}) {
        QTest::addRow("%d at 16", int(id)) << id << 16;
    }
    for (int size : {16, 32, 48}) {
        QTest::addRow("program icon at %d", size) << None << size;
    }
}

void ResourcesTest::icons() {
    QFETCH(PictureId, id);
    QFETCH(int, size);
    const QIcon icon = id == PictureId::None ? ProgramIcon() : LoadResPicture(id);
    const QSize logical(size, size);
    QVERIFY(icon.availableSizes().contains(logical));

    // Drawn at this size in at most 16 colours, with transparent pixels (counted as one).
    const QImage native = icon.pixmap(logical, 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(native.size(), logical);
    QSet<QRgb> colours;
    for (int i = 0; i < size * size; ++i) {
        const QRgb pixel = native.pixel(i % size, i / size);
        colours.insert(qAlpha(pixel) == 0 ? 0 : pixel);
    }
    QVERIFY(colours.size() > 1 && colours.size() <= (colours.contains(0) ? 17 : 16));
    QVERIFY(colours.contains(0) || id == PictureId::None); // the program icon may fill its square

    // Crisp at 2x: a native image of the device size as it is, otherwise each pixel a 2 x 2
    // block without blending.
    QImage expected = icon.availableSizes().contains(logical * 2)
                          ? icon.pixmap(logical * 2, 1.0).toImage().convertToFormat(QImage::Format_ARGB32)
                          : native.scaled(logical * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    expected.setDevicePixelRatio(2.0);
    QCOMPARE(icon.pixmap(logical, 2.0).toImage().convertToFormat(QImage::Format_ARGB32), expected);
}

void ResourcesTest::formatPicturesOfTheirOwn() {
    // One picture for each copy format, no two alike, all with the copy-format button's hint.
    QList<QImage> seen;
    for (CopyFormat format : CopyFormats) {
        const PictureId id = FormatPicture(format);
        QCOMPARE(PictureHint(id), std::optional<TextId>(TextId::FormatButtonHint));
        const QImage image = LoadResPicture(id).pixmap(QSize(32, 32), 1.0).toImage();
        QVERIFY2(!image.isNull() && !seen.contains(image), qPrintable(QString::number(int(id))));
        seen.append(image);
    }
}

QTEST_MAIN(ResourcesTest)
#include "tst_resources.moc"
