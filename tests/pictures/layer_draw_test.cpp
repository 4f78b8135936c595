#include "layer_fixture.h"

using fixtures::Bytes;
using fixtures::PictureDesc;

namespace {
// A 24-bit picture whose pixel (x, y) is a colour every display keeps apart from its neighbours.
PictureDesc Gradient(int w, int h) {
    PictureDesc s;
    s.width = w;
    s.height = h;
    s.bitCount = 24;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.pixels.push_back(((x * 8 + 8) << 16) | ((y * 8 + 8) << 8) | 0x40);
    return s;
}

int FloorDiv256(int v) {
    return v >= 0 ? v / 256 : -((-v + 255) / 256);
}
} // namespace

class LayerDrawTest : public LayerTest {
  protected:
    // The alpha blend of raw pixels on this display, a the value in the file.
    DWORD AlphaRef(DWORD t, DWORD o, int a) const {
        auto lane = [](int tv, int ov, int av) { return tv + FloorDiv256((ov - tv) * av); };
        if (Bits() == 16) {
            const int rs = Is555() ? 10 : 11, gm = Is555() ? 31 : 63, av = a == 255 ? 256 : a;
            return (lane((t >> rs) & 31, (o >> rs) & 31, av) << rs) |
                   (lane((t >> 5) & gm, (o >> 5) & gm, av) << 5) | lane(t & 31, o & 31, av);
        }
        DWORD out = 0;
        for (int c = 0; c < Bits() / 8; ++c)
            out |= lane((t >> (8 * c)) & 255, (o >> (8 * c)) & 255, a) << (8 * c);
        return out;
    }
    DWORD WeightRef(DWORD t, DWORD o, int w) const {
        auto lane = [w](DWORD tv, DWORD ov) { return (tv * (16 - w) + ov * w) >> 4; };
        if (Bits() == 16) {
            const int rs = Is555() ? 10 : 11;
            const DWORD gm = Is555() ? 31 : 63;
            return (lane((t >> rs) & 31, (o >> rs) & 31) << rs) | (lane((t >> 5) & gm, (o >> 5) & gm) << 5) |
                   lane(t & 31, o & 31);
        }
        DWORD out = 0;
        for (int c = 0; c < 3; ++c)
            out |= lane((t >> (8 * c)) & 255, (o >> (8 * c)) & 255) << (8 * c);
        return out; // at 32 bits the fourth byte is 0
    }
    DWORD Full(IDirectDrawSurface* s, int x, int y) const { return pt::ReadSurfaceRaw(s, x, y); }
    DWORD Grey() const { return Bits() == 16 ? 0x4208 : 0x404040; }
};

TEST_P(LayerDrawTest, KeyedDrawingLeavesTheKeyColourOut) {
    PictureDesc s = Gradient(4, 3);
    s.pixels[0] = 0xF80000; // the key: top-left
    s.pixels[5] = 0xF80000;
    UseArchive({{"keyed", fixtures::WriteBmp(s)}});
    IDirectDrawSurface* target = MakeTarget(64, 48, Grey());
    CLayer* layer = CreateLayerObject(0);
    ASSERT_TRUE(layer->Load("keyed", 1, 10, 20, 1, 0));
    EXPECT_EQ(layer->Draw(target), 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            const DWORD want = (x + 4 * y == 0 || x + 4 * y == 5) ? Grey() : Pixel(s.pixels[x + 4 * y]);
            EXPECT_EQ(Raw(target, 10 + x, 20 + y), want) << x << "," << y;
        }
    // Another corner as the key.
    layer->SetColorKeyMode(3);
    FillSurface(target, Grey(), nullptr);
    layer->Draw(target);
    EXPECT_EQ(Raw(target, 10, 20), Pixel(0xF80000));
    EXPECT_EQ(Raw(target, 13, 22), Grey());
    layer->SetColorKeyMode(4); // changes nothing
    EXPECT_EQ(layer->GetMainSurface()->GetBltFlags(), kKeyedBltFlags);
    DeleteLayerObject(layer);
}

