#pragma once

// The editor interface the base dispatchers drive when an editor object exists. Nothing in this
// plug-in creates one (its wrapper answers the editor opcodes itself); the defaults refuse everything.

#include "vst/AEffect.h"

class AEffEditor
{
public:
    virtual ~AEffEditor() = default;

    // rect: where the host wants the address of the editor's rectangle.
    virtual bool getRect(ERect** rect)
    {
        (void)rect;
        return false;
    }
    virtual bool open(void* parentWindow)
    {
        (void)parentWindow;
        return false;
    }
    virtual void close() {}
    virtual void idle() {}
    virtual bool onKeyDown(VstKeyCode& keyCode)
    {
        (void)keyCode;
        return false;
    }
    virtual bool onKeyUp(VstKeyCode& keyCode)
    {
        (void)keyCode;
        return false;
    }
    virtual bool setKnobMode(VstInt32 mode)
    {
        (void)mode;
        return false;
    }
};
