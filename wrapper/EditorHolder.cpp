// JUCE's X11 layer, for the display connection behind the editor's window.
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include "wrapper/EditorHolder.h"

namespace wydvst
{

EditorHolder::EditorHolder(juce::AudioProcessor& processorIn, EditorHostSide& hostSideIn)
    : juce::Component("WYD-KX7 editor holder"), processor(processorIn), hostSide(hostSideIn)
{
    editor.reset(processor.createEditorIfNeeded());
    if (editor == nullptr)
        return;
    setOpaque(true);
    // No keyboard focus policy here: a popup menu stays open only while JUCE believes it is the
    // foreground process, which on X11 it does once one of its windows took the input focus, and
    // JUCE's X layer already takes it (XSetInputFocus through the peer's toFront) on every button
    // press in one of its windows, before any component sees the press. So a menu opened by a
    // label, which takes no focus itself, works on a host's real clicks too.
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
    setVisible(false);
    addToDesktop(0, parentWindow);
    setVisible(true);
    // Hosts look for and resize the child window right after effEditOpen, through their own
    // connection: the X server must know it by then.
    auto* windowSystem = juce::XWindowSystem::getInstance();
    juce::XWindowSystemUtilities::ScopedXLock xLock;
    juce::X11Symbols::getInstance()->xFlush(windowSystem->getDisplay());
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
    hostSide.editorTimerTick();
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
