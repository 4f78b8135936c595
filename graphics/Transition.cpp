#include "graphics/Transition.h"

#include "files/ArcFile.h"
#include "graphics/DDrawSurface.h"
#include "platform/cpu.h"
#include "platform/time.h"

#include <cstring>

CTransition* g_pTransition = nullptr;

namespace {
bool IsKeyed(LONG keySource) {
    return keySource >= kKeyTopLeft && keySource <= kKeyColor;
}

// A description cleared and filled by GetSurfaceDesc; false when the surface cannot describe itself.
bool Describe(IDirectDrawSurface* surface, DDSURFACEDESC* desc) {
    std::memset(desc, 0, sizeof(*desc));
    desc->dwSize = sizeof(*desc);
    desc->dwFlags = DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH;
    return surface->GetSurfaceDesc(desc) == DD_OK;
}

LONG Smaller(LONG a, LONG b) {
    return a < b ? a : b;
}
} // namespace

CTransition::CTransition() : m_bRunning(0), m_bStopRequest(0), m_bSimd(0) {}

CTransition::~CTransition() {
    Release();
}

int CTransition::IsSimdAvailable() {
    return platform::IsSimdAvailable() ? 1 : 0;
}

int CTransition::Create(const char* archivePath) {
    m_pMaskArc = std::make_unique<CArcFile>();
    if (!archivePath || !m_pMaskArc->Open(archivePath)) {
        Release();
        return 0;
    }
    m_bSimd = static_cast<BYTE>(IsSimdAvailable());
    return 1;
}

void CTransition::Release() {
    if (m_pMaskArc) m_pMaskArc->Close();
    m_pMaskArc.reset();
}

void CTransition::RestampStart() {
    m_Run.startTick = GetTickCount();
}

void CTransition::End() {
    m_Run.mask.reset();
    m_Run.alpha.reset();
    // The caller deletes its work surfaces next: a later Step must not reach them.
    m_Run.step = nullptr;
    m_bRunning = 0;
}

int CTransition::Start(const TransitionParams* p) {
    // A mask wipe that was not ended still holds its buffers.
    if (!p || !m_pMaskArc || m_Run.mask || m_Run.alpha || !p->before || !p->after) return 0;

    Setup next;
    next.before = p->before;
    next.after = p->after;
    // The before surface given again as the draw surface is the same as none: it cannot be locked twice.
    next.draw = p->draw == p->before ? nullptr : p->draw;
    next.destWidth = p->destWidth;
    next.destHeight = p->destHeight;
    next.imageWidth = p->imageWidth;
    next.imageHeight = p->imageHeight;
    next.timingMode = p->timingMode;
    if (!Describe(next.after, &next.afterDesc) || !Describe(next.before, &next.beforeDesc)) return 0;
    if (next.draw && !Describe(next.draw, &next.drawDesc)) return 0;
    next.format = static_cast<int>(next.afterDesc.ddpfPixelFormat.dwRGBBitCount);
    ClipArea(next, p->destX, p->destY, p->source);

    const LONG keySource = IsKeyed(p->keySource) ? p->keySource : kKeyNone;
    for (int i = 0; i < 4; ++i)
        next.timing[i] = p->timing[i];
    int ok = 0;
    switch (p->effect) {
    case 1:
        ok = SetupFade(next, keySource);
        break;
    case 2:
        ok = SetupDither(next, keySource);
        break;
    case 3:
        ok = SetupQuake(next, p->color);
        break;
    default:
        ok = SetupMask(next, p->effect, keySource);
        break;
    }
    if (!ok) return 0;
    if (keySource != kKeyNone && p->effect != 3 && !ReadColorKey(next, keySource, p->color)) return 0;

    next.startTick = GetTickCount();
    m_Run = std::move(next);
    m_bRunning = 1;
    m_bStopRequest = 0;
    return 1;
}

void CTransition::ClipArea(Setup& s, LONG x, LONG y, const RECT& rc) const {
    if (x >= 0) {
        s.dstX = x;
        s.srcX = rc.left;
    } else {
        s.dstX = 0;
        s.srcX = rc.left - x;
    }
    s.width = Smaller(s.destWidth - s.dstX, rc.right - s.srcX);
    if (y >= 0) {
        s.dstY = y;
        s.srcY = rc.top;
    } else {
        s.dstY = 0;
        s.srcY = rc.top - y;
    }
    s.height = Smaller(s.destHeight - s.dstY, rc.bottom - s.srcY);

    // The record's sizes are the caller's word; the surfaces' own sizes are the limit. A source left
    // of or above the after picture moves the area's start; nothing is ever addressed outside a
    // surface.
    if (s.srcX < 0) {
        s.dstX -= s.srcX;
        s.width += s.srcX;
        s.srcX = 0;
    }
    if (s.srcY < 0) {
        s.dstY -= s.srcY;
        s.height += s.srcY;
        s.srcY = 0;
    }
    const DDSURFACEDESC& target = s.draw ? s.drawDesc : s.beforeDesc;
    s.width = Smaller(s.width, static_cast<LONG>(s.afterDesc.dwWidth) - s.srcX);
    s.width = Smaller(s.width, static_cast<LONG>(s.beforeDesc.dwWidth) - s.dstX);
    s.width = Smaller(s.width, static_cast<LONG>(target.dwWidth) - s.dstX);
    s.height = Smaller(s.height, static_cast<LONG>(s.afterDesc.dwHeight) - s.srcY);
    s.height = Smaller(s.height, static_cast<LONG>(s.beforeDesc.dwHeight) - s.dstY);
    s.height = Smaller(s.height, static_cast<LONG>(target.dwHeight) - s.dstY);
    if (s.width < 0 || s.height < 0) s.width = s.height = 0;
}

