#include "ScreenTestFixture.h"

#include "screens/ConfigPanel.h"

namespace screens_test {
namespace {
using V = ConfigValues;
constexpr ConfigValues kOpening = {2, 2, 2, 1, 0, 0, 0}; // BGM, SE, voice, effect, window, text, movie

class ConfigPanelTest : public ScreenFixture {
  protected:
    // Music and a looping effect play when the panel opens.
    void Open(ConfigValues values = kOpening, bool windowed = true) {
        Start({pt::DisplayFormat::Xrgb32, windowed, values});
        g_pSoundManager->PlayBGM("bgm01", 1);
        g_pSoundManager->PlayLoopSE("sl_rain", 1);
    }
};

// Each option clicked at (x, y), or chosen by keys; its art then shows from the sheet at (artX, artY).
struct ControlRow {
    const char* name;
    int x, y, ConfigValues::*field, opening, expected;
    const char* sound; // whose live volume shows the change (1: it does not play)
    LONG volume;
    int artX, artY;
    bool loopPlays;
    std::vector<UINT> keys = {};
};
constexpr UINT L = VK_LEFT, R = VK_RIGHT, U = VK_UP, D = VK_DOWN;
const ControlRow kControls[] = {
    {"voice_off", 185, 70, &V::VoiceSwitch, 2, 0, "svo0009", 1, 0, 72, true},
    {"voice_1", 235, 70, &V::VoiceSwitch, 2, 1, "svo0009", -1800, 46, 72, true},
    {"voice_2", 285, 70, &V::VoiceSwitch, 4, 2, "svo0009", -1100, 92, 72, true},
    {"voice_3", 335, 70, &V::VoiceSwitch, 2, 3, "svo0009", -650, 138, 72, true},
    {"voice_4", 385, 70, &V::VoiceSwitch, 2, 4, "svo0009", 0, 184, 72, true},
    {"bgm_off", 213, 128, &V::BgmSwitch, 2, 0, "bgm01", 1, 0, 96, true},
    {"bgm_1", 263, 128, &V::BgmSwitch, 2, 1, "bgm01", -1800, 46, 96, true},
    {"bgm_2", 313, 128, &V::BgmSwitch, 0, 2, "bgm01", -1100, 92, 96, true},
    {"bgm_3", 363, 128, &V::BgmSwitch, 2, 3, "bgm01", -650, 138, 96, true},
    {"bgm_4", 413, 128, &V::BgmSwitch, 2, 4, "bgm01", 0, 184, 96, true},
    {"se_off", 247, 188, &V::SESwitch, 2, 0, "Se001", 1, 0, 120, false},
    {"se_1", 297, 188, &V::SESwitch, 2, 1, "Se001", -1800, 46, 120, true},
    {"se_2", 347, 188, &V::SESwitch, 4, 2, "Se001", -1100, 92, 120, true},
    {"se_3", 397, 188, &V::SESwitch, 2, 3, "Se001", -650, 138, 120, true},
    {"se_4", 447, 188, &V::SESwitch, 2, 4, "Se001", 0, 184, 120, true},
    {"effect_on", 257, 246, &V::EffectSwitch, 0, 1, "Se001", -1100, 0, 192, false},
    {"effect_off", 367, 246, &V::EffectSwitch, 1, 0, "Se001", -1100, 82, 192, false},
    {"full_screen", 237, 306, &V::WindowMode, 0, 1, "Se001", -1100, 0, 216, false},
    {"windowed", 347, 306, &V::WindowMode, 1, 0, "Se001", -1100, 82, 216, false},
    {"text_slow", 246, 364, &V::TextSpeed, 1, 0, "Se001", -1100, 164, 192, false},
    {"text_fast", 345, 364, &V::TextSpeed, 0, 1, "Se001", -1100, 164, 216, false},
    {"key_left_wraps", 385, 70, &V::VoiceSwitch, 0, 4, "svo0009", 0, 184, 72, true, {D, L}},
    {"key_down_level", 297, 188, &V::SESwitch, 2, 1, "Se001", -1800, 46, 120, true, {D, L, D, D, L}},
    {"key_pair_silent", 367, 246, &V::EffectSwitch, 1, 0, "Se001", 1, 82, 192, true, {U, U, U, U, U, L}},
};

TEST_F(ConfigPanelTest, EachOptionChangesItsSettingShowsItAndPreviewsTheSound) {
    for (const ControlRow& row : kControls) {
        SCOPED_TRACE(row.name);
        ConfigValues opening = kOpening;
        opening.*row.field = row.opening;
        Open(opening);
        CConfigPanel panel;
        Silence();
        if (row.keys.empty()) Click(panel, row.x, row.y);
        for (UINT vk : row.keys)
            Key(panel, vk);
        Frame(panel);
        EXPECT_EQ(panel.GetEditedValues().*row.field, row.expected);
        EXPECT_EQ(g_pConfig->GetValues()->*row.field, row.opening) << "only OK stores";
        EXPECT_EQ(VolumeOf(row.sound), row.volume);
        EXPECT_EQ(Playing("sl_rain"), row.loopPlays);
        EXPECT_EQ(At(row.x - 3, row.y - 4), SheetAt(row.artX + 2, row.artY + 2));
    }
}

struct CancelRow {
    const char* name;
    ConfigValues opening;
    std::vector<POINT> clicks;
    LONG music; // 1: stopped
    int seOn;
};
const CancelRow kCancels[] = {
    {"se_off_comes_back_on", kOpening, {{247, 188}}, -1100, 1},
    {"music_off_starts_again", kOpening, {{213, 128}}, -1100, 1},
    {"music_on_goes_off_again", {0, 2, 2, 1, 0, 0, 0}, {{363, 128}}, 1, 1},
    {"se_off_stays_off", {2, 0, 2, 1, 0, 0, 0}, {{447, 188}}, -1100, 0},
};

TEST_F(ConfigPanelTest, CancelPutsTheSoundBackAndStoresNothing) {
    for (const CancelRow& row : kCancels) {
        SCOPED_TRACE(row.name);
        Open(row.opening);
        CConfigPanel panel;
        for (POINT p : row.clicks)
            Click(panel, p.x, p.y);
        ASSERT_TRUE(fixtures::WriteFileText(IniPath(), "untouched"));
        Silence();
        Click(panel, 580, 440);
        EXPECT_EQ(panel.GetResult(), 2);
        EXPECT_EQ(VolumeOf("bgm01"), row.music);
        EXPECT_EQ(VolumeOf("Se002"), row.seOn ? -1100 : 1);
        EXPECT_EQ(fixtures::ReadFileText(IniPath()), "untouched");
        EXPECT_TRUE(Posted(UM_REPAINT, 0)) << "the cursor is refreshed";
    }
}

struct OkRow {
    const char* name;
    int windowMode; // the setting at opening
    bool windowed;  // the display
    std::vector<POINT> clicks;
    bool switches;
};
const OkRow kOks[] = {
    {"nothing_changed", 0, true, {}, false},
    {"text_speed_and_effects", 0, true, {{345, 364}, {367, 246}}, false},
    {"full_screen_from_windowed", 0, true, {{237, 306}}, true},
    {"windowed_from_full_screen", 1, false, {{347, 306}}, true},
    // Alt+Enter switched the display but not the setting: the display already shows the mode chosen.
    {"full_screen_while_already_full", 0, false, {{237, 306}}, false},
    {"window_mode_changed_and_back", 0, true, {{237, 306}, {347, 306}}, false},
};

TEST_F(ConfigPanelTest, OkWritesTheSettingsAndSwitchesTheDisplayOnlyWhenNeeded) {
    for (const OkRow& row : kOks) {
        SCOPED_TRACE(row.name);
        ConfigValues opening = kOpening;
        opening.WindowMode = row.windowMode;
        Open(opening, row.windowed);
        CConfigPanel panel;
        for (POINT p : row.clicks)
            Click(panel, p.x, p.y);
        const ConfigValues edited = panel.GetEditedValues();
        const bool changed = SettingsIni("", edited) != SettingsIni("", opening);
        // Unchanged settings are not written at all: an empty file stays empty.
        ASSERT_TRUE(
            fixtures::WriteFileText(IniPath(), changed ? SettingsIni(dir.ProgramPath(), opening) : ""));
        Click(panel, 580, 390);
        EXPECT_EQ(panel.GetResult(), 1);
        EXPECT_TRUE(Playing("Se004") && !Playing("sl_rain")) << "OK sounds and stops the looping effects";
        EXPECT_EQ(fixtures::ReadFileText(IniPath()), changed ? SettingsIni(dir.ProgramPath(), edited) : "");
        EXPECT_EQ(SettingsIni("", *g_pConfig->GetValues()), SettingsIni("", edited));
        EXPECT_EQ(g_pScreen->GetEffectEnable(), edited.EffectSwitch);
        EXPECT_EQ(Posted(UM_TOGGLESCREEN, 13), row.switches);
    }
}
} // namespace
} // namespace screens_test
