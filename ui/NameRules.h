#pragma once

#include <juce_core/juce_core.h>

// What a name typed by the user may hold. A preset path goes into the host's copy of the state,
// so it holds only characters a preset document can carry. A new folder's name is one folder
// name: besides those it holds no folder separator and none of the characters other systems'
// file systems refuse, while "#", "@" and "," stay as they do in preset names.
namespace NameRules
{
// The characters of a preset path (below the preset folder) it cannot hold, each once.
juce::Array<juce::juce_wchar> charactersPresetPathsCannotHold(const juce::String& path);
// The characters of a new folder's name it cannot hold, each once.
juce::Array<juce::juce_wchar> charactersFolderNamesCannotHold(const juce::String& name);

// The characters as a user can read them: each one itself, or its code ("U+0001") when it is
// invisible; separated by spaces.
juce::String listed(const juce::Array<juce::juce_wchar>& characters);

// "The <what> can't hold these characters: <listed>\nTry different name."
juce::String refusalMessage(const juce::String& what, const juce::Array<juce::juce_wchar>& characters);
} // namespace NameRules
