// One frame of the cross-fade and one frame of a mask wipe at 640 x 480, in 32 and 16 bit: the plain
// path, the vector path at each level the processor has, pixman's equivalent composite, and the floor:
// a vector copy of exactly the bytes the frame reads and writes. Prints the ratios at the end of the run.
#include "bench/RatioReporter.h"
#include "bench/SimdLevels.h"
#include "bench/VectorCopy.h"
#include "graphics/TransitionFadePixels.h"
#include "graphics/TransitionMaskPixels.h"
#include "graphics/TransitionRuleMask.h"
#include "platform/cpu.h"

#include <benchmark/benchmark.h>

#ifdef QUORIN_HAVE_PIXMAN
#include <pixman.h>
#endif

#include <cstdio>
#include <random>
#include <string>
#include <vector>

using namespace bench_levels;

namespace {
constexpr int kW = transition::kScreenWidth;
constexpr int kH = transition::kScreenHeight;
// The level the frames are drawn at: the goals hold for the plain blend of the fade and the wipe.
constexpr int kFadeAlpha = 128;
constexpr int kWipeLevel = 127;
constexpr int kWipeDelta = 8;

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
    BYTE* Row(std::vector<BYTE>& v, int y) { return v.data() + static_cast<std::size_t>(y) * pitch; }
};

// A wipe half-way through a top-to-bottom mask with the ordinary row: rows whose level is below 64 have
// finished, 64-127 are active (their alpha falls with the level), the rest wait.
struct WipeState {
    std::vector<WORD> mask, alpha;
    LONG remaining = 0;
    LONG active = 0;
    WipeState() : mask(transition::kScreenPixels), alpha(transition::kScreenPixels) {
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const int v = RowLevel(y);
                const std::size_t i = static_cast<std::size_t>(y) * kW + x;
                mask[i] = v < 64 ? transition::kMaskFinished : static_cast<WORD>(v);
                alpha[i] = v < 64 ? 256 : v <= kWipeLevel ? static_cast<WORD>((128 - v) * 4) : 0;
                remaining += v < 64 ? 0 : 1;
                active += v >= 64 && v <= kWipeLevel ? 1 : 0;
            }
    }
    static int RowLevel(int y) { return y * 255 / (kH - 1); }
    static bool ActiveRow(int y) { return RowLevel(y) >= 64 && RowLevel(y) <= kWipeLevel; }
    // An active row whose pixels reach 256 in this frame: its mask entries are written too.
    static bool FinishingRow(int y) { return ActiveRow(y) && (128 - RowLevel(y)) * 4 + kWipeDelta >= 256; }
    BYTE* Row(std::vector<WORD>& v, int y) {
        return reinterpret_cast<BYTE*>(v.data() + static_cast<std::size_t>(y) * kW);
    }
};

void FadeFrame(benchmark::State& state, int format, platform::SimdLevel level) {
    Frame f(format);
    const AtLevel at(level);
    for (auto _ : state) {
        if (level == platform::SimdLevel::None)
            transition::BlendPlain(format, f.Area(), kFadeAlpha);
        else
            transition::BlendSimd(format, f.Area(), kFadeAlpha);
        benchmark::DoNotOptimize(f.draw.data());
        benchmark::ClobberMemory();
    }
}

// The fade's floor: both pictures read, the draw picture written.
void FadeCopy(benchmark::State& state, int format) {
    Frame f(format);
    for (auto _ : state) {
        vector_copy::Or2(f.draw.data(), f.before.data(), f.after.data(), f.draw.size());
        benchmark::DoNotOptimize(f.draw.data());
        benchmark::ClobberMemory();
    }
}

// One picture copied: the figure a fade used to be held against.
void FrameCopy(benchmark::State& state, int format) {
    Frame f(format);
    for (auto _ : state) {
        vector_copy::Copy(f.draw.data(), f.after.data(), f.draw.size());
        benchmark::DoNotOptimize(f.draw.data());
        benchmark::ClobberMemory();
    }
}

