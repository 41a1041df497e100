#include "PresetTestSupport.h"

#include "processor/PresetDocument.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>

using namespace ParameterTable;
using presettest::clearFlags;
using presettest::HostRecorder;
using presettest::parsed;
using presettest::Snapshot;

namespace
{
// What a value becomes on its way through a document.
float throughDocument(int index, float value)
{
    return *PresetDocument::decodeValue(index, PresetDocument::encodeValue(index, value));
}

// Fills every program with distinct values of every kind: switches at odd values, selectors on
// and between steps, decimals with more than five places, paths that need escaping.
void fillDistinctly(WYD_KX7AudioProcessor& p, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> unit(-0.2f, 1.2f);
    for (int program = 0; program < 12; ++program)
    {
        p.programs[program].activeChannel = static_cast<int>(random() % 2);
        for (int setting = 0; setting < 2; ++setting)
        {
            p.programs[program].presetPath[setting] = juce::String(juce::CharPointer_UTF8("Vocals/W\xc3\xa4rme & \"<Lead>\" "))
                + juce::String(program) + "-" + juce::String(setting) + ".tz7p";
            for (int i = 0; i < kNumParameters; ++i)
                p.programs[program].values[setting][i] = unit(random);
        }
    }
}

std::string presetFileText(const std::string& propertiesAttributes, const std::string& values)
{
    return "<tarvelPatch version=\"1.0\"><DeviceName>WYD-KX7</DeviceName><Properties " + propertiesAttributes + ">"
        + values + "</Properties></tarvelPatch>";
}

const std::string ownProduct = "deviceProductID=\"com.tarvel.WYD-KX7\" deviceVersion=\"1.0.5\" presetVersion=\"1.0\"";

std::string value(const char* property, const char* text)
{
    return std::string("<Value property=\"") + property + "\" type=\"number\">" + text + "</Value>";
}
} // namespace

TEST(PresetDocument, FreshBankDocumentLayout)
{
    WYD_KX7AudioProcessor p;
    const juce::XmlElement root = p.writePreset(false);

    EXPECT_EQ(root.getTagName(), "tarvelPatch");
    ASSERT_EQ(root.getNumAttributes(), 1);
    EXPECT_EQ(root.getAttributeName(0), "version");
    EXPECT_EQ(root.getAttributeValue(0), "1.0");
    ASSERT_EQ(root.getNumChildElements(), 2);
    EXPECT_EQ(root.getChildElement(0)->getTagName(), "DeviceName");
    EXPECT_EQ(root.getChildElement(0)->getNumAttributes(), 0);
    EXPECT_EQ(root.getChildElement(0)->getAllSubText(), "WYD-KX7");

    const juce::XmlElement* properties = root.getChildElement(1);
    ASSERT_EQ(properties->getTagName(), "Properties");
    const char* names[] = { "deviceProductID", "deviceVersion", "presetVersion", "activePreset" };
    const char* texts[] = { "com.tarvel.WYD-KX7", "1.0.5", "1.0", "0" };
    ASSERT_EQ(properties->getNumAttributes(), 4);
    for (int a = 0; a < 4; ++a)
    {
        EXPECT_EQ(properties->getAttributeName(a), names[a]);
        EXPECT_EQ(properties->getAttributeValue(a), texts[a]);
    }

    ASSERT_EQ(properties->getNumChildElements(), 12);
    for (int program = 0; program < 12; ++program)
    {
        const juce::XmlElement* preset = properties->getChildElement(program);
        EXPECT_EQ(preset->getTagName(), "Preset");
        EXPECT_EQ(preset->getAttributeName(0), "preset");
        EXPECT_EQ(preset->getAttributeValue(0), juce::String(program));
        EXPECT_EQ(preset->getAttributeName(1), "activeChannel");
        EXPECT_EQ(preset->getAttributeValue(1), "0");
        ASSERT_EQ(preset->getNumChildElements(), 2);
        for (int setting = 0; setting < 2; ++setting)
        {
            const juce::XmlElement* channel = preset->getChildElement(setting);
            EXPECT_EQ(channel->getTagName(), "Channel");
            EXPECT_EQ(channel->getAttributeName(0), "channel");
            EXPECT_EQ(channel->getAttributeValue(0), juce::String(setting));
            EXPECT_EQ(channel->getAttributeName(1), "presetPath");
            EXPECT_EQ(channel->getAttributeValue(1), "Init.tz7p");
            ASSERT_EQ(channel->getNumChildElements(), kNumParameters);
            for (int i = 0; i < kNumParameters; ++i)
            {
                const juce::XmlElement* v = channel->getChildElement(i);
                EXPECT_EQ(v->getTagName(), "Value");
                EXPECT_EQ(v->getAttributeName(0), "property");
                EXPECT_EQ(v->getAttributeValue(0), identifiers[i]);
                EXPECT_EQ(v->getAttributeName(1), "type");
                EXPECT_EQ(v->getAttributeValue(1), kindOf(i) == Kind::switchOnOff ? "boolean" : "number");
            }
            auto text = [channel](int i) { return channel->getChildElement(i)->getAllSubText(); };
            EXPECT_EQ(text(kBypass), "true");
            EXPECT_EQ(text(kTolmOn), "true");
            EXPECT_EQ(text(kBraskOn), "true");
            EXPECT_EQ(text(kSaturationOn), "false");
            EXPECT_EQ(text(kInputVol), "0.50000");
            EXPECT_EQ(text(kOutputVol), "0.50000");
            EXPECT_EQ(text(kBraskHighBoostBandwidth), "0.50000");
            EXPECT_EQ(text(kTolmLowPeak), "0.00000");
            EXPECT_EQ(text(kTolmMidFreq), "0");
        }
    }
}

