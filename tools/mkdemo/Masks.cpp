#include "tools/mkdemo/Masks.h"

#include "tools/fixtures/PictureWriter.h"
#include "tools/fixtures/RuleMaskWriter.h"
#include "tools/mkdemo/Layouts.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace demo {
namespace {
constexpr int kW = 640, kH = 480;
constexpr double kPi = 3.14159265358979;

int Clamp(double v) {
    return std::clamp(static_cast<int>(v), 0, 255);
}
bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}
bool StartsWith(const std::string& s, const std::string& head) {
    return s.compare(0, head.size(), head) == 0;
}
// The band period of a blind by its size suffix.
int BlindPeriod(const std::string& name) {
    if (EndsWith(name, "_s2")) return 8;
    if (EndsWith(name, "_s3")) return 12;
    if (EndsWith(name, "_s")) return 16;
    if (EndsWith(name, "_m2")) return 48;
    if (EndsWith(name, "_m")) return 32;
    if (EndsWith(name, "_l")) return 96;
    return 24;
}
// Blinds that open in a wave: each band sweeps while the wave passes over the screen.
int Blind(int along, int length, int period) {
    return Clamp((along % period) * 190.0 / (period - 1) + along * 65.0 / length);
}
std::uint32_t Hash(int x, int y, std::uint32_t salt) {
    std::uint32_t v =
        static_cast<std::uint32_t>(x) * 73856093u ^ static_cast<std::uint32_t>(y) * 19349663u ^ salt;
    v ^= v >> 13;
    v *= 0x5bd1e995u;
    v ^= v >> 15;
    return v;
}
double Angle(int x, int y, double cx, double cy) {
    double a = std::atan2(x - cx, cy - y); // 0 at twelve o'clock, growing clockwise
    if (a < 0) a += 2 * kPi;
    return a / (2 * kPi);
}
double Radius(int x, int y, double cx, double cy) {
    return std::hypot(x - cx, y - cy);
}

// The "tuvela" set: eight patterns, each forward (a) and backward (b).
int Tuvela(int pattern, int x, int y) {
    switch (pattern) {
    case 1: // diamonds opening from their centres
        return Clamp((std::abs(x % 64 - 32) + std::abs(y % 64 - 32)) * 255.0 / 64);
    case 2: { // petals around the centre
        const double a = Angle(x, y, 320, 240), r = Radius(x, y, 320, 240) / 400;
        return Clamp((r * 0.7 + 0.3 * (0.5 + 0.5 * std::cos(a * 2 * kPi * 6))) * 255);
    }
    case 3: // dots growing on a grid
        return Clamp(Radius(x % 40, y % 40, 20, 20) * 255 / 29);
    case 4: // horizontal waves rolling down
        return Clamp(y * 200.0 / kH + 55 * (0.5 + 0.5 * std::sin(x / 40.0)));
    case 5: // zigzag from the left
        return Clamp((x + std::abs(y % 80 - 40) * 2) * 255.0 / (kW + 80));
    case 6: // triangles pointing down
        return Clamp((y % 60) * 255.0 / 60 * 0.6 + std::abs(x % 60 - 30) * 255.0 / 30 * 0.4);
    case 7: // tiles turning along the diagonal
        return Clamp(((x / 40 + y / 40) % 16) * 12 + (x % 40) * 64.0 / 40);
    default: // stairs from the top-left
        return Clamp(((x / 80) + (y / 60)) * 255.0 / 14 + ((x % 80) * 15.0 / 80));
    }
}
} // namespace

RuleMaskSize RuleMaskSizeOf(const std::string& name) {
    if (name == "top_to_bottom" || name == "bottom_to_top" || StartsWith(name, "t_to_b_blind") ||
        StartsWith(name, "b_to_t_blind"))
        return {1, kH};
    if (name == "left_to_right" || name == "right_to_left" || StartsWith(name, "l_to_r_blind") ||
        name == "l_to_r_pipe" || name == "c_to_s_blind")
        return {kW, 1};
    return {kW, kH};
}

