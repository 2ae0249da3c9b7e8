// The program's hot paths, timed in-process with QBENCHMARK, and their heap allocations per
// event counted with a replaced global allocator:
//   - one slider change through UpdateColorDisplay,
//   - one mouse move over a swatch (the hint handler, reached by a real QMouseEvent),
//   - one full palette repaint (PaintSwatches with colours that all change).
// The allocation counts are printed per event; a hot path may allocate at most the caption
// string it sets.

#include "color/ColorCode.h"
#include "resources/StringTable.h"
#include "support/TestWindow.h"

#include <QMouseEvent>
#include <QTest>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

// --- Allocation counter -------------------------------------------------------------------
// operator new is replaced for the whole program. Qt's strings, lists and palettes take their
// memory from malloc directly, so malloc is counted too (forwarded to glibc's own), except
// under the sanitizers, which own malloc themselves.

namespace {
std::atomic<long> g_news{0};
std::atomic<long> g_mallocs{0};
} // namespace

#ifndef SWATCHLY_BENCH_NO_MALLOC_HOOK
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);

void* malloc(std::size_t size) {
    g_mallocs.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
    g_mallocs.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}
void* realloc(void* pointer, std::size_t size) {
    g_mallocs.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(pointer, size);
}
}
#endif

void* operator new(std::size_t size) {
    g_news.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return ::operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    g_news.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return ::operator new(size, tag);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

struct Allocations {
    double news = 0;    // operator new per event
    double mallocs = 0; // all heap blocks (malloc, calloc, realloc, new) per event
};

// Heap allocations per call of `event`, over `count` calls after two unmeasured ones (which
// let caches and detached copies settle).
template <typename Event> Allocations perEvent(int count, Event&& event) {
    event(0);
    event(1);
    const long news = g_news.load();
    const long mallocs = g_mallocs.load();
    for (int i = 0; i < count; ++i) {
        event(i);
    }
    return {static_cast<double>(g_news.load() - news) / count, static_cast<double>(g_mallocs.load() - mallocs) / count};
}

void print(const char* what, const Allocations& a) {
    std::printf("ALLOC %-58s %6.2f heap blocks/event (%5.2f by operator new)\n", what, a.mallocs, a.news);
    std::fflush(stdout);
}

PaletteTable table(int seed) {
    PaletteTable t;
    for (int i = 0; i < PaletteTable::Entries; ++i) {
        t.setEntry(i, (i * 16 + seed) % 256, (i * 7 + seed) % 256, (255 - i * 9 + seed) % 256);
    }
    return t;
}

} // namespace

class HotPathsBench : public QObject {
    Q_OBJECT
private slots:
    void sliderChange();
    void swatchHover();
    void paletteRepaint();
    void allocationsPerEvent();
};

void HotPathsBench::sliderChange() {
    TestWindow t;
    ColorSlider* slider = t.frm->VScrColor[0];
    int level = 100;
    QBENCHMARK {
        level ^= 1; // 100, 101, 100, ...: every call is a change
        slider->setValue(level);
    }
    QCOMPARE(t.m().HexR, level == 100 ? QStringLiteral("64") : QStringLiteral("65"));
}

