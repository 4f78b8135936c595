// The demo's sounds, synthesised: fifteen short music loops (Ogg Vorbis), the interface sounds, two
// ambiences and the voices (WAVE), each made the same way every time from its parameter.
#pragma once

#include "tools/mkdemo/DemoCatalogue.h"

namespace demo {
inline constexpr int kTrackCount = 15;
inline constexpr int kSoundRate = 22050;

// A voice's parameter: who speaks (a heroine, or 3 for the system voice) and which line.
inline constexpr int VoiceParam(int speaker, int line) {
    return speaker * 100 + line;
}

Bytes BuildMusic(const Asset& a);          // param: track 0-14
Bytes BuildInterfaceSound(const Asset& a); // param: "Se000" .. "Se004"
Bytes BuildAmbience(const Asset& a);       // param: 0 wind (a loop), 1 chime
Bytes BuildVoice(const Asset& a);          // param: VoiceParam
} // namespace demo
