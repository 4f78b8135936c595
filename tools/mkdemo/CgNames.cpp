#include "screens/ExtraMode.h"
#include "tools/mkdemo/DemoCatalogue.h"

namespace demo {
// The gallery's pictures by CG number, named as the program's gallery names them.
const std::array<const char*, kCgCount> kCgNames = [] {
    static_assert(kCgCount == CExtraMode::kCgCount);
    std::array<const char*, kCgCount> names{};
    for (int n = 0; n < kCgCount; ++n)
        names[static_cast<std::size_t>(n)] = CExtraMode::GetCgName(n);
    return names;
}();
} // namespace demo
