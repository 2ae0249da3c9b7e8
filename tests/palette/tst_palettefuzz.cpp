// Arbitrary bytes as palette files: reading them and painting them through the panel's preview
// never crashes, and does what the format and the swatch colour rule say. The seed is printed;
// set SWATCHLY_FUZZ_SEED to replay a run.

#include "palette/PaletteFile.h"
#include "support/TestWindow.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTest>
#include <algorithm>
#include <optional>

namespace {

constexpr int Cases = 3000;
constexpr int MaxLength = 400;

quint32 seed() {
    bool ok = false;
    const quint32 fixed = qEnvironmentVariable("SWATCHLY_FUZZ_SEED").toUInt(&ok);
    return ok ? fixed : QRandomGenerator::global()->generate();
}

// Random bytes, or (half the time) little-endian integers drawn from values near the edges
// of the colour rule, so that painting gets past the first swatch.
QByteArray randomFile(QRandomGenerator& gen) {
    const int length = static_cast<int>(gen.bounded(MaxLength + 1));
    QByteArray bytes(length, '\0');
    if (gen.bounded(2) == 0) {
        for (char& byte : bytes) {
            byte = static_cast<char>(gen.bounded(256));
        }
        return bytes;
    }
    static constexpr std::array<std::int64_t, 14> edges{0,       1,        255,        256, 0xFFF, 0x1000,    0xFFFF,
                                                        0x10000, 0xFFFFFF, 0x7FFFFFFF, -1,  -256,  INT32_MIN, 0x8000};
    for (int offset = 0; offset < length; offset += 4) {
        std::uint32_t value = gen.bounded(3) == 0 ? static_cast<std::uint32_t>(edges[gen.bounded(14)])
                                                  : static_cast<std::uint32_t>(gen.bounded(256));
        for (int k = 0; k < 4 && offset + k < length; ++k) {
            bytes[offset + k] = static_cast<char>((value >> (8 * k)) & 0xFF);
        }
    }
    return bytes;
}

// The swatch colour worked out as a number: the blue, green and red texts (at least two
// digits each, a negative value as its eight two's-complement digits) are digits of one
// number; it is a colour if it fits in 32 bits.
std::optional<std::int32_t> expectedColour(std::int32_t r, std::int32_t g, std::int32_t b) {
    __extension__ using Wide = unsigned __int128;
    auto digits = [](std::int32_t v) {
        auto u = static_cast<std::uint32_t>(v);
        int n = 1;
        while ((u >>= 4) != 0) {
            ++n;
        }
        return std::max(n, 2);
    };
    const Wide value = (Wide(static_cast<std::uint32_t>(b)) << (4 * (digits(g) + digits(r)))) |
                       (Wide(static_cast<std::uint32_t>(g)) << (4 * digits(r))) | static_cast<std::uint32_t>(r);
    if ((value >> 32) != 0) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace

class PaletteFuzzTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void readAnyBytes();
    void previewAnyBytes();

private:
    quint32 m_seed = 0;
};

void PaletteFuzzTest::initTestCase() {
    m_seed = seed();
    qInfo("SWATCHLY_FUZZ_SEED=%u", m_seed);
}

void PaletteFuzzTest::readAnyBytes() {
    QRandomGenerator gen(m_seed);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.pdt"));
    for (int i = 0; i < Cases; ++i) {
        const QByteArray bytes = randomFile(gen);
        QVERIFY(writeBytes(path, bytes));
        try {
            const PaletteTable table = PaletteFile::read(path);
            QVERIFY2(bytes.size() >= 192, qPrintable(QStringLiteral("case %1").arg(i)));
            QCOMPARE(PaletteFile::encode(table), bytes.left(192));
        } catch (const AppError& error) {
            QVERIFY2(bytes.size() < 192, qPrintable(error.message()));
            QVERIFY(error.message().contains(QString::number(bytes.size())));
        }
    }
}

void PaletteFuzzTest::previewAnyBytes() {
    QRandomGenerator gen(m_seed ^ 0x5A5A5A5Au);
    TestWindow t;
    frmColor& f = *t.frm;
    const QByteArray white = PaletteFile::encode(t.m().MyPalette);
    t.writeFile(QStringLiteral("a.pdt"), white);
    t.writeFile(QStringLiteral("b.pdt"), white);
    TestWindow::click(f.cmdColor[1]);
    QCOMPARE(f.FilPallete->ListCount(), 2);
    QCOMPARE(f.FilPallete->ListIndex(), 0);

    for (int i = 0; i < Cases; ++i) {
        const int row = 1 - f.FilPallete->ListIndex();
        const QByteArray bytes = randomFile(gen);
        QVERIFY(writeBytes(t.path(f.FilPallete->List(row)), bytes));
        std::array<std::int32_t, 16> before{};
        for (std::size_t s = 0; s < 16; ++s) {
            before[s] = f.lblPallete[s]->BackColor();
        }
        const PaletteTable viewBefore = t.m().PaletteView;
        const qsizetype boxes = t.os.messageBoxes.size();

        QTest::mouseClick(f.FilPallete->viewport(), Qt::LeftButton, Qt::NoModifier,
                          f.FilPallete->visualItemRect(f.FilPallete->item(row)).center());
        QCOMPARE(f.FilPallete->ListIndex(), row);

        const QString where = QStringLiteral("case %1, %2 bytes: %3").arg(i).arg(bytes.size()).arg(bytes.toHex());
        if (bytes.size() < 192) {
            QVERIFY2(t.m().PaletteView == viewBefore, qPrintable(where));
            QCOMPARE(t.os.messageBoxes.size(), boxes + 1);
            for (std::size_t s = 0; s < 16; ++s) {
                QCOMPARE(f.lblPallete[s]->BackColor(), before[s]);
            }
            continue;
        }
        const PaletteTable table = PaletteFile::decode(bytes);
        QVERIFY2(t.m().PaletteView == table, qPrintable(where));
        bool failed = false;
        for (int s = 0; s < 16; ++s) {
            const auto colour = failed ? std::nullopt : expectedColour(table.at(s, 0), table.at(s, 1), table.at(s, 2));
            failed = failed || !colour;
            const std::int32_t shown = f.lblPallete[static_cast<std::size_t>(s)]->BackColor();
            QVERIFY2(shown == (colour ? *colour : before[static_cast<std::size_t>(s)]),
                     qPrintable(QStringLiteral("swatch %1, %2").arg(s).arg(where)));
        }
        QCOMPARE(t.os.messageBoxes.size(), boxes + (failed ? 1 : 0));
    }

    TestWindow::click(f.cmdCancel);
    QCOMPARE(t.m().PaletteView, t.m().MyPalette);
    QCOMPARE(f.lblPallete[0]->BackColor(), 0xFFFFFF);
}

QTEST_MAIN(PaletteFuzzTest)
#include "tst_palettefuzz.moc"
