// The game scene: one object that holds a loaded compiled script, runs its bytecode and carries out
// its host commands, one a frame. It owns the message window and the calendar, runs the scene's
// modes (text, choices, costume choice, choice grid), its waits and timers, and takes the player's
// input: clicks, skipping, hiding the window and the backlog. The save-state snapshot, read-text
// marking and the costume choice are parts of the same class kept in files of their own.
#pragma once

#include "graphics/HitArea.h"
#include "graphics/UpdateRect.h"
#include "platform/base.h"
#include "screens/OverlaySupport.h"
#include "script/CallFrame.h"
#include "script/PtrList.h"
#include "script/SceneState.h"
#include "script/ScriptFormat.h"

#include <cstdio>
#include <string>
#include <vector>

struct ReadTextBlock;
struct ReadTextEntry;
class CGameCtrl;
class CLayer;
class CMessageWindow;
class CCalendar;
class CChoiceGrid;
struct IDirectDraw;
struct IDirectDrawSurface;

// The path of the open script, kept so that blocks can be read from it when they are called.
extern char g_ScriptPath[MAX_PATH];

class CGameScene {
  public:
    // A block record together with what has been loaded for it.
    struct ScriptBlock {
        BlockRecord record;
        bool loaded = false; // code holds the block's bytecode
        std::vector<BYTE> code;
        std::vector<VariableEntry> variables;
        std::vector<LineRecord> lines;
    };

    // Scene modes.
    enum : int {
        kModeText = 0,
        kModeChoices = 1,
        kModeCostume = 2,
        kModeGrid = 3,
        kModeRun = 4,
        kModeRedisplay = 5,
        kModeLoadFailed = 6,
    };
    // Run states, the value the owner reads each frame.
    enum : int { kRunTitle = 3, kRunStay = 5, kRunEnding = 6 };
    // Wait kinds.
    enum : int { kWaitNone = 0, kWaitTimed = 1, kWaitTimer = 2, kWaitTimedOrClick = 3 };
    // Text states between new pages.
    enum : int { kTextNone = 0, kTextShown = 1, kTextNewPage = 2 };
    static constexpr int kTimerCount = 10;
    static constexpr int kLayerCount = 10;
    // Flag bits of r15.
    enum : DWORD { kFlagPositive = 1, kFlagZero = 2, kFlagX = 4 };
    static constexpr DWORD kLoadFailed = 0xFFFFFFFFu;
    static constexpr int kRegisterCount = 16;

    CGameScene();
    ~CGameScene();
    CGameScene(const CGameScene&) = delete;
    CGameScene& operator=(const CGameScene&) = delete;

    // --- Loader ---
    // Takes the read-text tables from the save data and loads the script; 1 on success, 0 when the
    // scene holds no runnable script.
    int LoadScript(const char* path);
    bool LoadScriptFile(const char* path);
    // Loads a block body from `file` (the open script) or, with null, from a fresh open of
    // g_ScriptPath. The block's code size, or kLoadFailed.
    DWORD LoadBlock(int block, std::FILE* file);
    void FreeScript();

    // Linear searches without regard to case; the first match wins. -1 or null when absent.
    int FindBlock(const char* name) const;
    const SoundDef* FindSound(const char* id) const;
    const GraphicDef* FindGraphic(const char* id) const;

    // --- Interpreter ---
    // Runs instructions until a host command (result 1, pc at its group byte), a return or the end of
    // the code (result 0).
    int Execute();
    // The instruction number of a code byte (bit 0 ignored), or -1.
    static int DecodeOpcode(BYTE code);
    // The destination and source cells of the two-operand instruction at pc; the length of its
    // operand bytes (2, 5 or 9), or 0 after a script fault.
    int DecodeOperands(BYTE code, BYTE** dest, BYTE** src);
    // The `size` bytes at a script address (bit 31: data blob, else the current code); null when
    // they do not lie wholly inside that area.
    BYTE* ResolveAddress(DWORD value, DWORD size = 4);
    void SetFlags(DWORD value);
    // Host command 0/1: calls the named block. False when nothing was called.
    bool CallBlock(const char* name);
    // Puts the source line of pc into the error log's script line.
    void UpdateScriptLine();

