// The demo scenarios' text sources (scenario/main.txt and scenario/scene.txt), built into the program so
// that mkdemo needs nothing but itself.
#pragma once

namespace demo {
extern const char* const kMainScenario;
extern const char* const kSceneScenario;
} // namespace demo