RuleLevelFn RuleFor(const std::string& name) {
    if (name == "top_to_bottom") return [](int x, int y) { return Clamp(y * 255.0 / (kH - 1)); };
    if (name == "bottom_to_top") return [](int x, int y) { return Clamp((kH - 1 - y) * 255.0 / (kH - 1)); };
    if (name == "left_to_right") return [](int x, int y) { return Clamp(x * 255.0 / (kW - 1)); };
    if (name == "right_to_left") return [](int x, int y) { return Clamp((kW - 1 - x) * 255.0 / (kW - 1)); };
    if (StartsWith(name, "t_to_b_blind"))
        return [p = BlindPeriod(name)](int, int y) { return Blind(y, kH, p); };
    if (StartsWith(name, "b_to_t_blind"))
        return [p = BlindPeriod(name)](int, int y) { return Blind(kH - 1 - y, kH, p); };
    if (StartsWith(name, "l_to_r_blind"))
        return [p = BlindPeriod(name)](int x, int) { return Blind(x, kW, p); };
    if (name == "l_to_r_pipe")
        return [](int x, int y) { return Clamp(x * 200.0 / kW + std::abs(x % 32 - 16) * 55.0 / 16); };
    if (name == "c_to_s_blind")
        return [](int x, int y) { return Clamp(std::abs(x - 320) * 128.0 / 320 + (x % 32) * 127.0 / 31); };
    if (name == "l_to_r_dia")
        return [](int x, int y) { return Clamp((x + (kH - 1 - y) * 0.5) * 255.0 / (kW + kH * 0.5)); };
    if (name == "l_to_r_dia_s") return [](int x, int y) { return Blind(x + y, kW + kH, 40); };
    if (name == "lt_to_rb_dia") return [](int x, int y) { return Clamp((x + y) * 255.0 / (kW + kH - 2)); };
    if (name == "lt_to_rb_dia_s") return [](int x, int y) { return Blind(x + y, kW + kH, 24); };
    if (name == "lt_to_rb_blind") return [](int x, int y) { return Blind(x + y, kW + kH, 56); };
    if (name == "lt_to_rb_ell")
        return [](int x, int y) { return Clamp(std::hypot(x / 640.0, y / 480.0) / std::sqrt(2.0) * 255); };
    if (name == "lb_to_rt")
        return [](int x, int y) { return Clamp((x + (kH - 1 - y)) * 255.0 / (kW + kH - 2)); };
    if (name == "center_out")
        return [](int x, int y) {
            return Clamp(std::max(std::abs(x - 320) / 320.0, std::abs(y - 240) / 240.0) * 255);
        };
    if (name == "center_in")
        return [](int x, int y) {
            return Clamp(255 - std::max(std::abs(x - 320) / 320.0, std::abs(y - 240) / 240.0) * 255);
        };
    if (name == "mesh")
        return [](int x, int y) { return ((x / 4 + y / 4) % 2) * 128 + Clamp(y * 127.0 / kH); };
    if (name == "mesh_2")
        return [](int x, int y) { return ((x / 16 + y / 16) % 2) * 128 + Clamp(x * 127.0 / kW); };
    if (name == "left_rotation")
        return [](int x, int y) { return Clamp((1.0 - Angle(x, y, 320, 240)) * 255); };
    if (name == "right_rotation") return [](int x, int y) { return Clamp(Angle(x, y, 320, 240) * 255); };
    if (name == "left_rotat_s")
        return [](int x, int y) { return Clamp((1.0 - Angle(x % 80, y % 80, 40, 40)) * 255); };
    if (name == "checker")
        return [](int x, int y) { return ((x / 64 + y / 64) % 2) * 128 + Clamp((x % 64) * 127.0 / 63); };
    if (name == "tilt_checker")
        return [](int x, int y) {
            const int u = (x + y) / 48, v = (x - y + 960) / 48;
            return ((u + v) % 2) * 128 + Clamp(((x + y) % 48) * 127.0 / 47);
        };
    if (name == "mosaic")
        return [](int x, int y) { return static_cast<int>(Hash(x / 16, y / 16, 1) & 0xFF); };
    if (name == "mosaic_2")
        return [](int x, int y) { return static_cast<int>(Hash(x / 32, y / 32, 2) & 0xFF); };
    if (name == "random") return [](int x, int y) { return static_cast<int>(Hash(x, y, 3) & 0xFF); };
    if (name == "right_spiral")
        return [](int x, int y) {
            const double r = Radius(x, y, 320, 240) / 400, a = Angle(x, y, 320, 240);
            return Clamp(std::fmod((1.0 - r) * 3 + a, 3.0) / 3.0 * 255);
        };
    if (name == "wave")
        return [](int x, int y) { return Clamp(x * 220.0 / kW + 35 * (0.5 + 0.5 * std::sin(y / 24.0))); };
    if (name == "right_radial") return [](int x, int y) { return Clamp(Radius(x, y, kW, 240) * 255 / 720); };
    if (name == "lens") return [](int x, int y) { return Clamp(Radius(x, y, 320, 240) * 255 / 400); };
    if (name == "tuvela_test")
        return [](int x, int y) {
            return Clamp(std::max(std::abs(x % 80 - 40), std::abs(y % 80 - 40)) * 255.0 / 40);
        };
    if (name == "tuvela_test2")
        return [](int x, int y) { return Clamp(Radius(x % 120, y % 120, 60, 60) * 255 / 85); };
    if (name == "tuvela_new")
        return [](int x, int y) {
            return Clamp(127.5 + 60 * std::sin(x / 37.0) + 60 * std::sin(y / 29.0 + x / 91.0));
        };
    if (name == "tuvela_new2")
        return [](int x, int y) { return Clamp(y * 200.0 / kH + (Hash(x / 8, 0, 4) % 56)); };
    if (StartsWith(name, "tuvela_") && name.size() == 9)
        return [pattern = name[7] - '0', back = name[8] == 'b'](int x, int y) {
            const int level = Tuvela(pattern, x, y);
            return back ? 255 - level : level;
        };
    return [](int x, int y) { return static_cast<int>(Hash(x, y, 5) & 0xFF); }; // any other name: a dissolve
}

