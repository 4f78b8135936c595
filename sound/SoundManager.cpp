// Life cycle of the sound manager, its channels and their archive entries.
#include "sound/SoundManager.h"

#include "files/ArcFile.h"
#include "files/Config.h"
#include "platform/runtime.h"
#include "sound/DSoundCtrl.h"

#include <cstring>
#include <initializer_list>

CSoundManager* g_pSoundManager = nullptr;

const LONG g_VolumeLevelTable[5] = {-10000, -1800, -1100, -650, 0};

namespace {
// A BGM entry and the part that plays once before its looping main part. No piece has one yet.
struct BgmIntroRow {
    const char* name;
    const char* intro;
};
const BgmIntroRow BgmIntroTable[15] = {
    {"bgm00", nullptr}, {"bgm01", nullptr}, {"bgm02", nullptr}, {"bgm03", nullptr}, {"bgm04", nullptr},
    {"bgm05", nullptr}, {"bgm06", nullptr}, {"bgm07", nullptr}, {"bgm08", nullptr}, {"bgm09", nullptr},
    {"bgm10", nullptr}, {"bgm11", nullptr}, {"bgm12", nullptr}, {"bgm13", nullptr}, {"bgm14", nullptr},
};

const char* IntroOf(const char* name) {
    for (const BgmIntroRow& row : BgmIntroTable)
        if (_stricmp(row.name, name) == 0) return row.intro;
    return nullptr;
}

// Settings levels outside 0-4 count as full volume, as the ini reader treats them.
LONG LevelVolume(int level) {
    return (level >= 0 && level <= 4) ? g_VolumeLevelTable[level] : g_VolumeLevelTable[4];
}

CArcFile* OpenArchive(const char* path) {
    CArcFile* arc = new CArcFile();
    if (!arc->Open(path)) {
        delete arc;
        return nullptr;
    }
    return arc;
}
} // namespace

bool CreateSoundManager(HWND hwnd) {
    if (g_pSoundManager) return false;
    g_pSoundManager = new CSoundManager();
    if (!g_pSoundManager->Create(hwnd)) {
        g_pSoundManager->Release();
        return false;
    }
    const ConfigValues values = g_pConfig ? *g_pConfig->GetValues() : CConfig::DefaultValues();
    g_pSoundManager->SetBGMEnable(1);
    g_pSoundManager->SetBGMVolume(LevelVolume(values.BgmSwitch));
    g_pSoundManager->SetSEEnable(1);
    g_pSoundManager->SetSEVolume(LevelVolume(values.SESwitch));
    g_pSoundManager->SetVoiceEnable(1);
    g_pSoundManager->SetVoiceVolume(LevelVolume(values.VoiceSwitch));
    return true;
}

void DestroySoundManager() {
    if (!g_pSoundManager) return;
    g_pSoundManager->StopAll();
    g_pSoundManager->Release();
    delete g_pSoundManager;
    g_pSoundManager = nullptr;
}

CSoundManager::CSoundManager()
    : m_pDevice(nullptr), m_pSoundArc(nullptr), m_pSEArc(nullptr),
      m_pVoiceArc(nullptr), m_Loop{}, m_Enabled{1, 1, 1}, m_Volume{}, m_Fade{} {
    ResetChannels();
}

CSoundManager::~CSoundManager() {
    Release();
}

int CSoundManager::Create(HWND hwnd) {
    ResetChannels();
    if (g_pConfig) {
        m_pSoundArc = OpenArchive(g_pConfig->GetSystemDataPath("sound.arc"));
        m_pSEArc = OpenArchive(g_pConfig->GetSystemDataPath("se.arc"));
        m_pVoiceArc = OpenArchive(g_pConfig->GetScenarioVoicePath("voice.arc"));
    }
    m_pDevice = new CDSoundCtrl();
    if (!m_pDevice->Create(hwnd)) return 0;
    return 1;
}

int CSoundManager::Release() {
    // The entries belong to the archives' bookkeeping, so the sounds go before the archives do.
    if (m_pDevice) {
        StopAll();
        delete m_pDevice;
        m_pDevice = nullptr;
    }
    for (CArcFile** arc : {&m_pSoundArc, &m_pSEArc, &m_pVoiceArc}) {
        if (!*arc) continue;
        (*arc)->Close();
        delete *arc;
        *arc = nullptr;
    }
    return 1;
}

