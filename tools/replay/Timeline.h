// A replay timeline: one event a line, "TIME_MS EVENT ARGS", '#' starting a comment.
#pragma once

#include "platform/base.h"

#include <string>
#include <vector>

namespace replay {

enum class EventKind {
    Click,
    RightClick,
    Down,
    Up,
    Move,
    Wheel,
    Key,
    KeyDown,
    KeyUp,
    Switch,
    Ime,
    Compose,
    Shot,
    Quit
};

struct Event {
    DWORD time = 0; // milliseconds after the start
    EventKind kind = EventKind::Quit;
    int x = 0;
    int y = 0;
    int delta = 0;
    UINT vk = 0;
    std::string name; // shots; the text an input method composes or commits (UTF-8)
    int line = 0;
};

struct Timeline {
    std::vector<Event> events; // by time; events of one time keep their order
    std::string error;         // "LINE: reason" for the first bad line
};

Timeline ParseTimeline(const std::string& text);
// A virtual-key code from a number (decimal or 0x hex), a single letter or digit, or a name such as
// RETURN, SPACE, ESCAPE, CONTROL, MENU, LEFT, PRIOR, F1; 0 when unknown.
UINT ParseVirtualKey(const std::string& word);

} // namespace replay
