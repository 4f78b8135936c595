// Seeds: lines of the kinds a scenario prints, at places inside and across the edges.
#include "platform/text_encoding.h"
#include "tools/fixtures/TempDir.h"

#include <string>

int main(int argc, char** argv) {
    if (argc < 2) return 1;
    const std::string lines[] = {platform::Utf8ToSjis("今日はいい天気ですね。"), "Hello, world!",
                                 platform::Utf8ToSjis("ｱｲｳｴｵ「テスト」") + "\x82", ""};
    const unsigned char places[][4] = {{0, 0, 0, 0}, {250, 240, 1, 1}, {40, 30, 2, 0x82}, {200, 20, 1, 0x80}};
    int n = 0;
    for (const auto& place : places)
        for (const auto& line : lines) {
            std::string bytes(reinterpret_cast<const char*>(place), 4);
            bytes += line;
            fixtures::WriteFileText(std::string(argv[1]) + "/text" + std::to_string(n++), bytes);
        }
    return 0;
}
