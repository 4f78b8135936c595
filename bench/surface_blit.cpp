// Blits of a full 640x480 picture: the plain copy, the colour-keyed copy every sprite uses, and the
// DIB conversion every picture load goes through, each against the floor (a vector copy of the bytes it
// reads and writes) and the plain copy against pixman's copy of the same picture.
#include "bench/RatioReporter.h"
#include "bench/VectorCopy.h"
#include "graphics/DDrawSurface.h"
#include "platform/testing.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#ifdef QUORIN_HAVE_PIXMAN
#include <pixman.h>
#endif

namespace pt = platform::testing;

namespace {
constexpr int kWidth = 640;
constexpr int kHeight = 480;

struct Pair {
    explicit Pair(pt::DisplayFormat format) {
        pt::UseHeadlessDisplay(format);
        DirectDrawCreate(nullptr, &dd, nullptr);
        source.CreateEmpty(dd, SIZE{kWidth, kHeight});
        dest.CreateEmpty(dd, SIZE{kWidth, kHeight});
        // Every other pixel keyed out.
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
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
}

// The floor of a blit: the source picture read and the destination written. A keyed blit writes only
// the pixels off the key, but every line of the destination holds some, so the lines moved are the same.
void CopyFloor(benchmark::State& state, int bytesPerPixel) {
    std::vector<BYTE> source(static_cast<std::size_t>(kWidth) * kHeight * bytesPerPixel, 0x5A),
        dest(source.size());
    for (auto _ : state) {
        vector_copy::Copy(dest.data(), source.data(), dest.size());
        benchmark::ClobberMemory();
    }
}

BITMAPINFO DibInfo() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = 40;
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    return info;
}

void DibToSurface32(benchmark::State& state) {
    Pair p(pt::DisplayFormat::Xrgb32);
    BITMAPINFO info = DibInfo();
    std::vector<BYTE> bits(kWidth * 3 * kHeight, 0x5A);
    for (auto _ : state)
        benchmark::DoNotOptimize(BltDibToSurface(p.dest.GetSurface(), &info, bits.data()));
}

// The DIB conversion's floor: each 24-bit row read and each 32-bit row written, row by row.
void DibFloor(benchmark::State& state) {
    std::vector<BYTE> bits(kWidth * 3 * kHeight, 0x5A), dest(kWidth * 4 * kHeight);
    for (auto _ : state) {
        std::uint64_t v = 0;
        for (int y = 0; y < kHeight; ++y) {
            v |= vector_copy::Read(&bits[static_cast<std::size_t>(y) * kWidth * 3], kWidth * 3);
            vector_copy::Write(&dest[static_cast<std::size_t>(y) * kWidth * 4], v, kWidth * 4);
        }
        benchmark::ClobberMemory();
    }
}

#ifdef QUORIN_HAVE_PIXMAN
void PixmanCopy32(benchmark::State& state) {
    std::vector<uint32_t> a(kWidth * kHeight, 0x1234), b(kWidth * kHeight);
    pixman_image_t* src = pixman_image_create_bits(PIXMAN_x8r8g8b8, kWidth, kHeight, a.data(), kWidth * 4);
    pixman_image_t* dst = pixman_image_create_bits(PIXMAN_x8r8g8b8, kWidth, kHeight, b.data(), kWidth * 4);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dst, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(src);
    pixman_image_unref(dst);
}
#endif

template <class... Args> void Register(const char* name, Args&&... args) {
    benchmark::RegisterBenchmark(name, std::forward<Args>(args)...)->Unit(benchmark::kMicrosecond);
}
} // namespace

int main(int argc, char** argv) {
    Register("copy32", Copy, pt::DisplayFormat::Xrgb32, false);
    Register("keyed32", Copy, pt::DisplayFormat::Xrgb32, true);
    Register("keyed24", Copy, pt::DisplayFormat::Rgb24, true);
    Register("keyed16", Copy, pt::DisplayFormat::Rgb565, true);
    Register("floor32", CopyFloor, 4);
    Register("floor24", CopyFloor, 3);
    Register("floor16", CopyFloor, 2);
    Register("dib24to32", DibToSurface32);
    Register("dib24to32/floor", DibFloor);
#ifdef QUORIN_HAVE_PIXMAN
    Register("pixman-copy32", PixmanCopy32);
#endif
    RatioReporter reporter;
    RunInterleaved(argc, argv, reporter);
    reporter.PrintFastest();
    std::printf(
        "\nThe floor uses %s vectors. Ratios of the fastest of the repetitions (below 1 is faster):\n",
        vector_copy::Width());
    reporter.PrintRatio("copy32", "floor32");
    reporter.PrintRatio("copy32", "pixman-copy32");
    reporter.PrintRatio("keyed32", "floor32");
    reporter.PrintRatio("keyed24", "floor24");
    reporter.PrintRatio("keyed16", "floor16");
    reporter.PrintRatio("dib24to32", "dib24to32/floor");
    benchmark::Shutdown();
    return 0;
}
