// The compositor fixture lives with the compositor tests.
#pragma once

#include "tests/graphics/compositor/ScreenFixture.h"
