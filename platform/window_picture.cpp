#include "platform/window_picture.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform {
namespace {
long long FloorDiv(long long a, long long b) {
    const long long q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}
long long CeilDiv(long long a, long long b) {
    return -FloorDiv(-a, b);
}

// Offset of the first byte in which two runs differ; `length` when they do not.
std::size_t FirstDifference(const std::uint8_t* a, const std::uint8_t* b, std::size_t length) {
    std::size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        std::uint64_t x, y;
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        if (x != y) break;
    }
    while (i < length && a[i] == b[i])
        ++i;
    return i;
}

// Offset of the last byte in which two runs differ, when they differ somewhere.
std::size_t LastDifference(const std::uint8_t* a, const std::uint8_t* b, std::size_t length) {
    std::size_t i = length;
    for (; i >= 8; i -= 8) {
        std::uint64_t x, y;
        std::memcpy(&x, a + i - 8, 8);
        std::memcpy(&y, b + i - 8, 8);
        if (x != y) break;
    }
    while (i > 0 && a[i - 1] == b[i - 1])
        --i;
    return i - 1;
}

// Each byte of a and b mixed: a where `weight` is 0, towards b as it grows to 255. Two channels are
// mixed in each multiply; neither can carry into the other (255 * 256 fits in 16 bits).
inline std::uint32_t Mix(std::uint32_t a, std::uint32_t b, std::uint32_t weight) {
    const std::uint32_t keep = 256 - weight;
    const std::uint32_t even = (((a & 0x00FF00FFu) * keep + (b & 0x00FF00FFu) * weight) >> 8) & 0x00FF00FFu;
    const std::uint32_t odd =
        (((a >> 8) & 0x00FF00FFu) * keep + ((b >> 8) & 0x00FF00FFu) * weight) & 0xFF00FF00u;
    return even | odd;
}
} // namespace

PictureArea FitPicture(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight) {
    PictureArea area;
    if (pictureWidth <= 0 || pictureHeight <= 0 || windowWidth <= 0 || windowHeight <= 0) return area;
    if (static_cast<long long>(windowWidth) * pictureHeight >
        static_cast<long long>(windowHeight) * pictureWidth) {
        area.height = windowHeight;
        area.width = static_cast<int>(static_cast<long long>(windowHeight) * pictureWidth / pictureHeight);
    } else {
        area.width = windowWidth;
        area.height = static_cast<int>(static_cast<long long>(windowWidth) * pictureHeight / pictureWidth);
    }
    area.left = (windowWidth - area.width) / 2;
    area.top = (windowHeight - area.height) / 2;
    return area;
}

POINT WindowToPicture(const PictureArea& area, int pictureWidth, int pictureHeight, POINT window) {
    if (area.width <= 0 || area.height <= 0) return window;
    return POINT{
        static_cast<LONG>(FloorDiv(static_cast<long long>(window.x - area.left) * pictureWidth, area.width)),
        static_cast<LONG>(
            FloorDiv(static_cast<long long>(window.y - area.top) * pictureHeight, area.height))};
}

POINT PictureToWindow(const PictureArea& area, int pictureWidth, int pictureHeight, POINT picture) {
    if (pictureWidth <= 0 || pictureHeight <= 0) return picture;
    return POINT{
        static_cast<LONG>(area.left + CeilDiv(static_cast<long long>(picture.x) * area.width, pictureWidth)),
        static_cast<LONG>(area.top +
                          CeilDiv(static_cast<long long>(picture.y) * area.height, pictureHeight))};
}

RECT KeptPicture::Take(const PixelFormat& format, const std::uint8_t* pixels, int pitch, int width,
                       int height, const RECT* hint) {
    const int bytes = format.BytesPerPixel();
    const std::size_t rowBytes = static_cast<std::size_t>(width) * bytes;
    if (width <= 0 || height <= 0 || !pixels) return RECT{0, 0, 0, 0};
    if (width != m_Width || height != m_Height || &format != m_Format) {
        m_Format = &format;
        m_Width = width;
        m_Height = height;
        m_Pitch = static_cast<int>(rowBytes);
        m_Pixels.resize(rowBytes * height);
        for (int y = 0; y < height; ++y)
            std::memcpy(&m_Pixels[y * rowBytes], pixels + static_cast<std::ptrdiff_t>(y) * pitch, rowBytes);
        return RECT{0, 0, width, height};
    }
    RECT look{0, 0, width, height};
    if (hint) {
        look.left = std::max<LONG>(look.left, hint->left);
        look.top = std::max<LONG>(look.top, hint->top);
        look.right = std::min<LONG>(look.right, hint->right);
        look.bottom = std::min<LONG>(look.bottom, hint->bottom);
    }
    RECT changed{width, height, 0, 0};
    if (look.right <= look.left || look.bottom <= look.top) return RECT{0, 0, 0, 0};
    const std::size_t from = static_cast<std::size_t>(look.left) * bytes;
    const std::size_t length = static_cast<std::size_t>(look.right - look.left) * bytes;
    for (int y = look.top; y < look.bottom; ++y) {
        const std::uint8_t* row = pixels + static_cast<std::ptrdiff_t>(y) * pitch + from;
        std::uint8_t* kept = &m_Pixels[y * rowBytes + from];
        const std::size_t first = FirstDifference(row, kept, length);
        if (first == length) continue;
        const std::size_t last = LastDifference(row, kept, length);
        changed.left = std::min<LONG>(changed.left, look.left + static_cast<LONG>(first / bytes));
        changed.right = std::max<LONG>(changed.right, look.left + static_cast<LONG>(last / bytes) + 1);
        changed.top = std::min<LONG>(changed.top, y);
        changed.bottom = y + 1;
        std::memcpy(kept + first, row + first, last + 1 - first);
    }
    if (changed.right <= changed.left) return RECT{0, 0, 0, 0};
    return changed;
}