TEST(PresetDocument, ProgramAndPresetFileDocumentsHoldTheCurrentProgram)
{
    WYD_KX7AudioProcessor p;
    p.currentProgram = 4;
    p.programs[4].activeChannel = 1;
    p.programs[4].presetPath[1] = "Drums/Snare.tz7p";
    p.programs[4].values[0][kInputVol] = 0.25f;
    p.programs[4].values[1][kInputVol] = 0.75f;
    p.liveValues[kInputVol] = 0.1f; // writers read the program records, not the live values

    const juce::XmlElement program = p.writeCurrentProgram();
    const juce::XmlElement* properties = program.getChildElement(1);
    ASSERT_EQ(properties->getNumAttributes(), 4);
    EXPECT_EQ(properties->getAttributeName(3), "activeChannel");
    EXPECT_EQ(properties->getAttributeValue(3), "1");
    ASSERT_EQ(properties->getNumChildElements(), 2);
    EXPECT_EQ(properties->getChildElement(1)->getAttributeValue(0), "1");
    EXPECT_EQ(properties->getChildElement(1)->getAttributeValue(1), "Drums/Snare.tz7p");
    EXPECT_EQ(properties->getChildElement(0)->getChildElement(kInputVol)->getAllSubText(), "0.25000");
    EXPECT_EQ(properties->getChildElement(1)->getChildElement(kInputVol)->getAllSubText(), "0.75000");

    const juce::XmlElement file = p.writePreset(true);
    const juce::XmlElement* fileProperties = file.getChildElement(1);
    EXPECT_EQ(fileProperties->getNumAttributes(), 3);
    ASSERT_EQ(fileProperties->getNumChildElements(), kNumParameters);
    EXPECT_EQ(fileProperties->getChildElement(kInputVol)->getAllSubText(), "0.75000");
    EXPECT_EQ(fileProperties->getChildElement(kPhaseOn)->getAttributeValue(0), "phaseOn");
}

TEST(PresetDocument, BankRoundTripRestoresEveryProgramAndAnnouncesTwice)
{
    WYD_KX7AudioProcessor source;
    fillDistinctly(source, 7);
    source.currentProgram = 7;
    source.programs[7].activeChannel = 1;
    juce::MemoryBlock block;
    source.getStateInformation(block);

    WYD_KX7AudioProcessor target;
    target.programs[0].values[0][kInputVol] = 0.3f; // program 0, A as it was before the load
    HostRecorder host;
    target.addListener(&host);
    target.setStateInformation(block.getData(), static_cast<int>(block.getSize()));
    target.removeListener(&host);

    EXPECT_EQ(target.stateXml, nullptr);
    EXPECT_EQ(target.getCurrentProgram(), 7);
    for (int program = 0; program < 12; ++program)
    {
        EXPECT_EQ(target.programs[program].activeChannel, source.programs[program].activeChannel) << program;
        for (int setting = 0; setting < 2; ++setting)
        {
            EXPECT_EQ(target.programs[program].presetPath[setting], source.programs[program].presetPath[setting]);
            for (int i = 0; i < kNumParameters; ++i)
                EXPECT_EQ(target.programs[program].values[setting][i],
                          throughDocument(i, source.programs[program].values[setting][i]))
                    << program << "/" << setting << "/" << i;
        }
    }
    ASSERT_EQ(host.changes.size(), 2u * kNumParameters);
    for (int i = 0; i < kNumParameters; ++i)
    {
        const float before = i == kInputVol ? 0.3f : defaults[i];
        EXPECT_EQ(host.changes[i], std::make_pair(i, before)) << i;
        EXPECT_EQ(host.changes[kNumParameters + i], std::make_pair(i, target.programs[7].values[1][i].load())) << i;
        EXPECT_EQ(target.liveValues[i], target.programs[7].values[1][i]);
    }
    EXPECT_TRUE(target.programChanged && target.parametersChanged && target.channelChanged);
}

