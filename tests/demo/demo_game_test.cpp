// The demo game as mkdemo writes it: every archive opens, every entry the program loads is there and
// reads through the program's own readers, the scenarios load, and the settings name the folder.
#include "app/RunState.h"
#include "files/ArcFile.h"
#include "files/Config.h"
#include "graphics/Layer.h"
#include "graphics/MaskImage.h"
#include "graphics/PictureFile.h"
#include "graphics/TransitionTables.h"
#include "graphics/TransitionRuleMask.h"
#include "graphics/UpdateRegion.h"
#include "platform/testing.h"
#include "script/GameScene.h"
#include "sound/DSBCStaticOgg.h"
#include "sound/DSBCStaticWave.h"
#include "tools/fixtures/ScriptDisassembler.h"
#include "DemoFolder.h"
#include "tools/mkdemo/Canvas.h"
#include "tools/mkdemo/DemoWriter.h"
#include "tools/mkdemo/Layouts.h"
#include "tools/mkdemo/Masks.h"
#include "tools/mkdemo/Scenario.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <sstream>

namespace pt = platform::testing;
using demo::Archive;
using demo::Asset;
using demo::Kind;

namespace {
// The game is written once for the test program; each test reads it.
class DemoGameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        game = demo_test::DemoFolder();
        ASSERT_NE(game, nullptr);
        ResetRunState();
        ResetUpdateRegion();
        pt::UseHeadlessDisplay(pt::DisplayFormat::Xrgb32);
        ASSERT_EQ(DirectDrawCreate(nullptr, &dd, nullptr), DD_OK);
        SetDirectDraw(dd);
        for (Archive a : demo::kArchives) {
            archives[a] = std::make_unique<CArcFile>(Program(demo::ArchiveFileName(a)).c_str());
            ASSERT_TRUE(archives[a]->IsArchiveMode()) << demo::ArchiveFileName(a);
        }
    }
    void TearDown() override {
        DestroyConfig();
        g_pGraphicArc = nullptr;
        SetDirectDraw(nullptr);
        if (dd) dd->Release();
        ResetRunState();
    }

    std::string Program(const std::string& name) { return game->ProgramPath() + name; }
    std::string Host(const std::string& name) { return game->File(name); }

    // The entry's bytes as the archive hands them out.
    std::vector<unsigned char> Entry(Archive a, const std::string& name) {
        DWORD size = 0;
        std::FILE* fp = archives[a]->OpenFile(name.c_str(), &size);
        std::vector<unsigned char> bytes(fp ? size : 0);
        if (fp && size) {
            EXPECT_EQ(std::fread(bytes.data(), 1, size, fp), size) << name;
        }
        if (fp) archives[a]->CloseFile(fp);
        return bytes;
    }

    void CheckPicture(const Asset& a) {
        g_pGraphicArc = archives[Archive::Graphic].get();
        CLayer* layer = CreateLayerObject(0);
        ASSERT_TRUE(layer->Load(a.name.c_str(), 1, 0, 0, 1, 0));
        EXPECT_EQ(layer->GetWidth(), a.width);
        EXPECT_EQ(layer->GetHeight(), a.height);
        // Alpha pictures blend over what lies beneath: the layer holds their alpha for the display.
        EXPECT_EQ(layer->GetKind() == kPictureKindAm, a.kind == Kind::AlphaPicture);
        if (a.kind == Kind::AlphaPicture) {
            EXPECT_NE(layer->GetAlphaWords(), nullptr);
        }
        DeleteLayerObject(layer);
        EXPECT_FALSE(IsErrorStop());
    }

    void CheckRuleMask(const Asset& a) {
        const std::vector<unsigned char> entry = Entry(a.archive, a.name);
        std::vector<BYTE> screen(transition::kScreenPixels);
        ASSERT_TRUE(transition::LoadRuleMask(entry.data(), entry.size(), screen.data()));
        // A wipe that reaches every pixel: levels from the first steps to the last.
        const auto [lo, hi] = std::minmax_element(screen.begin(), screen.end());
        EXPECT_LT(*lo, 64);
        EXPECT_GT(*hi, 191);
    }

    void CheckRegionMask(const Asset& a) {
        DWORD size = 0;
        std::FILE* fp = archives[a.archive]->OpenFile(a.name.c_str(), &size);
        ASSERT_NE(fp, nullptr);
        unsigned char head[kMaskImageHeaderSize];
        ASSERT_EQ(std::fread(head, 1, sizeof head, fp), sizeof head);
        MaskImageHeader header;
        ASSERT_TRUE(ReadMaskImageHeader(head, sizeof head, &header));
        EXPECT_EQ(header.totalSize, size);
        std::vector<BYTE> regions(static_cast<std::size_t>(header.width) * header.height);
        std::size_t produced = 0;
        const bool decoded = picture_io::DecodeRunLengthStream(fp, header.totalSize - 1040, 1, regions.data(),
                                                               regions.size(), &produced);
        archives[a.archive]->CloseFile(fp);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(produced, regions.size());
        EXPECT_EQ(static_cast<int>(header.width), a.width);
        // Every region is somewhere under the pointer, and nothing else is.
        std::set<int> seen(regions.begin(), regions.end());
        seen.erase(255);
        EXPECT_EQ(static_cast<int>(seen.size()), demo::RegionCount(a.param));
        EXPECT_EQ(*seen.rbegin(), demo::RegionCount(a.param) - 1);
    }

    void CheckSound(const Asset& a) {
        DWORD size = 0;
        std::FILE* fp = archives[a.archive]->OpenFile(a.name.c_str(), &size);
        ASSERT_NE(fp, nullptr);
        char tag[4] = {};
        ASSERT_EQ(std::fread(tag, 1, 4, fp), 4u);
        std::fseek(fp, -4, SEEK_CUR);
        std::unique_ptr<CDSoundBufferCtrlBase> ctrl;
        if (a.kind == Kind::Music) {
            EXPECT_EQ(std::memcmp(tag, "OggS", 4), 0);
            ctrl = std::make_unique<CDSBCStaticOgg>();
        } else {
            EXPECT_EQ(std::memcmp(tag, "RIFF", 4), 0);
            ctrl = std::make_unique<CDSBCStaticWave>();
        }
        EXPECT_EQ(ctrl->LoadSoundInfo(fp, size), 1);
        EXPECT_EQ(ctrl->GetFormat().wBitsPerSample, 16);
        // Music loops of a few seconds, interface sounds and voices of a moment.
        EXPECT_GT(ctrl->GetLength(), a.kind == Kind::Music ? 4000u : 100u);
        EXPECT_LT(ctrl->GetLength(), a.kind == Kind::Music ? 30000u : 5000u);
        ctrl->Release();
        archives[a.archive]->CloseFile(fp);
    }

    const fixtures::TempDir* game = nullptr;
    IDirectDraw* dd = nullptr;
    std::map<Archive, std::unique_ptr<CArcFile>> archives;
};

