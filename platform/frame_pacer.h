// When the message loop's idle pass draws its next frame on a real display: once a display refresh,
// on the display's beat. A moving picture comes at the display's rate, input (which ends the wait
// early) is answered at once without moving the beat, and a picture at rest is looked at once a frame
// rather than a thousand times a second; once it has stood still for a tenth of a second, every
// second frame, so that nothing the game times by the clock (a wait, a sound fade's step) falls more
// than two frames behind.
#pragma once

namespace platform {

class FramePacer {
  public:
    // Frames a picture stands still, without input, before the pass looks every second frame.
    static constexpr int kStillFrames = 6;

    // Microseconds from `now` to the next frame, 0 when it is due (the one after it then falls due a
    // frame `interval` later, or two once the picture stands still). A loop more than a frame behind
    // starts afresh from `now` rather than drawing a burst of frames to catch up. Times in
    // microseconds of one steady clock.
    long long WaitBefore(long long now, long long interval) {
        if (!m_Started) {
            m_Started = true;
            m_Due = now;
        }
        if (now < m_Due) return m_Due - now;
        const long long step = m_Still >= kStillFrames ? 2 * interval : interval;
        m_Due = now - m_Due > interval ? now + step : m_Due + step;
        if (m_Still < kStillFrames) ++m_Still;
        return 0;
    }

    // Something new was shown or input arrived at `now`: frames come every frame again, the next one
    // at most a frame away.
    void Moved(long long now, long long interval) {
        m_Still = 0;
        if (m_Started && m_Due > now + interval) m_Due = now + interval;
    }

  private:
    bool m_Started = false;
    long long m_Due = 0;
    int m_Still = 0;
};

} // namespace platform
