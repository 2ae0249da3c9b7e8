#pragma once

#include <QRandomGenerator>

// The generator of a fuzz test: seeded at random, and the seed printed; SWATCHLY_FUZZ_SEED
// replays a printed seed.
inline QRandomGenerator fuzzGenerator() {
    const QByteArray fixed = qgetenv("SWATCHLY_FUZZ_SEED");
    const quint32 seed = fixed.isEmpty() ? QRandomGenerator::global()->generate() : fixed.toUInt();
    qInfo("SWATCHLY_FUZZ_SEED=%u", seed);
    return QRandomGenerator(seed);
}