TEST_P(LayerDrawTest, PartsDrawOnlyWhatIsSet) {
    const PictureDesc s = Gradient(8, 4);
    UseArchive({{"sheet", fixtures::WriteCm(s)}});
    IDirectDrawSurface* target = MakeTarget(64, 48, Grey());
    CLayer* layer = CreateLayerObject(3);
    ASSERT_TRUE(layer->Load("sheet", 1, 30, 30, 0, 0));
    EXPECT_EQ(layer->Draw(target), 0); // no part set: nothing
    for (int i = 0; i < 64 * 48; ++i)
        ASSERT_EQ(Raw(target, i % 64, i / 64), Grey());
    const RECT part{2, 1, 5, 3};
    layer->SetPart(&part, 40, 5, 1);
    layer->SetPart(&part, 0, 0, 3); // beyond the count: ignored
    layer->SetPart(&part, 0, 0, -1);
    EXPECT_EQ(layer->Draw(target), 0);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            const bool in = x >= 40 && x < 43 && y >= 5 && y < 7;
            const DWORD want = in ? Pixel(s.pixels[(y - 5 + 1) * 8 + (x - 40 + 2)]) : Grey();
            ASSERT_EQ(Raw(target, x, y), want) << x << "," << y;
        }
    layer->ClearPart(1);
    layer->ClearPart(7);
    FillSurface(target, Grey(), nullptr);
    layer->Draw(target);
    EXPECT_EQ(Raw(target, 40, 5), Grey());
    DeleteLayerObject(layer);

    CLayer* whole = CreateLayerObject(0);
    ASSERT_TRUE(whole->Load("sheet", 1, 30, 30, 0, 0));
    whole->Draw(target);
    EXPECT_EQ(Raw(target, 30, 30), Pixel(s.pixels[0]));
    EXPECT_EQ(Raw(target, 37, 33), Pixel(s.pixels[31]));
    // A hidden layer draws nothing and returns 0.
    FillSurface(target, Grey(), nullptr);
    whole->m_bVisible = 0;
    EXPECT_EQ(whole->Draw(target), 0);
    EXPECT_EQ(Raw(target, 30, 30), Grey());
    DeleteLayerObject(whole);
}

TEST_P(LayerDrawTest, DrawingIsClippedAtTheScreenEdges) {
    const PictureDesc s = Gradient(20, 10);
    UseArchive({{"edge", fixtures::WriteBmp(s)}});
    IDirectDrawSurface* target = MakeTarget(640, 480, Grey());
    CLayer* layer = CreateLayerObject(0);
    ASSERT_TRUE(layer->Load("edge", 1, 630, 475, 0, 0));
    EXPECT_EQ(layer->Draw(target), 0);
    EXPECT_EQ(Raw(target, 630, 475), Pixel(s.pixels[0]));
    EXPECT_EQ(Raw(target, 639, 479), Pixel(s.pixels[4 * 20 + 9]));
    EXPECT_EQ(Raw(target, 629, 479), Grey());
    layer->m_nX = -5;
    layer->m_nY = -3;
    layer->Draw(target);
    EXPECT_EQ(Raw(target, 0, 0), Pixel(s.pixels[3 * 20 + 5]));
    EXPECT_EQ(Raw(target, 14, 6), Pixel(s.pixels[9 * 20 + 19]));
    EXPECT_EQ(Raw(target, 15, 6), Grey());
    EXPECT_EQ(Raw(target, 0, 7), Grey());
    layer->m_nX = 700;
    EXPECT_EQ(layer->Draw(target), 0);
    DeleteLayerObject(layer);
}

