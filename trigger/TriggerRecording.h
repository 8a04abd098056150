#pragma once
// Puts a read-back recording on its time axis. A block the drive answered
// empty (US) still took its share of the recording's time, so the samples
// after it keep their true times and the plot breaks where it would have been.

#include <string>
#include <vector>

// One sample period of a recording: both channels' values at time x.
struct TriggerPair {
    double x;
    int channel1, channel2;
    bool operator==(const TriggerPair&) const = default;
};

// Where the samples of a block the drive answered empty would have begun.
struct TriggerGap {
    int block;  // the block number as requested: 0 for "00"
    double x;
    bool operator==(const TriggerGap&) const = default;
};

struct TriggerRecording {
    std::vector<TriggerPair> pairs;
    std::vector<TriggerGap> gaps;
    std::vector<int> emptyBlocks;
    // False when an empty block's length cannot be known (the other blocks
    // differ in length): the times after it would be guesses, so nothing is plotted.
    bool placed = true;
};

// A block number as the request carries it: two digits, "00" to "29".
std::string TriggerBlockText(int block);

// `samples`: both channels interleaved, block after block; `blockPairs`: the
// pairs each block brought, 0 for an empty one. Every block is as long as the
// longest one; only the last may be shorter.
TriggerRecording LayOutRecording(const std::vector<int>& samples,
                                 const std::vector<int>& blockPairs, double sampleSeconds);

// What the window says about a recording with empty blocks; empty when it has none.
std::string RecordingNote(const TriggerRecording& recording);
