// What an input method hands over, and the keys and clicks between, typed into name entry: the names
// only ever hold whole two-byte characters within 12 bytes, and the composition at most 30 characters.
// fuzz-runs: 3000
#include "app/AppMessages.h"
#include "app/RunState.h"
#include "files/SaveData.h"
#include "platform/ime.h"
#include "platform/testing.h"
#include "screens/NameEntryMode.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
namespace pt = platform::testing;
CNameEntryMode* g_Mode = nullptr;

LRESULT Route(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (g_Mode && (msg == WM_CHAR || (msg >= WM_IME_STARTCOMPOSITION && msg <= WM_IME_CHAR)))
        return g_Mode->OnImeMessage(msg, wParam, lParam);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void Pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&m);
}

bool WholeCharacters(const char* name) {
    const std::size_t n = strnlen(name, CNameEntryMode::kNameSize);
    if (n > CNameEntryMode::kNameBytes || n % 2) return false;
    for (std::size_t i = 0; i < n; i += 2)
        if (!IsDbcsLeadByte(name, static_cast<int>(i))) return false;
    return true;
}

bool SetUpOnce() {
    pt::UseHeadlessDisplay();
    pt::UseManualClock(1000);
    pt::UseFontFile(pt::kPinnedGothicFont);
    IDirectDraw* dd = nullptr;
    if (DirectDrawCreate(nullptr, &dd, nullptr) != DD_OK) return false;
    SetDirectDraw(dd);
    g_hWnd = CreateHeadlessWindow(Route);
    g_pSaveData = new CSaveData;
    return true;
}

const UINT kKeys[] = {VK_TAB, VK_LEFT, VK_RIGHT, VK_BACK, VK_DELETE, VK_RETURN, VK_SHIFT};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = SetUpOnce();
    if (!ready) return 0;
    g_pSaveData->SetFamilyName("\x8e\x52\x93\x63");
    g_pSaveData->SetGivenName("");
    CNameEntryMode mode;
    g_Mode = &mode;
    mode.Open();
    Pump();
    // Records: kind, two argument bytes, a length byte, then that many bytes of text.
    std::size_t at = 0;
    while (at + 4 <= size) {
        const std::uint8_t kind = data[at], a = data[at + 1], b = data[at + 2];
        const std::size_t n = std::min<std::size_t>(data[at + 3], size - at - 4);
        const std::string text(reinterpret_cast<const char*>(data + at + 4), n);
        at += 4 + n;
        switch (kind % 7) {
        case 0:
            platform::DeliverImeComposition(g_hWnd, text, static_cast<std::int8_t>(a),
                                            static_cast<std::int8_t>(b));
            break;
        case 1:
            platform::DeliverImeResult(g_hWnd, text);
            break;
        case 2: {
            std::string attrs = text;
            for (char& c : attrs)
                c &= 3;
            pt::DeliverImeCompositionBytes(g_hWnd, text, attrs, static_cast<std::int16_t>(a << 8 | b));
            break;
        }
        case 3:
            pt::DeliverImeResultBytes(g_hWnd, text);
            break;
        case 4:
            (b & 1 ? mode.OnKeyUp(kKeys[a % 7]) : mode.OnKeyDown(kKeys[a % 7]));
            break;
        case 5:
            mode.OnLButtonDown(a * 640 / 256, b * 480 / 256);
            mode.OnLButtonUp(a * 640 / 256, b * 480 / 256);
            break;
        default:
            platform::DeliverImeOpenStatus(g_hWnd, a & 1);
            break;
        }
        Pump();
        if (!WholeCharacters(mode.GetFamilyName()) || !WholeCharacters(mode.GetGivenName())) std::abort();
        if (std::strlen(mode.GetComposition()) > CNameEntryMode::kCompositionBytes) std::abort();
    }
    mode.Close();
    g_Mode = nullptr;
    Pump();
    return 0;
}
