// Where every control of the editor sits, what its strip holds and what its selector steps read.
// The numbers are the editor's fixed layout; the artwork is drawn to fit them exactly.
#pragma once

#include <juce_graphics/juce_graphics.h>

#include <vector>

namespace artwork
{
enum class ControlKind
{
    knob,          // 101 frames, minimum to maximum
    selector,      // one frame per step, pointer at the step's printed label
    switchLamp,    // two frames: off, on
    pushButton     // two frames: released, pressed
};

struct StepLabel
{
    juce::Rectangle<int> rect;   // click rectangle, in the selector's own coordinates
    const char* text;            // the frequency the host shows for this step, without unit
};

struct ControlArt
{
    const char* file;                 // strip name in KX7BinImg
    ControlKind kind;
    juce::Rectangle<int> bounds;      // in the editor
    juce::Rectangle<int> frameSize;   // strip frame (width, height); position unused
    int frames;
    float defaultValue;               // the value the editor opens with
};

struct SelectorArt
{
    const char* file;
    juce::Rectangle<int> bounds;        // component bounds in the editor
    juce::Rectangle<int> knobArea;      // where the frame is drawn, in component coordinates
    juce::Point<float> dialCentre;      // dial centre, in component coordinates
    const char* caption;                // printed under the dial, with the unit of the numbers
    const char* unit;
    juce::Point<float> captionCentre;   // in the editor
    std::vector<StepLabel> steps;
};

// Knob sweep shared by every knob: frame 0 at -135 degrees, the last frame at +135.
constexpr float knobStartDegrees = -135.0f;
constexpr float knobEndDegrees = 135.0f;

const std::vector<ControlArt>& controls();
const std::vector<SelectorArt>& selectors();
const SelectorArt* findSelector (const juce::String& file);
// Empty when the two tables agree (selector bounds, frame sizes, step counts); else what differs.
juce::String checkLayout();

// Editor rectangles drawn into the background.
const juce::Rectangle<int> presetNameField { 228, 5, 254, 19 };
const juce::Rectangle<int> aboutHotSpot { 11, 4, 24, 24 };
} // namespace artwork
