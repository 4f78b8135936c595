// Mode 1: the start-up pictures on the background layer, or straight on to the opening movie.
#pragma once

#include "platform/base.h"

class CLogoMode {
  public:
    CLogoMode();
    ~CLogoMode();
    CLogoMode(const CLogoMode&) = delete;
    CLogoMode& operator=(const CLogoMode&) = delete;

    // The next mode: 1 to stay, 2 for the movie, 3 for the title.
    int Run();

  private:
    DWORD m_State = 0;
    DWORD m_Deadline = 0;
};