int CTransition::PixelFormatOf(Setup& s, bool test555) const {
    // The routines address the before and draw pixels at the after picture's size.
    const DWORD bits = s.afterDesc.ddpfPixelFormat.dwRGBBitCount;
    if (bits != 16 && bits != 24 && bits != 32) return 0;
    if (s.beforeDesc.ddpfPixelFormat.dwRGBBitCount != bits) return 0;
    if (s.draw && s.drawDesc.ddpfPixelFormat.dwRGBBitCount != bits) return 0;
    if (bits == 16 && test555) {
        RgbChannelMasks masks{};
        if (!GetSurfaceRgbMasks(s.after, &masks)) return 0;
        return masks.redShift == 11 ? transition::kFormat16 : transition::kFormat15;
    }
    return static_cast<int>(bits);
}

int CTransition::ReadColorKey(Setup& s, LONG keySource, DWORD color) {
    if (keySource == kKeyColor) {
        s.key16 = static_cast<WORD>(color);
        s.key32 = color;
        return 1;
    }
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof(desc);
    if (s.after->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK) return 0;
    // The corner of the image, kept inside the surface.
    const LONG right = Smaller(s.imageWidth, static_cast<LONG>(desc.dwWidth)) - 1;
    const LONG bottom = Smaller(s.imageHeight, static_cast<LONG>(desc.dwHeight)) - 1;
    const LONG x = keySource == kKeyTopRight || keySource == kKeyBottomRight ? (right > 0 ? right : 0) : 0;
    const LONG y =
        keySource == kKeyBottomLeft || keySource == kKeyBottomRight ? (bottom > 0 ? bottom : 0) : 0;
    const BYTE* p = static_cast<const BYTE*>(desc.lpSurface) + static_cast<std::ptrdiff_t>(y) * desc.lPitch +
                    x * transition::BytesPerPixel(s.format);
    switch (s.format) {
    case transition::kFormat24:
        s.key32 = transition::Load24(p);
        break;
    case transition::kFormat32:
        s.key32 = transition::Load32(p) & 0xFFFFFF;
        break;
    default:
        s.key16 = transition::Load16(p);
        break;
    }
    s.after->Unlock(nullptr);
    return 1;
}

int CTransition::Step(int* changed) {
    int unused = 0;
    if (!changed) changed = &unused;
    if (m_bStopRequest || !m_Run.step) return 1;
    return (this->*m_Run.step)(changed);
}

bool CTransition::LockArea(bool withDraw, transition::PixelArea* area) {
    Setup& s = m_Run;
    const bool ownDraw = withDraw && s.draw;
    auto lock = [](IDirectDrawSurface* surface, DDSURFACEDESC* desc) {
        std::memset(desc, 0, sizeof(*desc));
        desc->dwSize = sizeof(*desc);
        return surface->Lock(nullptr, desc, DDLOCK_WAIT, nullptr) == DD_OK;
    };
    if (!lock(s.before, &s.beforeDesc)) return false;
    if (!lock(s.after, &s.afterDesc)) {
        s.before->Unlock(nullptr);
        return false;
    }
    if (ownDraw && !lock(s.draw, &s.drawDesc)) {
        s.after->Unlock(nullptr);
        s.before->Unlock(nullptr);
        return false;
    }
    if (!ownDraw) s.drawDesc = s.beforeDesc;
    // The surfaces may have been made anew since the start: draw only while the area still fits.
    auto fits = [](const DDSURFACEDESC& d, LONG x, LONG y, LONG w, LONG h, int format) {
        return d.lpSurface &&
               d.ddpfPixelFormat.dwRGBBitCount == static_cast<DWORD>(format == 15 ? 16 : format) &&
               x + w <= static_cast<LONG>(d.dwWidth) && y + h <= static_cast<LONG>(d.dwHeight);
    };
    if (!fits(s.beforeDesc, s.dstX, s.dstY, s.width, s.height, s.format) ||
        !fits(s.afterDesc, s.srcX, s.srcY, s.width, s.height, s.format) ||
        !fits(s.drawDesc, s.dstX, s.dstY, s.width, s.height, s.format)) {
        UnlockArea(withDraw);
        return false;
    }
    const int bpp = transition::BytesPerPixel(s.format);
    auto at = [bpp](const DDSURFACEDESC& d, LONG x, LONG y) {
        return static_cast<BYTE*>(d.lpSurface) + static_cast<std::ptrdiff_t>(y) * d.lPitch +
               static_cast<std::ptrdiff_t>(x) * bpp;
    };
    *area = transition::PixelArea{at(s.beforeDesc, s.dstX, s.dstY), s.beforeDesc.lPitch,
                                  at(s.afterDesc, s.srcX, s.srcY),  s.afterDesc.lPitch,
                                  at(s.drawDesc, s.dstX, s.dstY),   s.drawDesc.lPitch,
                                  static_cast<int>(s.width),        static_cast<int>(s.height)};
    return true;
}

void CTransition::UnlockArea(bool withDraw) {
    if (withDraw && m_Run.draw) m_Run.draw->Unlock(nullptr);
    m_Run.after->Unlock(nullptr);
    m_Run.before->Unlock(nullptr);
}
