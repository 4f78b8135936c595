// A headless game scene: the compositor on a 32-bit display with a graphic archive, the sound
// manager with its archives on the headless mixer, the save data, and the manual clock. Scripts
// are assembled in the test and run frame by frame as the game object runs the scene.
#pragma once

#include "ScriptTestSupport.h"

#include "graphics/DDrawSurface.h"

namespace scene_test {
inline constexpr DWORD kBlue = 0x0000FF, kGreen = 0x00FF00, kWhite = 0xFFFFFF, kMagenta = 0xFF00FF;
inline constexpr DWORD kClockStart = 500000;
// Sample rates of the test sounds: each plays in a buffer of its own rate.
inline constexpr DWORD kBgm01 = 22050, kBgm02 = 24000, kRain = 11025;
inline constexpr DWORD kVoice1 = 32000, kVoiceAo7 = 16000, kSecretVoice = 20000;

// The tables every scenario shares: backgrounds on layer 0, the keyed 200x300 "chara" on layer 1
// at (220, 100) (white in its middle, magenta around it), graphics on layers outside 0-9, sounds;
// and a 16-byte buffer at the start of the data blob.
inline constexpr char kTables[] = R"(
.graphic bg, "bg.bmp", 0, 0, 0, nokey
.graphic bg2, "bg2", 0, 0, 0, nokey
.graphic chara, "chara.bmp", 1, 220, 100, key
.graphic chara2, "chara", 1, 0, 0, key
.graphic blank, "none", 4, 0, 0, nokey
.graphic far, "chara", 12, 0, 0, key
.graphic below, "chara", -1, 0, 0, key
.sound bgm01, "bgm01.wav", bgm
.sound bgm02, "bgm02.wav", bgm
.sound rain, "rain.wav", se
.data
buf: .zero 16
bufcell: .ptr buf
)";

// Names a parameterised test by its row's name: letters and digits kept, anything else '_'.
struct RowNamer {
    template <class Info> std::string operator()(const Info& info) const {
        std::string name = info.param.name;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    }
};

class SceneTest : public ScriptTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Assembles the tables and the text and loads them in a fresh scene.
    void Play(const std::string& source) { ASSERT_EQ(Load(std::string(kTables) + source), 1); }
    // Block "main" of the commands (one a line), then r13 := 1 and an unknown command to stop at.
    void PlayMain(const std::string& commands) {
        Play(".block main\n" + commands + "\n mov r13, #1\n host 99, 0\n");
    }
    // Frames `ms` apart until the script has set r13; the frames it took (`limit` when it did not).
    int RunUntilR13(int limit = 60, DWORD ms = 50) {
        int frames = 0;
        for (; frames < limit && scene->GetRegister(13) == 0; ++frames)
            Frame(ms);
        return frames;
    }
    // Advances the clock by `ms`, then one frame as the game object runs it: the scene, the sound
    // manager, the compositor, the flush of every dirty rectangle and the drawing.
    void Frame(DWORD ms = 0);
    void Frames(int count, DWORD ms = 0) {
        for (int i = 0; i < count; ++i)
            Frame(ms);
    }
    DWORD At(int x, int y) const { return platform::testing::ReadSurfaceRgbAt(back->GetSurface(), x, y); }
    // Saves the back buffer as a PNG in the build folder.
    void SavePng(const std::string& name) const {
        EXPECT_TRUE(platform::testing::SaveSurfacePng(back->GetSurface(),
                                                      std::string(QUORIN_BINARY_DIR) + "/" + name));
    }
    std::string Buffer() const { return reinterpret_cast<const char*>(scene->GetDataBlob().data()); }
    // The live buffer of that rate is playing.
    static bool Playing(DWORD rate);
    // The log line of a script error at a source line of block "main".
    static std::string ErrorLine(int line, const std::string& utf8Messages);

    IDirectDraw* dd = nullptr;
    HWND window = nullptr;
    std::unique_ptr<CDDrawSurface> back;
};
} // namespace scene_test
