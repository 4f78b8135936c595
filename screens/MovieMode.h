// Mode 2: the opening movie, skipped by a click or Enter.
#pragma once

#include "graphics/UpdateRect.h"
#include "platform/ddraw.h"

class CMoviePlayer;

class CMovieMode {
  public:
    CMovieMode();
    ~CMovieMode();
    CMovieMode(const CMovieMode&) = delete;
    CMovieMode& operator=(const CMovieMode&) = delete;

    // Starts "op.mpg" of the movie folder at the music's volume; a movie that cannot be played ends
    // the mode at the next Run.
    void Play();
    // 2 while the movie plays, 3 once it has ended or was skipped.
    int Run();
    void Close();
    void OnLButtonDown(int x, int y);
    void OnLButtonUp(int x, int y);
    void OnKeyDown(UINT vk);
    void OnKeyUp(UINT vk);
    void FlushUpdateRect();
    HRESULT Draw(IDirectDrawSurface* target);
    bool RecreateSurfaces(IDirectDraw* dd);
    bool ReleaseSurfaces();
    bool RestoreSurfaces();

  private:
    int m_State;
    CUpdateRect m_UpdateRect;
    CMoviePlayer* m_pPlayer;
};
