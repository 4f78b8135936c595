#include "layer_fixture.h"

#include <memory>

using fixtures::ArcEntryData;
using fixtures::Bytes;
using fixtures::PictureDesc;

namespace {
struct Case {
    std::string name;
    PictureDesc desc;
    Bytes file;
};

Bytes Plane(const PictureDesc& s, int limit) {
    Bytes plane(static_cast<std::size_t>(s.width) * s.height);
    for (std::size_t i = 0; i < plane.size(); ++i)
        plane[i] = static_cast<std::uint8_t>((i * 29 + 3) % (limit + 1));
    return plane;
}

// Every writer, every depth, raw and run-length, padded and packed rows, odd widths.
std::vector<Case> AllPictures() {
    std::vector<Case> cases;
    int n = 0;
    for (int depth : {4, 8, 16, 24, 32})
        for (int width : {1, 5, 6, 13}) {
            const std::uint32_t seed = static_cast<std::uint32_t>(depth * 100 + width);
            const PictureDesc s = fixtures::MakeTestPicture(width, 3, depth, seed, depth == 16 && width == 5);
            cases.push_back({"p" + std::to_string(n++), s, fixtures::WriteBmp(s)});
            for (int v = 0; v < 4; ++v) {
                const bool runLength = v & 1, padded = v & 2;
                if (depth == 24 && runLength && padded && fixtures::DibRows(s, true).size() % 3 != 0)
                    continue;
                cases.push_back({"p" + std::to_string(n++), s, fixtures::WriteCm(s, {runLength, padded, 1})});
            }
            if (depth >= 8) {
                fixtures::AmOptions o;
                o.planeKind = 1;
                o.colourRunLength = true;
                o.planePaddedRows = true;
                cases.push_back({"p" + std::to_string(n++), s, fixtures::WriteAm(s, Plane(s, 16), o)});
                o.planeKind = 2;
                o.colourRunLength = false;
                o.planeRunLength = true;
                o.paddedRows = true;
                cases.push_back({"p" + std::to_string(n++), s, fixtures::WriteAm(s, Plane(s, 255), o)});
            }
        }
    return cases;
}
} // namespace

TEST_P(LayerTest, EveryWrittenPictureLoadsWithItsColours) {
    const std::vector<Case> cases = AllPictures();
    std::vector<ArcEntryData> entries;
    for (const Case& c : cases)
        entries.push_back({c.name, c.file});
    UseArchive(entries);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + " depth " + std::to_string(c.desc.bitCount) + " width " +
                     std::to_string(c.desc.width));
        CLayer* layer = CreateLayerObject(0);
        ASSERT_TRUE(layer->Load(c.name.c_str(), 1, 0, 0, 0, 0));
        EXPECT_EQ(layer->GetWidth(), c.desc.width);
        EXPECT_EQ(layer->GetHeight(), c.desc.height);
        EXPECT_EQ(layer->GetDepth(), Bits());
        EXPECT_STREQ(layer->GetName(), c.name.c_str());
        IDirectDrawSurface* s = layer->GetSurface();
        for (int y = 0; y < c.desc.height; ++y)
            for (int x = 0; x < c.desc.width; ++x)
                ASSERT_EQ(Raw(s, x, y), Pixel(fixtures::PictureColour(c.desc, x, y))) << x << "," << y;
        DeleteLayerObject(layer);
    }
    EXPECT_FALSE(IsErrorStop());
    EXPECT_EQ(pt::LiveSurfaceCount(), baseSurfaces);
}

TEST_P(LayerTest, GreyAndSepiaFilterEightBitPalettesOnly) {
    const PictureDesc s8 = fixtures::MakeTestPicture(4, 2, 8, 77);
    const PictureDesc s24 = fixtures::MakeTestPicture(4, 2, 24, 78);
    UseArchive({{"pal", fixtures::WriteCm(s8)}, {"rgb", fixtures::WriteBmp(s24)}});
    for (int filter : {1, 2}) {
        CLayer* layer = CreateLayerObject(0);
        ASSERT_TRUE(layer->Load("pal", 1, 0, 0, 0, filter));
        EXPECT_EQ(layer->GetColorFilter(), filter);
        for (int x = 0; x < 4; ++x) {
            const DWORD c = fixtures::PictureColour(s8, x, 1);
            const RGBQUAD q{static_cast<BYTE>(c), static_cast<BYTE>(c >> 8), static_cast<BYTE>(c >> 16), 0};
            const BYTE g = GreyLevel(q);
            const DWORD want = filter == 1
                                   ? (g << 16) | (g << 8) | g
                                   : (SepiaTone(g).red << 16) | (SepiaTone(g).green << 8) | SepiaTone(g).blue;
            EXPECT_EQ(Raw(layer->GetSurface(), x, 1), Pixel(want)) << x;
        }
        CLayer* other = CreateLayerObject(0);
        ASSERT_TRUE(other->Load("rgb", 1, 0, 0, 0, filter));
        EXPECT_EQ(Raw(other->GetSurface(), 2, 0), Pixel(fixtures::PictureColour(s24, 2, 0)));
        DeleteLayerObject(other);
        DeleteLayerObject(layer);
    }
}

