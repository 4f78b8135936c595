#include "sound/DSoundCtrl.h"

#include "app/ErrorReport.h"
#include "files/FileCtrl.h"
#include "platform/files.h"
#include "platform/time.h"
#include "sound/DSBCStaticOgg.h"
#include "sound/DSBCStaticWave.h"
#include "sound/DSBCStreamOgg.h"
#include "sound/DSBCStreamWave.h"
#include "sound/SoundMessages.h"

#include <cstring>
#include <new>
#include <vector>

namespace {
constexpr DWORD kTagRiff = 0x46464952; // "RIFF"
constexpr DWORD kTagOggS = 0x5367674F; // "OggS"

WAVEFORMATEX CdFormat() {
    return {WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};
}

bool ValidSlot(int slot) {
    return slot >= 0 && slot < CDSoundCtrl::kSlotCount;
}
} // namespace

CDSoundCtrl::CDSoundCtrl() {
    _Init();
}

CDSoundCtrl::~CDSoundCtrl() {
    Release();
}

void CDSoundCtrl::_Init() {
    m_hWnd = nullptr;
    m_Level = 0;
    std::memset(&m_PrimaryFormat, 0, sizeof m_PrimaryFormat);
    m_pDirectSound = nullptr;
    m_pPrimaryBuffer = nullptr;
    m_pSystemSound = nullptr;
    for (DSoundSlot& s : m_Slots)
        s = {nullptr, nullptr};
}

int CDSoundCtrl::Create(HWND hwnd) {
    static const char* const kTag = "CDSoundCtrl::Create";
    void* object = nullptr;
    if (FAILED(
            CoCreateInstance(CLSID_DirectSound, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectSound, &object))) {
        ErrorLog(kTag, "%s", kMsgDeviceGet);
        return 0;
    }
    m_pDirectSound = static_cast<IDirectSound*>(object);
    if (FAILED(m_pDirectSound->Initialize(nullptr))) {
        ErrorLog(kTag, "%s", kMsgDeviceInit);
        m_pDirectSound->Release();
        m_pDirectSound = nullptr;
        return 0;
    }
    DWORD level = DSSCL_PRIORITY;
    if (FAILED(m_pDirectSound->SetCooperativeLevel(hwnd, DSSCL_PRIORITY))) {
        ErrorLog(kTag, "%s", kMsgPriorityLevel);
        level = DSSCL_NORMAL;
        if (FAILED(m_pDirectSound->SetCooperativeLevel(hwnd, DSSCL_NORMAL))) {
            // The device goes when the object is deleted.
            ErrorLog(kTag, "%s", kMsgCoopLevel);
            return 0;
        }
    }
    DSBUFFERDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    if (FAILED(m_pDirectSound->CreateSoundBuffer(&desc, &m_pPrimaryBuffer, nullptr))) {
        ErrorLog(kTag, "%s", kMsgPrimaryCreate);
        m_pPrimaryBuffer = nullptr;
        m_pDirectSound->Release();
        m_pDirectSound = nullptr;
        return 0;
    }
    bool formatSet = false;
    if (level == DSSCL_PRIORITY) {
        m_PrimaryFormat = CdFormat();
        if (FAILED(m_pPrimaryBuffer->SetFormat(&m_PrimaryFormat))) {
            ErrorLog(kTag, "%s", kMsgPrimaryFormat);
            level = DSSCL_NORMAL;
        } else {
            formatSet = true;
        }
    }
    if (!formatSet) m_pPrimaryBuffer->GetFormat(&m_PrimaryFormat, sizeof m_PrimaryFormat, nullptr);
    m_hWnd = hwnd;
    m_Level = level;
    return _DSBCSystemSoundPlay();
}

void CDSoundCtrl::Release() {
    for (DSoundSlot& s : m_Slots) {
        delete s.pCtrl;
        if (s.pFile) std::fclose(s.pFile);
        s = {nullptr, nullptr};
    }
    _DSBCSystemSoundStop();
    if (m_pPrimaryBuffer) m_pPrimaryBuffer->Release();
    if (m_pDirectSound) m_pDirectSound->Release();
    _Init();
}

int CDSoundCtrl::_DSBCSystemSoundPlay() {
    static const char* const kTag = "CDSoundCtrl::_DSBCSystemSoundPlay";
    _DSBCSystemSoundStop();
    const WAVEFORMATEX format = CdFormat();
    // One second of silence.
    const std::vector<BYTE> silence(format.nAvgBytesPerSec, 0);
    auto* ctrl = new (std::nothrow) CDSBCStaticWave;
    if (!ctrl) {
        ErrorLog(kTag, "%s", kMsgSystemBuffer);
        return 0;
    }
    if (!ctrl->Initialize(m_pDirectSound) ||
        !ctrl->CreateSound(silence.data(), static_cast<DWORD>(silence.size()), &format)) {
        ErrorLog(kTag, "%s", kMsgSystemData);
        delete ctrl;
        return 0;
    }
    m_pSystemSound = ctrl;
    ctrl->SetVolume(0);
    return ctrl->Play(1);
}

int CDSoundCtrl::_DSBCSystemSoundStop() {
    if (!m_pSystemSound) return 0;
    // Lets the output drain before the last buffer goes.
    Sleep(500);
    m_pSystemSound->Stop();
    m_pSystemSound->Release();
    delete m_pSystemSound;
    m_pSystemSound = nullptr;
    return 1;
}

int CDSoundCtrl::_FindFreeSlot() const {
    for (int i = 0; i < kSlotCount; ++i)
        if (!m_Slots[i].pCtrl) return i;
    return -1;
}

