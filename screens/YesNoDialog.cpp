#include "screens/YesNoDialog.h"

#include "graphics/Layer.h"
#include "platform/window.h"

namespace {
constexpr RECT kDialogRect = {146, 202, 530, 330};
constexpr RECT kButtons[2] = {{214, 289, 302, 321}, {368, 289, 456, 321}};
// "sg007": yes and no hovered, then yes and no pressed.
constexpr RECT kHoverArt[2] = {{0, 0, 88, 32}, {0, 32, 88, 64}};
constexpr RECT kPressedArt[2] = {{0, 64, 88, 96}, {0, 96, 88, 128}};
const PushButtonTable kButtonTable = {kButtons, CYesNoDialog::kYes, 2, kHoverArt, kPressedArt, 0};

// "sg006" holds one 384x128 message a kind, one under the other. The chosen one is the single cell of
// the message picture, blended over the snapshot where the dialog stands.
constexpr int kMessageWidth = 384;
constexpr int kMessageHeight = 128;
constexpr CellSetDescriptor kMessageSets = {1, 1, kMessageWidth, kMessageHeight* CYesNoDialog::kKindCount};
constexpr DWORD kCellsPerSet[1] = {1};
constexpr CellTableEntry MessageCell(int kind) {
    const RECT source = {0, kMessageHeight * kind, kMessageWidth, kMessageHeight * (kind + 1)};
    return CellTableEntry{0, 0, source, source, kDialogRect.left, kDialogRect.top};
}
constexpr CellTableEntry kMessageCells[CYesNoDialog::kKindCount] = {MessageCell(0), MessageCell(1),
                                                                    MessageCell(2), MessageCell(3)};

// The system voice that asks each question, or none.
constexpr const char* kQuestionVoice[CYesNoDialog::kKindCount] = {"svo0002", nullptr, "svo0000", "svo0001"};
} // namespace

const RECT& CYesNoDialog::GetDialogRect() {
    return kDialogRect;
}

CYesNoDialog::CYesNoDialog()
    : m_Buttons(kButtonTable), m_pMessage(nullptr), m_pButtonArt(nullptr), m_Result(0), m_Kind(kQuit),
      m_Focus(-1) {
    m_pRectTable = kButtons;
    m_nRectCount = 2;
}

CYesNoDialog::~CYesNoDialog() {
    DeletePictures();
}

void CYesNoDialog::DeletePictures() {
    m_pMessage = DeleteLayerObject(m_pMessage);
    m_pButtonArt = DeleteLayerObject(m_pButtonArt);
}

void CYesNoDialog::Open(int kind, CLayer* snapshot) {
    if (kind < 0 || kind >= kKindCount) return;
    DeletePictures();
    m_pMessage = CreateLayerObject(0);
    m_pMessage->CreateCellSets(&kMessageSets, kCellsPerSet, &kMessageCells[kind], 1);
    if (m_pMessage->Load("sg006", 1, 0, 0, 0, 0) && snapshot) m_pMessage->PreBlend(snapshot->GetSurface());
    m_pButtonArt = CreateLayerObject(1);
    m_pButtonArt->Load("sg007", 1, 0, 0, 1, 0);
    if (kQuestionVoice[kind]) PlayInterfaceVoice(kQuestionVoice[kind]);
    m_Kind = kind;
    m_UpdateRect.AddRect(&kDialogRect);
}

int CYesNoDialog::GetResult() const {
    return m_Result;
}

int CYesNoDialog::GetKind() const {
    return m_Kind;
}

void CYesNoDialog::OnMouseMove(int x, int y) {
    m_Buttons.OnMouseMove(*this, x, y, m_pButtonArt, &m_UpdateRect);
    if (m_nCurrent == -1) m_Focus = m_nHover;
    m_UpdateRect.AddRect(&kDialogRect);
}

void CYesNoDialog::OnLButtonDown(int x, int y) {
    m_Buttons.OnLButtonDown(*this, x, y, m_pButtonArt, &m_UpdateRect);
    m_UpdateRect.AddRect(&kDialogRect);
}

void CYesNoDialog::OnLButtonUp(int x, int y) {
    if (!m_Buttons.OnLButtonUp(*this, x, y, m_pButtonArt, &m_UpdateRect)) return;
    m_UpdateRect.AddRect(&kDialogRect);
    if (m_nCurrent == kYes) {
        m_Result = 1;
        if (m_Kind == kReturnToTitle)
            PlayInterfaceVoice("svo0003");
        else
            PlayInterfaceSE("Se001");
    } else if (m_nCurrent == kNo) {
        m_Result = 2;
        PlayInterfaceSE("Se002");
    } else {
        m_Result = 0;
    }
}

void CYesNoDialog::SimulateAtFocus(void (CYesNoDialog::*handler)(int, int)) {
    const POINT corner = m_Buttons.Corner(m_Focus);
    (this->*handler)(corner.x, corner.y);
}

void CYesNoDialog::OnKeyDown(UINT vk) {
    if (vk == VK_LEFT || vk == VK_RIGHT) {
        if (m_Focus == -1)
            m_Focus = vk == VK_LEFT ? kNo : kYes;
        else
            m_Focus = m_Focus == kYes ? kNo : kYes;
        SimulateAtFocus(&CYesNoDialog::OnMouseMove);
    } else if ((vk == VK_RETURN || vk == VK_SPACE) && m_Focus != -1) {
        SimulateAtFocus(&CYesNoDialog::OnLButtonDown);
    }
}

void CYesNoDialog::OnKeyUp(UINT vk) {
    if (vk != VK_RETURN && vk != VK_SPACE) return;
    m_Result = m_Focus == kYes ? 1 : m_Focus == kNo ? 2 : 0;
    if (m_Focus != -1) SimulateAtFocus(&CYesNoDialog::OnLButtonUp);
}

void CYesNoDialog::FlushUpdateRect() {
    FlushToUpdateRegion(&m_UpdateRect);
}

HRESULT CYesNoDialog::Draw(IDirectDrawSurface* target) {
    for (CLayer* layer : {m_pMessage, m_pButtonArt}) {
        if (!layer) continue;
        const HRESULT hr = layer->Draw(target);
        if (hr != DD_OK) return hr;
    }
    return DD_OK;
}

bool CYesNoDialog::RecreateSurfaces(IDirectDraw* dd) {
    bool ok = true;
    for (CLayer* layer : {m_pMessage, m_pButtonArt})
        if (layer) ok = layer->Restore(dd) && ok;
    return ok;
}

bool CYesNoDialog::ReleaseSurfaces() {
    for (CLayer* layer : {m_pMessage, m_pButtonArt})
        if (layer) layer->ReleaseSurfaces();
    return true;
}

bool CYesNoDialog::RestoreSurfaces() {
    for (CLayer* layer : {m_pMessage, m_pButtonArt})
        if (layer) layer->RestoreIfLost();
    return true;
}
