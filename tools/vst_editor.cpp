// vst-editor: opens a VST 2.4 plug-in's editor in a window of its own, as a host does, and keeps
// it idle for a while; with --xwd it dumps the window's pixels with xwd meanwhile.
//
// Usage: vst-editor PLUGIN.so [--seconds S] [--xwd FILE]

#include "tools/HostGuiThread.h"
#include "tools/VstHost.h"
#include "tools/X11Session.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

extern char** environ;

namespace
{

struct Options
{
    std::string plugin;
    double seconds = 2.0;
    std::string xwdFile;
};

bool parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (arg == "--seconds" && i + 1 < argc)
            options.seconds = std::atof(argv[++i]);
        else if (arg == "--xwd" && i + 1 < argc)
            options.xwdFile = argv[++i];
        else if (options.plugin.empty() && arg.rfind("--", 0) != 0)
            options.plugin = arg;
        else
            return false;
    }
    return !options.plugin.empty() && options.seconds > 0.0;
}

// Runs xwd on the window; the editor keeps being idled by the host's thread meanwhile.
bool dumpWindow(unsigned long window, const std::string& file)
{
    const std::string id = std::to_string(window);
    const char* args[] = {"xwd", "-silent", "-id", id.c_str(), "-out", file.c_str(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, "xwd", nullptr, nullptr, const_cast<char* const*>(args), environ) != 0)
        return false;
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void sleepSeconds(double seconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(static_cast<long>(seconds * 1000.0)));
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parse(argc, argv, options))
    {
        std::fprintf(stderr, "usage: vst-editor PLUGIN.so [--seconds S] [--xwd FILE]\n");
        return 2;
    }
    std::string error;
    auto x11 = vsthost::X11Session::open(error);
    if (!x11)
    {
        std::fprintf(stderr, "vst-editor: %s\n", error.c_str());
        return 1;
    }
    auto library = vsthost::PluginLibrary::open(options.plugin, error);
    if (!library)
    {
        std::fprintf(stderr, "vst-editor: %s\n", error.c_str());
        return 1;
    }

    int result = 0;
    {
        vsthost::Host host;
        vsthost::PluginInstance plugin(*library, host);
        if (!plugin.valid())
        {
            std::fprintf(stderr, "vst-editor: the plug-in made no instance\n");
            return 1;
        }
        plugin.start(44100.0f, 512);
        const auto size = plugin.editorSize();
        if (size.first <= 0 || size.second <= 0)
        {
            std::fprintf(stderr, "vst-editor: the plug-in gives no editor size\n");
            return 1;
        }
        const auto window = x11->createParentWindow(size.first, size.second);

        vsthost::HostGuiThread gui;
        bool opened = false;
        gui.run([&] { opened = plugin.openEditor(window); });
        if (opened)
        {
            gui.startIdling(plugin.record());
            sleepSeconds(options.seconds);
            if (!options.xwdFile.empty() && !dumpWindow(window, options.xwdFile))
            {
                std::fprintf(stderr, "vst-editor: xwd failed\n");
                result = 1;
            }
            gui.stopIdling(plugin.record());
            gui.run([&] { plugin.closeEditor(); });
        }
        else
        {
            std::fprintf(stderr, "vst-editor: the plug-in did not open its editor\n");
            result = 1;
        }
        gui.run([&] { plugin.close(); });
        x11->destroyWindow(window);
    }
    for (const auto& e : vsthost::X11Session::errors())
    {
        std::fprintf(stderr, "vst-editor: X error %d on request %d\n", e.errorCode, e.requestCode);
        result = 1;
    }
    return result;
}
