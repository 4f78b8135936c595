// Host command group 3: random numbers from the program's generator, and the one shuffled sequence
// that the whole program shares.
#include "script/GameScene.h"

#include "platform/runtime.h"
#include "script/ScriptMessages.h"

#include <cstdio>
#include <utility>
#include <vector>

namespace {
enum : DWORD { kSubRandom = 0, kSubShuffle = 1, kSubNext = 2, kSubFree = 3 };

// The generator gives 0-32767, so no longer sequence could have all its places shuffled.
constexpr LONG kMaxShuffleLength = crt::kRandMax + 1;

struct ShuffledSequence {
    std::vector<DWORD> numbers;
    std::size_t next = 0;
};
ShuffledSequence g_Shuffled;
} // namespace

void CGameScene::DispatchRandom(DWORD sub) {
    switch (sub) {
    case kSubRandom: {
        const LONG range = static_cast<LONG>(Arg(1));
        if (m_bHalted) break;
        // No range gives 0 rather than a division by zero.
        m_Registers[0] = range == 0 ? 0 : static_cast<DWORD>(crt::rand() % range);
        break;
    }
    case kSubShuffle:
        CmdShuffle();
        break;
    case kSubNext:
        // Past the end, or without a sequence, the number is 0.
        if (g_Shuffled.next < g_Shuffled.numbers.size()) {
            m_Registers[0] = g_Shuffled.numbers[g_Shuffled.next++];
        } else {
            m_Registers[0] = 0;
        }
        break;
    case kSubFree:
        g_Shuffled = ShuffledSequence{};
        break;
    default:
        break;
    }
}

void CGameScene::CmdShuffle() {
    const LONG n = static_cast<LONG>(Arg(1));
    if (m_bHalted) return;
    if (n < 0 || n > kMaxShuffleLength) {
        char message[128];
        std::snprintf(message, sizeof message, script_messages::kBadShuffleLength, static_cast<int>(n));
        ScriptFault(message);
        return;
    }
    g_Shuffled = ShuffledSequence{};
    for (LONG i = 0; i < n; ++i)
        g_Shuffled.numbers.push_back(static_cast<DWORD>(i));
    if (n == 0) return;
    for (LONG k = 0; k < 4 * n; ++k) {
        const int a = crt::rand() % n;
        const int b = crt::rand() % n;
        std::swap(g_Shuffled.numbers[static_cast<std::size_t>(a)],
                  g_Shuffled.numbers[static_cast<std::size_t>(b)]);
    }
}
