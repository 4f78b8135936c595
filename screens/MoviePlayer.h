// A small wrapper of the movie family's filter graph: one movie file, played in a video window over
// the main window's client area.
#pragma once

#include "platform/movie.h"

class CMoviePlayer {
  public:
    CMoviePlayer();
    ~CMoviePlayer();
    CMoviePlayer(const CMoviePlayer&) = delete;
    CMoviePlayer& operator=(const CMoviePlayer&) = delete;

    void Clear();
    // The graph and its four interfaces; the video window will be width x height.
    bool Create(int width, int height);
    // Renders the file (a path in the host's code page) and sets the video window up over the main
    // window; the movie then starts from its beginning unless a second or more of it is left.
    bool Open(const char* path);
    bool Play();
    bool Stop();
    // Hundredths of a decibel; -1 when the graph cannot tell.
    LONG GetVolume();
    bool SetVolume(LONG volume);
    // True once the position reaches the duration; until then a hidden video window is shown again.
    bool IsFinished();
    // Stops, puts the graph's own volume back, detaches the video window and lets every interface go.
    void Release();

  private:
    IGraphBuilder* m_pGraph;
    IMediaControl* m_pMediaControl;
    IMediaPosition* m_pMediaPosition;
    IVideoWindow* m_pVideoWindow;
    IBasicAudio* m_pBasicAudio;
    LONG m_Width;
    LONG m_Height;
    LONG m_SavedVolume;
    double m_Duration;
};
