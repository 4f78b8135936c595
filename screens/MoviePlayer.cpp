#include "screens/MoviePlayer.h"

#include "app/AppMessages.h"
#include "app/DDrawCtrl.h"
#include "app/RunState.h"
#include "files/Config.h"
#include "platform/text_encoding.h"

namespace {
template <class T> void ReleaseInterface(T*& p) {
    if (p) p->Release();
    p = nullptr;
}
} // namespace

CMoviePlayer::CMoviePlayer() {
    Clear();
}

CMoviePlayer::~CMoviePlayer() {
    Release();
}

void CMoviePlayer::Clear() {
    m_pGraph = nullptr;
    m_pMediaControl = nullptr;
    m_pMediaPosition = nullptr;
    m_pVideoWindow = nullptr;
    m_pBasicAudio = nullptr;
    m_Width = 0;
    m_Height = 0;
    m_SavedVolume = 0;
    m_Duration = 0.0;
}

bool CMoviePlayer::Create(int width, int height) {
    try {
        Release();
        if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                    reinterpret_cast<void**>(&m_pGraph))))
            return false;
        if (FAILED(m_pGraph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&m_pMediaControl))) ||
            FAILED(
                m_pGraph->QueryInterface(IID_IMediaPosition, reinterpret_cast<void**>(&m_pMediaPosition))) ||
            FAILED(m_pGraph->QueryInterface(IID_IVideoWindow, reinterpret_cast<void**>(&m_pVideoWindow))) ||
            FAILED(m_pGraph->QueryInterface(IID_IBasicAudio, reinterpret_cast<void**>(&m_pBasicAudio)))) {
            Release();
            return false;
        }
        m_Width = width;
        m_Height = height;
        return true;
    } catch (...) {
        Release();
        return false;
    }
}

bool CMoviePlayer::Open(const char* path) {
    try {
        if (!path || !m_pGraph) return false;
        WCHAR widePath[MAX_PATH];
        // A path too long for the buffer is no path at all: the graph never sees a cut or unset one.
        if (MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH) == 0) return false;
        if (FAILED(m_pGraph->RenderFile(widePath, nullptr))) return false;

        const OAHWND owner = reinterpret_cast<OAHWND>(g_hWnd);
        if (FAILED(m_pVideoWindow->put_Owner(owner)) || FAILED(m_pVideoWindow->put_MessageDrain(owner)) ||
            FAILED(m_pVideoWindow->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN))) {
            Release();
            return false;
        }
        if (g_pConfig && g_pConfig->GetWindowMode() == 1) {
            RECT outer{0, 0, 640, 480};
            AdjustWindowRectEx(&outer, kWindowedStyle, FALSE, 0);
            SetWindowPos(g_hWnd, HWND_NOTOPMOST, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                         SWP_NOACTIVATE);
        }
        if (FAILED(m_pVideoWindow->SetWindowPosition(0, 0, m_Width, m_Height))) {
            Release();
            return false;
        }

        REFTIME position = 0.0;
        if (FAILED(m_pMediaPosition->get_Duration(&m_Duration)) ||
            FAILED(m_pMediaPosition->get_CurrentPosition(&position)))
            return false;
        if (m_Duration - position < 1.0) m_pMediaPosition->put_CurrentPosition(0.0);
        if (FAILED(m_pVideoWindow->put_AutoShow(OATRUE))) return false;
        m_SavedVolume = GetVolume();
        return true;
    } catch (...) {
        return false;
    }
}

bool CMoviePlayer::Play() {
    if (!m_pMediaControl) return false;
    // A graph that does not run would leave the screen waiting for a click with nothing on it.
    if (FAILED(m_pMediaControl->Run())) return false;
    SetMoviePlaying(TRUE);
    return true;
}

bool CMoviePlayer::Stop() {
    if (!m_pMediaControl) return false;
    return SUCCEEDED(m_pMediaControl->Stop());
}

LONG CMoviePlayer::GetVolume() {
    LONG volume = 0;
    if (!m_pBasicAudio || FAILED(m_pBasicAudio->get_Volume(&volume))) return -1;
    return volume;
}

bool CMoviePlayer::SetVolume(LONG volume) {
    return m_pBasicAudio && SUCCEEDED(m_pBasicAudio->put_Volume(volume));
}

bool CMoviePlayer::IsFinished() {
    REFTIME position = 0.0;
    if (!m_pMediaPosition || FAILED(m_pMediaPosition->get_CurrentPosition(&position))) return false;
    if (position >= m_Duration) return true;
    LONG visible = OAFALSE;
    if (m_pVideoWindow && (FAILED(m_pVideoWindow->get_Visible(&visible)) || visible != OATRUE))
        m_pVideoWindow->put_Visible(OATRUE);
    return false;
}

void CMoviePlayer::Release() {
    Stop();
    if (m_pBasicAudio) SetVolume(m_SavedVolume);
    if (m_pVideoWindow) {
        m_pVideoWindow->put_AutoShow(OAFALSE);
        m_pVideoWindow->put_Visible(OAFALSE);
        m_pVideoWindow->put_Owner(0);
    }
    ReleaseInterface(m_pBasicAudio);
    ReleaseInterface(m_pVideoWindow);
    ReleaseInterface(m_pMediaPosition);
    ReleaseInterface(m_pMediaControl);
    ReleaseInterface(m_pGraph);
    Clear();
    SetMoviePlaying(FALSE);
}
