// libFuzzer entry: a whole block read through stalls, resends and split replies.
#include <cstdlib>
#include <iostream>

#include "tests/protocol/BlockReadFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const blockread::Verdict verdict = blockread::RunOnce(data, size);
    if (!verdict.ok) {
        std::cerr << verdict.why << '\n';
        std::abort();
    }
    return 0;
}
