#include "files/Config.h"

#include "app/ErrorReport.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/profile.h"
#include "platform/runtime.h"

#include <cstdio>
#include <cstring>

CConfig* g_pConfig = nullptr;
char g_PathBuffer[1024];

namespace {
const char* const kPathKeys[CConfig::PathSlotCount] = {"SystemProgramPath",
                                                       "SystemDataPath",
                                                       "SystemGraphicPath",
                                                       "SystemSoundPath",
                                                       "SystemSEPath",
                                                       "SystemVoicePath",
                                                       "ScenarioPath",
                                                       "ScenarioGraphicPath",
                                                       "ScenarioSoundPath",
                                                       "ScenarioSEPath",
                                                       "ScenarioVoicePath",
                                                       "SaveDataPath",
                                                       nullptr,
                                                       "MovieDataPath"};

// A folder as the slots keep it: the path with a backslash at its end. False, with the slot left as it
// was, when that does not fit: a folder cut short would name another one.
bool SetFolder(char (&slot)[MAX_PATH], const char* path) {
    const char* p = path ? path : "";
    std::size_t len = std::strlen(p);
    const bool ends = len > 0 && (p[len - 1] == '\\' || p[len - 1] == '/');
    if (len + (ends ? 0 : 1) >= MAX_PATH) return false;
    std::memmove(slot, p, len);
    if (!ends) slot[len++] = '\\';
    slot[len] = '\0';
    return true;
}

// The folder part of a path: drive and directories with the separator that ends them. False when it
// does not fit.
bool FolderOf(const char* path, char (&out)[MAX_PATH]) {
    std::size_t end = 0;
    for (std::size_t i = 0; path[i]; ++i)
        if (path[i] == '\\' || path[i] == '/') end = i + 1;
    if (end == 0 && path[0] && path[1] == ':') end = 2;
    if (end >= MAX_PATH) return false;
    std::memcpy(out, path, end);
    out[end] = '\0';
    return true;
}

char LevelChar(int v) {
    return (v >= 0 && v <= 3) ? static_cast<char>('0' + v) : '4';
}
int LevelOf(char c) {
    return (c >= '0' && c <= '3') ? c - '0' : 4;
}
int FlagOf(char c) {
    return c == '0' ? 0 : 1;
}
} // namespace

CConfig::CConfig() : m_Values(DefaultValues()) {
    std::memset(m_Paths, 0, sizeof m_Paths);
    m_IniPath[0] = '\0';
}

bool CConfig::Load(const char* iniPath) {
    static const char* const kTag = "CConfig::Load";
    std::memset(m_Paths, 0, sizeof m_Paths);
    if (iniPath && iniPath != m_IniPath) {
        // Save writes back to this path: one cut short would be another file.
        if (std::strlen(iniPath) >= sizeof m_IniPath) {
            ErrorLog(kTag, "ini path too long: %s", iniPath);
            m_IniPath[0] = '\0';
            return false;
        }
        CopyBounded(m_IniPath, iniPath);
    }
    // Reading needs no write access: a read-only ini still gives its settings.
    if (!iniPath || _access(iniPath, 4) != 0) return false;

    char programFolder[MAX_PATH];
    FolderOf(m_IniPath, programFolder);
    for (int slot = 0; slot < PathSlotCount; ++slot) {
        if (!kPathKeys[slot]) continue;
        // Longer than any folder can be, so that an overlong one is seen whole rather than cut.
        char value[1024];
        GetPrivateProfileStringA("Path", kPathKeys[slot], "", value, sizeof value, iniPath);
        // An empty folder would send every file to the root: the program folder is what was meant, and
        // it stands in for a folder too long to keep. An ini named without a folder lies in the current
        // one: its folders stay empty, not the root.
        if (value[0] && SetFolder(m_Paths[slot], value)) continue;
        if (value[0]) ErrorLog(kTag, "folder path too long: %s", kPathKeys[slot]);
        if (programFolder[0]) SetFolder(m_Paths[slot], programFolder);
    }

    auto first = [&](const char* key) {
        char value[16];
        GetPrivateProfileStringA("Config", key, "", value, sizeof value, iniPath);
        return value[0];
    };
    m_Values.BgmSwitch = LevelOf(first("BgmSwitch"));
    m_Values.SESwitch = LevelOf(first("SESwitch"));
    m_Values.VoiceSwitch = LevelOf(first("VoiceSwitch"));
    m_Values.EffectSwitch = FlagOf(first("EffectSwitch"));
    m_Values.WindowMode = FlagOf(first("WindowMode"));
    m_Values.TextSpeed = FlagOf(first("TextSpeed"));
    m_Values.MovieSwitch = FlagOf(first("MovieSwitch"));
    return true;
}

