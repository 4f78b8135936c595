// Blits of a full 640x480 picture: the plain copy, the colour-keyed copy every sprite uses, and the
// DIB conversion every picture load goes through, against pixman's copy of the same size.
#include "graphics/DDrawSurface.h"
#include "platform/testing.h"

#include <benchmark/benchmark.h>

#include <vector>

#ifdef QUORIN_HAVE_PIXMAN
#include <pixman.h>
#endif

namespace pt = platform::testing;

namespace {
struct Pair {
    explicit Pair(pt::DisplayFormat format) {
        pt::UseHeadlessDisplay(format);
        DirectDrawCreate(nullptr, &dd, nullptr);
        source.CreateEmpty(dd, SIZE{640, 480});
        dest.CreateEmpty(dd, SIZE{640, 480});
        // Every other pixel keyed out.
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                pt::WriteSurfaceRaw(source.GetSurface(), x, y, (x + y) % 2 ? 0x1234 : 0);
    }
    ~Pair() {
        source.Release();
        dest.Release();
        dd->Release();
    }
    IDirectDraw* dd = nullptr;
    CDDrawSurface source, dest;
};

void Copy(benchmark::State& state, pt::DisplayFormat format, bool keyed) {
    Pair p(format);
    if (keyed) p.source.SetColorKeyFromCorner(0);
    for (auto _ : state)
        benchmark::DoNotOptimize(p.source.BltTo(p.dest.GetSurface(), 0, 0, nullptr));
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}

void BM_Copy32(benchmark::State& s) {
    Copy(s, pt::DisplayFormat::Xrgb32, false);
}
void BM_Keyed32(benchmark::State& s) {
    Copy(s, pt::DisplayFormat::Xrgb32, true);
}
void BM_Keyed24(benchmark::State& s) {
    Copy(s, pt::DisplayFormat::Rgb24, true);
}
void BM_Keyed16(benchmark::State& s) {
    Copy(s, pt::DisplayFormat::Rgb565, true);
}

void BM_DibToSurface32(benchmark::State& state) {
    Pair p(pt::DisplayFormat::Xrgb32);
    BITMAPINFO info{};
    info.bmiHeader.biSize = 40;
    info.bmiHeader.biWidth = 640;
    info.bmiHeader.biHeight = 480;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    std::vector<BYTE> bits(640 * 3 * 480, 0x5A);
    for (auto _ : state)
        benchmark::DoNotOptimize(BltDibToSurface(p.dest.GetSurface(), &info, bits.data()));
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}

#ifdef QUORIN_HAVE_PIXMAN
void BM_PixmanCopy32(benchmark::State& state) {
    std::vector<uint32_t> a(640 * 480, 0x1234), b(640 * 480);
    pixman_image_t* src = pixman_image_create_bits(PIXMAN_x8r8g8b8, 640, 480, a.data(), 640 * 4);
    pixman_image_t* dst = pixman_image_create_bits(PIXMAN_x8r8g8b8, 640, 480, b.data(), 640 * 4);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dst, 0, 0, 0, 0, 0, 0, 640, 480);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(src);
    pixman_image_unref(dst);
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}
BENCHMARK(BM_PixmanCopy32);
#endif

BENCHMARK(BM_Copy32);
BENCHMARK(BM_Keyed32);
BENCHMARK(BM_Keyed24);
BENCHMARK(BM_Keyed16);
BENCHMARK(BM_DibToSurface32);
} // namespace

BENCHMARK_MAIN();