TEST(PresetDocument, ProgramRoundTripReplacesOnlyTheCurrentProgram)
{
    WYD_KX7AudioProcessor source;
    fillDistinctly(source, 11);
    source.currentProgram = 3;
    source.programs[3].activeChannel = 1;
    juce::MemoryBlock block;
    source.getCurrentProgramStateInformation(block);

    WYD_KX7AudioProcessor target;
    fillDistinctly(target, 12);
    target.currentProgram = 5;
    target.programs[5].activeChannel = 0;
    const Snapshot before(target);
    target.setCurrentProgramStateInformation(block.getData(), static_cast<int>(block.getSize()));

    EXPECT_EQ(target.getCurrentProgram(), 5);
    EXPECT_EQ(target.programs[5].activeChannel, 1);
    for (int setting = 0; setting < 2; ++setting)
    {
        EXPECT_EQ(target.programs[5].presetPath[setting], source.programs[3].presetPath[setting]);
        for (int i = 0; i < kNumParameters; ++i)
            EXPECT_EQ(target.programs[5].values[setting][i], throughDocument(i, source.programs[3].values[setting][i]));
    }
    for (int program = 0; program < 12; ++program)
    {
        if (program == 5)
            continue;
        EXPECT_EQ(target.programs[program].activeChannel, before.activeChannel[program]);
        for (int i = 0; i < kNumParameters; ++i)
            EXPECT_EQ(target.programs[program].values[1][i], before.values[program][1][i]);
    }
    for (int i = 0; i < kNumParameters; ++i)
        EXPECT_EQ(target.liveValues[i], target.programs[5].values[1][i]);
}

TEST(PresetDocument, PresetFileLoadsIntoTheActiveSettingThroughTheHost)
{
    WYD_KX7AudioProcessor source;
    fillDistinctly(source, 3);
    source.currentProgram = 9;
    const juce::XmlElement file = source.writePreset(true);
    const SharedValue* saved = source.programs[9].values[source.programs[9].activeChannel];

    WYD_KX7AudioProcessor target;
    target.currentProgram = 2;
    target.programs[2].activeChannel = 1;
    target.programs[2].presetPath[1] = "Mine.tz7p";
    HostRecorder host;
    target.addListener(&host);
    EXPECT_EQ(target.readPreset(new juce::XmlElement(file), true), 1);
    target.removeListener(&host);

    EXPECT_EQ(target.getCurrentProgram(), 2);
    EXPECT_EQ(target.programs[2].activeChannel, 1);
    EXPECT_EQ(target.programs[2].presetPath[1], "Mine.tz7p");
    ASSERT_EQ(host.changes.size(), static_cast<size_t>(kNumParameters));
    for (int i = 0; i < kNumParameters; ++i)
    {
        const float expected = throughDocument(i, saved[i]);
        EXPECT_EQ(host.changes[i], std::make_pair(i, expected));
        EXPECT_EQ(target.programs[2].values[1][i], expected);
        EXPECT_EQ(target.programs[2].values[0][i], defaults[i]);
        EXPECT_EQ(target.liveValues[i], expected);
    }
    EXPECT_FALSE(target.programChanged); // only the parameters changed
    EXPECT_TRUE(target.parametersChanged);
}