TEST_F(DemoGameTest, EveryEntryReadsThroughTheProgramsReaders) {
    for (const Asset& a : demo::Catalogue()) {
        SCOPED_TRACE(a.name);
        switch (a.kind) {
        case Kind::Picture:
        case Kind::AlphaPicture:
            CheckPicture(a);
            break;
        case Kind::RuleMask:
            CheckRuleMask(a);
            break;
        case Kind::RegionMask:
            CheckRegionMask(a);
            break;
        case Kind::Music:
        case Kind::Sound:
            CheckSound(a);
            break;
        }
    }
}

// The names the screens and subsystems of the program load, beyond the catalogue's own families; a
// name the catalogue lost would show here.
TEST(DemoCatalogue, HoldsTheNamesTheScreensLoad) {
    std::map<Archive, std::set<std::string>> names;
    for (const Asset& a : demo::Catalogue())
        names[a.archive].insert(a.name);
    const struct {
        Archive archive;
        const char* prefix;
        int first, last, digits;
    } families[] = {
        {Archive::Graphic, "sg", 70, 81, 3}, {Archive::Graphic, "ed", 0, 11, 3},
        {Archive::Sound, "bgm", 0, 14, 2},   {Archive::Se, "Se", 0, 4, 3},
        {Archive::Voice, "svo", 0, 10, 4},
    };
    for (const auto& f : families)
        for (int n = f.first; n <= f.last; ++n) {
            char name[16];
            std::snprintf(name, sizeof name, "%s%0*d", f.prefix, f.digits, n);
            EXPECT_EQ(names[f.archive].count(name), 1u) << name;
        }
    for (const char* sg :
         {"sg000", "sg001", "sg002", "sg004", "sg005", "sg006", "sg007", "sg010", "sg011", "sg012",
          "sg013", "sg014", "sg015", "sg016", "sg017", "sg018", "sg019", "sg020", "sg021", "sg022",
          "sg023", "sg024", "sg025", "sg030", "sg031", "sg032", "sg033", "sg035", "sg036", "sg037",
          "sg038", "sg040", "sg041", "sg042", "sg050", "sg051", "sg052", "sg053", "sg054", "sg055",
          "sg056", "sg057", "sg058", "sg059", "sg060", "sg061"})
        EXPECT_EQ(names[Archive::Graphic].count(sg), 1u) << sg;
    for (const char* cg : demo::kCgNames)
        EXPECT_EQ(names[Archive::Graphic].count(cg), 1u) << cg;
    for (const char* mask : {"cgmask", "scemirelmask", "scesovanemask", "sceothersmask", "soundmask"})
        EXPECT_EQ(names[Archive::Data].count(mask), 1u) << mask;
    for (const EffectMaskName* e = EffectMaskNames; e->effect < kEffectCount; ++e)
        if (e->name) {
            EXPECT_EQ(names[Archive::Mask].count(e->name), 1u) << e->name;
        }
}

