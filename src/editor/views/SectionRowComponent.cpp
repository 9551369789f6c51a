#include "editor/views/SectionRowComponent.h"

#include "editor/look/Palette.h"
#include "kit/dialogs/PopupMenuPlacement.h"

#include <algorithm>

namespace
{
constexpr int maxButtons = 5;
constexpr float gap = 4.0f;
constexpr float moreWidth = 34.0f;
constexpr float addWidth = 26.0f;
constexpr float minButtonWidth = 44.0f;
constexpr float maxButtonWidth = 58.0f;
} // namespace

SectionRowComponent::SectionRowComponent()
{
    setRepaintsOnMouseActivity (true);
}

int SectionRowComponent::getButtonHeight() const
{
    const auto h = getHeight();
    return h < 50 ? h : juce::jlimit (24, 36, h - 24);
}

float SectionRowComponent::computeButtonWidth (int count, bool more) const
{
    if (count <= 0)
        return maxButtonWidth;

    return juce::jlimit (minButtonWidth, maxButtonWidth, (float) roomForButtons (count, more) / (float) count);
}

int SectionRowComponent::roomForButtons (int count, bool more) const
{
    // One 4 px gap between neighbouring items, the more and "+" buttons counted as items.
    const auto addShown = isAddShown();
    const auto gaps = 4 * std::max (0, count + (more ? 1 : 0) + (addShown ? 1 : 0) - 1);
    const auto fixed = (addShown ? 26 : 0) + (more ? 34 : 0);
    return std::max (getWidth(), 1) - gaps - fixed;
}

SectionRowComponent::Layout SectionRowComponent::computeLayout() const
{
    Layout layout;
    const auto n = (int) sections.size();

    if (n == 0)
        return layout;

    auto count = std::min (n, maxButtons);
    auto more = count < n;

    // Fewer buttons until `count` of them fit: width >= count x buttonWidth + gaps + fixed. A
    // clamped width makes that hold exactly when the room holds `count` buttons of the minimum
    // width, which whole pixels decide without rounding (330 px holds five 49.2 px buttons
    // with "+n" and "+" exactly, where a rounded width could tip the sum over).
    while (count > 1)
    {
        if (roomForButtons (count, more) >= count * (int) minButtonWidth)
            break;

        --count;
        more = count < n;
    }

    layout.buttonWidth = computeButtonWidth (count, more);
    layout.hasHidden = more;

    if (! more)
    {
        for (int i = 0; i < n; ++i)
            layout.visibleIndices.push_back (i);
    }
    else
    {
        // The selected section always keeps a button: it takes the last slot when it would
        // otherwise be hidden.
        const auto selected = juce::jlimit (0, n - 1, selectedIndex);
        const auto leading = (selected < count || count < 2) ? count : count - 1;

        for (int i = 0; i < leading; ++i)
            layout.visibleIndices.push_back (i);

        if (leading < count)
            layout.visibleIndices.push_back (selected);
    }

    return layout;
}

juce::Rectangle<float> SectionRowComponent::getSectionButtonBounds (const Layout& layout, int slot) const
{
    return { (float) slot * (layout.buttonWidth + gap), 0.0f, layout.buttonWidth, (float) getButtonHeight() };
}

juce::Rectangle<float> SectionRowComponent::getMoreButtonBounds (const Layout& layout) const
{
    if (! layout.hasHidden)
        return {};

    const auto count = (float) layout.visibleIndices.size();
    return { count * (layout.buttonWidth + gap), 0.0f, moreWidth, (float) getButtonHeight() };
}

juce::Rectangle<float> SectionRowComponent::getAddButtonBounds (const Layout& layout) const
{
    if (! isAddShown())
        return {};

    const auto count = (float) layout.visibleIndices.size();
    const auto x = layout.hasHidden ? count * (layout.buttonWidth + gap) + moreWidth + gap
                                    : count * (layout.buttonWidth + gap);
    return { x, 0.0f, addWidth, (float) getButtonHeight() };
}

int SectionRowComponent::itemAt (juce::Point<float> position) const
{
    const auto height = (float) getButtonHeight();

    if (position.y < 0.0f || position.y >= height)
        return noItem;

    const auto layout = computeLayout();
    const auto spans = [&position] (juce::Rectangle<float> area)
    {
        return ! area.isEmpty() && position.x >= area.getX() && position.x < area.getRight();
    };

    for (size_t slot = 0; slot < layout.visibleIndices.size(); ++slot)
        if (spans (getSectionButtonBounds (layout, (int) slot)))
            return layout.visibleIndices[slot];

    if (spans (getMoreButtonBounds (layout)))
        return moreItem;

    if (spans (getAddButtonBounds (layout)))
        return addItem;

    return noItem;
}