TEST(PresetDocument, PresetFileResultCodesAndWhatTheyChange)
{
    struct Case
    {
        const char* what;
        std::string text;
        int code;
    };
    const std::string inputVol = value("inputVol", "0.25000");
    const Case cases[] = {
        { "another root", "<tarvelPatches><Properties " + ownProduct + ">" + inputVol + "</Properties></tarvelPatches>", 0 },
        { "root without children", "<tarvelPatch version=\"1.0\"/>", 0 },
        { "root with text only", "<tarvelPatch>Properties</tarvelPatch>", 0 },
        { "no Properties", "<tarvelPatch><DeviceName>WYD-KX7</DeviceName><Property " + ownProduct + ">" + inputVol + "</Property></tarvelPatch>", 0 },
        { "another product", presetFileText("deviceProductID=\"com.tarvel.WYD-KX8\"", inputVol), 2 },
        { "product in other case", presetFileText("deviceProductID=\"com.tarvel.wyd-kx7\"", inputVol), 2 },
        { "product not first", presetFileText("deviceVersion=\"1.0.5\" deviceProductID=\"com.tarvel.WYD-KX7\"", inputVol), 1 },
        { "product under another name", presetFileText("vendor=\"com.tarvel.WYD-KX7\" deviceProductID=\"x\"", inputVol), 2 },
        { "own product", presetFileText(ownProduct, inputVol), 1 },
        { "root and Properties in other case", "<TARVELPATCH><properties " + ownProduct + ">" + inputVol + "</properties></TARVELPATCH>", 1 },
        { "no presetVersion", presetFileText("deviceProductID=\"com.tarvel.WYD-KX7\"", inputVol), 1 },
        { "newer format", presetFileText("deviceProductID=\"com.tarvel.WYD-KX7\" deviceVersion=\"2\" presetVersion=\"1.1\"", inputVol), 4 },
        { "version not a number", presetFileText("deviceProductID=\"com.tarvel.WYD-KX7\" a=\"\" presetVersion=\"v2\"", inputVol), 1 },
    };
    for (const Case& c : cases)
    {
        WYD_KX7AudioProcessor p;
        const Snapshot before(p);
        EXPECT_EQ(p.readPreset(parsed(c.text), true), c.code) << c.what;
        if (c.code == 0 || c.code == 2)
            EXPECT_TRUE(Snapshot(p) == before) << c.what;
        else
            EXPECT_EQ(p.getParameter(kInputVol), 0.25f) << c.what;
    }

    WYD_KX7AudioProcessor p;
    EXPECT_EQ(p.readPreset(nullptr, true), 0);
    EXPECT_EQ(p.readPreset(nullptr, false), 0);
    const Snapshot before(p);
    EXPECT_EQ(p.readPreset(parsed(presetFileText(ownProduct, "")), true), 1);
    EXPECT_TRUE(Snapshot(p) == before);
}

TEST(PresetDocument, ValuesAreReadByIdentifierInDocumentOrder)
{
    WYD_KX7AudioProcessor p;
    const std::string values = std::string("<Value property=\"tolmLowFreq\" type=\"boolean\">2</Value>")
        + "<Value property=\"Bypass\" type=\"boolean\">false</Value>"         // not an identifier
        + "<Value type=\"boolean\" property=\"phaseOn\">true</Value>"         // identifier named, not first
        + "<Value name=\"braskLowBoost\">0.7</Value>"                          // no "property" attribute
        + "<Other property=\"braskOn\">false</Other>"                         // any tag is a Value
        + "<Value property=\"outputVol\">0.1</Value><Value property=\"outputVol\">0.9<b>1</b></Value>"
        + "<Value property=\"saturationOn\"> true</Value>";
    HostRecorder host;
    p.addListener(&host);
    EXPECT_EQ(p.readPreset(parsed(presetFileText(ownProduct, values)), true), 1);
    p.removeListener(&host);

    EXPECT_EQ(p.getParameter(kTolmLowFreq), 0.5f);
    EXPECT_EQ(p.getParameter(kBypass), 1.0f);
    EXPECT_EQ(p.getParameter(kPhaseOn), 1.0f);
    EXPECT_EQ(p.getParameter(kBraskOn), 0.0f);
    EXPECT_EQ(p.getParameter(kBraskLowBoost), 0.0f);
    EXPECT_EQ(p.getParameter(kOutputVol), 0.91f); // the later one, with all its text
    EXPECT_EQ(p.getParameter(kSaturationOn), 0.0f);
    ASSERT_EQ(host.changes.size(), 6u);
    EXPECT_EQ(host.changes[0].first, kTolmLowFreq);
    EXPECT_EQ(host.changes[1], std::make_pair(static_cast<int>(kPhaseOn), 1.0f));
    EXPECT_EQ(host.changes[2].first, kBraskOn);
    EXPECT_EQ(host.changes[3], std::make_pair(static_cast<int>(kOutputVol), 0.1f));
}

