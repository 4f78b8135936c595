#include "fuzz/picture_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CCmFile reader;
    FuzzPictureReader(reader, data, size);
    return 0;
}
