// The input of fuzz_script_interpreter, shared with its seed writer: two bytes of settings, then the
// bytecode of two blocks, turned into a compiled script with a small data blob and the sound and
// graphic tables of the target's game folder.
#pragma once

#include "script/ScriptFormat.h"

#include <cstdint>
#include <cstring>
#include <tuple>
#include <vector>

namespace fuzzing {
// Byte 0: bits 0-5 grow the blob by 4 bytes each, bit 6 makes "main" resident, bit 7 makes "b"
// resident. Byte 1: the share of the rest that is block "main"'s code; the remainder is block "b".
// The blob begins with the texts the scripts call blocks by: the cell at 0x80000004 names "b", the
// cell at 0x80000008 names "main". The same two texts are the IDs of the tables: graphic "b" is the
// keyed "AM" picture "p1" on layer 1, graphic "main" the picture "p0" on layer 0; sound "b" is a sound
// effect, sound "main" background music.
inline std::vector<std::uint8_t> ScriptFromFuzzInput(const std::uint8_t* data, std::size_t size) {
    const std::uint8_t settings = size > 0 ? data[0] : 0;
    const std::uint8_t share = size > 1 ? data[1] : 128;
    const std::size_t rest = size > 2 ? size - 2 : 0;
    const std::size_t mainSize = rest * share / 255;
    const std::uint8_t* code = data + (size > 2 ? 2 : size);

    std::vector<std::uint8_t> blob(24 + 4 * (settings & 0x3F), 0);
    std::memcpy(blob.data(), "b\0\0\0", 4);
    script_format::WriteU32(blob.data() + 4, 0);
    script_format::WriteU32(blob.data() + 8, 16);
    std::memcpy(blob.data() + 16, "main", 5);

    std::vector<std::uint8_t> file(script_format::kHeaderSize, 0);
    std::memcpy(file.data(), script_format::kMagic, 4);
    file[8] = 1;
    script_format::WriteU32(file.data() + 10, static_cast<std::uint32_t>(blob.size()));
    script_format::WriteU32(file.data() + 14, 4);
    script_format::WriteU32(file.data() + 18, 8);
    auto put32 = [&](std::uint32_t v) {
        file.resize(file.size() + 4);
        script_format::WriteU32(file.data() + file.size() - 4, v);
    };
    // A table record: the file name and the ID in their 17-byte fields, the rest zero.
    auto named = [&](std::size_t recordSize, const char* fileName, const char* id) {
        const std::size_t at = file.size();
        file.resize(at + recordSize, 0);
        std::memcpy(file.data() + at, fileName, std::strlen(fileName));
        std::memcpy(file.data() + at + script_format::kNameSize, id, std::strlen(id));
        return at;
    };
    put32(script_format::kChunkSound);
    put32(2);
    file[named(script_format::kSoundDefSize, "se.wav", "b") + 34] = 0;
    file[named(script_format::kSoundDefSize, "bgm.wav", "main") + 34] = 1;
    put32(script_format::kChunkGraphic);
    put32(2);
    for (const auto& [fileName, id, layer] :
         {std::tuple{"p1.ami", "b", 1}, std::tuple{"p0.bmp", "main", 0}}) {
        const std::size_t at = named(script_format::kGraphicDefSize, fileName, id);
        file[at + 38] = layer == 1; // keyed
        file[at + 39] = static_cast<std::uint8_t>(layer);
        file[at + 43] = static_cast<std::uint8_t>(10 * layer); // x
        file[at + 45] = static_cast<std::uint8_t>(20 * layer); // y
    }
    put32(script_format::kChunkBlock);
    put32(2);
    const std::size_t records = file.size();
    file.resize(records + 2 * script_format::kBlockRecordSize, 0);
    file.insert(file.end(), blob.begin(), blob.end());
    // "main": code and a line table of one line that covers it; "b": code only.
    const std::uint32_t mainBody = static_cast<std::uint32_t>(file.size());
    file.insert(file.end(), code, code + mainSize);
    put32(1);
    put32(1);
    put32(0);
    put32(mainSize > 0 ? static_cast<std::uint32_t>(mainSize - 1) : 0);
    const std::uint32_t bBody = static_cast<std::uint32_t>(file.size());
    file.insert(file.end(), code + mainSize, code + rest);

    auto record = [&](std::size_t at, const char* name, bool resident, std::uint8_t flags, std::uint32_t body,
                      std::uint32_t codeSize) {
        std::uint8_t* p = file.data() + at;
        std::memcpy(p, name, std::strlen(name));
        p[17] = resident;
        p[18] = flags;
        script_format::WriteU32(p + 19, body);
        script_format::WriteU32(p + 23, codeSize);
        script_format::WriteU32(p + 27, 0);
        script_format::WriteU32(p + 31, codeSize);
    };
    record(records, "main", settings & 0x40, script_format::kHasLines, mainBody,
           static_cast<std::uint32_t>(mainSize));
    record(records + script_format::kBlockRecordSize, "b", settings & 0x80, 0, bBody,
           static_cast<std::uint32_t>(rest - mainSize));
    return file;
}
} // namespace fuzzing
