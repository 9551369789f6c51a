#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace corvessa::test
{

// The first visible top-level window of this type (a dialog or alert the code under test
// opened on the desktop), or null.
template <typename Type>
Type* findOnDesktop()
{
    auto& desktop = juce::Desktop::getInstance();

    for (int i = 0; i < desktop.getNumComponents(); ++i)
        if (auto* found = dynamic_cast<Type*> (desktop.getComponent (i)); found != nullptr && found->isVisible())
            return found;

    return nullptr;
}

// The first component of this type below the parent, depth first, or null.
template <typename Type>
Type* findChild (juce::Component& parent)
{
    for (auto* child : parent.getChildren())
    {
        if (auto* found = dynamic_cast<Type*> (child))
            return found;

        if (auto* deeper = findChild<Type> (*child))
            return deeper;
    }

    return nullptr;
}

} // namespace corvessa::test
