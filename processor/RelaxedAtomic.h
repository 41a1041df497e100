#pragma once

#include <atomic>

// A value that the host's threads, the editor and the audio thread read and write at once, each
// access a single relaxed atomic load or store: no torn or undefined reads, no lock, and on x86
// the same instructions as a plain float or int. Nothing is ordered by it; whoever needs an order
// (the editor's change flags, say) says so with an atomic of its own.
template <typename T>
class RelaxedAtomic
{
public:
    static_assert(std::atomic<T>::is_always_lock_free, "the audio thread must never take a lock");

    RelaxedAtomic() = default;
    RelaxedAtomic(T initial) : value(initial) {}
    RelaxedAtomic(const RelaxedAtomic& other) : value(other.load()) {}

    RelaxedAtomic& operator=(T v)
    {
        value.store(v, std::memory_order_relaxed);
        return *this;
    }
    RelaxedAtomic& operator=(const RelaxedAtomic& other) { return *this = other.load(); }

    T load() const { return value.load(std::memory_order_relaxed); }
    operator T() const { return load(); }

private:
    std::atomic<T> value{};
};
