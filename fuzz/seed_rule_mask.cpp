// Seed rule masks: the shapes the demo draws, at sizes below, at and above the screen's.
#include "tools/fixtures/RuleMaskWriter.h"
#include "tools/fixtures/TempDir.h"

#include <string>

int main(int argc, char** argv) {
    if (argc < 2) return 1;
    using fixtures::RuleShape;
    int n = 0;
    auto write = [&](const std::vector<unsigned char>& bytes) {
        fixtures::WriteFileBytes(std::string(argv[1]) + "/rule" + std::to_string(n++), bytes);
    };
    for (RuleShape shape :
         {RuleShape::TopToBottom, RuleShape::Diagonal, RuleShape::Checker, RuleShape::Noise})
        for (auto [w, h] : {std::pair{1, 1}, std::pair{7, 3}, std::pair{40, 30}, std::pair{130, 2}})
            write(fixtures::RuleMaskShape(shape, w, h, 4));
    return 0;
}
