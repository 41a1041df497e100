// Speaker-arrangement memory: allocation, release, copying speakers and matching a whole
// arrangement, including the null and negative cases a host can produce.

#include "vst/AudioEffectX.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace
{
class ArrangementEffect : public AudioEffectX
{
public:
    ArrangementEffect() : AudioEffectX(nullptr, 1, 1) {}
    void processReplacing(float**, float**, VstInt32) override {}
};

VstSpeakerProperties* speaker(VstSpeakerArrangement* a, int i)
{
    return reinterpret_cast<VstSpeakerProperties*>(reinterpret_cast<char*>(a) + 8
                                                   + static_cast<std::size_t>(i) * 112);
}

void fillSpeaker(VstSpeakerProperties& s, int seed)
{
    std::memset(&s, 0, sizeof(s));
    s.azimuth = 0.5f * static_cast<float>(seed);
    s.elevation = -0.25f * static_cast<float>(seed);
    s.radius = 2.0f;
    s.reserved = 3.0f;
    std::snprintf(s.name, sizeof(s.name), "speaker %d", seed);
    s.type = seed + 100;
    for (std::size_t i = 0; i < sizeof(s.future); ++i)
        s.future[i] = static_cast<char>(seed + static_cast<int>(i));
}

TEST(Arrangement, AllocateMakesAZeroedRecordOfTheGivenChannels)
{
    ArrangementEffect effect;
    VstSpeakerArrangement* arrangement = nullptr;
    ASSERT_TRUE(effect.allocateArrangement(&arrangement, 2));
    ASSERT_NE(arrangement, nullptr);
    EXPECT_EQ(arrangement->numChannels, 2);
    EXPECT_EQ(arrangement->type, 0);
    const auto* bytes = reinterpret_cast<const unsigned char*>(arrangement);
    for (std::size_t i = 8; i < 232; ++i)
        EXPECT_EQ(bytes[i], 0) << "byte " << i;

    // A second allocation on the same pointer releases the first (leak checkers would see it).
    ASSERT_TRUE(effect.allocateArrangement(&arrangement, 12));
    EXPECT_EQ(arrangement->numChannels, 12);
    speaker(arrangement, 11)->type = 5; // the last speaker lies inside the record
    EXPECT_TRUE(effect.deallocateArrangement(&arrangement));
    EXPECT_EQ(arrangement, nullptr);
}

TEST(Arrangement, AllocateRefusesWhatCannotBeARecord)
{
    ArrangementEffect effect;
    EXPECT_FALSE(effect.allocateArrangement(nullptr, 2));

    VstSpeakerArrangement* arrangement = nullptr;
    ASSERT_TRUE(effect.allocateArrangement(&arrangement, 1));
    VstSpeakerArrangement* const kept = arrangement;
    EXPECT_FALSE(effect.allocateArrangement(&arrangement, -1));
    EXPECT_EQ(arrangement, kept); // refused before anything was released
    EXPECT_TRUE(effect.allocateArrangement(&arrangement, 0));
    EXPECT_EQ(arrangement->numChannels, 0);
    effect.deallocateArrangement(&arrangement);
}

TEST(Arrangement, DeallocateOfNothing)
{
    ArrangementEffect effect;
    VstSpeakerArrangement* arrangement = nullptr;
    EXPECT_TRUE(effect.deallocateArrangement(&arrangement));
    EXPECT_EQ(arrangement, nullptr);
    EXPECT_FALSE(effect.deallocateArrangement(nullptr));
}

TEST(Arrangement, CopySpeakerCopiesEveryFieldAndTerminatesTheName)
{
    ArrangementEffect effect;
    VstSpeakerProperties from;
    VstSpeakerProperties to;
    fillSpeaker(from, 3);
    std::memset(from.name, 'A', sizeof(from.name)); // no terminator at all
    std::memset(&to, 0x55, sizeof(to));

    ASSERT_TRUE(effect.copySpeaker(&to, &from));
    EXPECT_EQ(std::string(to.name), std::string(63, 'A'));
    EXPECT_EQ(to.name[63], '\0');
    EXPECT_EQ(to.azimuth, from.azimuth);
    EXPECT_EQ(to.elevation, from.elevation);
    EXPECT_EQ(to.radius, from.radius);
    EXPECT_EQ(to.reserved, from.reserved);
    EXPECT_EQ(to.type, from.type);
    EXPECT_EQ(std::memcmp(to.future, from.future, sizeof(to.future)), 0);

    fillSpeaker(from, 4);
    ASSERT_TRUE(effect.copySpeaker(&to, &from));
    EXPECT_STREQ(to.name, "speaker 4");
    for (std::size_t i = std::strlen(to.name); i < sizeof(to.name); ++i)
        EXPECT_EQ(to.name[i], '\0'); // the old long name leaves nothing behind

    EXPECT_FALSE(effect.copySpeaker(nullptr, &from));
    EXPECT_FALSE(effect.copySpeaker(&to, nullptr));
}

TEST(Arrangement, MatchReplacesTheTargetWithACopy)
{
    ArrangementEffect effect;
    VstSpeakerArrangement from;
    std::memset(&from, 0, sizeof(from));
    from.type = 7;
    from.numChannels = 3;
    for (int i = 0; i < 3; ++i)
        fillSpeaker(from.speakers[i], i + 1);

    VstSpeakerArrangement* to = nullptr;
    ASSERT_TRUE(effect.allocateArrangement(&to, 1));
    ASSERT_TRUE(effect.matchArrangement(&to, &from));
    EXPECT_EQ(to->type, 7);
    EXPECT_EQ(to->numChannels, 3);
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(speaker(to, i)->type, i + 101);
        EXPECT_EQ(std::memcmp(speaker(to, i), &from.speakers[i], sizeof(VstSpeakerProperties)), 0);
    }
    effect.deallocateArrangement(&to);
}

