// quorin-replay [--depth 16|555|24|32] FOLDER TIMELINE OUTDIR
//
// Runs the program's own start-up on FOLDER with the headless display and the manual clock (each
// idle pass's Sleep moves it), feeds the timeline's input to the window as it would arrive, and saves
// at each shot the back buffer (the movie's picture once it shows one) as OUTDIR/NAME.png and what the
// mixer plays as OUTDIR/NAME.sound. The local time stands at 2026/07/06 09:00:00, so that saves and the
// error log read the same in every replay. Exits 0 once the timeline's quit closed the program.
//
// NAME.sound: "level PEAK", the loudest sample the mixer put out in the last half second (0-32768),
// then one line per live sound buffer, oldest first:
// "buffer SIZE CHANNELS RATE playing|stopped looping|once VOLUME".
#include "app/AppMessages.h"
#include "app/DDrawCtrl.h"
#include "app/RunState.h"
#include "app/WinMain.h"
#include "platform/ime.h"
#include "platform/process.h"
#include "platform/testing.h"
#include "platform/time.h"
#include "tools/replay/Timeline.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace pt = platform::testing;

namespace {
constexpr DWORD kStartClock = 100000;
// How long the program may run on after the last event before the replay gives up on it.
constexpr DWORD kGraceMs = 600000;
// How much of the mixer's output a shot's sound level looks at: half a second of 44.1 kHz stereo.
constexpr std::size_t kLevelSamples = 44100;

struct Replay {
    replay::Timeline timeline;
    std::size_t next = 0;
    std::string outDir;
    bool shotPending = false;
    DWORD shotDueAt = 0;
    bool quitSent = false;
    bool failed = false;
    std::deque<std::int16_t> lastSound; // the mixer's latest output
};
Replay g_Replay;

DWORD Now() {
    return GetTickCount() - kStartClock;
}

void Usage() {
    std::fprintf(stderr, "usage: quorin-replay [--depth 16|555|24|32] FOLDER TIMELINE OUTDIR\n");
}

// The movie's last picture, which its video window showed over the main window; false before it
// showed any.
bool SaveVideoPng(const std::string& path) {
    const std::vector<DWORD> rgb = pt::LastVideoPicture();
    if (rgb.size() != 640u * 480u) return false;
    std::vector<png_byte> bytes;
    bytes.reserve(rgb.size() * 3);
    for (DWORD p : rgb)
        bytes.insert(bytes.end(), {static_cast<png_byte>(p >> 16), static_cast<png_byte>(p >> 8),
                                   static_cast<png_byte>(p)});
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = 640;
    image.height = 480;
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path.c_str(), 0, bytes.data(), 0, nullptr) != 0;
}

void KeepMixedSound() {
    const std::vector<std::int16_t> mixed = pt::TakeMixedSound();
    auto& last = g_Replay.lastSound;
    last.insert(last.end(), mixed.begin(), mixed.end());
    if (last.size() > kLevelSamples) last.erase(last.begin(), last.end() - kLevelSamples);
}

bool SaveSound(const std::string& path) {
    KeepMixedSound();
    int peak = 0;
    for (std::int16_t v : g_Replay.lastSound)
        peak = std::max(peak, std::abs(static_cast<int>(v)));
    std::ofstream out(path);
    out << "level " << peak << "\n";
    for (const pt::SoundBufferState& b : pt::SoundBuffers())
        out << "buffer " << b.size << " " << b.format.nChannels << " " << b.format.nSamplesPerSec << " "
            << (b.playing ? "playing" : "stopped") << " " << (b.looping ? "looping" : "once") << " "
            << b.volume << "\n";
    return static_cast<bool>(out);
}