// Values from files and state blocks are stored, announced and saved again within 0..1; a NaN
// keeps the previous value. Values the host sets are not limited (see OutOfRangeValuesTest).
TEST(PresetDocument, DocumentValuesAreKeptWithinZeroToOneAndNaNKeepsThePreviousValue)
{
    const struct
    {
        int index;
        const char* text;
        float stored;
    } rows[] = {
        {kTolmLowPeak, "1e9", 1.0f},  {kInputVol, "-5", 0.0f},      {kOutputVol, "1e39", 1.0f},
        {kTolmMidFreq, "-inf", 0.0f}, {kTolmHighFreq, "9", 1.0f},   {kBraskLowBoost, "1.5", 1.0f},
        {kTolmMidDip, "-0.25", 0.0f}, {kBraskHighAtten, "nan", 0.4f}, {kBraskLowAtten, "0.3", 0.3f},
    };
    auto isAnnouncedWithinRange = [](const HostRecorder& host) {
        for (const auto& change : host.changes)
            if (!(change.second >= 0.0f && change.second <= 1.0f))
                return false;
        return true;
    };

    // A preset file.
    std::string values;
    for (const auto& row : rows)
        values += value(identifiers[row.index], row.text);
    WYD_KX7AudioProcessor file;
    file.setParameter(kBraskHighAtten, 0.4f);
    HostRecorder fileHost;
    file.addListener(&fileHost);
    EXPECT_EQ(file.readPreset(parsed(presetFileText(ownProduct, values)), true), 1);
    file.removeListener(&fileHost);
    EXPECT_EQ(fileHost.changes.size(), std::size(rows) - 1); // not the NaN
    EXPECT_TRUE(isAnnouncedWithinRange(fileHost));
    for (const auto& row : rows)
    {
        EXPECT_EQ(file.getParameter(row.index), row.stored) << row.text;
        EXPECT_EQ(file.liveValues[row.index], row.stored) << row.text;
    }
    // Saved again, the file holds what was stored.
    const juce::XmlElement saved = file.writePreset(true);
    EXPECT_EQ(saved.getChildElement(1)->getChildElement(kTolmLowPeak)->getAllSubText(), "1.00000");
    EXPECT_EQ(saved.getChildElement(1)->getChildElement(kInputVol)->getAllSubText(), "0.00000");

    // A bank and a program state block, program 6 setting B current.
    for (const bool bank : {true, false})
    {
        SCOPED_TRACE(bank ? "bank" : "program");
        WYD_KX7AudioProcessor source;
        source.currentProgram = 6;
        source.programs[6].activeChannel = 1;
        juce::XmlElement document = bank ? source.writePreset(false) : source.writeCurrentProgram();
        juce::XmlElement* properties = document.getChildElement(1);
        juce::XmlElement* channel = (bank ? properties->getChildElement(6) : properties)->getChildElement(1);
        for (const auto& row : rows)
            channel->getChildElement(row.index)->getFirstChildElement()->setText(row.text);
        juce::MemoryBlock block;
        juce::AudioProcessor::copyXmlToBinary(document, block);

        WYD_KX7AudioProcessor target;
        target.currentProgram = 6;
        target.programs[6].values[1][kBraskHighAtten] = 0.4f;
        HostRecorder host;
        target.addListener(&host);
        if (bank)
            target.setStateInformation(block.getData(), static_cast<int>(block.getSize()));
        else
            target.setCurrentProgramStateInformation(block.getData(), static_cast<int>(block.getSize()));
        target.removeListener(&host);
        EXPECT_FALSE(host.changes.empty());
        EXPECT_TRUE(isAnnouncedWithinRange(host));
        for (const auto& row : rows)
        {
            EXPECT_EQ(target.programs[6].values[1][row.index], row.stored) << row.text;
            EXPECT_EQ(target.liveValues[row.index], row.stored) << row.text;
        }
    }
}

TEST(PresetDocument, BankRejectsAnotherRootOrNoChildrenButAnswersFive)
{
    WYD_KX7AudioProcessor p;
    fillDistinctly(p, 5);
    p.currentProgram = 3;
    clearFlags(p);
    const Snapshot before(p);
    EXPECT_EQ(p.readPreset(parsed("<tarvelPatchBank><Properties activePreset=\"2\"/></tarvelPatchBank>"), false), 5);
    EXPECT_EQ(p.readPreset(parsed("<tarvelPatch version=\"1.0\"/>"), false), 5);
    EXPECT_EQ(p.readPreset(parsed("<tarvelPatch>text is no child element</tarvelPatch>"), false), 5);
    EXPECT_TRUE(Snapshot(p) == before);

    // Any product or version is taken, and the root's letter case does not matter.
    juce::XmlElement document = p.writePreset(false);
    document.setTagName("TarvelPatch");
    document.getChildElement(1)->setAttribute("deviceProductID", "com.other.Thing");
    document.getChildElement(1)->setAttribute("presetVersion", "9.0");
    WYD_KX7AudioProcessor q;
    EXPECT_EQ(q.readPreset(new juce::XmlElement(document), false), 5);
    EXPECT_EQ(q.getCurrentProgram(), 3);
    EXPECT_EQ(q.programs[11].presetPath[1], p.programs[11].presetPath[1]);
}

