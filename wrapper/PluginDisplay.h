#pragma once

// The plug-in's connection to the X server, through JUCE.

namespace wydvst
{

// Opens JUCE's display if needed and answers whether an X server was reached. Without a window
// manager the atoms of its protocols do not exist yet; JUCE looks them up only if they exist
// and then sends requests naming atom None, which fail. They are created here, so the plug-in
// sends no failing request under any host. Message thread only.
bool openPluginDisplay();

// Hands JUCE the X events that Xlib has already read off the connection. Every request that
// waits for a reply reads the events that came before the reply into Xlib's queue, leaving the
// socket empty, and JUCE's loop waits for the socket: without this, such events (a click, say)
// would wait for the next X traffic, seconds maybe. True if any was handled. Message thread only.
bool dispatchQueuedXEvents();

} // namespace wydvst