RECT ScaledRect(const PictureArea& area, int pictureWidth, int pictureHeight, const RECT& changed) {
    if (pictureWidth <= 0 || pictureHeight <= 0 || changed.right <= changed.left ||
        changed.bottom <= changed.top)
        return RECT{0, 0, 0, 0};
    // A window pixel mixes the two picture pixels around the point it samples; a change reaches the
    // window pixels that sample within one picture pixel of it.
    const long long x0 = std::max<LONG>(0, changed.left - 1),
                    x1 = std::min<LONG>(pictureWidth, changed.right + 1);
    const long long y0 = std::max<LONG>(0, changed.top - 1),
                    y1 = std::min<LONG>(pictureHeight, changed.bottom + 1);
    RECT r{static_cast<LONG>(area.left + FloorDiv(x0 * area.width, pictureWidth)),
           static_cast<LONG>(area.top + FloorDiv(y0 * area.height, pictureHeight)),
           static_cast<LONG>(area.left + CeilDiv(x1 * area.width, pictureWidth)),
           static_cast<LONG>(area.top + CeilDiv(y1 * area.height, pictureHeight))};
    return r;
}

void PictureScaler::Prepare(int pictureWidth, int pictureHeight, const PictureArea& area) {
    if (pictureWidth == m_PictureWidth && pictureHeight == m_PictureHeight && area.left == m_Area.left &&
        area.top == m_Area.top && area.width == m_Area.width && area.height == m_Area.height)
        return;
    m_PictureWidth = pictureWidth;
    m_PictureHeight = pictureHeight;
    m_Area = area;
    // Window pixel i samples the picture at (i + 0.5) * picture / window - 0.5, between two pixels.
    const auto taps = [](int source, int target) {
        std::vector<Tap> out(static_cast<std::size_t>(target));
        for (int i = 0; i < target; ++i) {
            const double at = std::max(0.0, (i + 0.5) * source / target - 0.5);
            const int index = std::min(static_cast<int>(at), source - 1);
            const double fraction = index == source - 1 ? 0.0 : at - index;
            out[static_cast<std::size_t>(i)] =
                Tap{index, std::min(255u, static_cast<std::uint32_t>(fraction * 256))};
        }
        return out;
    };
    m_X = taps(pictureWidth, area.width);
    m_Y = taps(pictureHeight, area.height);
}

void PictureScaler::Columns(const PixelRows& picture, int row, int from, int to, std::uint32_t* out) const {
    const std::uint32_t* source = picture.Row(row);
    const int last = picture.width - 1;
    for (int x = from; x < to; ++x) {
        const Tap& t = m_X[static_cast<std::size_t>(x - m_Area.left)];
        *out++ = Mix(source[t.index], source[std::min(t.index + 1, last)], t.weight);
    }
}

void PictureScaler::Scale(const PixelRows& picture, const PixelRows& window, const PictureArea& area,
                          const RECT& windowRect) {
    if (picture.width <= 0 || picture.height <= 0 || area.width <= 0 || area.height <= 0) return;
    Prepare(picture.width, picture.height, area);
    const int x0 = std::max({0, area.left, static_cast<int>(windowRect.left)});
    const int x1 = std::min({window.width, area.left + area.width, static_cast<int>(windowRect.right)});
    const int y0 = std::max({0, area.top, static_cast<int>(windowRect.top)});
    const int y1 = std::min({window.height, area.top + area.height, static_cast<int>(windowRect.bottom)});
    if (x1 <= x0 || y1 <= y0) return;
    const std::size_t span = static_cast<std::size_t>(x1 - x0);
    m_Upper.resize(span);
    m_Lower.resize(span);
    // Neighbouring window rows mostly share their picture rows: each row is mixed across once.
    int upperRow = -1, lowerRow = -1;
    const int lastRow = picture.height - 1;
    for (int y = y0; y < y1; ++y) {
        const Tap& t = m_Y[static_cast<std::size_t>(y - area.top)];
        const int upper = t.index, lower = std::min(t.index + 1, lastRow);
        if (upper == lowerRow) {
            std::swap(m_Upper, m_Lower);
            std::swap(upperRow, lowerRow);
        }
        if (upper != upperRow) Columns(picture, upper, x0, x1, m_Upper.data());
        if (lower != lowerRow) Columns(picture, lower, x0, x1, m_Lower.data());
        upperRow = upper;
        lowerRow = lower;
        std::uint32_t* out = window.Row(y) + x0;
        for (std::size_t i = 0; i < span; ++i)
            out[i] = Mix(m_Upper[i], m_Lower[i], t.weight);
    }
}

} // namespace platform
