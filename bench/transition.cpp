// One frame of the cross-fade and one frame of a mask wipe at 640 x 480, in 32 and 16 bit: the plain
// path, the vector path, pixman's equivalent composite and a memcpy of the bytes the frame writes.
// Prints the ratios at the end of the run.
#include "bench/RatioReporter.h"
#include "graphics/TransitionFadePixels.h"
#include "graphics/TransitionMaskPixels.h"
#include "graphics/TransitionRuleMask.h"

#include <benchmark/benchmark.h>

#ifdef QUORIN_HAVE_PIXMAN
#include <pixman.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {
constexpr int kW = transition::kScreenWidth;
constexpr int kH = transition::kScreenHeight;

struct Frame {
    int format;
    int pitch;
    std::vector<BYTE> before, after, draw;
    explicit Frame(int fmt)
        : format(fmt), pitch(kW * transition::BytesPerPixel(fmt)),
          before(static_cast<std::size_t>(pitch) * kH), after(before.size()), draw(before.size()) {
        std::mt19937 rng(static_cast<unsigned>(fmt));
        for (auto& b : before)
            b = static_cast<BYTE>(rng());
        for (auto& b : after)
            b = static_cast<BYTE>(rng());
        draw = before;
    }
    transition::PixelArea Area() {
        return transition::PixelArea{before.data(), pitch, after.data(), pitch, draw.data(), pitch, kW, kH};
    }
};

// A wipe half-way through a top-to-bottom mask with the ordinary row: rows whose level is below 64 have
// finished, 64-127 are active (their alpha falls with the level), the rest wait.
struct WipeState {
    std::vector<WORD> mask, alpha;
    LONG remaining = 0;
    WipeState() : mask(transition::kScreenPixels), alpha(transition::kScreenPixels) {
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const int v = y * 255 / (kH - 1);
                const std::size_t i = static_cast<std::size_t>(y) * kW + x;
                mask[i] = v < 64 ? transition::kMaskFinished : static_cast<WORD>(v);
                alpha[i] = v < 64 ? 256 : v < 128 ? static_cast<WORD>((128 - v) * 4) : 0;
                remaining += v < 64 ? 0 : 1;
            }
    }
    LONG Active() const {
        LONG n = 0;
        for (WORD m : mask)
            n += m <= 127 ? 1 : 0;
        return n;
    }
};

void FadeFrame(benchmark::State& state, int format, bool simd) {
    Frame f(format);
    for (auto _ : state) {
        if (simd)
            transition::BlendSimd(format, f.Area(), 128);
        else
            transition::BlendPlain(format, f.Area(), 128);
        benchmark::DoNotOptimize(f.draw.data());
        benchmark::ClobberMemory();
    }
}

void MaskFrame(benchmark::State& state, int format, bool simd) {
    Frame f(format);
    const WipeState start;
    WipeState w = start;
    const LONG reached = start.Active();
    for (auto _ : state) {
        state.PauseTiming();
        w.alpha = start.alpha;
        w.mask = start.mask;
        state.ResumeTiming();
        transition::MaskScan scan{w.mask.data(), w.alpha.data(), kW, 127, 8, start.remaining, reached};
        if (simd)
            transition::ScanMaskSimd(format, f.Area(), scan);
        else
            transition::ScanMaskPlain(format, f.Area(), scan);
        benchmark::DoNotOptimize(f.draw.data());
        benchmark::ClobberMemory();
    }
}

// The bytes a frame writes: the whole picture for the cross-fade, the started rows for the wipe.
void CopyFrame(benchmark::State& state, int format, double share) {
    Frame f(format);
    const std::size_t bytes = static_cast<std::size_t>(static_cast<double>(f.before.size()) * share);
    for (auto _ : state) {
        std::memcpy(f.draw.data(), f.after.data(), bytes);
        benchmark::DoNotOptimize(f.draw.data());
        benchmark::ClobberMemory();
    }
}

#ifdef QUORIN_HAVE_PIXMAN
pixman_format_code_t PixmanFormat(int format) {
    return format == 32 ? PIXMAN_x8r8g8b8 : PIXMAN_r5g6b5;
}

