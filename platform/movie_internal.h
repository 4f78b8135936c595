// Pieces of the movie family shared between its files: what plays a rendered file (FFmpeg, or the
// scripted fake of the test interface), the video windows the main thread paints, and the faults and
// call log of the test interface.
#pragma once

#include "platform/movie.h"
#include "platform/testing_movie.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform::movie {

// A picture ready to show: 0x00RRGGBB words, rows top to bottom.
struct VideoPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// Plays one rendered file. Control calls come from the main thread; an engine that decodes on its
// own thread guards what that thread shares.
class MovieEngine {
  public:
    virtual ~MovieEngine() = default;
    virtual HRESULT Open(const std::string& hostPath) = 0;
    virtual double Duration() const = 0;
    virtual HRESULT Run() = 0;
    virtual HRESULT Stop() = 0;
    virtual double Position() = 0;
    virtual HRESULT SetPosition(double seconds) = 0;
    virtual void SetVolume(LONG volume) = 0;
    // The picture due now at `width` x `height`, when it is another than the one last handed out or
    // `again` asks for the current one once more; false when there is none.
    virtual bool TakeDuePicture(int width, int height, bool again, VideoPicture* out) = 0;
};

std::unique_ptr<MovieEngine> CreateFfmpegEngine();
std::unique_ptr<MovieEngine> CreateFakeEngine(const testing::FakeMovie& script);
// The engine the test interface chose for new graphs (FFmpeg unless a fake was asked for).
std::unique_ptr<MovieEngine> CreateChosenEngine();

// The video window's state as the painter reads it.
struct VideoWindowState {
    HWND owner = nullptr;
    RECT rect{0, 0, 0, 0};
    bool visible = false;
};

// A graph's video window, known to the painter from creation to release. Main thread only.
class VideoWindow {
  public:
    VideoWindow(MovieEngine* engine);
    ~VideoWindow();
    VideoWindow(const VideoWindow&) = delete;
    VideoWindow& operator=(const VideoWindow&) = delete;

    VideoWindowState& State() { return m_State; }
    // The next paint shows the current picture even when it has been shown (a fresh or moved window).
    void Invalidate() { m_Repaint = true; }
    // Shows the picture due now, when there is a new one or a repaint is owed.
    void Paint();

  private:
    MovieEngine* m_Engine;
    VideoWindowState m_State;
    bool m_Repaint = true;
    std::vector<std::uint32_t> m_Canvas;
};

// Records the call in the log, then applies its fault: S_OK to go on, E_FAIL for a failure; a thrown
// fault leaves by exception.
HRESULT Enter(testing::MovieCall call);

// The test interface's view of the newest graph.
void RecordGraph(const testing::MovieGraphState& state);
// What the newest graph's engine holds now; the test interface keeps the largest.
void RecordBufferUse(const testing::MovieBufferUse& use);

} // namespace platform::movie