std::vector<int> SectionRowComponent::hiddenIndices() const
{
    const auto layout = computeLayout();
    std::vector<int> hidden;

    for (int i = 0; i < (int) sections.size(); ++i)
        if (std::find (layout.visibleIndices.begin(), layout.visibleIndices.end(), i) == layout.visibleIndices.end())
            hidden.push_back (i);

    return hidden;
}

juce::PopupMenu SectionRowComponent::buildHiddenSectionsMenu() const
{
    juce::PopupMenu menu;
    int itemId = 1;

    for (auto index : hiddenIndices())
        menu.addItem (itemId++, sectionDisplayName (sections[(size_t) index], index), true, index == selectedIndex);

    return menu;
}

void SectionRowComponent::handleHiddenSectionsMenuResult (int result, const std::vector<int>& hidden)
{
    if (result < 1 || result > (int) hidden.size())
        return;

    const auto index = hidden[(size_t) result - 1];

    // The list may have changed while the menu was open.
    if (! isSectionIndex (index))
        return;

    if (index != selectedIndex)
    {
        selectedIndex = index;
        repaint();
    }

    if (onSectionClicked)
        onSectionClicked (index);
}

void SectionRowComponent::showHiddenSectionsMenu()
{
    const auto layout = computeLayout();

    if (! layout.hasHidden)
        return;

    const auto hidden = hiddenIndices();
    const auto target = localAreaToGlobal (getMoreButtonBounds (layout).toNearestInt());
    const auto options = velmar::PopupMenuPlacement::withPlacement (
        juce::PopupMenu::Options().withTargetComponent (this).withTargetScreenArea (target));

    buildHiddenSectionsMenu().showMenuAsync (options, [safeThis = juce::Component::SafePointer<SectionRowComponent> (this), hidden] (int result)
    {
        if (safeThis != nullptr)
            safeThis->handleHiddenSectionsMenuResult (result, hidden);
    });
}

juce::String SectionRowComponent::getTooltip()
{
    if (isSectionIndex (hoverIndex))
        return sectionDisplayName (sections[(size_t) hoverIndex], hoverIndex);

    if (hoverIndex == addItem)
        return "Add empty section";

    if (hoverIndex == moreItem)
        return "More sections";

    return {};
}

void SectionRowComponent::paint (juce::Graphics& g)
{
    g.setColour (Palette::mantle.withAlpha (0.22f));
    g.fillRoundedRectangle (getLocalBounds().toFloat(), 6.0f);

    const auto layout = computeLayout();
    const auto hb = (float) getButtonHeight();
    const auto accent = Palette::mauve;

    for (size_t slot = 0; slot < layout.visibleIndices.size(); ++slot)
    {
        const auto index = layout.visibleIndices[slot];
        const auto area = getSectionButtonBounds (layout, (int) slot);
        const auto x = area.getX();
        const auto w = area.getWidth();
        const auto selected = index == selectedIndex;
        const auto hovered = index == hoverIndex;
        const juce::Rectangle<float> inset (x + 0.5f, 0.5f, std::max (w - 1.0f, 0.0f), std::max (hb - 1.0f, 0.0f));

        g.setColour (selected ? Palette::surface1 : Palette::surface0);
        g.fillRoundedRectangle (area, 6.0f);

        if (hovered)
        {
            g.setColour (Palette::surface1.withAlpha (0.72f));
            g.fillRoundedRectangle (inset, 6.0f);
        }

        if (selected)
        {
            g.setColour (accent.withAlpha (0.82f));
            g.drawRoundedRectangle (inset, 6.0f, 1.0f);
            g.setColour (accent);
            g.fillRoundedRectangle ({ x + w / 2.0f - 12.0f, hb - 4.0f, 24.0f, 2.0f }, 1.0f);
        }
        else
        {
            g.setColour (Palette::surface2.withAlpha (hovered ? 0.70f : 0.46f));
            g.drawRoundedRectangle (inset, 6.0f, 1.0f);
        }

        if (index == playingIndex)
        {
            g.setColour (Palette::text.withAlpha (0.12f));
            g.fillRoundedRectangle (area, 6.0f);
            g.setColour (accent);
            g.fillRoundedRectangle ({ x + w / 2.0f - 12.0f, 3.0f, 24.0f, 3.0f }, 1.5f);
        }

        const auto roundedX = juce::roundToInt (x);
        const auto roundedW = juce::roundToInt (w);
        g.setColour (selected || hovered ? Palette::text : Palette::subtext1);
        g.setFont (juce::Font (12.0f, juce::Font::bold));
        g.drawFittedText (sectionShortLabel (sections[(size_t) index], index),
                          { roundedX + 3, 7, std::max (roundedW - 6, 0), juce::roundToInt (std::max (hb - 7.0f, 0.0f)) },
                          juce::Justification::centred, 1, 0.72f);
    }

    if (layout.hasHidden)
        drawSmallButton (g, getMoreButtonBounds (layout), "+" + juce::String ((int) hiddenIndices().size()), hoverIndex == moreItem);

    if (isAddShown())
        drawSmallButton (g, getAddButtonBounds (layout), "+", hoverIndex == addItem);
}

