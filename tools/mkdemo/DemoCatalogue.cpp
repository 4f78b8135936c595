#include "tools/mkdemo/DemoCatalogue.h"

#include "graphics/TransitionTables.h"
#include "tools/mkdemo/Art.h"
#include "tools/mkdemo/Masks.h"
#include "tools/mkdemo/Scenery.h"
#include "tools/mkdemo/Sounds.h"

#include <cstdio>
#include <set>

namespace demo {
const char* ArchiveFileName(Archive archive) {
    switch (archive) {
    case Archive::Graphic:
        return "graphic.arc";
    case Archive::Data:
        return "data.arc";
    case Archive::Mask:
        return "mask.arc";
    case Archive::Sound:
        return "sound.arc";
    case Archive::Se:
        return "se.arc";
    case Archive::Voice:
    default:
        return "voice.arc";
    }
}

namespace {
std::string Numbered(const char* prefix, int n, int digits) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%s%0*d", prefix, digits, n);
    return buffer;
}

class CatalogueBuilder {
  public:
    std::vector<Asset> assets;

    template <Painter P>
    void Pic(const std::string& name, int w, int h, int param = 0, Format f = Format::Cm8) {
        assets.push_back({Archive::Graphic, name, Kind::Picture, w, h, f, param, &BuildPicture<P>});
    }
    template <Painter P> void Alpha(const std::string& name, int w, int h) {
        assets.push_back(
            {Archive::Graphic, name, Kind::AlphaPicture, w, h, Format::Am8, 0, &BuildPicture<P>});
    }
    void Add(Archive archive, const std::string& name, Kind kind, int param, Builder build, int w = 0,
             int h = 0) {
        assets.push_back({archive, name, kind, w, h, Format::Cm8, param, build});
    }
};

// The story's own pictures, named by the demo scenarios.
struct StoryPicture {
    const char* name;
    bool character;
    int param;
};
constexpr int Bg(Place p, TimeOfDay t) {
    return static_cast<int>(p) * 4 + static_cast<int>(t);
}
constexpr int Ch(int heroine, Expression e, Outfit outfit = Outfit::Uniform) {
    return static_cast<int>(outfit) * kOutfitStep + heroine * 16 + static_cast<int>(e);
}
constexpr StoryPicture kStoryPictures[] = {
    {"bg_hill", false, Bg(Place::HillTown, TimeOfDay::Morning)},
    {"bg_park", false, Bg(Place::Park, TimeOfDay::Evening)},
    {"bg_street", false, Bg(Place::Street, TimeOfDay::Evening)},
    {"bg_room", false, Bg(Place::Room, TimeOfDay::Night)},
    {"bg_aoi_room", false, Bg(Place::AoiRoom, TimeOfDay::Morning)},
    {"bg_street_n", false, Bg(Place::Street, TimeOfDay::Night)},
    {"bg_hill_n", false, Bg(Place::HillTown, TimeOfDay::Night)},
    {"bg_fireworks", false, Bg(Place::HillTown, TimeOfDay::Night) + kWithFireworks},
    {"bg_school", false, Bg(Place::Classroom, TimeOfDay::Noon)},
    {"bg_school_ev", false, Bg(Place::Classroom, TimeOfDay::Evening)},
    {"aoi_smile", true, Ch(2, Expression::Smile)},
    {"aoi_shy", true, Ch(2, Expression::Shy)},
    {"aoi_sad", true, Ch(2, Expression::Sad)},
    {"aoi_surprise", true, Ch(2, Expression::Surprised)},
    {"aoi_wink", true, Ch(2, Expression::Wink)},
    {"kana_smile", true, Ch(0, Expression::Smile)},
    {"kana_wink", true, Ch(0, Expression::Wink)},
    {"kana_wow", true, Ch(0, Expression::Surprised)},
    {"kana_grin", true, Ch(0, Expression::Grin)},
    {"kana_pout", true, Ch(0, Expression::Pout)},
    {"hina_smile", true, Ch(1, Expression::Smile)},
};

// The scenario voices: speaker prefix, count.
struct VoiceSet {
    const char* prefix;
    int heroine;
    int count;
};
constexpr VoiceSet kVoiceSets[] = {{"ao", 2, 16}, {"ka", 0, 9}, {"hi", 1, 4}};

std::vector<Asset> MakeCatalogue() {
    CatalogueBuilder b;
    // Start-up, title and the system sprites.
    b.Pic<PaintBlank>("sg000", 640, 480);
    b.Pic<PaintCurtain>("sg001", 640, 480);
    b.Pic<PaintLogo>("sg002", 640, 480, 0, Format::Bmp8);
    b.Pic<PaintCursor>("sg004", 32, 32, 0, Format::Bmp8);
    b.Pic<PaintBar>("sg005", 746, 144);
    b.Alpha<PaintDialog>("sg006", 384, 512);
    b.Pic<PaintDialogButtons>("sg007", 88, 128);
    b.Pic<PaintConfig>("sg010", 640, 480);
    b.Pic<PaintConfigArt>("sg011", 230, 320);
    b.Pic<PaintRowCursor>("sg012", 22, 22, 0, Format::Bmp8);
    b.Pic<PaintSaveLoad>("sg013", 640, 480, 0);
    b.Pic<PaintSaveLoadArt>("sg014", 456, 88, 0);
    b.Pic<PaintSaveLoad>("sg015", 640, 480, 1);
    b.Pic<PaintSaveLoadArt>("sg016", 456, 88, 1);
    b.Pic<PaintTitle>("sg017", 640, 480);
    b.Pic<PaintTitleArt>("sg018", 256, 240);
    b.Pic<PaintNameEntry>("sg019", 640, 480);
    b.Pic<PaintNameButtons>("sg020", 384, 40);
    b.Pic<PaintCaret>("sg021", 4, 34, 0, Format::Bmp8);
    b.Alpha<PaintMessageWindow>("sg022", 596, 136);
    b.Pic<PaintClickIcon>("sg023", 64, 16, 0, Format::Bmp8);
    b.Alpha<PaintChoiceBoxes>("sg024", 480, 80);
    b.Pic<PaintCalendar>("sg025", 306, 118);
    b.Pic<PaintGrid>("sg030", 640, 480);
    b.Pic<PaintGridFrames>("sg031", 100, 1328);
    b.Pic<PaintGridLevels>("sg032", 386, 64);
    b.Pic<PaintGridLabels>("sg033", 52, 604);
    b.Pic<PaintCostumeRoom>("sg035", 640, 480);
    b.Pic<PaintCostumeButtons>("sg036", 352, 64);
    b.Alpha<PaintCostumes>("sg037", 2128, 328);
    b.Alpha<PaintCostumeVeil>("sg038", 152, 328);
    b.Pic<PaintStatus>("sg040", 640, 480);
    b.Pic<PaintStatusClose>("sg041", 84, 80);
    b.Pic<PaintGauge>("sg042", 30, 400);
    b.Pic<PaintGridSpare>("sg043", 320, 240, 0);
    b.Pic<PaintGridSpare>("sg044", 320, 240, 1);
    b.Pic<PaintExtrasMenu>("sg050", 640, 480);
    b.Pic<PaintExtrasMenuArt>("sg051", 1258, 104);
    b.Pic<PaintGallery>("sg052", 640, 480);
    b.Pic<PaintGalleryArt>("sg053", 346, 174);
    b.Pic<PaintSceneList>("sg054", 640, 480, 0);
    b.Pic<PaintSceneButtons>("sg055", 516, 798, 0);
    b.Pic<PaintSceneList>("sg056", 640, 480, 1);
    b.Pic<PaintSceneButtons>("sg057", 516, 538, 1);
    b.Pic<PaintSceneList>("sg058", 640, 480, 2);
    b.Pic<PaintSceneButtons>("sg059", 528, 378, 2);
    b.Pic<PaintSoundRoom>("sg060", 640, 480);
    b.Pic<PaintSoundRoomArt>("sg061", 474, 452);
    for (int page = 0; page < kGalleryPages; ++page)
        b.Pic<PaintThumbnails>(Numbered("sg", 70 + page, 3), 294, 1824, page);
    b.Pic<PaintGalleryEnd>("sg081", 396, 306);
    for (int n = 0; n < kCgCount; ++n)
        b.Pic<PaintCg>(kCgNames[static_cast<std::size_t>(n)], 640, 480, n);
    b.Pic<PaintPhoto>("ph_hill", 256, 192);
    for (int row = 0; row < 12; ++row)
        b.Pic<PaintEnding>(Numbered("ed", row, 3), 640, 480, row);
    for (const StoryPicture& s : kStoryPictures) {
        if (s.character)
            b.Pic<PaintCharacter>(s.name, 300, 440, s.param);
        else
            b.Pic<PaintBackground>(s.name, 640, 480, s.param);
    }
    // Aoi on the festival day in the costume the player chose, by its number in the wardrobe (the
    // scenario builds these names); in costume 0, her uniform, she is "aoi_smile" and "aoi_shy".
    for (int k = 1; k < static_cast<int>(Outfit::Count); ++k) {
        const auto outfit = static_cast<Outfit>(k);
        b.Pic<PaintCharacter>(Numbered("aoi_smile", k, 1), 300, 440, Ch(2, Expression::Smile, outfit));
        b.Pic<PaintCharacter>(Numbered("aoi_shy", k, 1), 300, 440, Ch(2, Expression::Shy, outfit));
    }

    // The extras' hit maps.
    for (int m = 0; m < kRegionMaskCount; ++m)
        b.Add(Archive::Data, RegionMaskName(m), Kind::RegionMask, m, &BuildRegionMask, 640, 480);

    // The rule masks of the screen transitions, one per name (two effects share one).
    std::set<std::string> seen;
    for (const EffectMaskName* e = EffectMaskNames; e->effect < kEffectCount; ++e)
        if (e->name && seen.insert(e->name).second) {
            const RuleMaskSize size = RuleMaskSizeOf(e->name);
            b.Add(Archive::Mask, e->name, Kind::RuleMask, 0, &BuildRuleMask, size.width, size.height);
        }

    // Music: the fifteen tracks of the sound room, which the title, the story and the ending use too.
    for (int t = 0; t < kTrackCount; ++t)
        b.Add(Archive::Sound, Numbered("bgm", t, 2), Kind::Music, t, &BuildMusic);

    // Interface sounds and the scenario's sound effects.
    for (int s = 0; s < 5; ++s)
        b.Add(Archive::Se, Numbered("Se", s, 3), Kind::Sound, s, &BuildInterfaceSound);
    b.Add(Archive::Se, "se_wind", Kind::Sound, 0, &BuildAmbience);
    b.Add(Archive::Se, "se_chime", Kind::Sound, 1, &BuildAmbience);
    b.Add(Archive::Se, "se_festival", Kind::Sound, 2, &BuildAmbience);
    b.Add(Archive::Se, "se_firework", Kind::Sound, 3, &BuildAmbience);

    // System voices (dialogs, config sample, extras, the hidden key sequence) and the scenario's voices.
    for (int v = 0; v <= 10; ++v)
        b.Add(Archive::Voice, Numbered("svo", v, 4), Kind::Sound, VoiceParam(3, v), &BuildVoice);
    for (const VoiceSet& set : kVoiceSets)
        for (int n = 1; n <= set.count; ++n)
            b.Add(Archive::Voice, Numbered(set.prefix, n, 4), Kind::Sound, VoiceParam(set.heroine, n),
                  &BuildVoice);
    return b.assets;
}
} // namespace

const std::vector<Asset>& Catalogue() {
    static const std::vector<Asset> kCatalogue = MakeCatalogue();
    return kCatalogue;
}
} // namespace demo
