// Turns pointer positions into region numbers and follows hover, press and click over them. Regions are
// a table of rectangles (the index is the region) or an 8-bit region mask placed on the screen. Every
// screen object derives from it; -1 means "no region" throughout.
#pragma once

#include "platform/base.h"

#include <cstddef>

class CHitArea {
  public:
    CHitArea();
    ~CHitArea();
    CHitArea(const CHitArea&) = delete;
    CHitArea& operator=(const CHitArea&) = delete;

    // The region under (x, y) in back-buffer pixels, or -1.
    int HitTest(int x, int y) const;
    void OnMouseMove(int x, int y);
    void OnLButtonDown(int x, int y);
    void OnLButtonUp(int x, int y);

    // Switches to the region mask `image` (1040-byte header and pixels) with its top-left pixel at
    // (x, y); pixels equal to noneValue are no region. With copy 1 the image is copied and owned,
    // otherwise borrowed. `imageSize` is the number of bytes readable at `image`: an image whose
    // 1040 + width x height bytes do not fit in it is refused (false) and nothing changes. The header's
    // total is not read.
    // Callers call ReleaseMask (and ResetInput) before they set another mask; an owned mask still held
    // is freed all the same.
    bool SetMask(const BYTE* image, int x, int y, BYTE noneValue, BYTE copy, std::size_t imageSize);
    // Frees an owned mask and returns to the rectangle table; the region numbers stay.
    void ReleaseMask();
    // Forgets press, hover and the current region; the mode stays.
    void ResetInput();

    int GetPressedRegion() const { return m_nPressed; }
    int GetHoverRegion() const { return m_nHover; }
    int GetCurrentRegion() const { return m_nCurrent; }
    bool IsButtonHeld() const { return m_bButtonHeld != 0; }
    bool IsMaskMode() const { return m_bMaskMode != 0; }

  protected:
    int m_nPressed;
    BYTE m_bButtonHeld;
    BYTE m_bMaskMode;
    BYTE* m_pOwnedMask;
    const BYTE* m_pMaskPixels;
    int m_nMaskX;
    int m_nMaskY;
    int m_nMaskWidth;
    int m_nMaskHeight;
    BYTE m_NoneValue;
    // Set by the derived class, as a rule to a static table of its own; not owned.
    const RECT* m_pRectTable;
    int m_nRectCount;
    int m_nHover;
    int m_nCurrent;
};
