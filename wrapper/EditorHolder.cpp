// JUCE's X11 layer, for the display connection behind the editor's window.
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include "wrapper/EditorHolder.h"

namespace wydvst
{

namespace
{

// X's event type KeyPress, whose macro JUCE's headers undefine (it clashes with juce::KeyPress).
constexpr int kXKeyPressEvent = 2;

// The X key symbol of a key as JUCE reports it on Linux: special keys carry their symbol's low
// byte (with JUCE's extended-key flag for most), characters their Unicode value.
KeySym keySymbolOf(const juce::KeyPress& key)
{
    constexpr int extendedKeyFlag = 0x10000000;
    const int code = key.getKeyCode();
    if ((code & extendedKeyFlag) != 0)
        return 0xff00 | (code & 0xff);
    if (code == juce::KeyPress::returnKey || code == juce::KeyPress::escapeKey
        || code == juce::KeyPress::backspaceKey || code == juce::KeyPress::tabKey)
        return 0xff00 | code;
    return code < 0x100 ? static_cast<KeySym>(code) : static_cast<KeySym>(0x01000000 | code);
}

unsigned int keyStateOf(const juce::ModifierKeys& modifiers)
{
    return (modifiers.isShiftDown() ? ShiftMask : 0u) | (modifiers.isCtrlDown() ? ControlMask : 0u)
           | (modifiers.isAltDown() ? Mod1Mask : 0u);
}

} // namespace

EditorHolder::EditorHolder(juce::AudioProcessor& processorIn, EditorHostSide& hostSideIn)
    : juce::Component("WYD-KX7 editor holder"), processor(processorIn), hostSide(hostSideIn)
{
    editor.reset(processor.createEditorIfNeeded());
    if (editor == nullptr)
        return;
    setOpaque(true);
    // Keyboard focus. A popup menu stays open only while JUCE believes it is the foreground
    // process, which on X11 it does once one of its windows took the input focus; JUCE's X layer
    // takes it (XSetInputFocus through the peer's toFront) on every button press in one of its
    // windows, before any component sees the press. So a menu opened by a label, which takes no
    // focus itself, works on a host's real clicks without more from us; keyPressed gives the
    // focus back to the host with the first key nothing here uses.
    addAndMakeVisible(*editor);
    editor->setTopLeftPosition(0, 0);
    setBounds(0, 0, editor->getWidth(), editor->getHeight());
    startTimer(kTimerMilliseconds);
}

EditorHolder::~EditorHolder()
{
    detach();
    editor.reset();
}

void EditorHolder::detach()
{
    stopTimer();
    cancelPendingUpdate();
    // The processor forgets its editor before the editor goes, and can make a new one at once.
    if (editor != nullptr)
        processor.editorBeingDeleted(editor.get());
    if (isOnDesktop())
    {
        releaseHeldMouseButtons();
        // The host may destroy its window as soon as we return; ours must be gone before.
        removeFromDesktop();
    }
}

void EditorHolder::releaseHeldMouseButtons()
{
    // Closed while the user holds a button in it: the release will go to the host's window, and
    // JUCE would go on believing the button held, lose the next click into a new editor and keep
    // the timer idling the host. It hears of the release now instead.
    auto* peer = getPeer();
    auto mouse = juce::Desktop::getInstance().getMainMouseSource();
    if (peer == nullptr || !mouse.isDragging())
        return;
    const auto released = juce::ModifierKeys::currentModifiers.withoutMouseButtons();
    peer->handleMouseEvent(juce::MouseInputSource::InputSourceType::mouse,
                           peer->globalToLocal(mouse.getScreenPosition()), released,
                           juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                           juce::Time::currentTimeMillis());
    juce::ModifierKeys::currentModifiers = released;
}

bool EditorHolder::displayIsAvailable()
{
    return juce::XWindowSystem::getInstance()->isX11Available();
}

void EditorHolder::embedInto(void* parentWindow)
{
    hostWindow = reinterpret_cast<unsigned long>(parentWindow);
    setVisible(false);
    addToDesktop(0, parentWindow);
    setVisible(true);
    // Hosts look for and resize the child window right after effEditOpen, through their own
    // connection: the X server must know it by then.
    auto* windowSystem = juce::XWindowSystem::getInstance();
    juce::XWindowSystemUtilities::ScopedXLock xLock;
    juce::X11Symbols::getInstance()->xFlush(windowSystem->getDisplay());
}

bool EditorHolder::keyPressed(const juce::KeyPress& key)
{
    // Only keys nothing in the editor used arrive here (the editor gives no key a meaning).
    // JUCE's X layer took the input focus on the last click into the editor, so without this the
    // host's shortcuts (its transport's space bar) stay dead until the user clicks into the host.
    handKeyToHost(key);
    return true;
}

void EditorHolder::handKeyToHost(const juce::KeyPress& key)
{
    if (hostWindow == 0)
        return;
    auto* x11 = juce::X11Symbols::getInstance();
    auto* display = juce::XWindowSystem::getInstance()->getDisplay();
    juce::XWindowSystemUtilities::ScopedXLock xLock;
    const KeyCode keyCode = x11->xKeysymToKeycode(display, keySymbolOf(key));
    if (keyCode != 0)
    {
        XEvent event{};
        event.xkey.type = kXKeyPressEvent;
        event.xkey.display = display;
        event.xkey.window = hostWindow;
        event.xkey.root = x11->xDefaultRootWindow(display);
        event.xkey.time = CurrentTime;
        event.xkey.state = keyStateOf(key.getModifiers());
        event.xkey.keycode = keyCode;
        event.xkey.same_screen = True;
        // Propagated: it reaches the host's widget that listens for keys above its window.
        x11->xSendEvent(display, hostWindow, True, KeyPressMask, &event);
        event.xkey.type = KeyRelease;
        x11->xSendEvent(display, hostWindow, True, KeyReleaseMask, &event);
    }
    // The keys that follow go to the host directly.
    x11->xSetInputFocus(display, hostWindow, RevertToParent, CurrentTime);
    x11->xFlush(display);
}

void EditorHolder::exitModalStates()
{
    auto* modal = juce::ModalComponentManager::getInstance();
    for (int i = modal->getNumModalComponents(); --i >= 0;)
        if (auto* component = modal->getModalComponent(i))
            if (component == this || isParentOf(component))
                component->exitModalState(0);
}

void EditorHolder::paint(juce::Graphics& g)
{
    g.fillAll(juce::Colours::black);
}

void EditorHolder::paintOverChildren(juce::Graphics&)
{
    // Every repaint of the window passes here; while the user drags, the host hears of it.
    if (isMouseButtonHeld())
        triggerAsyncUpdate();
}

void EditorHolder::handleAsyncUpdate()
{
    idleHostIfDue();
}

void EditorHolder::timerCallback()
{
    idleHostIfDue();
}

bool EditorHolder::isMouseButtonHeld()
{
    return juce::ModifierKeys::currentModifiers.isAnyMouseButtonDown();
}

void EditorHolder::idleHostIfDue()
{
    if (!isMouseButtonHeld())
        return;
    const juce::uint32 now = juce::Time::getMillisecondCounter();
    if (hasIdledHost && now - lastHostIdle <= kHostIdleSpacingMilliseconds)
        return;
    hasIdledHost = true;
    lastHostIdle = now;
    hostSide.idleHost();
}

void EditorHolder::childBoundsChanged(juce::Component* child)
{
    if (child != editor.get())
        return;
    if (child->getPosition() != juce::Point<int>())
    {
        child->setTopLeftPosition(0, 0); // comes back here with the new bounds
        return;
    }
    if (child->getWidth() == getWidth() && child->getHeight() == getHeight())
        return;
    setSize(child->getWidth(), child->getHeight());
    hostSide.resizeHostWindow(child->getWidth(), child->getHeight());
}

} // namespace wydvst