TEST(PresetDocument, ReadersRefuseDocumentsOfAnotherKindWhole)
{
    WYD_KX7AudioProcessor source;
    fillDistinctly(source, 9);
    juce::XmlElement strayInBank = source.writePreset(false);
    strayInBank.getChildElement(1)->getChildElement(11)->createNewChildElement("Value");
    juce::XmlElement strayInProgram = source.writeCurrentProgram();
    strayInProgram.getChildElement(1)->createNewChildElement("Preset");

    WYD_KX7AudioProcessor p;
    fillDistinctly(p, 5);
    p.currentProgram = 3;
    clearFlags(p);
    const Snapshot before(p);
    for (const juce::XmlElement& notABank : {source.writeCurrentProgram(), source.writePreset(true), strayInBank})
        EXPECT_EQ(p.readPreset(new juce::XmlElement(notABank), false), 5);
    for (const juce::XmlElement& notAProgram : {source.writePreset(false), source.writePreset(true), strayInProgram})
        EXPECT_FALSE(p.readCurrentProgram(new juce::XmlElement(notAProgram)));
    EXPECT_TRUE(Snapshot(p) == before);
}

TEST(PresetDocument, BankSelectionStepFallsBackToProgramZeroSettingA)
{
    auto bank = [](const std::string& activePreset, const std::string& presetOneChannel, const std::string& extra) {
        std::string presets;
        for (int p = 0; p < 13; ++p) // one program too many
        {
            const std::string channel = p == 1 ? presetOneChannel : "1";
            presets += "<Preset preset=\"" + std::to_string(p) + "\" activeChannel=\"" + channel + "\">";
            for (int c = 0; c < 3; ++c) // one setting too many
                presets += "<Channel channel=\"" + std::to_string(c) + "\" presetPath=\"P" + std::to_string(p) + "C"
                    + std::to_string(c) + ".tz7p\">" + value("inputVol", (c == 0 ? "0.1" : "0.2")) + "</Channel>";
            presets += "</Preset>";
        }
        return "<tarvelPatch><DeviceName>WYD-KX7</DeviceName><Properties " + ownProduct + " activePreset=\""
            + activePreset + "\">" + presets + "</Properties>" + extra + "</tarvelPatch>";
    };

    {
        WYD_KX7AudioProcessor p;
        EXPECT_EQ(p.readPreset(parsed(bank("1", "1", "")), false), 5);
        EXPECT_EQ(p.getCurrentProgram(), 1);
        EXPECT_EQ(p.programs[1].activeChannel, 1);
        EXPECT_EQ(p.programs[0].activeChannel, 1);
        EXPECT_EQ(p.programs[11].presetPath[1], "P11C1.tz7p");
        EXPECT_EQ(p.liveValues[kInputVol], 0.2f);
    }
    struct Fallback
    {
        const char* activePreset;
        int programZeroSetting;
        float inputVol;
    };
    // "x" reads as 0, which names program 0 with its stored setting B; 12 and -1 name none.
    for (const Fallback& f : { Fallback { "12", 0, 0.1f }, Fallback { "-1", 0, 0.1f }, Fallback { "x", 1, 0.2f } })
    {
        WYD_KX7AudioProcessor p;
        p.readPreset(parsed(bank(f.activePreset, "1", "")), false);
        EXPECT_EQ(p.getCurrentProgram(), 0) << f.activePreset;
        EXPECT_EQ(p.programs[0].activeChannel, f.programZeroSetting) << f.activePreset;
        EXPECT_EQ(p.liveValues[kInputVol], f.inputVol) << f.activePreset;
    }
    {
        // The saved program's setting names none present: program 0, A; the odd number is stored as A.
        WYD_KX7AudioProcessor p;
        p.readPreset(parsed(bank("1", "2", "")), false);
        EXPECT_EQ(p.getCurrentProgram(), 0);
        EXPECT_EQ(p.programs[0].activeChannel, 0);
        EXPECT_EQ(p.programs[1].activeChannel, 0);
    }
    {
        // A child after Properties runs the selection once more.
        WYD_KX7AudioProcessor p;
        p.readPreset(parsed(bank("5", "1", "<Trailer/>")), false);
        EXPECT_EQ(p.getCurrentProgram(), 0);
        EXPECT_EQ(p.programs[0].activeChannel, 0);
        EXPECT_EQ(p.programs[5].activeChannel, 1);
    }
}

