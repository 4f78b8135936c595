// The message window on a headless display: a graphic archive with the window, icon and choice-box
// pictures, the two choice sounds, the settings, the compositor with a background, a back buffer, the
// manual clock and the pinned font. Test glyphs stand in for the face's own where a test needs to know
// every lit pixel.
#pragma once

#include "app/RunState.h"
#include "files/ArcFile.h"
#include "files/Config.h"
#include "graphics/Layer.h"
#include "graphics/Screen.h"
#include "graphics/UpdateRegion.h"
#include "platform/process.h"
#include "platform/testing.h"
#include "platform/text_encoding.h"
#include "sound/SoundManager.h"
#include "text/MessageWindow.h"
#include "tools/fixtures/ArcWriter.h"
#include "tools/fixtures/DisplayFormats.h"
#include "tools/fixtures/IniWriter.h"
#include "tools/fixtures/PictureWriter.h"
#include "tools/fixtures/TempDir.h"
#include "tools/fixtures/WaveWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace texttest {
namespace pt = platform::testing;

inline constexpr DWORD kClockStart = 500000;
inline constexpr DWORD kSe003Rate = 11025;
inline constexpr DWORD kSe004Rate = 16000;
inline constexpr DWORD kWindowBody = 0x183050;
inline constexpr DWORD kIconFrames[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
// "■" and "●": glyphs the tests draw themselves.
inline constexpr char32_t kSquare = 0x25A0;
inline constexpr char32_t kCircle = 0x25CF;

inline std::string S(const std::string& utf8) {
    return platform::Utf8ToSjis(utf8);
}
inline std::string Rep(const std::string& s, int n) {
    std::string out;
    while (n-- > 0)
        out += s;
    return out;
}

// A picture of width x height whose pixels come from `colour(x, y)`.
template <class F> fixtures::PictureDesc Picture(int w, int h, F colour) {
    fixtures::PictureDesc desc;
    desc.width = w;
    desc.height = h;
    desc.bitCount = 24;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            desc.pixels.push_back(colour(x, y));
    return desc;
}

// A glyph of a full-width cell (`cells` x `cells` blocks of 3x3 pixels): in each listed block (row,
// column) the first `lit` pixels of the block are lit, row by row.
struct Block {
    int row, column, lit;
};
inline void UseBlockGlyph(char32_t ch, int cells, std::initializer_list<Block> blocks) {
    const int w = 3 * cells;
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(w) * w, 0);
    for (const Block& b : blocks)
        for (int k = 0; k < b.lit; ++k)
            bits[static_cast<std::size_t>(3 * b.row + k / 3) * w + 3 * b.column + k % 3] = 1;
    pt::UseTestGlyph(ch, w, w, std::move(bits));
}

class TextTest : public ::testing::Test {
  protected:
    void TearDown() override { Stop(); }

    void Start(pt::DisplayFormat format = pt::DisplayFormat::Xrgb32, bool background = true) {
        pt::UseHeadlessDisplay(format);
        pt::SetSurfacePitch(8, 4);
        pt::UseManualClock(kClockStart);
        pt::UseFontFile(pt::kPinnedGothicFont);
        pt::UseSoundBackend(pt::SoundBackend::Headless);
        ResetUpdateRegion();
        ResetRunState();
        ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
        SetDirectDraw(dd);
        WriteGameFolder();
        std::remove(dir.File("errmes.log").c_str());
        std::string path = dir.Path();
        char* argv[] = {const_cast<char*>("quorin"), path.data(), nullptr};
        SetProgramArguments(2, argv);
        ASSERT_TRUE(CreateConfig());
        g_pConfig->SetTextSpeed(0);
        g_pGraphicArc = new CArcFile((dir.ProgramPath() + "graphic.arc").c_str());
        hwnd = CreateHeadlessWindow(DefWindowProcA);
        ASSERT_TRUE(CreateSoundManager(hwnd));
        back = std::make_unique<CDDrawSurface>();
        ASSERT_TRUE(back->CreateEmpty(dd, SIZE{640, 480}));
        SetRenderTarget(back->GetSurface());
        g_pScreen = new CScreen;
        if (background) {
            ASSERT_TRUE(g_pScreen->LoadLayer(0, "bg", 1, 0, 0, 0));
        }
        win = std::make_unique<CMessageWindow>(0);
        win->SetFamilyName(S("山田").c_str());
        win->SetGivenName(S("太郎").c_str());
        win->SetVisible(1);
    }

