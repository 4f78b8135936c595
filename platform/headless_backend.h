// The backend without a window: what the tests and QUORIN_HEADLESS=1 run on. The test interface
// sets up the desktop it pretends to have.
#pragma once

#include "platform/display_backend.h"

#include <utility>
#include <vector>

namespace platform {

class HeadlessBackend final : public DisplayBackend {
  public:
    bool IsHeadless() const override { return true; }
    SIZE DesktopSize() const override { return m_DesktopSize; }
    PixelLayout DesktopLayout() const override { return m_Desktop; }
    bool FullScreenDepth(int bitsPerPixel, PixelLayout* layout) const override;
    int FullScreenWidth() const override { return m_FullScreenWidth; }

    bool OpenWindow(HWND hwnd, const char* title, const RECT& outer) override;
    void CloseWindow(HWND) override {}
    void ShowWindow(HWND, bool) override {}
    void MoveWindow(HWND hwnd, int x, int y) override;
    bool SetFullScreen(HWND hwnd, bool on) override;
    void Present(HWND, const PixelFormat&, const std::uint8_t*, int, int, int, const RECT*) override {}
    void SetSystemCursorVisible(bool) override {}
    void WarpCursor(HWND, POINT) override {}
    void SetTextInput(HWND, bool on) override { m_TextInput = on; }
    // As a system's input method does, the dropped composition is reported: an empty one follows.
    void CancelComposition(HWND hwnd) override;

    // Back to a 1024x768 desktop in `desktop`, full screen offered in that depth only.
    void Reset(PixelLayout desktop);
    void SetDesktopSize(SIZE size) { m_DesktopSize = size; }
    void SetFullScreenDepths(std::vector<int> depths) { m_FullScreenDepths = std::move(depths); }
    void SetFullScreenWidth(int width) { m_FullScreenWidth = width; }
    // A backend that cannot show windows (no display could be opened).
    void SetUnavailable(bool unavailable) { m_Unavailable = unavailable; }
    bool TextInput() const { return m_TextInput; }
    int TakeCancels() { return std::exchange(m_Cancels, 0); }

  private:
    PixelLayout m_Desktop = PixelLayout::Xrgb32;
    SIZE m_DesktopSize{1024, 768};
    std::vector<int> m_FullScreenDepths{32};
    int m_FullScreenWidth = 640;
    bool m_Unavailable = false;
    bool m_TextInput = false;
    int m_Cancels = 0;
};

HeadlessBackend& TheHeadlessBackend();

} // namespace platform
