// Glyph pixels: the 3x3 coverage and its blend at every depth, the shadow, the colour sets, clipping,
// and a whole page written as a picture for a person to look at.
#include "TextFixture.h"

#include <filesystem>

namespace texttest {
namespace {
class GlyphTest : public TextTest, public ::testing::WithParamInterface<pt::DisplayFormat> {
  protected:
    DWORD RawOf(IDirectDrawSurface* surface, int x, int y) const {
        const DWORD v = pt::ReadSurfaceRaw(surface, x, y);
        return fixtures::DisplayBits(GetParam()) == 32 ? v & 0xFFFFFF : v;
    }
    DWORD Pixel(DWORD rgb) const { return fixtures::DisplayPixel(GetParam(), rgb); }
};

// A pixel of the target picture or of the screen: raw565 and raw555, when not 0, are the exact raw
// pixels at 16 bits; otherwise the display's value of rgb.
struct Probe {
    const char* name;
    bool screen;
    int x, y;
    DWORD rgb, raw565 = 0, raw555 = 0;
};

// Without a background layer the colours take the display's own format (5-5-5 white is 0x7FFF).
TEST_P(GlyphTest, CoverageBlendShadowAndColourSets) {
    Start(GetParam(), false);
    UseBlockGlyph(kSquare, 20, {{0, 0, 9}, {0, 1, 3}, {0, 19, 9}, {19, 0, 9}});
    CMessageWindow text(1);
    CLayer* under = CreateLayerObject(0);
    CLayer* target = CreateLayerObject(0);
    under->CreateBlank(SIZE{120, 40}, 0);
    target->CreateBlank(SIZE{80, 40}, 0);
    under->Fill(Pixel(0x909090), nullptr);
    target->Fill(Pixel(0x2040C0), nullptr);
    text.DrawString(S("■■").c_str(), under, 5, 3, target, 10, 8);
    text.DrawString(S("■").c_str(), under, 5, 3, target, 70, 8);

    g_pConfig->SetTextSpeed(1);
    win->SetTextColor(255, 0, 0, 0);
    win->SetNameColor(0, 255, 0, 0);
    win->SetSpeakerName(S("■").c_str());
    win->SetText(S("■").c_str());
    win->Update();
    Frame();
    const Probe probes[] = {
        {"full cell takes the colour", false, 10, 8, 0xFFFFFF, 0xFFFF, 0x7FFF},
        {"three of nine over grey", false, 11, 8, 0xB5B5B5, 0xB5B6, 0x5AD6},
        {"empty cell keeps the target", false, 12, 8, 0x2040C0},
        {"last column of the cell", false, 29, 8, 0xFFFFFF},
        {"last row of the cell", false, 10, 27, 0xFFFFFF},
        {"second glyph one advance on", false, 30, 8, 0xFFFFFF},
        {"second glyph's partial cell", false, 31, 8, 0xB5B5B5, 0xB5B6, 0x5AD6},
        {"glyph cut at the right edge", false, 79, 8, 0x2040C0},
        {"text colour", true, 46, 382, 0xFF0000},
        {"text shadow at +2,+2", true, 48, 384, 0x080808},
        {"no glyph, no shadow", true, 47, 383, kWindowBody},
        {"name colour, centred", true, 104, 344, 0x00FF00},
        {"name shadow at +2,+2", true, 106, 346, 0x080808},
    };
    for (const Probe& p : probes) {
        SCOPED_TRACE(p.name);
        DWORD expect = Pixel(p.rgb);
        if (GetParam() == pt::DisplayFormat::Rgb565 && p.raw565) expect = p.raw565;
        if (GetParam() == pt::DisplayFormat::Rgb555 && p.raw555) expect = p.raw555;
        EXPECT_EQ(RawOf(p.screen ? back->GetSurface() : target->GetSurface(), p.x, p.y), expect);
    }
    // Cells beyond the right edge never reach the next row.
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(RawOf(target->GetSurface(), x, 9), Pixel(0x2040C0)) << x;
    DeleteLayerObject(under);
    DeleteLayerObject(target);
}

// A glyph laid out far right of the text picture at the largest size, and a choice wider than its
// box, touch nothing outside their pictures.
TEST_F(TextTest, LargeGlyphsAndLongChoicesStayInside) {
    Start();
    pt::UseTestGlyph(kCircle, 168, 168, std::vector<std::uint8_t>(168 * 168, 1));
    g_pConfig->SetTextSpeed(1);
    win->SetFontSize(4);
    win->SetText((Rep(" ", 26) + S("●")).c_str());
    win->Update();
    ASSERT_TRUE(win->AddChoice(S(Rep("●", 30)).c_str(), 1));
    ASSERT_TRUE(win->ShowChoices());
    Frame();
    EXPECT_EQ(At(246, 402), kWindowBody) << "nothing wrapped onto the next rows";
    // The choice text blends over the box picture: past the box's right edge nothing is drawn.
    EXPECT_EQ(At(560, 170), 0xFFFFFFu);
    EXPECT_NE(At(570, 170), 0xFFFFFFu);
}

// The page as a player sees it, in the pinned font: look at build/text/page_*.png.
TEST_P(GlyphTest, PageWithNameShadowAndChoices) {
    Start(GetParam());
    g_pConfig->SetTextSpeed(1);
    win->SetNameColor(255, 220, 120, 0);
    win->SetSpeakerName(S("彩花").c_str());
    // Each text once the one before has been shown, as the scene hands them over.
    for (const char* text :
         {"「#sn君、今日はいい天気ですね。川沿いを歩いて",
          "駅前の喫茶店まで行ってみませんか？　桜が見頃です。", "どこへ行くか、あなたが決めてください」"}) {
        win->SetText(S(text).c_str());
        EXPECT_EQ(win->Update(), CMessageWindow::kStateIdle);
    }
    for (const char* choice : {"公園へ行く", "家で休む", "駅前の喫茶店に寄る"})
        ASSERT_TRUE(win->AddChoice(S(choice).c_str(), 0));
    ASSERT_TRUE(win->ShowChoices());
    win->OnMouseMove(150, 220);
    Frame();
    const std::string dirName = std::string(QUORIN_BINARY_DIR) + "/text";
    std::filesystem::create_directories(dirName);
    EXPECT_TRUE(pt::SaveSurfacePng(back->GetSurface(),
                                   dirName + "/page_" + fixtures::DisplayFormatName(GetParam()) + ".png"));

    const auto count = [&](RECT r, DWORD rgb) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                n += RawOf(back->GetSurface(), x, y) == Pixel(rgb);
        return n;
    };
    EXPECT_GT(count({46, 382, 590, 462}, 0xFFFFFF), 1000) << "text";
    EXPECT_GT(count({46, 382, 590, 462}, 0x080808), 500) << "shadow";
    EXPECT_GT(count({54, 344, 174, 370}, 0xFFDC78), 50) << "name";
    EXPECT_GT(count({100, 216, 500, 242}, 0xFFFFFF), 100) << "hovered choice";
    const DWORD normal = At(90, 160), lit = At(90, 210);
    EXPECT_GT(lit >> 16, lit & 0xFF) << "hovered box highlighted";
    EXPECT_LT(normal >> 16, normal & 0xFF) << "other boxes normal";
}
INSTANTIATE_TEST_SUITE_P(Formats, GlyphTest, ::testing::ValuesIn(fixtures::kDisplayFormats),
                         [](const auto& info) { return fixtures::DisplayFormatName(info.param); });
} // namespace
} // namespace texttest
