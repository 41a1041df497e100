#include "EditorTestSupport.h"
#include "ui/images/BinaryImages.h"

using namespace wydtest;
using namespace ParameterTable;

namespace
{
// True when the component shows frame 0 of the strip pixel for pixel.
bool showsFirstFrameOf(juce::Component& c, const char* png, int size)
{
    const auto shot = c.createComponentSnapshot(c.getLocalBounds());
    const auto strip = juce::ImageFileFormat::loadFrom(png, (size_t) size);
    for (int y = 0; y < c.getHeight(); ++y)
        for (int x = 0; x < c.getWidth(); ++x)
            if (shot.getPixelAt(x, y).getARGB() != strip.getPixelAt(x, y).getARGB())
                return false;
    return true;
}

// Counts the areas the editor and its children ask to repaint.
struct RepaintRecorder : juce::CachedComponentImage
{
    void paint(juce::Graphics&) override {}
    bool invalidateAll() override { return ++requests, true; }
    bool invalidate(const juce::Rectangle<int>&) override { return ++requests, true; }
    void releaseResources() override {}
    int requests = 0;
};

auto unchanged = [](WYD_KX7AudioProcessor&) {};
} // namespace

TEST_F(EditorTest, HostAutomationMovesTheKnobMarksThePresetAndSendsNothingBack)
{
    writePresetFile("Warm.tz7p", unchanged);
    slot().presetPath[0] = "Warm.tz7p";
    openEditor();
    tick(3);
    EXPECT_EQ(presetMenu().getText(), "Warm");
    forgetChanges();

    processor->setParameter(kTolmMidDip, 0.42f); // as the host's automation does
    tick();
    EXPECT_EQ(child<juce::Slider>("tolmMidDipKnob_").getValue(), (double) 0.42f);
    EXPECT_EQ(presetMenu().getText(), "Warm*");
    EXPECT_TRUE(host.parameterChanges.empty());
    EXPECT_EQ(host.displayUpdates, 0);
}

TEST_F(EditorTest, ATickWithNothingChangedRepaintsNothing)
{
    openEditor();
    tick(3);
    auto* recorder = new RepaintRecorder;
    editor->setVisible(true);
    editor->setCachedComponentImage(recorder);
    recorder->requests = 0; // installing it asks for one

    tick(2);
    EXPECT_EQ(recorder->requests, 0);
    processor->setParameter(kInputVol, 0.9f);
    tick();
    EXPECT_GT(recorder->requests, 0); // the recorder does see the knob's repaint
    editor->setCachedComponentImage(nullptr);
}

TEST_F(EditorTest, HostProgramChangeShowsTheProgramAndReshowsItsPresetNameOnThreeTicks)
{
    writePresetFile("P3B.tz7p", [](WYD_KX7AudioProcessor& p) { p.setParameter(kTolmMidDip, 0.6f); });
    auto& program3 = processor->programs[3];
    program3.activeChannel = 1;
    program3.presetPath[1] = "P3B.tz7p";
    program3.values[1][kTolmMidDip] = 0.6f;
    openEditor();
    tick(3);
    EXPECT_TRUE(showsFirstFrameOf(child("abCopyButton_"), KX7BinImg::atob_png, KX7BinImg::atob_pngSize));

    processor->setCurrentProgram(3);
    tick();
    EXPECT_EQ(child<juce::Slider>("tolmMidDipKnob_").getValue(), (double) 0.6f);
    EXPECT_TRUE(child<juce::Button>("abButton_").getToggleState());
    EXPECT_TRUE(showsFirstFrameOf(child("abCopyButton_"), KX7BinImg::btoa_png, KX7BinImg::btoa_pngSize));
    EXPECT_EQ(presetMenu().getText(), "P3B");
    for (const char* expected : {"P3B", "P3B", "stale"})
    {
        presetMenu().setText("stale", juce::dontSendNotification);
        tick();
        EXPECT_EQ(presetMenu().getText(), expected);
    }
}

namespace
{
// The host writes a value from its own thread while the editor's timer is reading the values.
struct InterleavingProcessor : WYD_KX7AudioProcessor
{
    float getParameter(int index) override
    {
        if (armed && index == kTolmMidDip)
        {
            armed = false;
            setParameter(kTolmLowPeak, 0.9f); // read already on this tick
        }
        return WYD_KX7AudioProcessor::getParameter(index);
    }
    bool armed = false;
};

struct InterleavedEditorTest : EditorTest
{
    std::unique_ptr<WYD_KX7AudioProcessor> makeProcessor() override
    {
        return std::make_unique<InterleavingProcessor>();
    }
};
} // namespace

TEST_F(InterleavedEditorTest, AHostChangeDuringTheTicksReadIsShownOnTheNextTick)
{
    openEditor();
    tick(3);
    processor->setParameter(kInputVol, 0.8f);
    static_cast<InterleavingProcessor&>(*processor).armed = true;
    tick();
    EXPECT_NE(child<juce::Slider>("tolmLowPeakKnob_").getValue(), (double) 0.9f);
    tick();
    EXPECT_EQ(child<juce::Slider>("tolmLowPeakKnob_").getValue(), (double) 0.9f);
}

// Set WYD_EDITOR_SNAPSHOT to a .png path to keep the picture.
TEST_F(EditorTest, TheOpenEditorShowsTheBackgroundWithEachControlsFrameOnTop)
{
    openEditor();
    tick();
    const auto shot = editor->createComponentSnapshot(editor->getLocalBounds());
    if (const char* path = std::getenv("WYD_EDITOR_SNAPSHOT"))
    {
        juce::File(path).deleteFile();
        juce::FileOutputStream out{juce::File(path)};
        juce::PNGImageFormat().writeImageToStream(shot, out);
    }
    const auto background = juce::ImageFileFormat::loadFrom(KX7BinImg::background_png, KX7BinImg::background_pngSize);
    EXPECT_EQ(shot.getPixelAt(400, 250).getARGB(), background.getPixelAt(400, 250).getARGB());
    // The bypass switch is on by default: its lower frame.
    const auto bypass = juce::ImageFileFormat::loadFrom(KX7BinImg::bypass_png, KX7BinImg::bypass_pngSize);
    EXPECT_EQ(shot.getPixelAt(750 + 25, 16).getARGB(), bypass.getPixelAt(25, 33 + 16).getARGB());
}