    void Stop() {
        win.reset();
        delete g_pScreen;
        g_pScreen = nullptr;
        SetRenderTarget(nullptr);
        back.reset();
        DestroySoundManager();
        if (hwnd) DestroyWindow(hwnd);
        hwnd = nullptr;
        delete g_pGraphicArc;
        g_pGraphicArc = nullptr;
        DestroyConfig();
        SetDirectDraw(nullptr);
        if (dd) dd->Release();
        dd = nullptr;
        pt::ClearTestGlyphs();
        pt::UseFontFile("");
        pt::UseSoundBackend(pt::SoundBackend::Automatic);
        pt::UseRealClock();
    }

    void WriteGameFolder() {
        const auto bg = Picture(640, 480, [](int x, int y) {
            return DWORD((x * 255 / 639) << 16 | (y * 200 / 479) << 8 | 0x60);
        });
        // The window: a body with a lighter border and keyed corners.
        const auto window = Picture(596, 136, [](int x, int y) -> DWORD {
            if ((x < 3 || x > 592) && (y < 3 || y > 132)) return 0xFF00FF;
            return (x < 2 || x > 593 || y < 2 || y > 133) ? 0x8090C0 : kWindowBody;
        });
        const auto icon =
            Picture(64, 16, [](int x, int y) { return x + y == 0 ? 0xFF00FF : kIconFrames[x / 16]; });
        // Choice boxes: bluish, and reddish when highlighted.
        const auto boxes = Picture(480, 80, [](int, int y) { return y < 40 ? 0x305070u : 0xC06030u; });
        fixtures::AmOptions alpha;
        alpha.planeKind = 2;
        ASSERT_TRUE(
            fixtures::WriteArc(dir.File("graphic.arc"),
                               {{"bg", fixtures::WriteBmp(bg)},
                                {"sg022", fixtures::WriteBmp(window)},
                                {"sg023", fixtures::WriteBmp(icon)},
                                {"sg024", fixtures::WriteAm(boxes, fixtures::Bytes(480 * 80, 230), alpha)}}));
        const auto tone = [](DWORD rate) {
            fixtures::WaveDesc desc;
            desc.rate = static_cast<int>(rate);
            desc.pcm = fixtures::MakePcm(static_cast<int>(rate / 10), 2, 16);
            return fixtures::WriteWave(desc);
        };
        ASSERT_TRUE(fixtures::WriteArc(dir.File("se.arc"),
                                       {{"Se003", tone(kSe003Rate)}, {"Se004", tone(kSe004Rate)}}));
        ASSERT_TRUE(
            fixtures::WriteFileText(dir.File("Quorin.ini"), fixtures::DefaultSettingsIni(dir.ProgramPath())));
    }

    // One frame as the game object draws it, the whole screen at once.
    void Frame() {
        win->FlushUpdate();
        g_pScreen->Update();
        AddUpdateRect(GetScreenRect());
        g_pScreen->Draw(back->GetSurface());
        win->Draw(back->GetSurface());
        AddUpdateRect(nullptr);
    }
    DWORD At(int x, int y) const { return pt::ReadSurfaceRgbAt(back->GetSurface(), x, y); }

    // Update every 50 ms until the window waits or is done.
    int RunPage() {
        int state = win->Update();
        for (int frame = 0; frame < 400 && (state == 2 || state == 3); ++frame) {
            pt::AdvanceClock(50);
            state = win->Update();
        }
        return state;
    }
    std::string Line(int line) const {
        const char* bytes = win->GetGridLine(line);
        return platform::SjisToUtf8(std::string(bytes, strnlen(bytes, CMessageWindow::kGridLineSize)));
    }
    std::size_t ShownBytes() const {
        std::size_t n = 0;
        for (int line = 0; line < CMessageWindow::kLines; ++line)
            n += strnlen(win->GetGridLine(line), CMessageWindow::kGridLineSize);
        return n;
    }
    std::string Log() const { return platform::SjisToUtf8(fixtures::ReadFileText(dir.File("errmes.log"))); }

    fixtures::TempDir dir;
    IDirectDraw* dd = nullptr;
    HWND hwnd = nullptr;
    std::unique_ptr<CDDrawSurface> back;
    std::unique_ptr<CMessageWindow> win;
};
} // namespace texttest
