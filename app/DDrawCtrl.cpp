#include "app/DDrawCtrl.h"

#include "app/AppMessages.h"
#include "app/ErrorReport.h"
#include "app/GameCtrl.h"
#include "app/RunState.h"
#include "graphics/DDrawSurface.h"
#include "graphics/UpdateRegion.h"
#include "platform/gdi.h"
#include "sound/SoundManager.h"

CDDrawCtrl g_DDrawCtrl;
int g_MouseX = 0;
int g_MouseY = 0;
int g_FullScreenDepth = 0;
BOOL g_bWindowedLowDepth = FALSE;
BOOL g_bSkipNextWheel = FALSE;
int g_CursorShowCount = 0;
const RECT g_FrameCornerRect = {0, 0, 80, 64};

namespace {
const char kWindowClass[] = "DirectDrawAppClass";
const char kCaption[] = "Lunavel";
constexpr int kIconResource = 103;

template <typename T> void ReleaseAndClear(T*& object) {
    if (object) {
        object->Release();
        object = nullptr;
    }
}

IDirectDrawSurface* CreatePrimary(IDirectDraw* dd) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    IDirectDrawSurface* surface = nullptr;
    return dd->CreateSurface(&desc, &surface, nullptr) == DD_OK ? surface : nullptr;
}

IDirectDrawSurface* CreateBackBuffer(IDirectDraw* dd, DWORD caps) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = 640;
    desc.dwHeight = 480;
    desc.ddsCaps.dwCaps = caps;
    IDirectDrawSurface* surface = nullptr;
    return dd->CreateSurface(&desc, &surface, nullptr) == DD_OK ? surface : nullptr;
}

RECT OuterRect() {
    RECT rc{0, 0, 640, 480};
    AdjustWindowRectEx(&rc, kWindowedStyle, FALSE, 0);
    return rc;
}
} // namespace

CDDrawCtrl::CDDrawCtrl()
    : m_WindowX(0), m_WindowY(0), m_ClientRect{0, 0, 0, 0}, m_bWindowed(0), m_pDirectDraw(nullptr),
      m_pBackBuffer(nullptr), m_pPrimary(nullptr), m_pClipper(nullptr) {}

// The process is ending: the system takes back whatever is left.
CDDrawCtrl::~CDDrawCtrl() {}

int CDDrawCtrl::CreateMainWindow(HINSTANCE instance, int showCommand) {
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kIconResource));
    wc.hCursor = LoadCursorA(nullptr, IDC_NO);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassA(&wc)) return 0;

    const RECT outer = OuterRect();
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    m_WindowX = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    m_WindowY = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    g_hWnd = CreateWindowExA(0, kWindowClass, kCaption, kWindowedStyle, m_WindowX, m_WindowY, width, height,
                             nullptr, nullptr, instance, nullptr);
    if (!g_hWnd) return 0;
    // The sound manager needs the window. Without a sound device it stays silent and the game goes on.
    CreateSoundManager(g_hWnd);
    WINNLSEnableIME(g_hWnd, FALSE);
    ShowWindow(g_hWnd, showCommand);
    SetFocus(g_hWnd);
    return 1;
}

