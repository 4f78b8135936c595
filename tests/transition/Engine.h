// An engine over headless surfaces for the transition tests: the display in one of the four formats,
// before, after and draw surfaces of any size, pictures put into and read back from them, "mask.arc"
// written from rule masks, and the manual clock.
#pragma once

#include "graphics/DDrawSurface.h"
#include "graphics/Transition.h"
#include "graphics/TransitionTables.h"
#include "platform/testing.h"
#include "tests/transition/Pictures.h"
#include "tools/fixtures/RuleMaskWriter.h"
#include "tools/fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace transition_test {
namespace pt = platform::testing;

inline constexpr DWORD kClockStart = 50000;

inline pt::DisplayFormat DisplayOf(int format) {
    switch (format) {
    case 15:
        return pt::DisplayFormat::Rgb555;
    case 16:
        return pt::DisplayFormat::Rgb565;
    case 24:
        return pt::DisplayFormat::Rgb24;
    default:
        return pt::DisplayFormat::Xrgb32;
    }
}

// Copies a picture into a surface of the same size, row by row through a lock.
inline void Put(IDirectDrawSurface* surface, const Picture& picture) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(static_cast<BYTE*>(desc.lpSurface) + static_cast<std::ptrdiff_t>(y) * desc.lPitch,
                    picture.At(0, y), static_cast<std::size_t>(picture.width * picture.Bpp()));
    surface->Unlock(nullptr);
}

inline Picture Get(IDirectDrawSurface* surface, int format) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    Picture picture(format, 0, 0, 0);
    if (surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK) return picture;
    picture = Picture(format, static_cast<int>(desc.dwWidth), static_cast<int>(desc.dwHeight), 0);
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(picture.At(0, y),
                    static_cast<const BYTE*>(desc.lpSurface) + static_cast<std::ptrdiff_t>(y) * desc.lPitch,
                    static_cast<std::size_t>(picture.width * picture.Bpp()));
    surface->Unlock(nullptr);
    return picture;
}

class EngineTest : public ::testing::Test {
  protected:
    // The display in `format`, before, after and draw surfaces of w x h with random pictures (the draw
    // surface holds the before picture, as the compositor leaves it), and the manual clock.
    void Use(int format, int w = 640, int h = 480, pt::SimdChoice simd = pt::SimdChoice::Detect) {
        ReleaseSurfaces();
        m_Format = format;
        pt::UseHeadlessDisplay(DisplayOf(format));
        pt::SetSurfacePitch(8, 12); // rows wider than the picture
        pt::UseManualClock(kClockStart);
        pt::ForceSimd(simd);
        ASSERT_EQ(DirectDrawCreate(nullptr, &m_DD, nullptr), DD_OK);
        m_Before = CreateOffscreenSurface(m_DD, SIZE{w, h});
        m_After = CreateOffscreenSurface(m_DD, SIZE{w, h});
        m_Draw = CreateOffscreenSurface(m_DD, SIZE{w, h});
        ASSERT_TRUE(m_Before && m_After && m_Draw);
        before = Picture(format, w, h);
        after = Picture(format, w, h);
        before.Randomise(11);
        after.Randomise(12);
        Put(m_Before, before);
        Put(m_After, after);
        Put(m_Draw, before);
    }
    void TearDown() override {
        ReleaseSurfaces();
        pt::ForceSimd(pt::SimdChoice::Detect);
        pt::UseRealClock();
    }
    void ReleaseSurfaces() {
        for (IDirectDrawSurface** s : {&m_Before, &m_After, &m_Draw})
            if (*s) {
                (*s)->Release();
                *s = nullptr;
            }
        if (m_DD) {
            m_DD->Release();
            m_DD = nullptr;
        }
    }

    // "mask.arc" holding the given entries; the path to hand to Create.
    std::string WriteMasks(const std::vector<fixtures::ArcEntryData>& masks) {
        EXPECT_TRUE(fixtures::WriteRuleMaskArc(m_Dir.File("mask.arc"), masks));
        return m_Dir.ProgramPath() + "mask.arc";
    }
    // An engine on a mask archive (with no masks unless given), vector path as the test switch says.
    std::unique_ptr<CTransition> MakeEngine(const std::vector<fixtures::ArcEntryData>& masks = {}) {
        auto engine = std::make_unique<CTransition>();
        EXPECT_EQ(engine->Create(WriteMasks(masks).c_str()), 1);
        return engine;
    }

    // What the compositor passes for a change with a transition.
    TransitionParams Params(LONG effect) const {
        TransitionParams p{};
        p.effect = effect;
        p.before = m_Before;
        p.after = m_After;
        p.draw = effect == 2 ? nullptr : m_Draw;
        p.destWidth = 640;
        p.destHeight = 480;
        p.imageWidth = 640;
        p.imageHeight = 480;
        p.keySource = kKeyNone;
        p.color = 0;
        if (effect >= 0 && effect < kEffectCount)
            for (int i = 0; i < 4; ++i)
                p.timing[i] = EffectTimingTable[effect][i];
        p.timingMode = effect == 2 ? 0 : 1;
        p.source = RECT{0, 0, 640, 480};
        return p;
    }

    // One step with the clock at `ms` after the start.
    int StepAt(CTransition& engine, DWORD ms, int* changed = nullptr) {
        pt::SetClock(kClockStart + ms);
        int flag = changed ? *changed : -7;
        const int done = engine.Step(&flag);
        if (changed) *changed = flag;
        return done;
    }

    Picture DrawPicture() const { return Get(m_Draw, m_Format); }
    Picture BeforePicture() const { return Get(m_Before, m_Format); }

    int m_Format = 32;
    IDirectDraw* m_DD = nullptr;
    IDirectDrawSurface* m_Before = nullptr;
    IDirectDrawSurface* m_After = nullptr;
    IDirectDrawSurface* m_Draw = nullptr;
    Picture before, after;
    fixtures::TempDir m_Dir;
};
} // namespace transition_test
