// The filter graph: one object behind the five interfaces, keeping the video window's and the sound's
// settings and handing playback to its engine.
#include "platform/files.h"
#include "platform/movie_internal.h"

#include <atomic>
#include <new>
#include <string>

namespace platform::movie {
namespace {
using testing::MovieCall;

// Wide characters as the host spells paths: UTF-8.
std::string WideToUtf8(const WCHAR* wide) {
    std::string out;
    for (; *wide; ++wide) {
        const auto c = static_cast<std::uint32_t>(*wide);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | ((c >> 18) & 0x07));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

class FilterGraph final : public IGraphBuilder,
                          public IMediaControl,
                          public IMediaPosition,
                          public IVideoWindow,
                          public IBasicAudio {
  public:
    explicit FilterGraph(std::unique_ptr<MovieEngine> engine)
        : m_Engine(std::move(engine)), m_Window(m_Engine.get()) {
        Record();
    }

    HRESULT QueryInterface(const GraphInterfaceId& iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        switch (iid.id) {
        case IID_IGraphBuilder.id:
            *object = static_cast<IGraphBuilder*>(this);
            break;
        case IID_IMediaControl.id:
            if (const HRESULT hr = Enter(MovieCall::QueryMediaControl); hr != S_OK) return hr;
            *object = static_cast<IMediaControl*>(this);
            break;
        case IID_IMediaPosition.id:
            if (const HRESULT hr = Enter(MovieCall::QueryMediaPosition); hr != S_OK) return hr;
            *object = static_cast<IMediaPosition*>(this);
            break;
        case IID_IVideoWindow.id:
            if (const HRESULT hr = Enter(MovieCall::QueryVideoWindow); hr != S_OK) return hr;
            *object = static_cast<IVideoWindow*>(this);
            break;
        case IID_IBasicAudio.id:
            if (const HRESULT hr = Enter(MovieCall::QueryBasicAudio); hr != S_OK) return hr;
            *object = static_cast<IBasicAudio*>(this);
            break;
        default:
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }

    ULONG AddRef() override { return ++m_Refs; }
    ULONG Release() override {
        const ULONG left = --m_Refs;
        if (left == 0) delete this;
        return left;
    }

    HRESULT RenderFile(const WCHAR* file, const WCHAR*) override {
        if (const HRESULT hr = Enter(MovieCall::RenderFile); hr != S_OK) return hr;
        if (!file) return E_POINTER;
        if (m_Rendered) return VFW_E_WRONG_STATE;
        const std::string host = ResolvePath(WideToUtf8(file).c_str());
        const HRESULT hr = m_Engine->Open(host);
        if (hr < 0) return hr;
        m_Rendered = true;
        m_Path = host;
        m_Engine->SetVolume(m_Volume);
        Record();
        return S_OK;
    }

    HRESULT Run() override {
        if (const HRESULT hr = Enter(MovieCall::Run); hr != S_OK) return hr;
        if (!m_Rendered) return VFW_E_WRONG_STATE;
        const HRESULT hr = m_Engine->Run();
        if (hr < 0) return hr;
        m_Running = true;
        if (m_AutoShow) m_Window.State().visible = true;
        m_Window.Invalidate();
        Record();
        return S_OK;
    }

    HRESULT Stop() override {
        if (const HRESULT hr = Enter(MovieCall::Stop); hr != S_OK) return hr;
        StopEngine();
        return S_OK;
    }

    HRESULT get_Duration(REFTIME* length) override {
        if (const HRESULT hr = Enter(MovieCall::GetDuration); hr != S_OK) return hr;
        if (!length) return E_POINTER;
        if (!m_Rendered) return VFW_E_WRONG_STATE;
        *length = m_Engine->Duration();
        return S_OK;
    }

    HRESULT get_CurrentPosition(REFTIME* position) override {
        if (const HRESULT hr = Enter(MovieCall::GetCurrentPosition); hr != S_OK) return hr;
        if (!position) return E_POINTER;
        if (!m_Rendered) return VFW_E_WRONG_STATE;
        *position = m_Engine->Position();
        return S_OK;
    }

    HRESULT put_CurrentPosition(REFTIME position) override {
        if (const HRESULT hr = Enter(MovieCall::PutCurrentPosition); hr != S_OK) return hr;
        if (!m_Rendered) return VFW_E_WRONG_STATE;
        if (!(position >= 0.0)) return E_INVALIDARG;
        const HRESULT hr = m_Engine->SetPosition(position);
        m_Window.Invalidate();
        return hr;
    }

    HRESULT put_Owner(OAHWND owner) override {
        if (const HRESULT hr = Enter(MovieCall::PutOwner); hr != S_OK) return hr;
        HWND hwnd = reinterpret_cast<HWND>(owner);
        if (hwnd && !IsWindow(hwnd)) return E_INVALIDARG;
        m_Window.State().owner = hwnd;
        m_Window.Invalidate();
        Record();
        return S_OK;
    }

    HRESULT put_MessageDrain(OAHWND drain) override {
        if (const HRESULT hr = Enter(MovieCall::PutMessageDrain); hr != S_OK) return hr;
        HWND hwnd = reinterpret_cast<HWND>(drain);
        if (hwnd && !IsWindow(hwnd)) return E_INVALIDARG;
        m_Drain = hwnd;
        Record();
        return S_OK;
    }

    HRESULT put_WindowStyle(LONG style) override {
        if (const HRESULT hr = Enter(MovieCall::PutWindowStyle); hr != S_OK) return hr;
        m_Style = style;
        Record();
        return S_OK;
    }

    HRESULT SetWindowPosition(LONG left, LONG top, LONG width, LONG height) override {
        if (const HRESULT hr = Enter(MovieCall::SetWindowPosition); hr != S_OK) return hr;
        if (width <= 0 || height <= 0) return E_INVALIDARG;
        m_Window.State().rect = RECT{left, top, left + width, top + height};
        m_Window.Invalidate();
        Record();
        return S_OK;
    }

    HRESULT put_AutoShow(LONG autoShow) override {
        if (const HRESULT hr = Enter(MovieCall::PutAutoShow); hr != S_OK) return hr;
        if (autoShow != OATRUE && autoShow != OAFALSE) return E_INVALIDARG;
        m_AutoShow = autoShow == OATRUE;
        Record();
        return S_OK;
    }

    HRESULT put_Visible(LONG visible) override {
        if (const HRESULT hr = Enter(MovieCall::PutVisible); hr != S_OK) return hr;
        if (visible != OATRUE && visible != OAFALSE) return E_INVALIDARG;
        m_Window.State().visible = visible == OATRUE;
        m_Window.Invalidate();
        Record();
        return S_OK;
    }

    HRESULT get_Visible(LONG* visible) override {
        if (const HRESULT hr = Enter(MovieCall::GetVisible); hr != S_OK) return hr;
        if (!visible) return E_POINTER;
        *visible = m_Window.State().visible ? OATRUE : OAFALSE;
        return S_OK;
    }

    HRESULT put_Volume(LONG volume) override {
        if (const HRESULT hr = Enter(MovieCall::PutVolume); hr != S_OK) return hr;
        if (volume < -10000 || volume > 0) return E_INVALIDARG;
        m_Volume = volume;
        m_Engine->SetVolume(volume);
        Record();
        return S_OK;
    }

    HRESULT get_Volume(LONG* volume) override {
        if (const HRESULT hr = Enter(MovieCall::GetVolume); hr != S_OK) return hr;
        if (!volume) return E_POINTER;
        *volume = m_Volume;
        return S_OK;
    }

  private:
    ~FilterGraph() override {
        StopEngine();
        m_Exists = false;
        Record();
    }

    void StopEngine() {
        if (m_Rendered && m_Running) m_Engine->Stop();
        m_Running = false;
        Record();
    }

    void Record() const {
        testing::MovieGraphState s;
        s.exists = m_Exists;
        s.renderedPath = m_Path;
        s.owner = m_Window.State().owner;
        s.messageDrain = m_Drain;
        s.windowStyle = m_Style;
        s.windowRect = m_Window.State().rect;
        s.autoShow = m_AutoShow ? OATRUE : OAFALSE;
        s.visible = m_Window.State().visible ? OATRUE : OAFALSE;
        s.running = m_Running;
        s.volume = m_Volume;
        RecordGraph(s);
    }

    std::atomic<ULONG> m_Refs{1};
    std::unique_ptr<MovieEngine> m_Engine;
    mutable VideoWindow m_Window;
    bool m_Exists = true;
    bool m_Rendered = false;
    bool m_Running = false;
    bool m_AutoShow = true;
    HWND m_Drain = nullptr;
    LONG m_Style = 0;
    LONG m_Volume = 0;
    std::string m_Path;
};
} // namespace
} // namespace platform::movie

HRESULT CoCreateInstance(const GraphClassId& clsid, void* outer, DWORD, const GraphInterfaceId& iid,
                         void** object) {
    using namespace platform::movie;
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return E_INVALIDARG;
    if (clsid.id != CLSID_FilterGraph.id) return REGDB_E_CLASSNOTREG;
    if (const HRESULT hr = Enter(platform::testing::MovieCall::CreateGraph); hr != S_OK) return hr;
    auto* graph = new (std::nothrow) FilterGraph(CreateChosenEngine());
    if (!graph) return E_OUTOFMEMORY;
    IGraphBuilder* builder = graph;
    const HRESULT hr = builder->QueryInterface(iid, object);
    builder->Release();
    return hr;
}
