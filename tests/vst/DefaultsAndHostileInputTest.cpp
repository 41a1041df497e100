// What the host sees from a class that overrides nothing, and that nonsense from the host never
// reaches operations that would write through it.

#include "vst/AudioEffectX.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace
{
constexpr VstInt32 kPrograms = 12;
constexpr VstInt32 kParams = 22;

class DefaultEffect : public AudioEffectX
{
public:
    DefaultEffect() : AudioEffectX(nullptr, kPrograms, kParams) {}
    void processReplacing(float**, float**, VstInt32) override {}
    const AEffect& record() const { return cEffect; }
};

VstIntPtr send(AudioEffectX& e, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
               void* ptr = nullptr, float opt = 0.0f)
{
    return e.dispatcher(opcode, index, value, ptr, opt);
}

TEST(Defaults, AnswerThatNothingIsSupported)
{
    DefaultEffect effect;
    char text[32];
    std::strcpy(text, "keep");
    char receive[] = "receiveVstMidiEvent";

    EXPECT_EQ(send(effect, effGetPlugCategory), 0);
    EXPECT_EQ(send(effect, effGetVstVersion), 2400);
    EXPECT_EQ(send(effect, effGetCurrentMidiProgram, 0, 0, text), -1);
    EXPECT_EQ(send(effect, effCanBeAutomated, 3), 1);
    EXPECT_EQ(send(effect, effSetTotalSampleToProcess, 0, 777), 777);
    EXPECT_EQ(send(effect, effCanDo, 0, 0, receive), 0);
    EXPECT_EQ(send(effect, effGetTailSize), 0);
    EXPECT_EQ(send(effect, effGetVendorVersion), 0);
    EXPECT_EQ(send(effect, effVendorSpecific, 1, 2, text, 3.0f), 0);
    EXPECT_EQ(send(effect, effSetBypass, 0, 1), 0);
    EXPECT_EQ(send(effect, effGetNumMidiInputChannels), 0);
    EXPECT_EQ(effect.__getNumCategoriesDeprecated(), 1);

    // Name texts of the extended class stay untouched...
    for (VstInt32 opcode : {effGetEffectName, effGetVendorString, effGetProductString,
                            effShellGetNextPlugin})
    {
        EXPECT_EQ(send(effect, opcode, 0, 0, text), 0);
        EXPECT_STREQ(text, "keep");
    }
    EXPECT_EQ(send(effect, effGetProgramNameIndexed, 1, 0, text), 0);
    EXPECT_STREQ(text, "keep");
    // ...while those of the base class are emptied.
    for (VstInt32 opcode : {effGetProgramName, effGetParamLabel, effGetParamDisplay,
                            effGetParamName})
    {
        std::strcpy(text, "keep");
        EXPECT_EQ(send(effect, opcode, 0, 0, text), 0);
        EXPECT_STREQ(text, "");
    }

    void* chunk = text;
    EXPECT_EQ(send(effect, effGetChunk, 0, 0, &chunk), 0);
    EXPECT_EQ(chunk, text);
    VstPinProperties pin;
    std::memset(&pin, 0x7f, sizeof(pin));
    EXPECT_EQ(send(effect, effGetInputProperties, 0, 0, &pin), 0);
    EXPECT_EQ(pin.flags, 0x7f7f7f7f);
    EXPECT_EQ(effect.getEditor(), nullptr);

    effect.isSynth(true);
    EXPECT_EQ(send(effect, effGetPlugCategory), 2);
}

TEST(Defaults, ProgramSampleRateAndBlockSizeAreStored)
{
    DefaultEffect effect;
    EXPECT_EQ(send(effect, effGetProgram), 0);
    send(effect, effSetProgram, 0, kPrograms - 1);
    EXPECT_EQ(send(effect, effGetProgram), kPrograms - 1);
    send(effect, effSetProgram, 0, kPrograms);
    send(effect, effSetProgram, 0, -1);
    EXPECT_EQ(send(effect, effGetProgram), kPrograms - 1);
    // The setter itself stores without a range test.
    effect.setProgram(40);
    EXPECT_EQ(effect.getProgram(), 40);

    EXPECT_EQ(effect.getSampleRate(), 44100.0f);
    EXPECT_EQ(effect.getBlockSize(), 1024);
    send(effect, effSetSampleRate, 0, 0, nullptr, 96000.0f);
    send(effect, effSetBlockSize, 0, 64);
    EXPECT_EQ(effect.getSampleRate(), 96000.0f);
    EXPECT_EQ(effect.getBlockSize(), 64);
    effect.__setBlockSizeAndSampleRateDeprecated(32, 22050.0f);
    EXPECT_EQ(effect.getSampleRate(), 22050.0f);
    EXPECT_EQ(effect.getBlockSize(), 32);

    effect.__setRealtimeQualitiesDeprecated(3);
    effect.__setOfflineQualitiesDeprecated(4);
    effect.setInitialDelay(128);
    EXPECT_EQ(effect.record().__realQualitiesDeprecated, 3);
    EXPECT_EQ(effect.record().__offQualitiesDeprecated, 4);
    EXPECT_EQ(effect.record().initialDelay, 128);
}

// Behaves like a careless wrapper: writes through every pointer it gets and flags every index it
// could not look up. The dispatchers must keep nonsense away from it.
class CarelessEffect : public AudioEffectX
{
public:
    CarelessEffect() : AudioEffectX(nullptr, kPrograms, kParams) {}
    std::vector<std::string> badIndices;
    std::vector<VstInt32> chunkSizes;
    char store[64] = {};

    void processReplacing(float**, float**, VstInt32) override {}
    void setParameter(VstInt32 i, float) override { check("setParameter", i, kParams); }
    float getParameter(VstInt32 i) override { return check("getParameter", i, kParams), 0.0f; }
    void setProgramName(char* t) override { std::strncpy(store, t, sizeof(store) - 1); }
    void getProgramName(char* t) override { std::strcpy(t, "program"); }
    void getParameterLabel(VstInt32 i, char* t) override { name("label", i, t); }
    void getParameterDisplay(VstInt32 i, char* t) override { name("display", i, t); }
    void getParameterName(VstInt32 i, char* t) override { name("name", i, t); }
    VstInt32 getChunk(void** data, bool) override
    {
        *data = store;
        return 4;
    }
    VstInt32 setChunk(void* data, VstInt32 size, bool) override
    {
        chunkSizes.push_back(size);
        std::memcpy(store, data, size < 4 ? static_cast<std::size_t>(size) : 4u);
        return 0;
    }
    bool canParameterBeAutomated(VstInt32 i) override { return check("automatable", i, kParams); }
    bool string2parameter(VstInt32 i, char* t) override
    {
        check("string2parameter", i, kParams);
        return t == nullptr || t[0] != '\0';
    }
    bool getParameterProperties(VstInt32 i, VstParameterProperties* p) override
    {
        std::memset(p, 0, 8);
        return check("properties", i, kParams);
    }
    bool getProgramNameIndexed(VstInt32, VstInt32 i, char* t) override
    {
        check("programNameIndexed", i, kPrograms);
        t[0] = 'p';
        t[1] = '\0';
        return true;
    }
    bool getInputProperties(VstInt32 i, VstPinProperties* p) override { return pin(i, p); }
    bool getOutputProperties(VstInt32 i, VstPinProperties* p) override { return pin(i, p); }
    bool setSpeakerArrangement(VstSpeakerArrangement* in, VstSpeakerArrangement* out) override
    {
        return in->numChannels == out->numChannels;
    }
    bool getSpeakerArrangement(VstSpeakerArrangement** in, VstSpeakerArrangement** out) override
    {
        *in = nullptr;
        *out = nullptr;
        return true;
    }
    bool getEffectName(char* t) override { return std::strcpy(t, "effect"), true; }
    bool getVendorString(char* t) override { return std::strcpy(t, "vendor"), true; }
    bool getProductString(char* t) override { return std::strcpy(t, "product"), true; }
    VstInt32 canDo(char* t) override { return std::strcmp(t, "bypass") == 0 ? 1 : -1; }
    VstInt32 getNextShellPlugin(char* t) override { return t[0] = '\0', 0; }

private:
    bool check(const char* what, VstInt32 index, VstInt32 count)
    {
        if (index < 0 || index >= count)
            badIndices.push_back(std::string(what) + " " + std::to_string(index));
        return true;
    }
    void name(const char* what, VstInt32 index, char* text)
    {
        check(what, index, kParams);
        std::strcpy(text, what);
    }
    bool pin(VstInt32 index, VstPinProperties* p)
    {
        if (index < 0)
            badIndices.push_back("pin " + std::to_string(index));
        p->flags = kVstPinIsActive;
        return index < 2;
    }
};

const std::vector<VstInt32> kHostileIndices = {-1, kParams, kPrograms, INT32_MAX, INT32_MIN};

TEST(HostileInput, NullPointersNeverReachTheOperations)
{
    const std::vector<VstIntPtr> values = {0, -1, 1, INT32_MAX};
    for (VstInt32 opcode = -2; opcode <= 100; ++opcode)
    {
        for (VstInt32 index : {0, 1, -1, INT32_MAX})
        {
            for (VstIntPtr value : values)
            {
                SCOPED_TRACE("opcode " + std::to_string(opcode) + " index "
                             + std::to_string(index) + " value " + std::to_string(value));
                CarelessEffect effect;
                effect.dispatcher(opcode, index, value, nullptr,
                                  std::numeric_limits<float>::quiet_NaN());
                EXPECT_TRUE(effect.chunkSizes.empty());
            }
        }
    }
}

TEST(HostileInput, OutOfRangeIndicesNeverReachTheOperations)
{
    char text[256];
    for (VstInt32 opcode = -2; opcode <= 100; ++opcode)
    {
        for (VstInt32 index : kHostileIndices)
        {
            // Value is an address for the two arrangement opcodes: only null is meaningful there.
            const bool valueIsAddress =
                opcode == effSetSpeakerArrangement || opcode == effGetSpeakerArrangement;
            std::memset(text, 0, sizeof(text));
            CarelessEffect effect;
            effect.dispatcher(opcode, index, valueIsAddress ? 0 : 1, text, 0.0f);
            AEffect* record = effect.getAeffect();
            record->setParameter(record, index, 0.5f);
            record->getParameter(record, index);
            EXPECT_TRUE(effect.badIndices.empty())
                << "opcode " << opcode << ": " << effect.badIndices.front();
        }
    }
}

TEST(HostileInput, OutOfRangeParameterTextsComeBackEmpty)
{
    CarelessEffect effect;
    char text[32];
    for (VstInt32 opcode : {effGetParamLabel, effGetParamDisplay, effGetParamName})
    {
        for (VstInt32 index : {-1, kParams, INT32_MAX, INT32_MIN})
        {
            std::strcpy(text, "stale");
            EXPECT_EQ(send(effect, opcode, index, 0, text), 0);
            EXPECT_STREQ(text, "") << opcode << " " << index;
        }
        send(effect, opcode, kParams - 1, 0, text);
        EXPECT_STRNE(text, "") << "the last parameter is still answered";
    }
}

TEST(HostileInput, ChunksWithoutAddressOrWithImpossibleSizesAreRefused)
{
    CarelessEffect effect;
    char block[8] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(send(effect, effSetChunk, 0, -1, block), 0);
    EXPECT_EQ(send(effect, effSetChunk, 0, 8, nullptr), 0);
    if (sizeof(VstIntPtr) == 8)
    {
        const auto tooLarge = static_cast<VstIntPtr>(INT64_C(0x100000004));
        EXPECT_EQ(send(effect, effSetChunk, 0, tooLarge, block), 0);
    }
    EXPECT_TRUE(effect.chunkSizes.empty());
    EXPECT_EQ(send(effect, effSetChunk, 0, 4, block), 0);
    EXPECT_EQ(effect.chunkSizes, std::vector<VstInt32>{4});
    EXPECT_EQ(send(effect, effGetChunk, 1, 0, nullptr), 0);
}

TEST(HostileInput, ArrangementOpcodesNeedBothRecords)
{
    CarelessEffect effect;
    VstSpeakerArrangement arrangement;
    std::memset(&arrangement, 0, sizeof(arrangement));
    const auto address = reinterpret_cast<VstIntPtr>(&arrangement);
    EXPECT_EQ(send(effect, effSetSpeakerArrangement, 0, 0, &arrangement), 0);
    EXPECT_EQ(send(effect, effSetSpeakerArrangement, 0, address, nullptr), 0);
    EXPECT_EQ(send(effect, effSetSpeakerArrangement, 0, address, &arrangement), 1);
    VstSpeakerArrangement* out = &arrangement;
    EXPECT_EQ(send(effect, effGetSpeakerArrangement, 0, 0, &out), 0);
    EXPECT_EQ(out, &arrangement);
}
} // namespace
