#include "tools/replay/Timeline.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sstream>

namespace replay {
namespace {
std::string Upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool ParseInt(const std::string& word, long long min, long long max, long long* out) {
    if (word.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(word.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || v < min || v > max) return false;
    *out = v;
    return true;
}

struct Named {
    const char* name;
    UINT vk;
};
const Named kKeys[] = {
    {"RETURN", VK_RETURN},   {"ENTER", VK_RETURN}, {"SPACE", VK_SPACE},   {"ESCAPE", VK_ESCAPE},
    {"ESC", VK_ESCAPE},      {"TAB", VK_TAB},      {"BACK", VK_BACK},     {"SHIFT", VK_SHIFT},
    {"CONTROL", VK_CONTROL}, {"CTRL", VK_CONTROL}, {"MENU", VK_MENU},     {"ALT", VK_MENU},
    {"LEFT", VK_LEFT},       {"UP", VK_UP},        {"RIGHT", VK_RIGHT},   {"DOWN", VK_DOWN},
    {"PRIOR", VK_PRIOR},     {"PAGEUP", VK_PRIOR}, {"NEXT", VK_NEXT},     {"PAGEDOWN", VK_NEXT},
    {"HOME", VK_HOME},       {"END", VK_END},      {"INSERT", VK_INSERT}, {"DELETE", VK_DELETE},
    {"PAUSE", VK_PAUSE},
};
} // namespace

UINT ParseVirtualKey(const std::string& word) {
    const std::string w = Upper(word);
    if (w.size() == 1 && (std::isalnum(static_cast<unsigned char>(w[0])))) return static_cast<UINT>(w[0]);
    if (w.size() >= 2 && w[0] == 'F' && std::isdigit(static_cast<unsigned char>(w[1]))) {
        long long n = 0;
        if (ParseInt(w.substr(1), 1, 12, &n)) return static_cast<UINT>(VK_F1 + n - 1);
    }
    for (const Named& k : kKeys)
        if (w == k.name) return k.vk;
    long long n = 0;
    if (ParseInt(word, 1, 255, &n)) return static_cast<UINT>(n);
    return 0;
}

Timeline ParseTimeline(const std::string& text) {
    Timeline result;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& why) {
        result.error = std::to_string(number) + ": " + why;
        result.events.clear();
        return result;
    };
    while (std::getline(lines, line)) {
        ++number;
        if (const auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;)
            w.push_back(word);
        if (w.empty()) continue;
        Event e;
        e.line = number;
        long long time = 0;
        if (!ParseInt(w[0], 0, UINT_MAX, &time)) return fail("the time must be milliseconds: " + w[0]);
        e.time = static_cast<DWORD>(time);
        if (w.size() < 2) return fail("an event must follow the time");
        const std::string name = w[1];
        const std::size_t args = w.size() - 2;
        auto point = [&](EventKind kind) -> bool {
            long long x = 0, y = 0;
            if (args != 2 || !ParseInt(w[2], -32768, 32767, &x) || !ParseInt(w[3], -32768, 32767, &y))
                return false;
            e.kind = kind;
            e.x = static_cast<int>(x);
            e.y = static_cast<int>(y);
            return true;
        };
        if (name == "click" || name == "rclick" || name == "down" || name == "up" || name == "move") {
            const EventKind kind = name == "click"    ? EventKind::Click
                                   : name == "rclick" ? EventKind::RightClick
                                   : name == "down"   ? EventKind::Down
                                   : name == "up"     ? EventKind::Up
                                                      : EventKind::Move;
            if (!point(kind)) return fail(name + " takes X Y");
        } else if (name == "wheel") {
            long long delta = 0;
            if (args != 1 || !ParseInt(w[2], -32768, 32767, &delta)) return fail("wheel takes DELTA");
            e.kind = EventKind::Wheel;
            e.delta = static_cast<int>(delta);
        } else if (name == "key" || name == "keydown" || name == "keyup") {
            if (args != 1 || !(e.vk = ParseVirtualKey(w[2]))) return fail(name + " takes a virtual key");
            e.kind = name == "key"       ? EventKind::Key
                     : name == "keydown" ? EventKind::KeyDown
                                         : EventKind::KeyUp;
        } else if (name == "switch") {
            if (args != 0) return fail("switch takes nothing");
            e.kind = EventKind::Switch;
        } else if (name == "ime" || name == "compose") {
            if (args != 1)
                return fail(name + " takes the TEXT the input method " +
                            (name == "ime" ? "commits" : "composes"));
            e.kind = name == "ime" ? EventKind::Ime : EventKind::Compose;
            e.name = w[2];
        } else if (name == "shot") {
            if (args != 1) return fail("shot takes NAME");
            if (w[2].find('/') != std::string::npos || w[2] == "." || w[2] == "..")
                return fail("a shot name is a file name, not a path");
            e.kind = EventKind::Shot;
            e.name = w[2];
        } else if (name == "quit") {
            if (args != 0) return fail("quit takes nothing");
            e.kind = EventKind::Quit;
        } else {
            return fail("unknown event " + name);
        }
        result.events.push_back(e);
    }
    std::stable_sort(result.events.begin(), result.events.end(),
                     [](const Event& a, const Event& b) { return a.time < b.time; });
    if (result.events.empty() || result.events.back().kind != EventKind::Quit) {
        number = 0;
        return fail("the timeline must end with quit");
    }
    return result;
}

} // namespace replay