TEST_P(LayerTest, SetColorFilterReloadsAndDropsParts) {
    const PictureDesc s8 = fixtures::MakeTestPicture(4, 2, 8, 77);
    UseArchive({{"pal", fixtures::WriteCm(s8)}});
    CLayer* layer = CreateLayerObject(2);
    ASSERT_TRUE(layer->Load("pal", 1, 30, 40, 0, 0));
    const RECT part{0, 0, 2, 2};
    layer->SetPart(&part, 5, 5, 1);
    const DWORD before = Raw(layer->GetSurface(), 1, 1);
    layer->SetColorFilter(0); // the same filter: nothing happens
    EXPECT_EQ(layer->GetPartCount(), 2);
    layer->SetColorFilter(1);
    EXPECT_EQ(layer->GetColorFilter(), 1);
    EXPECT_EQ(layer->GetPartCount(), 0);
    EXPECT_STREQ(layer->GetName(), "pal");
    EXPECT_EQ(layer->m_nX, 30);
    EXPECT_EQ(layer->m_nY, 40);
    EXPECT_EQ(layer->m_bVisible, 1);
    const DWORD c = fixtures::PictureColour(s8, 1, 1);
    const BYTE g =
        GreyLevel(RGBQUAD{static_cast<BYTE>(c), static_cast<BYTE>(c >> 8), static_cast<BYTE>(c >> 16), 0});
    EXPECT_EQ(Raw(layer->GetSurface(), 1, 1), Pixel((g << 16) | (g << 8) | g));
    EXPECT_NE(before, Raw(layer->GetSurface(), 1, 1));
    DeleteLayerObject(layer);
}

TEST_P(LayerTest, LoadFailuresAreReported) {
    const PictureDesc s = fixtures::MakeTestPicture(4, 2, 24, 5);
    Bytes broken = fixtures::WriteCm(s);
    broken.resize(broken.size() - 3);
    UseArchive({{"good", fixtures::WriteCm(s)}, {"broken", broken}});

    CLayer* layer = CreateLayerObject(0);
    EXPECT_FALSE(layer->Load("missing", 1, 0, 0, 0, 0));
    EXPECT_TRUE(IsErrorStop());
    ResetRunState();
    EXPECT_FALSE(layer->Load("broken", 1, 0, 0, 0, 0));
    EXPECT_TRUE(IsErrorStop());
    ResetRunState();
    ASSERT_TRUE(layer->Load("good", 1, 0, 0, 0, 0));
    // A second Load on a layer that holds a picture fails; Reload succeeds.
    EXPECT_FALSE(layer->Load("good", 1, 0, 0, 0, 0));
    EXPECT_TRUE(IsErrorStop());
    ResetRunState();
    EXPECT_TRUE(layer->Reload("good", 1, 3, 4, 0, 0));
    EXPECT_EQ(layer->m_nX, 3);
    EXPECT_TRUE(layer->Reload(layer->GetName(), 1, 3, 4, 0, 0)); // its own name
    EXPECT_STREQ(layer->GetName(), "good");
    EXPECT_FALSE(IsErrorStop());
    EXPECT_EQ(DeleteLayerObject(layer), nullptr);
    EXPECT_EQ(DeleteLayerObject(nullptr), nullptr);
    EXPECT_EQ(pt::LiveSurfaceCount(), baseSurfaces);
}

TEST_P(LayerTest, AFailedAmLoadLeavesTheObjectReadyForTheNext) {
    const PictureDesc s = fixtures::MakeTestPicture(6, 4, 24, 5);
    const Bytes good = fixtures::WriteAm(s, Bytes(24, 200));
    Bytes cut(good.begin(), good.end() - 4);
    UseArchive({{"good", good}, {"cut", cut}});
    CLayer* layer = CreateLayerObject(0);
    EXPECT_FALSE(layer->Load("cut", 1, 0, 0, 0, 0));
    ResetRunState();
    EXPECT_EQ(layer->GetPlane(), nullptr);
    layer->Free();
    ASSERT_TRUE(layer->Load("good", 1, 0, 0, 0, 0));
    EXPECT_FALSE(IsErrorStop());
    ASSERT_NE(Bits() == 24 ? static_cast<const void*>(layer->GetAlphaBytes()) : layer->GetAlphaWords(),
              nullptr);
    DeleteLayerObject(layer);
}

