// The "MAI\n" archive reader over arbitrary bytes: directory, lookups, handed-out files read through
// file windows, and cached entries.
#include "files/ArcFile.h"
#include "files/FileCtrl.h"
#include "fuzz/ScratchFolder.h"

#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

namespace {
const std::string& ArchivePath() {
    static const std::string path = fuzzing::ScratchFolder().File("fuzz.arc");
    return path;
}

void ReadThroughWindow(CArcFile& arc, const char* name) {
    DWORD size = 0;
    std::FILE* fp = arc.OpenFile(name, &size);
    if (!fp) return;
    CFileCtrl window;
    if (window.Assign(fp, static_cast<LONG>(size))) {
        unsigned char buf[512];
        window.ReadTag();
        window.Seek(8, 2);
        while (window.Read(buf, sizeof buf)) {
        }
        window.Seek(static_cast<LONG>(size / 2), 0);
        window.Read(buf, sizeof buf);
        window.Close();
    }
    arc.CloseFile(fp);
}

void ReadCached(CArcFile& arc, const char* name) {
    int index = -1;
    const DWORD size = arc.LoadEntry(name, 0, &index);
    if (index < 0) return;
    // Each read takes what is asked for or what is left, whichever is less, until the entry's end.
    std::vector<unsigned char> buffer(1040);
    for (DWORD left = size; left > 0; left -= left < 1040 ? left : 1040)
        if (arc.ReadEntry(buffer.data(), 1040, index) != buffer.data()) std::abort();
    if (arc.ReadEntry(buffer.data(), 1, index)) std::abort();
    arc.FreeEntry(index);
    arc.FreeEntry(index);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = ArchivePath();
    if (!fixtures::WriteFileBytes(path, data, size)) return 0;
    CArcFile arc(path.c_str());
    // Names from the directory itself (every stored byte, NUL or not), then a few fixed ones.
    std::vector<std::string> names;
    for (std::size_t i = 0; i < 8 && 16 + 24 * (i + 1) <= size; ++i)
        names.emplace_back(reinterpret_cast<const char*>(data + 16 + 24 * i), 16);
    for (std::string& n : names)
        n = n.c_str();
    names.insert(names.end(), {"sg004", "SG004", "", "abcdefghijklmnop", "abcdefghijklmnopq"});
    for (const std::string& n : names) {
        ReadThroughWindow(arc, n.c_str());
        ReadCached(arc, n.c_str());
    }
    return 0;
}