// The folder plays: the settings name it, the save folder and the read-text seed are there, both
// scenarios load as the game and the extras load them, and every picture and sound they name is in the
// archives.
TEST_F(DemoGameTest, TheFolderHoldsAPlayableGame) {
    CConfig config;
    ASSERT_TRUE(config.Load(Program("Quorin.ini").c_str()));
    EXPECT_STREQ(config.GetSystemDataPath(nullptr), game->ProgramPath().c_str());
    EXPECT_STREQ(config.GetScenarioVoicePath(nullptr), game->ProgramPath().c_str());
    EXPECT_EQ(std::string(config.GetSaveDataPath(nullptr)), game->ProgramPath() + "SaveData\\");
    EXPECT_EQ(config.GetWindowMode(), 0);
    EXPECT_EQ(config.GetMovieSwitch(), 1);
    EXPECT_TRUE(std::filesystem::is_directory(Host("SaveData")));
    EXPECT_GT(std::filesystem::file_size(Host("op.mpg")), 0u);
    // The read-text seed carries its own size, which is how the save data accepts it.
    const std::vector<unsigned char> seed = fixtures::ReadFileBytes(Host("at"));
    ASSERT_GE(seed.size(), 8u);
    EXPECT_EQ(seed[4] | seed[5] << 8 | seed[6] << 16 | seed[7] << 24, static_cast<int>(seed.size()));

    std::map<std::string, Archive> archiveOf;
    for (const Asset& a : demo::Catalogue())
        archiveOf[a.name] = a.archive;
    g_pConfig = new CConfig;
    g_pConfig->SetSystemProgramPath(game->ProgramPath().c_str());
    for (const char* script : {"main.sct", "scene.sct"}) {
        SCOPED_TRACE(script);
        auto scene = std::make_unique<CGameScene>();
        EXPECT_EQ(scene->LoadScript(Program(script).c_str()), 1);
        scene.reset();
        std::string text, error;
        ASSERT_TRUE(fixtures::DisassembleScript(fixtures::ReadFileBytes(Host(script)), &text, &error))
            << error;
        std::istringstream lines(text);
        int named = 0;
        for (std::string line; std::getline(lines, line);) {
            const bool graphic = line.rfind(".graphic ", 0) == 0, sound = line.rfind(".sound ", 0) == 0;
            if (!graphic && !sound) continue;
            ++named;
            std::vector<std::string> fields;
            std::stringstream row(line.substr(line.find(' ') + 1));
            for (std::string f; std::getline(row, f, ',');) {
                f.erase(0, f.find_first_not_of(" \""));
                f.erase(f.find_last_not_of(" \"") + 1);
                fields.push_back(f);
            }
            // A graphic's picture is its file name up to the first "."; a sound plays by its ID.
            const std::string name = graphic ? fields.at(1).substr(0, fields.at(1).find('.')) : fields.at(0);
            ASSERT_EQ(archiveOf.count(name), 1u) << line;
            EXPECT_EQ(archiveOf[name] == Archive::Graphic, graphic) << line;
            EXPECT_FALSE(Entry(archiveOf[name], name).empty()) << line;
        }
        EXPECT_GT(named, 8);
    }
}

