// Drawing a picture object: whole, by parts, or by the cells of its cell sets; and the small accessors
// of its surfaces.
#include "graphics/Layer.h"

HRESULT CLayer::Draw(IDirectDrawSurface* target) {
    if (!m_bVisible) return 0;
    if (m_nSetCount == 0) {
        if (!m_pMain) return 0;
        if (m_nPartCount == 0) return m_pMain->BltTo(target, m_nX, m_nY, nullptr);
        for (int i = 0; i < m_nPartCount; ++i) {
            if (!m_PartSources[i]) continue;
            const HRESULT hr =
                m_pMain->BltTo(target, m_PartDests[i]->x, m_PartDests[i]->y, m_PartSources[i].get());
            if (hr != 0) return hr;
        }
        return 0;
    }
    for (int set = 0; set < m_nSetCount; ++set) {
        CDDrawSurface* surface = m_SetSurfaces[set].get();
        if (!surface) continue;
        for (const LayerCell& cell : m_Cells[set]) {
            if (cell.visible != 1) continue;
            const HRESULT hr = surface->BltTo(target, cell.destX, cell.destY, &cell.source);
            if (hr != 0) return hr;
        }
    }
    return 0;
}

HRESULT CLayer::DrawStretch(IDirectDrawSurface* target, const RECT* destRect, const RECT* sourceRect) {
    if (!m_bVisible || m_nPartCount != 0 || !m_pMain) return 0;
    return m_pMain->BltStretch(target, destRect, sourceRect);
}

void CLayer::EnsurePartCount(int count) {
    if (count <= m_nPartCount) return;
    m_nPartCount = count;
    m_PartSources.resize(static_cast<std::size_t>(count));
    m_PartDests.resize(static_cast<std::size_t>(count));
}

void CLayer::SetPart(const RECT* source, int destX, int destY, int index) {
    if (index < 0 || index >= m_nPartCount || !source) return;
    if (!m_PartSources[index]) {
        m_PartSources[index] = std::make_unique<RECT>();
        m_PartDests[index] = std::make_unique<POINT>();
    }
    *m_PartSources[index] = *source;
    *m_PartDests[index] = POINT{destX, destY};
}

void CLayer::ClearPart(int index) {
    if (index < 0 || index >= m_nPartCount) return;
    m_PartSources[index].reset();
    m_PartDests[index].reset();
}

void CLayer::SetColorKeyMode(int corner) {
    // Remembered, so that the key comes back when a display change makes the surface anew.
    if (corner >= 0 && corner <= 3 && m_pMain && m_pMain->SetColorKeyFromCorner(corner))
        m_nKeyCorner = corner;
}

IDirectDrawSurface* CLayer::GetSurface() const {
    return m_pMain ? m_pMain->GetSurface() : nullptr;
}

HRESULT CLayer::GetDC(HDC* dc) {
    if (!m_pMain || !m_pMain->GetSurface()) {
        if (dc) *dc = nullptr;
        return 0;
    }
    return m_pMain->GetSurface()->GetDC(dc);
}

HRESULT CLayer::ReleaseDC(HDC dc) {
    if (!m_pMain || !m_pMain->GetSurface()) return 0;
    return m_pMain->GetSurface()->ReleaseDC(dc);
}

void CLayer::Fill(DWORD color, const RECT* rect) {
    if (m_pMain) FillSurface(m_pMain->GetSurface(), color, rect);
}

bool CLayer::CreateCellSets(const CellSetDescriptor* descriptor, const DWORD* cellsPerSet,
                            const CellTableEntry* table, BYTE visible) {
    if (!descriptor || !cellsPerSet || !table || m_nSetCount > 0 || m_pCellDescriptor) return false;
    if (descriptor->setCount == 0 || descriptor->setCount > 0x10000) return false;
    m_pCellDescriptor = descriptor;
    m_pCellsPerSet = cellsPerSet;
    m_nSetCount = static_cast<int>(descriptor->setCount);
    m_SetSurfaces.resize(m_nSetCount);
    m_Cells.resize(m_nSetCount);
    const SIZE setSize{static_cast<LONG>(descriptor->width), static_cast<LONG>(descriptor->height)};
    for (int set = 0; set < m_nSetCount; ++set) {
        auto surface = std::make_unique<CDDrawSurface>();
        if (!surface->CreateEmpty(m_pDirectDraw, setSize)) {
            FreeCellSets();
            return false;
        }
        m_SetSurfaces[set] = std::move(surface);
        m_Cells[set].assign(cellsPerSet[set], LayerCell{});
    }
    for (DWORD i = 0; i < descriptor->totalCells; ++i) {
        const CellTableEntry& e = table[i];
        // An entry naming a set or cell beyond the counts has no place to go.
        if (e.set < 0 || e.set >= m_nSetCount || e.cell < 0 ||
            static_cast<DWORD>(e.cell) >= cellsPerSet[e.set])
            continue;
        m_Cells[e.set][e.cell] = LayerCell{e.source, e.plane, e.destX, e.destY, visible};
    }
    return true;
}

bool CLayer::SetCellVisible(int set, int cell, BYTE visible) {
    if (m_nSetCount == 0 || set < 0 || set >= m_nSetCount || cell < 0 ||
        static_cast<std::size_t>(cell) >= m_Cells[set].size())
        return false;
    m_Cells[set][cell].visible = visible;
    return true;
}

IDirectDrawSurface* CLayer::GetSetSurface(int set) const {
    if (set < 0 || set >= m_nSetCount || !m_SetSurfaces[set]) return nullptr;
    return m_SetSurfaces[set]->GetSurface();
}

const LayerCell* CLayer::GetCell(int set, int cell) const {
    if (set < 0 || set >= m_nSetCount || cell < 0 || static_cast<std::size_t>(cell) >= m_Cells[set].size())
        return nullptr;
    return &m_Cells[set][cell];
}
