// Host command group 20 in a running scene: what each command leaves on the sound manager's channels
// and in the mixer.
#include "SceneTestSupport.h"

#include "sound/SoundManager.h"
#include "text/MessageWindow.h"

#include <map>

namespace scene_test {
namespace {
struct SoundStep {
    const char* command;
    const char* bgm; // channel names after the command's frame ("" none)
    const char* loopSE;
    const char* voice;
    bool fading;
    bool skipping = false; // while the command runs: voices stay silent, music starts without a fade
    const char* lineVoice = nullptr; // the voice name the message window keeps for the line, when checked
};

const SoundStep kSteps[] = {
    {R"(cmd 20, 0, "bgm01", =1)", "bgm01", "", "", false},
    {R"(cmd 20, 2, "rain", =1)", "bgm01", "rain", "", false},
    {"cmd 20, 14, =2, =7", "bgm01", "rain", "ao0007", false},
    {R"(cmd 20, 4, "v0001")", "bgm01", "rain", "v0001", false},
    // A name longer than any entry's plays nothing; the window keeps what fits its field.
    {R"(cmd 20, 4, "v0002_a_voice_name_longer_than_the_window_keeps")", "bgm01", "rain", "v0001", false,
     false, "v0002_a_voice_name_longer_than_"},
    {"cmd 20, 5", "bgm01", "rain", "", false},
    {R"(cmd 20, 3, "rain")", "bgm01", "", "", false},
    {R"(cmd 20, 13, "bgm02", =5, =1)", "bgm02", "", "", true},
    {"cmd 20, 1", "", "", "", false},
    {R"(cmd 20, 4, "v0001")", "", "", "", false, true},
    {R"(cmd 20, 9, "bgm01", =1, =5)", "bgm01", "", "", false, true},
    {"cmd 20, 1", "", "", "", false, true},
    {R"(cmd 20, 9, "bgm01", =1, =5)", "bgm01", "", "", true},
    {R"(cmd 20, 10, "bgm01", =5)", "bgm01", "", "", true},
    // One fade at a time: the new one ends the music's fade-out.
    {R"(cmd 20, 11, "rain", =1, =5)", "", "rain", "", true},
    {R"(cmd 20, 0, "nosuch", =1)", "", "rain", "", true}, // an unknown ID plays nothing
    {R"(cmd 20, 12, "rain", =5)", "", "rain", "", true},
};

const std::map<std::string, DWORD> kRates = {
    {"bgm01", kBgm01}, {"bgm02", kBgm02}, {"rain", kRain}, {"v0001", kVoice1}, {"ao0007", kVoiceAo7}};

std::string Name(char* (CSoundManager::*getter)(char*)) {
    char buffer[CSoundManager::kNameSize] = "";
    (g_pSoundManager->*getter)(buffer);
    return buffer;
}

TEST_F(SceneTest, SoundCommandsDriveTheChannels) {
    std::string script = ".block main\n";
    for (const SoundStep& step : kSteps)
        script += std::string(" ") + step.command + "\n";
    Play(script + " host 99, 0\n");
    for (const SoundStep& step : kSteps) {
        SCOPED_TRACE(step.command);
        SetSkipMode(step.skipping ? 1 : 0);
        Frame(10);
        EXPECT_EQ(Name(&CSoundManager::GetBGMName), step.bgm);
        EXPECT_EQ(Name(&CSoundManager::GetLoopSEName1), step.loopSE);
        EXPECT_EQ(Name(&CSoundManager::GetVoiceName), step.voice);
        EXPECT_EQ(g_pSoundManager->IsFading() != 0, step.fading);
        if (step.lineVoice) {
            EXPECT_STREQ(scene->GetMessageWindow()->GetVoiceName(), step.lineVoice);
        }
        for (const char* name : {step.bgm, step.loopSE, step.voice})
            EXPECT_TRUE(!*name || Playing(kRates.at(name))) << name;
    }
    EXPECT_EQ(Log(), "");
}

} // namespace
} // namespace scene_test
