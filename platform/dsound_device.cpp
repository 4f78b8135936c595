#include "platform/dsound_mixer.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace platform::dsound {
namespace {
using testing::SoundCall;

class Device;

std::mutex g_deviceLock;
std::vector<Device*> g_devices;

// A primary buffer plays nothing itself: it carries the device's output format.
class PrimaryBuffer final : public IDirectSoundBuffer {
  public:
    explicit PrimaryBuffer(Device* device);

    ULONG AddRef() override { return ++m_Refs; }
    ULONG Release() override;

    HRESULT GetCurrentPosition(DWORD* play, DWORD* write) override {
        if (play) *play = 0;
        if (write) *write = 0;
        return DS_OK;
    }
    HRESULT GetFormat(WAVEFORMATEX* format, DWORD size, DWORD* written) override;
    HRESULT GetVolume(LONG*) override { return DSERR_CONTROLUNAVAIL; }
    HRESULT GetPan(LONG*) override { return DSERR_CONTROLUNAVAIL; }
    HRESULT GetFrequency(DWORD*) override { return DSERR_CONTROLUNAVAIL; }
    HRESULT GetStatus(DWORD* status) override {
        if (!status) return DSERR_INVALIDPARAM;
        *status = 0;
        return DS_OK;
    }
    HRESULT Lock(DWORD, DWORD, void**, DWORD*, void**, DWORD*, DWORD) override {
        return DSERR_PRIOLEVELNEEDED;
    }
    HRESULT Play(DWORD, DWORD, DWORD) override { return DS_OK; }
    HRESULT SetCurrentPosition(DWORD) override { return DSERR_INVALIDCALL; }
    HRESULT SetFormat(const WAVEFORMATEX* format) override;
    HRESULT SetVolume(LONG) override { return DSERR_CONTROLUNAVAIL; }
    HRESULT SetPan(LONG) override { return DSERR_CONTROLUNAVAIL; }
    HRESULT SetFrequency(DWORD) override { return DSERR_CONTROLUNAVAIL; }
    HRESULT Stop() override { return DS_OK; }
    HRESULT Unlock(void*, DWORD, void*, DWORD) override { return DSERR_INVALIDCALL; }
    HRESULT Restore() override { return DS_OK; }

  private:
    ~PrimaryBuffer() override = default;
    std::atomic<ULONG> m_Refs{1};
    Device* m_Device;
};

class Device final : public IDirectSound {
  public:
    Device() {
        // The format a primary buffer has before anyone sets one.
        m_Primary = {WAVE_FORMAT_PCM, 2, 22050, 22050 * 2, 2, 8, 0};
        std::lock_guard<std::mutex> lock(g_deviceLock);
        g_devices.push_back(this);
    }

    ULONG AddRef() override { return ++m_Refs; }
    ULONG Release() override {
        const ULONG left = --m_Refs;
        if (left == 0) delete this;
        return left;
    }

    HRESULT Initialize(const void*) override {
        if (m_Initialized) return DSERR_ALREADYINITIALIZED;
        if (ShouldFail(SoundCall::Initialize)) return DSERR_NODRIVER;
        if (!OpenOutput()) return DSERR_NODRIVER;
        m_Initialized = true;
        return DS_OK;
    }

    HRESULT SetCooperativeLevel(HWND, DWORD level) override {
        if (!m_Initialized) return DSERR_UNINITIALIZED;
        if (level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY) return DSERR_INVALIDPARAM;
        if (level >= DSSCL_PRIORITY && ShouldFail(SoundCall::PriorityLevel)) return DSERR_ALLOCATED;
        if (level == DSSCL_NORMAL && ShouldFail(SoundCall::NormalLevel)) return DSERR_ALLOCATED;
        std::lock_guard<std::mutex> lock(g_deviceLock);
        m_Level = level;
        return DS_OK;
    }

    HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer, void* outer) override {
        if (!desc || !buffer || outer || desc->dwSize != sizeof(DSBUFFERDESC)) return DSERR_INVALIDPARAM;
        *buffer = nullptr;
        if (!m_Initialized) return DSERR_UNINITIALIZED;
        if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) {
            if (desc->dwBufferBytes != 0 || desc->lpwfxFormat) return DSERR_INVALIDPARAM;
            if (ShouldFail(SoundCall::CreatePrimary)) return DSERR_GENERIC;
            std::lock_guard<std::mutex> lock(g_deviceLock);
            if (m_PrimaryBuffer) {
                m_PrimaryBuffer->AddRef();
            } else {
                m_PrimaryBuffer = new PrimaryBuffer(this);
            }
            *buffer = m_PrimaryBuffer;
            return DS_OK;
        }
        return CreateSecondaryBuffer(*desc, buffer);
    }

    DWORD Level() const { return m_Level; }
    const WAVEFORMATEX& PrimaryFormat() const { return m_Primary; }
    void SetPrimaryFormat(const WAVEFORMATEX& f) { m_Primary = f; }
    void PrimaryGone() { m_PrimaryBuffer = nullptr; }

  private:
    ~Device() override {
        if (m_Initialized) CloseOutput();
        std::lock_guard<std::mutex> lock(g_deviceLock);
        std::erase(g_devices, this);
    }

    std::atomic<ULONG> m_Refs{1};
    bool m_Initialized = false;
    DWORD m_Level = 0;
    WAVEFORMATEX m_Primary{};
    PrimaryBuffer* m_PrimaryBuffer = nullptr;
};

PrimaryBuffer::PrimaryBuffer(Device* device) : m_Device(device) {
    // The device lives at least as long as its primary buffer.
    m_Device->AddRef();
}

ULONG PrimaryBuffer::Release() {
    ULONG left;
    {
        std::lock_guard<std::mutex> lock(g_deviceLock);
        left = --m_Refs;
        if (left == 0) m_Device->PrimaryGone();
    }
    if (left == 0) {
        m_Device->Release();
        delete this;
    }
    return left;
}

HRESULT PrimaryBuffer::GetFormat(WAVEFORMATEX* format, DWORD size, DWORD* written) {
    std::lock_guard<std::mutex> lock(g_deviceLock);
    if (!format) {
        if (!written) return DSERR_INVALIDPARAM;
        *written = sizeof(WAVEFORMATEX);
        return DS_OK;
    }
    const DWORD n = std::min<DWORD>(size, sizeof(WAVEFORMATEX));
    std::memcpy(format, &m_Device->PrimaryFormat(), n);
    if (written) *written = n;
    return DS_OK;
}

HRESULT PrimaryBuffer::SetFormat(const WAVEFORMATEX* format) {
    if (!format) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(g_deviceLock);
    if (m_Device->Level() < DSSCL_PRIORITY) return DSERR_PRIOLEVELNEEDED;
    if (!IsPlayableFormat(*format)) return DSERR_BADFORMAT;
    if (ShouldFail(SoundCall::SetPrimaryFormat)) return DSERR_GENERIC;
    WAVEFORMATEX f = *format;
    f.cbSize = 0;
    m_Device->SetPrimaryFormat(f);
    return DS_OK;
}
} // namespace
} // namespace platform::dsound

HRESULT CoCreateInstance(const DSoundClassId& clsid, void* outer, DWORD, const DSoundInterfaceId& iid,
                         void** object) {
    if (!object) return DSERR_INVALIDPARAM;
    *object = nullptr;
    if (outer || clsid.id != CLSID_DirectSound.id || iid.id != IID_IDirectSound.id) return DSERR_INVALIDPARAM;
    if (platform::dsound::ShouldFail(platform::testing::SoundCall::CreateDevice)) return DSERR_GENERIC;
    *object = static_cast<IDirectSound*>(new platform::dsound::Device);
    return DS_OK;
}

namespace platform::testing {
std::vector<SoundDeviceState> SoundDevices() {
    std::lock_guard<std::mutex> lock(dsound::g_deviceLock);
    std::vector<SoundDeviceState> out;
    for (const dsound::Device* d : dsound::g_devices)
        out.push_back({d->Level(), d->PrimaryFormat()});
    return out;
}
} // namespace platform::testing
