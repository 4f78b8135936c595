// The display object: the main window, the DirectDraw object, the primary surface, the 640x480 back
// buffer every picture is drawn into and, windowed, the clipper. It sets the display up windowed or
// full screen, switches between them, restores lost surfaces and presents each frame.
#pragma once

#include "platform/ddraw.h"
#include "platform/window.h"

// The style of the main window while windowed.
inline constexpr DWORD kWindowedStyle = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

class CDDrawCtrl {
  public:
    CDDrawCtrl();
    ~CDDrawCtrl();

    // Window class "DirectDrawAppClass", the window "Lunavel" centred on the screen, shown and focused.
    int CreateMainWindow(HINSTANCE instance, int showCommand);
    // Set-up for that mode; the back buffer is cleared to 0 and becomes the render target.
    int InitDirectDraw(int windowed);
    // Back buffer, clipper, primary surface, DirectDraw object, in this order.
    void ReleaseDirectDraw();
    // The other mode: released and set up again; the cursor is put back where it was.
    int ToggleScreenMode();
    int RestoreSurfaces();
    int OnMove();
    void GetMousePos(int messageX, int messageY, int* x, int* y);
    void PresentFrame();
    // Copies the back buffer to the screen when a blit reached it since the last present.
    HRESULT Flip();
    void DestroyMainWindow();
    // The message loop and the shut-down after it; the code of WM_QUIT.
    int MessageLoop();

    int IsWindowed() const { return m_bWindowed; }
    IDirectDraw* GetDirectDrawObject() const { return m_pDirectDraw; }
    IDirectDrawSurface* GetBackBuffer() const { return m_pBackBuffer; }
    IDirectDrawSurface* GetPrimarySurface() const { return m_pPrimary; }
    const RECT& GetClientRectOnScreen() const { return m_ClientRect; }
    POINT GetWindowPosition() const { return POINT{m_WindowX, m_WindowY}; }

  private:
    int m_WindowX;
    int m_WindowY;
    RECT m_ClientRect;
    int m_bWindowed;
    IDirectDraw* m_pDirectDraw;
    IDirectDrawSurface* m_pBackBuffer;
    IDirectDrawSurface* m_pPrimary;
    IDirectDrawClipper* m_pClipper;
};

extern CDDrawCtrl g_DDrawCtrl;
extern int g_MouseX;
extern int g_MouseY;
// Depth found for full screen (24, 32 or 16); 0 until found.
extern int g_FullScreenDepth;
// Windowed set-up found a desktop under 16 bits per pixel.
extern BOOL g_bWindowedLowDepth;
// The next WM_MOUSEWHEEL is ignored (after Alt+Tab or a screen switch).
extern BOOL g_bSkipNextWheel;
// What ShowCursor last returned.
extern int g_CursorShowCount;
extern const RECT g_FrameCornerRect;

// One frame's update and draw into the back buffer; the result of its last blit.
HRESULT DrawFrame(IDirectDrawSurface* backBuffer);
LRESULT WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Releases, switches and re-creates around a screen switch; with storeMode the setting WindowMode
// takes the mode the display ended in (the config panel's switch; Alt+Enter passes false). False when
// the display could not be set up in either mode (the program then reports it and closes).
bool SwitchScreenMode(bool storeMode);

// The display globals back to their start values (a test runs several starts in one process).
void ResetDisplayGlobals();
