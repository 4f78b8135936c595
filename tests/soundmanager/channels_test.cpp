// Playing by name on the seven channels, with the enables and volumes of the settings.
#include "SoundManagerFixture.h"

#include "platform/process.h"
#include "platform/testing_sound.h"

#include <filesystem>
#include <string>

using namespace soundtest;

namespace {
class Channels : public SoundManagerTest {};
class LevelVolumes : public SoundManagerTest, public ::testing::WithParamInterface<int> {};
} // namespace

TEST_P(LevelVolumes, EveryClassPlaysByNameOnItsChannelAtTheLevelsVolume) {
    const int level = GetParam();
    Start({level, level, level});
    const LONG volume = kLevelVolume[level];
    EXPECT_EQ(sm().GetBGMVolume(), volume);
    EXPECT_EQ(sm().GetSEVolume(), volume);
    EXPECT_EQ(sm().GetVoiceVolume(), volume);

    // Names are found whatever their case.
    EXPECT_EQ(sm().PlayBGM("BGM03", 1), 1);
    EXPECT_EQ(sm().PlayLoopSE("SL_Rain", 1), 1);
    EXPECT_EQ(sm().PlaySE("se001", 0), 1);
    sm().PlayVoice("V0001");
    sm().PlaySysVoice("SVO0000");

    const struct {
        DWORD channel;
        DWORD rate;
        bool looping;
    } expected[] = {{SOUND_CHANNEL_BGM_A, kBgm03, true},
                    {SOUND_CHANNEL_LOOPSE1, kLoopA, true},
                    {SOUND_CHANNEL_SE, kSe001, false},
                    {SOUND_CHANNEL_VOICE, kVoice, false},
                    {SOUND_CHANNEL_SYSVOICE, kSysVoice, false}};
    if (level == 0) {
        // Level 0 switches every class off: the names are kept, nothing plays.
        EXPECT_FALSE(sm().IsBGMEnabled());
        EXPECT_FALSE(sm().IsSEEnabled());
        EXPECT_FALSE(sm().IsVoiceEnabled());
        for (const auto& e : expected) {
            EXPECT_EQ(sm().GetChannelSlot(e.channel), CSoundManager::kSlotNone);
            EXPECT_FALSE(Buffer(e.rate));
        }
        EXPECT_EQ(Name(&CSoundManager::GetBGMName), "BGM03");
        EXPECT_EQ(Name(&CSoundManager::GetVoiceName), "V0001");
        return;
    }
    for (const auto& e : expected) {
        SCOPED_TRACE(e.rate);
        EXPECT_NE(sm().GetChannelSlot(e.channel), CSoundManager::kSlotNone);
        const auto b = Buffer(e.rate);
        ASSERT_TRUE(b);
        EXPECT_TRUE(b->playing);
        EXPECT_EQ(b->volume, volume);
        // A stream always loops its ring; the others loop as asked.
        if (e.channel != SOUND_CHANNEL_BGM_A) {
            EXPECT_EQ(b->looping, e.looping);
        }
    }
    EXPECT_EQ(sm().GetChannelSlot(SOUND_CHANNEL_BGM_B), CSoundManager::kSlotNone);
    EXPECT_EQ(sm().GetChannelSlot(SOUND_CHANNEL_LOOPSE2), CSoundManager::kSlotNone);

    // The mixer moves the sounds on with the clock.
    const DWORD before = Buffer(kLoopA)->playCursor;
    Frame(40);
    EXPECT_GT(Buffer(kLoopA)->playCursor, before);
}
INSTANTIATE_TEST_SUITE_P(Levels0To4, LevelVolumes, ::testing::Values(0, 1, 2, 3, 4));

