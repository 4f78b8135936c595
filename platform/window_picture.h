// What the real window needs to show the program's 640x480 picture cheaply: the picture it shows,
// kept to find what a present really changed; where the picture sits in a larger window (scaled, its
// shape kept, black bars beside it); and a scaler that redraws only the part of the window a change
// reaches, pixel for pixel as a scaling of the whole picture would.
#pragma once

#include "platform/base.h"
#include "platform/pixel_format.h"

#include <cstdint>
#include <vector>

namespace platform {

// The part of a window the picture covers, in window pixels.
struct PictureArea {
    int left = 0, top = 0, width = 0, height = 0;
};
// The picture scaled as large as the window allows without changing its shape, centred.
PictureArea FitPicture(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight);
// A window pixel to the picture pixel under it, and back (the top-left window pixel of a picture
// pixel); positions outside the picture map outside it.
POINT WindowToPicture(const PictureArea& area, int pictureWidth, int pictureHeight, POINT window);
POINT PictureToWindow(const PictureArea& area, int pictureWidth, int pictureHeight, POINT picture);

// The picture the window shows, in the layout the program drew it in.
class KeptPicture {
  public:
    // Takes a new picture, of which only `hint` can differ from the one taken before (null: any part).
    // Returns the bounding box of the pixels that really differ, empty when none do; the whole picture
    // when its size or format changed, or for the first picture.
    RECT Take(const PixelFormat& format, const std::uint8_t* pixels, int pitch, int width, int height,
              const RECT* hint);
    // The next picture counts as new everywhere.
    void Forget() { m_Width = m_Height = 0; }
    bool Empty() const { return m_Width == 0; }
    const PixelFormat* Format() const { return m_Format; }
    const std::uint8_t* Pixels() const { return m_Pixels.data(); }
    int Pitch() const { return m_Pitch; }
    int Width() const { return m_Width; }
    int Height() const { return m_Height; }

  private:
    const PixelFormat* m_Format = nullptr;
    std::vector<std::uint8_t> m_Pixels;
    int m_Pitch = 0, m_Width = 0, m_Height = 0;
};

// Rows of 32-bit pixels.
struct PixelRows {
    std::uint8_t* base;
    int pitch, width, height;
    std::uint32_t* Row(int y) const {
        return reinterpret_cast<std::uint32_t*>(base + static_cast<std::ptrdiff_t>(y) * pitch);
    }
};

// The window pixels whose scaled value depends on the picture pixels in `changed` (picture pixels),
// for a picture of `pictureWidth` x `pictureHeight` shown in `area`.
RECT ScaledRect(const PictureArea& area, int pictureWidth, int pictureHeight, const RECT& changed);

// Scales `picture` (32-bit pixels, each byte a channel) into `area` of `window`, bilinear, and writes
// only the window pixels inside `windowRect`. Each pixel gets the same value whatever rectangle it is
// written through, so a change can be redrawn alone.
class PictureScaler {
  public:
    void Scale(const PixelRows& picture, const PixelRows& window, const PictureArea& area,
               const RECT& windowRect);

  private:
    struct Tap {
        int index;            // first source pixel
        std::uint32_t weight; // of the next one, 0 to 255
    };
    void Prepare(int pictureWidth, int pictureHeight, const PictureArea& area);
    void Columns(const PixelRows& picture, int row, int from, int to, std::uint32_t* out) const;

    std::vector<Tap> m_X, m_Y;
    int m_PictureWidth = 0, m_PictureHeight = 0;
    PictureArea m_Area;
    std::vector<std::uint32_t> m_Upper, m_Lower;
};

} // namespace platform
