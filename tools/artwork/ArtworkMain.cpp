// wyd-artwork: draws every embedded image of the editor and writes them as PNG files.
// Usage: wyd-artwork <images folder> <docs folder> <font folder>
// The same sources give the same bytes on every run: fonts come from files, nothing is random.
#include "ControlArt.h"
#include "DialogArt.h"
#include "Faceplate.h"
#include "PngOut.h"
#include "Sheets.h"
#include "Style.h"

#include <iostream>

namespace
{
using namespace artwork;

ImageSet drawAll()
{
    ImageSet images;
    const auto background = drawFaceplate();
    images["KX7BinImg/background"] = background;
    for (auto& c : controls())
        images[juce::String ("KX7BinImg/") + c.file] = buildStrip (c, background);

    const std::pair<const char*, const char*> buttons[] = {
        { "okbutton", "OK" }, { "cancelbutton", "CANCEL" }, { "savebutton", "SAVE" },
        { "loadbutton", "LOAD" }, { "importbutton", "IMPORT" }, { "newfolderbutton", "NEW FOLDER" },
        { "downloadbutton", "DOWNLOAD" }, { "overwritebutton", "OVERWRITE" }
    };
    for (auto& [file, word] : buttons)
        images[juce::String ("dialogbrowser/") + file] = drawDialogButton (word);
    images["dialogbrowser/exclamationicon"] = drawIcon (IconKind::warning);
    images["dialogbrowser/smileicon"] = drawIcon (IconKind::smile);
    images["dialogbrowser/frownicon"] = drawIcon (IconKind::frown);
    images["dialogbrowser/saveastitle"] = drawDialogTitle ("SAVE AS");
    images["dialogbrowser/loadtitle"] = drawDialogTitle ("LOAD");
    images["dialogbrowser/importtitle"] = drawDialogTitle ("IMPORT");
    images["WydDialogBox/dialog_box_small"] = drawMessagePanel();
    images["WydDialogBox/file_browser_clean"] = drawFileDialogPanel();
    images["aboutboxBinImg/about_box_kx7"] = drawAboutPicture();
    return images;
}

bool writeAll (const ImageSet& images, const juce::File& imageFolder)
{
    bool ok = true;
    for (auto& [name, image] : images)
    {
        const auto file = imageFolder.getChildFile (name + ".png");
        const bool written = name == "WydDialogBox/file_browser_clean" ? writePng16 (image, file)
                                                                      : writePng8 (image, file);
        if (! written)
            std::cerr << "cannot write " << file.getFullPathName() << "\n";
        ok = ok && written;
    }
    return ok;
}
} // namespace

int main (int argc, char** argv)
{
    if (argc != 4)
    {
        std::cerr << "usage: wyd-artwork <images folder> <docs folder> <font folder>\n";
        return 2;
    }
    const juce::File imageFolder (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));
    const juce::File docsFolder (juce::File::getCurrentWorkingDirectory().getChildFile (argv[2]));
    juce::String error;
    if (! Fonts::load (juce::File::getCurrentWorkingDirectory().getChildFile (argv[3]), error))
    {
        std::cerr << error;
        return 1;
    }
    if (const auto problems = checkLayout(); problems.isNotEmpty())
    {
        std::cerr << problems;
        return 1;
    }
    const auto images = drawAll();
    bool ok = writeAll (images, imageFolder);
    ok = writePng8 (drawEditorPreview (images), docsFolder.getChildFile ("editor-preview.png")) && ok;
    ok = writePng8 (drawContactSheet (images), docsFolder.getChildFile ("contact-sheet.png")) && ok;
    ok = writePng8 (drawDialogPreview (images), docsFolder.getChildFile ("dialogs-preview.png")) && ok;
    juce::DeletedAtShutdown::deleteAll();
    return ok ? 0 : 1;
}