int CDSoundCtrl::_LoadSound(std::FILE* mainFile, DWORD mainSize, std::FILE* introFile, DWORD introSize,
                            bool stream, const char* tag) {
    const int slot = _FindFreeSlot();
    if (slot < 0) return -1;
    if (stream && mainFile == introFile) {
        ErrorLog("CDSoundCtrl::LoadSound", "%s", kMsgSameFiles);
        return -1;
    }
    DWORD kind = 0;
    {
        // Closing the window rewinds the file to the entry's start for the controller.
        CFileCtrl window;
        if (!window.Assign(mainFile, static_cast<LONG>(mainSize))) return -1;
        kind = window.ReadTag();
        window.Close();
    }
    CDSoundBufferCtrlBase* ctrl = nullptr;
    if (kind == kTagRiff)
        ctrl = stream ? static_cast<CDSoundBufferCtrlBase*>(new CDSBCStreamWave) : new CDSBCStaticWave;
    else if (kind == kTagOggS)
        ctrl = stream ? static_cast<CDSoundBufferCtrlBase*>(new CDSBCStreamOgg) : new CDSBCStaticOgg;
    else
        return -1;
    m_Slots[slot].pCtrl = ctrl;
    if (!ctrl->Initialize(m_pDirectSound)) {
        ErrorLog(tag, "%s", kMsgControllerCreate);
        ctrl->Release();
        delete ctrl;
        m_Slots[slot].pCtrl = nullptr;
        return -1;
    }
    if (!ctrl->LoadSound(mainFile, mainSize, stream ? introFile : nullptr, stream ? introSize : 0)) {
        ErrorLog(tag, "%s", kMsgSoundLoad);
        ctrl->Release();
        delete ctrl;
        m_Slots[slot].pCtrl = nullptr;
        return -1;
    }
    return slot;
}

int CDSoundCtrl::LoadSound(std::FILE* file, DWORD size) {
    return _LoadSound(file, size, nullptr, 0, false, "CDSoundCtrl::LoadSound (static)");
}

int CDSoundCtrl::LoadSound(std::FILE* mainFile, DWORD mainSize, std::FILE* introFile, DWORD introSize) {
    return _LoadSound(mainFile, mainSize, introFile, introSize, true, "CDSoundCtrl::LoadSound (stream)");
}

int CDSoundCtrl::CreateSound(const void* data, DWORD size, const WAVEFORMATEX* format) {
    static const char* const kTag = "CDSoundCtrl::CreateSound";
    const int slot = _FindFreeSlot();
    if (slot < 0) return -1;
    auto* ctrl = new CDSBCStaticWave;
    const char* failure = nullptr;
    if (!ctrl->Initialize(m_pDirectSound))
        failure = kMsgControllerCreate;
    else if (!ctrl->CreateSound(data, size, format))
        failure = kMsgSoundData;
    if (failure) {
        ErrorLog(kTag, "%s", failure);
        delete ctrl;
        return -1;
    }
    m_Slots[slot].pCtrl = ctrl;
    return slot;
}

int CDSoundCtrl::LoadSoundFromFile(const char* path) {
    static const char* const kTag = "CDSoundCtrl::LoadSoundFromFile";
    if (_FindFreeSlot() < 0) return -1;
    std::FILE* fp = path ? crt::fopen(path, "rb") : nullptr;
    if (!fp) {
        ErrorLog(kTag, "%s", kMsgFileOpen);
        return -1;
    }
    long size = -1;
    if (std::fseek(fp, 0, SEEK_END) == 0) size = std::ftell(fp);
    const int slot = size > 0 && std::fseek(fp, 0, SEEK_SET) == 0
                         ? _LoadSound(fp, static_cast<DWORD>(size), nullptr, 0, false, kTag)
                         : -1;
    if (slot < 0) {
        std::fclose(fp);
        return -1;
    }
    m_Slots[slot].pFile = fp;
    return slot;
}

int CDSoundCtrl::ReleaseSound(int slot) {
    if (!ValidSlot(slot) || !m_Slots[slot].pCtrl) return 0;
    delete m_Slots[slot].pCtrl;
    if (m_Slots[slot].pFile) std::fclose(m_Slots[slot].pFile);
    m_Slots[slot] = {nullptr, nullptr};
    return 1;
}

int CDSoundCtrl::Play(int slot, int loop) {
    if (!ValidSlot(slot) || !m_Slots[slot].pCtrl) return 0;
    return m_Slots[slot].pCtrl->Play(loop);
}

int CDSoundCtrl::Stop(int slot) {
    if (!ValidSlot(slot) || !m_Slots[slot].pCtrl) return 0;
    return m_Slots[slot].pCtrl->Stop();
}

void CDSoundCtrl::SetVolume(int slot, LONG volume) {
    if (!ValidSlot(slot) || !m_Slots[slot].pCtrl) return;
    if (volume >= DSBVOLUME_MIN && volume <= DSBVOLUME_MAX) m_Slots[slot].pCtrl->SetVolume(volume);
}

int CDSoundCtrl::SetCurrentVolume(int slot, LONG volume) {
    if (!ValidSlot(slot) || !m_Slots[slot].pCtrl) return 0;
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return 0;
    return m_Slots[slot].pCtrl->_SetVolume(volume);
}

int CDSoundCtrl::IsPlaying(int slot) {
    if (!ValidSlot(slot) || !m_Slots[slot].pCtrl) return 0;
    return m_Slots[slot].pCtrl->IsPlaying();
}
