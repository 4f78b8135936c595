#include "screens/StatusPanel.h"

#include "app/RunState.h"
#include "graphics/Layer.h"
#include "platform/window.h"

namespace {
constexpr RECT kCloseButton = {543, 437, 627, 477};
constexpr RECT kCloseHover = {0, 0, 84, 40};
constexpr RECT kClosePressed = {0, 40, 84, 80};
const PushButtonTable kButtonTable = {&kCloseButton, 0, 1, &kCloseHover, &kClosePressed, 0};

constexpr int kGaugeX[CStatusPanel::kGaugeCount] = {167, 257, 344, 432};
// Where each step's bar begins in "sg042"; every bar runs down to the sheet's row 400 and is drawn so
// that it ends at screen row 422, growing upwards. The last step shows nothing.
constexpr int kSheetBottom = 400;
constexpr int kScreenBottom = 422;
constexpr int kStepTop[CStatusPanel::kStepCount - 1] = {0,   18,  35,  55,  77,  97,  117, 137, 158, 178,
                                                        200, 221, 240, 261, 281, 302, 322, 343, 363, 382};
constexpr int kEmptyStep = CStatusPanel::kStepCount - 1;

LONG StepThreshold(int step) {
    return CStatusPanel::kFullValue - 500 * step;
}

CLayer* LoadPicture(const char* name, int parts) {
    CLayer* layer = CreateLayerObject(parts);
    layer->Load(name, 1, 0, 0, 0, 0);
    return layer;
}
} // namespace

CStatusPanel::CStatusPanel()
    : m_Button(kButtonTable), m_pBackground(nullptr), m_pButtonArt(nullptr),
      m_pGauges(nullptr), m_Values{}, m_Steps{-1, -1, -1, -1}, m_bCloseRequested(0), m_Focus(-1) {}

CStatusPanel::~CStatusPanel() {
    Close();
}

bool CStatusPanel::Open(DWORD value0, DWORD value1, DWORD value2, DWORD value3) {
    // Opened again, the panel starts over instead of losing its pictures.
    Close();
    const DWORD values[kGaugeCount] = {value0, value1, value2, value3};
    for (int g = 0; g < kGaugeCount; ++g) {
        const LONG v = static_cast<LONG>(values[g]);
        m_Values[g] = v > kFullValue ? kFullValue : v;
    }
    m_pBackground = LoadPicture("sg040", 0);
    m_pButtonArt = LoadPicture("sg041", 1);
    m_pGauges = LoadPicture("sg042", kGaugeCount);
    DrawGauges();
    m_UpdateRect.AddRect(GetScreenRect());
    m_pRectTable = &kCloseButton;
    m_nRectCount = 1;
    return true;
}

void CStatusPanel::Close() {
    m_pBackground = DeleteLayerObject(m_pBackground);
    m_pButtonArt = DeleteLayerObject(m_pButtonArt);
    m_pGauges = DeleteLayerObject(m_pGauges);
}

bool CStatusPanel::IsCloseRequested() const {
    return m_bCloseRequested != 0;
}

void CStatusPanel::DrawGauges() {
    for (int g = 0; g < kGaugeCount; ++g) {
        int step = 0;
        while (step < kStepCount && m_Values[g] < StepThreshold(step))
            ++step;
        if (step == kStepCount) {
            // Below 0: no step at all.
            m_Steps[g] = -1;
            m_pGauges->ClearPart(g);
            continue;
        }
        m_Steps[g] = step;
        if (step == kEmptyStep) {
            const RECT empty = {0, 0, 0, 0};
            m_pGauges->SetPart(&empty, kGaugeX[g], 0, g);
        } else {
            const RECT bar = {0, kStepTop[step], 30, kSheetBottom};
            m_pGauges->SetPart(&bar, kGaugeX[g], kScreenBottom - (kSheetBottom - kStepTop[step]), g);
        }
    }
    m_UpdateRect.AddRect(GetScreenRect());
}

void CStatusPanel::OnMouseMove(int x, int y) {
    m_Button.OnMouseMove(*this, x, y, m_pButtonArt, &m_UpdateRect);
    if (m_nCurrent != 0) m_Focus = m_nHover == 0 ? 0 : -1;
}

void CStatusPanel::OnLButtonDown(int x, int y) {
    m_Button.OnLButtonDown(*this, x, y, m_pButtonArt, &m_UpdateRect);
}

void CStatusPanel::OnLButtonUp(int x, int y) {
    if (!m_Button.OnLButtonUp(*this, x, y, m_pButtonArt, &m_UpdateRect)) return;
    if (m_nCurrent == 0) {
        m_bCloseRequested = 1;
        PlayInterfaceSE("Se001");
    }
}

void CStatusPanel::SimulateAtButton(void (CStatusPanel::*handler)(int, int)) {
    const POINT corner = m_Button.Corner(0);
    (this->*handler)(corner.x, corner.y);
}

void CStatusPanel::OnKeyDown(UINT vk) {
    if (vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN) {
        SimulateAtButton(&CStatusPanel::OnMouseMove);
        m_Focus = 0;
    } else if (vk == VK_RETURN && m_Focus == 0) {
        SimulateAtButton(&CStatusPanel::OnLButtonDown);
    }
}

void CStatusPanel::OnKeyUp(UINT vk) {
    if (vk == VK_RETURN && m_Focus == 0) SimulateAtButton(&CStatusPanel::OnLButtonUp);
}

void CStatusPanel::FlushUpdateRect() {
    FlushToUpdateRegion(&m_UpdateRect);
}

bool CStatusPanel::Draw(IDirectDrawSurface* target) {
    bool drawn = false;
    for (CLayer* layer : {m_pBackground, m_pButtonArt, m_pGauges})
        if (layer && layer->Draw(target) == DD_OK) drawn = true;
    return drawn;
}

bool CStatusPanel::RecreateSurfaces(IDirectDraw* dd) {
    bool ok = true;
    for (CLayer* layer : {m_pBackground, m_pButtonArt, m_pGauges})
        if (layer) ok = layer->Restore(dd) && ok;
    return ok;
}

bool CStatusPanel::ReleaseSurfaces() {
    for (CLayer* layer : {m_pBackground, m_pButtonArt, m_pGauges})
        if (layer) layer->ReleaseSurfaces();
    return true;
}

bool CStatusPanel::RestoreSurfaces() {
    for (CLayer* layer : {m_pBackground, m_pButtonArt, m_pGauges})
        if (layer) layer->RestoreIfLost();
    return true;
}
