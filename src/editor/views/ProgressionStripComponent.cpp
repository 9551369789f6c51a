#include "editor/views/ProgressionStripComponent.h"

#include "editor/look/Palette.h"
#include "editor/views/HoverReport.h"
#include "processor/CompiledSection.h"

#include <algorithm>
#include <cmath>

ProgressionStripComponent::ProgressionStripComponent()
{
    setWantsKeyboardFocus (true);
}

void ProgressionStripComponent::setChords (const ProgressionPreview& preview)
{
    bars.clear();

    for (const auto& chord : preview.chords)
        bars.emplace_back ((float) (chord.startTicks / 512.0), (float) (chord.lengthTicks / 512.0));

    repaint();
}

void ProgressionStripComponent::setTokens (const std::vector<ChordToken>& newTokens)
{
    tokens = newTokens;

    if (selectedIndex >= (int) tokens.size())
        selectedIndex = -1;

    repaint();
}

float ProgressionStripComponent::tokenLengthInBars (int index) const
{
    if (index < 0 || index >= (int) tokens.size())
        return 1.0f;

    const auto duration = tokens[(size_t) index].duration.trim();
    float bars = 0.0f;

    if (duration.startsWithIgnoreCase ("T"))
        bars = std::max ((float) (duration.substring (1).getDoubleValue() / 512.0), 0.25f);
    else
        bars = (float) duration.getDoubleValue();

    // A text such as "1e999" or "nan" reads as a number that no cell could be laid out with.
    if (! std::isfinite (bars) || ! (bars > 0.0f))
        return 1.0f;

    return bars;
}

void ProgressionStripComponent::layoutCells()
{
    cells.clear();

    const auto width = contentWidth > 0 && contentWidth <= getWidth() ? contentWidth : getWidth();
    const auto height = std::max (getHeight() - 10, 0);
    contentArea = { 0, 5, width, height };

    std::vector<std::pair<float, float>> spans;
    float total = 0.0f;

    if (! bars.empty() && bars.size() == tokens.size())
    {
        spans = bars;
        for (const auto& [start, length] : bars)
            total = std::max (total, start + length);
    }
    else
    {
        for (int i = 0; i < (int) tokens.size(); ++i)
        {
            const auto length = tokenLengthInBars (i);
            spans.emplace_back (total, length);
            total += length;
        }
    }

    barScale = total > 0.0f ? (float) width / total : (float) width;

    for (const auto& [start, length] : spans)
        cells.emplace_back (juce::roundToInt (barScale * start), 5, juce::roundToInt (barScale * length), height);
}

int ProgressionStripComponent::cellAt (juce::Point<int> position) const
{
    for (int i = 0; i < (int) cells.size(); ++i)
        if (cells[(size_t) i].contains (position))
            return i;

    return -1;
}

//==============================================================================
void ProgressionStripComponent::paint (juce::Graphics& g)
{
    const auto bounds = getLocalBounds().toFloat();
    g.setColour (Palette::base.withAlpha (0.82f));
    g.fillRoundedRectangle (bounds, 6.0f);
    g.setColour (Palette::surface2.withAlpha (0.62f));
    g.drawRoundedRectangle ({ 0.5f, 0.5f, std::max (bounds.getWidth() - 1.0f, 0.0f), std::max (bounds.getHeight() - 1.0f, 0.0f) },
                            6.0f, 1.0f);

    layoutCells();

    if (tokens.empty() && interactive)
    {
        g.setColour (Palette::subtext0);
        g.setFont (juce::Font (13.0f));
        g.drawText ("Click or right-click to add your first chord", contentArea, juce::Justification::centred, true);
    }

    for (int i = 0; i < (int) tokens.size() && i < (int) cells.size(); ++i)
        if (cells[(size_t) i].getWidth() > 1)
            paintCell (g, i);
}

