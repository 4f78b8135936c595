// Fades in and out, the cross-fade, and what switching classes does to them, read from the mixer's
// buffer volumes at chosen clock times.
#include "tests/sound/SoundTestSupport.h"

#include "sound/SoundManagerFade.h"

using namespace soundtest;

namespace {
TEST(FadeVolumeTable, MeetsTheSettingsLevelsAndEndsFortyDecibelsDown) {
    for (int level = 1; level <= 4; ++level)
        EXPECT_EQ(FadeVolumeTable[(4 - level) * 16], g_VolumeLevelTable[level]);
    EXPECT_EQ(FadeVolumeTable[63], -4000);
    for (int step = 1; step < 64; ++step)
        EXPECT_LT(FadeVolumeTable[step], FadeVolumeTable[step - 1]);
}

using Fades = SoundManagerTest;

int PlayBgm03(CSoundManager& m) {
    return m.PlayBGM("bgm03", 1);
}
int StopBgm(CSoundManager& m) {
    return m.StopBGM(), -1;
}
int FinishFade(CSoundManager& m) {
    return m.FinishFade(), -1;
}
Call Enable(void (CSoundManager::*set)(int), int on) {
    return [=](CSoundManager& m) { return (m.*set)(on), -1; };
}
Call Volume(void (CSoundManager::*set)(LONG), LONG volume) {
    return [=](CSoundManager& m) { return (m.*set)(volume), -1; };
}
const std::string kNoNames = "-|-|-|-|-|-";

TEST_F(Fades, FadesStepThroughTheTableOnTheClock) {
    const Scenario scenarios[] = {
        {"FadeInRisesThroughTheTableToTheStoredVolume",
         {3, 4, 4},
         {{[](auto& m) { return m.FadeInBGM("bgm03", 2, 1); }, 1, -1, "bgm03 -4000 loop fading"},
          // Steps in the millisecond of the start change nothing.
          {nullptr, -1, 0, "bgm03 -4000 loop fading"},
          {nullptr, -1, 0, "bgm03 -4000 loop fading"},
          {nullptr, -1, 100, "bgm03 -1444 loop fading"}, // half way: step 63 - trunc(47 x 0.5) = 40
          {nullptr, -1, 50, "bgm03 -986 loop fading"},   // step 63 - trunc(47 x 0.75) = 28
          {nullptr, -1, 60, "bgm03 -650 loop"},
          // While any fade runs a fade-in is refused.
          {[](auto& m) { return m.FadeOutBGM(10); }, 1, -1, "bgm03 -650 loop fading"},
          {[](auto& m) { return m.FadeInBGM("bgm05", 2, 1); }, 0, -1, "bgm03 -650 loop fading"}}},
        {"FadeOutFallsFromTheLevelsStepAndFreesTheMusic",
         {},
         {{PlayBgm03, 1, -1, "bgm03 0 loop"},
          // A fade-out starts from the level's step, whatever the volume; nothing is applied at the start.
          {Volume(&CSoundManager::SetBGMVolume, -1100), -1, -1, "bgm03 -1100 loop"},
          {[](auto& m) { return m.FadeOutBGM(10); }, 1, 0, "bgm03 -1100 loop fading"},
          {nullptr, -1, 500, "bgm03 -1071 loop fading"}, // step 31
          {nullptr, -1, 499, "bgm03 -2920 loop fading"}, // the last step before the end is 62
          {nullptr, -1, 1, "", kNoNames},
          {[](auto& m) { return m.FadeOutBGM(10); }, 0, -1, ""}}},
        {"CrossFadeMovesBothPiecesOnOneStepAndHandsBToA",
         {},
         {{PlayBgm03, 1, -1, "bgm03 0 loop"},
          {[](auto& m) { return m.CrossFadeBGM("bgm05", 10, 1); }, 1, -1,
           "bgm03 0 loop, bgm05 -4000 loop fading", "bgm05|-|-|-|-|-"},
          {[](auto& m) { return m.FadeOutBGM(10); }, 0, -1, "*"},          // refused while B holds music
          {nullptr, -1, 500, "bgm03 -1071 loop, bgm05 -1100 loop fading"}, // A at step 31, B at 32
          {nullptr, -1, 250, "bgm03 -1754 loop, bgm05 -650 loop fading"},  // 47 and 63 - 47 = 16
          {nullptr, -1, 250, "bgm05 0 loop", "bgm05|-|-|-|-|-"},
          // The new piece is BGM A now: stopping it stops the music.
          {StopBgm, -1, -1, ""}}},
        {"CrossFadeOverNoTimeSwapsAtTheFirstStepThatSeesTime",
         {},
         {{PlayBgm03, 1, -1, "bgm03 0 loop"},
          {[](auto& m) { return m.CrossFadeBGM("bgm05", 0, 1); }, 1, 0,
           "bgm03 0 loop, bgm05 -4000 loop fading"},
          {nullptr, -1, 1, "bgm05 0 loop"}}},
        {"CrossFadeToAMissingPieceLeavesTheMusicAsItWas",
         {},
         {{PlayBgm03, 1, -1, "bgm03 0 loop"},
          {[](auto& m) { return m.CrossFadeBGM("nosuch", 10, 1); }, 0, 500, "bgm03 0 loop",
           "bgm03|-|-|-|-|-"},
          // Without music a cross-fade is a fade-in of BGM A.
          {StopBgm, -1, -1, ""},
          {[](auto& m) { return m.CrossFadeBGM("bgm05", 2, 0); }, 1, -1, "bgm05 -4000 loop fading"},
          {nullptr, -1, 200, "bgm05 0 loop"}}},
        {"ANewCrossFadeCompletesTheRunningOne",
         {},
         {{PlayBgm03, 1, -1, "bgm03 0 loop"},
          {[](auto& m) { return m.CrossFadeBGM("bgm05", 10, 1); }, 1, 300, "*"},
          // The first ends at once: bgm05 is BGM A at full volume, bgm03 comes in anew on B.
          {[](auto& m) { return m.CrossFadeBGM("bgm03", 10, 1); }, 1, -1,
           "bgm05 0 loop, bgm03 -4000 loop fading"},
          {nullptr, -1, 1000, "bgm03 0 loop"}}},
        {"LoopSEFadesUseTheSELevel",
         {4, 2, 4},
         {{[](auto& m) { return m.FadeInLoopSE("sl_rain", 4, 1); }, 1, -1, "sl_rain -4000 loop fading"},
          {nullptr, -1, 200, "sl_rain -1800 loop fading"}, // range 63 - 32 = 31: step 63 - 15 = 48
          {nullptr, -1, 200, "sl_rain -1100 loop"},
          {[](auto& m) { return m.PlayLoopSE("sl_wind", 1); }, 1, -1,
           "sl_rain -1100 loop, sl_wind -1100 loop"},
          {[](auto& m) { return m.FadeOutLoopSE("SL_WIND", 4); }, 1, -1, "*"},
          // A name on neither channel starts nothing and leaves the running fade alone.
          {[](auto& m) { return m.FadeOutLoopSE("sl_fire", 1); }, 1, 200,
           "sl_rain -1100 loop, sl_wind -1754 loop fading"}, // step 32 + trunc(31 x 0.5) = 47
          {nullptr, -1, 200, "sl_rain -1100 loop", "-|sl_rain|-|-|-|-"}}},
        {"AFadeStartedWhileAnotherRunsCompletesTheFirst",
         {},
         {{PlayBgm03, 1, -1, "bgm03 0 loop"},
          {[](auto& m) { return m.FadeOutBGM(10); }, 1, 500, "bgm03 -1071 loop fading"},
          // The music's fade-out ends now; the record then serves the effect alone.
          {[](auto& m) { return m.FadeInLoopSE("sl_rain", 2, 1); }, 1, -1, "sl_rain -4000 loop fading",
           "-|sl_rain|-|-|-|-"},
          {nullptr, -1, 100, "sl_rain -1100 loop fading"}, // step 63 - 31 = 32
          {nullptr, -1, 100, "sl_rain 0 loop"},
          // A fade-in interrupted by a fade-out elsewhere reaches its volume at once.
          {[](auto& m) { return m.PlayBGM("bgm05", 1); }, 1, -1, "sl_rain 0 loop, bgm05 0 loop"},
          {[](auto& m) { return m.StopLoopSE(nullptr), m.FadeInLoopSE("sl_wind", 10, 1); }, 1, 100, "*"},
          {[](auto& m) { return m.FadeOutBGM(10); }, 1, -1, "bgm05 0 loop, sl_wind 0 loop fading"},
          {nullptr, -1, 1000, "sl_wind 0 loop"},
          // A second fade-out of the same effect: the first ends it, the second has nothing to fade.
          {[](auto& m) { return m.FadeOutLoopSE("sl_wind", 10); }, 1, 100, "*"},
          {[](auto& m) { return m.FadeOutLoopSE("sl_wind", 10); }, 1, -1, ""}}},
        {"FinishFadeCompletesAtOnce",
         {2, 4, 4},
         {{FinishFade, -1, -1, ""}, // nothing runs: nothing happens
          {[](auto& m) { return m.FadeInBGM("bgm03", 50, 1); }, 1, 100, "*"},
          {FinishFade, -1, -1, "bgm03 -1100 loop"},
          {[](auto& m) { return m.FadeOutBGM(50); }, 1, -1, "bgm03 -1100 loop fading"},
          {FinishFade, -1, -1, "", kNoNames}}},
        {"BGMVolumeIsIgnoredWhileAFadeRuns",
         {},
         {{[](auto& m) { return m.FadeInBGM("bgm03", 2, 1); }, 1, -1, "bgm03 -4000 loop fading"},
          {[](auto& m) { return m.SetBGMVolume(-1800), static_cast<int>(m.GetBGMVolume()); }, 0, -1, "*"},
          {[](auto& m) { return m.SetBGMVolume(-10000), m.IsBGMEnabled(); }, 1, 200, "bgm03 0 loop"},
          {Volume(&CSoundManager::SetBGMVolume, -1800), -1, -1, "bgm03 -1800 loop"}}},
        {"SwitchingSEOffDuringAFadeEndsThatFade",
         {},
         {{[](auto& m) { return m.FadeInLoopSE("sl_rain", 10, 1); }, 1, 300, "*"},
          {Volume(&CSoundManager::SetSEVolume, -10000), -1, -1, ""},
          {nullptr, -1, 2000, "", "-|sl_rain|-|-|-|-"},
          {Volume(&CSoundManager::SetSEVolume, -650), -1, -1, "sl_rain -650 loop"},
          // Switched off while fading out, the effect is gone for good.
          {[](auto& m) { return m.FadeOutLoopSE("sl_rain", 10); }, 1, 300, "*"},
          {Enable(&CSoundManager::SetSEEnable, 0), -1, -1, ""},
          {Enable(&CSoundManager::SetSEEnable, 1), -1, -1, "", kNoNames}}},
        {"SwitchingMusicOffDuringFadesKeepsWhatTheScriptAskedFor",
         {},
         // During a fade-in: the piece is remembered and comes back at the music volume.
         {{[](auto& m) { return m.FadeInBGM("bgm03", 10, 1); }, 1, 300, "*"},
          {Enable(&CSoundManager::SetBGMEnable, 0), -1, 1000, ""},
          {Enable(&CSoundManager::SetBGMEnable, 1), -1, -1, "bgm03 0 loop"},
          // During a cross-fade: the incoming piece is the one remembered.
          {[](auto& m) { return m.CrossFadeBGM("bgm05", 10, 1); }, 1, 300, "*"},
          {Enable(&CSoundManager::SetBGMEnable, 0), -1, -1, "", "bgm05|-|-|-|-|-"},
          {Enable(&CSoundManager::SetBGMEnable, 1), -1, -1, "bgm05 0 loop"},
          // During a fade-out: the music is over and stays so.
          {[](auto& m) { return m.FadeOutBGM(10); }, 1, 300, "*"},
          {Enable(&CSoundManager::SetBGMEnable, 0), -1, -1, ""},
          {Enable(&CSoundManager::SetBGMEnable, 1), -1, -1, "", kNoNames}}},
        {"StoppingTheChannelsEndsTheirFades",
         {},
         {{PlayBgm03, 1, -1, "bgm03 0 loop"},
          {[](auto& m) { return m.CrossFadeBGM("bgm05", 10, 1); }, 1, 200, "*"},
          {StopBgm, -1, -1, "", kNoNames},
          {[](auto& m) { return m.FadeInLoopSE("sl_rain", 10, 1); }, 1, -1, "sl_rain -4000 loop fading"},
          {[](auto& m) { return m.StopLoopSE("sl_rain"), -1; }, -1, -1, ""},
          // An effect that ends by itself during its fade-in takes the fade with it.
          {[](auto& m) { return m.FadeInLoopSE("sl_rain", 20, 0); }, 1, 300, "*"},
          {nullptr, -1, 300, ""},
          {nullptr, -1, 2000, ""}}},
        {"LevelZeroAndOddDurationsStayInsideTheTable",
         {0, 4, 4},
         // Switched on while its level is 0, the music fades towards one step past the table.
         {{[](auto& m) { return m.SetBGMEnable(1), m.FadeInBGM("bgm03", 2, 1); }, 1, 100,
           "bgm03 -4000 loop fading"},
          {nullptr, -1, 100, "bgm03 -10000 loop"}, // the stored volume of level 0
          {[](auto& m) { return m.FadeOutBGM(2); }, 1, 150, "*"},
          {nullptr, -1, 50, ""},
          // A negative duration ends the fade at its first step, as a zero one does.
          {[](auto& m) { return m.FadeInLoopSE("sl_rain", -3, 1); }, 1, -1, "sl_rain -4000 loop fading"},
          {nullptr, -1, 1, "sl_rain 0 loop"}}},
    };
    for (const Scenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.name);
        Run(scenario);
    }
}
} // namespace
