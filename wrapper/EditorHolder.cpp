// JUCE's X11 layer, for the display connection behind the editor's window.
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include "wrapper/EditorHolder.h"

#include "wrapper/EmbeddedWindowGeometry.h"
#include "wrapper/PluginDisplay.h"

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

bool hasProperty(::Display* display, Window window, Atom property)
{
    Atom type = None;
    int format = 0;
    unsigned long items = 0, remaining = 0;
    unsigned char* data = nullptr;
    const int status = juce::X11Symbols::getInstance()->xGetWindowProperty(
        display, window, property, 0, 0, False, AnyPropertyType, &type, &format, &items, &remaining, &data);
    if (data != nullptr)
        juce::X11Symbols::getInstance()->xFree(data);
    return status == Success && type != None;
}

// The application's top-level window that holds `window`: the nearest ancestor a window manager
// marked as a client (WM_STATE), else the child of the root (no window manager runs).
Window clientTopLevelOf(::Display* display, Window window)
{
    auto* x11 = juce::X11Symbols::getInstance();
    const Atom wmState = x11->xInternAtom(display, "WM_STATE", True);
    Window current = window;
    for (;;)
    {
        if (wmState != None && hasProperty(display, current, wmState))
            return current;
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        if (x11->xQueryTree(display, current, &root, &parent, &children, &count) == 0)
            return current;
        if (children != nullptr)
            x11->xFree(children);
        if (parent == 0 || parent == root)
            return current;
        current = parent;
    }
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
        if (auto* peer = getPeer())
            EmbeddedWindowGeometry::untrack(reinterpret_cast<unsigned long>(peer->getNativeHandle()));
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
    return openPluginDisplay();
}

void EditorHolder::embedInto(void* parentWindow)
{
    hostWindow = reinterpret_cast<unsigned long>(parentWindow);
    setVisible(false);
    addToDesktop(0, parentWindow);
    if (auto* peer = getPeer())
        EmbeddedWindowGeometry::track(reinterpret_cast<unsigned long>(peer->getNativeHandle()));
    setVisible(true);
    remeasureIfMoved();
    // Hosts look for and resize the child window right after effEditOpen, through their own
    // connection: the X server must know it by then.
    auto* windowSystem = juce::XWindowSystem::getInstance();
    juce::XWindowSystemUtilities::ScopedXLock xLock;
    juce::X11Symbols::getInstance()->xFlush(windowSystem->getDisplay());
}

bool EditorHolder::keyPressed(const juce::KeyPress& key)
{
    // Keys arrive here when nothing in the editor used them. While a dialog with a text field is
    // open they belong to that field, wherever JUCE's focus went (a click on a button, a focus
    // given back by X): the user is typing a name, not playing the host.
    if (auto* dialog = shownDialog())
    {
        if (auto* field = firstShowingTextEditorIn(*dialog))
        {
            if (!field->hasKeyboardFocus(false))
            {
                field->grabKeyboardFocus();
                field->keyPressed(key);
            }
            return true;
        }
        // A message over a dialog that is being typed into.
        if (firstShowingTextEditorIn(*this) != nullptr)
            return true;
    }
    // JUCE's X layer took the input focus on the last click into the editor, so without this the
    // host's shortcuts (its transport's space bar) stay dead until the user clicks into the host.
    handKeyToHost(key);
    return true;
}

juce::Component* EditorHolder::shownDialog() const
{
    // Index 0 is the topmost modal component.
    auto* modal = juce::ModalComponentManager::getInstance();
    for (int i = 0; i < modal->getNumModalComponents(); ++i)
        if (auto* dialog = modal->getModalComponent(i))
            if (isParentOf(dialog))
                return dialog;
    return nullptr;
}

juce::TextEditor* EditorHolder::firstShowingTextEditorIn(juce::Component& component)
{
    if (!component.isShowing())
        return nullptr;
    if (auto* field = dynamic_cast<juce::TextEditor*>(&component))
        return field->isReadOnly() ? nullptr : field;
    for (auto* child : component.getChildren())
        if (auto* field = firstShowingTextEditorIn(*child))
            return field;
    return nullptr;
}

void EditorHolder::handKeyToHost(const juce::KeyPress& key)
{
    if (hostWindow == 0)
        return;
    auto* x11 = juce::X11Symbols::getInstance();
    auto* display = juce::XWindowSystem::getInstance()->getDisplay();
    juce::XWindowSystemUtilities::ScopedXLock xLock;
    // Hosts read keys on their top-level window (GTK does); the window they hand to effEditOpen
    // may belong to a connection of theirs that drops keys.
    const Window hostTopLevel = clientTopLevelOf(display, hostWindow);
    const KeyCode keyCode = x11->xKeysymToKeycode(display, keySymbolOf(key));
    if (keyCode != 0)
    {
        XEvent event{};
        event.xkey.type = kXKeyPressEvent;
        event.xkey.display = display;
        event.xkey.window = hostTopLevel;
        event.xkey.root = x11->xDefaultRootWindow(display);
        event.xkey.subwindow = None;
        event.xkey.time = CurrentTime;
        event.xkey.state = keyStateOf(key.getModifiers());
        event.xkey.keycode = keyCode;
        event.xkey.same_screen = True;
        x11->xSendEvent(display, hostTopLevel, True, KeyPressMask, &event);
        event.xkey.type = KeyRelease;
        x11->xSendEvent(display, hostTopLevel, True, KeyReleaseMask, &event);
    }
    // The keys that follow go to the host directly, where it reads them. (X refuses the focus to
    // a window not on screen, and the error would end the host.)
    XWindowAttributes attributes;
    if (x11->xGetWindowAttributes(display, hostTopLevel, &attributes) != 0 && attributes.map_state == IsViewable)
        x11->xSetInputFocus(display, hostTopLevel, RevertToParent, CurrentTime);
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
    remeasureIfMoved();
    idleHostIfDue();
}

void EditorHolder::remeasureIfMoved()
{
    if (auto* peer = getPeer())
    {
        const auto believed = (peer->getBounds().getTopLeft().toDouble() * peer->getPlatformScaleFactor()).roundToInt();
        EmbeddedWindowGeometry::remeasureIfMoved(reinterpret_cast<unsigned long>(peer->getNativeHandle()),
                                                 believed.x, believed.y);
    }
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