TEST_F(Channels, OggVorbisSoundsPlayByNameAsWell) {
    Start({3, 2, 4});
    platform::testing::CaptureMixedSound(true);
    ASSERT_EQ(sm().PlayBGM("bgm07", 1), 1);
    ASSERT_EQ(sm().PlaySE("se002", 0), 1);
    EXPECT_TRUE(Playing(kBgm07));
    EXPECT_TRUE(Playing(kSe002));
    EXPECT_EQ(VolumeOf(kBgm07), -650);
    EXPECT_EQ(VolumeOf(kSe002), -1100);
    Frame(50);
    const auto mixed = platform::testing::TakeMixedSound();
    platform::testing::CaptureMixedSound(false);
    ASSERT_FALSE(mixed.empty());
    int loud = 0;
    for (std::int16_t s : mixed)
        loud += s != 0;
    EXPECT_GT(loud, static_cast<int>(mixed.size() / 2));
    Frame(100);
    EXPECT_EQ(sm().GetChannelSlot(SOUND_CHANNEL_SE), CSoundManager::kSlotNone);
    EXPECT_TRUE(Playing(kBgm07));
}

TEST_F(Channels, EndedSoundsAreFreedByUpdateAndOnlyTheLoopSENamesGo) {
    Start();
    sm().PlayLoopSE("sl_rain", 0);
    sm().PlaySE("Se001", 0);
    sm().PlayVoice("v0001");
    sm().PlaySysVoice("svo0000");
    Frame(0);
    EXPECT_NE(sm().GetChannelSlot(SOUND_CHANNEL_SE), CSoundManager::kSlotNone);

    Frame(150);
    EXPECT_EQ(sm().GetChannelSlot(SOUND_CHANNEL_SE), CSoundManager::kSlotNone);
    EXPECT_FALSE(Buffer(kSe001));
    EXPECT_NE(sm().GetChannelSlot(SOUND_CHANNEL_VOICE), CSoundManager::kSlotNone);
    Frame(450);
    for (DWORD ch : {SOUND_CHANNEL_LOOPSE1, SOUND_CHANNEL_VOICE, SOUND_CHANNEL_SYSVOICE})
        EXPECT_EQ(sm().GetChannelSlot(ch), CSoundManager::kSlotNone);
    EXPECT_FALSE(Buffer(kLoopA));
    EXPECT_FALSE(Buffer(kVoice));
    // The voice's name outlives the voice, the loop SE's does not.
    EXPECT_EQ(Name(&CSoundManager::GetVoiceName), "v0001");
    EXPECT_EQ(sm().PlayLoopSE("sl_wind", 1), 1);
    EXPECT_NE(sm().GetChannelSlot(SOUND_CHANNEL_LOOPSE1), CSoundManager::kSlotNone);
}

TEST_F(Channels, PlayBGMIsRefusedWhileTheMusicPlays) {
    Start();
    ASSERT_EQ(sm().PlayBGM("bgm03", 1), 1);
    EXPECT_EQ(sm().PlayBGM("bgm05", 1), 0);
    EXPECT_FALSE(Buffer(kBgm05));
    EXPECT_EQ(Name(&CSoundManager::GetBGMName), "bgm03");
    EXPECT_EQ(sm().PlayBGM(nullptr, 1), 0);
    EXPECT_EQ(sm().PlayBGM("nosuch", 1), 0);

    // Music fading out may be replaced at once.
    ASSERT_EQ(sm().FadeOutBGM(10), 1);
    EXPECT_EQ(sm().PlayBGM("bgm05", 1), 1);
    EXPECT_FALSE(sm().IsFading());
    EXPECT_FALSE(Buffer(kBgm03));
    EXPECT_TRUE(Playing(kBgm05));
    EXPECT_EQ(VolumeOf(kBgm05), 0);

    sm().StopBGM();
    EXPECT_EQ(Name(&CSoundManager::GetBGMName), "<null>");
    EXPECT_FALSE(Buffer(kBgm05));
    EXPECT_EQ(sm().PlayBGM("nosuch", 1), 0);
    // A missing entry keeps the name, as the load failure does not undo the request.
    EXPECT_EQ(Name(&CSoundManager::GetBGMName), "nosuch");
}

