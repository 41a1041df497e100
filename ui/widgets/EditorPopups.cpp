// JUCE's X11 layer, for the input focus and the state of the editor's window.
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include "ui/widgets/EditorPopups.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace EditorPopups
{

namespace
{

// How often an open menu looks at its editor's window and at the input focus.
constexpr int kWatchMilliseconds = 40;

::Display* display()
{
    auto* windowSystem = juce::XWindowSystem::getInstanceWithoutCreating();
    return windowSystem != nullptr ? windowSystem->getDisplay() : nullptr;
}

::Window windowOf(const juce::Component* component)
{
    auto* peer = component != nullptr ? component->getPeer() : nullptr;
    return peer != nullptr ? reinterpret_cast<::Window>(peer->getNativeHandle()) : 0;
}

// On screen: mapped, and so are all its ancestors (a host hides its window without telling us).
bool isViewable(::Display* x, ::Window window)
{
    XWindowAttributes attributes;
    return window != 0 && juce::X11Symbols::getInstance()->xGetWindowAttributes(x, window, &attributes) != 0
           && attributes.map_state == IsViewable;
}

// JUCE's menu windows, submenus included.
bool isMenuWindow(::Window window)
{
    auto& desktop = juce::Desktop::getInstance();
    for (int i = 0; i < desktop.getNumComponents(); ++i)
        if (auto* component = desktop.getComponent(i))
            if (component->getName() == "menu" && windowOf(component) == window)
                return true;
    return false;
}

void setInputFocus(::Display* x, ::Window window)
{
    juce::X11Symbols::getInstance()->xSetInputFocus(x, window, RevertToParent, CurrentTime);
    juce::X11Symbols::getInstance()->xFlush(x);
}

// One open menu and the component it was opened from.
class MenuWatch : private juce::ComponentListener, private juce::Timer
{
public:
    MenuWatch(juce::Component& menuWindow, juce::Component& targetComponent)
        : menu(&menuWindow), target(&targetComponent)
    {
        menuWindow.addComponentListener(this);
        targetComponent.addComponentListener(this);
        targetWasOnScreen = targetIsOnScreen();
        startTimer(kWatchMilliseconds);
    }

    ~MenuWatch() override
    {
        stopTimer();
        if (menu != nullptr)
            menu->removeComponentListener(this);
        if (target != nullptr)
            target->removeComponentListener(this);
    }

    bool belongsTo(const juce::Component& component) const
    {
        return target != nullptr && target->getTopLevelComponent() == component.getTopLevelComponent();
    }

    void dismiss()
    {
        if (menu == nullptr || !menu->isVisible())
            return;
        // As the menu itself does on Escape: its answer, 0, arrives through the usual callback.
        menu->exitModalState(0);
        menu->setVisible(false);
    }

private:
    void timerCallback() override
    {
        // Hidden after it was seen on screen: a window that is still being mapped (X maps it a
        // moment after JUCE shows it) is not one the host hid.
        if (!targetIsOnScreen())
        {
            if (targetWasOnScreen)
                dismiss();
            return;
        }
        targetWasOnScreen = true;
        moveFocusOffMenus(false);
    }

    bool targetIsOnScreen() const
    {
        auto* x = display();
        return target != nullptr && target->isShowing() && x != nullptr && isViewable(x, windowOf(target));
    }

    // The focus goes from a menu window to the editor's before the menu window goes: otherwise X
    // gives it to the root window and the window manager to a window of its choice, maybe the
    // host's main window, where the next keys would act as the host's shortcuts. Keys typed into
    // the editor's window still reach the open menu, the modal component.
    // `menuHidden`: the menu window was just unmapped, so a focus it held went to the root.
    void returnFocusFromMenus(bool menuHidden = false)
    {
        if (targetIsOnScreen())
            moveFocusOffMenus(menuHidden);
    }

    // The same, for a target known to be on screen.
    void moveFocusOffMenus(bool menuHidden)
    {
        auto* x = display();
        if (x == nullptr)
            return;
        juce::XWindowSystemUtilities::ScopedXLock xLock;
        ::Window focus = 0;
        int revertTo = 0;
        juce::X11Symbols::getInstance()->xGetInputFocus(x, &focus, &revertTo);
        const bool reverted = focus == None || focus == PointerRoot
                              || focus == juce::X11Symbols::getInstance()->xDefaultRootWindow(x);
        if (isMenuWindow(focus) || (menuHidden && reverted))
            setInputFocus(x, windowOf(target));
    }

    void componentVisibilityChanged(juce::Component& component) override
    {
        if (&component == menu.getComponent() && !component.isVisible())
            returnFocusFromMenus(true);
        else if (&component == target.getComponent() && !component.isShowing())
            dismiss();
    }

    void componentParentHierarchyChanged(juce::Component& component) override
    {
        // The target was taken out of the editor, or the editor out of its window's component.
        if (&component == target.getComponent() && !component.isShowing())
            dismiss();
    }

    void componentBeingDeleted(juce::Component& component) override;

    juce::Component::SafePointer<juce::Component> menu;
    juce::Component::SafePointer<juce::Component> target;
    bool targetWasOnScreen = false;
};

std::vector<std::unique_ptr<MenuWatch>>& watches()
{
    static std::vector<std::unique_ptr<MenuWatch>> live;
    return live;
}

void MenuWatch::componentBeingDeleted(juce::Component& component)
{
    if (&component == menu.getComponent())
        returnFocusFromMenus(); // the menu window still exists: no revert to the root window
    else
        dismiss();
    component.removeComponentListener(this);
    if (&component != menu.getComponent())
        return;
    // The menu is gone: so is its watch (JUCE allows a listener to go inside its callback).
    auto& live = watches();
    auto self = std::find_if(live.begin(), live.end(), [this](const auto& w) { return w.get() == this; });
    if (self != live.end())
    {
        auto keep = std::move(*self);
        live.erase(self);
    }
}

} // namespace

void showMenu(juce::PopupMenu& menu, juce::Component& target, std::function<void(int)> chosen)
{
    menu.showMenuAsync(juce::PopupMenu::Options().withTargetComponent(&target), std::move(chosen));
    // JUCE made the menu window the topmost modal component before it returned.
    auto* window = juce::Component::getCurrentlyModalComponent(0);
    if (window != nullptr && window->isOnDesktop() && window->getName() == "menu")
        watches().push_back(std::make_unique<MenuWatch>(*window, target));
}

void dismissMenusOf(const juce::Component& component)
{
    // Dismissing deletes nothing at once: the menus go later, through JUCE's modal callbacks.
    for (auto& watch : watches())
        if (watch->belongsTo(component))
            watch->dismiss();
}

void takeInputFocus(const juce::Component& component)
{
    auto* x = display();
    if (x == nullptr)
        return;
    juce::XWindowSystemUtilities::ScopedXLock xLock;
    const ::Window window = windowOf(&component);
    if (isViewable(x, window))
        setInputFocus(x, window);
}

} // namespace EditorPopups
