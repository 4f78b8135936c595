// The compositor's per-change and per-frame costs and the glyph path of the message window, each
// beside a peer in the same run: Compose (pre-blending two "AM" layers) against drawing the whole
// frame, and TextOutA of one cached glyph against FreeType rendering the same glyph afresh. Each figure
// is the fastest of five or more interleaved repetitions.
#include "bench/RatioReporter.h"
#include "app/RunState.h"
#include "files/ArcFile.h"
#include "graphics/DDrawSurface.h"
#include "graphics/Layer.h"
#include "graphics/Screen.h"
#include "graphics/UpdateRegion.h"
#include "platform/gdi_font.h"
#include "platform/testing.h"
#include "platform/text_encoding.h"
#include "tools/fixtures/ArcWriter.h"
#include "tools/fixtures/PictureWriter.h"
#include "tools/fixtures/TempDir.h"

#include <benchmark/benchmark.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace pt = platform::testing;

namespace {
fixtures::Bytes Picture(int w, int h, bool am) {
    fixtures::PictureDesc desc = fixtures::MakeTestPicture(w, h, 24, static_cast<std::uint32_t>(w + h));
    if (!am) return fixtures::WriteBmp(desc);
    fixtures::Bytes plane(static_cast<std::size_t>(w) * h);
    for (std::size_t i = 0; i < plane.size(); ++i)
        plane[i] = static_cast<BYTE>(i * 7);
    return fixtures::WriteAm(desc, plane, fixtures::AmOptions{});
}

// A 32-bit headless display with a compositor holding a background, a plain picture and two "AM"
// pictures, and a back buffer.
struct Stage {
    Stage() {
        pt::UseHeadlessDisplay(pt::DisplayFormat::Xrgb32);
        pt::UseFontFile(pt::kPinnedGothicFont);
        DirectDrawCreate(nullptr, &dd, nullptr);
        SetDirectDraw(dd);
        fixtures::WriteArc(dir.File("graphic.arc"), {{"bg", Picture(640, 480, false)},
                                                     {"plain", Picture(300, 200, false)},
                                                     {"am1", Picture(320, 400, true)},
                                                     {"am2", Picture(200, 300, true)}});
        g_pGraphicArc = new CArcFile((dir.ProgramPath() + "graphic.arc").c_str());
        back.CreateEmpty(dd, SIZE{640, 480});
        SetRenderTarget(back.GetSurface());
        g_pScreen = new CScreen;
        g_pScreen->LoadLayer(0, "bg", 1, 0, 0, 0);
        g_pScreen->LoadLayer(1, "plain", 1, 20, 30, 0);
        g_pScreen->LoadLayer(4, "am1", 1, 100, 40, 0);
        g_pScreen->LoadLayer(5, "am2", 1, 400, 100, 0);
    }
    ~Stage() {
        delete g_pScreen;
        g_pScreen = nullptr;
        delete g_pGraphicArc;
        g_pGraphicArc = nullptr;
        SetRenderTarget(nullptr);
        back.Release();
        SetDirectDraw(nullptr);
        dd->Release();
        pt::UseFontFile("");
    }
    fixtures::TempDir dir;
    IDirectDraw* dd = nullptr;
    CDDrawSurface back;
};

Stage& TheStage() {
    static Stage stage;
    return stage;
}

void Compose(benchmark::State& state) {
    TheStage();
    for (auto _ : state)
        g_pScreen->Compose();
}

void DrawFrame(benchmark::State& state) {
    Stage& s = TheStage();
    for (auto _ : state) {
        AddUpdateRect(GetScreenRect());
        g_pScreen->Draw(s.back.GetSurface());
        AddUpdateRect(nullptr);
    }
}

// The message window's glyph step at its default size: a 60x60 work picture cleared, one full-width
// character drawn in white with a transparent background.
void TextOutGlyph(benchmark::State& state) {
    Stage& s = TheStage();
    CDDrawSurface work;
    work.CreateEmpty(s.dd, SIZE{60, 60});
    HFONT font = CreateFontA(60, 30, 0, 0, FW_DONTCARE, 0, 0, 0, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FIXED_PITCH, nullptr);
    const std::string ch = platform::Utf8ToSjis("漢");
    for (auto _ : state) {
        FillSurface(work.GetSurface(), 0, nullptr);
        HDC dc = nullptr;
        work.GetSurface()->GetDC(&dc);
        HGDIOBJ old = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, 0xFFFFFF);
        TextOutA(dc, 0, 0, ch.c_str(), 2);
        SelectObject(dc, old);
        work.GetSurface()->ReleaseDC(dc);
    }
    DeleteObject(font);
}

// The peer: FreeType rasterising the same glyph at the same size on every call.
void FreeTypeRender(benchmark::State& state) {
    FT_Library lib;
    FT_Init_FreeType(&lib);
    FT_Face face;
    FT_New_Face(lib, pt::kPinnedGothicFont, 0, &face);
    FT_Set_Pixel_Sizes(face, 60, 56);
    for (auto _ : state) {
        FT_Load_Char(face, U'漢', FT_LOAD_TARGET_MONO);
        FT_Render_Glyph(face->glyph, FT_RENDER_MODE_MONO);
        benchmark::DoNotOptimize(face->glyph->bitmap.buffer);
    }
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
}

} // namespace

BENCHMARK(Compose)->Unit(benchmark::kMicrosecond);
BENCHMARK(DrawFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(TextOutGlyph)->Unit(benchmark::kMicrosecond);
BENCHMARK(FreeTypeRender)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    RatioReporter reporter;
    RunInterleaved(argc, argv, reporter);
    reporter.PrintFastest();
    std::printf("\nTime ratios of the fastest of the repetitions (below 1 is faster than the peer):\n");
    reporter.PrintRatio("Compose", "DrawFrame");
    reporter.PrintRatio("TextOutGlyph", "FreeTypeRender");
    benchmark::Shutdown();
    return 0;
}
