// libFuzzer entry: tools/fuzz-zip builds and runs it.
#include "tests/fuzz/zip_fuzz_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    zipfuzz::FuzzOneArchive(data, size);
    return 0;
}
