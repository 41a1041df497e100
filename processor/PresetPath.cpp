#include "processor/PresetPath.h"

#include <string>
#include <string_view>

namespace PresetPath
{
namespace
{
juce::String withoutExtension(std::string_view name)
{
    // A leading dot starts a hidden name, not an extension.
    const size_t dot = name.find_last_of('.');
    if (dot != std::string_view::npos && dot > 0)
        name = name.substr(0, dot);
    return juce::String::fromUTF8(name.data(), static_cast<int>(name.size()));
}
} // namespace

juce::String fromDocument(const juce::String& text)
{
    return text.getNumBytesAsUTF8() > static_cast<size_t>(longestBytes) ? juce::String() : text;
}

juce::String fileNameWithoutExtension(const juce::String& folder, const juce::String& path)
{
    const std::string full = (folder + "/" + path).toStdString();
    // From the end: each ".." passes over the next real component before it.
    std::string_view rest(full);
    int parentsToSkip = 0;
    while (!rest.empty())
    {
        const size_t slash = rest.find_last_of('/');
        const std::string_view component = slash == std::string_view::npos ? rest : rest.substr(slash + 1);
        rest = rest.substr(0, slash == std::string_view::npos ? 0 : slash);
        if (component.empty() || component == ".")
            continue;
        if (component == "..")
            ++parentsToSkip;
        else if (parentsToSkip > 0)
            --parentsToSkip;
        else
            return withoutExtension(component);
    }
    return {};
}
} // namespace PresetPath
