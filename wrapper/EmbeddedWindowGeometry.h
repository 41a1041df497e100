#pragma once

// Where JUCE believes the editors' windows are on screen.
//
// JUCE 7.0.5 keeps one parent position for all windows it embeds into a host's windows, the
// position of whichever window it measured last, and places every embedded window at the same
// parent-relative origin (0, 0). With two editors open, each in its own host window, JUCE thus
// sees them lying on top of each other: the pointer over one editor is taken to be over the
// other, frontmost one, and a click, drag or wheel turn in one editor acts on the other (or on
// a dialog open there, which JUCE keeps in front). Here JUCE is made to measure each embedded
// editor window at its true place on screen, and any move JUCE asks for puts the window back at
// its host window's origin, where it always sits.

namespace wydvst
{
namespace EmbeddedWindowGeometry
{
// An editor window embedded at its host window's origin, from now on measured on screen.
// Message thread only.
void track(unsigned long window);
void untrack(unsigned long window);

// Has JUCE measure `window` again when it moved on screen since JUCE last measured it (the host
// moved its window, or the window was just embedded); `believedX` and `believedY` are where
// JUCE believes it is. Message thread only.
void remeasureIfMoved(unsigned long window, int believedX, int believedY);
} // namespace EmbeddedWindowGeometry
} // namespace wydvst
