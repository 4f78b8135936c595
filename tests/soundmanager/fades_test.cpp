// Fades in and out, the cross-fade, and what switching classes does to them, read from the mixer's
// buffer volumes at chosen clock times.
#include "SoundManagerFixture.h"

#include "platform/testing_sound.h"
#include "sound/SoundManagerFade.h"

using namespace soundtest;

namespace {
class Fades : public SoundManagerTest {};
} // namespace

TEST(FadeVolumeTable, MeetsTheSettingsLevelsAndEndsFortyDecibelsDown) {
    for (int level = 1; level <= 4; ++level)
        EXPECT_EQ(FadeVolumeTable[(4 - level) * 16], g_VolumeLevelTable[level]);
    EXPECT_EQ(FadeVolumeTable[63], -4000);
    EXPECT_EQ(FadeVolumeTable[62], -2920);
    EXPECT_EQ(FadeVolumeTable[15], -605);
    for (int step = 1; step < 64; ++step)
        EXPECT_LT(FadeVolumeTable[step], FadeVolumeTable[step - 1]);
}

TEST_F(Fades, FadeInRisesThroughTheTableToTheStoredVolume) {
    Start({3, 4, 4});
    ASSERT_EQ(sm().FadeInBGM("bgm03", 2, 1), 1);
    EXPECT_TRUE(sm().IsFading());
    EXPECT_TRUE(Playing(kBgm03));
    EXPECT_EQ(VolumeOf(kBgm03), -4000);
    // Steps in the millisecond of the start change nothing.
    Frame(0);
    Frame(0);
    EXPECT_EQ(VolumeOf(kBgm03), -4000);
    Frame(100); // half way: step 63 - trunc(47 x 0.5) = 40
    EXPECT_EQ(VolumeOf(kBgm03), -1444);
    Frame(50); // step 63 - trunc(47 x 0.75) = 28
    EXPECT_EQ(VolumeOf(kBgm03), -986);
    EXPECT_TRUE(sm().IsFading());
    Frame(60);
    EXPECT_EQ(VolumeOf(kBgm03), -650);
    EXPECT_FALSE(sm().IsFading());
    // While any fade runs a fade-in is refused.
    sm().FadeOutBGM(10);
    EXPECT_EQ(sm().FadeInBGM("bgm05", 2, 1), 0);
}

TEST_F(Fades, FadeOutFallsFromTheLevelsStepAndFreesTheMusic) {
    Start();
    sm().PlayBGM("bgm03", 1);
    sm().SetBGMVolume(-1100); // a fade-out starts from the level's step, whatever the volume
    ASSERT_EQ(sm().FadeOutBGM(10), 1);
    EXPECT_EQ(VolumeOf(kBgm03), -1100); // nothing applied at the start
    Frame(500);
    EXPECT_EQ(VolumeOf(kBgm03), -1071); // step 31
    Frame(499);
    EXPECT_EQ(VolumeOf(kBgm03), -2920); // the last step before the end is 62
    Frame(1);
    EXPECT_FALSE(sm().IsFading());
    EXPECT_FALSE(Buffer(kBgm03));
    EXPECT_EQ(sm().GetChannelSlot(SOUND_CHANNEL_BGM_A), CSoundManager::kSlotNone);
    EXPECT_EQ(sm().GetBGMName(nullptr), nullptr);
    EXPECT_EQ(sm().FadeOutBGM(10), 0); // nothing left to fade
}

