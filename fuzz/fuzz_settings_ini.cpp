// fuzz-runs: 2000
// The settings file "Quorin.ini" over arbitrary bytes: every key re-reads the file, so each run is slow
// and the smoke run takes fewer of them.
#include "files/Config.h"
#include "fuzz/ScratchFolder.h"
#include "platform/profile.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string ini = fuzzing::ScratchFolder().File("Quorin.ini");
    if (!fixtures::WriteFileBytes(ini, data, size)) return 0;
    CConfig config;
    if (!config.Load(ini.c_str())) return 0;
    // Whatever the file holds, the values are valid levels and flags and the folders fit their slots.
    const ConfigValues v = *config.GetValues();
    for (int level : {v.BgmSwitch, v.SESwitch, v.VoiceSwitch})
        if (level < 0 || level > 4) std::abort();
    for (int flag : {v.EffectSwitch, v.WindowMode, v.TextSpeed, v.MovieSwitch})
        if (flag != 0 && flag != 1) std::abort();
    for (int slot = 0; slot < CConfig::PathSlotCount; ++slot)
        if (std::strlen(config.GetPath(static_cast<CConfig::PathSlot>(slot), nullptr)) >= MAX_PATH)
            std::abort();
    // A save keeps what it does not own: the values read back unchanged.
    if (!config.Save(nullptr)) return 0;
    CConfig again;
    if (!again.Load(ini.c_str())) std::abort();
    if (std::memcmp(again.GetValues(), &v, sizeof v) != 0) std::abort();
    return 0;
}
