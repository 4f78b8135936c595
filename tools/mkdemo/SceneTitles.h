// The scenes of the extras' scene list: the story marks each of these as seen (`cmd 204, 1, =N` in
// scenario/main.txt), its button shows the title after the list number (N + 1), and scenario/scene.txt
// replays it. No other scene number has a scene of the story behind it, and its button keeps the look
// of a scene not yet seen.
#pragma once

#include <array>

namespace demo {
struct SceneTitle {
    int scene;         // the number the story marks, 0 to 79
    const char* title; // in the list's own font: capitals, digits and spaces
};
inline constexpr std::array<SceneTitle, 5> kSceneTitles = {{
    {0, "MORNING ON THE HILL"},
    {1, "THE PARK AT DUSK"},
    {6, "THE FESTIVAL NIGHT"},
    {38, "THE SHOPPING STREET"},
    {63, "A MOONLIT NIGHT"},
}};

// The title of a scene, or null for a number the story never marks.
inline const char* SceneTitleOf(int scene) {
    for (const SceneTitle& t : kSceneTitles)
        if (t.scene == scene) return t.title;
    return nullptr;
}
} // namespace demo
