#pragma once

// Objects that outlive the process's exit. The plug-in's thread may still wait on them while the
// process exits and the static objects go: a destroyed condition variable would keep the exit
// waiting for good. They are destroyed only when the library is unloaded, by which time every
// thread of ours has ended, so that a host loading the library many times leaks nothing.

#include <new>

namespace wydvst
{

// True from the start of the library's unloading (dlclose); false while the process exits.
bool libraryIsUnloading();

template <typename T>
class KeptAtExit
{
public:
    KeptAtExit() : object(new (storage) T()) {}
    ~KeptAtExit()
    {
        if (libraryIsUnloading())
            object->~T();
    }
    T& get() { return *object; }

    KeptAtExit(const KeptAtExit&) = delete;
    KeptAtExit& operator=(const KeptAtExit&) = delete;

private:
    alignas(T) unsigned char storage[sizeof(T)];
    T* object;
};

} // namespace wydvst
