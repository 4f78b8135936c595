// A whole page of the message window (three lines of full-width text at the default size, with the
// shadow and a speaker name) at 32 and 16 bits, beside its peer: FreeType rendering the same characters
// anti-aliased at the final size into a grey buffer. Each figure is the fastest of interleaved
// repetitions.
#include "bench/RatioReporter.h"
#include "app/RunState.h"
#include "files/ArcFile.h"
#include "graphics/Screen.h"
#include "platform/testing.h"
#include "platform/text_encoding.h"
#include "text/MessageWindow.h"
#include "tools/fixtures/ArcWriter.h"
#include "tools/fixtures/PictureWriter.h"
#include "tools/fixtures/TempDir.h"

#include <benchmark/benchmark.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace pt = platform::testing;

namespace {
const char* const kName = "彩花";
const char* const kLines[3] = {
    "今日はいい天気ですね。川沿いの道を歩いて駅前の喫茶店",
    "まで行ってみませんか。桜がもう見頃だと朝のニュースで",
    "言っていました。どこへ行くかはあなたが決めてください",
};

// A headless display of one depth with the compositor and a game-scene message window on it.
struct Stage {
    explicit Stage(pt::DisplayFormat format) {
        pt::UseHeadlessDisplay(format);
        pt::UseFontFile(pt::kPinnedGothicFont);
        DirectDrawCreate(nullptr, &dd, nullptr);
        SetDirectDraw(dd);
        fixtures::WriteArc(dir.File("graphic.arc"), {{"bg", fixtures::WriteSolidBmp(640, 480, 0x406080)},
                                                     {"sg022", fixtures::WriteSolidBmp(596, 136, 0x183050)},
                                                     {"sg023", fixtures::WriteSolidBmp(64, 16, 0xFFFFFF)}});
        g_pGraphicArc = new CArcFile((dir.ProgramPath() + "graphic.arc").c_str());
        g_pScreen = new CScreen;
        g_pScreen->LoadLayer(0, "bg", 1, 0, 0, 0);
        window = std::make_unique<CMessageWindow>(0);
        window->SetVisible(1);
        // The whole page in one Update, as while skipping.
        SetSkipMode(1);
        name = platform::Utf8ToSjis(kName);
        for (const char* line : kLines)
            lines.push_back(platform::Utf8ToSjis(line));
    }
    ~Stage() {
        window.reset();
        delete g_pScreen;
        g_pScreen = nullptr;
        delete g_pGraphicArc;
        g_pGraphicArc = nullptr;
        SetSkipMode(0);
        SetDirectDraw(nullptr);
        dd->Release();
        pt::UseFontFile("");
    }
    fixtures::TempDir dir;
    IDirectDraw* dd = nullptr;
    std::unique_ptr<CMessageWindow> window;
    std::string name;
    std::vector<std::string> lines;
};

void Page(benchmark::State& state, pt::DisplayFormat format) {
    Stage stage(format);
    for (auto _ : state) {
        stage.window->ClearPage();
        stage.window->SetSpeakerName(stage.name.c_str());
        for (const std::string& line : stage.lines) {
            stage.window->SetText(line.c_str());
            stage.window->Update();
        }
    }
    // A page that did not fit would have been cut short by the error report.
    if (IsErrorStop()) state.SkipWithError("the page did not fit in three lines");
    state.SetItemsProcessed(state.iterations() * 80);
}

// The peer: the same 80 characters rendered afresh by FreeType at 20 pixels, anti-aliased, and put at
// their pen positions in a grey buffer the size of the text picture.
void FreeTypePage(benchmark::State& state) {
    FT_Library lib;
    FT_Init_FreeType(&lib);
    FT_Face face;
    FT_New_Face(lib, pt::kPinnedGothicFont, 0, &face);
    FT_Set_Pixel_Sizes(face, 20, 20);
    std::vector<std::u32string> rows = {platform::SjisToUtf32(platform::Utf8ToSjis(kName))};
    for (const char* line : kLines)
        rows.push_back(platform::SjisToUtf32(platform::Utf8ToSjis(line)));
    constexpr int kWidth = 544, kHeight = 110, kLineHeight = 26, kAscent = 17;
    std::vector<unsigned char> grey(kWidth * kHeight);
    for (auto _ : state) {
        std::fill(grey.begin(), grey.end(), 0);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            int pen = 0;
            const int baseline = static_cast<int>(r) * kLineHeight + kAscent;
            for (char32_t ch : rows[r]) {
                FT_Load_Char(face, ch, FT_LOAD_RENDER);
                const FT_Bitmap& bm = face->glyph->bitmap;
                const int left = pen + face->glyph->bitmap_left, top = baseline - face->glyph->bitmap_top;
                for (int y = std::max(0, -top); y < static_cast<int>(bm.rows) && top + y < kHeight; ++y)
                    for (int x = std::max(0, -left); x < static_cast<int>(bm.width) && left + x < kWidth; ++x)
                        grey[(top + y) * kWidth + left + x] = bm.buffer[y * bm.pitch + x];
                pen += 20;
            }
        }
        benchmark::DoNotOptimize(grey.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 80);
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
}

double Fastest(const std::vector<double>& v) {
    return v.empty() ? 0.0 : *std::min_element(v.begin(), v.end());
}

template <class... Args> void Register(const char* name, Args&&... args) {
    benchmark::RegisterBenchmark(name, std::forward<Args>(args)...)
        ->Unit(benchmark::kMicrosecond)
        ->Repetitions(5)
        ->ComputeStatistics("min", Fastest);
}
} // namespace

int main(int argc, char** argv) {
    Register("Page32", Page, pt::DisplayFormat::Xrgb32);
    Register("Page16", Page, pt::DisplayFormat::Rgb565);
    Register("FreeTypePage", FreeTypePage);
    std::vector<char*> args(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nTime ratios (below 1 is faster than the peer):\n");
    reporter.PrintRatio("Page32/repeats:5", "FreeTypePage/repeats:5");
    reporter.PrintRatio("Page16/repeats:5", "FreeTypePage/repeats:5");
    benchmark::Shutdown();
    return 0;
}