TEST(PresetDocument, StoredActiveChannelIsAlwaysASetting)
{
    for (const char* stored : { "2", "-1", "1000000000000", "B", "" })
    {
        // Program 0 is selected; program 1 keeps what its element says.
        WYD_KX7AudioProcessor p;
        p.programs[1].activeChannel = 1;
        const std::string document = "<tarvelPatch><Properties " + ownProduct + " activePreset=\"0\">"
            + "<Preset preset=\"0\" activeChannel=\"0\"/><Preset preset=\"1\" activeChannel=\"" + stored
            + "\"/></Properties></tarvelPatch>";
        p.readPreset(parsed(document), false);
        EXPECT_EQ(p.programs[1].activeChannel, 0) << stored;

        p.programs[0].activeChannel = 1;
        p.readCurrentProgram(parsed("<tarvelPatch><Properties " + ownProduct + " activeChannel=\"" + stored
                                    + "\"/></tarvelPatch>"));
        EXPECT_EQ(p.programs[0].activeChannel, 0) << stored;
    }
    WYD_KX7AudioProcessor p;
    p.readCurrentProgram(parsed("<tarvelPatch><Properties a=\"\" b=\"\" c=\"\" activeChannel=\" 1\"/></tarvelPatch>"));
    EXPECT_EQ(p.programs[0].activeChannel, 1);
}

TEST(PresetDocument, ProgramReaderResults)
{
    WYD_KX7AudioProcessor p;
    p.currentProgram = 6;
    clearFlags(p);
    const Snapshot before(p);
    EXPECT_FALSE(p.readCurrentProgram(nullptr));
    EXPECT_FALSE(p.readCurrentProgram(parsed("<tarvelPatchX><Properties/></tarvelPatchX>")));
    EXPECT_TRUE(p.readCurrentProgram(parsed("<TARVELPATCH/>")));
    EXPECT_TRUE(Snapshot(p) == before);

    // Every child of the root, whatever its tag, announces the program again.
    HostRecorder host;
    p.addListener(&host);
    EXPECT_TRUE(p.readCurrentProgram(parsed("<tarvelPatch><A/><B/><C/></tarvelPatch>")));
    p.removeListener(&host);
    EXPECT_EQ(host.changes.size(), 3u * kNumParameters);
    EXPECT_EQ(p.getCurrentProgram(), 6);
    EXPECT_TRUE(p.programChanged);
}

TEST(PresetDocument, CompareFindsDifferencesOfOneHundredThousandth)
{
    WYD_KX7AudioProcessor p;
    p.setParameter(kInputVol, 0.123456f);
    p.setParameter(kSaturationOn, 0.4f);
    p.setParameter(kTolmMidFreq, 0.3f);
    const juce::XmlElement file = p.writePreset(true);
    auto differs = [&p, &file]() { return p.comparePreset(new juce::XmlElement(file)); };

    EXPECT_FALSE(differs()); // decimals within 0.000005, a switch at 0.4 equals "true"
    p.setParameter(kInputVol, 0.123460f + 0.0000099f);
    EXPECT_FALSE(differs());
    p.setParameter(kInputVol, 0.123460f + 0.0000101f);
    EXPECT_TRUE(differs());
    p.setParameter(kInputVol, 0.123456f);

    // The file holds 0.00000: a difference of exactly 1e-5 (as a float) already counts.
    p.setParameter(kTolmLowPeak, 1e-5f);
    EXPECT_TRUE(differs());
    p.setParameter(kTolmLowPeak, std::nextafter(1e-5f, 0.0f));
    EXPECT_FALSE(differs());
    p.setParameter(kTolmLowPeak, 0.0f);

    p.setParameter(kTolmLowFreq, 0.26f); // written as step 2, which is 0.5
    EXPECT_TRUE(differs());
    p.setParameter(kTolmLowFreq, 0.0f);

    p.setParameter(kSaturationOn, -0.5f); // below zero counts as itself against "false" or "true"
    EXPECT_TRUE(differs());
    p.setParameter(kSaturationOn, 0.4f);

    EXPECT_FALSE(p.comparePreset(new juce::XmlElement(p.writePreset(false)))); // no Value under Properties
    EXPECT_FALSE(p.comparePreset(nullptr));
    EXPECT_FALSE(p.comparePreset(parsed("<Patch><Properties>" + value("inputVol", "0.9") + "</Properties></Patch>")));
    EXPECT_TRUE(p.comparePreset(parsed("<tarvelPatch><properties>" + value("inputVol", "0.9") + "</properties></tarvelPatch>")));
    EXPECT_FALSE(p.comparePreset(parsed(presetFileText(ownProduct, value("inputVol", "nan") + value("Input", "0.9")))));
}