TEST_F(Fades, CrossFadeMovesBothPiecesOnOneStepAndHandsBToA) {
    Start();
    sm().PlayBGM("bgm03", 1);
    const DWORD oldA = sm().GetChannelSlot(SOUND_CHANNEL_BGM_A);
    ASSERT_EQ(sm().CrossFadeBGM("bgm05", 10, 1), 1);
    EXPECT_TRUE(sm().IsFading());
    EXPECT_EQ(VolumeOf(kBgm05), -4000);
    EXPECT_EQ(Name(&CSoundManager::GetBGMName), "bgm05");
    EXPECT_EQ(sm().FadeOutBGM(10), 0); // refused while B holds music
    const DWORD slotB = sm().GetChannelSlot(SOUND_CHANNEL_BGM_B);
    ASSERT_NE(slotB, CSoundManager::kSlotNone);
    Frame(500);
    EXPECT_EQ(VolumeOf(kBgm03), -1071); // A at step 31
    EXPECT_EQ(VolumeOf(kBgm05), -1100); // B at step 32
    Frame(250);
    EXPECT_EQ(VolumeOf(kBgm03), -1754); // trunc(63 x 0.75) = 47
    EXPECT_EQ(VolumeOf(kBgm05), -650);  // 63 - 47 = 16
    Frame(250);
    EXPECT_FALSE(sm().IsFading());
    EXPECT_FALSE(Buffer(kBgm03));
    EXPECT_TRUE(Playing(kBgm05));
    EXPECT_EQ(VolumeOf(kBgm05), 0);
    EXPECT_EQ(sm().GetChannelSlot(SOUND_CHANNEL_BGM_A), slotB);
    EXPECT_EQ(sm().GetChannelSlot(SOUND_CHANNEL_BGM_B), CSoundManager::kSlotNone);
    EXPECT_NE(slotB, oldA);
    EXPECT_EQ(Name(&CSoundManager::GetBGMName), "bgm05");
    // The new piece is BGM A now: stopping it stops the music.
    sm().StopBGM();
    EXPECT_FALSE(Buffer(kBgm05));
}

TEST_F(Fades, CrossFadeOverNoTimeSwapsAtTheFirstStepThatSeesTime) {
    Start();
    sm().PlayBGM("bgm03", 1);
    ASSERT_EQ(sm().CrossFadeBGM("bgm05", 0, 1), 1);
    Frame(0);
    EXPECT_TRUE(sm().IsFading());
    EXPECT_TRUE(Buffer(kBgm03));
    Frame(1);
    EXPECT_FALSE(sm().IsFading());
    EXPECT_FALSE(Buffer(kBgm03));
    EXPECT_EQ(VolumeOf(kBgm05), 0);
}

TEST_F(Fades, CrossFadeToAMissingPieceLeavesTheMusicAsItWas) {
    Start();
    sm().PlayBGM("bgm03", 1);
    EXPECT_EQ(sm().CrossFadeBGM("nosuch", 10, 1), 0);
    EXPECT_FALSE(sm().IsFading());
    EXPECT_EQ(Name(&CSoundManager::GetBGMName), "bgm03");
    Frame(500);
    EXPECT_EQ(VolumeOf(kBgm03), 0);
    // Without music a cross-fade is a fade-in of BGM A.
    sm().StopBGM();
    ASSERT_EQ(sm().CrossFadeBGM("bgm05", 2, 0), 1);
    EXPECT_EQ(VolumeOf(kBgm05), -4000);
    Frame(200);
    EXPECT_EQ(VolumeOf(kBgm05), 0);
    EXPECT_EQ(sm().GetChannelSlot(SOUND_CHANNEL_BGM_B), CSoundManager::kSlotNone);
}

TEST_F(Fades, ANewCrossFadeCompletesTheRunningOne) {
    Start();
    sm().PlayBGM("bgm03", 1);
    sm().CrossFadeBGM("bgm05", 10, 1);
    Frame(300);
    ASSERT_EQ(sm().CrossFadeBGM("bgm03", 10, 1), 1);
    // The first ended at once: bgm05 is BGM A at full volume, bgm03 comes in again on B.
    EXPECT_EQ(VolumeOf(kBgm05), 0);
    EXPECT_EQ(VolumeOf(kBgm03), -4000);
    EXPECT_EQ(Buffer(kBgm03)->playCursor, 0u);
    Frame(1000);
    EXPECT_FALSE(Buffer(kBgm05));
    EXPECT_EQ(VolumeOf(kBgm03), 0);
}

TEST_F(Fades, LoopSEFadesUseTheSELevel) {
    Start({4, 2, 4});
    ASSERT_EQ(sm().FadeInLoopSE("sl_rain", 4, 1), 1);
    EXPECT_EQ(VolumeOf(kLoopA), -4000);
    EXPECT_TRUE(Buffer(kLoopA)->looping);
    Frame(200); // range 63 - 32 = 31: step 63 - 15 = 48
    EXPECT_EQ(VolumeOf(kLoopA), -1800);
    Frame(200);
    EXPECT_EQ(VolumeOf(kLoopA), -1100);
    EXPECT_FALSE(sm().IsFading());

    // A name on neither channel starts nothing and leaves a running fade alone.
    sm().PlayLoopSE("sl_wind", 1);
    ASSERT_EQ(sm().FadeOutLoopSE("SL_WIND", 4), 1);
    EXPECT_EQ(sm().FadeOutLoopSE("sl_fire", 1), 1);
    Frame(200);
    EXPECT_EQ(VolumeOf(kLoopB), -1754); // step 32 + trunc(31 x 0.5) = 47
    Frame(200);
    EXPECT_FALSE(Buffer(kLoopB));
    EXPECT_EQ(Name(&CSoundManager::GetLoopSEName2), "<null>");
    EXPECT_TRUE(Playing(kLoopA));
}

