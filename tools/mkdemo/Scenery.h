// Drawn scenes and figures for the story pictures: skies at four times of day, hills, a town, a park, a
// street with its shoppers, two rooms, a seaside and a classroom, and the heroines in a few expressions.
#pragma once

#include "tools/mkdemo/Canvas.h"

#include <cstdint>

namespace demo {
// Room is the player's own; AoiRoom is hers, with a wardrobe and the Tanabata bamboo at the window.
enum class Place { HillTown, Park, Street, Room, Seaside, Classroom, AoiRoom, Count };
enum class TimeOfDay { Morning, Noon, Evening, Night, Count };

// Fills the whole canvas with the place; the seed moves clouds, hills and houses a little.
void PaintScene(Canvas& c, Place place, TimeOfDay time, std::uint32_t seed);
// Bursts of fireworks over the upper part of the canvas.
void PaintFireworks(Canvas& c, std::uint32_t seed);

// The skin of every figure, drawn in the story and in the background alike.
inline constexpr Rgb kSkin = 0xFCE3D2;

struct Heroine {
    const char* name;
    Rgb hair, hairShade, eyes, outfit, outfitShade, trim, ribbon;
    int hairStyle; // 0 long, 1 ponytail, 2 bob, 3 twin tails
};
// Grin: eyes shut in a laugh and the mouth wide open (teasing, delighted); Pout: half-shut eyes and a
// frown (let down).
enum class Expression { Smile, Shy, Surprised, Sad, Wink, Calm, Grin, Pout, Count };

// The demo's heroines, in the order of their voice prefixes: ka, hi, ao, mo, jo.
const Heroine& HeroineAt(int index);
inline constexpr int kHeroineCount = 5;

// What a figure wears: Uniform is the heroine's own school uniform in her colours, the others are the
// costumes of the festival's wardrobe in their own colours, in the wardrobe's order.
enum class Outfit {
    Uniform,
    Summer,
    Cardigan,
    Sports,
    Yukata,
    Apron,
    Coat,
    Dress,
    Sailor,
    Hoodie,
    Maid,
    Kimono,
    Blazer,
    Pajama,
    Count
};
struct Pose {
    Outfit outfit = Outfit::Uniform;
    bool waving = false; // the hand on the viewer's right raised
};

// A figure from the top of the hair down; `scale` in percent of the 440-pixel full height.
void PaintFigure(Canvas& c, const Heroine& h, Expression e, int centreX, int top, int scale, Pose pose = {});
// A figure seen from behind: hair and clothes, no face.
void PaintFigureFromBehind(Canvas& c, Rgb hair, Rgb clothes, int hairStyle, int centreX, int top, int scale);

// A small deterministic generator, so that the same seed always draws the same picture.
class Random {
  public:
    explicit Random(std::uint32_t seed) : m_State(seed * 2654435761u + 0x9E3779B9u) {}
    std::uint32_t Next() {
        m_State ^= m_State << 13;
        m_State ^= m_State >> 17;
        m_State ^= m_State << 5;
        return m_State;
    }
    int Range(int lo, int hi) {
        return hi <= lo ? lo : lo + static_cast<int>(Next() % static_cast<std::uint32_t>(hi - lo));
    }

  private:
    std::uint32_t m_State;
};
} // namespace demo