TEST_P(LayerDrawTest, AlphaLayersBlendOverTheTarget) {
    const PictureDesc s = fixtures::MakeTestPicture(12, 6, 24, 31);
    Bytes alpha(72);
    for (std::size_t i = 0; i < alpha.size(); ++i)
        alpha[i] = static_cast<std::uint8_t>(i * 37 % 256);
    alpha[0] = 0;
    alpha[1] = 255;
    UseArchive({{"am", fixtures::WriteAm(s, alpha)}, {"plain", fixtures::WriteBmp(s)}});
    IDirectDrawSurface* target = MakeTarget(64, 48, 0);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            pt::WriteSurfaceRaw(target, x, y, Pixel(0x102030u * (x + y + 1)));
    CLayer* layer = CreateLayerObject(0);
    ASSERT_TRUE(layer->Load("am", 1, -4, 44, 1, 0));
    ASSERT_TRUE(layer->PreBlend(target));
    IDirectDrawSurface* kept = layer->GetKeptCopy()->GetSurface();
    for (int r = 0; r < 6; ++r)
        for (int k = 0; k < 12; ++k) {
            const bool on = k >= 4 && r < 4;
            const DWORD want = on ? AlphaRef(Full(target, k - 4, 44 + r), Full(kept, k, r), alpha[r * 12 + k])
                                  : Full(kept, k, r); // off the target: the shown pixel keeps the picture
            ASSERT_EQ(Full(layer->GetSurface(), k, r), want) << k << "," << r;
        }
    // Alpha 0 shows the target; drawing the layer lands the blend.
    layer->m_nX = 0;
    layer->m_nY = 0;
    ASSERT_TRUE(layer->PreBlend(target));
    const DWORD under = Full(target, 0, 0);
    EXPECT_EQ(Full(layer->GetSurface(), 0, 0), under);
    const DWORD shown = Full(layer->GetSurface(), 5, 2);
    layer->Draw(target);
    EXPECT_EQ(Full(target, 0, 0), under);
    EXPECT_EQ(Full(target, 5, 2), shown);
    // Only "AM" layers blend.
    CLayer* plain = CreateLayerObject(0);
    ASSERT_TRUE(plain->Load("plain", 1, 0, 0, 0, 0));
    EXPECT_FALSE(plain->PreBlend(target));
    DeleteLayerObject(plain);
    DeleteLayerObject(layer);
}

TEST_P(LayerDrawTest, WeightLayersBlendWhereTheirWeightIsSet) {
    const PictureDesc s = fixtures::MakeTestPicture(6, 3, 24, 32);
    const Bytes weights = {0, 1, 8, 16, 4, 12, 16, 0, 3, 9, 15, 2, 7, 7, 7, 0, 16, 5};
    fixtures::AmOptions o;
    o.planeKind = 1;
    UseArchive({{"w", fixtures::WriteAm(s, weights, o)}});
    IDirectDrawSurface* target = MakeTarget(32, 32, 0);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            pt::WriteSurfaceRaw(target, x, y, Pixel(0x0F1E2Du * (x + 2 * y + 1)));
    CLayer* layer = CreateLayerObject(0);
    ASSERT_TRUE(layer->Load("w", 1, 28, 30, 0, 0));
    std::vector<DWORD> before;
    for (int r = 0; r < 3; ++r)
        for (int k = 0; k < 6; ++k)
            before.push_back(Full(layer->GetSurface(), k, r));
    ASSERT_TRUE(layer->PreBlend(target));
    IDirectDrawSurface* kept = layer->GetKeptCopy()->GetSurface();
    for (int r = 0; r < 3; ++r)
        for (int k = 0; k < 6; ++k) {
            const int w = weights[r * 6 + k];
            const bool on = k < 4 && r < 2; // the target ends at 32
            const DWORD want =
                (on && w) ? WeightRef(Full(target, 28 + k, 30 + r), Full(kept, k, r), w) : before[r * 6 + k];
            ASSERT_EQ(Full(layer->GetSurface(), k, r), want) << k << "," << r;
        }
    DeleteLayerObject(layer);
}

