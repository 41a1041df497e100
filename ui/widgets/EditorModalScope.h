#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// JUCE keeps one modal stack for the whole process, and a host may show several editors of this
// plug-in at once. A dialog is modal within its own editor only: events for components of other
// editors go through, unless a modal dialog of that editor blocks them.
namespace EditorModalScope
{
// The window a component lives in (its top-level component).
const juce::Component* editorOf(const juce::Component& component);

// The answer of a modal dialog's canModalEventBeSentToComponent for target.
bool allowsEventTo(const juce::Component& dialog, const juce::Component* target);

// True when the dialog's parent exists and is on screen: a dialog is only shown over a visible
// owner.
bool parentIsShowing(const juce::Component& dialog);

// The modal hand-over of nested dialogs: the parent gives up its modal state while a child dialog
// is shown, and takes it back when the child closes.
void takeModalStateFromParent(juce::Component& dialog);
void giveModalStateBackToParent(juce::Component& dialog);

// Enabled buttons are opaque; disabled ones half transparent.
void setButtonEnabled(juce::Component& button, bool enabled);
// Typing goes to `field` from now on, also when the X input focus is elsewhere.
void giveKeyboardTo(juce::Component& field);
} // namespace EditorModalScope