void ProgressionStripComponent::paintCell (juce::Graphics& g, int index) const
{
    const auto& token = tokens[(size_t) index];
    const auto cell = cells[(size_t) index];
    const auto x = (float) cell.getX();
    const auto y = (float) cell.getY();
    const auto w = (float) cell.getWidth();
    const auto h = (float) cell.getHeight();
    const auto selected = index == selectedIndex;
    const auto hovered = index == hoveredIndex;
    const auto unrecognised = ! token.isValid;
    const juce::Rectangle<float> body (x + 1.0f, y + 1.0f, std::max (w - 2.0f, 0.0f), std::max (h - 2.0f, 0.0f));

    g.setColour (selected || hovered ? Palette::surface1 : (token.isRest ? Palette::base : Palette::surface0));
    g.fillRoundedRectangle (body, 5.0f);

    if (unrecognised)
    {
        g.setColour (Palette::peach.interpolatedWith (Palette::text, 0.06f).withAlpha (0.72f));
        g.fillRoundedRectangle ({ x + 1.0f, y + 4.0f, 3.0f, std::max (h - 8.0f, 0.0f) }, 1.5f);
    }

    if (selected)
    {
        g.setColour (Palette::mauve);
        g.drawRoundedRectangle (body, 5.0f, 2.0f);
    }
    else
    {
        g.setColour (hovered ? Palette::overlay2 : Palette::surface2);
        g.drawRoundedRectangle (body, 5.0f, 1.0f);
    }

    auto label = token.isRest ? juce::String ("Rest") : token.text.upToFirstOccurrenceOf (":", false, false);
    auto left = cell.getX() + 6;
    auto width = std::max (cell.getWidth() - 12, 0);

    if (unrecognised)
    {
        label = "!" + label;
        const auto shift = std::min (4, width);
        left += shift;
        width -= shift;
    }

    const auto boxHeight = std::max (cell.getHeight() - 8, 0);
    g.setColour (unrecognised ? Palette::yellow : Palette::text);
    g.setFont (juce::Font (13.0f, juce::Font::bold));

    if (width < 58 || boxHeight < 28)
    {
        g.drawFittedText (label, { left, cell.getY() + 4, width, boxHeight }, juce::Justification::centredLeft, 1);
        return;
    }

    g.drawFittedText (label, { left, cell.getY() + 4, width, 18 }, juce::Justification::centredLeft, 1);
    g.setColour (Palette::subtext0);
    g.setFont (juce::Font (10.0f));
    g.drawFittedText (formatBarNumberWithUnit (tokenLengthInBars (index)), { left, cell.getY() + 22, width, boxHeight - 18 },
                      juce::Justification::centredLeft, 1);
}

//==============================================================================
juce::MouseCursor ProgressionStripComponent::getMouseCursor()
{
    return interactive ? juce::MouseCursor::PointingHandCursor : juce::MouseCursor::NormalCursor;
}

void ProgressionStripComponent::mouseMove (const juce::MouseEvent& e)
{
    if (! interactive)
        return;

    layoutCells();
    const auto index = cellAt (e.getPosition());

    if (index != hoveredIndex)
        reportHoveredIndex (onChordHovered, hoveredIndex, index, *this);
}

void ProgressionStripComponent::mouseExit (const juce::MouseEvent&)
{
    reportHoveredIndex (onChordHovered, hoveredIndex, -1, *this);   // to a listening owner every time
}

void ProgressionStripComponent::mouseDown (const juce::MouseEvent& e)
{
    if (! interactive)
        return;

    // Return then reaches the strip; focus can only be taken while it is on screen.
    if (isShowing())
        grabKeyboardFocus();

    layoutCells();
    const auto index = cellAt (e.getPosition());

    if (e.mods.isPopupMenu())
    {
        if (onChordMenuRequested)
            onChordMenuRequested (index, *this, e.getScreenPosition());
        repaint();
        return;
    }

    if (index < 0)
    {
        if (tokens.empty() && onEmptyStripClicked)
            onEmptyStripClicked (e.getPosition());
        return;
    }

    selectedIndex = index;

    if (onChordPressStarted)
        onChordPressStarted (index, *this, e.getPosition());

    repaint();
}

void ProgressionStripComponent::mouseDrag (const juce::MouseEvent& e)
{
    if (! interactive)
        return;

    layoutCells();

    if (onChordPressDragged)
        onChordPressDragged (cellAt (e.getPosition()), *this, e.getPosition());
}

void ProgressionStripComponent::mouseUp (const juce::MouseEvent& e)
{
    if (! interactive)
        return;

    layoutCells();

    if (onChordPressReleased)
        onChordPressReleased (cellAt (e.getPosition()), *this, e.getPosition());
}

bool ProgressionStripComponent::keyPressed (const juce::KeyPress& key)
{
    const auto mods = key.getModifiers();

    if (key.getKeyCode() != juce::KeyPress::returnKey || mods.isShiftDown() || mods.isCtrlDown()
        || mods.isCommandDown() || mods.isAltDown())
        return false;

    if (selectedIndex < 0)
        return false;

    if (interactive && onChordActivated)
        onChordActivated (selectedIndex);

    return true;
}
