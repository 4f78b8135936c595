// The software objects behind the DirectDraw interfaces, and the display state they share.
#pragma once

#include "platform/ddraw.h"
#include "platform/pixel_format.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

// The display as the DirectDraw objects see it: the desktop, or a full-screen mode one object holds.
const PixelFormat& CurrentDisplayFormat();
bool IsFullScreenActive();

// Shared by a DirectDraw object and every surface it made; outlives the object so that a surface
// kept after its object is gone reads as lost instead of pointing at freed memory.
struct DeviceState {
    bool alive = true;
};

class SoftClipper final : public IDirectDrawClipper {
  public:
    DWORD AddRef() override { return ++m_Refs; }
    DWORD Release() override;
    HRESULT SetHWnd(DWORD flags, HWND hwnd) override;
    HWND Window() const { return m_Window; }

  private:
    DWORD m_Refs = 1;
    HWND m_Window = nullptr;
};

class SoftSurface final : public IDirectDrawSurface {
  public:
    SoftSurface(std::shared_ptr<DeviceState> device, int width, int height, const PixelFormat& format,
                DWORD caps, HWND presentWindow);

    DWORD AddRef() override { return ++m_Refs; }
    DWORD Release() override;
    HRESULT Blt(RECT* destRect, IDirectDrawSurface* source, RECT* sourceRect, DWORD flags,
                DDBLTFX* fx) override;
    HRESULT Lock(RECT* rect, DDSURFACEDESC* desc, DWORD flags, HANDLE event) override;
    HRESULT Unlock(void* rectOrPointer) override;
    HRESULT GetSurfaceDesc(DDSURFACEDESC* desc) override;
    HRESULT GetPixelFormat(DDPIXELFORMAT* format) override;
    HRESULT SetColorKey(DWORD flags, DDCOLORKEY* key) override;
    HRESULT GetColorKey(DWORD flags, DDCOLORKEY* key) override;
    HRESULT IsLost() override;
    HRESULT Restore() override;
    HRESULT GetDC(HDC* dc) override;
    HRESULT ReleaseDC(HDC dc) override;
    HRESULT SetClipper(IDirectDrawClipper* clipper) override;

    int Width() const { return m_Width; }
    int Height() const { return m_Height; }
    int Pitch() const { return m_Pitch; }
    const PixelFormat& Format() const { return *m_Format; }
    std::uint8_t* Pixels() { return m_Memory.data(); }
    const std::uint8_t* Pixels() const { return m_Memory.data(); }
    std::size_t MemorySize() const { return m_Memory.size(); }
    bool IsPrimary() const { return (m_Caps & DDSCAPS_PRIMARYSURFACE) != 0; }
    bool Lost() const { return m_Lost || !m_Device->alive; }
    void MarkLost() { m_Lost = true; }
    bool Busy() const { return m_LockCount > 0 || m_DC != nullptr; }
    const std::shared_ptr<DeviceState>& Device() const { return m_Device; }
    // Shows the primary's picture in its window.
    // The window shows the primary again; `changed` is the part a blit wrote (null: all of it).
    void PresentPrimary(const RECT* changed);

    // Every surface alive, for mode changes and the test interface.
    static const std::vector<SoftSurface*>& All();
    static void LoseAll();

  private:
    ~SoftSurface() override;
    HRESULT Fill(RECT dest, DWORD color);
    HRESULT Copy(RECT dest, SoftSurface& source, RECT sourceRect, bool keyed);
    bool ClipToWindow(RECT* dest, RECT* source) const;
    void FillDesc(DDSURFACEDESC* desc) const;

    std::shared_ptr<DeviceState> m_Device;
    DWORD m_Refs = 1;
    int m_Width;
    int m_Height;
    int m_Pitch;
    const PixelFormat* m_Format;
    DWORD m_Caps;
    HWND m_PresentWindow;
    std::vector<std::uint8_t> m_Memory;
    bool m_Lost = false;
    int m_LockCount = 0;
    HDC m_DC = nullptr;
    bool m_HasKey = false;
    DDCOLORKEY m_Key{0, 0};
    SoftClipper* m_Clipper = nullptr;
};

class SoftDirectDraw final : public IDirectDraw {
  public:
    SoftDirectDraw();
    DWORD AddRef() override { return ++m_Refs; }
    DWORD Release() override;
    HRESULT SetCooperativeLevel(HWND hwnd, DWORD flags) override;
    HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) override;
    HRESULT RestoreDisplayMode() override;
    HRESULT GetDisplayMode(DDSURFACEDESC* desc) override;
    HRESULT CreateSurface(DDSURFACEDESC* desc, IDirectDrawSurface** surface, void* outer) override;
    HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** clipper, void* outer) override;

  private:
    ~SoftDirectDraw() override;

    std::shared_ptr<DeviceState> m_Device;
    DWORD m_Refs = 1;
    HWND m_Window = nullptr;
    bool m_Exclusive = false;
};

// Test-interface knobs the objects read.
struct DisplayFaults {
    int pitchAlignment = 4;
    int pitchPadding = 0;
    bool failDirectDrawCreate = false;
    DWORD failCreateCaps = 0;
    int failCreateCount = 0; // -1: always
    bool failRestore = false;
    int presents = 0;
};
DisplayFaults& Faults();
// Back to the desktop with no full-screen owner (a test starting afresh).
void ForgetDisplayMode();

} // namespace platform
