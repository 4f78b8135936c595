// The compositor on a headless 32-bit display, with a graphic archive of solid, keyed and "AM"
// pictures, a rule-mask archive, the transition engine, a back buffer as the render target and the
// manual clock.
#pragma once

#include "app/ErrorReport.h"
#include "app/RunState.h"
#include "files/ArcFile.h"
#include "files/Config.h"
#include "graphics/DDrawSurface.h"
#include "graphics/Layer.h"
#include "graphics/Screen.h"
#include "graphics/Transition.h"
#include "graphics/UpdateRegion.h"
#include "platform/testing.h"
#include "platform/text_encoding.h"
#include "tools/fixtures/ArcWriter.h"
#include "tools/fixtures/PictureWriter.h"
#include "tools/fixtures/RuleMaskWriter.h"
#include "tools/fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace screen_test {
namespace pt = platform::testing;

inline constexpr DWORD kClockStart = 200000;
inline constexpr DWORD kBlue = 0x0000FF;
inline constexpr DWORD kRed = 0xFF0000;
inline constexpr DWORD kGreen = 0x00FF00;
inline constexpr DWORD kYellow = 0xFFFF00;
inline constexpr DWORD kMagenta = 0xFF00FF;
inline constexpr DWORD kWhite = 0xFFFFFF;
inline constexpr DWORD kGrey = 0x808080;

// A 24-bit BMP of one colour.
inline fixtures::Bytes SolidBmp(int w, int h, DWORD rgb) {
    fixtures::PictureDesc desc;
    desc.width = w;
    desc.height = h;
    desc.bitCount = 24;
    desc.pixels.assign(static_cast<std::size_t>(w) * h, rgb);
    return fixtures::WriteBmp(desc);
}

// A magenta picture (the key colour, from its top-left pixel) with a white square in its middle.
inline fixtures::Bytes KeyedBmp(int w, int h) {
    fixtures::PictureDesc desc;
    desc.width = w;
    desc.height = h;
    desc.bitCount = 24;
    desc.pixels.assign(static_cast<std::size_t>(w) * h, kMagenta);
    for (int y = h / 4; y < h * 3 / 4; ++y)
        for (int x = w / 4; x < w * 3 / 4; ++x)
            desc.pixels[static_cast<std::size_t>(y) * w + x] = kWhite;
    return fixtures::WriteBmp(desc);
}

// An "AM" picture of one colour whose alpha plane is `alpha` everywhere.
inline fixtures::Bytes SolidAm(int w, int h, DWORD rgb, BYTE alpha) {
    fixtures::PictureDesc desc;
    desc.width = w;
    desc.height = h;
    desc.bitCount = 24;
    desc.pixels.assign(static_cast<std::size_t>(w) * h, rgb);
    fixtures::AmOptions options;
    options.planeKind = 2;
    return fixtures::WriteAm(desc, fixtures::Bytes(static_cast<std::size_t>(w) * h, alpha), options);
}

class ScreenTest : public ::testing::Test {
  protected:
    void SetUp() override {
        pt::UseHeadlessDisplay(pt::DisplayFormat::Xrgb32);
        pt::SetSurfacePitch(8, 4);
        pt::UseManualClock(kClockStart);
        pt::UseFontFile(pt::kPinnedGothicFont);
        pt::PinLocalTime(2004, 3, 5, 9, 7, 3);
        ResetUpdateRegion();
        ResetRunState();
        ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
        SetDirectDraw(dd);
        g_pConfig = new CConfig;
        g_pConfig->SetSystemProgramPath(dir.ProgramPath().c_str());

        ASSERT_TRUE(fixtures::WriteArc(dir.File("graphic.arc"), {{"bg", SolidBmp(640, 480, kBlue)},
                                                                 {"bg2", SolidBmp(640, 480, kGreen)},
                                                                 {"red", SolidBmp(100, 80, kRed)},
                                                                 {"green", SolidBmp(200, 200, kGreen)},
                                                                 {"yellow", SolidBmp(100, 80, kYellow)},
                                                                 {"keyed", KeyedBmp(80, 80)},
                                                                 {"glass", SolidAm(120, 100, kRed, 128)}}));
        g_pGraphicArc = new CArcFile((dir.ProgramPath() + "graphic.arc").c_str());
        ASSERT_TRUE(g_pGraphicArc->IsArchiveMode());

        // Effect 4 wipes top to bottom; nothing else has a mask.
        ASSERT_TRUE(fixtures::WriteRuleMaskArc(
            dir.File("mask.arc"),
            {{"top_to_bottom", fixtures::RuleMaskShape(fixtures::RuleShape::TopToBottom, 640, 480)}}));
        g_pTransition = new CTransition;
        ASSERT_EQ(g_pTransition->Create((dir.ProgramPath() + "mask.arc").c_str()), 1);

        back = std::make_unique<CDDrawSurface>();
        ASSERT_TRUE(back->CreateEmpty(dd, SIZE{640, 480}));
        FillSurface(back->GetSurface(), 0x123456, nullptr);
        SetRenderTarget(back->GetSurface());
        baseSurfaces = pt::LiveSurfaceCount();
        g_pScreen = new CScreen;
    }

    void TearDown() override {
        delete g_pScreen;
        g_pScreen = nullptr;
        delete g_pTransition;
        g_pTransition = nullptr;
        delete g_pGraphicArc;
        g_pGraphicArc = nullptr;
        SetRenderTarget(nullptr);
        back.reset();
        DestroyConfig();
        SetDirectDraw(nullptr);
        if (dd) dd->Release();
        ResetUpdateRegion();
        ResetRunState();
        pt::UnpinLocalTime();
        pt::UseFontFile("");
        pt::UseRealClock();
    }

    // One frame as the game object runs it: update, draw into the back buffer, empty the region. The
    // region of the frame is kept in `region` (empty when nothing was pending).
    void Frame() {
        g_pScreen->Update();
        RECT rc;
        if (GetUpdateRect(&rc))
            region = rc;
        else
            SetRectEmpty(&region);
        g_pScreen->Draw(back->GetSurface());
        AddUpdateRect(nullptr);
    }
    // A frame in which the whole screen is drawn again, as after a repaint.
    void FullFrame() {
        AddUpdateRect(GetScreenRect());
        Frame();
    }
    void Advance(DWORD ms) { pt::AdvanceClock(ms); }
    // Frames every 20 ms until the compositor stops running (at most `limitMs`), then one more frame
    // so that the layers are drawn again.
    void RunToEnd(DWORD limitMs = 5000) {
        for (DWORD t = 0; g_pScreen->IsRunning() && t < limitMs; t += 20) {
            Advance(20);
            Frame();
        }
        Frame();
    }
    DWORD At(int x, int y) const { return pt::ReadSurfaceRgbAt(back->GetSurface(), x, y); }
    std::string Log() const { return fixtures::ReadFileText(dir.File("errmes.log")); }
    // Surfaces made since the set-up (layers, work surfaces, overlays).
    int ExtraSurfaces() const { return pt::LiveSurfaceCount() - baseSurfaces; }
    std::string ArtifactPath(const std::string& name) const {
        return std::string(QUORIN_BINARY_DIR) + "/" + name;
    }

    fixtures::TempDir dir;
    IDirectDraw* dd = nullptr;
    std::unique_ptr<CDDrawSurface> back;
    RECT region = {0, 0, 0, 0};
    int baseSurfaces = 0;
};

inline bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline std::string Describe(const RECT& r) {
    return "{" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) +
           ", " + std::to_string(r.bottom) + "}";
}
} // namespace screen_test
