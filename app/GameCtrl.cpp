// The game object's life, its pass of the mode state machine, the frame's update and draw, and the
// surfaces around display changes.
#include "app/GameCtrl.h"

#include "app/ErrorReport.h"
#include "app/RunState.h"
#include "files/ArcFile.h"
#include "files/Config.h"
#include "files/SaveData.h"
#include "graphics/Layer.h"
#include "graphics/Screen.h"
#include "graphics/Transition.h"
#include "graphics/UpdateRegion.h"
#include "platform/runtime.h"
#include "platform/time.h"
#include "screens/ConfigPanel.h"
#include "screens/EndingMode.h"
#include "screens/ExtraMode.h"
#include "screens/LogoMode.h"
#include "screens/MovieMode.h"
#include "screens/NameEntryMode.h"
#include "screens/OverlaySupport.h"
#include "screens/SaveLoadMenu.h"
#include "screens/StatusPanel.h"
#include "screens/TitleMode.h"
#include "screens/YesNoDialog.h"
#include "script/GameScene.h"
#include "sound/SoundManager.h"

CGameCtrl* g_pGameCtrl = nullptr;
RECT g_CursorRect = {0, 0, 32, 32};
BOOL g_bTransitionWasRunning = FALSE;

namespace {
// "スクリプトファイルの読み込みに失敗しました"
const char kScriptLoadFailed[] =
    "\x83\x58\x83\x4E\x83\x8A\x83\x76\x83\x67\x83\x74\x83\x40\x83\x43\x83\x8B\x82"
    "\xCC\x93\xC7\x82\xDD\x8D\x9E\x82\xDD\x82\xC9\x8E\xB8\x94\x73\x82\xB5\x82\xDC"
    "\x82\xB5\x82\xBD";

template <class T> void DeleteAndClear(T*& p) {
    delete p;
    p = nullptr;
}
} // namespace

CGameCtrl::CGameCtrl()
    : m_pCursor(nullptr), m_pBar(nullptr), m_pTitle(nullptr), m_pScene(nullptr), m_pSaveLoadMenu(nullptr),
      m_pConfigPanel(nullptr), m_pNameEntry(nullptr), m_pExtra(nullptr), m_pEnding(nullptr), m_pLogo(nullptr),
      m_pMovie(nullptr), m_pStatusPanel(nullptr), m_pDialog(nullptr), m_Mode(GameModeLogo),
      m_LastBarHover(-1), m_LastBarPressed(-1), m_BarSelection(-1), m_PendingLoadSlot(-1), m_bBarShown(0),
      m_bBarPressing(0), m_bBarSuppressed(0), m_bDialogOpen(0), m_DialogKind(-1), m_bInitialized(false) {
    g_pTransition = new CTransition;
    if (g_pConfig) g_pTransition->Create(g_pConfig->GetSystemDataPath("mask.arc"));
    OpenArchives();
    crt::srand(GetTickCount());
    m_pRectTable = g_BarButtonRects;
    m_nRectCount = kBarButtonCount;
    for (int i = 0; i < kBarButtonCount - 1; ++i)
        g_BarButtonEnabled[i] = 0;
    g_CursorRect = RECT{0, 0, 32, 32};
    g_bTransitionWasRunning = FALSE;
}

CGameCtrl::~CGameCtrl() {
    DeleteAndClear(m_pTitle);
    DeleteAndClear(m_pScene);
    DeleteAndClear(m_pSaveLoadMenu);
    DeleteAndClear(m_pConfigPanel);
    DeleteAndClear(m_pNameEntry);
    DeleteAndClear(m_pExtra);
    DeleteAndClear(m_pEnding);
    DeleteAndClear(m_pLogo);
    DeleteAndClear(m_pMovie);
    DeleteAndClear(m_pStatusPanel);
    // A dialog still up when the program ends goes with the rest rather than being left behind.
    DeleteAndClear(m_pDialog);
    m_pCursor = DeleteLayerObject(m_pCursor);
    m_pBar = DeleteLayerObject(m_pBar);
    if (g_pTransition) {
        g_pTransition->Release();
        DeleteAndClear(g_pTransition);
    }
    CloseArchives();
    DeleteAndClear(g_pSaveData);
    DeleteAndClear(g_pScreen);
}

void CGameCtrl::Initialize() {
    m_pCursor = CreateLayerObject(0);
    if (m_pCursor) {
        m_pCursor->Load("sg004", 1, 0, 0, 0, 0);
        m_pCursor->SetColorKeyMode(2);
    }
    g_CursorRect = RECT{0, 0, 32, 32};
    m_pBar = CreateLayerObject(kBarButtonCount);
    if (m_pBar) {
        m_pBar->Load("sg005", 0, 0, 0, 1, 0);
        m_pBar->SetColorKeyMode(2);
    }
    g_pScreen = new CScreen;
    g_pScreen->SetEffectEnable(g_pConfig && g_pConfig->GetEffectSwitch() == 1);
    g_pSaveData = new CSaveData;
    g_pSaveData->LoadSystemFile();
    m_bInitialized = true;
}

