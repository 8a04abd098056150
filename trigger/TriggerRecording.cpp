#include "trigger/TriggerRecording.h"

#include <algorithm>

namespace {

// A block's length is only known from the others when they agree.
bool LengthsAgree(const std::vector<int>& blockPairs, int longest) {
    for (std::size_t b = 0; b + 1 < blockPairs.size(); ++b)
        if (blockPairs[b] != 0 && blockPairs[b] != longest) return false;
    return true;
}

}  // namespace

std::string TriggerBlockText(int block) {
    return (block < 10 ? "0" : "") + std::to_string(block);
}

TriggerRecording LayOutRecording(const std::vector<int>& samples,
                                 const std::vector<int>& blockPairs, double sampleSeconds) {
    TriggerRecording recording;
    for (std::size_t b = 0; b < blockPairs.size(); ++b)
        if (blockPairs[b] == 0) recording.emptyBlocks.push_back(static_cast<int>(b));
    const int longest =
        blockPairs.empty() ? 0 : *std::max_element(blockPairs.begin(), blockPairs.end());
    if (!recording.emptyBlocks.empty() && !LengthsAgree(blockPairs, longest)) {
        recording.placed = false;
        return recording;
    }
    recording.pairs.reserve(samples.size() / 2);
    std::size_t sample = 0;
    int period = 0;  // the recording's periods so far, empty blocks included
    for (std::size_t b = 0; b < blockPairs.size(); ++b) {
        if (blockPairs[b] == 0) {
            if (longest > 0)
                recording.gaps.push_back({static_cast<int>(b), period * sampleSeconds});
            period += longest;
            continue;
        }
        for (int p = 0; p < blockPairs[b] && sample + 1 < samples.size(); ++p, ++period) {
            recording.pairs.push_back(
                {period * sampleSeconds, samples[sample], samples[sample + 1]});
            sample += 2;
        }
    }
    return recording;
}

std::string RecordingNote(const TriggerRecording& recording) {
    const std::vector<int>& empty = recording.emptyBlocks;
    if (empty.empty()) return {};
    std::string names = empty.size() == 1 ? "Block " : "Blocks ";
    for (std::size_t i = 0; i < empty.size(); ++i)
        names += (i ? ", " : "") + TriggerBlockText(empty[i]);
    if (!recording.placed)
        return names +
               " came back empty and the other blocks differ in length, so the times after " +
               (empty.size() == 1 ? "it" : "them") + " are unknown: the recording is not plotted.";
    if (recording.pairs.empty()) return names + " came back empty: nothing to plot.";
    return names +
           " came back empty: the plot has a gap there, the other samples are at "
           "their true times.";
}