void CSoundManager::ResetChannels() {
    for (DWORD& slot : m_Slot)
        slot = kSlotNone;
    m_Fade.active = 0;
    for (int& flag : m_Fade.channelFlag)
        flag = 0;
    m_Fade.crossFade = 0;
    std::memset(m_Name, 0, sizeof m_Name);
    for (std::FILE*& entry : m_Entry)
        entry = nullptr;
}

void CSoundManager::StopAll() {
    if (!m_pDevice) return;
    for (int slot = 0; slot < 8; ++slot) {
        m_pDevice->SetCurrentVolume(slot, -10000);
        m_pDevice->Stop(slot);
        m_pDevice->ReleaseSound(slot);
    }
    for (int index = 0; index < kChannelCount; ++index)
        CloseChannelFiles(ChannelBit(index));
    ResetChannels();
}

void CSoundManager::StopChannelGroup(int group) {
    int first, last;
    switch (group) {
    case 0:
        first = kBgmA, last = kBgmB;
        break;
    case 1:
        first = kLoopSE1, last = kLoopSE2;
        break;
    case 2:
        first = kVoice, last = kVoice;
        break;
    default:
        return;
    }
    // A fade on a channel that is about to fall silent is completed first: a fade-out ends as it
    // would have (the music is gone, and not revived by switching the class on), a cross-fade hands
    // the new music to BGM A, and no later step touches the freed slot.
    if (m_Fade.active) {
        bool ours = group == 0 && m_Fade.crossFade;
        for (int index = first; index <= last && index <= kLoopSE2; ++index)
            ours = ours || m_Fade.channelFlag[index];
        if (ours) FinishFade();
    }
    for (int index = first; index <= last; ++index)
        if (IsBusy(index) && IsChannelPlaying(index)) FreeChannel(index);
}

void CSoundManager::StopChannels(DWORD channels) {
    if (!m_pDevice) return;
    if (channels & (SOUND_CHANNEL_BGM_A | SOUND_CHANNEL_BGM_B)) StopBGM();
    for (int index : {kLoopSE1, kLoopSE2}) {
        if (!(channels & ChannelBit(index))) continue;
        FreeChannel(index);
        ClearName(index);
    }
    if (channels & SOUND_CHANNEL_SE) StopSE();
    if (channels & SOUND_CHANNEL_VOICE) StopVoice();
    if (channels & SOUND_CHANNEL_SYSVOICE) StopSysVoice();
}

int CSoundManager::IsNamePlaying(const char* name) const {
    if (!IsUsableName(name)) return 0;
    for (int index = 0; index < kChannelCount; ++index)
        if (NameIs(index, name) && IsChannelPlaying(index)) return 1;
    return 0;
}

void CSoundManager::Update() {
    if (!m_pDevice) return;
    StepFade();
    for (int index : {kLoopSE1, kLoopSE2, kSE, kVoice, kSysVoice}) {
        if (!IsBusy(index) || IsChannelPlaying(index)) continue;
        FreeChannel(index);
        // The loop-SE names go with their sound; the others stay for the name getters.
        if (index == kLoopSE1 || index == kLoopSE2) ClearName(index);
    }
}

DWORD CSoundManager::GetChannelSlot(DWORD channel) const {
    const int index = ChannelIndex(channel);
    return index < 0 ? kSlotNone : m_Slot[index];
}

int CSoundManager::ChannelIndex(DWORD channel) {
    for (int index = 0; index < kChannelCount; ++index)
        if (channel == ChannelBit(index)) return index;
    return -1;
}

bool CSoundManager::IsUsableName(const char* name) {
    return name && strnlen(name, kNameSize) < static_cast<std::size_t>(kNameSize);
}

void CSoundManager::SetName(int index, const char* name) {
    CopyBounded(m_Name[index], kNameSize, name ? name : "");
}

bool CSoundManager::NameIs(int index, const char* name) const {
    return name && _stricmp(m_Name[index], name) == 0;
}