void CGameCtrl::Finalize() {}

void CGameCtrl::MarkWholeScreen() {
    m_UpdateRect.AddRect(GetScreenRect());
}

void CGameCtrl::Run() {
    if (g_pSoundManager) g_pSoundManager->Update();
    RunMovieAndEnding();
    if (IsPanelOpen()) return;
    const BOOL running = IsTransitionRunning() ? TRUE : FALSE;
    if (m_bBarShown || m_bDialogOpen) {
        // The mode is paused; once a transition has ended the buttons it disabled come back.
        if (!running && g_bTransitionWasRunning && m_bBarShown && IsSystemBarAvailable()) {
            DrawSystemBar();
            MarkBarStrip();
        }
        g_bTransitionWasRunning = running;
        return;
    }
    g_bTransitionWasRunning = running;
    if (running) return;
    RunModeLoop();
}

bool CGameCtrl::IsTransitionRunning() const {
    return g_pTransition && g_pTransition->IsRunning();
}

void CGameCtrl::RunMovieAndEnding() {
    if (m_Mode == GameModeMovie) {
        if (!m_pMovie) {
            m_pMovie = new CMovieMode;
            m_pMovie->Play();
            HideCursorSprite();
        } else {
            m_Mode = m_pMovie->Run();
            if (m_Mode != GameModeMovie) {
                AddUpdateRect(GetScreenRect());
                m_pMovie->Close();
                DeleteAndClear(m_pMovie);
            }
        }
    } else if (m_Mode == GameModeEnding) {
        if (!m_pEnding) {
            m_pEnding = new CEndingMode;
            HideCursorSprite();
        }
        if (!m_pEnding->Run()) {
            AddUpdateRect(GetScreenRect());
            DeleteAndClear(m_pEnding);
            m_Mode = GameModeTitle;
        }
    }
}

void CGameCtrl::DeleteModeObject(int mode) {
    switch (mode) {
    case GameModeLogo:
        DeleteAndClear(m_pLogo);
        break;
    case GameModeMovie:
        if (m_pMovie) m_pMovie->Close();
        DeleteAndClear(m_pMovie);
        break;
    case GameModeTitle:
        DeleteAndClear(m_pTitle);
        break;
    case GameModeNameEntry:
        if (m_pNameEntry) m_pNameEntry->Close();
        DeleteAndClear(m_pNameEntry);
        break;
    case GameModeScene:
        DeleteAndClear(m_pScene);
        break;
    case GameModeEnding:
        DeleteAndClear(m_pEnding);
        break;
    case GameModeExtra:
        if (m_pExtra) m_pExtra->Close();
        DeleteAndClear(m_pExtra);
        break;
    default:
        break;
    }
    MarkWholeScreen();
}

void CGameCtrl::RunModeLoop() {
    // A scene that ends at once is made again at most once a pass, so the pass always returns.
    bool sceneRecreated = false;
    for (;;) {
        const int mode = m_Mode;
        bool again = false;
        switch (mode) {
        case GameModeLogo:
            if (!m_pLogo) {
                m_pLogo = new CLogoMode;
                HideCursorSprite();
            }
            m_Mode = m_pLogo->Run();
            // The next mode starts on the next pass.
            if (m_Mode != mode) DeleteModeObject(mode);
            break;
        case GameModeTitle:
            if (!m_pTitle) {
                m_pTitle = new CTitleMode;
                ShowCursorSprite();
            }
            m_Mode = m_pTitle->Run();
            if (m_Mode != mode) {
                DeleteModeObject(mode);
                again = true;
            }
            break;
        case GameModeNameEntry:
            if (!m_pNameEntry) {
                m_pNameEntry = new CNameEntryMode;
                m_pNameEntry->Open();
            }
            m_Mode = m_pNameEntry->Run();
            if (m_Mode != mode) DeleteModeObject(mode);
            break;
        case GameModeScene:
            again = RunSceneStep(&sceneRecreated);
            break;
        case GameModeExtra:
            if (!m_pExtra) {
                m_pExtra = new CExtraMode;
                m_pExtra->Open();
            }
            m_Mode = m_pExtra->Run();
            if (m_Mode != mode) {
                DeleteModeObject(mode);
                m_LastBarHover = m_LastBarPressed = -1;
                again = true;
            }
            break;
        default:
            // The movie and the ending run ahead of the gates.
            break;
        }
        if (!again) return;
    }
}

