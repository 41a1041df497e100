#pragma once

// The component the plug-in embeds into the host's X11 window: it holds the processor's editor
// and runs the wrapper's housekeeping while the editor is open. Message thread only.

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

namespace wydvst
{

// What the open editor needs from the instance that shows it. Called on the message thread.
class EditorHostSide
{
public:
    virtual ~EditorHostSide() = default;
    // audioMasterIdle: lets the host redraw while the user holds a mouse button in the editor.
    virtual void idleHost() = 0;
    // The editor took a new size; answers whether the host resized its window.
    virtual bool resizeHostWindow(int width, int height) = 0;
};

class EditorHolder : public juce::Component, private juce::Timer, private juce::AsyncUpdater
{
public:
    static constexpr int kTimerMilliseconds = 250;
    static constexpr juce::uint32 kHostIdleSpacingMilliseconds = 20;

    // Asks the processor for its editor; hasEditor() tells whether it gave one.
    EditorHolder(juce::AudioProcessor& processor, EditorHostSide& hostSide);
    ~EditorHolder() override;

    // Whether JUCE reached an X server; without one no editor can be shown.
    static bool displayIsAvailable();

    bool hasEditor() const { return editor != nullptr; }
    // Shows the holder as a child window of the host's X11 window.
    void embedInto(void* parentWindow);
    // Takes the holder out of the host's window and the editor out of the processor, leaving
    // only the objects themselves to delete (later, when callbacks of theirs are still running).
    void detach();
    // Ends the modal state of every component inside the editor (its dialogs), so that no modal
    // state of a closed editor blocks the others.
    void exitModalStates();

private:
    bool keyPressed(const juce::KeyPress& key) override;
    void handKeyToHost(const juce::KeyPress& key);
    // The editor's topmost open dialog, if any.
    juce::Component* shownDialog() const;
    static juce::TextEditor* firstShowingTextEditorIn(juce::Component& component);
    void timerCallback() override;
    // Keeps JUCE's idea of where the window is on screen right when the host moves it.
    void remeasureIfMoved();
    void handleAsyncUpdate() override;
    void paint(juce::Graphics&) override;
    void paintOverChildren(juce::Graphics&) override;
    void childBoundsChanged(juce::Component* child) override;

    static bool isMouseButtonHeld();
    void releaseHeldMouseButtons();
    void idleHostIfDue();

    juce::AudioProcessor& processor;
    EditorHostSide& hostSide;
    std::unique_ptr<juce::AudioProcessorEditor> editor;
    // The host's X11 window the holder is embedded in (an X Window id).
    unsigned long hostWindow = 0;
    juce::uint32 lastHostIdle = 0;
    bool hasIdledHost = false;
};

} // namespace wydvst
