#include "SceneTestSupport.h"

#include "files/ArcFile.h"
#include "files/SaveData.h"
#include "graphics/DDrawSurface.h"
#include "graphics/Screen.h"
#include "graphics/Transition.h"
#include "graphics/UpdateRegion.h"
#include "platform/text_encoding.h"
#include "sound/SoundManager.h"
#include "tools/fixtures/ArcWriter.h"
#include "tools/fixtures/PictureWriter.h"
#include "tools/fixtures/RuleMaskWriter.h"
#include "tools/fixtures/WaveWriter.h"

#include <filesystem>

namespace scene_test {
namespace pt = platform::testing;
namespace {
fixtures::Bytes Bmp(int w, int h, DWORD rgb, bool keyedFrame = false) {
    fixtures::PictureDesc desc;
    desc.width = w;
    desc.height = h;
    desc.bitCount = 24;
    desc.pixels.assign(static_cast<std::size_t>(w) * h, rgb);
    // A magenta frame (the key colour, from the top-left pixel) around the picture's middle.
    if (keyedFrame)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (x < w / 4 || x >= w * 3 / 4 || y < h / 4 || y >= h * 3 / 4)
                    desc.pixels[static_cast<std::size_t>(y) * w + x] = kMagenta;
    return fixtures::WriteBmp(desc);
}

fixtures::Bytes Tone(DWORD rate, DWORD ms) {
    fixtures::WaveDesc desc;
    desc.channels = 1;
    desc.bits = 16;
    desc.rate = static_cast<int>(rate);
    desc.pcm = fixtures::MakePcm(static_cast<int>(rate * ms / 1000), 1, 16, rate);
    return fixtures::WriteWave(desc);
}
} // namespace

void SceneTest::SetUp() {
    ScriptTest::SetUp();
    pt::UseHeadlessDisplay(pt::DisplayFormat::Xrgb32);
    pt::UseManualClock(kClockStart);
    pt::UseFontFile(pt::kPinnedGothicFont);
    pt::UseSoundBackend(pt::SoundBackend::Headless);
    ResetUpdateRegion();
    ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
    SetDirectDraw(dd);

    const std::string folder = dir.ProgramPath();
    g_pConfig->SetSystemDataPath(folder.c_str());
    g_pConfig->SetScenarioVoicePath(folder.c_str());
    g_pConfig->SetSaveDataPath(folder.c_str());
    ASSERT_TRUE(fixtures::WriteArc(dir.File("graphic.arc"), {{"bg", Bmp(640, 480, kBlue)},
                                                             {"bg2", Bmp(640, 480, kGreen)},
                                                             {"chara", Bmp(200, 300, kWhite, true)},
                                                             {"sg022", Bmp(596, 130, 0x202040)},
                                                             {"sg023", Bmp(64, 16, 0xFFFF00)},
                                                             {"sg024", Bmp(480, 80, 0x404040)},
                                                             {"sg025", Bmp(306, 136, 0x808080)}}));
    g_pGraphicArc = new CArcFile((folder + "graphic.arc").c_str());
    ASSERT_TRUE(fixtures::WriteRuleMaskArc(
        dir.File("mask.arc"),
        {{"top_to_bottom", fixtures::RuleMaskShape(fixtures::RuleShape::TopToBottom, 640, 480)}}));
    g_pTransition = new CTransition;
    ASSERT_EQ(g_pTransition->Create((folder + "mask.arc").c_str()), 1);
    back = std::make_unique<CDDrawSurface>();
    ASSERT_TRUE(back->CreateEmpty(dd, SIZE{640, 480}));
    SetRenderTarget(back->GetSurface());
    g_pScreen = new CScreen;
    g_pScreen->SetEffectEnable(1);

    ASSERT_TRUE(fixtures::WriteArc(dir.File("sound.arc"),
                                   {{"bgm01", Tone(kBgm01, 1000)}, {"bgm02", Tone(kBgm02, 1000)}}));
    ASSERT_TRUE(fixtures::WriteArc(dir.File("se.arc"), {{"rain", Tone(kRain, 500)}}));
    ASSERT_TRUE(fixtures::WriteArc(dir.File("voice.arc"), {{"v0001", Tone(kVoice1, 300)},
                                                           {"ao0007", Tone(kVoiceAo7, 300)},
                                                           {"svo0010", Tone(kSecretVoice, 300)}}));
    window = CreateHeadlessWindow(DefWindowProcA);
    ASSERT_TRUE(CreateSoundManager(window));

    g_pSaveData = new CSaveData;
    g_pSaveData->SetFamilyName(platform::Utf8ToSjis("山田").c_str());
    g_pSaveData->SetGivenName(platform::Utf8ToSjis("太郎").c_str());
}

void SceneTest::TearDown() {
    scene.reset();
    delete g_pSaveData;
    g_pSaveData = nullptr;
    DestroySoundManager();
    if (window) DestroyWindow(window);
    delete g_pScreen;
    g_pScreen = nullptr;
    delete g_pTransition;
    g_pTransition = nullptr;
    delete g_pGraphicArc;
    g_pGraphicArc = nullptr;
    SetRenderTarget(nullptr);
    back.reset();
    SetDirectDraw(nullptr);
    if (dd) dd->Release();
    ResetUpdateRegion();
    pt::UseSoundBackend(pt::SoundBackend::Automatic);
    pt::UseFontFile("");
    pt::UseRealClock();
    ScriptTest::TearDown();
}

void SceneTest::Play(const std::string& source) {
    ASSERT_EQ(Load(std::string(kTables) + source), 1);
}

void SceneTest::Frame(DWORD ms) {
    if (ms) pt::AdvanceClock(ms);
    scene->Run(nullptr);
    g_pSoundManager->Update();
    g_pScreen->Update();
    scene->FlushUpdateRect();
    g_pScreen->Draw(back->GetSurface());
    scene->Draw(back->GetSurface());
    AddUpdateRect(nullptr);
}

void SceneTest::Frames(int count, DWORD ms) {
    for (int i = 0; i < count; ++i)
        Frame(ms);
}

DWORD SceneTest::At(int x, int y) const {
    return pt::ReadSurfaceRgbAt(back->GetSurface(), x, y);
}

void SceneTest::SavePng(const std::string& name) const {
    EXPECT_TRUE(pt::SaveSurfacePng(back->GetSurface(), std::string(QUORIN_BINARY_DIR) + "/" + name));
}

bool SceneTest::Playing(DWORD rate) {
    for (const auto& b : pt::SoundBuffers())
        if (b.format.nSamplesPerSec == rate && b.format.nChannels == 1) return b.playing;
    return false;
}

std::string SceneTest::ErrorLine(int line, const std::string& utf8Messages) {
    return "2004/03/05(09:07:03) main(" + std::to_string(line) + ")\x81\x46" +
           platform::Utf8ToSjis(utf8Messages) + "\r\n";
}
} // namespace scene_test
