// The demo game as mkdemo writes it, written once for the whole test program on first use and removed
// at its end; every suite of tests/demo reads it.
#pragma once

#include "tools/fixtures/TempDir.h"
#include "tools/mkdemo/DemoWriter.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace demo_test {
// Null when the game could not be written (reported to the first test that asked).
inline const fixtures::TempDir* DemoFolder() {
    static const std::unique_ptr<fixtures::TempDir> dir = [] {
        auto d = std::make_unique<fixtures::TempDir>();
        std::string error;
        if (!demo::WriteDemoGame(d->Path(), &error)) {
            ADD_FAILURE() << error;
            d.reset();
        }
        return d;
    }();
    return dir.get();
}
} // namespace demo_test