bool CGameCtrl::RunSceneStep(bool* sceneRecreated) {
    if (!m_pScene) {
        m_pScene = new CGameScene;
        if (!m_pScene->LoadScript(g_pConfig ? g_pConfig->GetScenarioPath("main.sct") : "main.sct")) {
            ReportError(kScriptLoadFailed);
            // Nothing of a scene without a script may run or draw over the report.
            DeleteAndClear(m_pScene);
            return false;
        }
        if (m_PendingLoadSlot != -1) {
            m_pScene->Load(m_PendingLoadSlot);
            m_PendingLoadSlot = -1;
            if (g_pScreen) {
                g_pScreen->ClearFade();
                g_pScreen->SetEffect(1);
                g_pScreen->Fade(CScreen::kWhiteIn);
            }
            return false;
        }
    }
    // A scene that finished outside its own Run is ended the same way as one that finishes in it.
    if (!m_pScene->IsFinished()) {
        m_Mode = m_pScene->Run(this);
        if (m_Mode == GameModeScene && !m_pScene->IsFinished()) return false;
    }
    DeleteModeObject(GameModeScene);
    m_LastBarHover = m_LastBarPressed = -1;
    if (m_Mode == GameModeEnding) return false;
    if (m_Mode == GameModeScene) {
        if (*sceneRecreated) return false;
        *sceneRecreated = true;
    }
    return true;
}

void CGameCtrl::Update() {
    if (g_pScreen) g_pScreen->Update();
    ForModeObject([](auto* mode) { mode->FlushUpdateRect(); });
    if (m_pDialog) m_pDialog->FlushUpdateRect();
    ForFirstPanel([](auto* panel) { panel->FlushUpdateRect(); });
    FlushToUpdateRegion(&m_UpdateRect);
}

void CGameCtrl::DrawFrameBody(IDirectDrawSurface* surface, bool withDialog) {
    const bool panel = ForFirstPanel([surface](auto* p) { p->Draw(surface); });
    if (!panel) {
        if (g_pScreen) g_pScreen->Draw(surface);
        ForModeObject([surface](auto* mode) { mode->Draw(surface); });
    }
    if (m_pDialog) {
        if (withDialog) m_pDialog->Draw(surface);
    } else if (!panel && m_pBar) {
        m_pBar->Draw(surface);
    }
}

HRESULT CGameCtrl::Draw(IDirectDrawSurface* surface) {
    DrawFrameBody(surface, true);
    return m_pCursor ? m_pCursor->Draw(surface) : 0;
}

void CGameCtrl::RecreateSurfaces(IDirectDraw* dd) {
    if (!m_bInitialized) return;
    if (g_pTransition) g_pTransition->RequestStop();
    // The new back buffer holds nothing of the last frame: the next one draws all of it.
    MarkWholeScreen();
    for (CLayer* sprite : {m_pCursor, m_pBar}) {
        if (!sprite) continue;
        sprite->Restore(dd);
        sprite->SetColorKeyMode(2);
    }
    ForFirstPanel([dd](auto* panel) { panel->RecreateSurfaces(dd); });
    if (g_pScreen) g_pScreen->Restore(dd);
    ForModeObject([dd](auto* mode) { mode->RecreateSurfaces(dd); });
    // The dialog shows the screen as it stood: it is opened again over a fresh picture of it.
    if (m_bDialogOpen && m_pDialog) {
        CLayer* snapshot = TakeSnapshot();
        m_pDialog->Open(m_DialogKind, snapshot);
        DeleteLayerObject(snapshot);
    }
}

void CGameCtrl::ReleaseSurfaces() {
    if (!m_bInitialized) return;
    if (g_pTransition) g_pTransition->RequestStop();
    for (CLayer* sprite : {m_pCursor, m_pBar})
        if (sprite) sprite->ReleaseSurfaces();
    if (m_bDialogOpen && m_pDialog) m_pDialog->ReleaseSurfaces();
    ForFirstPanel([](auto* panel) { panel->ReleaseSurfaces(); });
    if (g_pScreen) g_pScreen->Release();
    ForModeObject([](auto* mode) { mode->ReleaseSurfaces(); });
}

void CGameCtrl::RestoreSurfaces() {
    if (!m_bInitialized) return;
    if (g_pTransition) g_pTransition->RequestStop();
    for (CLayer* sprite : {m_pCursor, m_pBar})
        if (sprite) sprite->RestoreIfLost();
    if (m_bDialogOpen && m_pDialog) m_pDialog->RestoreSurfaces();
    ForFirstPanel([](auto* panel) { panel->RestoreSurfaces(); });
    if (g_pScreen) g_pScreen->RestoreIfLost();
    ForModeObject([](auto* mode) { mode->RestoreSurfaces(); });
}
