#include "processor/PresetDocument.h"

#include "processor/ParameterTable.h"
#include "processor/PresetPath.h"
#include "processor/StateBlock.h"
#include "processor/StorableText.h"
#include "processor/WYD_KX7AudioProcessor.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

// The readers take documents as juce::ScopedPointer, which JUCE 7 marks deprecated.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace PresetDocument
{
const char* const rootTag = "tarvelPatch";
const char* const propertiesTag = "Properties";
const char* const productIdentifier = "com.tarvel.WYD-KX7";

namespace
{
bool isAsciiSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool startsWithIgnoringCase(const char* text, const char* prefix)
{
    for (; *prefix != 0; ++text, ++prefix)
        if (asciiLower(*text) != *prefix)
            return false;
    return true;
}

const char* skipDigits(const char* p)
{
    while (isDigit(*p))
        ++p;
    return p;
}

// Decimal exponent of the first significant digit of a mantissa; with the written exponent it
// tells whether a number that did not fit a double was too large (above 0) or too small.
long leadingDigitExponent(const char* mantissa, const char* mantissaEnd)
{
    const char* point = std::find(mantissa, mantissaEnd, '.');
    for (const char* p = mantissa; p != point; ++p)
        if (*p != '0')
            return static_cast<long>(point - p) - 1;
    for (const char* p = point == mantissaEnd ? point : point + 1; p != mantissaEnd; ++p)
        if (*p != '0')
            return -static_cast<long>(p - point);
    return 0;
}

long writtenExponent(const char* exponent)
{
    if (exponent == nullptr)
        return 0;
    const bool negative = *exponent == '-';
    if (*exponent == '-' || *exponent == '+')
        ++exponent;
    long value = 0;
    for (; isDigit(*exponent) && value < 100000; ++exponent)
        value = value * 10 + (*exponent - '0');
    return negative ? -value : value;
}

float narrowToFloat(double value)
{
    constexpr double largest = std::numeric_limits<float>::max();
    if (value > largest)
        return std::numeric_limits<float>::infinity();
    if (value < -largest)
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

juce::String wholeNumberText(double integral)
{
    char digits[400];
    std::snprintf(digits, sizeof digits, "%.0f", integral);
    return digits;
}

juce::String encodeStep(float value, int steps)
{
    const float step = std::ceil(value * static_cast<float>(steps));
    // A stored NaN, or a product too large for a float, has no step to write: write the first.
    if (!std::isfinite(step))
        return "0";
    return wholeNumberText(static_cast<double>(step + 0.0f)); // + 0 turns -0 into 0
}

juce::String encodeDecimal(float value)
{
    if (!std::isfinite(value))
        value = 0.0f;
    const double scaled = std::floor(std::fabs(static_cast<double>(value)) * 100000.0 + 0.5);
    juce::String digits = wholeNumberText(scaled);
    if (digits.length() < 6)
        digits = juce::String::repeatedString("0", 6 - digits.length()) + digits;
    const int point = digits.length() - 5;
    return (value < 0.0f ? "-" : "") + digits.substring(0, point) + "." + digits.substring(point);
}
} // namespace

Encoding encodingOf(int index)
{
    switch (ParameterTable::kindOf(index))
    {
    case ParameterTable::Kind::switchOnOff: return Encoding::switchOnOff;
    case ParameterTable::Kind::selector: return Encoding::step;
    default: return Encoding::decimal;
    }
}

int stepsOf(int index)
{
    using namespace ParameterTable;
    switch (index)
    {
    case kTolmLowFreq: return 4;
    case kTolmMidFreq: return 10;
    case kTolmHighFreq: return 4;
    case kBraskLowFreq: return 3;
    case kBraskHighBoostFreq: return 6;
    case kBraskHighAttenFreq: return 2;
    default: return 0;
    }
}

juce::String encodeValue(int index, float value)
{
    switch (encodingOf(index))
    {
    case Encoding::switchOnOff: return value > 0.0f ? "true" : "false";
    case Encoding::step: return encodeStep(value, stepsOf(index));
    case Encoding::decimal: return encodeDecimal(value);
    }
    return {};
}

float valueOf(int index, const juce::String& text)
{
    switch (encodingOf(index))
    {
    case Encoding::switchOnOff: return text == "true" ? 1.0f : 0.0f;
    case Encoding::step: return narrowToFloat(numberIn(text)) / static_cast<float>(stepsOf(index));
    case Encoding::decimal: return narrowToFloat(numberIn(text));
    }
    return 0.0f;
}

std::optional<float> decodeValue(int index, const juce::String& text)
{
    const float value = valueOf(index, text);
    if (std::isnan(value))
        return std::nullopt;
    return std::clamp(value, 0.0f, 1.0f);
}

double numberIn(const juce::String& text)
{
    const char* p = text.toRawUTF8();
    while (isAsciiSpace(*p))
        ++p;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    const double sign = negative ? -1.0 : 1.0;
    if (startsWithIgnoringCase(p, "inf"))
        return sign * std::numeric_limits<double>::infinity();
    if (startsWithIgnoringCase(p, "nan"))
        return std::numeric_limits<double>::quiet_NaN();

    const char* mantissa = p;
    const char* integerEnd = skipDigits(p);
    const char* mantissaEnd = integerEnd;
    if (*integerEnd == '.')
        mantissaEnd = skipDigits(integerEnd + 1);
    const bool hasDigits = integerEnd != mantissa || (*integerEnd == '.' && mantissaEnd != integerEnd + 1);
    if (!hasDigits)
        return 0.0;

    const char* end = mantissaEnd;
    const char* exponent = nullptr;
    if (*end == 'e' || *end == 'E')
    {
        const char* digits = end + 1;
        if (*digits == '+' || *digits == '-')
            ++digits;
        if (isDigit(*digits))
        {
            exponent = end + 1;
            end = skipDigits(digits);
        }
    }

    // from_chars reads the same digits in every locale; a host may have set one with a comma.
    double value = 0.0;
    const auto result = std::from_chars(mantissa, end, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range)
    {
        const long magnitude = leadingDigitExponent(mantissa, mantissaEnd) + writtenExponent(exponent);
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    else if (result.ec != std::errc())
        value = 0.0;
    return sign * value;
}

int integerIn(const juce::String& text)
{
    const char* p = text.toRawUTF8();
    while (isAsciiSpace(*p))
        ++p;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    long long value = 0;
    for (; isDigit(*p); ++p)
    {
        value = value * 10 + (*p - '0');
        if (value > std::numeric_limits<int>::max())
            return negative ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    }
    return static_cast<int>(negative ? -value : value);
}

int settingFromDocument(int value)
{
    return value == 1 ? 1 : 0;
}

bool hasTag(const juce::XmlElement& element, const char* tag)
{
    const char* name = element.getTagName().toRawUTF8();
    for (; *tag != 0; ++name, ++tag)
        if (asciiLower(*name) != asciiLower(*tag))
            return false;
    return *name == 0;
}

int parameterIndexOf(const juce::String& identifier)
{
    for (int i = 0; i < ParameterTable::kNumParameters; ++i)
        if (identifier == ParameterTable::identifiers[i])
            return i;
    return -1;
}

juce::XmlElement* firstChildElement(const juce::XmlElement& parent)
{
    juce::XmlElement* child = parent.getFirstChildElement();
    while (child != nullptr && child->isTextElement())
        child = child->getNextElement();
    return child;
}

juce::XmlElement* nextSiblingElement(const juce::XmlElement& element)
{
    juce::XmlElement* next = element.getNextElement();
    while (next != nullptr && next->isTextElement())
        next = next->getNextElement();
    return next;
}
} // namespace PresetDocument

// ---- The processor's preset documents and host state blocks ----

using namespace PresetDocument;

namespace
{
bool isProgramIndex(int program)
{
    return static_cast<unsigned>(program) < static_cast<unsigned>(WYD_KX7AudioProcessor::kNumPrograms);
}

bool isSettingIndex(int setting)
{
    return setting == 0 || setting == 1;
}

int activeSettingOf(const ProgramSlot& slot)
{
    return slot.activeChannel == 1 ? 1 : 0;
}

const char* const presetTag = "Preset";
const char* const channelTag = "Channel";

bool allChildrenHaveTag(const juce::XmlElement& parent, const char* tag)
{
    for (auto* child = firstChildElement(parent); child != nullptr; child = nextSiblingElement(*child))
        if (!hasTag(*child, tag))
            return false;
    return true;
}

// Below "Properties" a bank holds Presets of Channels and a program Channels. A block of the
// other kind, or of none, would be half applied (a program read as a bank renames programs), so
// the readers refuse it whole, as any malformed block.
bool holdsBankElements(const juce::XmlElement& root)
{
    for (auto* properties = firstChildElement(root); properties != nullptr; properties = nextSiblingElement(*properties))
    {
        if (!hasTag(*properties, propertiesTag))
            continue;
        if (!allChildrenHaveTag(*properties, presetTag))
            return false;
        for (auto* preset = firstChildElement(*properties); preset != nullptr; preset = nextSiblingElement(*preset))
            if (!allChildrenHaveTag(*preset, channelTag))
                return false;
    }
    return true;
}

bool holdsProgramElements(const juce::XmlElement& root)
{
    for (auto* properties = firstChildElement(root); properties != nullptr; properties = nextSiblingElement(*properties))
        if (hasTag(*properties, propertiesTag) && !allChildrenHaveTag(*properties, channelTag))
            return false;
    return true;
}

juce::XmlElement* findChildWithTag(const juce::XmlElement& parent, const char* tag)
{
    for (auto* child = firstChildElement(parent); child != nullptr; child = nextSiblingElement(*child))
        if (hasTag(*child, tag))
            return child;
    return nullptr;
}

juce::XmlElement startDocument()
{
    juce::XmlElement root(rootTag);
    root.setAttribute("version", "1.0");
    root.createNewChildElement("DeviceName")->addTextElement("WYD-KX7");
    return root;
}

juce::XmlElement* newProperties()
{
    auto* properties = new juce::XmlElement(propertiesTag);
    properties->setAttribute("deviceProductID", productIdentifier);
    properties->setAttribute("deviceVersion", "1.0.5");
    properties->setAttribute("presetVersion", "1.0");
    return properties;
}

// Names come through getParameterName, so the documents carry what the host sees as well.
void appendValues(WYD_KX7AudioProcessor& processor, juce::XmlElement& parent, const SharedValue* values)
{
    for (int i = 0; i < ParameterTable::kNumParameters; ++i)
    {
        auto* value = parent.createNewChildElement("Value");
        value->setAttribute("property", processor.getParameterName(i));
        value->setAttribute("type", encodingOf(i) == Encoding::switchOnOff ? "boolean" : "number");
        value->addTextElement(encodeValue(i, values[i]));
    }
}

void appendChannels(WYD_KX7AudioProcessor& processor, juce::XmlElement& parent, const ProgramSlot& slot)
{
    for (int setting = 0; setting < 2; ++setting)
    {
        auto* channel = parent.createNewChildElement(channelTag);
        channel->setAttribute("channel", setting);
        // A path the document cannot carry would make the host's whole copy unreadable.
        channel->setAttribute("presetPath", StorableText::storable(slot.presetPath[setting]));
        appendValues(processor, *channel, slot.values[setting]);
    }
}

// Hands every parameter element from `first` on whose name is known and whose value decodes to
// use(index, value); other elements are passed over.
template <typename Use>
void forEachDecodedValue(juce::XmlElement* first, Use use)
{
    for (auto* element = first; element != nullptr; element = nextSiblingElement(*element))
    {
        if (element->isTextElement())
            continue;
        const int index = parameterIndexOf(element->getStringAttribute("property"));
        if (index < 0)
            continue;
        if (const auto value = decodeValue(index, element->getAllSubText()))
            use(index, *value);
    }
}
} // namespace

juce::XmlElement WYD_KX7AudioProcessor::writePreset(bool presetFile)
{
    juce::XmlElement root = startDocument();
    juce::XmlElement* properties = newProperties();
    if (presetFile)
    {
        const ProgramSlot& slot = programs[currentProgram];
        appendValues(*this, *properties, slot.values[activeSettingOf(slot)]);
    }
    else
    {
        properties->setAttribute("activePreset", getCurrentProgram());
        for (int p = 0; p < kNumPrograms; ++p)
        {
            auto* preset = properties->createNewChildElement(presetTag);
            preset->setAttribute("preset", p);
            preset->setAttribute("activeChannel", programs[p].activeChannel);
            appendChannels(*this, *preset, programs[p]);
        }
    }
    root.addChildElement(properties);
    return root;
}

juce::XmlElement WYD_KX7AudioProcessor::writeCurrentProgram()
{
    juce::XmlElement root = startDocument();
    juce::XmlElement* properties = newProperties();
    const ProgramSlot& slot = programs[currentProgram];
    properties->setAttribute("activeChannel", slot.activeChannel);
    appendChannels(*this, *properties, slot);
    root.addChildElement(properties);
    return root;
}

void WYD_KX7AudioProcessor::readPresetElement(juce::XmlElement* first)
{
    forEachDecodedValue(first, [this](int index, float value) { setParameterNotifyingHost(index, value); });
}

void WYD_KX7AudioProcessor::storePresetElement(juce::XmlElement* first, int program, int setting)
{
    if (!isProgramIndex(program) || !isSettingIndex(setting))
        return;
    SharedValue* values = programs[program].values[setting];
    forEachDecodedValue(first, [values](int index, float value) { values[index] = value; });
}

// The bank: the selection step after every child of the root is how stored banks have always
// loaded (after "DeviceName" it selects program 0, A, then the saved program and setting).
int WYD_KX7AudioProcessor::readPreset(juce::ScopedPointer<juce::XmlElement> xml, bool presetFile)
{
    if (xml == nullptr)
        return 0;
    if (presetFile)
    {
        if (!hasTag(*xml, rootTag) || firstChildElement(*xml) == nullptr)
            return 0;
        const juce::XmlElement* properties = findChildWithTag(*xml, propertiesTag);
        if (properties == nullptr)
            return 0;
        if (properties->getStringAttribute("deviceProductID") != productIdentifier)
            return 2;
        readPresetElement(firstChildElement(*properties));
        return numberIn(properties->getStringAttribute("presetVersion")) > 1.0 ? 4 : 1;
    }

    if (!hasTag(*xml, rootTag) || firstChildElement(*xml) == nullptr || !holdsBankElements(*xml))
        return 5;
    for (auto* child = firstChildElement(*xml); child != nullptr; child = nextSiblingElement(*child))
    {
        int selectedProgram = 0;
        int selectedSetting = 0;
        if (hasTag(*child, propertiesTag))
        {
            const int activePreset = integerIn(child->getStringAttribute("activePreset"));
            int p = 0;
            for (auto* preset = firstChildElement(*child); preset != nullptr && p < kNumPrograms;
                 preset = nextSiblingElement(*preset), ++p)
            {
                const int storedSetting = integerIn(preset->getStringAttribute("activeChannel"));
                programs[p].activeChannel = settingFromDocument(storedSetting);
                int c = 0;
                for (auto* channel = firstChildElement(*preset); channel != nullptr && c < 2;
                     channel = nextSiblingElement(*channel), ++c)
                {
                    programs[p].presetPath[c] = PresetPath::fromDocument(channel->getStringAttribute("presetPath"));
                    storePresetElement(firstChildElement(*channel), p, c);
                    if (p == activePreset && c == storedSetting)
                    {
                        selectedProgram = p;
                        selectedSetting = c;
                    }
                }
            }
        }
        currentProgram = selectedProgram;
        programs[selectedProgram].activeChannel = selectedSetting;
        setCurrentProgram(selectedProgram);
    }
    return 5;
}

bool WYD_KX7AudioProcessor::readCurrentProgram(juce::ScopedPointer<juce::XmlElement> xml)
{
    if (xml == nullptr || !hasTag(*xml, rootTag) || !holdsProgramElements(*xml))
        return false;
    const int program = currentProgram;
    if (!isProgramIndex(program))
        return false;
    ProgramSlot& slot = programs[program];
    for (auto* child = firstChildElement(*xml); child != nullptr; child = nextSiblingElement(*child))
    {
        if (hasTag(*child, propertiesTag))
        {
            slot.activeChannel = settingFromDocument(integerIn(child->getStringAttribute("activeChannel")));
            int c = 0;
            for (auto* channel = firstChildElement(*child); channel != nullptr && c < 2;
                 channel = nextSiblingElement(*channel), ++c)
            {
                slot.presetPath[c] = PresetPath::fromDocument(channel->getStringAttribute("presetPath"));
                storePresetElement(firstChildElement(*channel), program, c);
            }
        }
        setCurrentProgram(program);
    }
    return true;
}

bool WYD_KX7AudioProcessor::comparePreset(juce::ScopedPointer<juce::XmlElement> xml)
{
    if (xml == nullptr || !hasTag(*xml, rootTag))
        return false;
    for (auto* properties = firstChildElement(*xml); properties != nullptr; properties = nextSiblingElement(*properties))
    {
        if (!hasTag(*properties, propertiesTag))
            continue;
        for (auto* element = firstChildElement(*properties); element != nullptr; element = nextSiblingElement(*element))
        {
            const int index = parameterIndexOf(element->getStringAttribute("property"));
            if (index < 0)
                continue;
            // Against what loading the file would store; a NaN, which loading passes over,
            // compares as no difference.
            const auto stored = decodeValue(index, element->getAllSubText());
            if (!stored)
                continue;
            const float current = getParameter(index);
            const bool isSwitch = encodingOf(index) == Encoding::switchOnOff;
            const float difference = (isSwitch && current > 0.0f ? 1.0f : current) - *stored;
            if (std::fabs(difference) >= 1e-5f)
                return true;
        }
    }
    return false;
}

void WYD_KX7AudioProcessor::getStateInformation(juce::MemoryBlock& destData)
{
    StateBlock::write(writePreset(false), destData);
}

void WYD_KX7AudioProcessor::getCurrentProgramStateInformation(juce::MemoryBlock& destData)
{
    StateBlock::write(writeCurrentProgram(), destData);
}

void WYD_KX7AudioProcessor::setStateInformation(const void* data, int sizeInBytes)
{
    stateXml = StateBlock::read(data, sizeInBytes);
    if (stateXml != nullptr)
        readPreset(stateXml.release(), false);
}

void WYD_KX7AudioProcessor::setCurrentProgramStateInformation(const void* data, int sizeInBytes)
{
    stateXml = StateBlock::read(data, sizeInBytes);
    if (stateXml != nullptr)
        readCurrentProgram(stateXml.release());
}
