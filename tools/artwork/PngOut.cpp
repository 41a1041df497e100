#include "PngOut.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace artwork
{
bool writePng8 (const juce::Image& image, const juce::File& file)
{
    juce::MemoryOutputStream bytes;
    juce::PNGImageFormat png;
    if (! png.writeImageToStream (image, bytes))
        return false;
    return file.getParentDirectory().createDirectory() && file.replaceWithData (bytes.getData(), bytes.getDataSize());
}

namespace
{
// Rows of big-endian 16-bit RGBA, alpha not premultiplied.
std::vector<png_byte> rows16 (const juce::Image& image)
{
    const int w = image.getWidth(), h = image.getHeight();
    std::vector<png_byte> data ((size_t) w * (size_t) h * 8);
    const juce::Image::BitmapData pixels (image, juce::Image::BitmapData::readOnly);
    size_t i = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            const auto c = pixels.getPixelColour (x, y);
            for (auto v : { c.getRed(), c.getGreen(), c.getBlue(), c.getAlpha() })
            {
                data[i++] = v;
                data[i++] = v;
            }
        }
    return data;
}
} // namespace

namespace
{
// libpng reports errors by longjmp; nothing with a destructor lives in this frame.
bool encode16 (png_structp png, png_infop info, FILE* out, const juce::Image& image, const png_byte* data)
{
    if (setjmp (png_jmpbuf (png)) != 0)
        return false;
    png_init_io (png, out);
    png_set_IHDR (png, info, (png_uint_32) image.getWidth(), (png_uint_32) image.getHeight(), 16,
                  PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_write_info (png, info);
    const size_t stride = (size_t) image.getWidth() * 8;
    for (int y = 0; y < image.getHeight(); ++y)
        png_write_row (png, data + stride * (size_t) y);
    png_write_end (png, info);
    return true;
}
} // namespace

bool writePng16 (const juce::Image& image, const juce::File& file)
{
    if (! file.getParentDirectory().createDirectory())
        return false;
    const auto data = rows16 (image);
    FILE* out = std::fopen (file.getFullPathName().toRawUTF8(), "wb");
    if (out == nullptr)
        return false;
    png_structp png = png_create_write_struct (PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct (png) : nullptr;
    const bool ok = info != nullptr && encode16 (png, info, out, image, data.data());
    png_destroy_write_struct (&png, info != nullptr ? &info : nullptr);
    return (std::fclose (out) == 0) && ok;
}
} // namespace artwork
