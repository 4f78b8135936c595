// Seeds: pages of the kinds a scenario hands over, with every "#" code, at each switch setting.
#include "platform/text_encoding.h"
#include "tools/fixtures/TempDir.h"

#include <string>

int main(int argc, char** argv) {
    if (argc < 2) return 1;
    const std::string pages[] = {
        platform::Utf8ToSjis("彩花\n「#fn君、今日は##いい天気ですね。」\n#10待って#+続き"),
        platform::Utf8ToSjis("名前\n公園へ行く\n　字下げ。#P"),
        platform::Utf8ToSjis("#nn#nn#nn\n") + std::string(150, 'a') + "\n\x82",
        platform::Utf8ToSjis("あああああああああああああああああああああああああ「い」。"),
    };
    int n = 0;
    for (const unsigned char switches : {0x00, 0x01, 0x14, 0x39})
        for (const std::string& page : pages)
            fixtures::WriteFileText(std::string(argv[1]) + "/page" + std::to_string(n++),
                                    std::string(1, static_cast<char>(switches)) + page);
    return 0;
}