TEST_P(LayerTest, PlanesArePreparedForTheirBlend) {
    const PictureDesc s = fixtures::MakeTestPicture(3, 2, 24, 5);
    const Bytes alpha = {0, 1, 128, 254, 255, 7};
    Bytes weights = {0, 1, 8, 15, 16, 3};
    fixtures::AmOptions o;
    o.planeKind = 1;
    UseArchive({{"alpha", fixtures::WriteAm(s, alpha)}, {"weights", fixtures::WriteAm(s, weights, o)}});
    CLayer* a = CreateLayerObject(0);
    ASSERT_TRUE(a->Load("alpha", 1, 0, 0, 1, 0));
    EXPECT_EQ(a->GetPlane(), nullptr); // the reader's own buffer is gone
    ASSERT_NE(a->GetKeptCopy(), nullptr);
    EXPECT_EQ(a->GetWeights(), nullptr);
    if (Bits() == 24) {
        ASSERT_NE(a->GetAlphaBytes(), nullptr);
        for (int i = 0; i < 6; ++i)
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(a->GetAlphaBytes()[3 * i + c], alpha[i]);
    } else {
        ASSERT_NE(a->GetAlphaWords(), nullptr);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(a->GetAlphaWords()[i], Bits() == 16 && alpha[i] == 255 ? 256 : alpha[i]) << i;
    }
    // Plane kind 2 is never keyed, even with the colour-key flag.
    EXPECT_EQ(a->GetMainSurface()->GetBltFlags(), 0u);
    // The kept copy holds the picture as loaded.
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(Raw(a->GetKeptCopy()->GetSurface(), x, 1), Raw(a->GetSurface(), x, 1));

    CLayer* w = CreateLayerObject(0);
    ASSERT_TRUE(w->Load("weights", 1, 0, 0, 1, 0));
    ASSERT_NE(w->GetWeights(), nullptr);
    EXPECT_EQ(Bytes(w->GetWeights(), w->GetWeights() + 6), weights);
    EXPECT_EQ(w->GetMainSurface()->GetBltFlags(), kKeyedBltFlags); // kind 1 is keyed
    EXPECT_EQ(w->GetKeptCopy()->GetBltFlags(), kKeyedBltFlags);
    DeleteLayerObject(a);
    DeleteLayerObject(w);
}

TEST_P(LayerTest, ReleaseRestoreAndFreeLeaveNothingBehind) {
    const PictureDesc s = fixtures::MakeTestPicture(5, 3, 32, 8);
    const PictureDesc p = fixtures::MakeTestPicture(5, 3, 8, 9);
    UseArchive({{"am", fixtures::WriteAm(s, Bytes(15, 100))}, {"pal", fixtures::WriteBmp(p)}});
    CLayer* layer = CreateLayerObject(1);
    ASSERT_TRUE(layer->Load("am", 1, 7, 8, 0, 0));
    CLayer* blank = CreateLayerObject(0);
    ASSERT_TRUE(blank->CreateBlank(SIZE{9, 9}, 1));
    EXPECT_EQ(blank->m_bVisible, 0);
    EXPECT_EQ(blank->GetName(), nullptr);
    const DWORD pixel = Raw(layer->GetSurface(), 2, 2);

    EXPECT_TRUE(layer->ReleaseSurfaces());
    EXPECT_TRUE(blank->ReleaseSurfaces());
    EXPECT_EQ(layer->GetSurface(), nullptr);
    EXPECT_EQ(layer->GetAlphaWords(), nullptr);
    EXPECT_STREQ(layer->GetName(), "am"); // name, position and visibility stay
    EXPECT_EQ(layer->m_nX, 7);
    EXPECT_EQ(pt::LiveSurfaceCount(), baseSurfaces);

    ASSERT_TRUE(layer->Restore(dd));
    ASSERT_TRUE(blank->Restore(dd));
    EXPECT_EQ(Raw(layer->GetSurface(), 2, 2), pixel);
    ASSERT_NE(layer->GetKeptCopy(), nullptr);
    EXPECT_NE(Bits() == 24 ? static_cast<const void*>(layer->GetAlphaBytes()) : layer->GetAlphaWords(),
              nullptr);
    EXPECT_EQ(blank->GetWidth(), 9);
    EXPECT_EQ(blank->GetMainSurface()->GetBltFlags(), kKeyedBltFlags);
    EXPECT_TRUE(layer->Restore(dd)); // a layer with its surface returns at once

    // Released and then freed: nothing of the picture is left, and it loads again.
    layer->ReleaseSurfaces();
    layer->Free();
    EXPECT_EQ(layer->GetName(), nullptr);
    EXPECT_EQ(layer->GetAlphaWords(), nullptr);
    EXPECT_EQ(layer->GetAlphaBytes(), nullptr);
    EXPECT_EQ(layer->GetPartCount(), 0);
    EXPECT_EQ(layer->GetWidth(), 0);
    ASSERT_TRUE(layer->Load("pal", 1, 0, 0, 0, 0));
    DeleteLayerObject(layer);
    DeleteLayerObject(blank);
    EXPECT_EQ(pt::LiveSurfaceCount(), baseSurfaces);

    // A restore that cannot read its picture fails without a report.
    CLayer* lost = CreateLayerObject(0);
    ASSERT_TRUE(lost->Load("pal", 1, 0, 0, 0, 0));
    lost->ReleaseSurfaces();
    UseArchive({{"other", fixtures::WriteBmp(p)}});
    EXPECT_FALSE(lost->Restore(dd));
    EXPECT_FALSE(IsErrorStop());
    DeleteLayerObject(lost);
    EXPECT_EQ(pt::LiveSurfaceCount(), baseSurfaces);
}

