// The demo game's pictures by name, for tests that keep what they draw as PNGs a person can read.
#pragma once

#include "tools/fixtures/ArcWriter.h"
#include "tools/mkdemo/DemoCatalogue.h"

#include <string>
#include <vector>

namespace screens_test {
inline std::vector<fixtures::ArcEntryData> DemoPictures(const std::vector<std::string>& names) {
    std::vector<fixtures::ArcEntryData> entries;
    for (const std::string& name : names)
        for (const demo::Asset& asset : demo::Catalogue())
            if (asset.archive == demo::Archive::Graphic && asset.name == name)
                entries.push_back({name, asset.build(asset)});
    return entries;
}
} // namespace screens_test
