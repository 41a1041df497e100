// editor-exit-host: a host that ends its process with the plug-in's editor open, for the tests
// that watch how long that takes. Like most hosts it has one GUI thread, its main thread: that
// thread opens the editor in a window on $DISPLAY, idles it and prints "open"; then
//   --exit  calls exit(0) with the editor open;
//   --idle  keeps idling the editor until the process is ended otherwise (by Xlib when the X
//           server goes away, say).
//
// Usage: editor-exit-host PLUGIN.so --exit|--idle

#include "tools/VstHost.h"
#include "tools/X11Session.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace
{

int fail(const std::string& why)
{
    std::fprintf(stderr, "editor-exit-host: %s\n", why.c_str());
    return 2;
}

// One round of the host's GUI loop: idle every editor, then wait for the next tick.
void idleOnce(const vsthost::PluginInstance& plugin)
{
    plugin.dispatch(effEditIdle);
    std::this_thread::sleep_for(std::chrono::milliseconds(15));
}

} // namespace

int main(int argc, char** argv)
{
    const bool exitWithEditorOpen = argc == 3 && std::strcmp(argv[2], "--exit") == 0;
    if (argc != 3 || (!exitWithEditorOpen && std::strcmp(argv[2], "--idle") != 0))
        return fail("usage: editor-exit-host PLUGIN.so --exit|--idle");

    std::string error;
    auto x11 = vsthost::X11Session::open(error);
    if (!x11)
        return fail(error);
    auto library = vsthost::PluginLibrary::open(argv[1], error);
    if (!library)
        return fail(error);

    // Never destroyed: the process ends with the instance and its editor in use.
    auto* host = new vsthost::Host;
    auto* plugin = new vsthost::PluginInstance(*library, *host);
    if (!plugin->valid())
        return fail("the plug-in made no instance");
    plugin->start(44100.0f, 512);
    const auto size = plugin->editorSize();
    if (!plugin->openEditor(x11->createParentWindow(size.first, size.second)))
        return fail("the plug-in did not open its editor");
    for (int round = 0; round < 10; ++round)
        idleOnce(*plugin);

    std::printf("open\n");
    std::fflush(stdout);
    if (exitWithEditorOpen)
        std::exit(0);
    for (;;)
        idleOnce(*plugin);
}
