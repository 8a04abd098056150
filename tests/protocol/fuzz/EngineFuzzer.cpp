// libFuzzer entry: build with -DVRX5_FUZZ=ON and clang, run
// build/tests/protocol/fuzz/engine_fuzzer.
#include <cstdlib>
#include <iostream>

#include "tests/protocol/EngineFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FuzzVerdict verdict = FuzzEngineOnce(data, size);
    if (!verdict.ok) {
        std::cerr << verdict.why << '\n';
        std::abort();
    }
    return 0;
}