void SectionRowComponent::drawSmallButton (juce::Graphics& g, juce::Rectangle<float> area, const juce::String& text, bool hovered) const
{
    const auto accent = Palette::mauve;
    const juce::Rectangle<float> inset (area.getX() + 0.5f, area.getY() + 0.5f,
                                        std::max (area.getWidth() - 1.0f, 0.0f), std::max (area.getHeight() - 1.0f, 0.0f));

    g.setColour (Palette::surface0);
    g.fillRoundedRectangle (area, 6.0f);

    if (hovered)
    {
        g.setColour (accent.withAlpha (0.10f));
        g.fillRoundedRectangle (inset, 6.0f);
    }

    g.setColour (accent.withAlpha (hovered ? 0.6f : 0.2f));
    g.drawRoundedRectangle (inset, 6.0f, 1.0f);

    const auto box = area.toNearestInt();
    g.setColour (accent.withAlpha (hovered ? 1.0f : 0.8f));
    g.setFont (juce::Font (14.0f, juce::Font::bold));
    g.drawFittedText (text, { box.getX() + 2, box.getY(), std::max (box.getWidth() - 4, 0), box.getHeight() },
                      juce::Justification::centred, 1);
}

void SectionRowComponent::mouseMove (const juce::MouseEvent& e)
{
    const auto item = itemAt (e.position);
    setMouseCursor (item == noItem ? juce::MouseCursor::NormalCursor : juce::MouseCursor::PointingHandCursor);

    if (item != hoverIndex)
    {
        hoverIndex = item;
        repaint();

        if (onHoverChanged)
            onHoverChanged();
    }
}

void SectionRowComponent::mouseExit (const juce::MouseEvent&)
{
    hoverIndex = noItem;
    setMouseCursor (juce::MouseCursor::NormalCursor);
    repaint();

    if (onHoverChanged)
        onHoverChanged();
}

void SectionRowComponent::mouseDown (const juce::MouseEvent& e)
{
    const auto item = itemAt (e.position);

    if (item == addItem)
    {
        if (e.mods.isLeftButtonDown() && onAddSection)
            onAddSection();
        return;
    }

    if (item == moreItem)
    {
        if (e.mods.isLeftButtonDown() || e.mods.isRightButtonDown())
            showHiddenSectionsMenu();
        return;
    }

    if (! isSectionIndex (item))
        return;

    // A right press asks for the section menu and never changes the selection.
    if (e.mods.isRightButtonDown())
    {
        if (onMenuRequested)
            onMenuRequested (item, *this, e.getScreenPosition());
        return;
    }

    dragIndex = item;

    if (item != selectedIndex)
    {
        selectedIndex = item;
        repaint();
    }

    if (onSectionClicked)
        onSectionClicked (item);
}

void SectionRowComponent::mouseDrag (const juce::MouseEvent& e)
{
    if (dragIndex < 0)
        return;

    const auto item = itemAt (e.position);

    if (! isSectionIndex (item) || item == dragIndex || ! isSectionIndex (dragIndex))
        return;

    std::swap (sections[(size_t) item], sections[(size_t) dragIndex]);

    // The selection moves with the section it names, so that the owner's selected index and
    // its working section (loaded from the pressed section) keep naming the same section.
    if (selectedIndex == dragIndex)
        selectedIndex = item;
    else if (selectedIndex == item)
        selectedIndex = dragIndex;

    dragIndex = item;
    repaint();

    if (onSectionsReordered)
        onSectionsReordered();
}

void SectionRowComponent::mouseUp (const juce::MouseEvent&)
{
    dragIndex = -1;
}