TEST_F(Fades, AFadeStartedWhileAnotherRunsCompletesTheFirst) {
    Start();
    sm().PlayBGM("bgm03", 1);
    ASSERT_EQ(sm().FadeOutBGM(10), 1);
    Frame(500);
    EXPECT_EQ(VolumeOf(kBgm03), -1071);
    // The music's fade-out ends now; the record then serves the effect alone.
    ASSERT_EQ(sm().FadeInLoopSE("sl_rain", 2, 1), 1);
    EXPECT_FALSE(Buffer(kBgm03));
    EXPECT_EQ(sm().GetBGMName(nullptr), nullptr);
    EXPECT_EQ(VolumeOf(kLoopA), -4000);
    Frame(100);
    EXPECT_EQ(VolumeOf(kLoopA), -1100); // step 63 - 31 = 32
    Frame(100);
    EXPECT_EQ(VolumeOf(kLoopA), 0);
    EXPECT_FALSE(sm().IsFading());

    // A fade-in interrupted by a fade-out elsewhere reaches its volume at once.
    sm().PlayBGM("bgm05", 1);
    sm().StopLoopSE(nullptr);
    ASSERT_EQ(sm().FadeInLoopSE("sl_wind", 10, 1), 1);
    Frame(100);
    ASSERT_EQ(sm().FadeOutBGM(10), 1);
    EXPECT_EQ(VolumeOf(kLoopB), 0);
    Frame(1000);
    EXPECT_FALSE(Buffer(kBgm05));
    EXPECT_EQ(VolumeOf(kLoopB), 0);

    // A second fade-out of the same effect: the first ends it, the second has nothing to fade.
    ASSERT_EQ(sm().FadeOutLoopSE("sl_wind", 10), 1);
    Frame(100);
    EXPECT_EQ(sm().FadeOutLoopSE("sl_wind", 10), 1);
    EXPECT_FALSE(sm().IsFading());
    EXPECT_FALSE(Buffer(kLoopB));
}

TEST_F(Fades, FinishFadeCompletesAtOnce) {
    Start({2, 4, 4});
    sm().FinishFade(); // nothing runs: nothing happens
    sm().FadeInBGM("bgm03", 50, 1);
    Frame(100);
    sm().FinishFade();
    EXPECT_FALSE(sm().IsFading());
    EXPECT_EQ(VolumeOf(kBgm03), -1100);
    sm().FadeOutBGM(50);
    sm().FinishFade();
    EXPECT_FALSE(Buffer(kBgm03));
    EXPECT_EQ(sm().GetBGMName(nullptr), nullptr);
}

TEST_F(Fades, BGMVolumeIsIgnoredWhileAFadeRuns) {
    Start();
    sm().FadeInBGM("bgm03", 2, 1);
    sm().SetBGMVolume(-1800);
    EXPECT_EQ(sm().GetBGMVolume(), 0);
    sm().SetBGMVolume(-10000); // not even the switch-off
    EXPECT_TRUE(sm().IsBGMEnabled());
    Frame(200);
    EXPECT_EQ(VolumeOf(kBgm03), 0);
    sm().SetBGMVolume(-1800);
    EXPECT_EQ(VolumeOf(kBgm03), -1800);
}

TEST_F(Fades, SwitchingSEOffDuringAFadeEndsThatFade) {
    Start();
    sm().FadeInLoopSE("sl_rain", 10, 1);
    Frame(300);
    sm().SetSEVolume(-10000);
    EXPECT_FALSE(sm().IsFading());
    EXPECT_FALSE(Buffer(kLoopA));
    EXPECT_EQ(sm().GetChannelSlot(SOUND_CHANNEL_LOOPSE1), CSoundManager::kSlotNone);
    for (int i = 0; i < 20; ++i)
        Frame(100);
    EXPECT_EQ(Name(&CSoundManager::GetLoopSEName1), "sl_rain");
    sm().SetSEVolume(-650);
    EXPECT_TRUE(Playing(kLoopA));
    EXPECT_EQ(VolumeOf(kLoopA), -650);

    // Switched off while fading out, the effect is gone for good.
    sm().FadeOutLoopSE("sl_rain", 10);
    Frame(300);
    sm().SetSEEnable(0);
    EXPECT_FALSE(sm().IsFading());
    sm().SetSEEnable(1);
    EXPECT_FALSE(Buffer(kLoopA));
    EXPECT_EQ(sm().GetLoopSEName1(nullptr), nullptr);
}

