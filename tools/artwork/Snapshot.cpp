// wyd-artwork-snapshot: renders the real dialog components with the embedded images, to check
// the artwork where JUCE draws its own parts (file browser, labels) on top of it.
// Usage: wyd-artwork-snapshot <output folder>; runs with a temporary HOME.
#include "processor/WYD_KX7AudioProcessor.h"
#include "ui/widgets/TarvelAlertComponent.h"
#include "ui/widgets/TarvelFileBrowser.h"
#include "ui/widgets/TarvelNewFolderComponent.h"
#include "ui/widgets/TarvelSplashScreen.h"
#include "tools/MessageLoop.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <X11/Xlib.h>

#include <cstdlib>
#include <iostream>

namespace
{
using wydtools::runMessageLoopFor;

// Without a window manager these atoms may not exist yet, and JUCE's first window then fails
// with BadAtom; creating them first and keeping the connection open keeps them alive.
Display* createWindowManagerAtoms()
{
    Display* display = XOpenDisplay (nullptr);
    if (display != nullptr)
        for (auto* name : { "WM_PROTOCOLS", "WM_STATE", "_NET_FRAME_EXTENTS", "WM_DELETE_WINDOW" })
            XInternAtom (display, name, False);
    return display;
}

// A window for the dialogs to sit in: they show themselves only over an owner on screen.
struct Owner : juce::Component
{
    Owner()
    {
        setSize (800, 450);
        addToDesktop (0);
        setVisible (true);
    }
    ~Owner() override { removeFromDesktop(); }
};

bool save (juce::Component& c, const juce::File& file)
{
    runMessageLoopFor (300);
    const auto image = c.createComponentSnapshot (c.getLocalBounds(), true, 1.0f);
    juce::MemoryOutputStream bytes;
    juce::PNGImageFormat png;
    return png.writeImageToStream (image, bytes) && file.replaceWithData (bytes.getData(), bytes.getDataSize());
}

int run (const juce::File& out)
{
    juce::LookAndFeel_V3 lookAndFeel;
    juce::LookAndFeel::setDefaultLookAndFeel (&lookAndFeel);
    const auto home = juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("wyd-snap", "");
    const auto presets = home.getChildFile ("Presets");
    presets.getChildFile ("Drums").createDirectory();
    presets.getChildFile ("Init.tz7p").replaceWithText ("<tarvelPatch/>");
    presets.getChildFile ("Vocal warmth.tz7p").replaceWithText ("<tarvelPatch/>");

    bool ok = out.createDirectory().wasOk();
    Owner owner;
    {
        // The whole editor as the plug-in opens it, after its first timer ticks.
        WYD_KX7AudioProcessor processor;
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditor());
        if (editor != nullptr)
        {
            runMessageLoopFor (300);
            ok = save (*editor, out.getChildFile ("snapshot-editor.png")) && ok;
            processor.editorBeingDeleted (editor.get());
        }
    }
    {
        TarvelFileBrowser browser ("browser", "Save", presets, "*.tz7p", 5, 1, 5, 3, 8);
        owner.addChildComponent (browser);
        browser.setBounds (0, 0, 800, 450);
        browser.show();
        ok = save (browser, out.getChildFile ("snapshot-file-dialog.png")) && ok;
        browser.hide();
    }
    {
        TarvelAlertComponent alert ("alert_", 1, 1, 3);
        owner.addChildComponent (alert);
        alert.setBounds (158, 126, 486, 200);
        alert.setTitle ("Are you sure you want to overwrite this preset?\n\n\"Drums/Kick.tz7p\"");
        alert.show (2, 1);
        ok = save (alert, out.getChildFile ("snapshot-message-box.png")) && ok;
        alert.hide();
    }
    {
        TarvelNewFolderComponent prompt ("newFolderComponent_", nullptr, "Please enter the name of the new folder:");
        owner.addChildComponent (prompt);
        prompt.setBounds (77, 80, 486, 200);
        prompt.show();
        ok = save (prompt, out.getChildFile ("snapshot-new-folder.png")) && ok;
        prompt.hide();
    }
    {
        TarvelSplashScreen about ("aboutContainer_");
        owner.addChildComponent (about);
        about.setBounds (186, 106, 430, 240);
        about.setVersion ("1.0.5 (64bit)");
        about.show();
        ok = save (about, out.getChildFile ("snapshot-about.png")) && ok;
        about.hide();
    }
    juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
    home.deleteRecursively();
    return ok ? 0 : 1;
}
} // namespace

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "usage: wyd-artwork-snapshot <output folder>\n";
        return 2;
    }
    Display* atoms = createWindowManagerAtoms();
    if (atoms == nullptr)
    {
        std::cerr << "no X display: run under Xvfb\n";
        return 1;
    }
    int rc = 0;
    {
        juce::ScopedJuceInitialiser_GUI gui;
        rc = run (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));
    }
    XCloseDisplay (atoms);
    return rc;
}
