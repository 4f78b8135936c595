// The display and window part of the test interface: the headless desktop, surface faults, reading
// pixels back, and input as the window delivers it.
#pragma once

#include "platform/base.h"
#include "platform/ddraw.h"
#include "platform/window.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace platform::testing {

enum class DisplayFormat { Rgb565, Rgb555, Rgb24, Xrgb32, Pal8 };

// Selects the headless backend with a 1024x768 desktop in `format` (Pal8: an 8-bit desktop), full
// screen offered in the same depth only, 4-byte pitch alignment, and clears every display fault.
void UseHeadlessDisplay(DisplayFormat format = DisplayFormat::Xrgb32);
// Forgets the backend chosen so far: the next use picks by the environment (SDL unless
// QUORIN_HEADLESS=1), as the program does.
void UseEnvironmentDisplay();
// Rows of new surfaces: the row rounded up to `alignment` bytes, plus `padding` bytes.
void SetSurfacePitch(int alignment, int padding);
void SetDesktopSize(int width, int height);
// Depths a full-screen 640x480 mode can have (16 takes the desktop's 16-bit layout, else 565).
void SetFullScreenDepths(std::initializer_list<int> depths);
// What SM_CXSCREEN reads while full screen (640 normally).
void SetFullScreenWidth(int width);
bool IsFullScreen();

void FailDirectDrawCreate(bool on);
// The next `times` CreateSurface calls whose caps share a bit with `caps` (0: any) fail; -1: all.
void FailCreateSurface(DWORD caps, int times);
void FailRestores(bool on);
void LoseSurface(IDirectDrawSurface* surface);
void LoseAllSurfaces();
int LiveSurfaceCount();

// Copies onto primary surfaces (what the window shows).
int PresentCount();

// 0xRRGGBB per pixel, rows top to bottom; empty for a null surface.
std::vector<DWORD> ReadSurfaceRgb(IDirectDrawSurface* surface);
DWORD ReadSurfaceRgbAt(IDirectDrawSurface* surface, int x, int y);
// The stored bytes of one pixel as a little-endian value.
DWORD ReadSurfaceRaw(IDirectDrawSurface* surface, int x, int y);
void WriteSurfaceRaw(IDirectDrawSurface* surface, int x, int y, DWORD value);
// Whole rows including the bytes past the last pixel.
std::vector<BYTE> ReadSurfaceBytes(IDirectDrawSurface* surface);
int SurfacePitch(IDirectDrawSurface* surface);
// An 8-bit RGB PNG of the surface.
bool SaveSurfacePng(IDirectDrawSurface* surface, const std::string& hostPath);

// Input through the same path as the SDL window's events; positions in client pixels.
void PostMouseMove(HWND hwnd, int x, int y);
void PostMouseButton(HWND hwnd, UINT msg, int x, int y);
void PostWheel(HWND hwnd, int delta);
void PostKeyDown(HWND hwnd, UINT vk);
void PostKeyUp(HWND hwnd, UINT vk);
// A window class name may be registered again (each start-up in a test registers it).
void ResetWindowClasses();
void SetCursorShowCount(int count);

} // namespace platform::testing
