// What the whole-program tests share: a copy of the demo game of its own for each replay, the replay
// itself (quorin-replay on the headless display), and the shots it saves read back as pixels.
#pragma once

#include "tools/fixtures/TempDir.h"
#include "tools/mkdemo/DemoWriter.h"

#include <gtest/gtest.h>

#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace e2e {

inline const std::string kReplay = std::string(QUORIN_BINARY_DIR) + "/tools/replay/quorin-replay";

struct Png {
    int width = 0, height = 0;
    std::vector<png_byte> rgb;
    unsigned At(int x, int y) const {
        const png_byte* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
        return p[0] << 16u | p[1] << 8u | p[2];
    }
};

// Empty (width 0) when the file is missing or no PNG.
inline Png ReadPng(const std::string& path) {
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

// The program folder as the game's settings file spells it: backslashes, one at the end.
inline std::string GamePath(const std::string& folder) {
    std::string path = std::filesystem::absolute(folder).lexically_normal().string();
    for (char& c : path)
        if (c == '/') c = '\\';
    if (path.empty() || path.back() != '\\') path += '\\';
    return path;
}

// A copy of the game in `from` whose settings name the copy's own folders, so that its saves and its
// error log stay in the copy.
inline bool CopyGame(const std::string& from, const std::string& to) {
    std::error_code ec;
    std::filesystem::copy(from, to, std::filesystem::copy_options::recursive, ec);
    if (ec) return false;
    std::string ini = fixtures::ReadFileText(to + "/Quorin.ini");
    const std::string old = GamePath(from), now = GamePath(to);
    for (std::size_t at = ini.find(old); at != std::string::npos; at = ini.find(old, at + now.size()))
        ini.replace(at, old.size(), now);
    return fixtures::WriteFileText(to + "/Quorin.ini", ini);
}

// Runs quorin-replay; true when it played the timeline to its quit. What it printed goes to `log`.
inline bool RunReplay(const std::string& depth, const std::string& game, const std::string& timeline,
                      const std::string& out, const std::string& log = "/dev/null") {
    const std::string command =
        kReplay + " --depth " + depth + " " + game + " " + timeline + " " + out + " >" + log;
    return std::system(command.c_str()) == 0;
}

// A suite of replays of the demo game, written once for the suite into s_Dir->File("game").
template <typename Param> class DemoReplayTest : public ::testing::TestWithParam<Param> {
  protected:
    static void SetUpTestSuite() {
        s_Dir = new fixtures::TempDir;
        std::string error;
        ASSERT_TRUE(demo::WriteDemoGame(s_Dir->File("game"), &error)) << error;
    }
    static void TearDownTestSuite() {
        delete s_Dir;
        s_Dir = nullptr;
    }
    static inline fixtures::TempDir* s_Dir = nullptr;
};

} // namespace e2e
