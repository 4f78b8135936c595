// The compositor on the display fixture's 32-bit display: a graphic archive of solid, keyed and "AM"
// pictures, a rule-mask archive, the transition engine, a back buffer as the render target, the pinned
// font and local time for the error report, and frames run on the manual clock.
#pragma once

#include "app/ErrorReport.h"
#include "files/Config.h"
#include "graphics/Layer.h"
#include "graphics/Screen.h"
#include "graphics/Transition.h"
#include "platform/text_encoding.h"
#include "tests/graphics/DisplayFixture.h"
#include "tools/fixtures/RuleMaskWriter.h"

#include <array>
#include <functional>

namespace screen_test {
using namespace graphics_test;

inline constexpr DWORD kBlue = 0x0000FF, kRed = 0xFF0000, kGreen = 0x00FF00, kYellow = 0xFFFF00;
inline constexpr DWORD kMagenta = 0xFF00FF, kWhite = 0xFFFFFF, kGrey = 0x808080;

class ScreenTest : public DisplayFixture {
  protected:
    void SetUp() override {
        UseDisplay(pt::DisplayFormat::Xrgb32, 8, 4);
        pt::UseFontFile(pt::kPinnedGothicFont);
        pt::PinLocalTime(2004, 3, 5, 9, 7, 3);
        g_pConfig = new CConfig;
        g_pConfig->SetSystemProgramPath(dir.ProgramPath().c_str());
        // Solid pictures; a magenta one (the key colour) with a white square in its middle; red glass.
        PictureDesc keyed = Solid(80, 80, kMagenta);
        for (int i = 0; i < 40 * 40; ++i)
            keyed.pixels[(20 + i / 40) * 80 + 20 + i % 40] = kWhite;
        const auto solid = [](int w, int h, DWORD rgb) { return fixtures::WriteBmp(Solid(w, h, rgb)); };
        UseArchive({{"bg", solid(640, 480, kBlue)},
                    {"bg2", solid(640, 480, kGreen)},
                    {"red", solid(100, 80, kRed)},
                    {"green", solid(200, 200, kGreen)},
                    {"yellow", solid(100, 80, kYellow)},
                    {"keyed", fixtures::WriteBmp(keyed)},
                    {"glass", fixtures::WriteAm(Solid(120, 100, kRed), Bytes(120 * 100, 128))}});
        // Effects 4 and 11 wipe top to bottom and bottom to top; nothing else has a mask.
        ASSERT_TRUE(fixtures::WriteRuleMaskArc(
            dir.File("mask.arc"),
            {{"top_to_bottom", fixtures::RuleMaskShape(fixtures::RuleShape::TopToBottom, 640, 480)},
             {"bottom_to_top", fixtures::RuleMaskShape(fixtures::RuleShape::BottomToTop, 640, 480)}}));
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
        SetRenderTarget(nullptr);
        back.reset();
        DestroyConfig();
        pt::UnpinLocalTime();
        pt::UseFontFile("");
        DisplayFixture::TearDown();
    }

    // One frame as the game object runs it, `ms` after the last: update, draw into the back buffer,
    // empty the region. The frame's region is kept in `region` (empty when nothing was pending).
    void Frame(DWORD ms = 0) {
        pt::AdvanceClock(ms);
        g_pScreen->Update();
        if (!GetUpdateRect(&region)) SetRectEmpty(&region);
        g_pScreen->Draw(back->GetSurface());
        AddUpdateRect(nullptr);
    }
    // The first frame of what just started, and one `ms` later.
    void Run(DWORD ms) {
        Frame();
        Frame(ms);
    }
    // A frame in which the whole screen is drawn again, as after a repaint.
    void FullFrame() {
        AddUpdateRect(GetScreenRect());
        Frame();
    }
    // Frames every 20 ms until the compositor stops running, then one more to draw the layers again.
    void RunToEnd() {
        for (DWORD t = 0; g_pScreen->IsRunning() && t < 5000; t += 20)
            Frame(20);
        Frame();
    }
    // Pixels of the back buffer: x, y and 0xRRGGBB.
    void ExpectAt(std::initializer_list<std::array<DWORD, 3>> pixels) const {
        for (const auto& p : pixels)
            EXPECT_EQ(At(static_cast<int>(p[0]), static_cast<int>(p[1])), p[2]) << p[0] << "," << p[1];
    }
    void Effects(int effect) {
        g_pScreen->SetEffectEnable(1);
        g_pScreen->SetEffect(effect);
    }
    DWORD At(int x, int y) const { return pt::ReadSurfaceRgbAt(back->GetSurface(), x, y); }
    std::string Log() const { return fixtures::ReadFileText(dir.File("errmes.log")); }
    bool Logged(const char* utf8) const {
        return Log().find(platform::Utf8ToSjis(utf8)) != std::string::npos;
    }
    std::string ArtifactPath(const std::string& name) const {
        return std::string(QUORIN_BINARY_DIR) + "/" + name;
    }

    std::unique_ptr<CDDrawSurface> back;
    RECT region = {0, 0, 0, 0};
};

inline bool SameRect(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != 0;
}

inline std::string Describe(const RECT& r) {
    return "{" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) +
           ", " + std::to_string(r.bottom) + "}";
}
} // namespace screen_test