char* CSoundManager::ReportName(int index, bool present, char* buffer) {
    if (!present) {
        if (buffer) buffer[0] = '\0';
        return nullptr;
    }
    if (!buffer) return m_Name[index];
    // The name and its NUL only: the caller's buffer need not be as large as the field.
    std::memcpy(buffer, m_Name[index], std::strlen(m_Name[index]) + 1);
    return buffer;
}

bool CSoundManager::IsChannelPlaying(int index) const {
    return IsBusy(index) && m_pDevice && m_pDevice->IsPlaying(static_cast<int>(m_Slot[index])) == 1;
}

CArcFile* CSoundManager::ArchiveOf(int index) const {
    switch (index) {
    case kBgmA:
    case kBgmB:
        return m_pSoundArc;
    case kLoopSE1:
    case kLoopSE2:
    case kSE:
        return m_pSEArc;
    case kVoice:
    case kSysVoice:
        return m_pVoiceArc;
    default:
        return nullptr;
    }
}

void CSoundManager::FreeChannel(int index) {
    if (IsBusy(index)) {
        if (m_pDevice) {
            m_pDevice->Stop(static_cast<int>(m_Slot[index]));
            m_pDevice->ReleaseSound(static_cast<int>(m_Slot[index]));
        }
        m_Slot[index] = kSlotNone;
    }
    CloseChannelFiles(ChannelBit(index));
    if (index <= kLoopSE2) ClearFade(ChannelBit(index));
}

int CSoundManager::LoadChannel(const char* name, DWORD channel) {
    const int index = ChannelIndex(channel);
    if (index < 0) return 1;
    CArcFile* arc = ArchiveOf(index);
    if (!m_pDevice || !arc || !name) return 0;
    // A channel holds one sound: whatever it held is let go before the new one comes in.
    if (IsBusy(index)) FreeChannel(index);
    CloseChannelFiles(channel);

    int slot = -1;
    if (index == kBgmA || index == kBgmB) {
        std::FILE*& mainEntry = m_Entry[index == kBgmA ? kEntryBgmAMain : kEntryBgmBMain];
        std::FILE*& introEntry = m_Entry[index == kBgmA ? kEntryBgmAIntro : kEntryBgmBIntro];
        const char* intro = IntroOf(name);
        DWORD mainSize = 0, introSize = 0;
        mainEntry = arc->OpenFile(name, &mainSize);
        if (!mainEntry) return 0;
        if (intro) {
            introEntry = arc->OpenFile(intro, &introSize);
            if (!introEntry) {
                CloseChannelFiles(channel);
                return 0;
            }
        }
        slot = m_pDevice->LoadSound(mainEntry, mainSize, introEntry, introSize);
    } else {
        std::FILE*& entry = m_Entry[kEntryLoopSE1 + (index - kLoopSE1)];
        DWORD size = 0;
        entry = arc->OpenFile(name, &size);
        if (!entry) return 0;
        slot = m_pDevice->LoadSound(entry, size);
    }
    if (slot < 0) {
        // The device read nothing it keeps; the entries would otherwise stay open with no sound.
        CloseChannelFiles(channel);
        m_Slot[index] = kSlotNone;
        return 0;
    }
    m_Slot[index] = static_cast<DWORD>(slot);
    return 1;
}

void CSoundManager::CloseChannelFiles(DWORD channel) {
    const int index = ChannelIndex(channel);
    if (index < 0) return;
    CArcFile* arc = ArchiveOf(index);
    auto close = [arc](std::FILE*& entry) {
        if (!entry) return;
        if (arc)
            arc->CloseFile(entry);
        else
            std::fclose(entry);
        entry = nullptr;
    };
    switch (index) {
    case kBgmA:
        close(m_Entry[kEntryBgmAMain]);
        close(m_Entry[kEntryBgmAIntro]);
        break;
    case kBgmB:
        close(m_Entry[kEntryBgmBMain]);
        close(m_Entry[kEntryBgmBIntro]);
        break;
    default:
        close(m_Entry[kEntryLoopSE1 + (index - kLoopSE1)]);
        break;
    }
}
