#include "graphics/HitArea.h"

#include "graphics/MaskImage.h"

#include <cstring>

CHitArea::CHitArea()
    : m_nPressed(-1), m_bButtonHeld(0), m_bMaskMode(0), m_pOwnedMask(nullptr), m_pMaskPixels(nullptr),
      m_nMaskX(0), m_nMaskY(0), m_nMaskWidth(0), m_nMaskHeight(0), m_NoneValue(0), m_pRectTable(nullptr),
      m_nRectCount(0), m_nHover(-1), m_nCurrent(-1) {}

CHitArea::~CHitArea() {
    ReleaseMask();
}

int CHitArea::HitTest(int x, int y) const {
    if (m_bMaskMode) {
        if (!m_pMaskPixels) return -1;
        const long long column = static_cast<long long>(x) - m_nMaskX;
        const long long row = static_cast<long long>(y) - m_nMaskY;
        if (column < 0 || column >= m_nMaskWidth || row < 0 || row >= m_nMaskHeight) return -1;
        const BYTE value = m_pMaskPixels[row * m_nMaskWidth + column];
        return value == m_NoneValue ? -1 : value;
    }
    if (!m_pRectTable) return -1;
    for (int i = 0; i < m_nRectCount; ++i) {
        const RECT& r = m_pRectTable[i];
        if (r.left <= x && x < r.right && r.top <= y && y < r.bottom) return i;
    }
    return -1;
}

void CHitArea::OnMouseMove(int x, int y) {
    if (!m_bButtonHeld) {
        m_nHover = HitTest(x, y);
        m_nCurrent = -1;
        return;
    }
    m_nHover = -1;
    const int h = HitTest(x, y);
    m_nCurrent = (h != -1 && h == m_nPressed) ? h : -1;
}

void CHitArea::OnLButtonDown(int x, int y) {
    if (m_bButtonHeld) return;
    m_bButtonHeld = 1;
    const int h = HitTest(x, y);
    m_nPressed = h;
    m_nCurrent = h;
    m_nHover = -1;
}

void CHitArea::OnLButtonUp(int x, int y) {
    if (!m_bButtonHeld) return;
    m_bButtonHeld = 0;
    const int h = HitTest(x, y);
    if (h == -1) {
        m_nCurrent = -1;
        m_nHover = -1;
        return;
    }
    m_nCurrent = (h == m_nPressed) ? h : -1;
    m_nHover = h;
}

bool CHitArea::SetMask(const BYTE* image, int x, int y, BYTE noneValue, BYTE copy, std::size_t imageSize) {
    MaskImageHeader header;
    if (!IsMaskImageWhole(image, imageSize) || !ReadMaskImageHeader(image, imageSize, &header)) return false;
    // Widths and heights beyond the int range cannot be hit-tested; such images are not masks.
    if (header.width > 0x7FFFFFFF || header.height > 0x7FFFFFFF) return false;
    const BYTE* start = image;
    BYTE* owned = nullptr;
    if (copy == 1) {
        // What the hit test reads: the header and the pixels, whatever the header's total says.
        const std::size_t bytes = kMaskImageHeaderSize + std::size_t{header.width} * header.height;
        owned = new BYTE[bytes];
        std::memcpy(owned, image, bytes);
        start = owned;
    }
    // A caller that forgot ReleaseMask would otherwise lose the earlier copy; the new image is taken
    // first, since it may be that very copy.
    delete[] m_pOwnedMask;
    m_pOwnedMask = owned;
    m_bMaskMode = 1;
    m_pMaskPixels = start + kMaskImageHeaderSize;
    m_nMaskX = x;
    m_nMaskY = y;
    m_nMaskWidth = static_cast<int>(header.width);
    m_nMaskHeight = static_cast<int>(header.height);
    m_NoneValue = noneValue;
    return true;
}

void CHitArea::ReleaseMask() {
    delete[] m_pOwnedMask;
    m_pOwnedMask = nullptr;
    m_pMaskPixels = nullptr;
    m_bMaskMode = 0;
}

void CHitArea::ResetInput() {
    m_nPressed = -1;
    m_nHover = -1;
    m_nCurrent = -1;
    m_bButtonHeld = 0;
}
