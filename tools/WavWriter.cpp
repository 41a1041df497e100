#include "tools/WavWriter.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace vsthost
{

namespace
{

void putU32(std::vector<unsigned char>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

void putU16(std::vector<unsigned char>& out, uint16_t v)
{
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void putTag(std::vector<unsigned char>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

} // namespace

bool writeWavFloat(const std::string& path, const std::vector<std::vector<float>>& channels,
                   int sampleRate)
{
    if (channels.empty() || sampleRate <= 0)
        return false;
    const auto numChannels = static_cast<uint16_t>(channels.size());
    const auto frames = static_cast<uint32_t>(channels[0].size());
    const uint32_t dataBytes = frames * numChannels * 4u;

    std::vector<unsigned char> header;
    putTag(header, "RIFF");
    putU32(header, 4 + (8 + 18) + (8 + 4) + (8 + dataBytes));
    putTag(header, "WAVE");
    putTag(header, "fmt ");
    putU32(header, 18);
    putU16(header, 3); // IEEE float
    putU16(header, numChannels);
    putU32(header, static_cast<uint32_t>(sampleRate));
    putU32(header, static_cast<uint32_t>(sampleRate) * numChannels * 4u);
    putU16(header, static_cast<uint16_t>(numChannels * 4));
    putU16(header, 32);
    putU16(header, 0);
    // Non-PCM formats carry a fact chunk with the frame count.
    putTag(header, "fact");
    putU32(header, 4);
    putU32(header, frames);
    putTag(header, "data");
    putU32(header, dataBytes);

    std::vector<unsigned char> data(dataBytes);
    size_t pos = 0;
    for (uint32_t i = 0; i < frames; ++i)
        for (const auto& channel : channels)
        {
            uint32_t bits;
            std::memcpy(&bits, &channel[i], 4);
            for (int b = 0; b < 4; ++b)
                data[pos++] = static_cast<unsigned char>(bits >> (8 * b));
        }

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    bool ok = std::fwrite(header.data(), 1, header.size(), file) == header.size();
    ok = ok && std::fwrite(data.data(), 1, data.size(), file) == data.size();
    return std::fclose(file) == 0 && ok;
}

} // namespace vsthost