void TakeShot(const replay::Event& e) {
    const std::filesystem::path base = std::filesystem::path(g_Replay.outDir) / e.name;
    const std::string path = base.string() + ".png";
    IDirectDrawSurface* back = g_DDrawCtrl.GetBackBuffer();
    // A movie with no picture yet (or none at all) leaves the screen as the back buffer holds it.
    const bool saved = (IsMoviePlaying() && SaveVideoPng(path)) || (back && pt::SaveSurfacePng(back, path));
    if (!saved || !SaveSound(base.string() + ".sound")) {
        std::fprintf(stderr, "quorin-replay: line %d: shot %s could not be saved\n", e.line, e.name.c_str());
        g_Replay.failed = true;
        return;
    }
    std::printf("shot %s %s at %u ms %s\n", e.name.c_str(), path.c_str(), static_cast<unsigned>(Now()),
                g_DDrawCtrl.IsWindowed() ? "windowed" : "full-screen");
    std::fflush(stdout);
}

void Deliver(const replay::Event& e) {
    HWND w = g_hWnd;
    switch (e.kind) {
    case replay::EventKind::Move:
        pt::PostMouseMove(w, e.x, e.y);
        break;
    case replay::EventKind::Down:
        pt::PostMouseMove(w, e.x, e.y);
        pt::PostMouseButton(w, WM_LBUTTONDOWN, e.x, e.y);
        break;
    case replay::EventKind::Up:
        pt::PostMouseMove(w, e.x, e.y);
        pt::PostMouseButton(w, WM_LBUTTONUP, e.x, e.y);
        break;
    case replay::EventKind::Click:
        pt::PostMouseMove(w, e.x, e.y);
        pt::PostMouseButton(w, WM_LBUTTONDOWN, e.x, e.y);
        pt::PostMouseButton(w, WM_LBUTTONUP, e.x, e.y);
        break;
    case replay::EventKind::RightClick:
        pt::PostMouseMove(w, e.x, e.y);
        pt::PostMouseButton(w, WM_RBUTTONDOWN, e.x, e.y);
        pt::PostMouseButton(w, WM_RBUTTONUP, e.x, e.y);
        break;
    case replay::EventKind::Wheel:
        pt::PostWheel(w, e.delta);
        break;
    case replay::EventKind::Key:
        pt::PostKeyDown(w, e.vk);
        pt::PostKeyUp(w, e.vk);
        break;
    case replay::EventKind::KeyDown:
        pt::PostKeyDown(w, e.vk);
        break;
    case replay::EventKind::KeyUp:
        pt::PostKeyUp(w, e.vk);
        break;
    case replay::EventKind::Switch:
        // Alt+Enter as the keyboard makes it.
        pt::PostKeyDown(w, VK_MENU);
        pt::PostKeyDown(w, VK_RETURN);
        pt::PostKeyUp(w, VK_RETURN);
        pt::PostKeyUp(w, VK_MENU);
        break;
    case replay::EventKind::Ime:
        if (!platform::DeliverImeResult(w, e.name))
            std::fprintf(stderr, "quorin-replay: line %d: the window takes no text now\n", e.line);
        break;
    case replay::EventKind::Compose: {
        // The whole text is the clause being converted.
        int characters = 0;
        for (unsigned char c : e.name)
            characters += (c & 0xC0) != 0x80;
        if (!platform::DeliverImeComposition(w, e.name, 0, characters))
            std::fprintf(stderr, "quorin-replay: line %d: the window takes no text now\n", e.line);
        break;
    }
    case replay::EventKind::Quit:
        // As the quit dialog's yes does it: the window really closes.
        PostMessageA(w, WM_CLOSE, 0, 1);
        g_Replay.quitSent = true;
        break;
    case replay::EventKind::Shot:
        break;
    }
}