// Every frame starts from the same half-way state; putting it back is not timed.
template <class Body> void WipeFrames(benchmark::State& state, Body body) {
    const WipeState start;
    WipeState w = start;
    for (auto _ : state) {
        state.PauseTiming();
        w.alpha = start.alpha;
        w.mask = start.mask;
        state.ResumeTiming();
        body(w);
        benchmark::ClobberMemory();
    }
}

void MaskFrame(benchmark::State& state, int format, platform::SimdLevel level) {
    Frame f(format);
    const AtLevel at(level);
    WipeFrames(state, [&](WipeState& w) {
        transition::MaskScan scan{w.mask.data(), w.alpha.data(), kW,      kWipeLevel,
                                  kWipeDelta,    w.remaining,    w.active};
        if (level == platform::SimdLevel::None)
            transition::ScanMaskPlain(format, f.Area(), scan);
        else
            transition::ScanMaskSimd(format, f.Area(), scan);
        benchmark::DoNotOptimize(f.draw.data());
    });
}

// The wipe's floor: every mask entry read; in the active rows the alpha entries read and written (the
// mask entries too where pixels finish), both pictures read and the draw picture written.
void MaskCopy(benchmark::State& state, int format) {
    Frame f(format);
    WipeFrames(state, [&](WipeState& w) {
        const std::size_t entryBytes = kW * sizeof(WORD);
        for (int y = 0; y < kH; ++y) {
            if (!WipeState::ActiveRow(y)) {
                benchmark::DoNotOptimize(vector_copy::Read(w.Row(w.mask, y), entryBytes));
                continue;
            }
            if (WipeState::FinishingRow(y))
                vector_copy::Mix(w.Row(w.mask, y), w.Row(w.alpha, y), entryBytes);
            else
                vector_copy::Or2(w.Row(w.alpha, y), w.Row(w.alpha, y), w.Row(w.mask, y), entryBytes);
            vector_copy::Or2(f.Row(f.draw, y), f.Row(f.before, y), f.Row(f.after, y), f.pitch);
        }
        benchmark::DoNotOptimize(f.draw.data());
    });
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

} // namespace

int main(int argc, char** argv) {
    for (int format : {32, 16}) {
        for (const char* kind : {"fade", "mask"}) {
            const std::string base = kind + std::to_string(format);
            const bool fade = kind[0] == 'f';
            Register(base + "/plain", fade ? FadeFrame : MaskFrame, format, platform::SimdLevel::None);
            for (platform::SimdLevel level : VectorLevels())
                Register(base + "/" + LevelName(level), fade ? FadeFrame : MaskFrame, format, level);
#ifdef QUORIN_HAVE_PIXMAN
            Register(base + "/pixman", fade ? PixmanFade : PixmanMask, format);
#endif
            Register(base + "/copy", fade ? FadeCopy : MaskCopy, format);
        }
        Register("fade" + std::to_string(format) + "/frame", FrameCopy, format);
    }
    RatioReporter reporter;
    RunInterleaved(argc, argv, reporter);
    reporter.PrintFastest();
    std::printf("\nProcessor level %s; the copy floor uses %s vectors.\n",
                platform::SimdLevelName(platform::ProcessorSimdLevel()), vector_copy::Width());
    std::printf("Ratios of the fastest of the repetitions (time / time; below 1 is faster):\n");
    for (const std::string kind : {"fade32", "fade16", "mask32", "mask16"}) {
        const bool goal = kind != "fade32"; // the 32-bit fade is shown for reference
        for (platform::SimdLevel level : VectorLevels())
            reporter.PrintRatio(kind + "/" + LevelName(level), kind + "/copy", goal ? 3.0 : 0.0);
        if (kind[0] == 'f')
            for (platform::SimdLevel level : VectorLevels())
                reporter.PrintRatio(kind + "/" + LevelName(level), kind + "/frame");
        reporter.PrintRatio(kind + "/plain", kind + "/copy");
        reporter.PrintRatio(kind + "/" + LevelName(platform::ProcessorSimdLevel()), kind + "/pixman");
        reporter.PrintRatio(kind + "/plain", kind + "/pixman");
    }
    benchmark::Shutdown();
    return 0;
}
