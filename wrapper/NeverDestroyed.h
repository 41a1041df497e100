#pragma once

// An object built on first use that is never destroyed. The plug-in's thread may still wait on
// such an object while the process exits and the static objects go; a destroyed condition
// variable would keep the exit waiting for good. Whoever uses one leaves it owning no memory
// once the last instance is gone, so unloading the library leaks nothing either.

#include <new>

namespace wydvst
{

template <typename T>
class NeverDestroyed
{
public:
    NeverDestroyed() : object(new (storage) T()) {}
    T& get() { return *object; }

private:
    alignas(T) unsigned char storage[sizeof(T)];
    T* object;
};

} // namespace wydvst