// Cross-fade: OVER of the after picture onto the before picture through a constant alpha.
void PixmanFade(benchmark::State& state, int format) {
    Frame f(format);
    pixman_image_t* src = pixman_image_create_bits(PixmanFormat(format), kW, kH,
                                                   reinterpret_cast<uint32_t*>(f.after.data()), f.pitch);
    pixman_image_t* dst = pixman_image_create_bits(PixmanFormat(format), kW, kH,
                                                   reinterpret_cast<uint32_t*>(f.draw.data()), f.pitch);
    const pixman_color_t half{0, 0, 0, 0x8080};
    pixman_image_t* mask = pixman_image_create_solid_fill(&half);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, src, mask, dst, 0, 0, 0, 0, 0, 0, kW, kH);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(mask);
    pixman_image_unref(dst);
    pixman_image_unref(src);
}

// Mask wipe: OVER of the after picture onto the draw picture through an 8-bit alpha per pixel.
void PixmanMask(benchmark::State& state, int format) {
    Frame f(format);
    const WipeState w;
    std::vector<uint32_t> alphaBits(static_cast<std::size_t>(kW) * kH / 4);
    auto* a8 = reinterpret_cast<BYTE*>(alphaBits.data());
    for (std::size_t i = 0; i < w.alpha.size(); ++i)
        a8[i] = static_cast<BYTE>(w.alpha[i] > 255 ? 255 : w.alpha[i]);
    pixman_image_t* src = pixman_image_create_bits(PixmanFormat(format), kW, kH,
                                                   reinterpret_cast<uint32_t*>(f.after.data()), f.pitch);
    pixman_image_t* dst = pixman_image_create_bits(PixmanFormat(format), kW, kH,
                                                   reinterpret_cast<uint32_t*>(f.draw.data()), f.pitch);
    pixman_image_t* mask = pixman_image_create_bits(PIXMAN_a8, kW, kH, alphaBits.data(), kW);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, src, mask, dst, 0, 0, 0, 0, 0, 0, kW, kH);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(mask);
    pixman_image_unref(dst);
    pixman_image_unref(src);
}
#endif

// Share of the picture a wipe frame writes: the active rows (levels 64-127 of 0-255).
constexpr double kWipeShare = 64.0 / 256.0;

double Fastest(const std::vector<double>& v) {
    return v.empty() ? 0.0 : *std::min_element(v.begin(), v.end());
}

template <class... Args> void Register(const std::string& name, Args&&... args) {
    benchmark::RegisterBenchmark(name.c_str(), std::forward<Args>(args)...)
        ->Unit(benchmark::kMicrosecond)
        ->ComputeStatistics("min", Fastest);
}
} // namespace

int main(int argc, char** argv) {
    for (int format : {32, 16}) {
        const std::string fade = "fade" + std::to_string(format);
        const std::string mask = "mask" + std::to_string(format);
        Register(fade + "/plain", FadeFrame, format, false);
        Register(fade + "/simd", FadeFrame, format, true);
#ifdef QUORIN_HAVE_PIXMAN
        Register(fade + "/pixman", PixmanFade, format);
#endif
        Register(fade + "/memcpy", CopyFrame, format, 1.0);
        Register(mask + "/plain", MaskFrame, format, false);
        Register(mask + "/simd", MaskFrame, format, true);
#ifdef QUORIN_HAVE_PIXMAN
        Register(mask + "/pixman", PixmanMask, format);
#endif
        Register(mask + "/memcpy", CopyFrame, format, kWipeShare);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nRatios (time / time; below 1 is faster):\n");
    for (const std::string kind : {"fade32", "fade16", "mask32", "mask16"}) {
        reporter.PrintRatio(kind + "/simd", kind + "/plain");
        reporter.PrintRatio(kind + "/simd", kind + "/pixman");
        reporter.PrintRatio(kind + "/simd", kind + "/memcpy");
        reporter.PrintRatio(kind + "/plain", kind + "/pixman");
    }
    benchmark::Shutdown();
    return 0;
}
