// The picture object: every sprite, compositor layer and overlay of the program. It reads a picture by
// name from the graphic archive, holds it in a system-memory surface and draws it whole at (x, y), as
// parts cut from a sheet, or as cells of cell sets. For "AM" pictures it keeps an untouched copy and the
// converted second plane, from which PreBlend recomputes the shown picture over what lies beneath it.
// Objects are made and destroyed only through CreateLayerObject and DeleteLayerObject.
#pragma once

#include "graphics/AmFile.h"
#include "graphics/DDrawSurface.h"
#include "graphics/LayerFilter.h"
#include "graphics/PreBlend.h"
#include "graphics/SurfaceContent.h"

#include <memory>
#include <string>
#include <vector>

// One cell of a cell set, filled from the owner's table.
struct LayerCell {
    RECT source; // in the picture, and the same place on the set surface
    RECT plane;  // left and top: the cell's origin in the second plane
    LONG destX;
    LONG destY;
    BYTE visible;
};

// The owner's static cell-set tables, kept by pointer.
struct CellSetDescriptor {
    DWORD setCount;
    DWORD totalCells;
    DWORD width; // of each set surface
    DWORD height;
};
struct CellTableEntry {
    LONG set;
    LONG cell; // within its set
    RECT source;
    RECT plane;
    LONG destX;
    LONG destY;
};

class CLayer : public CAmFile {
  public:
    CLayer();
    ~CLayer() override;

    void Init(IDirectDraw* dd, int partCount);
    // Reads the picture `name` from the graphic archive onto a new main surface. Filter 1 greys and 2
    // sepias the palette of an 8-bit picture. The layer must hold no picture; a failure is reported
    // (ReportError) and returns false.
    bool Load(const char* name, BYTE visible, int x, int y, BYTE colorKey, int colorFilter);
    bool Reload(const char* name, BYTE visible, int x, int y, BYTE colorKey, int colorFilter);
    // A blank hidden layer of that size; its content is the new surface's until the owner draws.
    bool CreateBlank(SIZE size, BYTE colorKey);
    // Releases everything the object holds, parts and cell sets included.
    void Free();

    // Nothing (0) unless visible; else the result of the first failing blit, or 0.
    HRESULT Draw(IDirectDrawSurface* target);
    HRESULT DrawStretch(IDirectDrawSurface* target, const RECT* destRect, const RECT* sourceRect);

    // Grows the part slots to `count`, keeping the parts set; from then on the layer draws its parts
    // in place of the whole picture. A smaller count changes nothing.
    void EnsurePartCount(int count);
    // Indices at or beyond the part count are ignored.
    void SetPart(const RECT* source, int destX, int destY, int index);
    void ClearPart(int index);
    // Corners 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right key the main surface; 4 and 5 change
    // nothing.
    void SetColorKeyMode(int corner);
    // Reloads the picture with another filter; parts and cell sets do not survive it.
    void SetColorFilter(int colorFilter);

    IDirectDrawSurface* GetSurface() const;
    HRESULT GetDC(HDC* dc);
    HRESULT ReleaseDC(HDC dc);
    void Fill(DWORD color, const RECT* rect);

    // Before the sheet is loaded: one set surface of the descriptor's size per set, and the cells
    // copied from the table. Entries naming a set or cell outside the counts are left out.
    bool CreateCellSets(const CellSetDescriptor* descriptor, const DWORD* cellsPerSet,
                        const CellTableEntry* table, BYTE visible);
    // False without cells or for a set or cell outside the counts.
    bool SetCellVisible(int set, int cell, BYTE visible);
    IDirectDrawSurface* GetSetSurface(int set) const;

    // Recomputes the shown picture of an "AM" layer over `target`, where it is about to be drawn.
    bool PreBlend(IDirectDrawSurface* target);

