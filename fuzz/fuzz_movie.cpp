// Movie files as the filter graph reads them: rendered, run on the manual clock with the video window
// painting until the position reaches the duration, then jumped back, stopped and freed. Whatever the
// stamps say, the end comes within a bounded time and what the decoder holds stays bounded.
// fuzz-runs: 3000
#include "ScratchFolder.h"

#include "platform/movie.h"
#include "platform/testing.h"
#include "platform/time.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {
namespace pt = platform::testing;

// Far more than a movie of the fuzzer's few kilobytes can last, in one-second passes.
constexpr int kMaxSeconds = 1200;

// Well above what the player is built to hold (a few pictures, a few megabytes of packets read ahead,
// a second of decoded sound and what one packet adds to it), and far below what a queue that follows
// the stamps reaches.
bool WithinBounds(const pt::MovieBufferUse& peak) {
    return peak.frames <= 16 && peak.frameBytes <= (128u << 20) && peak.packetBytes <= (8u << 20) &&
           peak.soundFrames <= 10 * 44100;
}

HWND Window() {
    static HWND window = [] {
        pt::UseManualClock(1000);
        pt::UseSoundBackend(pt::SoundBackend::Headless);
        pt::UseHeadlessDisplay();
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
        REFTIME duration = 0.0, now = 0.0;
        position->get_Duration(&duration);
        int pass = 0;
        for (; pass < kMaxSeconds && now < duration; ++pass) {
            platform::SleepShowingVideo(1000);
            position->get_CurrentPosition(&now);
        }
        if (now < duration || !WithinBounds(pt::MovieBufferPeak())) std::abort();
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
