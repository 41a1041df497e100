#include "ui/widgets/EditorModalScope.h"

#include "ui/widgets/EditorPopups.h"

namespace EditorModalScope
{
const juce::Component* editorOf(const juce::Component& component)
{
    return component.getTopLevelComponent();
}

bool allowsEventTo(const juce::Component& dialog, const juce::Component* target)
{
    if (target == nullptr)
        return false;
    const auto* targetEditor = editorOf(*target);
    if (targetEditor == editorOf(dialog))
        return false;

    // Another window: the topmost modal dialog of that window, if there is one, decides.
    auto& manager = *juce::ModalComponentManager::getInstance();
    for (int i = 0; i < manager.getNumModalComponents(); ++i)
    {
        const auto* modal = manager.getModalComponent(i);
        if (modal != nullptr && modal != &dialog && editorOf(*modal) == targetEditor)
            return modal == target || modal->isParentOf(target);
    }
    return true;
}

bool parentIsShowing(const juce::Component& dialog)
{
    const auto* parent = dialog.getParentComponent();
    return parent != nullptr && parent->isShowing();
}

void takeModalStateFromParent(juce::Component& dialog)
{
    if (auto* parent = dialog.getParentComponent())
        if (parent->isCurrentlyModal(false))
            parent->exitModalState(1);
}

void giveModalStateBackToParent(juce::Component& dialog)
{
    // A parent that is no longer on screen must not become an invisible modal component.
    if (auto* parent = dialog.getParentComponent())
        if (!parent->isCurrentlyModal(false) && parent->isShowing())
            parent->enterModalState(true, nullptr, false);
}

void setButtonEnabled(juce::Component& button, bool enabled)
{
    button.setAlpha(enabled ? 1.0f : 0.5f);
    button.setEnabled(enabled);
}

void giveKeyboardTo(juce::Component& field)
{
    // An earlier key handed to the host, or the window manager, moved X's input focus out of our
    // window, and JUCE gives a component the keyboard only while its window holds that focus:
    // take it back first.
    EditorPopups::takeInputFocus(field);
    field.grabKeyboardFocus();
}
} // namespace EditorModalScope
