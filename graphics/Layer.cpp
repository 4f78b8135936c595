#include "graphics/Layer.h"

#include "app/ErrorReport.h"
#include "app/RunState.h"
#include "files/ArcFile.h"

#include <algorithm>
#include <cstring>

namespace {
// "グラフィックの読み込みに失敗しました。"
const char kLoadFailed[] =
    "\x83\x4f\x83\x89\x83\x74\x83\x42\x83\x62\x83\x4e\x82\xcc\x93\xc7\x82\xdd\x8d\x9e\x82\xdd"
    "\x82\xc9\x8e\xb8\x94\x73\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42";

int SurfaceDepth(CDDrawSurface* surface) {
    SurfacePixelFormat format{};
    if (!surface || !GetSurfacePixelFormat(surface->GetSurface(), &format)) return 0;
    return static_cast<int>(format.bitCount);
}
} // namespace

CLayer::CLayer()
    : m_nX(0), m_nY(0), m_bVisible(0), m_pDirectDraw(nullptr), m_pCellDescriptor(nullptr),
      m_pCellsPerSet(nullptr), m_nSetCount(0), m_nDepth(0), m_bHasName(false), m_bColorKey(0),
      m_Kind(kPictureKindBmp), m_nWidth(0), m_nHeight(0), m_nPartCount(0), m_nColorFilter(kColorFilterNone),
      m_nKeyCorner(-1) {}

CLayer::~CLayer() {
    Free();
}

CLayer* CreateLayerObject(int partCount) {
    CLayer* layer = new CLayer();
    layer->Init(GetDirectDraw(), partCount);
    return layer;
}

CLayer* DeleteLayerObject(CLayer* layer) {
    if (layer) {
        layer->Free();
        delete layer;
    }
    return nullptr;
}

void CLayer::Init(IDirectDraw* dd, int partCount) {
    m_pDirectDraw = dd;
    m_nPartCount = std::max(partCount, 0);
    m_PartSources.clear();
    m_PartDests.clear();
    m_PartSources.resize(m_nPartCount);
    m_PartDests.resize(m_nPartCount);
}

bool CLayer::ReadPicture(const char* name, Dib* dib) {
    if (!name) return false;
    std::FILE* fp = OpenGraphicFile(name);
    if (!fp) return false;
    PictureInfo info;
    bool ok = ReadHeader(fp, &info, FALSE) != 0;
    if (ok) {
        const DWORD size = GetImageSize(&info, FALSE);
        // The colour table is always as long as the depth needs, whatever the picture stores.
        const DWORD entries = std::max(info.paletteEntries, NeededPaletteEntries(info.bitCount));
        dib->bits.reset(new BYTE[size]);
        dib->info.reset(new BYTE[sizeof(BITMAPINFOHEADER) + 4 * std::max<DWORD>(entries, 1)]());
        ok = size != 0 && ReadImage(fp, dib->bits.get(), size, FALSE, dib->Info()->bmiColors,
                                    static_cast<int>(entries), TRUE);
    }
    CloseGraphicFile(fp);
    if (!ok) {
        // A plane read before the failure would keep the next load from reading its own.
        FreePlane();
        return false;
    }
    dib->Info()->bmiHeader = MakeInfoHeader(info);
    return true;
}

bool CLayer::PutPicture(const Dib& dib) {
    BITMAPINFO* info = dib.Info();
    if (m_nColorFilter != kColorFilterNone && info->bmiHeader.biBitCount == 8)
        ApplyColorFilter(info->bmiColors, 256, m_nColorFilter);
    if (!BltDibToSurface(m_pMain->GetSurface(), info, dib.bits.get())) return false;
    const bool alphaPlane = m_Info.kind == kPictureKindAm && m_AmHeader.planeKind == kPlaneKindAlpha;
    if (m_bColorKey == 1 && !alphaPlane) m_pMain->SetColorKeyFromCorner(0);
    return true;
}

bool CLayer::Load(const char* name, BYTE visible, int x, int y, BYTE colorKey, int colorFilter) {
    Dib dib;
    bool ok = !m_pMain && ReadPicture(name, &dib);
    if (ok) {
        const BITMAPINFOHEADER& h = dib.Info()->bmiHeader;
        ok = CreateBlank(SIZE{h.biWidth, h.biHeight}, 0);
    }
    if (ok) {
        m_nX = x;
        m_nY = y;
        m_nColorFilter = colorFilter;
        m_bColorKey = colorKey;
        ok = PutPicture(dib);
    }
    if (!ok) {
        FreePlane();
        ReportError(kLoadFailed, name ? name : "");
        return false;
    }
    m_bVisible = visible;
    m_nKeyCorner = m_pMain->GetBltFlags() ? 0 : -1;
    m_Name = name;
    m_bHasName = true;
    m_Kind = m_Info.kind;
    m_nWidth = static_cast<int>(m_Info.width);
    m_nHeight = static_cast<int>(m_Info.height);
    if (m_Kind == kPictureKindAm) PreparePlane();
    return true;
}

