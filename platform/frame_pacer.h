// When the message loop's idle pass draws its next frame on a real display: once a display refresh,
// on the display's beat. A picture at rest is then looked at once a frame rather than a thousand
// times a second, a moving one comes at the display's rate, and input (which ends the wait early)
// is answered at once without moving the beat.
#pragma once

namespace platform {

class FramePacer {
  public:
    // Microseconds from `now` to the next frame, 0 when it is due (the one after it then falls due
    // `interval` later). A loop more than a frame behind starts afresh from `now` rather than drawing
    // a burst of frames to catch up. Times in microseconds of one steady clock.
    long long WaitBefore(long long now, long long interval) {
        if (!m_Started) {
            m_Started = true;
            m_Due = now;
        }
        if (now < m_Due) return m_Due - now;
        m_Due = now - m_Due > interval ? now + interval : m_Due + interval;
        return 0;
    }

  private:
    bool m_Started = false;
    long long m_Due = 0;
};

} // namespace platform
