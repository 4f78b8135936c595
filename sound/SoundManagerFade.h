// The volume curve of the sound fades and the one fade record a sound manager keeps.
#pragma once

#include "platform/base.h"

// 64 volumes from step 0 (full) to step 63 (40 dB down), in four linear runs that meet the settings
// levels exactly: the step of level L is (4 - L) x 16.
extern const LONG FadeVolumeTable[64];

struct SoundFadeRecord {
    int active;         // 1 while a fade or the cross-fade runs
    int channelFlag[4]; // BGM A, BGM B, loop SE 1, loop SE 2
    DWORD startTime;    // timeGetTime at the start
    int duration;       // milliseconds
    int startStep;      // of the faded channel, or of BGM A in a cross-fade
    int targetStep;
    int startStepB; // BGM B in a cross-fade
    int targetStepB;
    int currentStep;
    int currentStepB;
    int range;  // steps to travel
    int fadeIn; // 1 fade-in, 0 fade-out
    int crossFade;
};