bool CLayer::Reload(const char* name, BYTE visible, int x, int y, BYTE colorKey, int colorFilter) {
    // The name may be this layer's own, which Free clears.
    const std::string keep = name ? name : "";
    Free();
    return Load(name ? keep.c_str() : nullptr, visible, x, y, colorKey, colorFilter);
}

bool CLayer::CreateBlank(SIZE size, BYTE colorKey) {
    if (m_pMain || !m_pDirectDraw || size.cx <= 0 || size.cy <= 0) return false;
    m_bVisible = 0;
    auto surface = std::make_unique<CDDrawSurface>();
    if (!surface->CreateEmpty(m_pDirectDraw, size)) return false;
    m_pMain = std::move(surface);
    m_pKept.reset();
    m_nX = m_nY = 0;
    m_nDepth = SurfaceDepth(m_pMain.get());
    m_bColorKey = colorKey;
    m_nKeyCorner = colorKey == 1 && m_pMain->SetColorKeyFromCorner(0) ? 0 : -1;
    m_Name.clear();
    m_bHasName = false;
    m_Kind = kPictureKindBmp;
    FreePlaneBuffers();
    m_nWidth = size.cx;
    m_nHeight = size.cy;
    return true;
}

void CLayer::FreePlaneBuffers() {
    m_pWeights.reset();
    m_pAlphaBytes.reset();
    m_pAlphaWords.reset();
}

void CLayer::FreeParts() {
    m_PartSources.clear();
    m_PartDests.clear();
    m_nPartCount = 0;
}

void CLayer::FreeCellSets() {
    m_SetSurfaces.clear();
    m_Cells.clear();
    m_nSetCount = 0;
    m_pCellDescriptor = nullptr;
    m_pCellsPerSet = nullptr;
}

void CLayer::Free() {
    // Everything goes, whether or not a main surface is still there: after ReleaseSurfaces the name
    // and the plane buffers would otherwise outlive the picture.
    m_pMain.reset();
    m_pKept.reset();
    m_Name.clear();
    m_bHasName = false;
    FreePlaneBuffers();
    FreePlane();
    m_nX = m_nY = 0;
    m_bVisible = 0;
    m_bColorKey = 0;
    m_nKeyCorner = -1;
    m_nWidth = m_nHeight = 0;
    m_Kind = kPictureKindBmp;
    FreeParts();
    FreeCellSets();
    ForgetReleasedContent();
}

void CLayer::SetColorFilter(int colorFilter) {
    if (colorFilter == m_nColorFilter) return;
    if (!m_bHasName) {
        // Nothing to read again: a blank layer takes the filter for its next load.
        m_nColorFilter = colorFilter;
        return;
    }
    const std::string name = m_Name;
    const BYTE visible = m_bVisible, colorKey = m_bColorKey;
    const int x = m_nX, y = m_nY;
    Free();
    Load(name.c_str(), visible, x, y, colorKey, colorFilter);
}

bool CLayer::ReleaseSurfaces() {
    // A second release (a switch that failed and is tried back) finds nothing more to keep.
    if (m_pMain) m_Released.main.Keep(m_pMain.get());
    m_pMain.reset();
    if (m_pKept) {
        // Without its untouched copy the shown picture cannot be blended again: it is read anew instead.
        if (!m_Released.kept.Keep(m_pKept.get())) m_Released.main.Clear();
        m_pKept.reset();
        m_Released.weights = std::move(m_pWeights);
        m_Released.alphaBytes = std::move(m_pAlphaBytes);
        m_Released.alphaWords = std::move(m_pAlphaWords);
    }
    if (m_Released.sets.size() < m_SetSurfaces.size()) m_Released.sets.resize(m_SetSurfaces.size());
    for (std::size_t i = 0; i < m_SetSurfaces.size(); ++i) {
        if (m_SetSurfaces[i]) m_Released.sets[i].Keep(m_SetSurfaces[i].get());
        m_SetSurfaces[i].reset();
    }
    return true;
}

