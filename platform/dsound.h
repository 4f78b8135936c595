// The sound device and its buffers, in the shape the sound controllers call them. Every secondary
// buffer is mixed in software to 44,100 Hz stereo 16 bit: on the SDL backend into an SDL audio
// device, on the headless backend as the clock advances (platform/testing_sound.h reads the result).
#pragma once

#include "platform/base.h"
#include "platform/window.h"

#include <cstdint>

#pragma pack(push, 1)
// 18 bytes, as it is stored in WAVE files and compared field by field.
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18, "WAVEFORMATEX is 18 bytes");

enum : WORD { WAVE_FORMAT_PCM = 1 };

struct DSBUFFERDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwBufferBytes;
    DWORD dwReserved;
    WAVEFORMATEX* lpwfxFormat;
    BYTE guid3DAlgorithm[16];
};

enum : DWORD { DSSCL_NORMAL = 1, DSSCL_PRIORITY = 2, DSSCL_EXCLUSIVE = 3, DSSCL_WRITEPRIMARY = 4 };

enum : DWORD {
    DSBCAPS_PRIMARYBUFFER = 0x00000001,
    DSBCAPS_STATIC = 0x00000002,
    DSBCAPS_LOCHARDWARE = 0x00000004,
    DSBCAPS_LOCSOFTWARE = 0x00000008,
    DSBCAPS_CTRLFREQUENCY = 0x00000020,
    DSBCAPS_CTRLPAN = 0x00000040,
    DSBCAPS_CTRLVOLUME = 0x00000080,
    DSBCAPS_CTRLPOSITIONNOTIFY = 0x00000100,
    DSBCAPS_GETCURRENTPOSITION2 = 0x00010000,
};

enum : DWORD { DSBPLAY_LOOPING = 0x00000001 };
enum : DWORD {
    DSBSTATUS_PLAYING = 0x00000001,
    DSBSTATUS_BUFFERLOST = 0x00000002,
    DSBSTATUS_LOOPING = 0x00000004
};
enum : DWORD { DSBLOCK_FROMWRITECURSOR = 0x00000001, DSBLOCK_ENTIREBUFFER = 0x00000002 };

enum : LONG { DSBVOLUME_MIN = -10000, DSBVOLUME_MAX = 0 };
enum : LONG { DSBPAN_LEFT = -10000, DSBPAN_CENTER = 0, DSBPAN_RIGHT = 10000 };
enum : DWORD { DSBFREQUENCY_ORIGINAL = 0, DSBFREQUENCY_MIN = 100, DSBFREQUENCY_MAX = 100000 };
enum : DWORD { DSBSIZE_MIN = 4, DSBSIZE_MAX = 0x0FFFFFFF };

enum : HRESULT {
    DS_OK = 0,
    DSERR_GENERIC = static_cast<HRESULT>(0x80004005),
    DSERR_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E),
    DSERR_INVALIDPARAM = static_cast<HRESULT>(0x80070057),
    DSERR_ALLOCATED = static_cast<HRESULT>(0x8878000A),
    DSERR_CONTROLUNAVAIL = static_cast<HRESULT>(0x8878001E),
    DSERR_INVALIDCALL = static_cast<HRESULT>(0x88780032),
    DSERR_PRIOLEVELNEEDED = static_cast<HRESULT>(0x88780046),
    DSERR_BADFORMAT = static_cast<HRESULT>(0x88780064),
    DSERR_NODRIVER = static_cast<HRESULT>(0x88780078),
    DSERR_ALREADYINITIALIZED = static_cast<HRESULT>(0x88780082),
    DSERR_UNINITIALIZED = static_cast<HRESULT>(0x887800AA),
};

// A secondary buffer (any PCM format: 8 or 16 bit, mono or stereo, 100 to 100,000 Hz) or the device's
// primary buffer. Every call is safe from any thread.
class IDirectSoundBuffer {
  public:
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    // Byte offsets of the play cursor and of the write cursor a little ahead of it.
    virtual HRESULT GetCurrentPosition(DWORD* play, DWORD* write) = 0;
    // Copies up to `size` bytes of the format; `written` receives the bytes copied (18 with no format).
    virtual HRESULT GetFormat(WAVEFORMATEX* format, DWORD size, DWORD* written) = 0;
    virtual HRESULT GetVolume(LONG* volume) = 0;
    virtual HRESULT GetPan(LONG* pan) = 0;
    virtual HRESULT GetFrequency(DWORD* frequency) = 0;
    virtual HRESULT GetStatus(DWORD* status) = 0;
    // Up to two regions: the second starts at offset 0 when the range runs over the buffer's end.
    // Without room for a second region only the first is handed out.
    virtual HRESULT Lock(DWORD offset, DWORD bytes, void** part1, DWORD* bytes1, void** part2, DWORD* bytes2,
                         DWORD flags) = 0;
    // Plays from the current position; a buffer played without DSBPLAY_LOOPING stops at its end and
    // rewinds to its start.
    virtual HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) = 0;
    virtual HRESULT SetCurrentPosition(DWORD position) = 0;
    // Primary buffer only, and only at DSSCL_PRIORITY or above.
    virtual HRESULT SetFormat(const WAVEFORMATEX* format) = 0;
    // Hundredths of a decibel: the gain is 10^(volume/2000); -10000 is silence.
    virtual HRESULT SetVolume(LONG volume) = 0;
    // -10000 (left only) to 10000 (right only): the other side is attenuated by that many hundredths.
    virtual HRESULT SetPan(LONG pan) = 0;
    // 0 for the format's own rate.
    virtual HRESULT SetFrequency(DWORD frequency) = 0;
    // Stops and keeps the cursor where it is.
    virtual HRESULT Stop() = 0;
    virtual HRESULT Unlock(void* part1, DWORD bytes1, void* part2, DWORD bytes2) = 0;
    virtual HRESULT Restore() = 0;

  protected:
    virtual ~IDirectSoundBuffer() = default;
};

class IDirectSound {
  public:
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    // Opens the output: null for the default device. DSERR_NODRIVER when there is none.
    virtual HRESULT Initialize(const void* device) = 0;
    // The window is not needed on this platform.
    virtual HRESULT SetCooperativeLevel(HWND hwnd, DWORD level) = 0;
    virtual HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer, void* outer) = 0;

  protected:
    virtual ~IDirectSound() = default;
};

// Creation through the component interface, as the device is asked for: the ids are this layer's own.
struct DSoundClassId {
    int id;
};
struct DSoundInterfaceId {
    int id;
};
inline constexpr DSoundClassId CLSID_DirectSound{1};
inline constexpr DSoundInterfaceId IID_IDirectSound{1};
HRESULT CoCreateInstance(const DSoundClassId& clsid, void* outer, DWORD context, const DSoundInterfaceId& iid,
                         void** object);
