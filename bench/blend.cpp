// The plane blends of a 640x480 picture at 32 and 16 bits beside pixman's OVER composite of the same
// picture and a memcpy of the same bytes, with the ratios printed at the end.
#include "bench/RatioReporter.h"
#include "graphics/PreBlend.h"

#include <benchmark/benchmark.h>

#ifdef QUORIN_HAVE_PIXMAN
#include <pixman.h>
#endif

#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {
constexpr int kWidth = 640;
constexpr int kHeight = 480;

struct Scene {
    explicit Scene(int bytesPerPixel) : bpp(bytesPerPixel) {
        std::mt19937 rng(42);
        const std::size_t bytes = static_cast<std::size_t>(kWidth) * kHeight * bpp;
        for (auto* v : {&target, &picture, &shown}) {
            v->resize(bytes);
            for (auto& b : *v)
                b = static_cast<BYTE>(rng());
        }
        alpha.resize(kWidth * kHeight);
        weights.resize(kWidth * kHeight);
        for (int i = 0; i < kWidth * kHeight; ++i) {
            const unsigned a = rng() % 256;
            alpha[i] = static_cast<WORD>(bpp == 2 && a == 255 ? 256 : a);
            weights[i] = static_cast<BYTE>(rng() % 17);
        }
    }
    PixelView View(std::vector<BYTE>& v) {
        return PixelView{v.data(), static_cast<long>(kWidth) * bpp, kWidth, kHeight};
    }
    int bpp;
    std::vector<BYTE> target, picture, shown;
    std::vector<WORD> alpha;
    std::vector<BYTE> weights;
};

void AlphaBlendBench(benchmark::State& state, int bpp) {
    Scene s(bpp);
    for (auto _ : state) {
        AlphaBlend(bpp, false, s.View(s.shown), s.View(s.picture), s.View(s.target), 0, 0, s.alpha.data(),
                   nullptr, kWidth, kHeight);
        benchmark::DoNotOptimize(s.shown.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(s.shown.size()));
}

void WeightBlendBench(benchmark::State& state, int bpp) {
    Scene s(bpp);
    const BlendFields fields = bpp == 2 ? BlendFields{{0xF800, 11}, {0x07E0, 5}, {0x001F, 0}}
                                        : BlendFields{{0xFF0000, 16}, {0x00FF00, 8}, {0x0000FF, 0}};
    for (auto _ : state) {
        WeightBlend(bpp, fields, s.View(s.shown), s.View(s.picture), s.View(s.target), 0, 0, s.weights.data(),
                    kWidth, kHeight);
        benchmark::DoNotOptimize(s.shown.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(s.shown.size()));
}

void MemcpyBench(benchmark::State& state, int bpp) {
    Scene s(bpp);
    for (auto _ : state) {
        std::memcpy(s.shown.data(), s.picture.data(), s.shown.size());
        benchmark::DoNotOptimize(s.shown.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(s.shown.size()));
}

#ifdef QUORIN_HAVE_PIXMAN
// OVER of a premultiplied 32-bit picture with the same random alpha onto a 32-bit (a8r8g8b8) or 16-bit
// (r5g6b5) target. The target is put back each pass so that every pass composites the same data.
void PixmanOverBench(benchmark::State& state, int bpp) {
    Scene s(bpp);
    Scene src(4);
    std::vector<uint32_t> argb(kWidth * kHeight);
    for (int i = 0; i < kWidth * kHeight; ++i) {
        const uint32_t a = src.alpha[i] > 255 ? 255 : src.alpha[i];
        uint32_t px;
        std::memcpy(&px, &src.picture[4 * i], 4);
        const uint32_t r = ((px >> 16) & 0xFF) * a / 255, g = ((px >> 8) & 0xFF) * a / 255,
                       b = (px & 0xFF) * a / 255;
        argb[i] = (a << 24) | (r << 16) | (g << 8) | b;
    }
    pixman_image_t* source =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, argb.data(), kWidth * 4);
    std::vector<BYTE> dest = s.target;
    pixman_image_t* target =
        pixman_image_create_bits(bpp == 4 ? PIXMAN_a8r8g8b8 : PIXMAN_r5g6b5, kWidth, kHeight,
                                 reinterpret_cast<uint32_t*>(dest.data()), kWidth * bpp);
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(dest.data(), s.target.data(), dest.size());
        state.ResumeTiming();
        pixman_image_composite32(PIXMAN_OP_OVER, source, nullptr, target, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
        benchmark::DoNotOptimize(dest.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(dest.size()));
    pixman_image_unref(source);
    pixman_image_unref(target);
}
#endif

} // namespace

BENCHMARK_CAPTURE(AlphaBlendBench, AlphaBlend32, 4)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(AlphaBlendBench, AlphaBlend16, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WeightBlendBench, WeightBlend32, 4)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WeightBlendBench, WeightBlend16, 2)->Unit(benchmark::kMicrosecond);
#ifdef QUORIN_HAVE_PIXMAN
BENCHMARK_CAPTURE(PixmanOverBench, PixmanOver32, 4)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(PixmanOverBench, PixmanOver16, 2)->Unit(benchmark::kMicrosecond);
#endif
BENCHMARK_CAPTURE(MemcpyBench, Memcpy32, 4)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(MemcpyBench, Memcpy16, 2)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nTime ratios (below 1 is faster than the peer):\n");
    for (const char* depth : {"32", "16"}) {
        for (const char* kind : {"AlphaBlend", "WeightBlend"}) {
            const std::string ours = std::string(kind) + "Bench/" + kind + depth;
            reporter.PrintRatio(ours, std::string("PixmanOverBench/PixmanOver") + depth);
            reporter.PrintRatio(ours, std::string("MemcpyBench/Memcpy") + depth);
        }
    }
    benchmark::Shutdown();
    return 0;
}
