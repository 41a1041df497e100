#include "ui/UiTestSupport.h"
#include "ui/images/BinaryImages.h"

#include <vector>

namespace
{

struct Embedded
{
    const char* name;
    const char* data;
    int size;
};

// Images that share pixel size, alpha and frame count.
struct Kind
{
    int width, height;
    bool alpha;
    int frames;
    std::vector<Embedded> images;
};

#define IMG(ns, n) Embedded{#ns "::" #n, ns::n##_png, ns::n##_pngSize}
#define DLG(n) IMG(dialogbrowser, n)
#define KX7(n) IMG(KX7BinImg, n)

const Kind kinds[] = {
    {430, 240, true, 1, {IMG(aboutboxBinImg, about_box_kx7)}},
    {108, 60, true, 2, {DLG(cancelbutton), DLG(downloadbutton), DLG(importbutton), DLG(loadbutton),
                        DLG(newfolderbutton), DLG(okbutton), DLG(overwritebutton), DLG(savebutton)}},
    {50, 50, true, 1, {DLG(exclamationicon), DLG(frownicon), DLG(smileicon)}},
    {100, 20, true, 1, {DLG(importtitle), DLG(loadtitle), DLG(saveastitle)}},
    {486, 200, true, 1, {IMG(WydDialogBox, dialog_box_small)}},
    {518, 226, true, 1, {IMG(WydDialogBox, file_browser_clean)}},
    {800, 450, true, 1, {KX7(background)}},
    {46, 52, false, 2, {KX7(ab)}},
    {67, 66, false, 2, {KX7(atob), KX7(btoa)}},
    {50, 66, false, 2, {KX7(bypass)}},
    {59, 5858, false, 101, {KX7(braskhighatten), KX7(braskhighboostbandwidth)}},
    {58, 5858, false, 101, {KX7(braskhighboost), KX7(brasklowatten), KX7(brasklowboost)}},
    {118, 366, false, 3, {KX7(braskhighattenfreq)}},
    {110, 819, false, 7, {KX7(braskhighboostfreq)}},
    {115, 452, false, 4, {KX7(brasklowfreq)}},
    {40, 44, false, 2, {KX7(braskon)}},
    {78, 66, false, 2, {KX7(file)}},
    {49, 4949, false, 101, {KX7(inputvol), KX7(outputvol)}},
    {132, 590, false, 5, {KX7(tolmhighfreq)}},
    {109, 590, false, 5, {KX7(tolmlowfreq)}},
    {58, 5757, false, 101, {KX7(tolmhighpeak), KX7(tolmlowpeak), KX7(tolmmiddip)}},
    {123, 1507, false, 11, {KX7(tolmmidfreq)}},
    {36, 34, false, 2, {KX7(tolmon)}},
    {33, 70, false, 2, {KX7(phase)}},
    {32, 66, false, 2, {KX7(presetleft)}},
    {33, 66, false, 2, {KX7(presetright)}},
    {29, 42, false, 2, {KX7(saturationautolevelon)}},
    {28, 42, false, 2, {KX7(saturationon)}},
};

} // namespace

TEST(EmbeddedImages, EveryImageDecodesWithItsSizeFramesAndAlpha)
{
    for (const auto& kind : kinds)
        for (const auto& e : kind.images)
        {
            const auto image = juce::ImageFileFormat::loadFrom(e.data, (size_t) e.size);
            ASSERT_TRUE(image.isValid()) << e.name;
            EXPECT_EQ(image.getBounds(), juce::Rectangle<int>(kind.width, kind.height)) << e.name;
            EXPECT_EQ(kind.height % kind.frames, 0) << e.name << ": frames of unequal height";
            EXPECT_EQ(image.hasAlphaChannel(), kind.alpha) << e.name;
        }
}

TEST(EmbeddedImages, FileDialogPanelKeepsSixteenBitsPerChannel)
{
    // Bit depth byte of the header: signature (8), chunk length (4), "IHDR" (4), width, height.
    ASSERT_GT(WydDialogBox::file_browser_clean_pngSize, 24);
    EXPECT_EQ((unsigned char) WydDialogBox::file_browser_clean_png[24], 16);
}