    // A display change: the surfaces go, their pixels are held until Restore makes new ones. Restore
    // puts back what was drawn and its colour key, byte for byte on a display of the same format; on one
    // of another depth a named picture is read again (and keyed from the corner it was keyed from) and
    // a blank one converted.
    bool ReleaseSurfaces();
    bool Restore(IDirectDraw* dd);
    bool RestoreIfLost();

    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    int GetDepth() const { return m_nDepth; }
    DWORD GetKind() const { return m_Kind; }
    int GetPartCount() const { return m_nPartCount; }
    int GetColorFilter() const { return m_nColorFilter; }
    // 1 when the picture is drawn with its colour key.
    BYTE GetColorKey() const { return m_bColorKey; }
    // The stored picture name, or null for a blank layer.
    const char* GetName() const { return m_bHasName ? m_Name.c_str() : nullptr; }
    CDDrawSurface* GetMainSurface() const { return m_pMain.get(); }
    CDDrawSurface* GetKeptCopy() const { return m_pKept.get(); }
    const BYTE* GetWeights() const { return m_pWeights.get(); }
    const BYTE* GetAlphaBytes() const { return m_pAlphaBytes.get(); }
    const WORD* GetAlphaWords() const { return m_pAlphaWords.get(); }
    int GetSetCount() const { return m_nSetCount; }
    const LayerCell* GetCell(int set, int cell) const;

    // Owners move and show the picture through these directly.
    int m_nX;
    int m_nY;
    BYTE m_bVisible;

  private:
    // The picture as a DIB: header, full colour table, padded rows.
    struct Dib {
        std::unique_ptr<BYTE[]> info; // BITMAPINFO: header and colour table
        std::unique_ptr<BYTE[]> bits;
        BITMAPINFO* Info() const { return reinterpret_cast<BITMAPINFO*>(info.get()); }
    };
    bool ReadPicture(const char* name, Dib* dib);
    // Filter, draw onto the main surface and key it: the steps a load and a restore share.
    bool PutPicture(const Dib& dib);
    void PreparePlane();
    void FreePlaneBuffers();
    void FreeParts();
    void FreeCellSets();
    void PreBlendCells(const PixelView& sheet, const PixelView& target, int bytesPerPixel, bool is555);
    // The main surface made again on a display change: false when it could not be made or filled.
    bool RestoreMain();
    void ForgetReleasedContent();

    IDirectDraw* m_pDirectDraw;
    std::unique_ptr<BYTE[]> m_pAlphaBytes;
    std::unique_ptr<WORD[]> m_pAlphaWords;
    const CellSetDescriptor* m_pCellDescriptor;
    const DWORD* m_pCellsPerSet;
    int m_nSetCount;
    std::vector<std::unique_ptr<CDDrawSurface>> m_SetSurfaces;
    std::vector<std::vector<LayerCell>> m_Cells;
    std::unique_ptr<CDDrawSurface> m_pMain;
    std::unique_ptr<CDDrawSurface> m_pKept;
    int m_nDepth;
    std::string m_Name;
    bool m_bHasName;
    BYTE m_bColorKey;
    DWORD m_Kind;
    std::unique_ptr<BYTE[]> m_pWeights;
    int m_nWidth;
    int m_nHeight;
    int m_nPartCount;
    std::vector<std::unique_ptr<RECT>> m_PartSources;
    std::vector<std::unique_ptr<POINT>> m_PartDests;
    int m_nColorFilter;
    // The corner the main surface's colour key was taken from; -1 unkeyed.
    int m_nKeyCorner;
    // What the layer held when its surfaces were released for a display change, until Restore.
    struct Released {
        CSurfaceContent main;
        CSurfaceContent kept;
        std::vector<CSurfaceContent> sets;
        // The blend's buffers, made for the depth the content was kept in.
        std::unique_ptr<BYTE[]> weights;
        std::unique_ptr<BYTE[]> alphaBytes;
        std::unique_ptr<WORD[]> alphaWords;
    };
    Released m_Released;
};

// A new layer with every field cleared, Init with the global DirectDraw object and `partCount` parts.
CLayer* CreateLayerObject(int partCount);
// Frees and deletes a layer (null is fine); always null, for the caller to store.
CLayer* DeleteLayerObject(CLayer* layer);