    // --- Host commands ---
    // Carries out the host command Execute stopped at and moves pc past it.
    void DispatchCommand();
    // The value in the cell whose address an argument register holds; 0 after a script fault.
    DWORD GetArgValue(DWORD reg);
    // The buffer an argument cell points at, in the cell's own area; `space` receives the bytes left
    // up to the end of that area. Null after a script fault.
    char* GetArgPointer(DWORD reg, DWORD* space = nullptr);
    // GetArgPointer for a text that must end inside its area.
    char* GetArgText(DWORD reg);
    void ReportBadIndex(DWORD count, DWORD index);
    void WatchVariable(const char* name, DWORD slot, DWORD x, DWORD y);
    void UnwatchVariable(DWORD slot);
    void ReportUnknownID(const char* id);
    // Clears what the script put on the screen and stops the script for good.
    void AbortScript();
    // The layer checks of the picture commands; each reports a script error and returns false.
    bool CheckLayerNumber(int layer, const char* id);
    bool CheckLayerFree(int layer, const char* newId);
    bool CheckLayerUsed(int layer, const char* id);
    // A sound of another kind than `kind` was named.
    void ReportSoundKind(int kind, const char* id);

    // --- Read-text tracking ---
    void SelectReadTable(const char* blockName);
    void MarkTextRead();
    // 1 when the text ahead is already read; sets the run state's already-read flag to match.
    int CheckSkipAllowed();

    // --- Frame, input and display (the handler scheme of the screens) ---
    // One frame; the next mode (5 to stay).
    int Run(CGameCtrl* gameCtrl);
    void OnMouseMove(int x, int y);
    void OnLButtonDown(int x, int y);
    void OnLButtonUp(int x, int y);
    void OnRButtonDown();
    void OnWheelUp();
    void OnWheelDown();
    void OnKeyDown(UINT vk);
    void OnKeyUp(UINT vk);
    void FlushUpdateRect();
    HRESULT Draw(IDirectDrawSurface* target);
    bool RecreateSurfaces(IDirectDraw* dd);
    bool ReleaseSurfaces();
    bool RestoreSurfaces();
    // False while the backlog is open or the costume choice or the choice grid runs.
    bool CanOpenMenu() const;
    bool IsBacklogOpen() const;
    void CloseBacklog();
    // The left button went down here and something else took its release: the widget that took the
    // press (choices, costume buttons, choice grid) sees a release outside it.
    void CancelPress();
    // Shows the rest of the page at once.
    void FinishText();
    void ReplayVoice();
    // Ends a running wait when its time has come (or at once while skipping); true when none runs.
    bool PollWait();
    // The three-letter key sequence that plays a hidden voice once per scene.
    void CheckSecretKey(UINT vk);
    // Deletes the pictures of screen layers 1-9.
    void FreeLayers();
    void SetMenuEnabled(BYTE on);
    void GetStatusValues(DWORD* v0, DWORD* v1, DWORD* v2, DWORD* v3) const;
    CMessageWindow* GetMessageWindow() const;

    // --- Save-state snapshot ---
    void CaptureState();
    // A new record and its size (533), or a new blob and its size; the caller frees them with delete[].
    BYTE* BuildStateRecord(DWORD* size);
    BYTE* BuildScriptState(DWORD* size);
    void RestoreStateRecord(const BYTE* record, DWORD size);
    int RestoreScriptState(const BYTE* blob, DWORD size);
    void RedisplayAfterLoad();
    bool Save(int slot);
    bool Load(int slot);

    // --- Costume choice, calendar and choice grid ---
    void EnterCostumeChoice(int costume);
    void OnCostumeClick(int x, int y);
    void SetDay(int day);
    void SetWeekday(int weekday);
    void SetTimeOfDay(int timeOfDay);
    void OpenChoiceGrid();
    // The costume choice's share of the scene's input in mode 2.
    void OnCostumeMouseMove(int x, int y);
    void OnCostumeButtonDown(int x, int y);
    void OnCostumeKeyDown(UINT vk);
    void OnCostumeKeyUp(UINT vk);