TEST_P(LayerDrawTest, CellSetsBlendAndDrawTheirVisibleCells) {
    const PictureDesc s = fixtures::MakeTestPicture(16, 8, 32, 33);
    Bytes alpha(128);
    for (std::size_t i = 0; i < alpha.size(); ++i)
        alpha[i] = static_cast<std::uint8_t>((i * 53) % 256);
    UseArchive({{"cells", fixtures::WriteAm(s, alpha)}});
    static const CellSetDescriptor descriptor{2, 4, 16, 8};
    static const DWORD perSet[2] = {2, 1};
    static const CellTableEntry table[4] = {
        {0, 0, {0, 0, 4, 4}, {0, 0, 4, 4}, 10, 10},
        {0, 1, {4, 0, 8, 4}, {4, 0, 8, 4}, 20, 10},
        {1, 0, {8, 4, 16, 8}, {8, 4, 16, 8}, 60, 10}, // reaches past the target: never blended
        {3, 7, {0, 0, 1, 1}, {0, 0, 1, 1}, 0, 0},     // names no set: left out
    };
    IDirectDrawSurface* target = MakeTarget(64, 32, 0);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            pt::WriteSurfaceRaw(target, x, y, Pixel(0x050A0Fu * (x + y + 3)));
    CLayer* layer = CreateLayerObject(0);
    EXPECT_FALSE(layer->SetCellVisible(0, 0, 1)); // no cells yet
    ASSERT_TRUE(layer->CreateCellSets(&descriptor, perSet, table, 1));
    EXPECT_FALSE(layer->CreateCellSets(&descriptor, perSet, table, 1));
    ASSERT_TRUE(layer->Load("cells", 1, 0, 0, 1, 0));
    EXPECT_EQ(layer->GetKeptCopy(), nullptr); // cell sets have no kept copy
    ASSERT_NE(layer->GetSetSurface(0), nullptr);
    EXPECT_EQ(layer->GetSetSurface(2), nullptr);
    EXPECT_FALSE(layer->SetCellVisible(1, 1, 1));
    EXPECT_FALSE(layer->SetCellVisible(2, 0, 1));
    EXPECT_FALSE(layer->SetCellVisible(0, -1, 1));
    ASSERT_TRUE(layer->SetCellVisible(0, 1, 0));
    EXPECT_EQ(layer->GetCell(0, 1)->visible, 0);

    ASSERT_TRUE(layer->PreBlend(target));
    IDirectDrawSurface* set0 = layer->GetSetSurface(0);
    IDirectDrawSurface* sheet = layer->GetSurface();
    for (int r = 0; r < 4; ++r)
        for (int k = 0; k < 8; ++k) // cells 0 and 1, visible or not
            ASSERT_EQ(Full(set0, k, r), AlphaRef(Full(target, (k < 4 ? 10 : 16) + k, 10 + r),
                                                 Full(sheet, k, r), alpha[r * 16 + k]))
                << k << "," << r;
    const DWORD cell0 = Full(set0, 1, 2);
    const DWORD set1 = Full(layer->GetSetSurface(1), 8, 4);
    EXPECT_EQ(layer->Draw(target), 0);
    EXPECT_EQ(Full(target, 11, 12), cell0);
    EXPECT_EQ(Full(target, 21, 12), Pixel(0x050A0Fu * (21 + 12 + 3))); // hidden cell
    EXPECT_EQ(Full(target, 60, 10), set1);                             // drawn, unblended

    // Released and restored, the sets come back and the plane is prepared once more.
    layer->ReleaseSurfaces();
    EXPECT_EQ(layer->GetSetSurface(0), nullptr);
    ASSERT_TRUE(layer->Restore(dd));
    ASSERT_NE(layer->GetSetSurface(1), nullptr);
    EXPECT_NE(Bits() == 24 ? static_cast<const void*>(layer->GetAlphaBytes()) : layer->GetAlphaWords(),
              nullptr);
    EXPECT_TRUE(layer->PreBlend(target));
    DeleteLayerObject(layer);
    EXPECT_EQ(pt::LiveSurfaceCount(), baseSurfaces + 1); // the target
}

TEST_P(LayerDrawTest, StretchAndLostSurfaces) {
    const PictureDesc s = Gradient(4, 4);
    UseArchive({{"small", fixtures::WriteBmp(s)}});
    IDirectDrawSurface* target = MakeTarget(16, 16, Grey());
    CLayer* layer = CreateLayerObject(0);
    ASSERT_TRUE(layer->Load("small", 1, 0, 0, 0, 0));
    const RECT dest{0, 0, 8, 8}, source{0, 0, 4, 4};
    EXPECT_EQ(layer->DrawStretch(target, &dest, &source), DD_OK);
    EXPECT_EQ(Raw(target, 7, 7), Pixel(s.pixels[15]));
    EXPECT_EQ(Raw(target, 1, 1), Pixel(s.pixels[0]));
    layer->m_bVisible = 0;
    FillSurface(target, Grey(), nullptr);
    EXPECT_EQ(layer->DrawStretch(target, &dest, &source), 0);
    EXPECT_EQ(Raw(target, 1, 1), Grey());

    pt::LoseSurface(layer->GetSurface());
    EXPECT_EQ(layer->GetSurface()->IsLost(), DDERR_SURFACELOST);
    EXPECT_TRUE(layer->RestoreIfLost());
    EXPECT_EQ(layer->GetSurface()->IsLost(), DD_OK);
    DeleteLayerObject(layer);
}

INSTANTIATE_TEST_SUITE_P(Displays, LayerDrawTest, DisplayFormats(), DisplayName);