bool CLayer::Restore(IDirectDraw* dd) {
    m_pDirectDraw = dd;
    if (m_pMain) return true;
    bool ok = RestoreMain();
    if (ok && m_pCellDescriptor) {
        const SIZE setSize{static_cast<LONG>(m_pCellDescriptor->width),
                           static_cast<LONG>(m_pCellDescriptor->height)};
        for (std::size_t i = 0; i < m_SetSurfaces.size() && ok; ++i) {
            if (m_SetSurfaces[i]) continue;
            auto surface = std::make_unique<CDDrawSurface>();
            ok = surface->CreateEmpty(m_pDirectDraw, setSize);
            if (ok && i < m_Released.sets.size()) m_Released.sets[i].PutBack(surface.get());
            if (ok) m_SetSurfaces[i] = std::move(surface);
        }
    }
    ForgetReleasedContent();
    return ok;
}

bool CLayer::RestoreMain() {
    // A layer that never held a picture has nothing to make again.
    if (m_nWidth <= 0 || m_nHeight <= 0) return true;
    const SIZE size{m_nWidth, m_nHeight};
    auto surface = std::make_unique<CDDrawSurface>();
    if (!surface->CreateEmpty(m_pDirectDraw, size)) return false;
    m_pMain = std::move(surface);
    m_nDepth = SurfaceDepth(m_pMain.get());
    if (m_Released.main.Fits(m_pMain.get())) {
        // The same display format: the pixels come back as they were, with whatever was drawn into them.
        m_Released.main.PutBack(m_pMain.get());
        if (!m_Released.kept.IsEmpty()) {
            auto kept = std::make_unique<CDDrawSurface>();
            if (!kept->CreateEmpty(m_pDirectDraw, size)) return false;
            m_Released.kept.PutBack(kept.get());
            m_pKept = std::move(kept);
            m_pWeights = std::move(m_Released.weights);
            m_pAlphaBytes = std::move(m_Released.alphaBytes);
            m_pAlphaWords = std::move(m_Released.alphaWords);
        }
        return true; // the key came back with the pixels
    }
    if (m_bHasName) {
        // Another depth: the picture is read again, and the blend's buffers made for that depth.
        Dib dib;
        if (!ReadPicture(m_Name.c_str(), &dib) || !PutPicture(dib)) {
            FreePlane();
            return false;
        }
        if (m_Info.kind == kPictureKindAm) PreparePlane();
    } else if (m_Released.main.PutBack(m_pMain.get())) {
        // A picture only its owner or the scenario drew has no file to read: its pixels are converted,
        // key and all.
        return true;
    }
    // Read again, or blank for its owner to draw again: keyed from the corner the owner chose.
    if (m_nKeyCorner >= 0) m_pMain->SetColorKeyFromCorner(m_nKeyCorner);
    return true;
}

void CLayer::ForgetReleasedContent() {
    m_Released = Released{};
}

bool CLayer::RestoreIfLost() {
    if (m_pMain) m_pMain->Restore();
    if (m_pKept) m_pKept->Restore();
    for (auto& s : m_SetSurfaces)
        if (s) s->Restore();
    return true;
}

void CLayer::PreparePlane() {
    const BYTE* plane = GetPlane();
    const std::size_t pixels = static_cast<std::size_t>(m_nWidth) * m_nHeight;
    // A restore prepares the plane again while the buffers of the first load may still be held.
    FreePlaneBuffers();
    if (plane && pixels == static_cast<std::size_t>(GetPlaneWidth()) * GetPlaneHeight()) {
        if (m_AmHeader.planeKind == kPlaneKindWeights) {
            m_pWeights.reset(new BYTE[pixels]);
            std::memcpy(m_pWeights.get(), plane, pixels);
        } else if (m_AmHeader.planeKind == kPlaneKindAlpha && m_nDepth == 24) {
            m_pAlphaBytes.reset(new BYTE[3 * pixels]);
            for (std::size_t i = 0; i < pixels; ++i)
                m_pAlphaBytes[3 * i] = m_pAlphaBytes[3 * i + 1] = m_pAlphaBytes[3 * i + 2] = plane[i];
        } else if (m_AmHeader.planeKind == kPlaneKindAlpha && (m_nDepth == 16 || m_nDepth == 32)) {
            m_pAlphaWords.reset(new WORD[pixels]);
            for (std::size_t i = 0; i < pixels; ++i)
                m_pAlphaWords[i] = static_cast<WORD>(m_nDepth == 16 && plane[i] == 255 ? 256 : plane[i]);
        }
    }
    FreePlane();
    if (m_nSetCount > 0) return;
    auto kept = std::make_unique<CDDrawSurface>();
    if (!kept->CreateEmpty(m_pDirectDraw, SIZE{m_nWidth, m_nHeight})) return;
    FillSurface(kept->GetSurface(), 0xFF00, nullptr);
    m_pMain->BltTo(kept->GetSurface(), 0, 0, nullptr);
    if (m_bColorKey == 1) kept->SetColorKeyFromCorner(0);
    m_pKept = std::move(kept);
}