TEST_F(Channels, MusicSwitchedOffIsRememberedAndRestartedOnlyWhenLooping) {
    Start({0, 4, 4});
    EXPECT_EQ(sm().PlayBGM("bgm03", 1), 1);
    EXPECT_FALSE(Buffer(kBgm03));
    // A higher volume does not switch the music on again; the caller does.
    sm().SetBGMVolume(-650);
    EXPECT_FALSE(sm().IsBGMEnabled());
    sm().SetBGMEnable(1);
    ASSERT_TRUE(Playing(kBgm03));
    EXPECT_EQ(Buffer(kBgm03)->playCursor, 0u);
    EXPECT_EQ(VolumeOf(kBgm03), -650);

    // Off keeps the name; a piece played once is not restarted.
    sm().SetBGMEnable(0);
    EXPECT_FALSE(Buffer(kBgm03));
    EXPECT_EQ(Name(&CSoundManager::GetBGMName), "bgm03");
    sm().StopBGM();
    EXPECT_EQ(Name(&CSoundManager::GetBGMName), "<null>");
    EXPECT_EQ(sm().PlayBGM("bgm05", 0), 1);
    sm().SetBGMEnable(1);
    EXPECT_FALSE(Buffer(kBgm05));
    EXPECT_EQ(sm().PlayBGM("bgm05", 0), 1);
    EXPECT_TRUE(Playing(kBgm05));

    // Volume -10000 switches the music off.
    sm().SetBGMVolume(-1100);
    EXPECT_EQ(VolumeOf(kBgm05), -1100);
    sm().SetBGMVolume(-10000);
    EXPECT_FALSE(sm().IsBGMEnabled());
    EXPECT_FALSE(Buffer(kBgm05));
}

TEST_F(Channels, LoopSEsShareTwoChannelsByName) {
    Start();
    ASSERT_EQ(sm().PlayLoopSE("sl_rain", 1), 1);
    // The same name while only the first channel is busy plays again on the second.
    ASSERT_EQ(sm().PlayLoopSE("sl_rain", 1), 1);
    EXPECT_NE(sm().GetChannelSlot(SOUND_CHANNEL_LOOPSE2), CSoundManager::kSlotNone);
    // The same name on both: nothing more.
    EXPECT_EQ(sm().PlayLoopSE("SL_RAIN", 1), 1);
    sm().StopLoopSE(nullptr);
    EXPECT_FALSE(Buffer(kLoopA));
    EXPECT_EQ(Name(&CSoundManager::GetLoopSEName1), "<null>");

    ASSERT_EQ(sm().PlayLoopSE("sl_rain", 1), 1);
    ASSERT_EQ(sm().PlayLoopSE("sl_wind", 1), 1);
    // Two looping effects are never pushed out by a third.
    EXPECT_EQ(sm().PlayLoopSE("sl_fire", 1), 1);
    EXPECT_FALSE(Buffer(kLoopC));
    EXPECT_TRUE(Playing(kLoopA));
    EXPECT_TRUE(Playing(kLoopB));
    // A name already on a channel frees that channel and plays again there.
    const DWORD windSlot = sm().GetChannelSlot(SOUND_CHANNEL_LOOPSE2);
    Frame(100);
    EXPECT_EQ(sm().PlayLoopSE("sl_wind", 1), 1);
    EXPECT_EQ(sm().GetChannelSlot(SOUND_CHANNEL_LOOPSE2), windSlot);
    EXPECT_EQ(Buffer(kLoopB)->playCursor, 0u);

    // One that does not loop gives way to the third.
    sm().StopLoopSE("sl_wind");
    ASSERT_EQ(sm().PlayLoopSE("sl_wind", 0), 1);
    EXPECT_EQ(Name(&CSoundManager::GetLoopSEName2), "<null>");
    EXPECT_FALSE(sm().IsLoopSE2Looping());
    EXPECT_EQ(sm().PlayLoopSE("sl_fire", 1), 1);
    EXPECT_FALSE(Buffer(kLoopB));
    EXPECT_TRUE(Playing(kLoopC));
    EXPECT_EQ(Name(&CSoundManager::GetLoopSEName2), "sl_fire");
    EXPECT_EQ(Name(&CSoundManager::GetLoopSEName1), "sl_rain");
}

