#pragma once

// Writes interleaved 32-bit float samples as a RIFF/WAVE file (IEEE float format).

#include <string>
#include <vector>

namespace vsthost
{

// channels[c][i]: sample i of channel c; all channels the same length. False when the file
// cannot be written.
bool writeWavFloat(const std::string& path, const std::vector<std::vector<float>>& channels,
                   int sampleRate);

} // namespace vsthost
