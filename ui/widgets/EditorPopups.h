#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

// The editor's popup menus. Each belongs to the editor it was opened from, whose window the host
// may hide at any time, and whose keyboard focus it borrows while open.
namespace EditorPopups
{
// Shows `menu` below `target` without waiting; `chosen` hears the picked item's id (0 for none).
// While open, the menu closes when the target's window is hidden or unmapped. The X input focus
// never stays on a menu window: it goes back to the target's window, so that neither a pick nor
// an Escape leaves the focus to whatever window the window manager chooses.
void showMenu(juce::PopupMenu& menu, juce::Component& target, std::function<void(int)> chosen);

// Closes the open menus of the window `component` lives in, and only those.
void dismissMenusOf(const juce::Component& component);

// Gives the X input focus to the window `component` lives in, when that window is on screen.
// Unlike JUCE's own request, this one is not dated: the server never ignores it as older than the
// window manager's last focus change.
void takeInputFocus(const juce::Component& component);
} // namespace EditorPopups