    // --- State ---
    int GetRunState() const { return m_RunState; }
    BOOL IsFinished() const { return m_bFinished ? TRUE : FALSE; }
    int GetSceneMode() const { return m_SceneMode; }
    int GetWaitKind() const { return m_WaitKind; }
    DWORD GetWaitDue() const { return m_WaitDue; }
    DWORD GetTimer(int n) const { return (n >= 0 && n < kTimerCount) ? m_Timers[n] : 0; }
    int GetTextState() const { return m_TextState; }
    DWORD GetResumePc() const { return m_ResumePc; }
    const char* GetResumeBlock() const { return m_ResumeBlock; }
    bool IsWindowShown() const { return m_bWindowShown; }
    bool IsWindowVisible() const { return m_bWindowVisible; }
    bool IsCalendarShown() const { return m_bCalendarShown; }
    bool IsCalendarVisible() const { return m_bCalendarVisible; }
    int GetGridResult(int n) const { return (n >= 0 && n < 3) ? m_GridResults[n] : 0; }
    const SceneStateRecord& GetLiveState() const { return m_LiveState; }
    CCalendar* GetCalendar() const { return m_pCalendar; }
    BOOL IsMenuEnabled() const { return m_bMenuEnabled ? TRUE : FALSE; }
    // True once a script fault or a host command aborted the script.
    bool IsHalted() const { return m_bHalted; }
    DWORD GetRegister(int n) const { return (n >= 0 && n < kRegisterCount) ? m_Registers[n] : 0; }
    void SetRegister(int n, DWORD value) {
        if (n >= 0 && n < kRegisterCount) m_Registers[n] = value;
    }
    DWORD GetPc() const { return m_Pc; }
    void SetPc(DWORD pc) { m_Pc = pc; }
    int GetCurrentBlock() const { return m_CurrentBlock; }
    DWORD GetCodeSize() const { return m_CodeSize; }
    const BYTE* GetCode() const { return m_pCode; }
    int GetBlockCount() const { return static_cast<int>(m_Blocks.size()); }
    const ScriptBlock* GetBlock(int n) const {
        return (n >= 0 && n < GetBlockCount()) ? &m_Blocks[static_cast<std::size_t>(n)] : nullptr;
    }
    int GetSoundCount() const { return static_cast<int>(m_Sounds.size()); }
    int GetGraphicCount() const { return static_cast<int>(m_Graphics.size()); }
    const std::vector<VariableEntry>& GetGlobalVariables() const { return m_GlobalVariables; }
    const std::vector<LineRecord>* GetLineTable() const { return m_pLines; }
    std::vector<BYTE>& GetDataBlob() { return m_DataBlob; }
    const std::vector<BYTE>& GetDataSnapshot() const { return m_DataSnapshot; }
    const std::vector<BYTE>& GetCodeSnapshot() const { return m_CodeSnapshot; }
    DWORD GetSavedStart() const { return m_SavedStart; }
    DWORD GetSavedSize() const { return m_SavedSize; }
    CPtrList<CallFrame>& GetCallStack() { return m_CallStack; }
    // The read-text entries of the current block (null and 0 when it has none).
    const ReadTextEntry* GetReadEntries(DWORD* count) const {
        if (count) *count = m_ReadEntryCount;
        return m_pReadEntries;
    }

    // A bound on the instructions one Execute runs (0: none). A pass cut short returns 0 with pc at
    // the next instruction, so the next pass goes on from there. Fuzzing and tests of endless
    // loops use it; the game never sets it.
    void SetStepLimit(DWORD steps) { m_StepLimit = steps; }

  private:
    // Reports a fatal script error with the current source line and aborts the script.
    void ScriptFault(const char* message1, const char* message2 = nullptr, const char* message3 = nullptr);
    void ScriptFaultAddress(DWORD address);
    // ResolveAddress that reports an address outside its area as a script fault.
    BYTE* CellOrFault(DWORD address, DWORD size = 4);
    // One arithmetic, logic or compare instruction; false after a script fault.
    bool RunTwoOperand(int op, BYTE code);
    // The cell a register operand byte names: the register, or with bit 6 the memory cell at the
    // address it holds. Null after a script fault.
    BYTE* RegisterCell(BYTE operand, bool indirect);
    // Opcodes 0x46/0x48.
    void ReturnFromBlock();
    // True when a frame of the call stack runs the block.
    bool IsBlockOnStack(int block) const;
    // Drops a block's code (unless kept), variable and line tables, and watches into its code.
    void ReleaseBlock(int block, bool keepCode);
    void MakeBlockCurrent(int block);
    void ForgetWatchesInto(const BYTE* begin, std::size_t size);
    // The loading steps after the open; null on success, else why the file was refused.
    const char* ReadScriptFile(std::FILE* fp);
    bool ReadBlockTables(int block, std::FILE* file, long long fileSize, std::vector<VariableEntry>* globals,
                         std::vector<VariableEntry>* variables, std::vector<LineRecord>* lines,
                         bool* hasGlobals);
    void DispatchScriptControl(DWORD sub);
    // Every host command group but 0 goes here, one file a group.
    void DispatchHostCommand(BYTE group, DWORD sub);
    void DispatchStrings(DWORD sub);
    void DispatchText(DWORD sub);
    void DispatchRandom(DWORD sub);
    void DispatchTime(DWORD sub);
    void DispatchPictures(DWORD sub);
    void DispatchSound(DWORD sub);
    void DispatchCalendar(DWORD sub);
    void DispatchGameState(DWORD sub);

