// The pixels of a surface, held in memory while the display object behind it is replaced (a switch
// between windowed and full screen), so that what an owner drew survives into the new surface: a
// picture read from a file and one a screen or the scenario drew into alike.
#pragma once

#include "platform/ddraw.h"

class CDDrawSurface;

#include <vector>

class CSurfaceContent {
  public:
    // Copies the surface's pixels, their format and its colour key; false (and nothing held) when the
    // surface cannot be read.
    bool Keep(const CDDrawSurface* surface);
    bool IsEmpty() const { return m_Pixels.empty(); }
    // True when `surface` has the size and the pixel format the content was kept in, so that the bytes
    // go back unchanged.
    bool Fits(const CDDrawSurface* surface) const;
    // Puts the content and its colour key into `surface` of the same size: byte for byte when it fits,
    // else each pixel through its red, green and blue (a display that changed depth). False when nothing
    // is held, the sizes differ or the surface cannot be written.
    bool PutBack(CDDrawSurface* surface) const;
    void Clear();

  private:
    bool Convert(IDirectDrawSurface* surface) const;
    // The key in the surface's own format once the content is in it.
    DWORD KeyFor(IDirectDrawSurface* surface, bool converted) const;

    std::vector<BYTE> m_Pixels; // rows without padding
    DWORD m_Width = 0;
    DWORD m_Height = 0;
    DDPIXELFORMAT m_Format{};
    bool m_bKeyed = false;
    DWORD m_Key = 0;
};
