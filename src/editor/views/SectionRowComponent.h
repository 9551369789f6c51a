#pragma once

#include "editor/views/SectionLabels.h"
#include "processor/SectionData.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <vector>

// The row of section buttons under the "Sections" caption: at most five section buttons, a
// more button ("+" and the number of sections without a button) whose menu lists those
// sections, and a "+" button that appends a section. A left press selects a section, dragging
// it over another swaps the two, a right press asks the owner for the section menu. The row
// edits only its own copy of the list and reports through its callbacks; the editor applies
// the changes to the processor. Message thread only.
class SectionRowComponent : public juce::Component,
                            public juce::TooltipClient
{
public:
    // Item codes of itemAt and hoverIndex; 0 and above is a section index.
    static constexpr int addItem = -1;
    static constexpr int moreItem = -2;
    static constexpr int noItem = -99;

    struct Layout
    {
        std::vector<int> visibleIndices;   // section index of each button, left to right
        bool hasHidden = false;            // some sections have no button: the more button shows
        float buttonWidth = 58.0f;
    };

    SectionRowComponent();

    std::function<void (int index)> onSectionClicked;
    std::function<void()> onSectionsReordered;
    std::function<void()> onAddSection;
    std::function<void()> onHoverChanged;
    std::function<void (int index, juce::Component& source, juce::Point<int> screenPosition)> onMenuRequested;

    // Written by the editor (then it repaints the row); the row changes them on presses and drags.
    std::vector<SectionMode::SectionData> sections;
    int playingIndex = -1;
    int selectedIndex = -1;
    int hoverIndex = noItem;
    int dragIndex = -1;

    // Height of every button: the row's height below 50 px, else clamp (height - 24, 24, 36).
    int getButtonHeight() const;

    Layout computeLayout() const;
    // Width of each of `count` section buttons, with or without the more button.
    float computeButtonWidth (int count, bool more) const;

    juce::Rectangle<float> getSectionButtonBounds (const Layout& layout, int slot) const;
    juce::Rectangle<float> getMoreButtonBounds (const Layout& layout) const;   // empty without hidden sections
    juce::Rectangle<float> getAddButtonBounds (const Layout& layout) const;    // empty at the section limit

    int itemAt (juce::Point<float> position) const;
    std::vector<int> hiddenIndices() const;

    // The more button's menu: the hidden sections in ascending order, ids 1, 2, ..., the
    // selected one ticked. A result picks hidden[result - 1] (the list the menu was built from).
    juce::PopupMenu buildHiddenSectionsMenu() const;
    void handleHiddenSectionsMenuResult (int result, const std::vector<int>& hidden);
    void showHiddenSectionsMenu();

    juce::String getTooltip() override;

    void paint (juce::Graphics& g) override;
    void mouseMove (const juce::MouseEvent& e) override;
    void mouseExit (const juce::MouseEvent& e) override;
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;

private:
    bool isAddShown() const noexcept { return (int) sections.size() < SectionMode::maxSections; }
    bool isSectionIndex (int index) const noexcept { return index >= 0 && index < (int) sections.size(); }
    // The row's width less the gaps and the more and "+" buttons: what `count` buttons share.
    int roomForButtons (int count, bool more) const;

    void drawSmallButton (juce::Graphics& g, juce::Rectangle<float> area, const juce::String& text, bool hovered) const;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SectionRowComponent)
};
