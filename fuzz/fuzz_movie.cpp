// Movie files as the filter graph reads them: rendered, run for a few idle passes on the manual clock
// with the video window painting, then stopped and freed.
// fuzz-runs: 3000
#include "ScratchFolder.h"

#include "platform/movie.h"
#include "platform/testing.h"
#include "platform/time.h"

#include <cstdint>
#include <cstdio>

namespace {
HWND Window() {
    static HWND window = [] {
        platform::testing::UseManualClock(1000);
        platform::testing::UseSoundBackend(platform::testing::SoundBackend::Headless);
        platform::testing::UseHeadlessDisplay();
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "MovieFuzz";
        RegisterClassA(&wc);
        return CreateWindowExA(0, "MovieFuzz", "movie", WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr, nullptr,
                               nullptr);
    }();
    return window;
}

template <class T> T* Query(IGraphBuilder* graph, const GraphInterfaceId& iid) {
    void* p = nullptr;
    return SUCCEEDED(graph->QueryInterface(iid, &p)) ? static_cast<T*>(p) : nullptr;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    HWND window = Window();
    const std::string path = fuzzing::ScratchFolder().File("op.mpg");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    IGraphBuilder* graph = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                reinterpret_cast<void**>(&graph))))
        return 0;
    auto* control = Query<IMediaControl>(graph, IID_IMediaControl);
    auto* position = Query<IMediaPosition>(graph, IID_IMediaPosition);
    auto* video = Query<IVideoWindow>(graph, IID_IVideoWindow);
    const std::wstring wide(path.begin(), path.end());
    if (SUCCEEDED(graph->RenderFile(wide.c_str(), nullptr))) {
        video->put_Owner(reinterpret_cast<OAHWND>(window));
        video->SetWindowPosition(0, 0, 640, 480);
        control->Run();
        REFTIME now = 0.0;
        for (int pass = 0; pass < 4; ++pass) {
            platform::SleepShowingVideo(100);
            position->get_CurrentPosition(&now);
        }
        // A jump back to the start decodes from there again.
        position->put_CurrentPosition(0.0);
        platform::SleepShowingVideo(100);
        control->Stop();
    }
    video->Release();
    position->Release();
    control->Release();
    graph->Release();
    return 0;
}
