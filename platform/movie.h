// The movie family: a filter graph that renders a movie file (MPEG program streams and whatever else
// FFmpeg reads), plays it with its picture in a video window over the owner window's client area and
// its sound through the layer's mixer, and reports duration and position in seconds. The graph is one
// object behind five interfaces, made by CoCreateInstance and reached by QueryInterface.
#pragma once

#include "platform/base.h"
#include "platform/window.h"

#include <cstdint>

using WCHAR = wchar_t;
// Seconds.
using REFTIME = double;
// A window handle as the video window takes it.
using OAHWND = std::intptr_t;
enum : LONG { OATRUE = -1, OAFALSE = 0 };

enum : HRESULT {
    S_OK = 0,
    S_FALSE = 1,
    E_NOTIMPL = static_cast<HRESULT>(0x80004001),
    E_NOINTERFACE = static_cast<HRESULT>(0x80004002),
    E_POINTER = static_cast<HRESULT>(0x80004003),
    E_FAIL = static_cast<HRESULT>(0x80004005),
    E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E),
    E_INVALIDARG = static_cast<HRESULT>(0x80070057),
    // The file does not exist.
    HRESULT_FILE_NOT_FOUND = static_cast<HRESULT>(0x80070002),
    REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154),
    // The file holds no stream the graph can play.
    VFW_E_UNSUPPORTED_STREAM = static_cast<HRESULT>(0x80040265),
    // A call that needs a rendered file came before RenderFile.
    VFW_E_WRONG_STATE = static_cast<HRESULT>(0x80040227),
};

// Creation and queries through the component interface; the ids are this layer's own.
struct GraphClassId {
    int id;
};
struct GraphInterfaceId {
    int id;
};
inline constexpr GraphClassId CLSID_FilterGraph{1};
inline constexpr GraphInterfaceId IID_IGraphBuilder{1};
inline constexpr GraphInterfaceId IID_IMediaControl{2};
inline constexpr GraphInterfaceId IID_IMediaPosition{3};
inline constexpr GraphInterfaceId IID_IVideoWindow{4};
inline constexpr GraphInterfaceId IID_IBasicAudio{5};

// Every interface of the graph counts references on the one object; the last Release stops playback
// and frees it.
class IGraphUnknown {
  public:
    virtual HRESULT QueryInterface(const GraphInterfaceId& iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

  protected:
    virtual ~IGraphUnknown() = default;
};

class IGraphBuilder : public IGraphUnknown {
  public:
    // Opens the file and builds its decoders; a graph renders one file. The play list is not used.
    virtual HRESULT RenderFile(const WCHAR* file, const WCHAR* playList) = 0;
};

class IMediaControl : public IGraphUnknown {
  public:
    // Plays from the current position; the video window shows itself when AutoShow is on.
    virtual HRESULT Run() = 0;
    // Stops and keeps the position.
    virtual HRESULT Stop() = 0;
};

class IMediaPosition : public IGraphUnknown {
  public:
    // The container's length (program streams estimate it).
    virtual HRESULT get_Duration(REFTIME* length) = 0;
    // The sound's clock while there is sound, else the time since Run; once every stream is drained
    // it reads the duration.
    virtual HRESULT get_CurrentPosition(REFTIME* position) = 0;
    virtual HRESULT put_CurrentPosition(REFTIME position) = 0;
};

// The picture's own window, a child of its owner: it covers the RECT given by SetWindowPosition in
// the owner's client area and is painted by SleepShowingVideo on the main thread.
class IVideoWindow : public IGraphUnknown {
  public:
    virtual HRESULT put_Owner(OAHWND owner) = 0;
    // Where the video window's mouse and key messages go; ours go to the owner already.
    virtual HRESULT put_MessageDrain(OAHWND drain) = 0;
    virtual HRESULT put_WindowStyle(LONG style) = 0;
    virtual HRESULT SetWindowPosition(LONG left, LONG top, LONG width, LONG height) = 0;
    // OATRUE: the window shows itself when the graph runs.
    virtual HRESULT put_AutoShow(LONG autoShow) = 0;
    virtual HRESULT put_Visible(LONG visible) = 0;
    // OATRUE or OAFALSE.
    virtual HRESULT get_Visible(LONG* visible) = 0;
};

class IBasicAudio : public IGraphUnknown {
  public:
    // Hundredths of a decibel, -10000 (silent) to 0; a movie without sound keeps the value.
    virtual HRESULT put_Volume(LONG volume) = 0;
    virtual HRESULT get_Volume(LONG* volume) = 0;
};

HRESULT CoCreateInstance(const GraphClassId& clsid, void* outer, DWORD context, const GraphInterfaceId& iid,
                         void** object);

namespace platform {
// Waits like Sleep(ms) on the main thread while every visible video window shows its frames as they
// fall due; on the manual clock the clock moves on first and the latest frame is shown once.
void SleepShowingVideo(DWORD ms);
} // namespace platform
