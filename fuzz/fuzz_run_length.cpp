// The extras' run-length unpacking over arbitrary packets, unit sizes and output sizes.
#include "screens/ExtraMode.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int bits = 8 * (data[0] % 5);
    const std::size_t outputSize = data[1] * 4u;
    // Both buffers exactly as large as said, so that any access past them is caught.
    const std::vector<BYTE> packed(data + 2, data + size);
    std::vector<BYTE> output(outputSize);
    const std::size_t written =
        DecodeRunLength(packed.data(), packed.size(), bits, output.data(), output.size());
    if (written > outputSize) std::abort();
    return 0;
}
