// The picture object's pre-blend: locks its surfaces and the target and runs the plane blends over them.
#include "graphics/Layer.h"

namespace {
class SurfaceLock {
  public:
    explicit SurfaceLock(IDirectDrawSurface* surface) : m_Surface(surface), m_Desc{} {
        m_Desc.dwSize = sizeof m_Desc;
        m_Locked = surface && surface->GetSurfaceDesc(&m_Desc) == DD_OK &&
                   surface->Lock(nullptr, &m_Desc, DDLOCK_WAIT, nullptr) == DD_OK;
    }
    ~SurfaceLock() {
        if (m_Locked) m_Surface->Unlock(nullptr);
    }
    SurfaceLock(const SurfaceLock&) = delete;
    SurfaceLock& operator=(const SurfaceLock&) = delete;

    bool Locked() const { return m_Locked; }
    int BitCount() const { return static_cast<int>(m_Desc.ddpfPixelFormat.dwRGBBitCount); }
    PixelView View() const {
        return PixelView{static_cast<BYTE*>(m_Desc.lpSurface), m_Desc.lPitch,
                         static_cast<int>(m_Desc.dwWidth), static_cast<int>(m_Desc.dwHeight)};
    }

  private:
    IDirectDrawSurface* m_Surface;
    DDSURFACEDESC m_Desc;
    bool m_Locked;
};

bool ReadFields(IDirectDrawSurface* target, int bitCount, BlendFields* fields, bool* is555) {
    *fields = BlendFields{};
    *is555 = false;
    if (bitCount == 24) return true;
    RgbChannelMasks masks{};
    if (!GetSurfaceRgbMasks(target, &masks)) return false;
    *fields = BlendFields{{masks.redMask, masks.redShift},
                          {masks.greenMask, masks.greenShift},
                          {masks.blueMask, masks.blueShift}};
    *is555 = masks.redShift == 10;
    return true;
}
} // namespace

bool CLayer::PreBlend(IDirectDrawSurface* target) {
    if (!m_pMain || !target || m_Kind != kPictureKindAm) return false;
    const int bytesPerPixel = m_nDepth / 8;
    if (m_nSetCount > 0) {
        SurfaceLock sheet(m_pMain->GetSurface());
        if (!sheet.Locked()) return false;
        SurfaceLock under(target);
        if (!under.Locked() || under.BitCount() != m_nDepth) return false;
        BlendFields fields;
        bool is555;
        if (!ReadFields(target, m_nDepth, &fields, &is555)) return false;
        PreBlendCells(sheet.View(), under.View(), bytesPerPixel, is555);
        return true;
    }
    if (!m_pKept) return false;
    SurfaceLock picture(m_pKept->GetSurface());
    if (!picture.Locked()) return false;
    SurfaceLock shown(m_pMain->GetSurface());
    if (!shown.Locked()) return false;
    SurfaceLock under(target);
    if (!under.Locked() || under.BitCount() != m_nDepth || picture.BitCount() != m_nDepth) return false;
    BlendFields fields;
    bool is555;
    if (!ReadFields(target, m_nDepth, &fields, &is555)) return false;
    if (m_AmHeader.planeKind == kPlaneKindWeights) {
        WeightBlend(bytesPerPixel, fields, shown.View(), picture.View(), under.View(), m_nX, m_nY,
                    m_pWeights.get(), m_nWidth, m_nHeight);
    } else if (m_AmHeader.planeKind == kPlaneKindAlpha) {
        AlphaBlend(bytesPerPixel, is555, shown.View(), picture.View(), under.View(), m_nX, m_nY,
                   m_pAlphaWords.get(), m_pAlphaBytes.get(), m_nWidth, m_nHeight);
    }
    return true;
}

void CLayer::PreBlendCells(const PixelView& sheet, const PixelView& target, int bytesPerPixel, bool is555) {
    for (int set = 0; set < m_nSetCount; ++set) {
        if (!m_SetSurfaces[set]) continue;
        SurfaceLock surface(m_SetSurfaces[set]->GetSurface());
        if (!surface.Locked()) continue;
        for (const LayerCell& cell : m_Cells[set]) {
            AlphaBlendCell(bytesPerPixel, is555, surface.View(), sheet, target, cell.source, cell.destX,
                           cell.destY, cell.plane.left, cell.plane.top, m_pAlphaWords.get(),
                           m_pAlphaBytes.get(), m_nWidth, m_nHeight);
        }
    }
}