TEST_F(Channels, PlayLoopSEWithoutANameIsRefusedBeforeAnythingIsFreed) {
    Start();
    ASSERT_EQ(sm().PlayLoopSE("sl_rain", 0), 1);
    ASSERT_EQ(sm().PlayLoopSE("sl_wind", 0), 1);
    EXPECT_EQ(sm().PlayLoopSE(nullptr, 1), 0);
    EXPECT_TRUE(Playing(kLoopA));
    EXPECT_TRUE(Playing(kLoopB));
    EXPECT_EQ(sm().FadeInLoopSE(nullptr, 5, 1), 1); // both named: nothing to do
    sm().StopLoopSE(nullptr);
    EXPECT_EQ(sm().PlayLoopSE(nullptr, 1), 0);
    EXPECT_EQ(sm().FadeInLoopSE(nullptr, 5, 1), 0);
    EXPECT_EQ(sm().FadeOutLoopSE(nullptr, 5), 0);
}

TEST_F(Channels, NamesLongerThanTheirFieldAreRefused) {
    Start();
    const std::string longName(40, 'a');
    const std::string sixteen(16, 'b');
    EXPECT_EQ(sm().PlayBGM(longName.c_str(), 1), 0);
    EXPECT_EQ(sm().FadeInBGM(longName.c_str(), 5, 1), 0);
    EXPECT_EQ(sm().CrossFadeBGM(longName.c_str(), 5, 1), 0);
    EXPECT_EQ(Name(&CSoundManager::GetBGMName), "<null>");
    EXPECT_EQ(sm().PlayLoopSE(longName.c_str(), 1), 0);
    EXPECT_EQ(sm().FadeInLoopSE(longName.c_str(), 5, 1), 0);
    EXPECT_EQ(Name(&CSoundManager::GetLoopSEName1), "<null>");
    EXPECT_EQ(sm().PlaySE(longName.c_str(), 0), 0);
    sm().PlayVoice(longName.c_str());
    sm().PlaySysVoice(longName.c_str());
    EXPECT_EQ(Name(&CSoundManager::GetVoiceName), "<null>");
    // Sixteen characters fit; no entry has such a name, so only the name stays.
    EXPECT_EQ(sm().PlayBGM(sixteen.c_str(), 1), 0);
    EXPECT_EQ(Name(&CSoundManager::GetBGMName), sixteen);
    // Stopping by a long name finds nothing and leaves the loops alone.
    sm().PlayLoopSE("sl_rain", 1);
    sm().StopLoopSE((std::string("sl_rain") + longName).c_str());
    EXPECT_TRUE(Playing(kLoopA));
}

TEST_F(Channels, SEVolumeSwitchesTheClassOffAndOnAgain) {
    Start({4, 3, 4});
    sm().PlayLoopSE("sl_rain", 1);
    sm().PlayLoopSE("sl_wind", 0);
    sm().PlaySE("Se001", 1);
    sm().SetSEVolume(-1100);
    EXPECT_EQ(VolumeOf(kLoopA), -1100);
    EXPECT_EQ(VolumeOf(kLoopB), -1100);
    EXPECT_EQ(VolumeOf(kSe001), -650); // the one-shot keeps its volume

    sm().SetSEVolume(-10000);
    EXPECT_FALSE(sm().IsSEEnabled());
    EXPECT_FALSE(Buffer(kLoopA));
    EXPECT_FALSE(Buffer(kLoopB));
    EXPECT_TRUE(Playing(kSe001)); // not touched by the switch
    EXPECT_EQ(Name(&CSoundManager::GetLoopSEName1), "sl_rain");
    // While off a play only stores its name.
    sm().StopLoopSE("sl_wind");
    EXPECT_EQ(sm().PlayLoopSE("sl_fire", 1), 1);
    EXPECT_FALSE(Buffer(kLoopC));

    sm().SetSEVolume(-650);
    EXPECT_TRUE(sm().IsSEEnabled());
    EXPECT_TRUE(Playing(kLoopA));
    EXPECT_TRUE(Playing(kLoopC));
    EXPECT_EQ(VolumeOf(kLoopA), -650);
    EXPECT_EQ(VolumeOf(kLoopC), -650);
    EXPECT_TRUE(Buffer(kLoopA)->looping);
}