    // Argument n (r1..r12): the value of its cell, its text, or the buffer its cell points at with
    // the bytes left in that buffer's area. After a script fault: 0 or null, and m_bHalted is set.
    DWORD Arg(int n) { return GetArgValue(m_Registers[n]); }
    char* ArgText(int n) { return GetArgText(m_Registers[n]); }
    char* ArgBuffer(int n, DWORD* space) { return GetArgPointer(m_Registers[n], space); }
    // Writes the text into argument n's buffer, cut at a character boundary to fit its area.
    void StoreText(int n, const std::string& text);

    // Group 1.
    void CmdSubString();
    void CmdStringToNumber();
    void CmdNumberToString();
    // Group 2.
    void CmdSetText();
    void CmdNewPage();
    void CmdNewPageClearName();
    void CmdShowChoices();
    void CmdGetPlayerName();
    // Group 3.
    void CmdShuffle();
    // Group 5.
    void CmdWait();
    void CmdSetTimer();
    void CmdWaitTimer();
    void CmdEndScenario();
    void CmdWaitOrClick();
    void EndWait();
    // Group 10: the graphic of text r1, or null after an error.
    const GraphicDef* ArgGraphic();
    void CmdLoadGraphic(BYTE visible);
    void CmdShowGraphic();
    void CmdHideGraphic(bool remove);
    void CmdRemoveGraphic();
    void CmdCreateLayer();
    void CmdDrawLayer();
    void CmdSetDrawPoint();
    void CmdSetDrawRect();
    void CmdDeleteLayer();
    void CmdChangeGraphic(bool keepPosition);
    void CmdShowCG();
    void CmdReloadBackground(int filter);
    void CmdBackgroundFilter(int filter);
    // A layer that holds a picture, for commands naming a layer by number; null after an error.
    CLayer* UsedLayer(DWORD layer, const char* id);
    void DeleteLayerPicture(int layer);
    void MarkWholeScreen();
    // Group 20: the sound of text r1 when it has `kind` (null when unknown, or after the error).
    const SoundDef* ArgSound(int kind);
    void CmdPlayBGM();
    void CmdPlayLoopSE();
    void CmdPlayVoice();
    // The voice of the current line: named to the window, played unless skipping.
    void PlayLineVoice(const char* name);
    // 20/9 and 20/11 (kind 1 music, kind 0 a looping effect); 20/10 and 20/12.
    void CmdFadeInSound(int kind);
    void CmdFadeOutSound(int kind);
    void CmdChangeBGM();
    void CmdPlayVoiceNumber();
    // Group 201.
    void CmdIsEffectSkipped();
    void CmdSetGridLevels(int first, int count);
    void CmdRaiseBestValue();
    void CmdSetStatusValues();
    // Group 204.
    void CmdSetSceneFlag();

    // The resume point: pc in the block on top of the call stack.
    void SetResumePoint(DWORD pc);
    // The window's Update with the whole page laid out at once.
    void UpdateWholePage();
    // Mode 0: asks the window for its state; true when the script runs this frame.
    bool PollText();
    // The player hid the window the script showed.
    bool IsWindowHiddenByPlayer() const { return m_bWindowShown && !m_bWindowVisible; }
    // The decided choice goes to r0 and the script goes on.
    void TakeChoiceResult();
    // The choice grid's decision: its results are kept and the grid goes away.
    void TakeGridResult();
    // The costume choice: its buttons, the cells of the chosen costume and its neighbours, and the
    // veil blended over the neighbours as they are now; a step to another costume.
    static const PushButtonTable& CostumeButtonTable();
    void RedrawCostumePreview();
    void ChangeCostume(int step);
    void OpenBacklog(bool fromChoices);
    // Takes the save data's read-text tables for this script.
    void TakeReadTextTables();

