#include "files/Config.h"

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

// Keeps room for the backslash that every folder ends with.
void SetFolder(char (&slot)[MAX_PATH], const char* path) {
    CopyBounded(slot, MAX_PATH - 1, path ? path : "");
    const std::size_t len = std::strlen(slot);
    if (len == 0 || (slot[len - 1] != '\\' && slot[len - 1] != '/')) {
        slot[len] = '\\';
        slot[len + 1] = '\0';
    }
}

// The folder part of a path, with its trailing separator.
void FolderOf(const char* path, char (&out)[MAX_PATH]) {
    char drive[4], dir[MAX_PATH];
    _splitpath(path, drive, dir, nullptr, nullptr);
    std::snprintf(out, sizeof out, "%s%s", drive, dir);
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
    std::memset(m_Paths, 0, sizeof m_Paths);
    if (iniPath && iniPath != m_IniPath) CopyBounded(m_IniPath, iniPath);
    // Reading needs no write access: a read-only ini still gives its settings.
    if (!iniPath || _access(iniPath, 4) != 0) return false;

    char programFolder[MAX_PATH];
    FolderOf(iniPath, programFolder);
    for (int slot = 0; slot < PathSlotCount; ++slot) {
        if (!kPathKeys[slot]) continue;
        char value[MAX_PATH];
        GetPrivateProfileStringA("Path", kPathKeys[slot], "", value, MAX_PATH, iniPath);
        // An empty folder would send every file to the root; the program folder is what was meant.
        // An ini named without a folder lies in the current one: its folders stay empty, not the root.
        const char* folder = value[0] ? value : programFolder;
        if (folder[0]) SetFolder(m_Paths[slot], folder);
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
    std::snprintf(g_PathBuffer, sizeof g_PathBuffer, "%s%s", m_Paths[slot], fileName);
    return g_PathBuffer;
}

void CConfig::SetPath(PathSlot slot, const char* path) {
    if (slot < 0 || slot >= PathSlotCount) return;
    SetFolder(m_Paths[slot], path);
}

bool CreateConfig() {
    char commandLine[1024];
    const char* source = GetCommandLineA();
    if (source[0] == '"') ++source;
    CopyBounded(commandLine, source);
    const std::size_t len = std::strlen(commandLine);
    if (len > 0 && commandLine[len - 1] == '"') commandLine[len - 1] = '\0';

    char programFolder[MAX_PATH];
    FolderOf(commandLine, programFolder);
    const std::size_t folderLen = std::strlen(programFolder);
    if (folderLen == 0 || (programFolder[folderLen - 1] != '\\' && folderLen + 1 < MAX_PATH)) {
        programFolder[folderLen] = '\\';
        programFolder[folderLen + 1] = '\0';
    }

    char iniPath[MAX_PATH];
    std::snprintf(iniPath, sizeof iniPath, "%sQuorin.ini", programFolder);
    if (_access(iniPath, 0) != 0) {
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

    delete g_pConfig;
    g_pConfig = new CConfig;
    g_pConfig->Load(iniPath);
    return true;
}

void DestroyConfig() {
    delete g_pConfig;
    g_pConfig = nullptr;
}
