// The cross-fade, the ordered dither and the shake: their set-ups and step routines.
#include "graphics/DDrawSurface.h"
#include "graphics/Transition.h"
#include "graphics/TransitionFadePixels.h"
#include "graphics/TransitionTables.h"
#include "platform/time.h"

#include <algorithm>

int CTransition::SetupFade(Setup& s, LONG keySource) {
    s.format = PixelFormatOf(s, true);
    if (!s.format) return 0;
    s.lastAlphaSteps = 0;
    if (keySource != kKeyNone)
        s.step = &CTransition::StepFadeKeyed;
    else
        s.step = m_bSimd ? &CTransition::StepFadeSimd : &CTransition::StepFade;
    return 1;
}

int CTransition::SetupDither(Setup& s, LONG keySource) {
    // The dither only copies pixels: no 5-5-5 test.
    s.format = PixelFormatOf(s, false);
    if (!s.format) return 0;
    s.stepIndex = -1;
    s.step = keySource != kKeyNone ? &CTransition::StepDitherKeyed : &CTransition::StepDither;
    return 1;
}

int CTransition::SetupQuake(Setup& s, DWORD color) {
    // Duration and interval are timing values 0 and 1; the fill colour shares the 32-bit key word.
    s.key32 = color;
    s.stepIndex = -1;
    s.step = &CTransition::StepQuake;
    return 1;
}

int CTransition::StepFade(int* changed) {
    return FadeStep(changed, FadePath::Plain);
}
int CTransition::StepFadeSimd(int* changed) {
    return FadeStep(changed, FadePath::Simd);
}
int CTransition::StepFadeKeyed(int* changed) {
    return FadeStep(changed, FadePath::Keyed);
}

int CTransition::FadeStep(int* changed, FadePath path) {
    Setup& s = m_Run;
    const DWORD elapsed = GetTickCount() - s.startTick;
    const long long steps = elapsed / TimingDivisor(s.timing[2]);
    if (steps == s.lastAlphaSteps) {
        *changed = 0;
        return 0;
    }
    s.lastAlphaSteps = steps;
    *changed = 1;
    const long long alpha = steps * TimingAmount(s.timing[3]);
    if (alpha >= 256) return 1;

    transition::PixelArea area;
    if (!LockArea(true, &area)) return 0;
    switch (path) {
    case FadePath::Plain:
        transition::BlendPlain(s.format, area, static_cast<int>(alpha));
        break;
    case FadePath::Simd:
        transition::BlendSimd(s.format, area, static_cast<int>(alpha));
        break;
    case FadePath::Keyed:
        transition::BlendKeyed(s.format, area, static_cast<int>(alpha),
                               transition::ColorKey{s.key16, s.key32});
        break;
    }
    UnlockArea(true);
    return 0;
}

int CTransition::StepDither(int* changed) {
    return DitherStep(changed, false);
}
int CTransition::StepDitherKeyed(int* changed) {
    return DitherStep(changed, true);
}

int CTransition::DitherStep(int* changed, bool keyed) {
    Setup& s = m_Run;
    const DWORD now = GetTickCount();
    if (s.timingMode == 1) {
        const long long index = (now - s.startTick) / TimingDivisor(s.timing[0]);
        if (index == s.stepIndex) {
            *changed = 0;
            return 0;
        }
        s.stepIndex = index > 16 ? 16 : static_cast<LONG>(index);
    } else {
        // The start tick holds the time of the next step; a signed difference survives the wrap.
        if (static_cast<LONG>(now - s.startTick) <= 0) {
            *changed = 0;
            return 0;
        }
        s.startTick = now + static_cast<DWORD>(s.timing[0]);
        ++s.stepIndex;
    }
    *changed = 1;
    if (s.stepIndex >= 16) return 1;

    // The dither draws into the before surface, which the compositor shows while it runs.
    transition::PixelArea area;
    if (!LockArea(false, &area)) return 0;
    const CellPosition cell = DitherOrder[s.stepIndex];
    const transition::ColorKey key{s.key16, s.key32};
    transition::CopyDitherCells(s.format, area, cell.column, cell.row, keyed ? &key : nullptr);
    UnlockArea(false);
    return 0;
}

int CTransition::StepQuake(int* changed) {
    Setup& s = m_Run;
    LONG elapsed = static_cast<LONG>(GetTickCount() - s.startTick);
    if (elapsed >= s.timing[0]) return 1;
    if (elapsed < 0) elapsed = 0;
    const LONG n = static_cast<LONG>(static_cast<DWORD>(elapsed) / TimingDivisor(s.timing[1]));
    if (n == s.stepIndex) {
        *changed = 0;
        return 0;
    }
    s.stepIndex = n;
    *changed = 1;

    const ShakeOffset offset = ShakeOffsets[n % 8];
    const LONG ox = offset.dx + s.dstX;
    const LONG oy = offset.dy + s.dstY;
    RECT dst;
    RECT src;
    if (ox >= 0) {
        dst.left = ox;
        dst.right = ox + s.imageWidth < s.destWidth ? ox + s.imageWidth : s.destWidth;
    } else {
        dst.left = 0;
        dst.right = s.imageWidth + ox;
    }
    if (oy >= 0) {
        dst.top = oy;
        dst.bottom = oy + s.imageHeight < s.destHeight ? oy + s.imageHeight : s.destHeight;
    } else {
        dst.top = 0;
        dst.bottom = s.imageHeight + oy;
    }
    src.left = ox < 0 ? -ox : 0;
    src.right = src.left + (dst.right - dst.left);
    src.top = oy < 0 ? -oy : 0;
    src.bottom = src.top + (dst.bottom - dst.top);

    // Keep both rectangles inside their surfaces, moving the two together.
    const LONG beforeW = static_cast<LONG>(s.beforeDesc.dwWidth),
               beforeH = static_cast<LONG>(s.beforeDesc.dwHeight);
    const LONG afterW = static_cast<LONG>(s.afterDesc.dwWidth),
               afterH = static_cast<LONG>(s.afterDesc.dwHeight);
    const LONG cutRight = std::max({dst.right - beforeW, src.right - afterW, LONG{0}});
    const LONG cutBottom = std::max({dst.bottom - beforeH, src.bottom - afterH, LONG{0}});
    dst.right -= cutRight;
    src.right -= cutRight;
    dst.bottom -= cutBottom;
    src.bottom -= cutBottom;

    FillSurface(s.before, s.key32, nullptr);
    if (dst.right > dst.left && dst.bottom > dst.top) s.before->Blt(&dst, s.after, &src, DDBLT_WAIT, nullptr);
    return 0;
}
