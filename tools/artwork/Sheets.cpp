#include "Sheets.h"

#include "ControlArt.h"
#include "Style.h"

namespace artwork
{
namespace
{
juce::Image frameOf (const juce::Image& strip, int frames, int k)
{
    const int h = strip.getHeight() / frames;
    return strip.getClippedImage ({ 0, k * h, strip.getWidth(), h });
}

struct SheetCursor
{
    juce::Graphics& g;
    int width;
    int x = 10, y = 10, rowHeight = 0;

    void place (const juce::String& label, const juce::Image& image, float scale = 1.0f)
    {
        const int w = juce::roundToInt (image.getWidth() * scale), h = juce::roundToInt (image.getHeight() * scale);
        const int needed = juce::jmax (w, 96);
        if (x + needed > width - 10)
            newRow();
        g.setColour (juce::Colour (0xff888888));
        g.fillRect (x, y, w, h);
        g.drawImage (image, x, y, w, h, 0, 0, image.getWidth(), image.getHeight());
        drawCentred (g, label, Fonts::sans (9.0f), { x + w / 2.0f, (float) y + h + 8.0f }, juce::Colours::black);
        x += needed + 12;
        rowHeight = juce::jmax (rowHeight, h + 18);
    }

    void newRow()
    {
        x = 10;
        y += rowHeight + 8;
        rowHeight = 0;
    }
};

void layOutStrips (SheetCursor& cursor, const ImageSet& images)
{
    for (auto& c : controls())
    {
        const auto& strip = images.at (juce::String ("KX7BinImg/") + c.file);
        if (c.kind == ControlKind::selector && cursor.x > 10)
            cursor.newRow();
        if (c.kind == ControlKind::knob)
        {
            for (int k : { 0, 25, 50, 75, 100 })
                cursor.place (juce::String (c.file).substring (0, 14) + " " + juce::String (k), frameOf (strip, c.frames, k));
        }
        else
        {
            for (int k = 0; k < c.frames; ++k)
                cursor.place (juce::String (c.file).substring (0, 14) + " " + juce::String (k), frameOf (strip, c.frames, k));
        }
        if (c.kind == ControlKind::selector)
            cursor.newRow();
    }
    cursor.newRow();
}
} // namespace

juce::Image drawEditorPreview (const ImageSet& images)
{
    juce::Image preview = images.at ("KX7BinImg/background").createCopy();
    juce::Graphics g (preview);
    for (auto& c : controls())
    {
        if (juce::String (c.file) == "btoa")
            continue;   // the editor opens with the A-to-B copy button
        const auto& strip = images.at (juce::String ("KX7BinImg/") + c.file);
        const int h = strip.getHeight() / c.frames;
        const int sourceY = frameForValue (c, c.defaultValue) * h;
        const auto dest = c.kind == ControlKind::selector ? frameRectInEditor (c) : c.bounds;
        // Laid on as the widgets do it: the frame scaled into the bounds, nearest pixel.
        juce::Graphics::ScopedSaveState saved (g);
        g.setImageResamplingQuality (juce::Graphics::lowResamplingQuality);
        g.setFillType (juce::FillType (strip, juce::AffineTransform::translation (0.0f, (float) -sourceY)
                                                  .scaled ((float) dest.getWidth() / (float) strip.getWidth(),
                                                           (float) dest.getHeight() / (float) h)
                                                  .translated (dest.getPosition().toFloat())));
        g.fillRect (dest);
    }
    return preview;
}

juce::Image drawDialogPreview (const ImageSet& images)
{
    // The three dialogs as the editor shows them, with sample text where labels draw theirs.
    juce::Image sheet (juce::Image::ARGB, 940, 720, true, juce::SoftwareImageType());
    juce::Graphics g (sheet);
    g.fillAll (juce::Colour (0xffcfcfcf));
    const auto& panel = images.at ("WydDialogBox/file_browser_clean");
    g.drawImage (panel, 0, 0, 800, 450, 0, 0, panel.getWidth(), panel.getHeight());
    g.setColour (juce::Colours::white);
    g.fillRect (13, 7, 560, 433);
    g.setColour (juce::Colours::grey);
    g.drawRect (13, 7, 560, 433);
    drawCentred (g, "file browser", Fonts::sans (15.0f), { 293.0f, 223.0f }, juce::Colours::grey);
    const auto& title = images.at ("dialogbrowser/saveastitle");
    g.drawImageAt (title, 686 - title.getWidth() / 2, 17);
    int y = 328;
    for (auto* b : { "newfolderbutton", "savebutton", "cancelbutton" })
    {
        const auto& strip = images.at (juce::String ("dialogbrowser/") + b);
        g.drawImage (strip, 639, y, 108, 30, 0, 0, 108, 30);
        y += 38;
    }

    const auto& box = images.at ("WydDialogBox/dialog_box_small");
    g.drawImageAt (box, 0, 470);
    g.drawImageAt (images.at ("dialogbrowser/exclamationicon"), 218, 470 + 12);
    g.setColour (juce::Colours::black);
    g.setFont (Fonts::sans (15.0f));
    g.drawFittedText ("Are you sure you want to overwrite this preset?\n\n\"Drums/Kick.tz7p\"",
                      49, 470 + 60, 389, 80, juce::Justification::centred, 4);
    g.drawImage (images.at ("dialogbrowser/okbutton"), 129, 470 + 154, 108, 30, 0, 0, 108, 30);
    g.drawImage (images.at ("dialogbrowser/cancelbutton"), 248, 470 + 154, 108, 30, 0, 30, 108, 30);

    const auto& about = images.at ("aboutboxBinImg/about_box_kx7");
    g.drawImageAt (about, 500, 470);
    g.setColour (juce::Colour (50, 50, 50));
    g.drawText ("1.0.5 (64bit)", 500 + 75, 470 + 18, 360, 16, juce::Justification::bottomLeft, false);
    return sheet;
}

juce::Image drawContactSheet (const ImageSet& images)
{
    juce::Image sheet (juce::Image::ARGB, 1400, 3200, true, juce::SoftwareImageType());
    juce::Graphics g (sheet);
    g.fillAll (juce::Colour (0xffcfcfcf));
    SheetCursor cursor { g, sheet.getWidth() };
    layOutStrips (cursor, images);
    for (auto& [name, image] : images)
    {
        if (name.startsWith ("KX7BinImg/"))
            continue;
        cursor.place (name.fromFirstOccurrenceOf ("/", false, false), image);
    }
    cursor.newRow();
    return sheet.getClippedImage ({ 0, 0, sheet.getWidth(), juce::jmin (sheet.getHeight(), cursor.y + 10) }).createCopy();
}
} // namespace artwork