// The compare measures against what loading the file stores, so a file compares as equal right
// after it was loaded, whatever its numbers.
TEST(PresetDocument, CompareMeasuresAgainstWhatLoadingStores)
{
    const struct
    {
        const char* property;
        const char* text;
        bool differsBeforeLoading;
    } rows[] = {
        {"inputVol", "1e39", true},       {"inputVol", "-1e39", true},   {"outputVol", "inf", true},
        {"outputVol", "-Infinity", true}, {"tolmLowPeak", "1e999", true}, {"tolmLowPeak", "1e9", true},
        {"tolmMidFreq", "1e39", true},    {"tolmLowPeak", "-3", false},  {"tolmMidFreq", "-inf", false},
        {"inputVol", "0.50000", false},   {"inputVol", "nan", false},
    };
    for (const auto& row : rows)
    {
        WYD_KX7AudioProcessor p;
        const std::string text = presetFileText(ownProduct, value(row.property, row.text));
        EXPECT_EQ(p.comparePreset(parsed(text)), row.differsBeforeLoading) << row.property << " " << row.text;
        EXPECT_EQ(p.readPreset(parsed(text), true), 1);
        EXPECT_FALSE(p.comparePreset(parsed(text))) << row.property << " " << row.text;
    }
}

// Attribute order means nothing in XML: every document our writers build reads the same with the
// attributes of every element in reverse order.
TEST(PresetDocument, AttributesAreReadByNameInAnyOrder)
{
    struct Reverse
    {
        static void attributesOf(juce::XmlElement& element)
        {
            std::vector<std::pair<juce::String, juce::String>> attributes;
            for (int a = 0; a < element.getNumAttributes(); ++a)
                attributes.emplace_back(element.getAttributeName(a), element.getAttributeValue(a));
            element.removeAllAttributes();
            for (auto it = attributes.rbegin(); it != attributes.rend(); ++it)
                element.setAttribute(it->first, it->second);
            for (auto* child : element.getChildIterator())
                attributesOf(*child);
        }
    };
    enum class Kind { bank, program, presetFile };
    for (const Kind kind : {Kind::bank, Kind::program, Kind::presetFile})
    {
        SCOPED_TRACE(static_cast<int>(kind));
        WYD_KX7AudioProcessor source;
        fillDistinctly(source, 5);
        source.currentProgram = 8;
        source.programs[8].activeChannel = 1;
        const juce::XmlElement written = kind == Kind::bank      ? source.writePreset(false)
                                         : kind == Kind::program ? source.writeCurrentProgram()
                                                                 : source.writePreset(true);
        juce::XmlElement reversed(written);
        Reverse::attributesOf(reversed);
        ASSERT_NE(reversed.getChildElement(1)->getAttributeName(0), written.getChildElement(1)->getAttributeName(0));

        WYD_KX7AudioProcessor inOrder, outOfOrder;
        for (auto* target : {&inOrder, &outOfOrder})
        {
            target->currentProgram = 3;
            const juce::XmlElement& document = target == &inOrder ? written : reversed;
            const juce::String text = document.toString(juce::XmlElement::TextFormat().singleLine().withoutHeader());
            if (kind == Kind::bank)
                EXPECT_EQ(target->readPreset(parsed(text.toStdString()), false), 5);
            else if (kind == Kind::program)
                EXPECT_TRUE(target->readCurrentProgram(parsed(text.toStdString())));
            else
                EXPECT_EQ(target->readPreset(parsed(text.toStdString()), true), 1);
            EXPECT_FALSE(target->comparePreset(parsed(text.toStdString())));
        }
        EXPECT_TRUE(Snapshot(outOfOrder) == Snapshot(inOrder));
        EXPECT_FALSE(Snapshot(inOrder) == Snapshot(WYD_KX7AudioProcessor())) << "the documents loaded nothing";
    }

    // A Value with its attributes swapped counts in the compare as well.
    WYD_KX7AudioProcessor p;
    EXPECT_TRUE(p.comparePreset(parsed(presetFileText(ownProduct, "<Value type=\"number\" property=\"inputVol\">0.9</Value>"))));
}