TEST_F(Channels, VoiceVolumeReachesTheVoiceOnlyAndSilenceSwitchesItOff) {
    Start();
    sm().PlayVoice("v0001");
    sm().PlaySysVoice("svo0000");
    sm().SetVoiceVolume(-1800);
    EXPECT_EQ(VolumeOf(kVoice), -1800);
    EXPECT_EQ(VolumeOf(kSysVoice), 0);
    // A second voice replaces the first from its start.
    Frame(100);
    sm().PlayVoice("v0001");
    EXPECT_EQ(Buffer(kVoice)->playCursor, 0u);
    EXPECT_EQ(VolumeOf(kVoice), -1800);

    sm().SetVoiceVolume(-10000);
    EXPECT_FALSE(sm().IsVoiceEnabled());
    EXPECT_FALSE(Buffer(kVoice));
    EXPECT_TRUE(Playing(kSysVoice)); // the switch stops the scenario voice only
    EXPECT_EQ(Name(&CSoundManager::GetVoiceName), "v0001");
    sm().SetVoiceVolume(-650);
    EXPECT_FALSE(sm().IsVoiceEnabled());
    sm().SetVoiceEnable(1);
    EXPECT_FALSE(Buffer(kVoice)); // a voice is never replayed
    sm().PlayVoice("v0001");
    EXPECT_EQ(VolumeOf(kVoice), -650);
    sm().StopVoice();
    EXPECT_FALSE(Buffer(kVoice));
    EXPECT_EQ(Name(&CSoundManager::GetVoiceName), "<null>");
    sm().StopSysVoice();
    EXPECT_FALSE(Buffer(kSysVoice));
}

TEST_F(Channels, SuspendAndResumeBringBackOnlyTheLoopingEffects) {
    Start();
    sm().PlayLoopSE("sl_rain", 1);
    sm().PlayLoopSE("sl_wind", 0);
    sm().SuspendLoopSE();
    EXPECT_FALSE(Buffer(kLoopA));
    EXPECT_FALSE(Buffer(kLoopB));
    EXPECT_EQ(Name(&CSoundManager::GetLoopSEName1), "<null>");
    EXPECT_EQ(sm().GetChannelSlot(SOUND_CHANNEL_LOOPSE1), CSoundManager::kSlotNone);

    sm().ResumeLoopSE();
    EXPECT_TRUE(Playing(kLoopA));
    EXPECT_TRUE(Buffer(kLoopA)->looping);
    EXPECT_FALSE(Buffer(kLoopB));
    EXPECT_EQ(Name(&CSoundManager::GetLoopSEName1), "sl_rain");
    // The suspended names were used up.
    sm().StopLoopSE(nullptr);
    sm().ResumeLoopSE();
    EXPECT_FALSE(Buffer(kLoopA));

    // The same looping name on both channels comes back twice.
    sm().PlayLoopSE("sl_rain", 1);
    sm().PlayLoopSE("sl_rain", 1);
    sm().SuspendLoopSE();
    sm().ResumeLoopSE();
    EXPECT_NE(sm().GetChannelSlot(SOUND_CHANNEL_LOOPSE1), CSoundManager::kSlotNone);
    EXPECT_NE(sm().GetChannelSlot(SOUND_CHANNEL_LOOPSE2), CSoundManager::kSlotNone);
}