// The same entries come out every time (e2e tests compare pictures of the game against them).
TEST(DemoCatalogue, BuildsTheSameBytesEveryTime) {
    const std::vector<Asset>& assets = demo::Catalogue();
    for (std::size_t i = 0; i < assets.size(); i += 7) {
        SCOPED_TRACE(assets[i].name);
        EXPECT_EQ(assets[i].build(assets[i]), assets[i].build(assets[i]));
    }
}

// The art the screens cut out of a sheet is all there: each rectangle they read lies inside the sheet,
// and a sheet they draw without a colour key holds no key colour there (it would show as magenta).
TEST(DemoCatalogue, SheetsHoldTheArtTheScreensCutOut) {
    using demo::Rect;
    const struct Row {
        const char* name;
        const char* picture;
        Rect art;
        bool keyed;
    } rows[] = {
        {"gallery page 11 marked", "sg053", {112, 116, 168, 174}, true},
        {"gallery back pressed", "sg053", {224, 112, 346, 152}, true},
        {"grid cell 0 hovered", "sg031", {0, 0, 50, 50}, false},
        {"grid cell 23 pressed", "sg031", {50, 1150, 100, 1200}, false},
        {"grid decide hovered", "sg031", {0, 1200, 80, 1232}, false},
        {"grid back hovered", "sg031", {0, 1232, 80, 1264}, false},
        {"grid decide pressed", "sg031", {0, 1264, 80, 1296}, false},
        {"grid back pressed", "sg031", {0, 1296, 80, 1328}, false},
        {"calendar at night", "sg025", {260, 100, 306, 118}, true},
        {"save back pressed", "sg014", {372, 48, 456, 88}, true},
        {"extras back pressed", "sg051", demo::kExtrasPressedArt[3], false},
        {"config cancel pressed", "sg011", demo::kConfigArt[22], false},
        {"name OK pressed", "sg020", {288, 0, 384, 40}, false},
        {"status close pressed", "sg041", {0, 40, 84, 80}, false},
    };
    std::map<std::string, demo::DecodedPicture> pictures;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (!pictures.count(row.picture)) pictures[row.picture] = demo::DecodeCataloguePicture(row.picture);
        const demo::DecodedPicture& p = pictures[row.picture];
        if (row.art.right > p.width || row.art.bottom > p.height) {
            ADD_FAILURE() << "the sheet is " << p.width << "x" << p.height;
            continue;
        }
        int keyColoured = 0;
        for (int y = row.art.top; y < row.art.bottom; ++y)
            for (int x = row.art.left; x < row.art.right; ++x)
                keyColoured += p.At(x, y) == demo::kKey;
        if (!row.keyed) {
            EXPECT_EQ(keyColoured, 0);
        }
    }
}

