#include "Layout.h"

namespace artwork
{
namespace
{
juce::Rectangle<int> size (int w, int h) { return { 0, 0, w, h }; }
} // namespace

const std::vector<ControlArt>& controls()
{
    using K = ControlKind;
    static const std::vector<ControlArt> table {
        { "file", K::pushButton, { 47, 0, 78, 33 }, size (78, 33), 2, 0.0f },
        { "presetleft", K::pushButton, { 190, 0, 32, 33 }, size (32, 33), 2, 0.0f },
        { "presetright", K::pushButton, { 488, 0, 33, 33 }, size (33, 33), 2, 0.0f },
        { "ab", K::switchLamp, { 603, 7, 46, 26 }, size (46, 26), 2, 0.0f },
        { "atob", K::pushButton, { 670, 0, 67, 33 }, size (67, 33), 2, 0.0f },
        { "btoa", K::pushButton, { 670, 0, 67, 33 }, size (67, 33), 2, 0.0f },
        { "bypass", K::switchLamp, { 750, 0, 50, 33 }, size (50, 33), 2, 1.0f },
        { "saturationon", K::switchLamp, { 28, 295, 29, 21 }, size (28, 21), 2, 0.0f },
        { "saturationautolevelon", K::switchLamp, { 58, 295, 28, 21 }, size (29, 21), 2, 0.0f },
        { "phase", K::switchLamp, { 130, 241, 33, 35 }, size (33, 35), 2, 0.0f },
        { "inputvol", K::knob, { 35, 232, 49, 49 }, size (49, 49), 101, 0.5f },
        { "tolmlowpeak", K::knob, { 161, 96, 58, 57 }, size (58, 57), 101, 0.0f },
        { "tolmmiddip", K::knob, { 434, 75, 58, 57 }, size (58, 57), 101, 0.0f },
        { "tolmhighpeak", K::knob, { 694, 96, 58, 57 }, size (58, 57), 101, 0.0f },
        { "brasklowboost", K::knob, { 173, 336, 58, 58 }, size (58, 58), 101, 0.0f },
        { "brasklowatten", K::knob, { 283, 336, 58, 58 }, size (58, 58), 101, 0.0f },
        { "braskhighboost", K::knob, { 459, 336, 58, 58 }, size (58, 58), 101, 0.0f },
        { "braskhighboostbandwidth", K::knob, { 569, 336, 59, 58 }, size (59, 58), 101, 0.5f },
        { "braskhighatten", K::knob, { 705, 347, 59, 58 }, size (59, 58), 101, 0.0f },
        { "outputvol", K::knob, { 35, 353, 49, 49 }, size (49, 49), 101, 0.5f },
        { "tolmlowfreq", K::selector, { 0, 80, 127, 118 }, size (109, 118), 5, 0.0f },
        { "tolmmidfreq", K::selector, { 273, 54, 123, 140 }, size (123, 137), 11, 0.0f },
        { "tolmhighfreq", K::selector, { 535, 77, 132, 118 }, size (132, 118), 5, 0.0f },
        { "brasklowfreq", K::selector, { 199, 218, 115, 118 }, size (115, 113), 4, 0.0f },
        { "braskhighboostfreq", K::selector, { 488, 217, 110, 119 }, size (110, 117), 7, 0.0f },
        { "braskhighattenfreq", K::selector, { 680, 222, 118, 122 }, size (118, 122), 3, 0.0f },
        { "tolmon", K::switchLamp, { 382, 170, 36, 17 }, size (36, 17), 2, 1.0f },
        { "braskon", K::switchLamp, { 380, 365, 40, 22 }, size (40, 22), 2, 1.0f },
    };
    return table;
}

// Dial centres sit where the printed step labels form a circle (about 44 px out), so the
// labels ring the dial evenly; each pointer angle is taken from this centre to its label.
const std::vector<SelectorArt>& selectors()
{
    static const std::vector<SelectorArt> table {
        { "tolmlowfreq", { 0, 80, 127, 118 }, { 0, 0, 109, 118 }, { 65.0f, 46.0f }, "LOW FREQ", "Hz", { 62.0f, 182.0f },
          { { { 79, 4, 29, 10 }, "200" }, { { 92, 20, 29, 10 }, "300" }, { { 97, 39, 30, 10 }, "500" },
            { { 92, 60, 28, 10 }, "700" }, { { 79, 74, 36, 13 }, "1000" } } },
        { "tolmmidfreq", { 273, 54, 123, 140 }, { 0, 3, 123, 137 }, { 59.5f, 49.5f }, "MID FREQ", "kHz", { 332.0f, 182.0f },
          { { { 25, 79, 22, 13 }, "0.2" }, { { 10, 66, 23, 10 }, "0.3" }, { { 3, 43, 25, 10 }, "0.5" },
            { { 9, 23, 24, 10 }, "0.7" }, { { 35, 7, 11, 13 }, "1" }, { { 55, 0, 16, 14 }, "1.5" },
            { { 79, 6, 13, 13 }, "2" }, { { 91, 24, 12, 9 }, "3" }, { { 96, 44, 12, 9 }, "4" },
            { { 92, 65, 10, 11 }, "5" }, { { 79, 78, 11, 13 }, "7" } } },
        { "tolmhighfreq", { 535, 77, 132, 118 }, { 0, 0, 132, 118 }, { 54.0f, 46.5f }, "HIGH FREQ", "kHz", { 589.0f, 182.0f },
          { { { 77, 7, 19, 10 }, "1.5" }, { { 90, 23, 13, 9 }, "2" }, { { 95, 43, 11, 8 }, "3" },
            { { 90, 63, 12, 10 }, "4" }, { { 77, 77, 11, 13 }, "5" } } },
        { "brasklowfreq", { 199, 218, 115, 118 }, { 0, 5, 115, 113 }, { 55.0f, 49.0f }, "LOW FREQ", "Hz", { 254.0f, 305.0f },
          { { { 1, 43, 22, 11 }, "20" }, { { 10, 22, 19, 10 }, "30" }, { { 26, 4, 15, 14 }, "60" },
            { { 47, 0, 21, 14 }, "100" } } },
        { "braskhighboostfreq", { 488, 217, 110, 119 }, { 0, 2, 110, 117 }, { 56.5f, 50.0f }, "HIGH BOOST FREQ", "kHz", { 544.0f, 310.0f },
          { { { 6, 44, 14, 10 }, "3" }, { { 12, 24, 13, 9 }, "4" }, { { 29, 7, 9, 12 }, "5" },
            { { 51, 0, 8, 14 }, "8" }, { { 72, 8, 17, 10 }, "10" }, { { 86, 24, 17, 10 }, "12" },
            { { 91, 44, 18, 9 }, "16" } } },
        { "braskhighattenfreq", { 680, 222, 118, 122 }, { 2, 0, 118, 122 }, { 53.5f, 43.5f }, "ATTEN FREQ", "kHz", { 736.0f, 322.0f },
          { { { 25, 75, 12, 13 }, "5" }, { { 0, 38, 19, 10 }, "10" }, { { 18, 2, 19, 12 }, "20" } } },
    };
    return table;
}

const SelectorArt* findSelector (const juce::String& file)
{
    for (auto& s : selectors())
        if (file == s.file)
            return &s;
    return nullptr;
}
juce::String checkLayout()
{
    juce::String problems;
    for (auto& c : controls())
    {
        const auto* s = findSelector (c.file);
        if ((c.kind == ControlKind::selector) != (s != nullptr))
        {
            problems << c.file << ": selector table and control table disagree\n";
            continue;
        }
        if (s == nullptr)
            continue;
        if (s->bounds != c.bounds || s->knobArea.getWidth() != c.frameSize.getWidth()
            || s->knobArea.getHeight() != c.frameSize.getHeight() || (int) s->steps.size() != c.frames)
            problems << c.file << ": bounds, knob area or step count differ from its strip\n";
    }
    return problems;
}
} // namespace artwork
