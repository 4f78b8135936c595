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
    {"key_right_wraps", 185, 70, &V::VoiceSwitch, 4, 0, "svo0009", 1, 0, 72, true, {D, R}},
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

// Clicks, then OK or Cancel. Cancel puts the sound back and stores nothing; OK stores, writes the
// settings file when anything changed, and switches the display when it is not in the mode chosen.
// The window row opens on the mode the display is in, which Alt+Enter may have made other than the
// setting's.
struct AnswerRow {
    const char* name;
    ConfigValues opening;
    bool windowed; // the display
    std::vector<POINT> clicks;
    int answer; // 1 OK, 2 Cancel
    LONG music; // 1: stopped
    bool switches = false;
};
constexpr POINT kAnswerAt[3] = {{}, {580, 390}, {580, 440}};
const AnswerRow kAnswers[] = {
    {"cancel_se_off_comes_back_on", kOpening, true, {{247, 188}}, 2, -1100},
    {"cancel_music_off_starts_again", kOpening, true, {{213, 128}}, 2, -1100},
    {"cancel_music_on_goes_off_again", {0, 2, 2, 1, 0, 0, 0}, true, {{363, 128}}, 2, 1},
    {"cancel_se_off_stays_off", {2, 0, 2, 1, 0, 0, 0}, true, {{447, 188}}, 2, -1100},
    {"ok_nothing_changed", kOpening, true, {}, 1, -1100},
    {"ok_text_speed_and_effects", kOpening, true, {{345, 364}, {367, 246}}, 1, -1100},
    {"ok_full_screen_from_windowed", kOpening, true, {{237, 306}}, 1, -1100, true},
    {"ok_windowed_from_full_screen", {2, 2, 2, 1, 1, 0, 0}, false, {{347, 306}}, 1, -1100, true},
    // Alt+Enter switched the display but not the setting: the display already shows the mode chosen.
    {"ok_full_screen_while_already_full", kOpening, false, {{237, 306}}, 1, -1100},
    {"ok_window_mode_changed_and_back", kOpening, true, {{237, 306}, {347, 306}}, 1, -1100},
    {"ok_windowed_after_alt_enter_to_full_screen", kOpening, false, {{347, 306}}, 1, -1100, true},
    {"ok_full_screen_after_alt_enter_to_windowed", {2, 2, 2, 1, 1, 0, 0}, true, {{237, 306}}, 1, -1100, true},
    {"ok_untouched_after_alt_enter", kOpening, false, {}, 1, -1100},
};

TEST_F(ConfigPanelTest, OkStoresAndCancelRestores) {
    for (const AnswerRow& row : kAnswers) {
        SCOPED_TRACE(row.name);
        Open(row.opening, row.windowed);
        CConfigPanel panel;
        EXPECT_EQ(panel.GetEditedValues().WindowMode, row.windowed ? 0 : 1) << "the row opens on the display";
        Frame(panel);
        EXPECT_EQ(At(row.windowed ? 344 : 234, 302), SheetAt(row.windowed ? 84 : 2, 218));
        for (POINT p : row.clicks)
            Click(panel, p.x, p.y);
        // What the panel opened with: the settings, with the window mode the display is in.
        ConfigValues shown = row.opening;
        shown.WindowMode = row.windowed ? 0 : 1;
        const ConfigValues edited = panel.GetEditedValues();
        const bool written = row.answer == 1 && SettingsIni("", edited) != SettingsIni("", shown);
        const ConfigValues stored = written ? edited : row.opening;
        // What is not written is not touched at all: an empty file stays empty.
        ASSERT_TRUE(
            fixtures::WriteFileText(IniPath(), written ? SettingsIni(dir.ProgramPath(), row.opening) : ""));
        Silence();
        Click(panel, kAnswerAt[row.answer].x, kAnswerAt[row.answer].y);
        EXPECT_EQ(panel.GetResult(), row.answer);
        EXPECT_EQ(Playing(row.answer == 1 ? "Se004" : "Se002"), stored.SESwitch != 0);
        EXPECT_EQ(VolumeOf("bgm01"), row.music);
        EXPECT_EQ(g_pSoundManager->GetSEVolume(), stored.SESwitch ? -1100 : -10000);
        EXPECT_EQ(Playing("sl_rain"), row.answer == 2 && stored.SESwitch != 0)
            << "OK stops the looping effects";
        EXPECT_EQ(fixtures::ReadFileText(IniPath()), written ? SettingsIni(dir.ProgramPath(), edited) : "");
        EXPECT_EQ(SettingsIni("", *g_pConfig->GetValues()), SettingsIni("", stored));
        EXPECT_EQ(g_pScreen->GetEffectEnable(), stored.EffectSwitch);
        EXPECT_EQ(Posted(UM_TOGGLESCREEN, 13), row.switches);
        EXPECT_TRUE(Posted(UM_REPAINT, 0)) << "the cursor is refreshed";
    }
}
} // namespace
} // namespace screens_test
