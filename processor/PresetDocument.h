#pragma once

#include <juce_core/juce_core.h>

#include <optional>

// The XML format in which preset files, the bank and single programs are kept: tag and product
// rules, the text form of each parameter value, and the readers' small helpers. The readers take
// attributes by their names (the order of attributes means nothing in XML, and people edit these
// files by hand) and child elements by their position.
namespace PresetDocument
{
extern const char* const rootTag;
extern const char* const propertiesTag;
extern const char* const productIdentifier;

// How a parameter's value is written: switches as "true"/"false", selectors as their step number,
// everything else as a number with five decimals.
enum class Encoding
{
    switchOnOff,
    step,
    decimal
};

Encoding encodingOf(int index);
// Positions minus one of a stepped selector; 0 for parameters that are not selectors.
int stepsOf(int index);

juce::String encodeValue(int index, float value);
// The value a Value element's text stands for, as it is: a number too large for a float gives an
// infinity, "nan" a NaN.
float valueOf(int index, const juce::String& text);
// The value a Value element's text stands for, as the readers store it: within 0..1, a number
// beyond either end (an infinity too) taken at that end, so that a file or state block never
// hands the host or a later save a value no control can show. Empty when the text holds a NaN:
// the readers pass the element over and the parameter keeps its previous value.
std::optional<float> decodeValue(int index, const juce::String& text);

// The leading decimal number of a text (spaces, a sign, digits, a point, an exponent), read the
// same way whatever the C locale; 0 when there is none. "inf" and "nan" read as what they say.
double numberIn(const juce::String& text);
// The leading whole number of a text (spaces and one minus sign in front); 0 when there is none,
// saturated at the limits of int.
int integerIn(const juce::String& text);

// Settings are 0 (A) or 1 (B); a document holding anything else selects A.
int settingFromDocument(int value);

// Tag names compare without regard to ASCII letter case.
bool hasTag(const juce::XmlElement& element, const char* tag);
// The parameter a Value's identifier names (exact comparison), or -1.
int parameterIndexOf(const juce::String& identifier);

// Children and siblings that are elements; text between elements is not one.
juce::XmlElement* firstChildElement(const juce::XmlElement& parent);
juce::XmlElement* nextSiblingElement(const juce::XmlElement& element);
} // namespace PresetDocument
