#include <gtest/gtest.h>

#include <random>

#include "tests/protocol/EngineFuzz.h"

namespace {

// Inputs shaped like the link: fragments of valid frames, control bytes and noise.
std::vector<std::uint8_t> LinkLikeInput(std::mt19937& rng) {
    std::vector<std::uint8_t> input;
    for (int i = 0; i < 6; ++i) input.push_back(static_cast<std::uint8_t>(rng()));
    const std::string samples[] = {
        Reply("SET1234"),
        Reply("STSP 11E21"),
        Reply("TYP-_A5"),
        Reply("EHY21&00&FF"),
        Frame::BuildReply('E', "21"),
        "\x06",
        "\x15",
        "\x1d",
        "\x1e",
        "\x1f",
        "\x02",
        "\x03",
    };
    const int chunks = 1 + rng() % 6;
    for (int c = 0; c < chunks; ++c) {
        std::string chunk;
        if (rng() % 3 == 0) {
            for (int n = rng() % 40; n > 0; --n) chunk += static_cast<char>(rng());
        } else {
            chunk = samples[rng() % std::size(samples)];
            if (rng() % 2) chunk = chunk.substr(rng() % chunk.size());
            if (rng() % 4 == 0) chunk[rng() % chunk.size()] = static_cast<char>(rng());
        }
        input.push_back(static_cast<std::uint8_t>(chunk.size()));
        input.insert(input.end(), chunk.begin(), chunk.end());
    }
    return input;
}

TEST(EngineFuzz, ArbitraryChunksNeverWedgeTheLink) {
    std::mt19937 rng(20261210);
    for (int run = 0; run < 20000; ++run) {
        std::vector<std::uint8_t> input;
        if (run % 2)
            input = LinkLikeInput(rng);
        else
            for (int n = rng() % 200; n > 0; --n) input.push_back(static_cast<std::uint8_t>(rng()));
        const FuzzVerdict verdict = FuzzEngineOnce(input.data(), input.size());
        ASSERT_TRUE(verdict.ok) << verdict.why << " (run " << run << ")";
    }
}

}  // namespace