TEST_F(Fades, SwitchingMusicOffDuringFadesKeepsWhatTheScriptAskedFor) {
    Start();
    // During a fade-in: the piece is remembered and comes back at the music volume.
    sm().FadeInBGM("bgm03", 10, 1);
    Frame(300);
    sm().SetBGMEnable(0);
    EXPECT_FALSE(sm().IsFading());
    EXPECT_FALSE(Buffer(kBgm03));
    Frame(1000);
    sm().SetBGMEnable(1);
    EXPECT_TRUE(Playing(kBgm03));
    EXPECT_EQ(VolumeOf(kBgm03), 0);

    // During a cross-fade: the incoming piece is the one remembered.
    sm().CrossFadeBGM("bgm05", 10, 1);
    Frame(300);
    sm().SetBGMEnable(0);
    EXPECT_FALSE(sm().IsFading());
    EXPECT_EQ(Name(&CSoundManager::GetBGMName), "bgm05");
    EXPECT_EQ(platform::testing::SoundBuffers().size(), 1u);
    sm().SetBGMEnable(1);
    EXPECT_TRUE(Playing(kBgm05));
    EXPECT_FALSE(Buffer(kBgm03));

    // During a fade-out: the music is over and stays so.
    sm().FadeOutBGM(10);
    Frame(300);
    sm().SetBGMEnable(0);
    EXPECT_FALSE(sm().IsFading());
    sm().SetBGMEnable(1);
    EXPECT_FALSE(Buffer(kBgm05));
    EXPECT_EQ(sm().GetBGMName(nullptr), nullptr);
}

TEST_F(Fades, StoppingTheChannelsEndsTheirFades) {
    Start();
    sm().PlayBGM("bgm03", 1);
    sm().CrossFadeBGM("bgm05", 10, 1);
    Frame(200);
    sm().StopBGM();
    EXPECT_FALSE(sm().IsFading());
    EXPECT_EQ(platform::testing::SoundBuffers().size(), 1u);
    EXPECT_EQ(sm().GetBGMName(nullptr), nullptr);

    sm().FadeInLoopSE("sl_rain", 10, 1);
    sm().StopLoopSE("sl_rain");
    EXPECT_FALSE(sm().IsFading());

    // An effect that ends by itself during its fade-in takes the fade with it.
    sm().FadeInLoopSE("sl_rain", 20, 0);
    Frame(300);
    EXPECT_TRUE(sm().IsFading());
    Frame(300);
    EXPECT_FALSE(sm().IsFading());
    EXPECT_EQ(sm().GetChannelSlot(SOUND_CHANNEL_LOOPSE1), CSoundManager::kSlotNone);
    Frame(2000);
    EXPECT_FALSE(Buffer(kLoopA));
}

TEST_F(Fades, LevelZeroAndOddDurationsStayInsideTheTable) {
    Start({0, 4, 4});
    // Switched on while its level is 0, the music fades towards one step past the table.
    sm().SetBGMEnable(1);
    ASSERT_EQ(sm().FadeInBGM("bgm03", 2, 1), 1);
    Frame(100);
    EXPECT_EQ(VolumeOf(kBgm03), -4000);
    Frame(100);
    EXPECT_FALSE(sm().IsFading());
    EXPECT_EQ(VolumeOf(kBgm03), -10000); // the stored volume of level 0
    ASSERT_EQ(sm().FadeOutBGM(2), 1);
    Frame(150);
    Frame(50);
    EXPECT_FALSE(sm().IsFading());
    EXPECT_FALSE(Buffer(kBgm03));

    // A negative duration ends the fade at its first step, as a zero one does.
    ASSERT_EQ(sm().FadeInLoopSE("sl_rain", -3, 1), 1);
    EXPECT_EQ(VolumeOf(kLoopA), -4000);
    Frame(1);
    EXPECT_FALSE(sm().IsFading());
    EXPECT_EQ(VolumeOf(kLoopA), 0);
}