// A button's art in one state against another: the player must see the change, so a good share of the
// pixels differ.
TEST(DemoCatalogue, ButtonStatesLookDifferent) {
    using demo::Rect;
    const struct Row {
        const char* name;
        const char* pictureA;
        Rect a;
        const char* pictureB;
        Rect b;
    } rows[] = {
        {"title start: painted vs hover", "sg017", demo::kTitleItems[0], "sg018", {0, 0, 128, 40}},
        {"title quit: hover vs pressed", "sg018", {0, 200, 128, 240}, "sg018", {128, 200, 256, 240}},
        {"bar save: normal vs hover", "sg005", {126, 0, 188, 36}, "sg005", {126, 36, 188, 72}},
        {"bar save: hover vs pressed", "sg005", {126, 36, 188, 72}, "sg005", {126, 72, 188, 108}},
        {"bar save: normal vs disabled", "sg005", {126, 0, 188, 36}, "sg005", {126, 108, 188, 144}},
        {"bar skip: off vs on", "sg005", {374, 0, 436, 36}, "sg005", {312, 0, 374, 36}},
        {"config voice 2: painted vs selected", "sg010", demo::kConfigRegions[2], "sg011",
         demo::kConfigArt[2]},
        {"config ok: hover vs pressed", "sg011", demo::kConfigHover[0], "sg011", demo::kConfigArt[21]},
        {"dialog yes: painted vs hover", "sg006", {68, 87, 156, 119}, "sg007", {0, 0, 88, 32}},
        {"save line: hover vs pressed", "sg014", {2, 0, 402, 24}, "sg014", {2, 24, 402, 48}},
        {"extras gallery: painted vs hover", "sg050", demo::kExtrasItems[0], "sg051",
         demo::kExtrasHoverArt[0]},
        {"gallery cell 0: normal vs hover", "sg070", {0, 0, 98, 76}, "sg070", {98, 0, 196, 76}},
        {"gallery cell 0: hover vs pressed", "sg070", {98, 0, 196, 76}, "sg070", {196, 0, 294, 76}},
        {"grid cell 0: hover vs pressed frame", "sg031", {0, 0, 50, 50}, "sg031", {50, 0, 100, 50}},
        {"sound room play: painted vs pressed", "sg060", demo::kSoundButtons[1], "sg061",
         demo::kSoundPressedArt[1]},
    };
    std::map<std::string, demo::DecodedPicture> pictures;
    auto picture = [&](const char* name) -> const demo::DecodedPicture& {
        if (!pictures.count(name)) pictures[name] = demo::DecodeCataloguePicture(name);
        return pictures[name];
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const demo::DecodedPicture& pa = picture(row.pictureA);
        const demo::DecodedPicture& pb = picture(row.pictureB);
        ASSERT_FALSE(pa.rgb.empty());
        ASSERT_FALSE(pb.rgb.empty());
        ASSERT_EQ(row.a.Width(), row.b.Width());
        ASSERT_EQ(row.a.Height(), row.b.Height());
        int differing = 0;
        for (int y = 0; y < row.a.Height(); ++y)
            for (int x = 0; x < row.a.Width(); ++x)
                differing += pa.At(row.a.left + x, row.a.top + y) != pb.At(row.b.left + x, row.b.top + y);
        EXPECT_GT(differing, row.a.Width() * row.a.Height() / 5);
    }
}

// Written again over a game that was played, the demo replaces its own files but keeps what the
// player made: the settings the config panel saved, a setting edited by hand, the saves.
TEST(DemoWriter, WritingAgainKeepsTheSettingsAndTheSaves) {
    const fixtures::TempDir dir;
    std::string error;
    ASSERT_TRUE(demo::WriteDemoGame(dir.Path(), &error)) << error;
    const std::string ini = dir.File("Quorin.ini"), slot = dir.File("SaveData/data01.sav");
    const std::vector<unsigned char> scenario = fixtures::ReadFileBytes(dir.File("main.sct"));

    CConfig config;
    ASSERT_TRUE(config.Load(ini.c_str()));
    ConfigValues played = *config.GetValues();
    played.TextSpeed = 1;
    played.BgmSwitch = 1;
    played.EffectSwitch = 0;
    played.WindowMode = 1;
    config.SetValues(&played);
    ASSERT_TRUE(config.Save(ini.c_str()));
    std::string settings = fixtures::ReadFileText(ini);
    const std::size_t movie = settings.find("MovieSwitch=1");
    ASSERT_NE(movie, std::string::npos) << settings;
    settings.replace(movie, 13, "MovieSwitch=0");
    ASSERT_TRUE(fixtures::WriteFileText(ini, settings));
    ASSERT_TRUE(fixtures::WriteFileText(slot, "a save"));
    ASSERT_TRUE(fixtures::WriteFileText(dir.File("main.sct"), "damaged"));

    ASSERT_TRUE(demo::WriteDemoGame(dir.Path(), &error)) << error;
    EXPECT_EQ(fixtures::ReadFileText(ini), settings);
    EXPECT_EQ(fixtures::ReadFileText(slot), "a save");
    EXPECT_EQ(fixtures::ReadFileBytes(dir.File("main.sct")), scenario)
        << "the game's own files are written anew";
    CConfig reread;
    ASSERT_TRUE(reread.Load(ini.c_str()));
    EXPECT_EQ(reread.GetTextSpeed(), 1);
    EXPECT_EQ(reread.GetBgmSwitch(), 1);
    EXPECT_EQ(reread.GetEffectSwitch(), 0);
    EXPECT_EQ(reread.GetWindowMode(), 1);
    EXPECT_EQ(reread.GetMovieSwitch(), 0);
}
} // namespace
