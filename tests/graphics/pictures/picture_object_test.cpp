// The picture object in every display format: loading every written picture, filters, failures,
// planes, release and restore, and drawing whole, keyed, in parts, clipped, blended and as cell sets.
#include "graphics/Layer.h"
#include "tests/graphics/DisplayFixture.h"
#include "tests/graphics/pictures/WrittenPictures.h"

#include <climits>

using namespace graphics_test;

namespace {
// A 24-bit picture whose pixel (x, y) is a colour every display keeps apart from its neighbours.
PictureDesc Gradient(int w, int h) {
    PictureDesc s = Solid(w, h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.pixels[y * w + x] = ((x * 8 + 8) << 16) | ((y * 8 + 8) << 8) | 0x40;
    return s;
}
} // namespace

class PictureObjectTest : public DisplayTest {
  protected:
    DWORD Grey() const { return Pixel(0x404040); }
    // A target whose pixel (x, y) is white where (x + y) is odd and black elsewhere.
    IDirectDrawSurface* Checkered(int w, int h) {
        IDirectDrawSurface* t = MakeSurface(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                pt::WriteSurfaceRaw(t, x, y, (x + y) % 2 ? Pixel(0xFFFFFF) : 0);
        return t;
    }
    bool White(int x, int y) const { return (x + y) % 2 != 0; }
    // White blended over black with alpha 0, 128, 200 or 255 (0 to 255 in the file), and with weight
    // 0 to 16, as each display stores it: a + floor((b - a) x alpha / 256) and (b x weight) >> 4 per
    // channel, worked out by hand.
    DWORD AlphaOverBlack(int alpha) const {
        const int i = alpha == 0 ? 0 : alpha == 128 ? 1 : alpha == 200 ? 2 : 3;
        const DWORD rgb565[4] = {0, 0x7BEF, 0xC638, 0xFFFF}, rgb555[4] = {0, 0x3DEF, 0x6318, 0x7FFF};
        const DWORD rgb[4] = {0, 0x7F7F7F, 0xC7C7C7, 0xFEFEFE};
        return Bits() > 16 ? rgb[i] : Is555() ? rgb555[i] : rgb565[i];
    }
    DWORD WeightOverBlack(int weight) const {
        const int i = weight == 1 ? 0 : weight == 8 ? 1 : 2; // 16 and above
        const DWORD rgb565[3] = {0x0861, 0x7BEF, 0xFFFF}, rgb555[3] = {0x0421, 0x3DEF, 0x7FFF};
        const DWORD rgb[3] = {0x0F0F0F, 0x7F7F7F, 0xFFFFFF};
        return Bits() > 16 ? rgb[i] : Is555() ? rgb555[i] : rgb565[i];
    }
    const void* PreparedAlpha(CLayer* l) const {
        return Bits() == 24 ? static_cast<const void*>(l->GetAlphaBytes()) : l->GetAlphaWords();
    }
};

TEST_P(PictureObjectTest, EveryWrittenPictureLoadsWithItsColours) {
    const std::vector<Written> all = AllWrittenPictures();
    std::vector<fixtures::ArcEntryData> entries;
    for (std::size_t i = 0; i < all.size(); ++i)
        entries.push_back({"p" + std::to_string(i), all[i].file});
    UseArchive(entries);
    for (std::size_t i = 0; i < all.size(); ++i) {
        const Written& w = all[i];
        SCOPED_TRACE(w.name);
        CLayer* layer = CreateLayerObject(0);
        ASSERT_TRUE(layer->Load(entries[i].name.c_str(), 1, 0, 0, 0, 0));
        EXPECT_TRUE(layer->GetWidth() == w.desc.width && layer->GetHeight() == w.desc.height);
        EXPECT_TRUE(layer->GetDepth() == Bits() && layer->GetKind() == w.kind);
        EXPECT_STREQ(layer->GetName(), entries[i].name.c_str());
        for (int y = 0; y < w.desc.height; ++y)
            for (int x = 0; x < w.desc.width; ++x)
                ASSERT_EQ(Raw(layer->GetSurface(), x, y), Pixel(LoadedColour(w, x, y))) << x << "," << y;
        DeleteLayerObject(layer);
    }
    EXPECT_TRUE(!IsErrorStop() && ExtraSurfaces() == 0);
}

// Red 30, green 200, blue 10 is grey 127 (sepia red 157, blue 98) and white stays white; the fourth byte
// of the palette does not take part; pictures without a palette are left alone.
TEST_P(PictureObjectTest, GreyAndSepiaFilterEightBitPalettesOnlyAndSurviveAReload) {
    PictureDesc s8 = fixtures::MakeTestPicture(4, 2, 8, 77);
    s8.palette = {0x7F1EC80A, 0xFFFFFF};
    s8.pixels = {0, 1, 0, 1, 1, 0, 1, 0};
    const PictureDesc s24 = fixtures::MakeTestPicture(4, 2, 24, 78);
    UseArchive({{"pal", fixtures::WriteBmp(s8)}, {"rgb", fixtures::WriteBmp(s24)}});
    const DWORD white = Pixel(0xFFFFFF), filtered[3] = {Pixel(0x1EC80A), Pixel(0x7F7F7F), Pixel(0x9D7F62)};
    for (int filter : {1, 2}) {
        CLayer* layer = CreateLayerObject(0);
        CLayer* other = CreateLayerObject(0);
        ASSERT_TRUE(layer->Load("pal", 1, 0, 0, 0, filter) && other->Load("rgb", 1, 0, 0, 0, filter));
        EXPECT_EQ(layer->GetColorFilter(), filter);
        ExpectRaw(layer->GetSurface(),
                  {{0, 0, filtered[filter]}, {1, 0, white}, {0, 1, white}, {1, 1, filtered[filter]}});
        EXPECT_EQ(Raw(other->GetSurface(), 2, 0), Pixel(fixtures::PictureColour(s24, 2, 0)));
        DeleteLayerObject(other);
        DeleteLayerObject(layer);
    }
    // SetColorFilter reloads the picture where it stands; its parts do not survive.
    CLayer* layer = CreateLayerObject(2);
    ASSERT_TRUE(layer->Load("pal", 1, 30, 40, 0, 0));
    const RECT part{0, 0, 2, 2};
    layer->SetPart(&part, 5, 5, 1);
    layer->SetColorFilter(0); // the same filter: nothing happens
    EXPECT_TRUE(layer->GetPartCount() == 2 && Raw(layer->GetSurface(), 0, 0) == filtered[0]);
    layer->SetColorFilter(1);
    EXPECT_TRUE(layer->GetColorFilter() == 1 && layer->GetPartCount() == 0);
    EXPECT_STREQ(layer->GetName(), "pal");
    EXPECT_TRUE(layer->m_nX == 30 && layer->m_nY == 40 && layer->m_bVisible == 1);
    EXPECT_EQ(Raw(layer->GetSurface(), 0, 0), filtered[1]);
    DeleteLayerObject(layer);
}

TEST_P(PictureObjectTest, LoadFailuresAreReportedAndLeaveTheObjectReady) {
    const PictureDesc s = fixtures::MakeTestPicture(6, 4, 24, 5);
    const Bytes good = fixtures::WriteAm(s, Bytes(24, 200));
    // The archive hands out a stream into itself: the cut picture is the last entry, so that it ends.
    UseArchive(
        {{"good", good}, {"bmp", fixtures::WriteBmp(s)}, {"cut", Bytes(good.begin(), good.end() - 4)}});
    CLayer* layer = CreateLayerObject(0);
    for (const char* bad : {"missing", "cut", static_cast<const char*>(nullptr)}) {
        EXPECT_FALSE(layer->Load(bad, 1, 0, 0, 0, 0));
        EXPECT_TRUE(IsErrorStop()) << (bad ? bad : "null");
        ResetRunState();
        EXPECT_EQ(layer->GetPlane(), nullptr); // a plane read before the failure is not kept
    }
    ASSERT_TRUE(layer->Load("good", 1, 0, 0, 0, 0));
    ASSERT_NE(PreparedAlpha(layer), nullptr);
    // A second Load on a layer that holds a picture fails; Reload succeeds, with its own name too.
    EXPECT_FALSE(layer->Load("bmp", 1, 0, 0, 0, 0));
    EXPECT_TRUE(IsErrorStop());
    ResetRunState();
    EXPECT_TRUE(layer->Reload("bmp", 1, 3, 4, 0, 0));
    EXPECT_EQ(layer->m_nX, 3);
    EXPECT_TRUE(layer->Reload(layer->GetName(), 1, 3, 4, 0, 0));
    EXPECT_STREQ(layer->GetName(), "bmp");
    EXPECT_FALSE(IsErrorStop());
    EXPECT_EQ(DeleteLayerObject(layer), nullptr);
    EXPECT_EQ(DeleteLayerObject(nullptr), nullptr);
    EXPECT_EQ(ExtraSurfaces(), 0);
}

TEST_P(PictureObjectTest, ReleaseRestoreAndFreeLeaveNothingBehind) {
    const PictureDesc s = fixtures::MakeTestPicture(5, 3, 32, 8), p = fixtures::MakeTestPicture(5, 3, 8, 9);
    UseArchive({{"am", fixtures::WriteAm(s, Bytes(15, 100))}, {"pal", fixtures::WriteBmp(p)}});
    CLayer* layer = CreateLayerObject(1);
    ASSERT_TRUE(layer->Load("am", 1, 7, 8, 0, 0));
    CLayer* blank = CreateLayerObject(0);
    ASSERT_TRUE(blank->CreateBlank(SIZE{9, 9}, 1));
    EXPECT_TRUE(blank->m_bVisible == 0 && blank->GetName() == nullptr);
    const DWORD pixel = Raw(layer->GetSurface(), 2, 2);
    EXPECT_TRUE(layer->ReleaseSurfaces() && blank->ReleaseSurfaces());
    EXPECT_TRUE(!layer->GetSurface() && !layer->GetAlphaWords() && ExtraSurfaces() == 0);
    EXPECT_STREQ(layer->GetName(), "am"); // name, position and visibility stay
    EXPECT_EQ(layer->m_nX, 7);
    ASSERT_TRUE(layer->Restore(dd) && blank->Restore(dd));
    EXPECT_TRUE(Raw(layer->GetSurface(), 2, 2) == pixel && layer->GetKeptCopy() && PreparedAlpha(layer));
    EXPECT_TRUE(blank->GetWidth() == 9 && blank->GetMainSurface()->GetBltFlags() == kKeyedBltFlags);
    EXPECT_TRUE(layer->Restore(dd)); // a layer with its surface returns at once
    // Released and then freed: nothing of the picture is left, and it loads again.
    layer->ReleaseSurfaces();
    layer->Free();
    EXPECT_TRUE(!layer->GetName() && !layer->GetAlphaWords() && !layer->GetAlphaBytes());
    EXPECT_TRUE(layer->GetPartCount() == 0 && layer->GetWidth() == 0);
    ASSERT_TRUE(layer->Load("pal", 1, 0, 0, 0, 0));
    // A restore onto a display of another depth reads the picture again; when it cannot, it fails
    // without a report.
    layer->ReleaseSurfaces();
    UseArchive({{"other", fixtures::WriteBmp(p)}});
    pt::UseHeadlessDisplay(GetParam() == pt::DisplayFormat::Rgb565 ? pt::DisplayFormat::Xrgb32
                                                                   : pt::DisplayFormat::Rgb565);
    EXPECT_FALSE(layer->Restore(dd));
    EXPECT_FALSE(IsErrorStop());
    DeleteLayerObject(layer);
    DeleteLayerObject(blank);
    EXPECT_EQ(ExtraSurfaces(), 0);
}

// A switch between windowed and full screen releases every surface and makes it anew: what the layers
// showed comes back, drawn content and colour keys included; on a display of another depth a named
// picture is read again and a blank one converted.
TEST_P(PictureObjectTest, ADisplayChangeKeepsWhatWasDrawnAndItsKey) {
    const PictureDesc grad = Gradient(6, 5);
    UseArchive({{"grad", fixtures::WriteBmp(grad)}, {"am", fixtures::WriteAm(grad, Bytes(30, 128))}});
    const RECT drawn{1, 1, 3, 3};
    CLayer* named = CreateLayerObject(0);
    ASSERT_TRUE(named->Load("grad", 1, 0, 0, 0, 0));
    named->Fill(Pixel(0xFF0000), &drawn);
    CLayer* sheet = CreateLayerObject(0);
    ASSERT_TRUE(sheet->Load("grad", 1, 0, 0, 0, 0));
    sheet->SetColorKeyMode(3);
    CLayer* blank = CreateLayerObject(0);
    ASSERT_TRUE(blank->CreateBlank(SIZE{6, 5}, 1)); // keyed while still black
    blank->Fill(Pixel(0xFF0000), &drawn);
    CLayer* am = CreateLayerObject(0);
    ASSERT_TRUE(am->Load("am", 1, 0, 0, 0, 0));
    static const CellSetDescriptor kSets = {1, 1, 6, 5};
    static const DWORD kPerSet[1] = {1};
    static const CellTableEntry kCells[1] = {{0, 0, {0, 0, 6, 5}, {0, 0, 6, 5}, 0, 0}};
    CLayer* cells = CreateLayerObject(0);
    ASSERT_TRUE(cells->CreateCellSets(&kSets, kPerSet, kCells, 1));
    ASSERT_TRUE(cells->Load("grad", 1, 0, 0, 0, 0));
    pt::WriteSurfaceRaw(cells->GetSetSurface(0), 2, 2, Pixel(0x00FF00));

    const std::vector<CLayer*> layers = {named, sheet, blank, am, cells};
    const auto surfacesOf = [](CLayer* l) {
        return std::vector<IDirectDrawSurface*>{l->GetSurface(),
                                                l->GetKeptCopy() ? l->GetKeptCopy()->GetSurface() : nullptr,
                                                l->GetSetSurface(0)};
    };
    const auto keyOf = [](IDirectDrawSurface* s) {
        DDCOLORKEY key{};
        return s && s->GetColorKey(DDCKEY_SRCBLT, &key) == DD_OK
                   ? static_cast<long long>(key.dwColorSpaceLowValue)
                   : -1LL;
    };
    std::vector<std::vector<DWORD>> pixels;
    std::vector<long long> keys;
    for (CLayer* l : layers)
        for (IDirectDrawSurface* s : surfacesOf(l)) {
            pixels.push_back(pt::ReadSurfaceRgb(s));
            keys.push_back(keyOf(s));
        }
    const void* alpha = PreparedAlpha(am);
    ASSERT_NE(alpha, nullptr);

    for (CLayer* l : layers)
        l->ReleaseSurfaces();
    EXPECT_EQ(ExtraSurfaces(), 0);
    for (CLayer* l : layers)
        ASSERT_TRUE(l->Restore(dd));
    std::size_t i = 0;
    for (CLayer* l : layers)
        for (IDirectDrawSurface* s : surfacesOf(l)) {
            EXPECT_EQ(pt::ReadSurfaceRgb(s), pixels[i]) << "surface " << i;
            EXPECT_EQ(keyOf(s), keys[i]) << "surface " << i;
            ++i;
        }
    EXPECT_EQ(sheet->GetMainSurface()->GetBltFlags(), kKeyedBltFlags);
    EXPECT_EQ(PreparedAlpha(am), alpha) << "the blend's buffers come back with the copy they were made from";

    // Another depth: the named picture as its file has it, the blank one converted with its key.
    const pt::DisplayFormat other =
        GetParam() == pt::DisplayFormat::Rgb565 ? pt::DisplayFormat::Xrgb32 : pt::DisplayFormat::Rgb565;
    for (CLayer* l : layers)
        l->ReleaseSurfaces();
    pt::UseHeadlessDisplay(other);
    for (CLayer* l : layers)
        ASSERT_TRUE(l->Restore(dd));
    const auto raw = [other](CLayer* l, int x, int y) {
        const DWORD v = pt::ReadSurfaceRaw(l->GetSurface(), x, y);
        return fixtures::DisplayBits(other) == 32 ? v & 0xFFFFFF : v;
    };
    EXPECT_EQ(raw(named, 1, 1), fixtures::DisplayPixel(other, grad.pixels[6 + 1])) << "read again";
    EXPECT_EQ(raw(blank, 1, 1), fixtures::DisplayPixel(other, 0xFF0000)) << "converted";
    EXPECT_EQ(raw(blank, 0, 0), 0u);
    EXPECT_EQ(keyOf(blank->GetSurface()), 0) << "the key is the converted black";
    EXPECT_EQ(keyOf(sheet->GetSurface()), fixtures::DisplayPixel(other, grad.pixels.back()))
        << "keyed from its own corner again";
    EXPECT_NE(am->GetAlphaWords(), nullptr) << "the blend's buffers made for the new depth";
    for (CLayer* l : layers)
        DeleteLayerObject(l);
    EXPECT_EQ(ExtraSurfaces(), 0);
}

TEST_P(PictureObjectTest, CreateBlankNeedsADirectDrawObjectASizeAndNoSurface) {
    CLayer* layer = CreateLayerObject(0);
    EXPECT_FALSE(layer->CreateBlank(SIZE{0, 4}, 0) || layer->CreateBlank(SIZE{4, -1}, 0));
    ASSERT_TRUE(layer->CreateBlank(SIZE{4, 4}, 0));
    EXPECT_FALSE(layer->CreateBlank(SIZE{4, 4}, 0));
    layer->Fill(Bits() == 16 ? 0x1234 : 0x123456, nullptr);
    EXPECT_EQ(Raw(layer->GetSurface(), 3, 3), Bits() == 16 ? 0x1234u : 0x123456u);
    HDC dc = nullptr;
    EXPECT_TRUE(layer->GetDC(&dc) == DD_OK && dc && layer->ReleaseDC(dc) == DD_OK);
    DeleteLayerObject(layer);
    SetDirectDraw(nullptr);
    CLayer* none = CreateLayerObject(0);
    EXPECT_FALSE(none->CreateBlank(SIZE{4, 4}, 0) || none->GetDC(&dc) || dc);
    EXPECT_FALSE(none->Draw(MakeSurface(4, 4)) || none->PreBlend(MakeSurface(4, 4)));
    DeleteLayerObject(none);
}

// A gradient sheet drawn whole, keyed by a corner, in parts, clipped at the screen's edges, hidden and
// stretched.
TEST_P(PictureObjectTest, DrawingWholeKeyedInPartsClippedAndStretched) {
    PictureDesc s = Gradient(20, 10);
    s.pixels[0] = s.pixels[21] = 0xF80000; // the key: top-left
    UseArchive({{"sheet", fixtures::WriteBmp(s)}});
    const auto at = [&](int x, int y) { return Pixel(s.pixels[y * 20 + x]); };
    IDirectDrawSurface* target = MakeSurface(640, 480, Grey());
    CLayer* layer = CreateLayerObject(0);
    ASSERT_TRUE(layer->Load("sheet", 1, 630, 475, 0, 0));
    // DrawingIsClippedAtTheScreenEdges: from the bottom-right, from the top-left, and wholly off.
    EXPECT_EQ(layer->Draw(target), 0);
    ExpectRaw(target, {{630, 475, at(0, 0)}, {639, 479, at(9, 4)}, {629, 479, Grey()}});
    layer->m_nX = -5;
    layer->m_nY = -3;
    layer->Draw(target);
    ExpectRaw(target, {{0, 0, at(5, 3)}, {14, 6, at(19, 9)}, {15, 6, Grey()}, {0, 7, Grey()}});
    layer->m_nX = 700;
    EXPECT_EQ(layer->Draw(target), 0);
    // KeyedDrawingLeavesTheKeyColourOut: by the top-left corner, then the bottom-right; 4 and -1 change
    // nothing.
    FillSurface(target, Grey(), nullptr);
    layer->m_nX = layer->m_nY = 0;
    layer->SetColorKeyMode(0);
    layer->Draw(target);
    ExpectRaw(target, {{0, 0, Grey()}, {1, 1, Grey()}, {2, 1, at(2, 1)}, {19, 9, at(19, 9)}});
    for (int corner : {3, 4, -1})
        layer->SetColorKeyMode(corner);
    FillSurface(target, Grey(), nullptr);
    layer->Draw(target);
    ExpectRaw(target, {{0, 0, Pixel(0xF80000)}, {19, 9, Grey()}});
    // Hidden: nothing, by a plain draw or a stretch; a stretch doubles, clipped to the destination.
    const RECT dest{0, 0, 40, 20}, source{0, 0, 20, 10};
    layer->m_bVisible = 0;
    EXPECT_TRUE(layer->Draw(target) == 0 && layer->DrawStretch(target, &dest, &source) == 0);
    layer->m_bVisible = 1;
    const RECT empty{3, 3, 3, 5};
    EXPECT_EQ(layer->DrawStretch(target, &empty, &source), 0);
    EXPECT_EQ(Raw(target, 36, 16), Grey());
    EXPECT_EQ(layer->DrawStretch(target, &dest, &source), DD_OK);
    ExpectRaw(target, {{36, 16, at(18, 8)}, {3, 3, at(1, 1)}});
    // StretchAndLostSurfaces
    pt::LoseSurface(layer->GetSurface());
    EXPECT_TRUE(layer->RestoreIfLost());
    EXPECT_EQ(layer->GetSurface()->IsLost(), DD_OK);
    // PartsDrawOnlyWhatIsSet: none set draws nothing; a part beyond the count or without a RECT is
    // ignored, and so is a cleared index beyond the count.
    CLayer* parts = CreateLayerObject(3);
    ASSERT_TRUE(parts->Load("sheet", 1, 30, 30, 0, 0));
    FillSurface(target, Grey(), nullptr);
    EXPECT_EQ(parts->Draw(target), 0);
    const RECT part{2, 1, 5, 3}, wide{0, 0, 8, 4};
    for (int index : {3, -1})
        parts->SetPart(&wide, 0, 0, index);
    parts->SetPart(nullptr, 0, 0, 0);
    parts->SetPart(&part, 40, 5, 1);
    EXPECT_EQ(parts->Draw(target), 0);
    for (int i = 0; i < 64 * 48; ++i) {
        const int x = i % 64, y = i / 64;
        ASSERT_EQ(Raw(target, x, y), x >= 40 && x < 43 && y >= 5 && y < 7 ? at(x - 38, y - 4) : Grey())
            << x << "," << y;
    }
    for (int index : {3, -1, 1}) { // only the last clears the part
        parts->ClearPart(index);
        FillSurface(target, Grey(), nullptr);
        parts->Draw(target);
        EXPECT_EQ(Raw(target, 40, 5), index == 1 ? Grey() : at(2, 1)) << index;
    }
    // AWholePictureGivenASlotDrawsItsPartAlone; a smaller count keeps the slot.
    CLayer* whole = CreateLayerObject(0);
    ASSERT_TRUE(whole->Load("sheet", 1, 0, 0, 0, 0));
    whole->EnsurePartCount(1);
    whole->SetPart(&part, 40, 5, 0);
    whole->EnsurePartCount(0);
    FillSurface(target, Grey(), nullptr);
    whole->Draw(target);
    ExpectRaw(target, {{40, 5, at(2, 1)}, {0, 0, Grey()}, {2, 1, Grey()}});
    DeleteLayerObject(whole);
    DeleteLayerObject(parts);
    DeleteLayerObject(layer);
}

// White "AM" pictures over a checkered target, so that every shown pixel is a known value.
TEST_P(PictureObjectTest, AlphaLayersBlendOverTheTarget) {
    const PictureDesc s = Solid(12, 6, 0xFFFFFF);
    Bytes alpha(72);
    for (std::size_t i = 0; i < alpha.size(); ++i)
        alpha[i] = std::vector<BYTE>{0, 128, 200, 255}[i * 7 % 4];
    UseArchive({{"am", fixtures::WriteAm(s, alpha)}, {"plain", fixtures::WriteBmp(s)}});
    IDirectDrawSurface* target = Checkered(64, 48);
    CLayer* layer = CreateLayerObject(0);
    // Plane kind 2 is never keyed, even with the colour-key flag; the reader's own plane is gone.
    ASSERT_TRUE(layer->Load("am", 1, -4, 44, 1, 0));
    EXPECT_TRUE(layer->GetMainSurface()->GetBltFlags() == 0 && !layer->GetPlane() && !layer->GetWeights());
    ASSERT_TRUE(layer->PreBlend(target));
    for (int r = 0; r < 6; ++r)
        for (int k = 0; k < 12; ++k) {
            // Off the target the shown pixel keeps the picture.
            const bool on = k >= 4 && r < 4, white = !on || White(k - 4, 44 + r);
            ASSERT_EQ(Raw(layer->GetSurface(), k, r),
                      white ? Pixel(0xFFFFFF) : AlphaOverBlack(alpha[r * 12 + k]))
                << k << "," << r;
        }
    // FarOffTheTargetNothingBlends: the shown pixels stay as the last blend left them.
    const DWORD before = Raw(layer->GetSurface(), 5, 1);
    for (int far : {INT_MIN, INT_MAX}) {
        layer->m_nX = layer->m_nY = far;
        ASSERT_TRUE(layer->PreBlend(target));
        EXPECT_EQ(Raw(layer->GetSurface(), 5, 1), before) << far;
    }
    // Drawing the layer lands the blend.
    layer->m_nX = layer->m_nY = 0;
    ASSERT_TRUE(layer->PreBlend(target));
    layer->Draw(target);
    ExpectRaw(target, {{0, 0, AlphaOverBlack(alpha[0])}, {2, 2, AlphaOverBlack(alpha[26])}});
    // Only "AM" layers blend.
    CLayer* plain = CreateLayerObject(0);
    ASSERT_TRUE(plain->Load("plain", 1, 0, 0, 0, 0));
    EXPECT_FALSE(plain->PreBlend(target));
    EXPECT_FALSE(layer->PreBlend(nullptr));
    DeleteLayerObject(plain);
    DeleteLayerObject(layer);
}

TEST_P(PictureObjectTest, WeightLayersBlendWhereTheirWeightIsSet) {
    const Bytes weights = {0, 1,  8, 16, 1,  200, 16, 0,  8,
                           1, 16, 1, 8,  16, 0,   0,  16, 8}; // above 16 counts as 16
    fixtures::AmOptions o;
    o.planeKind = 1;
    UseArchive({{"w", fixtures::WriteAm(Solid(6, 3, 0xFFFFFF), weights, o)}});
    IDirectDrawSurface* target = Checkered(32, 32);
    CLayer* layer = CreateLayerObject(0);
    ASSERT_TRUE(layer->Load("w", 1, 28, 30, 0, 0));
    // The weights are kept as the file has them; kind 1 is keyed, its kept copy too.
    CLayer* keyed = CreateLayerObject(0);
    ASSERT_TRUE(keyed->Load("w", 1, 0, 0, 1, 0));
    EXPECT_TRUE(keyed->GetMainSurface()->GetBltFlags() == kKeyedBltFlags &&
                keyed->GetKeptCopy()->GetBltFlags() == kKeyedBltFlags);
    DeleteLayerObject(keyed);
    EXPECT_EQ(Bytes(layer->GetWeights(), layer->GetWeights() + weights.size()), weights);
    ASSERT_TRUE(layer->PreBlend(target));
    for (int r = 0; r < 3; ++r)
        for (int k = 0; k < 6; ++k) {
            // Weight 0 and pixels off the target (it ends at 32) keep the shown pixel: the picture.
            const int w = weights[r * 6 + k];
            const bool blended = w && k < 4 && r < 2 && !White(28 + k, 30 + r);
            ASSERT_EQ(Raw(layer->GetSurface(), k, r), blended ? WeightOverBlack(w) : Pixel(0xFFFFFF))
                << k << "," << r;
        }
    DeleteLayerObject(layer);
}

TEST_P(PictureObjectTest, CellSetsBlendAndDrawTheirVisibleCellsWithinTheirBounds) {
    Bytes alpha(128);
    for (std::size_t i = 0; i < alpha.size(); ++i)
        alpha[i] = std::vector<BYTE>{0, 128, 200, 255}[i * 3 % 4];
    UseArchive({{"cells", fixtures::WriteAm(Solid(16, 8, 0xFFFFFF), alpha)}});
    static const CellSetDescriptor descriptor{2, 5, 16, 8}, noSets{0, 5, 16, 8};
    static const DWORD perSet[2] = {2, 1};
    static const CellTableEntry table[5] = {
        {0, 0, {0, 0, 4, 4}, {0, 0, 4, 4}, 10, 10},   {0, 1, {4, 0, 8, 4}, {4, 0, 8, 4}, 20, 10},
        {1, 0, {8, 4, 16, 8}, {8, 4, 16, 8}, 60, 10}, // reaches past the target: never blended
        {3, 7, {0, 0, 1, 1}, {0, 0, 1, 1}, 0, 0},     // names no set: left out
        {1, 1, {0, 0, 1, 1}, {0, 0, 1, 1}, 0, 0},     // names no cell of its set: left out
    };
    IDirectDrawSurface* target = Checkered(64, 32);
    CLayer* layer = CreateLayerObject(0);
    EXPECT_FALSE(layer->SetCellVisible(0, 0, 1)); // no cells yet
    EXPECT_FALSE(layer->CreateCellSets(nullptr, perSet, table, 1));
    EXPECT_FALSE(layer->CreateCellSets(&descriptor, nullptr, table, 1));
    EXPECT_FALSE(layer->CreateCellSets(&descriptor, perSet, nullptr, 1) ||
                 layer->CreateCellSets(&noSets, perSet, table, 1));
    ASSERT_TRUE(layer->CreateCellSets(&descriptor, perSet, table, 1));
    EXPECT_FALSE(layer->CreateCellSets(&descriptor, perSet, table, 1));
    ASSERT_TRUE(layer->Load("cells", 1, 0, 0, 1, 0));
    EXPECT_EQ(layer->GetKeptCopy(), nullptr); // cell sets have no kept copy
    EXPECT_EQ(layer->GetSetCount(), 2);
    const POINT outside[] = {{-1, 0}, {2, 0}, {0, -1}, {0, 2}, {1, 1}};
    for (POINT c : outside) {
        EXPECT_FALSE(layer->SetCellVisible(c.x, c.y, 1)) << c.x << "," << c.y;
        EXPECT_EQ(layer->GetCell(c.x, c.y), nullptr) << c.x << "," << c.y;
    }
    EXPECT_TRUE(layer->GetSetSurface(-1) == nullptr && layer->GetSetSurface(2) == nullptr);
    ASSERT_NE(layer->GetSetSurface(1), nullptr);
    ASSERT_TRUE(layer->SetCellVisible(0, 1, 0));
    EXPECT_TRUE(layer->GetCell(0, 1)->visible == 0 && layer->GetCell(1, 0)->destX == 60);
    ASSERT_TRUE(layer->PreBlend(target));
    IDirectDrawSurface* set0 = layer->GetSetSurface(0);
    for (int r = 0; r < 4; ++r)
        for (int k = 0; k < 8; ++k) { // cells 0 and 1, visible or not
            const int tx = (k < 4 ? 10 : 16) + k, ty = 10 + r;
            ASSERT_EQ(Raw(set0, k, r), White(tx, ty) ? Pixel(0xFFFFFF) : AlphaOverBlack(alpha[r * 16 + k]))
                << k << "," << r;
        }
    const DWORD cell0 = Raw(set0, 1, 2), set1 = Raw(layer->GetSetSurface(1), 8, 4);
    EXPECT_EQ(layer->Draw(target), 0);
    // Cell 1 is hidden (the target shows); set 1 is drawn unblended.
    ExpectRaw(target, {{11, 12, cell0}, {21, 12, Pixel(0xFFFFFF) * White(21, 12)}, {60, 10, set1}});
    // Released and restored, the sets come back and the plane is prepared once more.
    layer->ReleaseSurfaces();
    EXPECT_EQ(layer->GetSetSurface(0), nullptr);
    ASSERT_TRUE(layer->Restore(dd));
    ASSERT_NE(layer->GetSetSurface(1), nullptr);
    EXPECT_NE(PreparedAlpha(layer), nullptr);
    EXPECT_TRUE(layer->PreBlend(target));
    DeleteLayerObject(layer);
    EXPECT_EQ(ExtraSurfaces(), 1); // the target
}

GRAPHICS_IN_EVERY_FORMAT(PictureObjectTest);
