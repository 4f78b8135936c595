// The plane blends of a 640x480 picture at 32 and 16 bits beside pixman compositing the same picture and
// a vector copy of exactly the bytes the blend reads and writes, with the ratios printed at the end.
// Two planes: "random" (every weight 0-16 and every alpha at random, pixel by pixel) and "picture" (a
// layer's plane as drawn: a transparent band, a soft edge and an opaque band, in runs of 16 pixels).
#include "bench/RatioReporter.h"
#include "bench/SimdLevels.h"
#include "bench/VectorCopy.h"
#include "graphics/PreBlend.h"
#include "platform/cpu.h"

#include <benchmark/benchmark.h>

#ifdef QUORIN_HAVE_PIXMAN
#include <pixman.h>
#endif

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using namespace bench_levels;

namespace {
constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kPixels = kWidth * kHeight;

enum class Plane { Random, Picture };

// The weight of the "picture" plane at column x: 0 on the left quarter, 16 on the right half, and an edge
// of weights 1-15 between them, changing every 16 pixels.
BYTE PictureWeight(int x, std::mt19937& rng) {
    if (x < kWidth / 4) return 0;
    if (x >= kWidth / 2) return 16;
    return static_cast<BYTE>(1 + rng() % 15);
}

struct Scene {
    Scene(int bytesPerPixel, Plane plane) : bpp(bytesPerPixel) {
        std::mt19937 rng(42);
        const std::size_t bytes = static_cast<std::size_t>(kPixels) * bpp;
        for (auto* v : {&target, &picture, &shown}) {
            v->resize(bytes);
            for (auto& b : *v)
                b = static_cast<BYTE>(rng());
        }
        alpha.resize(kPixels);
        weights.resize(kPixels);
        for (int i = 0; i < kPixels; ++i) {
            const unsigned a = rng() % 256;
            alpha[i] = static_cast<WORD>(bpp == 2 && a == 255 ? 256 : a);
            weights[i] = static_cast<BYTE>(rng() % 17);
        }
        if (plane == Plane::Picture)
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; x += 16) {
                    const BYTE w = PictureWeight(x, rng);
                    std::memset(&weights[static_cast<std::size_t>(y) * kWidth + x], w, 16);
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

BlendFields FieldsOf(int bpp) {
    return bpp == 2 ? BlendFields{{0xF800, 11}, {0x07E0, 5}, {0x001F, 0}}
                    : BlendFields{{0xFF0000, 16}, {0x00FF00, 8}, {0x0000FF, 0}};
}

void AlphaBlendBench(benchmark::State& state, int bpp) {
    Scene s(bpp, Plane::Random);
    for (auto _ : state) {
        AlphaBlend(bpp, false, s.View(s.shown), s.View(s.picture), s.View(s.target), 0, 0, s.alpha.data(),
                   nullptr, kWidth, kHeight);
        benchmark::DoNotOptimize(s.shown.data());
        benchmark::ClobberMemory();
    }
}

void WeightBlendBench(benchmark::State& state, int bpp, Plane plane, platform::SimdLevel level) {
    Scene s(bpp, plane);
    const AtLevel at(level);
    for (auto _ : state) {
        WeightBlend(bpp, FieldsOf(bpp), s.View(s.shown), s.View(s.picture), s.View(s.target), 0, 0,
                    s.weights.data(), kWidth, kHeight);
        benchmark::DoNotOptimize(s.shown.data());
        benchmark::ClobberMemory();
    }
}

// The alpha blend's floor: target, picture and alpha words read, shown written.
void AlphaCopy(benchmark::State& state, int bpp) {
    Scene s(bpp, Plane::Random);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            vector_copy::Read(reinterpret_cast<const BYTE*>(s.alpha.data()), s.alpha.size() * sizeof(WORD)));
        vector_copy::Or2(s.shown.data(), s.target.data(), s.picture.data(), s.shown.size());
        benchmark::ClobberMemory();
    }
}

// The weight blend's floor on the "picture" plane: the weights read; shown written where a run of 16
// has weights above 0, from the picture alone where they are all 16, else from target and picture.
void WeightCopy(benchmark::State& state, int bpp) {
    Scene s(bpp, Plane::Picture);
    // Runs of one kind (0: transparent, 1: soft, 2: opaque) joined into spans, each moved by one call.
    auto kind = [&](std::size_t i) { return s.weights[i] == 0 ? 0 : s.weights[i] == 16 ? 2 : 1; };
    struct Span {
        std::size_t first, count;
        int kind;
    };
    std::vector<Span> spans;
    for (std::size_t i = 0; i < s.weights.size(); i += 16) {
        if (!spans.empty() && spans.back().kind == kind(i))
            spans.back().count += 16;
        else
            spans.push_back({i, 16, kind(i)});
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(vector_copy::Read(s.weights.data(), s.weights.size()));
        for (const Span& span : spans) {
            const std::size_t at = span.first * bpp, bytes = span.count * bpp;
            if (span.kind == 2)
                vector_copy::Copy(&s.shown[at], &s.picture[at], bytes);
            else if (span.kind == 1)
                vector_copy::Or2(&s.shown[at], &s.target[at], &s.picture[at], bytes);
        }
        benchmark::ClobberMemory();
    }
}

#ifdef QUORIN_HAVE_PIXMAN
// The weight blend's work in pixman's terms: the picture (x8r8g8b8 or r5g6b5) OVER the target through
// an a8 mask of weight x 16. The target is blended in place; its values do not change the work.
void PixmanMaskedBench(benchmark::State& state, int bpp, Plane plane) {
    Scene s(bpp, plane);
    const pixman_format_code_t format = bpp == 4 ? PIXMAN_x8r8g8b8 : PIXMAN_r5g6b5;
    std::vector<uint32_t> maskBits(kPixels / 4);
    auto* a8 = reinterpret_cast<BYTE*>(maskBits.data());
    for (int i = 0; i < kPixels; ++i)
        a8[i] = static_cast<BYTE>(s.weights[i] >= 16 ? 255 : s.weights[i] * 16);
    pixman_image_t* source = pixman_image_create_bits(
        format, kWidth, kHeight, reinterpret_cast<uint32_t*>(s.picture.data()), kWidth * bpp);
    pixman_image_t* mask = pixman_image_create_bits(PIXMAN_a8, kWidth, kHeight, maskBits.data(), kWidth);
    pixman_image_t* target = pixman_image_create_bits(
        format, kWidth, kHeight, reinterpret_cast<uint32_t*>(s.target.data()), kWidth * bpp);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, source, mask, target, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(source);
    pixman_image_unref(mask);
    pixman_image_unref(target);
}

// OVER of a premultiplied 32-bit picture with the plane as its alpha onto a 32-bit (a8r8g8b8) or 16-bit
// (r5g6b5) target: the peer the blends have always been held against.
void PixmanOverBench(benchmark::State& state, int bpp, Plane plane) {
    Scene s(bpp, plane);
    Scene src(4, plane);
    std::vector<uint32_t> argb(kPixels);
    for (int i = 0; i < kPixels; ++i) {
        const uint32_t a = plane == Plane::Picture ? (s.weights[i] >= 16 ? 255 : s.weights[i] * 16)
                                                   : (src.alpha[i] > 255 ? 255 : src.alpha[i]);
        uint32_t px;
        std::memcpy(&px, &src.picture[4 * static_cast<std::size_t>(i)], 4);
        const uint32_t r = ((px >> 16) & 0xFF) * a / 255, g = ((px >> 8) & 0xFF) * a / 255,
                       b = (px & 0xFF) * a / 255;
        argb[i] = (a << 24) | (r << 16) | (g << 8) | b;
    }
    pixman_image_t* source =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, argb.data(), kWidth * 4);
    pixman_image_t* target =
        pixman_image_create_bits(bpp == 4 ? PIXMAN_a8r8g8b8 : PIXMAN_r5g6b5, kWidth, kHeight,
                                 reinterpret_cast<uint32_t*>(s.target.data()), kWidth * bpp);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, source, nullptr, target, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(source);
    pixman_image_unref(target);
}
#endif

} // namespace