// Called at the start of every pass of the message loop.
void ReplayPump(bool) {
    if (!IsWindow(g_hWnd)) return;
    KeepMixedSound();
    const auto& events = g_Replay.timeline.events;
    // A shot waits for one whole idle pass (run and present) after it fell due, and holds back the
    // events after it until it is taken.
    if (g_Replay.shotPending) {
        if (GetTickCount() == g_Replay.shotDueAt) return;
        TakeShot(events[g_Replay.next]);
        g_Replay.shotPending = false;
        ++g_Replay.next;
    }
    while (g_Replay.next < events.size() && events[g_Replay.next].time <= Now()) {
        const replay::Event& e = events[g_Replay.next];
        if (e.kind == replay::EventKind::Shot) {
            g_Replay.shotPending = true;
            g_Replay.shotDueAt = GetTickCount();
            return;
        }
        Deliver(e);
        ++g_Replay.next;
        if (e.kind == replay::EventKind::Quit) return;
    }
    if (!events.empty() && Now() > events.back().time + kGraceMs) {
        std::fprintf(stderr, "quorin-replay: the program did not close after quit\n");
        g_Replay.failed = true;
        PostQuitMessage(1);
    }
}

bool ParseDepth(const char* v, pt::DisplayFormat* out) {
    if (std::strcmp(v, "16") == 0)
        *out = pt::DisplayFormat::Rgb565;
    else if (std::strcmp(v, "555") == 0)
        *out = pt::DisplayFormat::Rgb555;
    else if (std::strcmp(v, "24") == 0)
        *out = pt::DisplayFormat::Rgb24;
    else if (std::strcmp(v, "32") == 0)
        *out = pt::DisplayFormat::Xrgb32;
    else
        return false;
    return true;
}
} // namespace

int main(int argc, char** argv) {
    pt::DisplayFormat format = pt::DisplayFormat::Xrgb32;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--depth") == 0 && i + 1 < argc) {
            if (!ParseDepth(argv[++i], &format)) {
                Usage();
                return 2;
            }
        } else if (std::strncmp(argv[i], "--", 2) == 0) {
            Usage();
            return 2;
        } else {
            positional.push_back(argv[i]);
        }
    }
    if (positional.size() != 3) {
        Usage();
        return 2;
    }
    const std::string folder = positional[0], timelinePath = positional[1];
    g_Replay.outDir = positional[2];

    std::ifstream in(timelinePath, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "quorin-replay: cannot read %s\n", timelinePath.c_str());
        return 2;
    }
    std::ostringstream text;
    text << in.rdbuf();
    g_Replay.timeline = replay::ParseTimeline(text.str());
    if (!g_Replay.timeline.error.empty()) {
        std::fprintf(stderr, "quorin-replay: %s:%s\n", timelinePath.c_str(), g_Replay.timeline.error.c_str());
        return 2;
    }
    std::error_code ec;
    std::filesystem::create_directories(g_Replay.outDir, ec);
    if (!std::filesystem::is_directory(g_Replay.outDir)) {
        std::fprintf(stderr, "quorin-replay: cannot make %s\n", g_Replay.outDir.c_str());
        return 2;
    }

    // A private lock, so that a game running on this desktop does not stop the replay (nor the other way).
    char lockDir[] = "/tmp/quorin-replay-XXXXXX";
    if (!::mkdtemp(lockDir)) {
        std::fprintf(stderr, "quorin-replay: no temporary folder\n");
        return 2;
    }
    ::setenv("QUORIN_LOCK_DIR", lockDir, 1);

    pt::UseHeadlessDisplay(format);
    pt::UseManualClock(kStartClock);
    // Saves and the error log carry the local time: one fixed moment makes every replay write the same.
    pt::PinLocalTime(2026, 7, 6, 9, 0, 0);
    pt::CaptureMixedSound(true);
    std::string programFolder = folder;
    char program[] = "quorin";
    char* programArgs[] = {program, programFolder.data()};
    SetProgramArguments(2, programArgs);
    platform::SetEventPump(ReplayPump);

    WinMain(nullptr, nullptr, nullptr, SW_SHOWNORMAL);

    std::filesystem::remove_all(lockDir, ec);
    if (!g_Replay.quitSent) {
        std::fprintf(stderr, "quorin-replay: the program ended at %u ms, before the timeline's quit\n",
                     static_cast<unsigned>(Now()));
        return 1;
    }
    return g_Replay.failed ? 1 : 0;
}
