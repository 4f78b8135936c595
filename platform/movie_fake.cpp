// The movie family's test interface: the scripted fake engine, the faults of every graph call, the
// call log and the newest graph's state.
#include "platform/files.h"
#include "platform/movie_internal.h"
#include "platform/time.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <optional>
#include <stdexcept>

namespace platform::movie {
namespace {
struct Fault {
    int skip;
    bool raise;
};

std::mutex g_Lock;
std::map<testing::MovieCall, Fault> g_Faults;
std::vector<testing::MovieCall> g_Calls;
testing::MovieGraphState g_Last;
testing::MovieBufferUse g_Peak;
std::optional<testing::FakeMovie> g_Fake;

// Plays nothing: the position is the time since Run on the layer's clock.
class FakeEngine final : public MovieEngine {
  public:
    explicit FakeEngine(const testing::FakeMovie& script)
        : m_Script(script), m_Position(script.storedPosition) {}

    HRESULT Open(const std::string& hostPath) override {
        return _access(hostPath.c_str(), 4) == 0 ? S_OK : HRESULT_FILE_NOT_FOUND;
    }
    double Duration() const override { return m_Script.duration; }
    HRESULT Run() override {
        m_Position = Position();
        m_RunTick = GetTickCount();
        m_Running = true;
        return S_OK;
    }
    HRESULT Stop() override {
        m_Position = Position();
        m_Running = false;
        return S_OK;
    }
    double Position() override {
        if (!m_Running) return m_Position;
        const double t = m_Position + (GetTickCount() - m_RunTick) / 1000.0;
        return std::min(t, m_Script.duration);
    }
    HRESULT SetPosition(double seconds) override {
        m_Position = std::min(seconds, m_Script.duration);
        m_RunTick = GetTickCount();
        return S_OK;
    }
    void SetVolume(LONG) override {}
    bool TakeDuePicture(int, int, bool, VideoPicture*) override { return false; }

  private:
    testing::FakeMovie m_Script;
    double m_Position;
    DWORD m_RunTick = 0;
    bool m_Running = false;
};
} // namespace

HRESULT Enter(testing::MovieCall call) {
    bool raise = false;
    {
        std::lock_guard<std::mutex> lock(g_Lock);
        g_Calls.push_back(call);
        auto it = g_Faults.find(call);
        if (it == g_Faults.end()) return S_OK;
        if (it->second.skip > 0) {
            --it->second.skip;
            return S_OK;
        }
        raise = it->second.raise;
        g_Faults.erase(it);
    }
    if (raise) throw std::runtime_error("movie: fault raised by the test");
    return E_FAIL;
}

void RecordGraph(const testing::MovieGraphState& state) {
    std::lock_guard<std::mutex> lock(g_Lock);
    g_Last = state;
}

void RecordBufferUse(const testing::MovieBufferUse& use) {
    std::lock_guard<std::mutex> lock(g_Lock);
    g_Peak.frames = std::max(g_Peak.frames, use.frames);
    g_Peak.frameBytes = std::max(g_Peak.frameBytes, use.frameBytes);
    g_Peak.packetBytes = std::max(g_Peak.packetBytes, use.packetBytes);
    g_Peak.soundFrames = std::max(g_Peak.soundFrames, use.soundFrames);
}

std::unique_ptr<MovieEngine> CreateFakeEngine(const testing::FakeMovie& script) {
    return std::make_unique<FakeEngine>(script);
}

std::unique_ptr<MovieEngine> CreateChosenEngine() {
    std::optional<testing::FakeMovie> fake;
    {
        std::lock_guard<std::mutex> lock(g_Lock);
        fake = g_Fake;
        g_Peak = testing::MovieBufferUse{};
    }
    return fake ? CreateFakeEngine(*fake) : CreateFfmpegEngine();
}
} // namespace platform::movie

namespace platform::testing {
using namespace platform::movie;

void UseFakeMovie(const FakeMovie& movie) {
    UseRealMovie();
    std::lock_guard<std::mutex> lock(g_Lock);
    g_Fake = movie;
}

void UseRealMovie() {
    std::lock_guard<std::mutex> lock(g_Lock);
    g_Fake.reset();
    g_Faults.clear();
    g_Calls.clear();
    g_Last = MovieGraphState{};
    g_Peak = MovieBufferUse{};
}

void FailMovieCall(MovieCall call, int skip, bool raise) {
    std::lock_guard<std::mutex> lock(g_Lock);
    g_Faults[call] = movie::Fault{std::max(skip, 0), raise};
}

void ClearMovieFaults() {
    std::lock_guard<std::mutex> lock(g_Lock);
    g_Faults.clear();
}

std::vector<MovieCall> TakeMovieCalls() {
    std::lock_guard<std::mutex> lock(g_Lock);
    std::vector<MovieCall> out;
    out.swap(g_Calls);
    return out;
}

MovieGraphState LastMovieGraph() {
    std::lock_guard<std::mutex> lock(g_Lock);
    return g_Last;
}

MovieBufferUse MovieBufferPeak() {
    std::lock_guard<std::mutex> lock(g_Lock);
    return g_Peak;
}
} // namespace platform::testing
