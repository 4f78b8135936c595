// The start-up pictures: black, "sg000" for a second, "sg002" faded in, "sg000" faded in again, then
// the title; or straight on to the opening movie when the movie is switched on.
#include "screens/LogoMode.h"

#include "app/GameCtrl.h"
#include "app/RunState.h"
#include "files/Config.h"
#include "graphics/Layer.h"
#include "graphics/Screen.h"
#include "platform/time.h"

namespace {
constexpr DWORD kFirstPictureMs = 1000;
constexpr DWORD kLogoMs = 2700;
constexpr DWORD kLastPictureMs = 2000;
} // namespace

CLogoMode::CLogoMode() {
    if (!g_pScreen) return;
    CLayer* black = CreateLayerObject(0);
    if (black) {
        black->CreateBlank(*GetScreenSize(), 0);
        black->Fill(0, nullptr);
        black->m_bVisible = 1;
    }
    DeleteLayerObject(g_pScreen->SetLayer(0, black));
    // The logo fades whatever the settings say.
    g_pScreen->SetEffectEnable(1);
}

CLogoMode::~CLogoMode() {
    if (g_pScreen) g_pScreen->SetEffectEnable(g_pConfig && g_pConfig->GetEffectSwitch() == 1);
}

int CLogoMode::Run() {
    const DWORD now = timeGetTime();
    // Compared as a distance, so that a deadline past the clock's wrap still lies ahead.
    if (m_State != 0 && static_cast<LONG>(m_Deadline - now) > 0) return GameModeLogo;
    if (!g_pScreen) return GameModeTitle;
    switch (m_State) {
    case 0:
        if (g_pConfig && g_pConfig->GetMovieSwitch() == 1) return GameModeMovie;
        g_pScreen->SetEffect(0);
        g_pScreen->ChangeLayer(0, "sg000", 1, 0, 0, 0, -1, -1, -1, -1);
        m_Deadline = now + kFirstPictureMs;
        m_State = 1;
        return GameModeLogo;
    case 1:
        // A fade in alpha steps of 4 every 25 ms.
        g_pScreen->SetEffectParams(0, 0, 25, 4);
        g_pScreen->SetEffect(1);
        g_pScreen->ChangeLayer(0, "sg002", 1, 0, 0, 0, -1, -1, -1, -1);
        m_Deadline = now + kLogoMs;
        m_State = 2;
        return GameModeLogo;
    case 2:
        g_pScreen->ChangeLayer(0, "sg000", 1, 0, 0, 0, -1, -1, -1, -1);
        m_Deadline = now + kLastPictureMs;
        m_State = 3;
        return GameModeLogo;
    default:
        g_pScreen->SetEffect(0);
        return GameModeTitle;
    }
}
