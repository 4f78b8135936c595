// Playing by name on the seven channels, with the enables and volumes of the settings, and every call
// the manager refuses or answers without a sound.
#include "tests/sound/SoundTestSupport.h"

using namespace soundtest;

namespace {
using Channels = SoundManagerTest;
class LevelVolumes : public SoundManagerTest, public ::testing::WithParamInterface<int> {};

// Names are found whatever their case; level 0 switches every class off, keeping the names.
TEST_P(LevelVolumes, EveryClassPlaysByNameOnItsChannelAtTheLevelsVolume) {
    const int level = GetParam();
    ASSERT_TRUE(Start({level, level, level}));
    const LONG volume = g_VolumeLevelTable[level];
    EXPECT_EQ(sm().GetBGMVolume(), volume);
    EXPECT_EQ(sm().GetSEVolume(), volume);
    EXPECT_EQ(sm().GetVoiceVolume(), volume);
    EXPECT_EQ(sm().IsBGMEnabled() + sm().IsSEEnabled() + sm().IsVoiceEnabled(), level ? 3 : 0);
    EXPECT_EQ(sm().PlayBGM("BGM03", 1) + sm().PlayLoopSE("SL_Rain", 1) + sm().PlaySE("se001", 0), 3);
    sm().PlayVoice("V0001");
    sm().PlaySysVoice("SVO0000");
    EXPECT_EQ(Names(), "BGM03|SL_Rain|-|se001|V0001|SVO0000");
    const std::string v = std::to_string(volume);
    // A stream always loops its ring; the others loop as asked.
    EXPECT_EQ(Mix(), level ? "bgm03 " + v + " loop, sl_rain " + v + " loop, Se001 " + v + ", v0001 " + v +
                                 ", svo0000 " + v
                           : "");
    EXPECT_EQ(sm().GetChannelSlot(SOUND_CHANNEL_BGM_A) != CSoundManager::kSlotNone, level != 0);
    EXPECT_EQ(sm().GetChannelSlot(SOUND_CHANNEL_BGM_B), CSoundManager::kSlotNone);
    EXPECT_EQ(sm().GetChannelSlot(SOUND_CHANNEL_LOOPSE2), CSoundManager::kSlotNone);
}
INSTANTIATE_TEST_SUITE_P(Levels0To4, LevelVolumes, ::testing::Values(0, 1, 2, 3, 4));

// Each row starts a fresh manager (without the archives or the device it names) and makes one call:
// its result, and that no sound of the manager plays.
TEST_F(Channels, CallsThatPlayNothing) {
    auto voiceName = [](CSoundManager& m) {
        return m.GetVoiceName(nullptr) || m.GetSysVoiceName(nullptr) ? 1 : 0;
    };
    const std::string longName(40, 'a');
    const char* tooLong = longName.c_str();
    const struct {
        const char* name;
        int archives;
        bool device;
        Call call;
        int result;
    } rows[] = {
        {"WithoutADeviceEveryCallIsASilentSuccess", kAllArchives, false,
         [](auto& m) { return m.PlayBGM("bgm03", 1) + m.PlayLoopSE(nullptr, 1) + m.PlaySE("Se001", 0); }, 3},
        {"fades without a device", kAllArchives, false,
         [](auto& m) { return m.FadeInBGM("bgm03", 5, 1) + m.CrossFadeBGM("bgm05", 5, 1) + m.FadeOutBGM(5); },
         3},
        {"one manager only", kAllArchives, false, [](auto&) { return CreateSoundManager(nullptr) ? 1 : 0; },
         0},
        {"music without sound.arc", kSEArc | kVoiceArc, true, [](auto& m) { return m.PlayBGM("bgm03", 1); },
         1},
        {"fade-in without sound.arc", kSEArc, true, [](auto& m) { return m.FadeInBGM("bgm03", 5, 1); }, 1},
        {"cross-fade without sound.arc", kSEArc, true, [](auto& m) { return m.CrossFadeBGM("bgm03", 5, 1); },
         1},
        {"fade-out without sound.arc", kSEArc, true, [](auto& m) { return m.FadeOutBGM(5); }, 1},
        {"loop effect without se.arc", kSoundArc, true, [](auto& m) { return m.PlayLoopSE(nullptr, 1); }, 1},
        {"faded effect without se.arc", kSoundArc, true,
         [](auto& m) { return m.FadeInLoopSE("sl_rain", 5, 1); }, 1},
        {"fade-out effect without se.arc", kSoundArc, true,
         [](auto& m) { return m.FadeOutLoopSE(nullptr, 5); }, 1},
        {"effect without se.arc", kSoundArc, true, [](auto& m) { return m.PlaySE("Se001", 0); }, 1},
        // Not even the names are kept.
        {"voices without voice.arc", kSoundArc | kSEArc, true,
         [&](auto& m) { return m.PlayVoice("v0001"), m.PlaySysVoice("svo0000"), voiceName(m); }, 0},
        {"music without a name", kAllArchives, true, [](auto& m) { return m.PlayBGM(nullptr, 1); }, 0},
        {"fade-in without a name", kAllArchives, true, [](auto& m) { return m.FadeInBGM(nullptr, 5, 1); }, 0},
        {"cross-fade without a name", kAllArchives, true,
         [](auto& m) { return m.CrossFadeBGM(nullptr, 5, 1); }, 0},
        {"effect without a name", kAllArchives, true, [](auto& m) { return m.PlaySE(nullptr, 0); }, 0},
        {"PlayLoopSEWithoutANameIsRefusedBeforeAnythingIsFreed", kAllArchives, true,
         [](auto& m) { return m.PlayLoopSE(nullptr, 1); }, 0},
        {"faded effect without a name", kAllArchives, true,
         [](auto& m) { return m.FadeInLoopSE(nullptr, 5, 1); }, 0},
        {"fade-out of no name", kAllArchives, true, [](auto& m) { return m.FadeOutLoopSE(nullptr, 5); }, 0},
        {"fade-out of a name on no channel", kAllArchives, true,
         [](auto& m) { return m.FadeOutLoopSE("sl_rain", 5); }, 1},
        {"fade-out without music", kAllArchives, true, [](auto& m) { return m.FadeOutBGM(5); }, 0},
        {"NamesLongerThanTheirFieldAreRefused", kAllArchives, true,
         [=](auto& m) {
             return m.PlayBGM(tooLong, 1) + m.FadeInBGM(tooLong, 5, 1) + m.CrossFadeBGM(tooLong, 5, 1) +
                    m.PlayLoopSE(tooLong, 1) + m.FadeInLoopSE(tooLong, 5, 1) + m.PlaySE(tooLong, 0);
         },
         0},
        {"long voice names", kAllArchives, true,
         [&](auto& m) { return m.PlayVoice(tooLong), m.PlaySysVoice(tooLong), voiceName(m); }, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (!row.device) pt::FailSoundCall(pt::SoundCall::CreateDevice);
        EXPECT_EQ(Start({}, row.archives), row.device);
        ASSERT_NE(g_pSoundManager, nullptr);
        EXPECT_EQ(sm().GetDevice() != nullptr, row.device);
        EXPECT_EQ(row.call(sm()), row.result);
        sm().Update();
        EXPECT_EQ(Mix(), "");
        EXPECT_EQ(pt::SoundBuffers().size(), row.device ? 1u : 0u);
        EXPECT_EQ(Names(), "-|-|-|-|-|-");
    }
}

TEST_F(Channels, PlaysStopsAndSwitchesByName) {
    const Scenario scenarios[] = {
        {"EndedSoundsAreFreedByUpdateAndOnlyTheLoopSENamesGo",
         {},
         {{[](auto& m) { return m.PlayLoopSE("sl_rain", 0) + m.PlaySE("Se001", 0); }, 2, 0,
           "sl_rain 0, Se001 0"},
          {[](auto& m) { return m.PlayVoice("v0001"), m.PlaySysVoice("svo0000"), -1; }, -1, 150,
           "sl_rain 0, v0001 0, svo0000 0"},
          // The names of the effect and the voices outlive their sounds, the loop effect's does not.
          {nullptr, -1, 450, "", "-|-|-|Se001|v0001|svo0000"},
          // A system voice that is not playing has nothing to stop: its name stays.
          {[](auto& m) { return m.StopSysVoice(), -1; }, -1, -1, "", "-|-|-|Se001|v0001|svo0000"},
          {[](auto& m) { return m.PlayLoopSE("sl_wind", 1); }, 1, -1, "sl_wind 0 loop",
           "-|sl_wind|-|Se001|v0001|svo0000"}}},
        {"StopChannelsAndIsNamePlayingTakeAnyChannels",
         {},
         {{[](auto& m) { return m.PlayBGM("bgm03", 1) + m.PlayLoopSE("sl_rain", 1) + m.PlaySE("Se001", 0); },
           3, -1, "*"},
          {[](auto& m) { return m.PlayVoice("v0001"), m.PlaySysVoice("svo0000"), m.IsNamePlaying("se001"); },
           1, -1, "bgm03 0 loop, sl_rain 0 loop, Se001 0, v0001 0, svo0000 0"},
          {[](auto& m) { return m.IsNamePlaying("bgm05") + m.IsNamePlaying(nullptr); }, 0, 150, "*"},
          // The effect has ended: its name stays, but it does not play.
          {[](auto& m) { return m.IsNamePlaying("Se001") + 2 * m.IsNamePlaying("SVO0000"); }, 2, -1, "*"},
          {[](auto& m) {
               return m.StopChannels(SOUND_CHANNEL_LOOPSE1 | SOUND_CHANNEL_SYSVOICE | SOUND_CHANNEL_SE), -1;
           },
           -1, -1, "bgm03 0 loop, v0001 0", "bgm03|-|-|-|v0001|-"},
          {[](auto& m) { return m.CrossFadeBGM("bgm05", 10, 1); }, 1, -1, "*"},
          {[](auto& m) { return m.StopChannels(SOUND_CHANNEL_BGM_B | SOUND_CHANNEL_VOICE), -1; }, -1, -1, "",
           "-|-|-|-|-|-"}}},
        {"PlayBGMIsRefusedWhileTheMusicPlays",
         {},
         {{[](auto& m) { return m.PlayBGM("bgm03", 1); }, 1, -1, "bgm03 0 loop"},
          {[](auto& m) { return m.PlayBGM("bgm05", 1); }, 0, -1, "bgm03 0 loop", "bgm03|-|-|-|-|-"},
          // Music fading out may be replaced at once.
          {[](auto& m) { return m.FadeOutBGM(10) + m.PlayBGM("bgm05", 1); }, 2, -1, "bgm05 0 loop"},
          {[](auto& m) { return m.StopBGM(), -1; }, -1, -1, "", "-|-|-|-|-|-"},
          // A missing entry keeps the name, as the load failure does not undo the request.
          {[](auto& m) { return m.PlayBGM("nosuch", 1); }, 0, -1, "", "nosuch|-|-|-|-|-"},
          {[](auto& m) { return m.PlayBGM("bbbbbbbbbbbbbbbb", 1); }, 0, -1, "",
           "bbbbbbbbbbbbbbbb|-|-|-|-|-"}}},
        {"MusicSwitchedOffIsRememberedAndRestartedOnlyWhenLooping",
         {0, 4, 4},
         {{[](auto& m) { return m.PlayBGM("bgm03", 1); }, 1, -1, ""},
          // A higher volume does not switch the music on again; the caller does.
          {[](auto& m) { return m.SetBGMVolume(-650), m.IsBGMEnabled(); }, 0, -1, ""},
          {[](auto& m) { return m.SetBGMEnable(1), -1; }, -1, -1, "bgm03 -650 loop"},
          // Off keeps the name; off, a fade-out drops it and a cross-fade only names the piece.
          {[](auto& m) { return m.SetBGMEnable(0), -1; }, -1, -1, "", "bgm03|-|-|-|-|-"},
          {[](auto& m) { return m.FadeOutBGM(5); }, 1, -1, "", "-|-|-|-|-|-"},
          {[](auto& m) { return m.CrossFadeBGM("bgm05", 5, 0); }, 1, -1, "", "bgm05|-|-|-|-|-"},
          {[](auto& m) { return m.StopBGM(), -1; }, -1, -1, "", "-|-|-|-|-|-"},
          // A piece played once is not restarted.
          {[](auto& m) { return m.PlayBGM("bgm05", 0), m.SetBGMEnable(1), -1; }, -1, -1, "",
           "bgm05|-|-|-|-|-"},
          {[](auto& m) { return m.PlayBGM("bgm05", 0); }, 1, -1, "bgm05 -650 loop"},
          {[](auto& m) { return m.SetBGMVolume(-1100), -1; }, -1, -1, "bgm05 -1100 loop"},
          // Volume -10000 switches the music off.
          {[](auto& m) { return m.SetBGMVolume(-10000), m.IsBGMEnabled(); }, 0, -1, ""}}},
        {"LoopSEsShareTwoChannelsByName",
         {},
         // The same name while only the first channel is busy plays again on the second.
         {{[](auto& m) { return m.PlayLoopSE("sl_rain", 1) + m.PlayLoopSE("sl_rain", 1); }, 2, -1,
           "sl_rain 0 loop, sl_rain 0 loop", "-|sl_rain|sl_rain|-|-|-"},
          // The same name on both: nothing more; both named: no fade-in either.
          {[](auto& m) { return m.PlayLoopSE("SL_RAIN", 1) + m.FadeInLoopSE("sl_fire", 5, 1); }, 2, -1,
           "sl_rain 0 loop, sl_rain 0 loop"},
          {[](auto& m) {
               return m.StopLoopSE(nullptr), m.PlayLoopSE("sl_rain", 1) + m.PlayLoopSE("sl_wind", 1);
           },
           2, 100, "sl_rain 0 loop, sl_wind 0 loop"},
          // Two looping effects are never pushed out by a third; a missing name frees nothing either.
          {[](auto& m) { return m.PlayLoopSE("sl_fire", 1) + m.PlayLoopSE(nullptr, 1); }, 1, -1,
           "sl_rain 0 loop, sl_wind 0 loop"},
          // A name already on a channel frees that channel and plays again there from the start.
          {[](auto& m) { return m.PlayLoopSE("sl_wind", 1); }, 1, -1, "sl_rain 0 loop, sl_wind 0 loop"},
          {[](auto&) { return static_cast<int>(Buffer("sl_wind")->playCursor); }, 0, -1, "*"},
          // Stopping by a longer name finds nothing.
          {[](auto& m) { return m.StopLoopSE("sl_windaaaaaaaaaaaaaaaaaaaaaa"), -1; }, -1, -1, "*",
           "-|sl_rain|sl_wind|-|-|-"},
          // One that does not loop gives way to the third.
          {[](auto& m) { return m.StopLoopSE("SL_WIND"), m.PlayLoopSE("sl_wind", 0); }, 1, -1,
           "sl_rain 0 loop, sl_wind 0", "-|sl_rain|-|-|-|-"},
          // A fade-in never pushes out anything: with both channels named it plays nothing.
          {[](auto& m) { return m.FadeInLoopSE("sl_fire", 5, 1); }, 1, -1, "sl_rain 0 loop, sl_wind 0"},
          {[](auto& m) { return m.IsLoopSE2Looping() + m.PlayLoopSE("sl_fire", 1); }, 1, -1,
           "sl_rain 0 loop, sl_fire 0 loop", "-|sl_rain|sl_fire|-|-|-"}}},
        {"SEVolumeSwitchesTheClassOffAndOnAgain",
         {4, 3, 4},
         {{[](auto& m) {
               return m.PlayLoopSE("sl_rain", 1) + m.PlayLoopSE("sl_wind", 0) + m.PlaySE("Se001", 1);
           },
           3, -1, "sl_rain -650 loop, sl_wind -650, Se001 -650 loop"},
          // The one-shot keeps its volume, and the switch does not touch it.
          {[](auto& m) { return m.SetSEVolume(-1100), -1; }, -1, -1,
           "sl_rain -1100 loop, sl_wind -1100, Se001 -650 loop"},
          {[](auto& m) { return m.SetSEVolume(-10000), m.IsSEEnabled(); }, 0, -1, "Se001 -650 loop",
           "-|sl_rain|-|Se001|-|-"},
          // While off a play only stores its name, and a fade-out of a name without a sound drops it.
          {[](auto& m) { return m.StopLoopSE("sl_wind"), m.PlayLoopSE("sl_wind", 1); }, 1, -1, "*",
           "-|sl_rain|sl_wind|Se001|-|-"},
          {[](auto& m) { return m.FadeOutLoopSE("sl_wind", 5); }, 1, -1, "*", "-|sl_rain|-|Se001|-|-"},
          {[](auto& m) { return m.PlayLoopSE("sl_fire", 1) + m.PlaySE("Se001", 0); }, 2, -1, ""},
          // Back on, the looping effects come back at the new volume; a one-shot does not.
          {[](auto& m) { return m.SetSEVolume(-650), m.IsSEEnabled(); }, 1, -1,
           "sl_rain -650 loop, sl_fire -650 loop"}}},
        {"VoiceVolumeReachesTheVoiceOnlyAndSilenceSwitchesItOff",
         {},
         {{[](auto& m) {
               return m.PlayVoice("v0001"), m.PlaySysVoice("svo0000"), m.SetVoiceVolume(-1800), -1;
           },
           -1, 100, "v0001 -1800, svo0000 0"},
          // A second voice replaces the first from its start.
          {[](auto& m) { return m.PlayVoice("v0001"), static_cast<int>(Buffer("v0001")->playCursor); }, 0, -1,
           "svo0000 0, v0001 -1800"},
          // The switch stops the scenario voice only; off, a system voice is not played either.
          {[](auto& m) { return m.SetVoiceVolume(-10000), m.IsVoiceEnabled(); }, 0, -1, "svo0000 0"},
          {[](auto& m) { return m.PlaySysVoice("svo0000"), -1; }, -1, -1, "", "-|-|-|-|v0001|svo0000"},
          // A voice is never replayed.
          {[](auto& m) { return m.SetVoiceVolume(-650), m.SetVoiceEnable(1), m.IsVoiceEnabled(); }, 1, -1,
           ""},
          {[](auto& m) { return m.PlayVoice("v0001"), m.PlaySysVoice("svo0000"), -1; }, -1, -1,
           "v0001 -650, svo0000 -650"},
          {[](auto& m) { return m.StopVoice(), m.StopSysVoice(), -1; }, -1, -1, "", "-|-|-|-|-|-"}}},
        {"SuspendAndResumeBringBackOnlyTheLoopingEffects",
         {},
         {{[](auto& m) { return m.PlayLoopSE("sl_rain", 1) + m.PlayLoopSE("sl_wind", 0); }, 2, -1, "*"},
          {[](auto& m) { return m.SuspendLoopSE(), -1; }, -1, -1, "", "-|-|-|-|-|-"},
          {[](auto& m) { return m.ResumeLoopSE(), -1; }, -1, -1, "sl_rain 0 loop", "-|sl_rain|-|-|-|-"},
          // The suspended names were used up.
          {[](auto& m) { return m.StopLoopSE(nullptr), m.ResumeLoopSE(), -1; }, -1, -1, ""},
          // The same looping name on both channels comes back twice.
          {[](auto& m) {
               return m.PlayLoopSE("sl_rain", 1), m.PlayLoopSE("sl_rain", 1), m.SuspendLoopSE(), -1;
           },
           -1, -1, ""},
          {[](auto& m) { return m.ResumeLoopSE(), -1; }, -1, -1, "sl_rain 0 loop, sl_rain 0 loop"}}},
        {"StopAllSilencesEverythingAndKeepsTheSwitches",
         {3, 2, 1},
         {{[](auto& m) { return m.PlayBGM("bgm03", 1) + m.PlayLoopSE("sl_rain", 1) + m.PlaySE("Se001", 0); },
           3, -1, "*"},
          {[](auto& m) {
               return m.PlayVoice("v0001"), m.PlaySysVoice("svo0000"), m.SuspendLoopSE(),
                      m.PlayLoopSE("sl_rain", 1);
           },
           1, -1, "*"},
          {[](auto& m) { return m.FadeOutLoopSE("sl_rain", 10); }, 1, -1,
           "bgm03 -650 loop, Se001 -1100, v0001 -1800, svo0000 -1800, sl_rain -1100 loop fading"},
          {[](auto& m) { return m.StopAll(), m.IsBGMEnabled() + m.IsSEEnabled() + m.IsVoiceEnabled(); }, 3,
           -1, "", "-|-|-|-|-|-"},
          // The suspended names went too; the volumes stay.
          {[](auto& m) { return m.ResumeLoopSE(), m.PlayBGM("bgm05", 1); }, 1, 500, "bgm05 -650 loop"}}},
    };
    for (const Scenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.name);
        Run(scenario);
    }
}

TEST_F(Channels, ALoadThatFailsClosesTheEntryItOpened) {
    ASSERT_TRUE(Start());
    const long before = OpenFileCount();
    // Entries whose bytes are no sound: the archive opens them, the device refuses them.
    EXPECT_EQ(sm().PlayBGM("broken", 1) + sm().PlaySE("sebroken", 0) + sm().PlayLoopSE("sebroken", 1) +
                  sm().FadeInLoopSE("sebroken", 5, 1) + sm().CrossFadeBGM("broken", 5, 1) +
                  sm().FadeInBGM("broken", 5, 1),
              0);
    sm().PlayVoice("nosuch");
    EXPECT_EQ(OpenFileCount(), before);
    EXPECT_EQ(Mix(), "");
    // A device that cannot make the buffer fails the same way.
    pt::FailSoundCall(pt::SoundCall::CreateBuffer);
    EXPECT_EQ(sm().PlaySE("Se001", 0), 0);
    EXPECT_EQ(OpenFileCount(), before);
    EXPECT_EQ(sm().PlaySE("Se001", 0), 1);
    EXPECT_EQ(OpenFileCount(), before + 1);
    sm().StopSE();
    EXPECT_EQ(OpenFileCount(), before);
}
} // namespace
