// The transition tests: pictures of random pixels in the four formats with rows wider than their
// pixels, the blend a frame must show (from the pinned channel blend), and an engine over surfaces of
// the display fixture with "mask.arc" written from rule masks and steps at chosen clock times.
#pragma once

#include "graphics/Transition.h"
#include "graphics/TransitionTables.h"
#include "tests/graphics/DisplayFixture.h"
#include "tools/fixtures/RuleMaskWriter.h"

#include <array>
#include <random>

namespace transition_test {
using namespace graphics_test;
using transition::PixelArea;

inline const int kFormats[] = {15, 16, 24, 32};

struct Picture {
    int format = 32, width = 0, height = 0, pitch = 0;
    std::vector<BYTE> bytes;

    Picture() = default;
    Picture(int fmt, int w, int h, int extraPitch = 12)
        : format(fmt), width(w), height(h), pitch(w * Bpp() + extraPitch),
          bytes(static_cast<std::size_t>(pitch) * (h > 0 ? h : 1), 0) {}
    int Bpp() const { return transition::BytesPerPixel(format); }
    BYTE* At(int x, int y) { return bytes.data() + static_cast<std::size_t>(y) * pitch + x * Bpp(); }
    std::uint32_t Pixel(int x, int y) const {
        std::uint32_t v = 0;
        std::memcpy(&v, bytes.data() + static_cast<std::size_t>(y) * pitch + x * Bpp(), Bpp());
        return v;
    }
    void SetPixel(int x, int y, std::uint32_t v) { std::memcpy(At(x, y), &v, Bpp()); }
    // Random pixels; 15-bit pixels keep bit 15 clear as a 5-5-5 display writes them.
    void Randomise(std::uint32_t seed) {
        std::mt19937 rng(seed);
        for (auto& b : bytes)
            b = static_cast<BYTE>(rng());
        for (int y = 0; y < height && format == 15; ++y)
            for (int x = 0; x < width; ++x)
                SetPixel(x, y, Pixel(x, y) & 0x7FFF);
    }
    bool SamePixels(const Picture& o) const {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (Pixel(x, y) != o.Pixel(x, y)) return false;
        return true;
    }
};

// What a frame shows at `alpha` between a and b: the pinned channel blend (see the formula's own
// examples) on every colour field; byte 3 of 32-bit pixels is 0, or blended on the vector path.
inline std::uint32_t Blended(int format, std::uint32_t a, std::uint32_t b, int alpha, bool byte3 = false) {
    if (format < 24)
        return transition::BlendPixel16(static_cast<WORD>(a), static_cast<WORD>(b), alpha, format);
    std::uint32_t out = 0;
    for (int c = 0; c < (format == 32 && byte3 ? 4 : 3); ++c)
        out |= static_cast<std::uint32_t>(
                   transition::BlendChannel((a >> 8 * c) & 255, (b >> 8 * c) & 255, alpha))
               << 8 * c;
    return out;
}

// Whether a pixel of the vector path differs from the plain path's only as listed: byte 3 of 32-bit
// pixels, and a finished 24-bit pixel one short in each channel that rises from `before`.
inline bool SameButListed(int format, std::uint32_t vector, std::uint32_t plain, std::uint32_t before,
                          bool finished) {
    if (format != 24) return ((vector ^ plain) & (format == 32 ? 0xFFFFFF : ~0u)) == 0;
    for (int c = 0; c < 24; c += 8) {
        const int v = vector >> c & 255, p = plain >> c & 255, b = before >> c & 255;
        if (v != p && !(finished && p > b && v + 1 == p)) return false;
    }
    return true;
}

// The rectangle of the three pictures (draw may be before itself); the whole draw picture unless given.
inline PixelArea Area(const Picture& before, const Picture& after, Picture& draw, int w = -1, int h = -1) {
    return PixelArea{before.bytes.data(), before.pitch, after.bytes.data(),     after.pitch,
                     draw.bytes.data(),   draw.pitch,   w < 0 ? draw.width : w, h < 0 ? draw.height : h};
}

// Every pixel of every `step`-th row of the frame is want(x, y).
template <class Want> void ExpectFrame(const Picture& frame, Want want, int step = 1) {
    for (int y = 0; y < frame.height; y += step)
        for (int x = 0; x < frame.width; ++x)
            ASSERT_EQ(frame.Pixel(x, y), want(x, y)) << x << "," << y;
}

inline pt::DisplayFormat DisplayOf(int format) {
    return format == 15   ? pt::DisplayFormat::Rgb555
           : format == 16 ? pt::DisplayFormat::Rgb565
           : format == 24 ? pt::DisplayFormat::Rgb24
                          : pt::DisplayFormat::Xrgb32;
}

class EngineTest : public DisplayFixture {
  protected:
    // The display in `format`, before, after and draw surfaces of w x h with random pictures (the draw
    // surface holds the before picture, as the compositor leaves it), and the vector unit as chosen.
    void Use(int format, int w = 640, int h = 480, pt::SimdChoice simd = pt::SimdChoice::Detect) {
        UseDisplay(DisplayOf(format), 8, 12);
        pixelFormat = format;
        pt::ForceSimd(simd);
        m_Before = MakeSurface(w, h);
        m_After = MakeSurface(w, h);
        m_Draw = MakeSurface(w, h);
        before = Picture(format, w, h);
        after = Picture(format, w, h);
        before.Randomise(11);
        after.Randomise(12);
        Put(m_Before, before);
        Put(m_After, after);
        Put(m_Draw, before);
    }
    // Copies a picture into a surface of its size, or the surface back into the picture.
    static void Copy(IDirectDrawSurface* s, Picture& p, bool toSurface) {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof desc;
        ASSERT_EQ(s->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
        for (int y = 0; y < p.height; ++y) {
            BYTE* row = static_cast<BYTE*>(desc.lpSurface) + y * desc.lPitch;
            std::memcpy(toSurface ? row : p.At(0, y), toSurface ? p.At(0, y) : row, p.width * p.Bpp());
        }
        s->Unlock(nullptr);
    }
    static void Put(IDirectDrawSurface* s, Picture p) { Copy(s, p, true); }
    Picture Get(IDirectDrawSurface* s) const {
        Picture p(pixelFormat, before.width, before.height);
        Copy(s, p, false);
        return p;
    }
    Picture DrawPicture() const { return Get(m_Draw); }
    Picture BeforePicture() const { return Get(m_Before); }

    // An engine on "mask.arc" holding these masks (none unless given).
    std::unique_ptr<CTransition> MakeEngine(const std::vector<fixtures::ArcEntryData>& masks = {}) {
        EXPECT_TRUE(fixtures::WriteRuleMaskArc(dir.File("mask.arc"), masks));
        auto engine = std::make_unique<CTransition>();
        EXPECT_EQ(engine->Create((dir.ProgramPath() + "mask.arc").c_str()), 1);
        return engine;
    }
    // What the compositor passes for a change with a transition.
    TransitionParams Params(LONG effect) const {
        TransitionParams p{};
        p.effect = effect;
        p.before = m_Before;
        p.after = m_After;
        p.draw = effect == 2 ? nullptr : m_Draw;
        p.destWidth = p.imageWidth = 640;
        p.destHeight = p.imageHeight = 480;
        p.keySource = kKeyNone;
        for (int i = 0; i < 4 && effect >= 0 && effect < kEffectCount; ++i)
            p.timing[i] = EffectTimingTable[effect][i];
        p.timingMode = effect == 2 ? 0 : 1;
        p.source = RECT{0, 0, 640, 480};
        return p;
    }
    // Starts with the clock at the time StepAt counts from.
    int Start(CTransition& engine, const TransitionParams& p) const {
        pt::SetClock(clockBase);
        return engine.Start(&p);
    }
    // A new engine on these masks, started with `p`.
    std::unique_ptr<CTransition> Started(const TransitionParams& p,
                                         const std::vector<fixtures::ArcEntryData>& masks = {}) {
        auto engine = MakeEngine(masks);
        EXPECT_EQ(Start(*engine, p), 1) << p.effect;
        return engine;
    }
    // One step with the clock at `ms` after the start (or where it stands): what it returned and the
    // changed flag it left (-7 when untouched).
    using Result = std::array<int, 2>;
    static constexpr Result kWaiting{0, 0}, kDrawn{0, 1}, kEnded{1, 1}, kEndedUntouched{1, -7};
    Result Step(CTransition& engine, DWORD ms) {
        pt::SetClock(clockBase + ms);
        return StepNow(engine);
    }
    Result StepNow(CTransition& engine) {
        int changed = -7;
        const int done = engine.Step(&changed);
        return {done, changed};
    }
    int StepAt(CTransition& engine, DWORD ms) { return Step(engine, ms)[0]; }
    // Steps every `every` ms until the engine reports the end (at most `limit` ms); the time it ended.
    DWORD RunToEnd(CTransition& engine, DWORD every = 20, DWORD from = 0, DWORD limit = 10000) {
        DWORD t = from;
        while (t < limit && !StepAt(engine, t += every)) {
        }
        return t;
    }

    int pixelFormat = 32;
    // The tick of a start; near 2^32 the times of a transition run past the clock's wrap.
    DWORD clockBase = kClockStart;
    IDirectDrawSurface *m_Before = nullptr, *m_After = nullptr, *m_Draw = nullptr;
    Picture before, after;
};
} // namespace transition_test
