#include "platform/testing_display.h"

#include "platform/ddraw_internal.h"
#include "platform/display_backend.h"
#include "platform/headless_backend.h"
#include "platform/window_internal.h"

#include <png.h>

#include <cstdio>
#include <cstring>

namespace platform::testing {
namespace {
SoftSurface* Soft(IDirectDrawSurface* surface) {
    return static_cast<SoftSurface*>(surface);
}

PixelLayout LayoutOf(DisplayFormat format) {
    switch (format) {
    case DisplayFormat::Rgb565:
        return PixelLayout::Rgb565;
    case DisplayFormat::Rgb555:
        return PixelLayout::Rgb555;
    case DisplayFormat::Rgb24:
        return PixelLayout::Rgb24;
    case DisplayFormat::Pal8:
        return PixelLayout::Pal8;
    default:
        return PixelLayout::Xrgb32;
    }
}

bool InSurface(SoftSurface* s, int x, int y) {
    return s && x >= 0 && y >= 0 && x < s->Width() && y < s->Height();
}
} // namespace

void UseHeadlessDisplay(DisplayFormat format) {
    UseHeadlessBackend();
    TheHeadlessBackend().Reset(LayoutOf(format));
    Faults() = DisplayFaults{};
    ForgetDisplayMode();
    ResetInputState();
}

void UseEnvironmentDisplay() {
    ForgetBackendChoice();
    Faults() = DisplayFaults{};
    ForgetDisplayMode();
    ResetInputState();
}

void SetSurfacePitch(int alignment, int padding) {
    Faults().pitchAlignment = alignment;
    Faults().pitchPadding = padding;
}

void SetDesktopSize(int width, int height) {
    TheHeadlessBackend().SetDesktopSize(SIZE{width, height});
}

void SetFullScreenDepths(std::initializer_list<int> depths) {
    TheHeadlessBackend().SetFullScreenDepths(std::vector<int>(depths));
}

void SetFullScreenWidth(int width) {
    TheHeadlessBackend().SetFullScreenWidth(width);
}

bool IsFullScreen() {
    return IsFullScreenActive();
}

void FailDirectDrawCreate(bool on) {
    Faults().failDirectDrawCreate = on;
}

void FailCreateSurface(DWORD caps, int times) {
    Faults().failCreateCaps = caps;
    Faults().failCreateCount = times;
}

void FailRestores(bool on) {
    Faults().failRestore = on;
}

void LoseSurface(IDirectDrawSurface* surface) {
    if (surface) Soft(surface)->MarkLost();
}

void LoseAllSurfaces() {
    SoftSurface::LoseAll();
}

int LiveSurfaceCount() {
    return static_cast<int>(SoftSurface::All().size());
}

int PresentCount() {
    return Faults().presents;
}

DWORD ReadSurfaceRaw(IDirectDrawSurface* surface, int x, int y) {
    SoftSurface* s = Soft(surface);
    if (!InSurface(s, x, y)) return 0;
    const int bytes = s->Format().BytesPerPixel();
    return LoadPixel(
        s->Pixels() + static_cast<std::size_t>(y) * s->Pitch() + static_cast<std::size_t>(x) * bytes, bytes);
}

void WriteSurfaceRaw(IDirectDrawSurface* surface, int x, int y, DWORD value) {
    SoftSurface* s = Soft(surface);
    if (!InSurface(s, x, y)) return;
    const int bytes = s->Format().BytesPerPixel();
    StorePixel(s->Pixels() + static_cast<std::size_t>(y) * s->Pitch() + static_cast<std::size_t>(x) * bytes,
               bytes, value);
}

DWORD ReadSurfaceRgbAt(IDirectDrawSurface* surface, int x, int y) {
    SoftSurface* s = Soft(surface);
    if (!InSurface(s, x, y)) return 0;
    return PixelToRgb(s->Format(), ReadSurfaceRaw(surface, x, y));
}

std::vector<DWORD> ReadSurfaceRgb(IDirectDrawSurface* surface) {
    std::vector<DWORD> out;
    SoftSurface* s = Soft(surface);
    if (!s) return out;
    out.reserve(static_cast<std::size_t>(s->Width()) * s->Height());
    for (int y = 0; y < s->Height(); ++y)
        for (int x = 0; x < s->Width(); ++x)
            out.push_back(ReadSurfaceRgbAt(surface, x, y));
    return out;
}

std::vector<BYTE> ReadSurfaceBytes(IDirectDrawSurface* surface) {
    SoftSurface* s = Soft(surface);
    if (!s) return {};
    return std::vector<BYTE>(s->Pixels(), s->Pixels() + s->MemorySize());
}

int SurfacePitch(IDirectDrawSurface* surface) {
    return surface ? Soft(surface)->Pitch() : 0;
}

bool SaveSurfacePng(IDirectDrawSurface* surface, const std::string& hostPath) {
    SoftSurface* s = Soft(surface);
    if (!s) return false;
    std::FILE* fp = std::fopen(hostPath.c_str(), "wb");
    if (!fp) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, &info);
        std::fclose(fp);
        return false;
    }
    std::vector<png_byte> row(static_cast<std::size_t>(s->Width()) * 3);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(fp);
        return false;
    }
    png_init_io(png, fp);
    png_set_IHDR(png, info, static_cast<png_uint_32>(s->Width()), static_cast<png_uint_32>(s->Height()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < s->Height(); ++y) {
        for (int x = 0; x < s->Width(); ++x) {
            const DWORD rgb = ReadSurfaceRgbAt(surface, x, y);
            row[x * 3 + 0] = static_cast<png_byte>(rgb >> 16);
            row[x * 3 + 1] = static_cast<png_byte>(rgb >> 8);
            row[x * 3 + 2] = static_cast<png_byte>(rgb);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(fp) == 0;
}

void PostMouseMove(HWND hwnd, int x, int y) {
    DeliverMouseMove(hwnd, POINT{x, y});
}

void PostMouseButton(HWND hwnd, UINT msg, int x, int y) {
    DeliverMouseButton(hwnd, msg, POINT{x, y});
}

void PostWheel(HWND hwnd, int delta) {
    DeliverWheel(hwnd, delta);
}

void PostKeyDown(HWND hwnd, UINT vk) {
    DeliverKey(hwnd, vk, true);
}

void PostKeyUp(HWND hwnd, UINT vk) {
    DeliverKey(hwnd, vk, false);
}

} // namespace platform::testing
