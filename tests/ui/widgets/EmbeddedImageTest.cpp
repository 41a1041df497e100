#include "ui/UiTestSupport.h"
#include "ui/images/BinaryImages.h"

#include <gtest/gtest.h>

namespace
{

struct Resource
{
    const char* name;
    const char* data;
    int size;
    int width;
    int height;
    bool alpha;
    int frames;
};

#define WYD_RESOURCE(ns, image, w, h, alpha, frames) \
    Resource { #ns "::" #image, ns::image##_png, ns::image##_pngSize, w, h, alpha, frames }

const Resource resources[] = {
    WYD_RESOURCE(aboutboxBinImg, about_box_kx7, 430, 240, true, 1),
    WYD_RESOURCE(dialogbrowser, cancelbutton, 108, 60, true, 2),
    WYD_RESOURCE(dialogbrowser, downloadbutton, 108, 60, true, 2),
    WYD_RESOURCE(dialogbrowser, exclamationicon, 50, 50, true, 1),
    WYD_RESOURCE(dialogbrowser, frownicon, 50, 50, true, 1),
    WYD_RESOURCE(dialogbrowser, importbutton, 108, 60, true, 2),
    WYD_RESOURCE(dialogbrowser, importtitle, 100, 20, true, 1),
    WYD_RESOURCE(dialogbrowser, loadbutton, 108, 60, true, 2),
    WYD_RESOURCE(dialogbrowser, loadtitle, 100, 20, true, 1),
    WYD_RESOURCE(dialogbrowser, newfolderbutton, 108, 60, true, 2),
    WYD_RESOURCE(dialogbrowser, okbutton, 108, 60, true, 2),
    WYD_RESOURCE(dialogbrowser, overwritebutton, 108, 60, true, 2),
    WYD_RESOURCE(dialogbrowser, saveastitle, 100, 20, true, 1),
    WYD_RESOURCE(dialogbrowser, savebutton, 108, 60, true, 2),
    WYD_RESOURCE(dialogbrowser, smileicon, 50, 50, true, 1),
    WYD_RESOURCE(WydDialogBox, dialog_box_small, 486, 200, true, 1),
    WYD_RESOURCE(WydDialogBox, file_browser_clean, 518, 226, true, 1),
    WYD_RESOURCE(KX7BinImg, ab, 46, 52, false, 2),
    WYD_RESOURCE(KX7BinImg, atob, 67, 66, false, 2),
    WYD_RESOURCE(KX7BinImg, background, 800, 450, true, 1),
    WYD_RESOURCE(KX7BinImg, btoa, 67, 66, false, 2),
    WYD_RESOURCE(KX7BinImg, bypass, 50, 66, false, 2),
    WYD_RESOURCE(KX7BinImg, braskhighatten, 59, 5858, false, 101),
    WYD_RESOURCE(KX7BinImg, braskhighattenfreq, 118, 366, false, 3),
    WYD_RESOURCE(KX7BinImg, braskhighboost, 58, 5858, false, 101),
    WYD_RESOURCE(KX7BinImg, braskhighboostbandwidth, 59, 5858, false, 101),
    WYD_RESOURCE(KX7BinImg, braskhighboostfreq, 110, 819, false, 7),
    WYD_RESOURCE(KX7BinImg, brasklowatten, 58, 5858, false, 101),
    WYD_RESOURCE(KX7BinImg, brasklowboost, 58, 5858, false, 101),
    WYD_RESOURCE(KX7BinImg, brasklowfreq, 115, 452, false, 4),
    WYD_RESOURCE(KX7BinImg, braskon, 40, 44, false, 2),
    WYD_RESOURCE(KX7BinImg, file, 78, 66, false, 2),
    WYD_RESOURCE(KX7BinImg, inputvol, 49, 4949, false, 101),
    WYD_RESOURCE(KX7BinImg, tolmhighfreq, 132, 590, false, 5),
    WYD_RESOURCE(KX7BinImg, tolmhighpeak, 58, 5757, false, 101),
    WYD_RESOURCE(KX7BinImg, tolmlowfreq, 109, 590, false, 5),
    WYD_RESOURCE(KX7BinImg, tolmlowpeak, 58, 5757, false, 101),
    WYD_RESOURCE(KX7BinImg, tolmmiddip, 58, 5757, false, 101),
    WYD_RESOURCE(KX7BinImg, tolmmidfreq, 123, 1507, false, 11),
    WYD_RESOURCE(KX7BinImg, tolmon, 36, 34, false, 2),
    WYD_RESOURCE(KX7BinImg, outputvol, 49, 4949, false, 101),
    WYD_RESOURCE(KX7BinImg, phase, 33, 70, false, 2),
    WYD_RESOURCE(KX7BinImg, presetleft, 32, 66, false, 2),
    WYD_RESOURCE(KX7BinImg, presetright, 33, 66, false, 2),
    WYD_RESOURCE(KX7BinImg, saturationautolevelon, 29, 42, false, 2),
    WYD_RESOURCE(KX7BinImg, saturationon, 28, 42, false, 2),
};

// Bit depth from the PNG header: signature (8), chunk length (4), "IHDR" (4), width, height.
int pngBitDepth(const Resource& r)
{
    return r.size > 24 ? (unsigned char) r.data[24] : 0;
}

} // namespace

TEST(EmbeddedImages, EveryImageDecodesWithItsSizeFramesAndAlpha)
{
    for (const auto& r : resources)
    {
        const auto image = juce::ImageFileFormat::loadFrom(r.data, (size_t) r.size);
        ASSERT_TRUE(image.isValid()) << r.name;
        EXPECT_EQ(image.getWidth(), r.width) << r.name;
        EXPECT_EQ(image.getHeight(), r.height) << r.name;
        EXPECT_EQ(image.getHeight() % r.frames, 0) << r.name << ": frames of unequal height";
        EXPECT_EQ(image.hasAlphaChannel(), r.alpha) << r.name;
    }
}

TEST(EmbeddedImages, FileDialogPanelKeepsSixteenBitsPerChannel)
{
    const auto& panel = resources[16];
    ASSERT_STREQ(panel.name, "WydDialogBox::file_browser_clean");
    EXPECT_EQ(pngBitDepth(panel), 16);
}
