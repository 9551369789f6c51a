#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace velmar
{

// Keeps popup menus inside the plug-in window. A host window may be small, may sit at the edge
// of a screen, and our interface is drawn on a scaled canvas, so menus are not opened as
// windows of their own: they are opened as children of an invisible Host that sits in the
// canvas and is moved, for each menu, onto the strip of the window where that menu may appear.
// A menu opens below its target when the target sits in the upper half of the window and above
// it otherwise. Message thread only.
struct PopupMenuPlacement final
{
    // Invisible, always in front of its siblings, lets clicks through to its children (the
    // open menus). Its owner adds it as a visible child of the canvas, after every other child.
    class Host : public juce::Component
    {
    public:
        Host();

    private:
        JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Host)
    };

    // The options with the nearest Host of the target component as parent, the target pulled
    // inside the host's container (less 4 pixels on every side) and turned into an anchor line
    // below or above it, and the host moved onto the strip the menu may use. Options whose
    // target has no Host among its ancestors' children come back unchanged.
    static juce::PopupMenu::Options withPlacement (const juce::PopupMenu::Options& options);

    // The nearest Host for a component: the first Host among its own children, else among its
    // parent's children, and so on up to the top; nullptr when there is none.
    static Host* findHost (juce::Component& component);

    // A look-and-feel whose combo boxes open their lists through withPlacement (below or above
    // the box, never over its selected item).
    template <typename Base = juce::LookAndFeel_V4>
    class LookAndFeel : public Base
    {
    public:
        using Base::Base;

        juce::PopupMenu::Options getOptionsForComboBoxPopupMenu (juce::ComboBox& box, juce::Label& label) override
        {
            return withPlacement (Base::getOptionsForComboBoxPopupMenu (box, label));
        }
    };

    PopupMenuPlacement() = delete;
};

} // namespace velmar
