#include "SceneTestSupport.h"

#include "files/ArcFile.h"
#include "files/SaveData.h"
#include "graphics/Screen.h"
#include "graphics/UpdateRegion.h"
#include "platform/text_encoding.h"
#include "sound/SoundManager.h"
#include "tools/fixtures/ArcWriter.h"
#include "tools/fixtures/HeadlessGame.h"
#include "tools/fixtures/PictureWriter.h"
#include "tools/fixtures/WaveWriter.h"

namespace scene_test {
namespace pt = platform::testing;
namespace {
// One colour; keyed pictures take magenta from their top-left pixel as the key colour: a frame
// around the middle half, or the corner pixel alone.
enum class Key { None, Frame, Corner };
fixtures::Bytes Bmp(int w, int h, DWORD rgb, Key key = Key::None) {
    fixtures::PictureDesc desc;
    desc.width = w;
    desc.height = h;
    desc.bitCount = 24;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool middle = x >= w / 4 && x < w * 3 / 4 && y >= h / 4 && y < h * 3 / 4;
            const bool keyed = key == Key::Frame ? !middle : key == Key::Corner && x + y == 0;
            desc.pixels.push_back(keyed ? kMagenta : rgb);
        }
    return fixtures::WriteBmp(desc);
}

fixtures::Bytes Tone(DWORD rate) {
    fixtures::WaveDesc desc;
    desc.channels = 1;
    desc.rate = static_cast<int>(rate);
    desc.pcm = fixtures::MakePcm(static_cast<int>(rate / 2), 1, 16);
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
    for (auto slot : {CConfig::SystemData, CConfig::ScenarioVoice, CConfig::SaveData})
        g_pConfig->SetPath(slot, folder.c_str());

    ASSERT_TRUE(
        fixtures::WriteArc(dir.File("graphic.arc"), {{"bg", Bmp(640, 480, kBlue)},
                                                     {"bg2", Bmp(640, 480, kGreen)},
                                                     {"chara", Bmp(200, 300, kWhite, Key::Frame)},
                                                     {"sg022", Bmp(596, 130, 0x202040, Key::Corner)},
                                                     {"sg023", Bmp(64, 16, 0xFFFF00, Key::Corner)},
                                                     {"sg024", Bmp(480, 80, 0x404040)},
                                                     {"sg025", Bmp(306, 136, 0x808080, Key::Corner)}}));
    g_pGraphicArc = new CArcFile((folder + "graphic.arc").c_str());
    back = std::make_unique<CDDrawSurface>();
    ASSERT_TRUE(back->CreateEmpty(dd, SIZE{640, 480}));
    SetRenderTarget(back->GetSurface());
    g_pScreen = new CScreen;
    g_pScreen->SetEffectEnable(1);

    ASSERT_TRUE(
        fixtures::WriteArc(dir.File("sound.arc"), {{"bgm01", Tone(kBgm01)}, {"bgm02", Tone(kBgm02)}}));
    ASSERT_TRUE(fixtures::WriteArc(dir.File("se.arc"), {{"rain", Tone(kRain)}}));
    ASSERT_TRUE(fixtures::WriteArc(
        dir.File("voice.arc"),
        {{"v0001", Tone(kVoice1)}, {"ao0007", Tone(kVoiceAo7)}, {"svo0010", Tone(kSecretVoice)}}));
    window = CreateHeadlessWindow(DefWindowProcA);
    ASSERT_TRUE(CreateSoundManager(window));

    g_pSaveData = new CSaveData;
    g_pSaveData->SetFamilyName(platform::Utf8ToSjis("山田").c_str());
    g_pSaveData->SetGivenName(platform::Utf8ToSjis("太郎").c_str());
}

void SceneTest::TearDown() {
    scene.reset();
    fixtures::ReleaseHeadlessGame(window, &back, dd);
    ScriptTest::TearDown();
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