bool CConfig::Save(const char* iniPath) {
    const char* path = iniPath ? iniPath : m_IniPath;
    if (!path || !path[0]) return false;
    struct Item {
        const char* key;
        char value;
    };
    const Item items[] = {
        {"BgmSwitch", LevelChar(m_Values.BgmSwitch)},
        {"SESwitch", LevelChar(m_Values.SESwitch)},
        {"VoiceSwitch", LevelChar(m_Values.VoiceSwitch)},
        {"EffectSwitch", m_Values.EffectSwitch ? '1' : '0'},
        {"WindowMode", m_Values.WindowMode ? '1' : '0'},
        {"TextSpeed", m_Values.TextSpeed ? '1' : '0'},
        {"MovieSwitch", m_Values.MovieSwitch ? '1' : '0'},
    };
    bool ok = true;
    for (const Item& item : items) {
        const char value[2] = {item.value, '\0'};
        if (!WritePrivateProfileStringA("Config", item.key, value, path)) ok = false;
    }
    return ok;
}

const char* CConfig::GetPath(PathSlot slot, const char* fileName) const {
    if (slot < 0 || slot >= PathSlotCount) return "";
    if (!fileName) return m_Paths[slot];
    const int n = std::snprintf(g_PathBuffer, sizeof g_PathBuffer, "%s%s", m_Paths[slot], fileName);
    if (n < 0 || static_cast<std::size_t>(n) >= sizeof g_PathBuffer) {
        // A path cut short would name another file: it names none.
        ErrorLog("CConfig::GetPath", "path too long: %s", fileName);
        g_PathBuffer[0] = '\0';
    }
    return g_PathBuffer;
}

void CConfig::SetPath(PathSlot slot, const char* path) {
    if (slot < 0 || slot >= PathSlotCount) return;
    if (!SetFolder(m_Paths[slot], path)) ErrorLog("CConfig::SetPath", "folder path too long: %s", path);
}

bool CreateConfig() {
    char commandLine[1024];
    const char* source = GetCommandLineA();
    if (source[0] == '"') ++source;
    CopyBounded(commandLine, source);
    const std::size_t len = std::strlen(commandLine);
    if (len > 0 && commandLine[len - 1] == '"') commandLine[len - 1] = '\0';

    char programFolder[MAX_PATH];
    char iniPath[MAX_PATH];
    const bool named = FolderOf(commandLine, programFolder) && SetFolder(programFolder, programFolder) &&
                       std::snprintf(iniPath, sizeof iniPath, "%sQuorin.ini", programFolder) <
                           static_cast<int>(sizeof iniPath);
    delete g_pConfig;
    g_pConfig = new CConfig;
    if (!named) {
        // No file of the program can be named: the settings keep their defaults and nothing is written.
        ErrorLog("CreateConfig", "program folder too long: %s", commandLine);
        return true;
    }
    if (_access(iniPath, 0) != 0) {
        // Fits: "SaveData\\" is shorter than "Quorin.ini".
        char saveFolder[MAX_PATH];
        std::snprintf(saveFolder, sizeof saveFolder, "%sSaveData\\", programFolder);
        for (int slot = 0; slot < CConfig::PathSlotCount; ++slot) {
            if (!kPathKeys[slot]) continue;
            WritePrivateProfileStringA("Path", kPathKeys[slot],
                                       slot == CConfig::SaveData ? saveFolder : programFolder, iniPath);
        }
        const char* const configDefaults[][2] = {
            {"TextSpeed", "0"}, {"EffectSwitch", "1"}, {"WindowMode", "1"}, {"BgmSwitch", "4"},
            {"SESwitch", "4"},  {"VoiceSwitch", "4"},  {"MovieSwitch", "0"}};
        for (const auto& kv : configDefaults)
            WritePrivateProfileStringA("Config", kv[0], kv[1], iniPath);
    }

    g_pConfig->Load(iniPath);
    return true;
}

void DestroyConfig() {
    delete g_pConfig;
    g_pConfig = nullptr;
}
