// The gallery's pictures by CG number: CG n is on page n / 24, cell n mod 24.
#include "screens/ExtraMode.h"

namespace {
const char* const kCgNames[CExtraMode::kCgCount] = {
    "at000a", "at005a", "at007a", "at007b", "at007c", "at007d", "at007i", "at007e", "at007f", "at007g",
    "at007h", "at008a", "at009a", "at010a", "at010b", "at001a", "at001b", "at002a", "at002b", "at002c",
    "at003a", "at004a", "at004b", "at004c", "at006a", "at006b", "ah000a", "ah000b", "ah000c", "ah000d",
    "ah000e", "ah001a", "ah001b", "ah001c", "ah001d", "ah002a", "ah002b", "ah002c", "ah002d", "ah003a",
    "ah003b", "ah003c", "ah003d", "ah003e", "ah004a", "ah004b", "ah004c", "ah004d", "ah004e", "ah005a",
    "ah005b", "ah005c", "ah005d", "ah006a", "ah006b", "ah006c", "ah006d", "ah007a", "ah007b", "ah007c",
    "ah007d", "ah008a", "ah008b", "ah008c", "ah009a", "ah009b", "ah009c", "ah009d", "ah009e", "ah010a",
    "ah010b", "ah010c", "ah010d", "ah011a", "ah011b", "ah011c", "ah012a", "ah012b", "ah012c", "ah013a",
    "ah013b", "ah013c", "ah014a", "ah014b", "ah014c", "ah015a", "ah015b", "ah015c", "ae000a", "ae001a",
    "ae002a", "ct000a", "ct001a", "ct001b", "ct001c", "ct002a", "ct003a", "ct004a", "ct005a", "ct009a",
    "ct009b", "ct009c", "ct010a", "ct010b", "ct010c", "ct010d", "ct006a", "ct006b", "ct007a", "ct007b",
    "ct008a", "ct008b", "ct008c", "ct008d", "ch000a", "ch000b", "ct011a", "ct011b", "ct012a", "ct012b",
    "ct012c", "ch001a", "ch001b", "ch001c", "ch001d", "ch001e", "ch002a", "ch002b", "ch002c", "ch002d",
    "ch003a", "ch003b", "ch003c", "ch003d", "ch004a", "ch004b", "ch004c", "ch004d", "ch005a", "ch005b",
    "ch005c", "ch006a", "ch006b", "ch006c", "ch006d", "ch007a", "ch007b", "ch007c", "ch007d", "ch007e",
    "ch008a", "ch008b", "ch008c", "ch008d", "ch008e", "ch009a", "ch009b", "ch009c", "ch009d", "ch010a",
    "ch010b", "ch010c", "ch011a", "ch011b", "ch011c", "ce000a", "ce001a", "ka000a", "ka003a", "ka001a",
    "ka001b", "ka001c", "ka002a", "ka002b", "ka002c", "ka004a", "ka004b", "ka005a", "ka005b", "ka005c",
    "ka005d", "ka006a", "mi000a", "mi000b", "mi000c", "mi000d", "mi000e", "mi000f", "mi000g", "mi000h",
    "mi000i", "mi003a", "mi003b", "mi001a", "mi001b", "mi001c", "mi002a", "mi002b", "mi002c", "mi002d",
    "mi004a", "mi004b", "mi005a", "mi005b", "mi005c", "mi005d", "mi006a", "na000a", "na000b", "na000c",
    "na000d", "na000e", "na000f", "na003a", "na001a", "na001b", "na002a", "na002b", "na002c", "na002d",
    "na004a", "na005a", "na005b", "na005c", "na006a", "ma000",  "ma000a", "ma000b", "ma001a", "ma001b",
    "ma002a", "ma002b", "ma002c", "ma003a", "ma003b", "ma003c", "ma004a", "ma004b", "ma004c", "ma005b",
    "ma005e", "ma005f", "ma005h", "ma005j", "ma005k", "ma005l", "ma005m", "ma005n", "ma006a",
};
} // namespace

const char* CExtraMode::GetCgName(int n) {
    return n >= 0 && n < kCgCount ? kCgNames[n] : nullptr;
}