Bytes BuildRuleMask(const Asset& a) {
    const RuleMaskSize size = RuleMaskSizeOf(a.name);
    const RuleLevelFn level = RuleFor(a.name);
    std::vector<unsigned char> levels(static_cast<std::size_t>(size.width) * size.height);
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x)
            levels[static_cast<std::size_t>(y) * size.width + x] = static_cast<unsigned char>(level(x, y));
    return fixtures::RuleMaskBytes(size.width, size.height, levels);
}

const char* RegionMaskName(int index) {
    static const char* const kNames[kRegionMaskCount] = {"cgmask", "scemirelmask", "scesovanemask",
                                                         "sceothersmask", "soundmask"};
    return kNames[std::clamp(index, 0, kRegionMaskCount - 1)];
}

namespace {
// The regions of each mask in painting order; a later region wins where two overlap.
std::vector<std::pair<int, Rect>> Regions(int index) {
    std::vector<std::pair<int, Rect>> out;
    if (index == 0) {
        for (int i = 0; i < kCgPerPage; ++i)
            out.push_back({i, GalleryCell(i)});
        for (int p = 0; p < kGalleryPages; ++p)
            out.push_back({24 + p, kGalleryPageButtons[static_cast<std::size_t>(p)]});
        out.push_back({35, kGallerySlideShow});
        out.push_back({36, kGalleryBack});
    } else if (index <= 3) {
        const int page = index - 1;
        const int n = kScenePages[static_cast<std::size_t>(page)].count;
        for (int i = 0; i < n; ++i)
            out.push_back({i, SceneItem(page, i)});
        out.push_back({n, kSceneTabs[0]});
        out.push_back({n + 1, kSceneTabs[1]});
        out.push_back({n + 2, kSceneBack});
    } else {
        for (int t = 0; t < 15; ++t)
            out.push_back({t, SoundTrack(t)});
        out.push_back({15, kSoundButtons[0]});
        out.push_back({17, kSoundButtons[2]});
        out.push_back({16, kSoundButtons[1]});
        out.push_back({18, kSoundButtons[3]});
    }
    return out;
}
} // namespace

int RegionCount(int index) {
    return static_cast<int>(Regions(index).size());
}

Bytes BuildRegionMask(const Asset& a) {
    std::vector<std::uint8_t> values(static_cast<std::size_t>(a.width) * a.height, 255);
    for (const auto& [value, r] : Regions(a.param))
        for (int y = std::max(r.top, 0); y < std::min(r.bottom, a.height); ++y)
            for (int x = std::max(r.left, 0); x < std::min(r.right, a.width); ++x)
                values[static_cast<std::size_t>(y) * a.width + x] = static_cast<std::uint8_t>(value);
    return fixtures::WriteMaskImage(static_cast<std::uint32_t>(a.width), static_cast<std::uint32_t>(a.height),
                                    values, true);
}
} // namespace demo
