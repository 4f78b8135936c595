// The fixed tables of the transition engine: the timing row and the rule-mask name of every effect,
// the cell order of the dither and the offsets of the shake.
#pragma once

#include "platform/base.h"

inline constexpr int kEffectCount = 72;

// Four timing values per effect 0-71; what each kind reads from them is in CTransition's set-ups.
extern const LONG EffectTimingTable[kEffectCount][4];

// A millisecond value that a kind divides by; zero or below (from the scenario) is taken as 1.
inline DWORD TimingDivisor(LONG ms) {
    return ms >= 1 ? static_cast<DWORD>(ms) : 1u;
}
// An amount that a kind adds per step; zero or below would never finish and is taken as 1.
inline LONG TimingAmount(LONG v) {
    return v >= 1 ? v : 1;
}

struct EffectMaskName {
    LONG effect;
    const char* name; // null for the effects that have no rule mask
};
// Ordered by effect number, ended by {kEffectCount, nullptr}.
extern const EffectMaskName EffectMaskNames[];

// The rule mask of an effect, or null for effects 0-3 and every number outside the list.
const char* FindEffectMaskName(LONG effect);

struct CellPosition {
    int column;
    int row;
};
// The 16 cells of each 4 x 4 block in the order the dither copies them.
extern const CellPosition DitherOrder[16];

struct ShakeOffset {
    int dx;
    int dy;
};
extern const ShakeOffset ShakeOffsets[8];
