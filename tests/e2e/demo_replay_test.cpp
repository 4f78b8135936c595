// The whole program on the demo game through quorin-replay, at 32 and 16 bits: the logo, the title,
// the start, the first page of text, a click, the choice and where it leads, and back to the title
// through the bar and its question. Each checkpoint's PNG is checked by pixel samples against the pictures
// the demo drew.
#include "tools/fixtures/TempDir.h"
#include "tools/mkdemo/DemoWriter.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {
const std::string kReplay = std::string(QUORIN_BINARY_DIR) + "/tools/replay/quorin-replay";

// Logo, title, START, the first page and a click on it, then Enter until the choice (Enter does nothing
// more while the choices wait for the pointer); the first choice; the bar's title button and yes.
std::string Timeline() {
    std::string t = "3000 shot logo\n8000 shot title\n8100 click 90 110\n"
                    "15000 shot text\n15100 click 320 420\n16500 shot click\n";
    for (int ms = 16600; ms < 40000; ms += 1500)
        t += std::to_string(ms) + " key RETURN\n";
    return t + "40600 shot choice\n40700 click 300 175\n44000 shot chosen\n"
               "45000 move 590 10\n45100 click 590 10\n45500 click 258 305\n49000 shot back\n49100 quit\n";
}

struct Png {
    int width = 0, height = 0;
    std::vector<png_byte> rgb;
    // 0xRRGGBB at (x, y).
    unsigned At(int x, int y) const {
        const png_byte* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
        return p[0] << 16u | p[1] << 8u | p[2];
    }
};

Png ReadPng(const std::string& path) {
    Png out;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return out;
    image.format = PNG_FORMAT_RGB;
    out.rgb.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, out.rgb.data(), 0, nullptr)) {
        out.width = static_cast<int>(image.width);
        out.height = static_cast<int>(image.height);
    }
    return out;
}

bool Near(unsigned a, unsigned b, int tolerance) {
    for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) >
            tolerance)
            return false;
    return true;
}

} // namespace

class DemoReplay : public ::testing::TestWithParam<const char*> {
  protected:
    static void SetUpTestSuite() {
        s_Dir = new fixtures::TempDir;
        std::string error;
        for (const char* only : {"sg002", "sg017", "bg_hill", "bg_school", "bg_park"})
            ASSERT_TRUE(demo::WritePicturePreviews(s_Dir->File("pictures"), only, &error)) << error;
        ASSERT_TRUE(demo::WriteDemoGame(s_Dir->File("game"), &error)) << error;
        // The logo rather than the opening movie.
        std::string ini = fixtures::ReadFileText(s_Dir->File("game/Quorin.ini"));
        ini.replace(ini.find("MovieSwitch=1"), 13, "MovieSwitch=0");
        ASSERT_TRUE(fixtures::WriteFileText(s_Dir->File("game/Quorin.ini"), ini));
        ASSERT_TRUE(fixtures::WriteFileText(s_Dir->File("timeline.txt"), Timeline()));
    }
    static void TearDownTestSuite() {
        delete s_Dir;
        s_Dir = nullptr;
    }
    static Png Picture(const std::string& name) { return ReadPng(s_Dir->File("pictures/" + name + ".png")); }
    static fixtures::TempDir* s_Dir;
};
fixtures::TempDir* DemoReplay::s_Dir = nullptr;

TEST_P(DemoReplay, LogoTitleStartTextChoiceAndBackToTheTitle) {
    const std::string depth = GetParam();
    // PNGs under the build folder, to be looked at.
    const std::string out = std::string(QUORIN_BINARY_DIR) + "/e2e/demo-" + depth;
    const std::string command = kReplay + " --depth " + depth + " " + s_Dir->File("game") + " " +
                                s_Dir->File("timeline.txt") + " " + out + " >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const int tolerance = depth == "32" ? 0 : 8;
    const Png logo = Picture("sg002"), title = Picture("sg017"), hill = Picture("bg_hill"),
              school = Picture("bg_school"), park = Picture("bg_park");
    // Where a checkpoint shows a picture: points clear of the cursor, the labels and the window.
    struct Check {
        const char* shot;
        const Png* picture;
        std::vector<std::pair<int, int>> same; // the picture shows here
        std::vector<std::pair<int, int>> over; // something is drawn over it here
    };
    const std::vector<std::pair<int, int>> open{{320, 240}, {600, 200}, {200, 300}, {450, 60}};
    const Check checks[] = {
        {"logo", &logo, open, {}},
        {"title", &title, {{320, 240}, {600, 200}, {500, 400}, {450, 60}}, {}},
        {"text", &hill, {{320, 100}, {600, 200}, {200, 300}}, {{80, 392}, {300, 392}}},
        {"click", &hill, {{320, 100}, {600, 200}}, {{80, 392}, {80, 418}}},
        {"choice", &school, {{600, 300}, {250, 300}}, {{540, 165}, {540, 215}}},
        {"chosen", &park, {{320, 100}, {600, 200}}, {{80, 392}}},
        {"back", &title, {{320, 240}, {600, 200}, {500, 400}, {450, 60}}, {}},
    };
    for (const Check& c : checks) {
        SCOPED_TRACE(c.shot);
        const Png shot = ReadPng(out + "/" + c.shot + ".png");
        ASSERT_EQ(shot.width, 640);
        for (auto [x, y] : c.same)
            EXPECT_TRUE(Near(shot.At(x, y), c.picture->At(x, y), tolerance)) << x << "," << y;
        for (auto [x, y] : c.over)
            EXPECT_FALSE(Near(shot.At(x, y), c.picture->At(x, y), 16)) << x << "," << y;
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, DemoReplay, ::testing::Values("32", "16"),
                         [](const auto& info) { return std::string("Bits") + info.param; });
