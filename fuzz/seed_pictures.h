// Writes seed pictures for the reader fuzz targets.
#pragma once

#include "tools/fixtures/PictureWriter.h"
#include "tools/fixtures/TempDir.h"

#include <string>

inline void WriteSeed(const char* folder, const std::string& name, const fixtures::Bytes& bytes) {
    fixtures::WriteFileBytes(std::string(folder) + "/" + name, bytes);
}