TEST_P(LayerTest, CreateBlankNeedsADirectDrawObjectAndNoSurface) {
    CLayer* layer = CreateLayerObject(0);
    ASSERT_TRUE(layer->CreateBlank(SIZE{4, 4}, 0));
    EXPECT_FALSE(layer->CreateBlank(SIZE{4, 4}, 0));
    layer->Fill(Bits() == 16 ? 0x1234 : 0x123456, nullptr);
    EXPECT_EQ(Raw(layer->GetSurface(), 3, 3), Bits() == 16 ? 0x1234u : 0x123456u);
    HDC dc = nullptr;
    EXPECT_EQ(layer->GetDC(&dc), DD_OK);
    EXPECT_NE(dc, nullptr);
    EXPECT_EQ(layer->ReleaseDC(dc), DD_OK);
    DeleteLayerObject(layer);
    SetDirectDraw(nullptr);
    CLayer* none = CreateLayerObject(0);
    EXPECT_FALSE(none->CreateBlank(SIZE{4, 4}, 0));
    EXPECT_EQ(none->GetDC(&dc), 0);
    EXPECT_EQ(dc, nullptr);
    DeleteLayerObject(none);
}

TEST_P(LayerTest, ShortStoredPalettesStillGiveAFullColourTable) {
    // A "CM" picture storing 16 of its 256 colours: the DIB's table is filled up to 256.
    PictureDesc s = fixtures::MakeTestPicture(7, 3, 8, 41);
    s.palette.resize(16);
    for (auto& p : s.pixels)
        p %= 16;
    PictureDesc a = fixtures::MakeTestPicture(7, 3, 8, 42);
    a.palette.resize(3);
    for (auto& p : a.pixels)
        p %= 3;
    UseArchive(
        {{"short", fixtures::WriteCm(s, {true, false, 1})}, {"tiny", fixtures::WriteAm(a, Bytes(21, 255))}});
    for (const auto& [name, desc] : {std::pair<const char*, const PictureDesc*>{"short", &s}, {"tiny", &a}}) {
        CLayer* layer = CreateLayerObject(0);
        ASSERT_TRUE(layer->Load(name, 1, 0, 0, 0, 0)) << name;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 7; ++x)
                ASSERT_EQ(Raw(layer->GetSurface(), x, y), Pixel(fixtures::PictureColour(*desc, x, y)));
        DeleteLayerObject(layer);
    }
    CAmFile reader;
    BYTE* pixels = nullptr;
    RGBQUAD* palette = nullptr;
    const std::string path = dir.File("short.cmp");
    ASSERT_TRUE(fixtures::WriteFileBytes(path, fixtures::WriteCm(s)));
    ASSERT_TRUE(reader.LoadImage((dir.ProgramPath() + "short.cmp").c_str(), &pixels, TRUE, &palette));
    EXPECT_EQ(palette[255].rgbRed, 0); // the table is 256 entries long, the rest black
    EXPECT_EQ(palette[15].rgbBlue, static_cast<BYTE>(s.palette[15]));
    delete[] pixels;
    delete[] palette;
}

INSTANTIATE_TEST_SUITE_P(Displays, LayerTest, DisplayFormats(), DisplayName);