    // The save-state snapshot's own steps. A frame of the call stack as it stood at the capture,
    // with its local area copied, so that calls and returns later in the page do not change it.
    struct SnapFrame {
        char blockName[sizeof(CallFrame::blockName)];
        DWORD returnPc;
        std::vector<BYTE> localArea;
    };
    // The capture a fresh scene takes, so that a save before the first page resumes at the start.
    void CaptureSceneStart();
    void CaptureLayers();
    void CaptureFrames();
    // A slot's blobs are outside data: each is checked whole against this script before anything of
    // the scene changes.
    bool IsValidStateRecord(const BYTE* record, DWORD size) const;
    bool IsValidScriptState(const BYTE* blob, DWORD size) const;
    // Drops the frames above the bottom one, as if each had returned.
    void UnwindToBottom();

    // Script tables.
    std::vector<SoundDef> m_Sounds;
    std::vector<GraphicDef> m_Graphics;
    std::vector<ScriptBlock> m_Blocks;
    std::vector<VariableEntry> m_GlobalVariables;
    std::vector<BYTE> m_DataBlob;
    std::vector<BYTE> m_DataSnapshot; // the blob as at the last capture
    std::vector<BYTE> m_CodeSnapshot; // the current block's code as at the last capture
    DWORD m_SavedStart = 0;           // the part of the blob that a save keeps
    DWORD m_SavedSize = 0;

    // Interpreter.
    DWORD m_Registers[kRegisterCount] = {};
    DWORD m_Pc = 0;
    BYTE* m_pCode = nullptr;
    DWORD m_CodeSize = 0;
    const std::vector<LineRecord>* m_pLines = nullptr;
    int m_CurrentBlock = 0;
    CPtrList<CallFrame> m_CallStack;
    DWORD m_StepLimit = 0;
    bool m_bHalted = false;

    // Scene state.
    int m_SceneMode = kModeRun;
    int m_RunState = kRunStay;
    bool m_bFinished = false;
    bool m_bMenuEnabled = true;
    bool m_bWindowShown = false;
    bool m_bWindowVisible = false;
    bool m_bCalendarShown = false;
    bool m_bCalendarVisible = false;
    bool m_bBacklogOpen = false;
    bool m_bBacklogFromChoices = false;
    // The window flags as they were when the backlog was opened over the choices.
    bool m_bShownBeforeBacklog = false;
    bool m_bVisibleBeforeBacklog = false;
    CUpdateRect m_UpdateRect;

    // Waits and timers, in milliseconds of the system tick count.
    int m_WaitKind = kWaitNone;
    DWORD m_WaitDue = 0;
    DWORD m_Timers[kTimerCount] = {};
    bool m_TimerSet[kTimerCount] = {}; // a timer never set is due from the start

    // Text.
    int m_WindowState = 0; // the last result of the window's Update
    bool m_bFinishText = false;
    int m_TextState = kTextNone;
    DWORD m_ResumePc = 0;
    char m_ResumeBlock[sizeof(CallFrame::blockName)] = "";
    int m_RecordedFontSize = 0;

    // The state record the commands keep up to date, and the one captured at the page's start.
    SceneStateRecord m_LiveState = {};
    SceneStateRecord m_SnapState = {};
    std::vector<SnapFrame> m_SnapFrames;

    // What the scene owns.
    CMessageWindow* m_pMessageWindow = nullptr;
    CCalendar* m_pCalendar = nullptr;
    CChoiceGrid* m_pChoiceGrid = nullptr;
    int m_GridResults[3] = {};

    // Costume choice.
    class CostumeButtons : public CHitArea {
      public:
        void SetRegions(const RECT* table, int count) {
            m_pRectTable = table;
            m_nRectCount = count;
        }
    };
    CostumeButtons m_CostumeButtons;
    CLayer* m_pCostumePreview = nullptr;
    int m_Costume = 0;
    // The buttons' art and the last hover and press, with their sounds.
    CPushButtonArt m_CostumeArt{CostumeButtonTable()};

    // The hidden key sequence.
    bool m_bSecretDone = false;
    bool m_bSecretProgress = false;
    char m_SecretKeys[2] = {};

    // Read-text tables of the save data and the current block's entries.
    ReadTextBlock* m_pReadTextBlocks = nullptr;
    ReadTextEntry** m_ppReadTextEntries = nullptr;
    DWORD m_ReadTextBlockCount = 0;
    ReadTextEntry* m_pReadEntries = nullptr;
    DWORD m_ReadEntryCount = 0;
    int m_LastReadIndex = -1;
    long long m_LastReadPc = -1;
};