int CDDrawCtrl::InitDirectDraw(int windowed) {
    m_bWindowed = windowed;
    if (DirectDrawCreate(nullptr, &m_pDirectDraw, nullptr) != DD_OK) return 0;
    SetDirectDraw(m_pDirectDraw);

    if (windowed) {
        HDC dc = GetDC(g_hWnd);
        const int bits = GetDeviceCaps(dc, BITSPIXEL);
        ReleaseDC(g_hWnd, dc);
        if (bits < 16) {
            g_bWindowedLowDepth = TRUE;
            return 0;
        }
        SetWindowLongA(g_hWnd, GWL_STYLE, static_cast<LONG>(kWindowedStyle));
        const RECT outer = OuterRect();
        SetWindowPos(g_hWnd, HWND_NOTOPMOST, m_WindowX, m_WindowY, outer.right - outer.left,
                     outer.bottom - outer.top, SWP_NOACTIVATE);
        GetClientRect(g_hWnd, &m_ClientRect);
        POINT origin{0, 0};
        ClientToScreen(g_hWnd, &origin);
        OffsetRect(&m_ClientRect, origin.x, origin.y);
        if (m_pDirectDraw->SetCooperativeLevel(g_hWnd, DDSCL_NORMAL) != DD_OK) return 0;
        if (!(m_pPrimary = CreatePrimary(m_pDirectDraw))) return 0;
        if (!(m_pBackBuffer = CreateBackBuffer(m_pDirectDraw, DDSCAPS_OFFSCREENPLAIN))) return 0;
        if (m_pDirectDraw->CreateClipper(0, &m_pClipper, nullptr) != DD_OK) return 0;
        if (m_pClipper->SetHWnd(0, g_hWnd) != DD_OK) return 0;
        if (m_pPrimary->SetClipper(m_pClipper) != DD_OK) return 0;
    } else {
        if (m_pDirectDraw->SetCooperativeLevel(g_hWnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN) != DD_OK) return 0;
        if (g_FullScreenDepth) {
            if (m_pDirectDraw->SetDisplayMode(640, 480, static_cast<DWORD>(g_FullScreenDepth)) != DD_OK)
                return 0;
        } else {
            for (int depth : {24, 32, 16}) {
                if (m_pDirectDraw->SetDisplayMode(640, 480, static_cast<DWORD>(depth)) == DD_OK) {
                    g_FullScreenDepth = depth;
                    break;
                }
            }
            if (!g_FullScreenDepth) return 0;
        }
        SetWindowLongA(g_hWnd, GWL_STYLE, static_cast<LONG>(WS_VISIBLE | WS_SYSMENU));
        if (!(m_pPrimary = CreatePrimary(m_pDirectDraw))) return 0;
        if (!(m_pBackBuffer = CreateBackBuffer(m_pDirectDraw, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY)))
            return 0;
    }
    FillSurface(m_pBackBuffer, 0, nullptr);
    SetRenderTarget(m_pBackBuffer);
    return 1;
}

void CDDrawCtrl::ReleaseDirectDraw() {
    // Nobody may make surfaces on, or draw into, what is about to go.
    if (GetRenderTarget() == m_pBackBuffer) SetRenderTarget(nullptr);
    if (GetDirectDraw() == m_pDirectDraw) SetDirectDraw(nullptr);
    ReleaseAndClear(m_pBackBuffer);
    ReleaseAndClear(m_pClipper);
    ReleaseAndClear(m_pPrimary);
    ReleaseAndClear(m_pDirectDraw);
}

int CDDrawCtrl::ToggleScreenMode() {
    // The pointer stays over the same point of the picture, though the picture moves on the screen: a
    // switch must not put it over another button. A pointer outside the picture keeps its place.
    POINT cursor{0, 0};
    GetCursorPos(&cursor);
    POINT client = cursor;
    ScreenToClient(g_hWnd, &client);
    const RECT* screen = GetScreenRect();
    const bool overPicture = PtInRect(screen, client);
    m_bWindowed = !m_bWindowed;
    ReleaseDirectDraw();
    const int result = InitDirectDraw(m_bWindowed);
    SetRenderTarget(result ? m_pBackBuffer : nullptr);
    // The new back buffer holds nothing of the last frame: draw all of it again.
    if (result && m_pBackBuffer) AddUpdateRect(screen);
    if (overPicture) {
        cursor = client;
        ClientToScreen(g_hWnd, &cursor);
    }
    SetCursorPos(cursor.x, cursor.y);
    return result;
}

