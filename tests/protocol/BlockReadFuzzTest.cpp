#include <gtest/gtest.h>

#include <random>

#include "tests/protocol/BlockReadFuzz.h"

namespace {

TEST(BlockReadFuzz, StallsLostCopiesAndSplitsNeverShiftAValue) {
    std::mt19937 rng(20261210);
    for (int run = 0; run < 3000; ++run) {
        std::vector<std::uint8_t> input(rng() % 400);
        for (auto& byte : input) byte = static_cast<std::uint8_t>(rng());
        const blockread::Verdict verdict = blockread::RunOnce(input.data(), input.size());
        ASSERT_TRUE(verdict.ok) << verdict.why << " (run " << run << ")";
    }
}

}  // namespace
