#pragma once

// What this plug-in tells a VST 2.4 host about itself.

#include "vst/AEffect.h"

namespace wydvst
{

constexpr const char* kEffectName = "Tarvel WYD-KX7";
constexpr const char* kProductString = "Tarvel WYD-KX7";
constexpr const char* kVendorString = "Tarvel, Inc";
constexpr VstInt32 kVendorVersion = 105;

constexpr VstInt32 fourCharacterCode(const char (&code)[5])
{
    return static_cast<VstInt32>((static_cast<std::uint32_t>(static_cast<unsigned char>(code[0])) << 24)
                                 | (static_cast<std::uint32_t>(static_cast<unsigned char>(code[1])) << 16)
                                 | (static_cast<std::uint32_t>(static_cast<unsigned char>(code[2])) << 8)
                                 | static_cast<std::uint32_t>(static_cast<unsigned char>(code[3])));
}

constexpr VstInt32 kUniqueId = fourCharacterCode("Twx7");

// The editor's size, answered to effEditGetRect before any editor exists (the background image's).
constexpr int kEditorWidth = 800;
constexpr int kEditorHeight = 450;

// Host text fields, in bytes with the terminating zero.
constexpr int kParameterNameBytes = 16;
constexpr int kParameterTextBytes = 24; // display texts and labels
constexpr int kProgramNameBytes = 24;
constexpr int kIdentityStringBytes = 64; // effect, vendor and product strings
constexpr int kPinLabelBytes = 64;
constexpr int kPinShortLabelBytes = 8;

} // namespace wydvst
