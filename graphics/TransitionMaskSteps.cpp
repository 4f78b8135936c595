// The mask wipe: loading its rule mask, its timer and its step routines.
#include "files/ArcFile.h"
#include "graphics/Transition.h"
#include "graphics/TransitionMaskPixels.h"
#include "graphics/TransitionRuleMask.h"
#include "graphics/TransitionTables.h"
#include "platform/time.h"

#include <vector>

int CTransition::SetupMask(Setup& s, LONG effect, LONG keySource) {
    const char* name = FindEffectMaskName(effect);
    if (!name) return 0;
    int index = -1;
    const DWORD size = m_pMaskArc->LoadEntry(name, 0, &index);
    if (size == 0 || index < 0) return 0;
    std::vector<BYTE> entry(size);
    const bool read = m_pMaskArc->ReadEntry(entry.data(), size, index) != nullptr;
    m_pMaskArc->FreeEntry(index);
    std::vector<BYTE> screen(transition::kScreenPixels);
    if (!read || !transition::LoadRuleMask(entry.data(), entry.size(), screen.data())) return 0;

    s.format = PixelFormatOf(s, true);
    if (!s.format) return 0;
    // The buffers cover the screen; the area must stay inside them.
    if (s.width > transition::kScreenWidth - s.dstX) s.width = transition::kScreenWidth - s.dstX;
    if (s.height > transition::kScreenHeight - s.dstY) s.height = transition::kScreenHeight - s.dstY;
    if (s.width < 0 || s.height < 0) s.width = s.height = 0;

    s.mask = std::make_unique<WORD[]>(transition::kScreenPixels);
    for (int i = 0; i < transition::kScreenPixels; ++i)
        s.mask[i] = screen[static_cast<std::size_t>(i)];
    s.alpha = std::make_unique<WORD[]>(transition::kScreenPixels); // zeroed
    // The counts are taken from the levels the area really holds, whatever the header says and however
    // the mask was tiled: the 24-bit scan ends once it has met that many active pixels.
    transition::CountMaskLevels(s.mask.get() + s.dstY * transition::kScreenWidth + s.dstX,
                                transition::kScreenWidth, s.width, s.height, s.histogram);
    s.reached = 0;
    s.remaining = s.width * s.height;
    s.lastLevelSteps = -1;
    s.level = 0;
    s.lastAlphaSteps = 0;
    s.lastLevelAdded = -1;
    if (keySource != kKeyNone)
        s.step = &CTransition::StepMaskKeyed;
    else
        s.step = m_bSimd ? &CTransition::StepMaskSimd : &CTransition::StepMask;
    return 1;
}

int CTransition::AdvanceMaskTimer() {
    Setup& s = m_Run;
    const DWORD elapsed = GetTickCount() - s.startTick;
    if (s.level >= 256) {
        s.level = 256;
    } else {
        const long long levelSteps = elapsed / TimingDivisor(s.timing[0]);
        if (levelSteps != s.lastLevelSteps) {
            // Past 255 every pixel is reached; a higher level could reach the finished marker.
            // The level never falls, even when the start is restamped during the wipe.
            const long long level = levelSteps * TimingAmount(s.timing[1]);
            const LONG capped = level > 256 ? 256 : static_cast<LONG>(level);
            if (capped > s.level) s.level = capped;
            for (LONG v = s.lastLevelAdded + 1; v <= s.level && v <= 255; ++v)
                s.reached += static_cast<LONG>(s.histogram[v]);
            s.lastLevelAdded = s.level;
            s.lastLevelSteps = levelSteps;
        }
    }
    const long long alphaSteps = elapsed / TimingDivisor(s.timing[2]);
    if (alphaSteps == s.lastAlphaSteps) return 0;
    // Any delta of 256 or more finishes every active pixel; holding it there keeps the alpha entries
    // from wrapping after a long pause.
    const long long delta = (alphaSteps - s.lastAlphaSteps) * TimingAmount(s.timing[3]);
    s.lastAlphaSteps = alphaSteps;
    return delta > 256 ? 256 : delta < 1 ? 1 : static_cast<int>(delta);
}

int CTransition::StepMask(int* changed) {
    return MaskStep(changed, MaskPath::Plain);
}
int CTransition::StepMaskSimd(int* changed) {
    return MaskStep(changed, MaskPath::Simd);
}
int CTransition::StepMaskKeyed(int* changed) {
    return MaskStep(changed, MaskPath::Keyed);
}

int CTransition::MaskStep(int* changed, MaskPath path) {
    Setup& s = m_Run;
    const int delta = AdvanceMaskTimer();
    if (delta == 0) {
        *changed = 0;
        return 0;
    }
    *changed = 1;
    // An empty area has nothing to wipe.
    if (s.remaining <= 0) return 1;

    transition::PixelArea area;
    if (!LockArea(true, &area)) return 0;
    const std::size_t origin =
        static_cast<std::size_t>(s.dstY) * transition::kScreenWidth + static_cast<std::size_t>(s.dstX);
    transition::MaskScan scan{s.mask.get() + origin,
                              s.alpha.get() + origin,
                              transition::kScreenWidth,
                              s.level,
                              delta,
                              s.remaining,
                              s.reached};
    int done = 0;
    switch (path) {
    case MaskPath::Plain:
        done = transition::ScanMaskPlain(s.format, area, scan);
        break;
    case MaskPath::Simd:
        done = transition::ScanMaskSimd(s.format, area, scan);
        break;
    case MaskPath::Keyed:
        done = transition::ScanMaskKeyed(s.format, area, scan, transition::ColorKey{s.key16, s.key32});
        break;
    }
    s.remaining = scan.remaining;
    s.reached = scan.reached;
    UnlockArea(true);
    return done;
}
