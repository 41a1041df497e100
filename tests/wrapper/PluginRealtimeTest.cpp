// The audio thread's path through the plug-in allocates nothing. Every allocation of this test
// program passes through the counters below; they count only on a thread that asked for it, so
// the message thread and the test's own bookkeeping stay out of the figures.

#include "PluginTestSupport.h"

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

extern "C" AEffect* VSTPluginMain(audioMasterCallback audioMaster);

// Under a sanitizer the allocator is the sanitizer's: replacing it would blind AddressSanitizer
// to the whole program's heap and crash ThreadSanitizer before it starts, so nothing is counted.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define WYD_COUNT_ALLOCATIONS 0
#else
#define WYD_COUNT_ALLOCATIONS 1
#endif

#if WYD_COUNT_ALLOCATIONS
extern "C" void* __libc_malloc(size_t size);
extern "C" void* __libc_calloc(size_t count, size_t size);
extern "C" void* __libc_realloc(void* memory, size_t size);
extern "C" void __libc_free(void* memory);

namespace
{
thread_local bool countingOnThisThread = false;
std::atomic<int> allocationsCounted{0};

void noteAllocation()
{
    if (countingOnThisThread)
        allocationsCounted.fetch_add(1, std::memory_order_relaxed);
}

void* allocateOrThrow(size_t size)
{
    noteAllocation();
    if (void* memory = __libc_malloc(size == 0 ? 1 : size))
        return memory;
    throw std::bad_alloc();
}
} // namespace

extern "C" void* malloc(size_t size)
{
    noteAllocation();
    return __libc_malloc(size);
}

extern "C" void* calloc(size_t count, size_t size)
{
    noteAllocation();
    return __libc_calloc(count, size);
}

extern "C" void* realloc(void* memory, size_t size)
{
    noteAllocation();
    return __libc_realloc(memory, size);
}

extern "C" void free(void* memory)
{
    __libc_free(memory);
}

void* operator new(size_t size) { return allocateOrThrow(size); }
void* operator new[](size_t size) { return allocateOrThrow(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    noteAllocation();
    return __libc_malloc(size == 0 ? 1 : size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    noteAllocation();
    return __libc_malloc(size == 0 ? 1 : size);
}
void operator delete(void* memory) noexcept { __libc_free(memory); }
void operator delete[](void* memory) noexcept { __libc_free(memory); }
void operator delete(void* memory, size_t) noexcept { __libc_free(memory); }
void operator delete[](void* memory, size_t) noexcept { __libc_free(memory); }
#else
namespace
{
thread_local bool countingOnThisThread = false;
std::atomic<int> allocationsCounted{0};
} // namespace
#endif

namespace
{

// Counts the allocations made on the calling thread while `work` runs.
template <typename Work>
int allocationsDuring(Work&& work)
{
    allocationsCounted = 0;
    countingOnThisThread = true;
    work();
    countingOnThisThread = false;
    return allocationsCounted.load();
}

// What the host does when called back is not the plug-in's allocation (the test host logs calls).
VstIntPtr hostCallbackNotCounted(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                 void* ptr, float opt)
{
    const bool counting = countingOnThisThread;
    countingOnThisThread = false;
    const VstIntPtr answer = vsthost::hostCallback(effect, opcode, index, value, ptr, opt);
    countingOnThisThread = counting;
    return answer;
}

// The test host's instance, created with the callback above.
struct RecordOnly
{
    explicit RecordOnly(vsthost::Host& host)
        : effect(vsthost::createEffect(VSTPluginMain, host, hostCallbackNotCounted))
    {
    }
    ~RecordOnly()
    {
        if (effect != nullptr)
            effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f) const
    {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    AEffect* effect;
};

TEST(PluginRealtime, CountersSeeAnAllocation)
{
    if (!WYD_COUNT_ALLOCATIONS)
        GTEST_SKIP() << "a sanitizer owns the allocator";
    // Without this the test below could pass with counters that never count.
    const int counted = allocationsDuring([] {
        std::vector<float> buffer(1000);
        void* raw = std::malloc(16);
        std::free(raw);
        buffer[10] = 1.0f;
    });
    EXPECT_EQ(counted, 2);
}

TEST(PluginRealtime, ProcessReplacingAllocatesNothing)
{
    if (!WYD_COUNT_ALLOCATIONS)
        GTEST_SKIP() << "a sanitizer owns the allocator";
    vsthost::Host host;
    RecordOnly plugin(host);
    ASSERT_NE(plugin.effect, nullptr);
    AEffect* e = plugin.effect;
    plugin.dispatch(effOpen);
    e->setParameter(e, 2, 1.0f); // saturation, with its oversampling
    plugin.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    plugin.dispatch(effSetBlockSize, 0, 256);
    plugin.dispatch(effMainsChanged, 0, 1);

    std::vector<float> left(4096, 0.25f), right(4096, -0.25f);
    float* channels[] = {left.data(), right.data()};
    std::vector<float> separateLeft(4096), separateRight(4096);
    float* separate[] = {separateLeft.data(), separateRight.data()};

    // The first block asks the host for its process level; later ones see every kind of change
    // the audio path reacts to: glides, frequency hand-overs, section fades, bypass, empty blocks,
    // blocks longer than the host announced, and power (off in round 0) and the host's bypass
    // (round 5) ending, each of which starts the signal path from rest.
    const int blocks[] = {256, 256, 0, 1, 17, 256, 4096, 256, 333, 256};
    int round = 0;
    for (int frames : blocks)
    {
        SCOPED_TRACE(frames);
        e->setParameter(e, round % 22, static_cast<float>(round % 5) / 4.0f);
        if (round == 2)
            e->setParameter(e, 0, 1.0f);
        plugin.dispatch(effSetBypass, 0, round == 5 ? 1 : 0);
        const bool inPlace = round % 2 == 0;
        EXPECT_EQ(allocationsDuring([&] {
                      e->processReplacing(e, channels, inPlace ? channels : separate, frames);
                  }),
                  0);
        ++round;
    }
    EXPECT_EQ(host.count(audioMasterGetCurrentProcessLevel), 2u);
}

} // namespace
