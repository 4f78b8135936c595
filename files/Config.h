// The settings record: the folders every file is read from and the seven user settings, kept in the
// ini file "Quorin.ini" in the program folder.
#pragma once

#include "platform/base.h"

// The seven values in the order the config panel copies and compares them whole.
struct ConfigValues {
    int BgmSwitch;
    int SESwitch;
    int VoiceSwitch;
    int EffectSwitch;
    int WindowMode;
    int TextSpeed;
    int MovieSwitch;
};

class CConfig {
  public:
    enum PathSlot {
        SystemProgram,
        SystemData,
        SystemGraphic,
        SystemSound,
        SystemSE,
        SystemVoice,
        Scenario,
        ScenarioGraphic,
        ScenarioSound,
        ScenarioSE,
        ScenarioVoice,
        SaveData,
        Spare,
        MovieData,
        PathSlotCount
    };

    CConfig();

    // False for an ini that cannot be read or whose path does not fit. A folder too long to keep with
    // its backslash is refused with a trace and the program folder stands in for it.
    bool Load(const char* iniPath);
    // Writes the seven values only; false when there is no usable path or a write failed.
    bool Save(const char* iniPath);

    // With null the stored folder; with a name the folder and name joined in g_PathBuffer, which the
    // next such call overwrites (empty, with a trace, when the two do not fit).
    const char* GetPath(PathSlot slot, const char* fileName) const;
    // The folder with a backslash at its end; one that does not fit is refused with a trace.
    void SetPath(PathSlot slot, const char* path);

    const char* GetSystemProgramPath(const char* name = nullptr) const {
        return GetPath(SystemProgram, name);
    }
    const char* GetSystemDataPath(const char* name = nullptr) const { return GetPath(SystemData, name); }
    const char* GetSystemGraphicPath(const char* name = nullptr) const {
        return GetPath(SystemGraphic, name);
    }
    const char* GetSystemSoundPath(const char* name = nullptr) const { return GetPath(SystemSound, name); }
    const char* GetSystemSEPath(const char* name = nullptr) const { return GetPath(SystemSE, name); }
    const char* GetSystemVoicePath(const char* name = nullptr) const { return GetPath(SystemVoice, name); }
    const char* GetScenarioPath(const char* name = nullptr) const { return GetPath(Scenario, name); }
    const char* GetScenarioGraphicPath(const char* name = nullptr) const {
        return GetPath(ScenarioGraphic, name);
    }
    const char* GetScenarioSoundPath(const char* name = nullptr) const {
        return GetPath(ScenarioSound, name);
    }
    const char* GetScenarioSEPath(const char* name = nullptr) const { return GetPath(ScenarioSE, name); }
    const char* GetScenarioVoicePath(const char* name = nullptr) const {
        return GetPath(ScenarioVoice, name);
    }
    const char* GetSaveDataPath(const char* name = nullptr) const { return GetPath(SaveData, name); }
    const char* GetSparePath(const char* name = nullptr) const { return GetPath(Spare, name); }
    const char* GetMovieDataPath(const char* name = nullptr) const { return GetPath(MovieData, name); }

    void SetSystemProgramPath(const char* p) { SetPath(SystemProgram, p); }
    void SetSystemDataPath(const char* p) { SetPath(SystemData, p); }
    void SetSystemGraphicPath(const char* p) { SetPath(SystemGraphic, p); }
    void SetSystemSoundPath(const char* p) { SetPath(SystemSound, p); }
    void SetSystemSEPath(const char* p) { SetPath(SystemSE, p); }
    void SetSystemVoicePath(const char* p) { SetPath(SystemVoice, p); }
    void SetScenarioPath(const char* p) { SetPath(Scenario, p); }
    void SetScenarioGraphicPath(const char* p) { SetPath(ScenarioGraphic, p); }
    void SetScenarioSoundPath(const char* p) { SetPath(ScenarioSound, p); }
    void SetScenarioSEPath(const char* p) { SetPath(ScenarioSE, p); }
    void SetScenarioVoicePath(const char* p) { SetPath(ScenarioVoice, p); }
    void SetSaveDataPath(const char* p) { SetPath(SaveData, p); }
    void SetSparePath(const char* p) { SetPath(Spare, p); }
    void SetMovieDataPath(const char* p) { SetPath(MovieData, p); }

    int GetBgmSwitch() const { return m_Values.BgmSwitch; }
    int GetSESwitch() const { return m_Values.SESwitch; }
    int GetVoiceSwitch() const { return m_Values.VoiceSwitch; }
    int GetEffectSwitch() const { return m_Values.EffectSwitch; }
    int GetWindowMode() const { return m_Values.WindowMode; }
    void SetWindowMode(int mode) { m_Values.WindowMode = mode; }
    int GetTextSpeed() const { return m_Values.TextSpeed; }
    void SetTextSpeed(int speed) { m_Values.TextSpeed = speed; }
    int GetMovieSwitch() const { return m_Values.MovieSwitch; }
    const ConfigValues* GetValues() const { return &m_Values; }
    void SetValues(const ConfigValues* values) {
        if (values) m_Values = *values;
    }

    const char* GetIniPath() const { return m_IniPath; }

    // The values an ini written with defaults holds.
    static ConfigValues DefaultValues() { return ConfigValues{4, 4, 4, 1, 1, 0, 0}; }

  private:
    ConfigValues m_Values;
    char m_Paths[PathSlotCount][MAX_PATH];
    char m_IniPath[MAX_PATH];
};

extern CConfig* g_pConfig;
// Shared result of the path getters that join a file name.
extern char g_PathBuffer[1024];

// Finds the program folder, writes the default ini when it is missing, creates and loads g_pConfig.
bool CreateConfig();
void DestroyConfig();