int CDDrawCtrl::RestoreSurfaces() {
    for (IDirectDrawSurface* surface : {m_pPrimary, m_pBackBuffer}) {
        if (surface && surface->IsLost() != DD_OK && surface->Restore() != DD_OK) return 0;
    }
    SetRenderTarget(m_pBackBuffer);
    // The restored back buffer holds nothing of the last frame: draw all of it again.
    if (m_pBackBuffer) AddUpdateRect(GetScreenRect());
    if (g_pGameCtrl) g_pGameCtrl->RestoreSurfaces();
    return 1;
}

int CDDrawCtrl::OnMove() {
    if (!m_bWindowed) return 0;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(g_hWnd, &placement);
    m_WindowX = placement.rcNormalPosition.left;
    m_WindowY = placement.rcNormalPosition.top;
    GetClientRect(g_hWnd, &m_ClientRect);
    POINT origin{0, 0};
    ClientToScreen(g_hWnd, &origin);
    OffsetRect(&m_ClientRect, origin.x, origin.y);
    return 1;
}

void CDDrawCtrl::GetMousePos(int messageX, int messageY, int* x, int* y) {
    int mx = messageX, my = messageY;
    if (!m_bWindowed) {
        // Full screen, the screen is the 640x480 client area.
        POINT cursor;
        if (GetCursorPos(&cursor)) {
            mx = cursor.x;
            my = cursor.y;
        }
    }
    if (x) *x = mx;
    if (y) *y = my;
}

void CDDrawCtrl::PresentFrame() {
    if (IsMoviePlaying()) return;
    if (DrawFrame(m_pBackBuffer) == DDERR_SURFACELOST) RestoreSurfaces();
    if (Flip() != DD_OK) RestoreSurfaces();
}

HRESULT CDDrawCtrl::Flip() {
    if (!IsPresentNeeded()) return DD_OK;
    if (!m_pPrimary || !m_pBackBuffer) {
        // No display to present to (a failed switch); the frame is dropped.
        ClearPresentNeeded();
        return DD_OK;
    }
    // Only the part that blits reached since the last present goes to the screen: the rest of the
    // screen shows the back buffer already.
    RECT drawn = *GetScreenRect();
    if (GetDrawnRect(&drawn)) IntersectRect(&drawn, &drawn, GetScreenRect());
    if (IsRectEmpty(&drawn)) {
        ClearPresentNeeded();
        return DD_OK;
    }
    RECT target = drawn;
    // Windowed, the primary is the desktop and the client area sits at the client rectangle.
    if (m_bWindowed) OffsetRect(&target, m_ClientRect.left, m_ClientRect.top);
    const HRESULT result = m_pPrimary->Blt(&target, m_pBackBuffer, &drawn, DDBLT_WAIT, nullptr);
    ClearPresentNeeded();
    return result;
}

void CDDrawCtrl::DestroyMainWindow() {
    DestroyWindow(g_hWnd);
}

HRESULT DrawFrame(IDirectDrawSurface* backBuffer) {
    if (IsErrorStop()) {
        // After a fatal error the report is all there is to see, in whatever phase it came. It is drawn
        // again only where something marked the screen (the report itself, a repaint, a new back
        // buffer); until a back buffer exists the region waits for it.
        if (!backBuffer) return DD_OK;
        const HRESULT result = DrawErrorReport(backBuffer);
        AddUpdateRect(nullptr);
        return result;
    }
    AddUpdateRect(&g_FrameCornerRect);
    HRESULT result = DD_OK;
    if (g_pGameCtrl && g_pGameCtrl->IsInitialized()) {
        g_pGameCtrl->Update();
        result = g_pGameCtrl->Draw(backBuffer);
    }
    AddUpdateRect(nullptr);
    return result;
}

void ResetDisplayGlobals() {
    g_DDrawCtrl.ReleaseDirectDraw();
    g_DDrawCtrl = CDDrawCtrl();
    g_MouseX = g_MouseY = 0;
    g_FullScreenDepth = 0;
    g_bWindowedLowDepth = FALSE;
    g_bSkipNextWheel = FALSE;
    g_CursorShowCount = 0;
}