void HotPathsBench::swatchHover() {
    TestWindow t;
    Label* swatch = t.frm->lblPallete[5];
    Label* hex = t.frm->lblHex;
    const QPointF at = swatch->rect().center();
    QMouseEvent overSwatch(QEvent::MouseMove, at, swatch->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QMouseEvent overHex(QEvent::MouseMove, hex->rect().center(), hex->mapToGlobal(hex->rect().center()), Qt::NoButton,
                        Qt::NoButton, Qt::NoModifier);
    QBENCHMARK {
        // Alternating with the hex read-out, so every move over the swatch changes the hint.
        QCoreApplication::sendEvent(hex, &overHex);
        QCoreApplication::sendEvent(swatch, &overSwatch);
    }
    QCOMPARE(t.frm->lblExplain->Caption(), LoadResString(TextId::MySwatchHint));
}

void HotPathsBench::paletteRepaint() {
    TestWindow t;
    const std::array<PaletteTable, 2> tables{table(0), table(1)};
    int which = 0;
    QBENCHMARK {
        which ^= 1;
        t.m().PaintSwatches(tables[static_cast<std::size_t>(which)]);
        // The swatches draw themselves: the whole palette, into the window's backing store.
        t.frm->client->repaint();
    }
    QCOMPARE(t.frm->lblPallete[0]->BackColor(), SwatchColor(tables[static_cast<std::size_t>(which)].at(0, 0),
                                                            tables[static_cast<std::size_t>(which)].at(0, 1),
                                                            tables[static_cast<std::size_t>(which)].at(0, 2)));
}

void HotPathsBench::allocationsPerEvent() {
    TestWindow t;
    frmColor& f = *t.frm;
    constexpr int N = 1000;

    ColorSlider* slider = f.VScrColor[0];
    const Allocations sliderChange = perEvent(N, [&](int i) { slider->setValue(100 + (i & 1)); });
    print("slider change (setValue -> UpdateColorDisplay)", sliderChange);
    const Allocations display = perEvent(N, [&](int) { t.m().UpdateColorDisplay(); });
    print("  UpdateColorDisplay alone (sliders unchanged)", display);
    // What a slider change is made of, piece by piece.
    print("    ColorCode (plain hex)",
          perEvent(N, [&](int) { (void)ColorCode(t.m().HexR, t.m().HexG, t.m().HexB, CopyFormat::PlainHex); }));
    print("    SliderReadout", perEvent(N, [&](int) { (void)f.SliderReadout(); }));
    print("    txtColor->setBackColor (colour changes)",
          perEvent(N, [&](int i) { f.txtColor->setBackColor(0x102030 + (i & 1)); }));
    print("    lblHex->setCaption (caption changes, string made beforehand)", [&] {
        const std::array<QString, 2> captions{QStringLiteral("646464"), QStringLiteral("656464")};
        return perEvent(N, [&](int i) { f.lblHex->setCaption(captions[static_cast<std::size_t>(i & 1)]); });
    }());
    t.m().EditingBackground = false;
    print("  slider change while editing the text colour",
          perEvent(N, [&](int i) { slider->setValue(100 + (i & 1)); }));
    t.m().EditingBackground = true;

    Label* swatch = f.lblPallete[5];
    Label* other = f.lblPallete[6];
    Label* hex = f.lblHex;
    const QPointF at = swatch->rect().center();
    QMouseEvent overSwatch(QEvent::MouseMove, at, swatch->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QMouseEvent overOther(QEvent::MouseMove, at, other->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QMouseEvent overHex(QEvent::MouseMove, hex->rect().center(), hex->mapToGlobal(hex->rect().center()), Qt::NoButton,
                        Qt::NoButton, Qt::NoModifier);
    print("mouse move over a swatch, hint unchanged (QMouseEvent)", perEvent(N, [&](int i) {
              QCoreApplication::sendEvent(i & 1 ? swatch : other, i & 1 ? &overSwatch : &overOther);
          }));
    const Allocations hover = perEvent(N, [&](int i) { f.lblPallete_MouseMove(5 + (i & 1)); });
    print("  the same, handler called directly", hover);
    print("mouse move swatch <-> hex read-out, hint changes (QMouseEvent)", perEvent(N, [&](int i) {
              QCoreApplication::sendEvent(i & 1 ? swatch : hex, i & 1 ? &overSwatch : &overHex);
          }));
    print("mouse move over the bare window area (slider read-out)", perEvent(N, [&](int i) {
              if (i & 1) {
                  f.lblHex_MouseMove();
              } else {
                  f.Form_MouseMove();
              }
          }));

    const std::array<PaletteTable, 2> tables{table(0), table(1)};
    const Allocations repaint =
        perEvent(N, [&](int i) { t.m().PaintSwatches(tables[static_cast<std::size_t>(i & 1)]); });
    print("palette repaint, state only (PaintSwatches)", repaint);
    print("  one swatch: setBackColor (colour changes)",
          perEvent(N, [&](int i) { f.lblPallete[3]->setBackColor(0x102030 + (i & 1)); }));
    print("  one swatch: setBackColor, window hidden", [&] {
        f.hide();
        const Allocations a = perEvent(N, [&](int i) { f.lblPallete[3]->setBackColor(0x102030 + (i & 1)); });
        f.show();
        return a;
    }());
    print("palette repaint, with the pixels (PaintSwatches + repaint)", perEvent(N / 10, [&](int i) {
              t.m().PaintSwatches(tables[static_cast<std::size_t>(i & 1)]);
              f.client->repaint();
          }));
    print("  repaint alone (nothing changed)", perEvent(N / 10, [&](int) { f.client->repaint(); }));
#ifdef SWATCHLY_BENCH_NO_MALLOC_HOOK
    std::printf("ALLOC note: malloc is not counted in this build (sanitizers); the figures are operator new only\n");
#endif
    QVERIFY(g_news.load() > 0); // the counter is in place

    // The budgets: a slider change makes its two captions (the code and the read-out) and
    // the toolkit's own repaint request; a hint or a palette repaint makes nothing.
    const auto blocks = [](const Allocations& a) {
#ifdef SWATCHLY_BENCH_NO_MALLOC_HOOK
        return a.news;
#else
        return a.mallocs;
#endif
    };
    QVERIFY2(blocks(display) <= 2.0, "UpdateColorDisplay allocates beyond its two captions");
    QVERIFY2(blocks(sliderChange) <= 3.0, "a slider change allocates beyond its captions");
    QVERIFY2(blocks(hover) == 0.0, "the swatch hint allocates");
    QVERIFY2(blocks(repaint) == 0.0, "painting the swatches allocates");
}

QTEST_MAIN(HotPathsBench)
#include "bench_hotpaths.moc"