TEST_F(Channels, StopAllSilencesEverythingAndKeepsTheSwitches) {
    Start({3, 2, 1});
    sm().PlayBGM("bgm03", 1);
    sm().PlayLoopSE("sl_rain", 1);
    sm().PlaySE("Se001", 0);
    sm().PlayVoice("v0001");
    sm().PlaySysVoice("svo0000");
    sm().FadeOutLoopSE("sl_rain", 10);
    const size_t system = 1; // the device's own silent sound
    ASSERT_EQ(platform::testing::SoundBuffers().size(), system + 5);

    sm().StopAll();
    EXPECT_EQ(platform::testing::SoundBuffers().size(), system);
    EXPECT_FALSE(sm().IsFading());
    for (DWORD ch = 1; ch <= 64; ch <<= 1)
        EXPECT_EQ(sm().GetChannelSlot(ch), CSoundManager::kSlotNone);
    EXPECT_EQ(sm().GetBGMName(nullptr), nullptr);
    EXPECT_EQ(sm().GetLoopSEName1(nullptr), nullptr);
    EXPECT_EQ(sm().GetLoopSEName2(nullptr), nullptr);
    EXPECT_EQ(sm().GetVoiceName(nullptr), nullptr);
    EXPECT_TRUE(sm().IsBGMEnabled());
    EXPECT_EQ(sm().GetBGMVolume(), -650);
    EXPECT_EQ(sm().GetSEVolume(), -1100);
    EXPECT_EQ(sm().GetVoiceVolume(), -1800);
    sm().ResumeLoopSE();
    EXPECT_FALSE(Buffer(kLoopA));
    Frame(500);
    EXPECT_EQ(sm().PlayBGM("bgm05", 1), 1);
    EXPECT_EQ(VolumeOf(kBgm05), -650);
}

TEST_F(Channels, ALoadThatFailsClosesTheEntryItOpened) {
    Start();
    const int before = OpenFileCount();
    // Entries whose bytes are no sound: the archive opens them, the device refuses them.
    EXPECT_EQ(sm().PlayBGM("broken", 1), 0);
    EXPECT_EQ(sm().PlaySE("sebroken", 0), 0);
    EXPECT_EQ(sm().PlayLoopSE("sebroken", 1), 0);
    EXPECT_EQ(sm().CrossFadeBGM("broken", 5, 1), 0);
    EXPECT_EQ(OpenFileCount(), before);
    EXPECT_EQ(sm().GetChannelSlot(SOUND_CHANNEL_BGM_A), CSoundManager::kSlotNone);

    // A device that cannot make the buffer fails the same way.
    platform::testing::FailSoundCall(platform::testing::SoundCall::CreateBuffer);
    EXPECT_EQ(sm().PlaySE("Se001", 0), 0);
    EXPECT_EQ(OpenFileCount(), before);
    EXPECT_EQ(sm().PlaySE("Se001", 0), 1);
    EXPECT_EQ(OpenFileCount(), before + 1);
    sm().StopSE();
    EXPECT_EQ(OpenFileCount(), before);
}

TEST_F(Channels, WithoutADeviceEveryCallIsASilentSuccess) {
    platform::testing::FailSoundCall(platform::testing::SoundCall::CreateDevice);
    std::filesystem::create_directories(dir.Path());
    std::string path = dir.Path();
    char* argv[] = {const_cast<char*>("quorin"), path.data(), nullptr};
    SetProgramArguments(2, argv);
    ASSERT_TRUE(CreateConfig());
    EXPECT_FALSE(CreateSoundManager(nullptr));
    ASSERT_NE(g_pSoundManager, nullptr);
    EXPECT_EQ(sm().GetDevice(), nullptr);
    EXPECT_FALSE(CreateSoundManager(nullptr)); // one manager only
    EXPECT_EQ(sm().PlayBGM("bgm03", 1), 1);
    EXPECT_EQ(sm().PlayLoopSE(nullptr, 1), 1);
    EXPECT_EQ(sm().FadeInBGM("bgm03", 5, 1), 1);
    EXPECT_EQ(sm().CrossFadeBGM("bgm05", 5, 1), 1);
    sm().PlayVoice("v0001");
    sm().Update();
    sm().StopAll();
    EXPECT_EQ(sm().GetBGMName(nullptr), nullptr);
    EXPECT_TRUE(platform::testing::SoundBuffers().empty());
}
