// Seeds: typing, converting and committing, a composition over the limit, half characters, Tab and
// Backspace, as records of kind, two arguments, length and text.
#include "tools/fixtures/TempDir.h"

#include <string>
#include <vector>

namespace {
std::string Record(int kind, int a, int b, const std::string& text) {
    return std::string{static_cast<char>(kind), static_cast<char>(a), static_cast<char>(b),
                       static_cast<char>(text.size())} +
           text;
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 1;
    std::string longComposition;
    for (int i = 0; i < 40; ++i)
        longComposition += "あ";
    const std::vector<std::string> seeds = {
        Record(0, 3, 0, "やまだ") + Record(0, 0, 2, "山田") + Record(1, 0, 0, "山田"),
        Record(0, 40, 0, longComposition) + Record(1, 0, 0, longComposition),
        Record(3, 0, 0, "\x82\xa0\x82") + Record(2, 0x7f, 0x7f, "\x82\xa0\x82\xa2") + Record(4, 0, 0, ""),
        Record(4, 2, 0, "") + Record(4, 3, 0, "") + Record(1, 0, 0, "ab") + Record(5, 120, 150, "") +
            Record(6, 0, 0, "") + Record(1, 0, 0, "太郎"),
    };
    for (std::size_t i = 0; i < seeds.size(); ++i)
        fixtures::WriteFileText(std::string(argv[1]) + "/ime" + std::to_string(i), seeds[i]);
    return 0;
}