TEST(Arrangement, MatchRefusesNullAndNegativeSources)
{
    ArrangementEffect effect;
    VstSpeakerArrangement* to = nullptr;
    ASSERT_TRUE(effect.allocateArrangement(&to, 2));
    VstSpeakerArrangement* const kept = to;
    EXPECT_FALSE(effect.matchArrangement(&to, nullptr));
    EXPECT_EQ(to, kept);

    VstSpeakerArrangement from;
    std::memset(&from, 0, sizeof(from));
    from.numChannels = -4;
    EXPECT_FALSE(effect.matchArrangement(&to, &from));
    EXPECT_EQ(to, nullptr); // released before the refused allocation
    EXPECT_FALSE(effect.matchArrangement(nullptr, &from));
}

TEST(Arrangement, MatchStopsAtTheFirstFailedCopyAndUsesTheOverridables)
{
    struct FailingCopy : ArrangementEffect
    {
        int copies = 0;
        int allocations = 0;
        int releases = 0;
        bool copySpeaker(VstSpeakerProperties* to, VstSpeakerProperties* from) override
        {
            if (++copies == 2)
                return false;
            return AudioEffectX::copySpeaker(to, from);
        }
        bool allocateArrangement(VstSpeakerArrangement** a, VstInt32 n) override
        {
            ++allocations;
            return AudioEffectX::allocateArrangement(a, n);
        }
        bool deallocateArrangement(VstSpeakerArrangement** a) override
        {
            ++releases;
            return AudioEffectX::deallocateArrangement(a);
        }
    };
    FailingCopy effect;
    VstSpeakerArrangement from;
    std::memset(&from, 0, sizeof(from));
    from.numChannels = 4;
    for (int i = 0; i < 4; ++i)
        fillSpeaker(from.speakers[i], i);

    VstSpeakerArrangement* to = nullptr;
    EXPECT_FALSE(effect.matchArrangement(&to, &from));
    EXPECT_EQ(effect.copies, 2);
    EXPECT_EQ(effect.allocations, 1);
    EXPECT_EQ(effect.releases, 1);
    ASSERT_NE(to, nullptr); // left allocated with the speakers copied so far
    EXPECT_EQ(to->numChannels, 4);
    EXPECT_STREQ(speaker(to, 0)->name, "speaker 0");
    EXPECT_STREQ(speaker(to, 1)->name, "");
    effect.deallocateArrangement(&to);
}

TEST(Arrangement, DefaultGetArrangementAnswersNothingThroughTheDispatcher)
{
    ArrangementEffect effect;
    VstSpeakerArrangement dummy;
    VstSpeakerArrangement* in = &dummy;
    VstSpeakerArrangement* out = &dummy;
    EXPECT_EQ(effect.dispatcher(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in),
                                &out, 0.0f),
              0);
    EXPECT_EQ(in, nullptr);
    EXPECT_EQ(out, nullptr);
    EXPECT_FALSE(effect.getSpeakerArrangement(nullptr, nullptr));
}
} // namespace
