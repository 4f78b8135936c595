// Seeds for the settings-file target: the default file, one with odd values, one with odd sections.
#include "tools/fixtures/IniWriter.h"
#include "tools/fixtures/TempDir.h"

#include <string>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::string out = std::string(argv[1]) + "/";
    bool ok = fixtures::WriteFileText(out + "default.ini", fixtures::DefaultSettingsIni("\\game\\"));
    ok &= fixtures::WriteFileText(
        out + "values.ini",
        fixtures::IniText(
            {{"config",
              {{"BGMSWITCH", "9"}, {"SESwitch", "3x"}, {"TextSpeed", ""}, {"WindowMode", "\"0\""}}}}));
    ok &= fixtures::WriteFileText(out + "sections.ini",
                                  "; c\r\n[Path\r\nSaveDataPath = \\s\\\r\n[]\r\n=x\r\n[Config]\r\n"
                                  "EffectSwitch=0\r\n[Config]\r\nEffectSwitch=1\r\n");
    return ok ? 0 : 1;
}
