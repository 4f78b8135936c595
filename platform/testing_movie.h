// Test interface of the movie family: a scripted fake in place of the decoder, faults of every graph
// call, the state of the newest graph and the pictures its video window showed.
#pragma once

#include "platform/base.h"
#include "platform/window.h"

#include <cstddef>
#include <string>
#include <vector>

namespace platform::testing {
// What graphs made from now on play. The fake reads no file: RenderFile succeeds when the file exists,
// the duration is scripted and the position is the time since Run on the layer's clock, starting at
// `storedPosition` and held at the duration. It shows no pictures and plays no sound.
struct FakeMovie {
    double duration = 10.0;
    double storedPosition = 0.0;
};
void UseFakeMovie(const FakeMovie& movie);
// FFmpeg, as the program plays. Also forgets faults, the log and the recorded state.
void UseRealMovie();

// The calls of the graph and its interfaces, in the order a player makes them.
enum class MovieCall {
    CreateGraph,
    QueryMediaControl,
    QueryMediaPosition,
    QueryVideoWindow,
    QueryBasicAudio,
    RenderFile,
    PutOwner,
    PutMessageDrain,
    PutWindowStyle,
    SetWindowPosition,
    GetDuration,
    GetCurrentPosition,
    PutCurrentPosition,
    PutAutoShow,
    PutVisible,
    GetVisible,
    PutVolume,
    GetVolume,
    Run,
    Stop,
};
// The call after `skip` further ones fails once with E_FAIL, or raises a fault (an exception) when
// `raise` is set.
void FailMovieCall(MovieCall call, int skip = 0, bool raise = false);
void ClearMovieFaults();
// Every call made since the last take, failed ones included.
std::vector<MovieCall> TakeMovieCalls();

struct MovieGraphState {
    bool exists = false;      // a graph was made and not yet freed
    std::string renderedPath; // the host path RenderFile opened
    HWND owner = nullptr;
    HWND messageDrain = nullptr;
    LONG windowStyle = 0;
    RECT windowRect{0, 0, 0, 0};
    LONG autoShow = 0;
    LONG visible = 0;
    bool running = false;
    LONG volume = 0;
};
// The newest graph, as it was when it was freed if it is gone.
MovieGraphState LastMovieGraph();
// Hides every video window, as a window laid over it would.
void HideVideoWindows();

// What a graph that decodes holds in memory at most: decoded pictures waiting for their time and
// their bytes, packets read ahead of their decoding, and decoded sound (44,100 Hz stereo sample
// frames) not yet in the mixer's ring.
struct MovieBufferUse {
    std::size_t frames = 0;
    std::size_t frameBytes = 0;
    std::size_t packetBytes = 0;
    std::size_t soundFrames = 0;
};
// The largest of each since the newest graph was made.
MovieBufferUse MovieBufferPeak();

// Pictures the video windows put on screen, and the last one as 0xRRGGBB of the owner's client area.
int VideoPresentCount();
std::vector<DWORD> LastVideoPicture();
} // namespace platform::testing