int main(int argc, char** argv) {
    const platform::SimdLevel own = platform::ProcessorSimdLevel();
    // The weight blend has no plain form of its own: its vector forms start at SSE2.
    const std::vector<platform::SimdLevel> levels = VectorLevels();
    for (int bpp : {4, 2}) {
        const std::string depth = std::to_string(bpp * 8);
        Register("alpha" + depth + "/random", AlphaBlendBench, bpp);
        Register("alpha" + depth + "/copy", AlphaCopy, bpp);
        for (const auto& [plane, planeName] :
             {std::pair{Plane::Random, "random"}, {Plane::Picture, "picture"}}) {
            const std::string base = "weight" + depth + "/" + planeName + "/";
            for (platform::SimdLevel level : levels)
                Register(base + LevelName(level), WeightBlendBench, bpp, plane, level);
#ifdef QUORIN_HAVE_PIXMAN
            Register(base + "pixman-masked", PixmanMaskedBench, bpp, plane);
            Register(base + "pixman-over", PixmanOverBench, bpp, plane);
#endif
        }
        Register("weight" + depth + "/picture/copy", WeightCopy, bpp);
    }
    RatioReporter reporter;
    RunInterleaved(argc, argv, reporter);
    reporter.PrintFastest();
    std::printf("\nProcessor level %s; the copy floor uses %s vectors.\n", platform::SimdLevelName(own),
                vector_copy::Width());
    std::printf("Ratios of the fastest of the repetitions (time / time; below 1 is faster):\n");
    for (const char* depth : {"32", "16"}) {
        const std::string alpha = std::string("alpha") + depth;
        reporter.PrintRatio(alpha + "/random", alpha + "/copy");
        for (const char* plane : {"/random/", "/picture/"}) {
            const std::string base = std::string("weight") + depth + plane;
            const double goal = depth[0] == '3' ? 1.0 : 0.0; // the 16-bit blend is shown for reference
            for (platform::SimdLevel level : levels) {
                reporter.PrintRatio(base + LevelName(level), base + "pixman-over", goal);
                reporter.PrintRatio(base + LevelName(level), base + "pixman-masked", goal);
                reporter.PrintRatio(base + LevelName(level), base + "copy");
            }
        }
    }
    benchmark::Shutdown();
    return 0;
}
