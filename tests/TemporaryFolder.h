#pragma once

// Temporary folders and lock files of the tests. They go under $TMPDIR when set: the test
// command points it at a run folder of its own and removes that whatever happens, so nothing a
// crashed or killed test program made stays behind.

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include <stdlib.h>

namespace wydtest
{

inline std::string temporaryRoot()
{
    const char* root = std::getenv("TMPDIR");
    return root != nullptr && *root != 0 ? std::string(root) : std::string("/tmp");
}

// A fresh folder named `prefix` plus six random characters (mkdtemp: parallel programs never
// share one), removed with everything in it when the object goes, a failed test included.
class TemporaryFolder
{
public:
    explicit TemporaryFolder(const std::string& prefix)
    {
        std::string pattern = temporaryRoot() + "/" + prefix + "XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("no temporary folder: " + pattern);
        folder = pattern;
    }
    ~TemporaryFolder()
    {
        // remove_all does not follow links: a test's cyclic link cannot trap it.
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& path() const { return folder; }

private:
    std::string folder;
};

} // namespace wydtest
