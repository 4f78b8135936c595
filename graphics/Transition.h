// The transition engine: changes the screen from a "before" picture to an "after" picture over a
// number of frames, as a cross-fade, an ordered dither, a shake or a wipe along a rule mask from
// "mask.arc". The compositor is its only driver: it starts a transition, steps it once per frame and
// ends it when a step reports the transition finished.
#pragma once

#include "graphics/TransitionPixels.h"
#include "platform/ddraw.h"

#include <memory>

class CArcFile;

// Where the colour key of the keyed routines comes from.
enum TransitionKeySource : LONG {
    kKeyTopLeft = 0,
    kKeyTopRight = 1,
    kKeyBottomLeft = 2,
    kKeyBottomRight = 3,
    kKeyColor = 4, // the colour word itself
    kKeyNone = 5,
};

// The start record, filled by the caller and read once by CTransition::Start.
struct TransitionParams {
    LONG effect;                  // 1 cross-fade, 2 dither, 3 shake, any other a mask wipe
    IDirectDrawSurface* before;   // the picture shown at the start; required
    IDirectDrawSurface* after;    // the picture shown at the end; required
    IDirectDrawSurface* draw;     // receives the frames; null: the before surface itself
    LONG destWidth, destHeight;   // usable area of the before and draw surfaces
    LONG imageWidth, imageHeight; // size of the after picture (shake, corner keys)
    LONG keySource;               // TransitionKeySource
    DWORD color;                  // raw pixel value: the key of kKeyColor, the shake's fill
    LONG timing[4];               // meaning by kind, see EffectTimingTable
    LONG timingMode;              // dither only: 0 a step per frame once due, 1 step from the time
    LONG destX, destY;            // origin of the changed area on the before and draw surfaces
    RECT source;                  // area taken from the after picture
};

class CTransition {
  public:
    CTransition();
    ~CTransition();
    CTransition(const CTransition&) = delete;
    CTransition& operator=(const CTransition&) = delete;

    // Opens the rule-mask archive and asks the processor once whether the vector routines run.
    int Create(const char* archivePath);
    void Release();

    // 1 when the transition runs; 0 when refused, in which case nothing of a running transition
    // changes. Reads no pixel but a corner colour key.
    int Start(const TransitionParams* params);
    // 1 when finished, 0 while it runs. *changed is 1 when a step was due in this call, 0 when not; it
    // is left untouched when the call finishes because of a stop request or the end of a shake.
    int Step(int* changed);
    // Frees the mask wipe's buffers and clears the running flag; a Step after it reports finished
    // without touching the surfaces.
    void End();
    // The next step of any kind reports finished at once and draws nothing.
    void RequestStop() { m_bStopRequest = 1; }
    int IsRunning() const { return m_bRunning; }
    void SetRunning(int flag) { m_bRunning = flag ? 1 : 0; }
    // The start tick becomes now, so that time spent loading pictures after Start does not count.
    void RestampStart();

    // The processor check of Create; true when the vector routines can run.
    static int IsSimdAvailable();

  private:
    using StepRoutine = int (CTransition::*)(int* changed);

    // Everything a start sets up. Start fills a fresh one and takes it only when the kind's set-up
    // succeeded, so that a refused start leaves a running transition as it was.
    struct Setup {
        int format = 0; // transition::PixelFormat
        IDirectDrawSurface* before = nullptr;
        IDirectDrawSurface* after = nullptr;
        IDirectDrawSurface* draw = nullptr;
        LONG destWidth = 0, destHeight = 0;
        LONG imageWidth = 0, imageHeight = 0;
        // Area: source x, y in the after picture; destination x, y on the before and draw surfaces.
        LONG srcX = 0, srcY = 0, dstX = 0, dstY = 0, width = 0, height = 0;
        WORD key16 = 0;
        DWORD key32 = 0; // the 24- and 32-bit key, and the shake's fill colour
        LONG timing[4] = {};
        DDSURFACEDESC beforeDesc{}, afterDesc{}, drawDesc{};
        LONG timingMode = 0;
        DWORD startTick = 0;
        // Mask wipe: the level and its timer; the cross-fade keeps its step count in lastAlphaSteps.
        LONG level = 0;
        long long lastLevelSteps = -1;
        long long lastAlphaSteps = 0;
        LONG stepIndex = -1; // dither step, shake offset index
        LONG remaining = 0;
        DWORD histogram[256] = {};
        LONG reached = 0;
        LONG lastLevelAdded = -1;
        StepRoutine step = nullptr;
        std::unique_ptr<WORD[]> mask;
        std::unique_ptr<WORD[]> alpha;
    };

    void ClipArea(Setup& s, LONG x, LONG y, const RECT& rc) const;
    int SetupFade(Setup& s, LONG keySource);
    int SetupDither(Setup& s, LONG keySource);
    int SetupQuake(Setup& s, DWORD color);
    int SetupMask(Setup& s, LONG effect, LONG keySource);
    int ReadColorKey(Setup& s, LONG keySource, DWORD color);
    int PixelFormatOf(Setup& s, bool test555) const;

    int StepFade(int* changed);
    int StepFadeSimd(int* changed);
    int StepFadeKeyed(int* changed);
    int StepDither(int* changed);
    int StepDitherKeyed(int* changed);
    int StepQuake(int* changed);
    int StepMask(int* changed);
    int StepMaskSimd(int* changed);
    int StepMaskKeyed(int* changed);

    enum class FadePath { Plain, Simd, Keyed };
    enum class MaskPath { Plain, Simd, Keyed };
    int FadeStep(int* changed, FadePath path);
    int DitherStep(int* changed, bool keyed);
    int MaskStep(int* changed, MaskPath path);
    // The alpha every active pixel gains in this call (0 when no alpha step is due), 1-256.
    int AdvanceMaskTimer();
    // Locks before, after and (with draw) the draw surface and gives the area's pixels; false when a
    // lock fails or the area no longer fits the surfaces (nothing is then locked).
    bool LockArea(bool withDraw, transition::PixelArea* area);
    void UnlockArea(bool withDraw);

    std::unique_ptr<CArcFile> m_pMaskArc;
    Setup m_Run;
    BYTE m_bRunning;
    BYTE m_bStopRequest;
    BYTE m_bSimd;
};

extern CTransition* g_pTransition;
