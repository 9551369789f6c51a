#include "editor/views/PianoRollComponent.h"

#include "editor/look/Palette.h"
#include "editor/views/HoverReport.h"
#include "harmony/ChordEditorVocabulary.h"
#include "processor/CompiledSection.h"
#include "processor/CorvessaProcessor.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr int bassBit = 1;
constexpr int bodyBit = 2;
constexpr int shimmerBit = 4;
constexpr double ticksPerBar = 512.0;

int countLayers (int mask)
{
    return ((mask & bassBit) != 0 ? 1 : 0) + ((mask & bodyBit) != 0 ? 1 : 0) + ((mask & shimmerBit) != 0 ? 1 : 0);
}

bool holdsNote (const std::vector<int>& notes, int note)
{
    return std::find (notes.begin(), notes.end(), note) != notes.end();
}

// A chord carrying a harmonic option or lying outside the scale is framed in this colour.
juce::Colour flaggedFrameColour()
{
    return Palette::peach.interpolatedWith (Palette::text, 0.06f);
}
} // namespace

PianoRollComponent::PianoRollComponent (CorvessaProcessor& processorToReadFrom)
    : processor (processorToReadFrom)
{
}

//==============================================================================
void PianoRollComponent::setChords (const std::vector<ChordEvent>& events)
{
    if (events == chords && layerNotes.empty())
        return;

    chords = events;
    layerNotes.clear();
    recalculateNoteRange();
    repaint();
}

void PianoRollComponent::setPreview (const ProgressionPreview& preview)
{
    chords = preview.chords;
    layerNotes.clear();

    for (const auto& layers : preview.layerNotes)
        layerNotes.push_back ({ layers[0], layers[1], layers[2] });

    recalculateNoteRange();
    repaint();
}

void PianoRollComponent::setLayerView (int mode)
{
    if (mode == displayMode)
        return;

    displayMode = mode;
    recalculateNoteRange();
    repaint();
}

void PianoRollComponent::setBassAddOctave (bool shouldAddOctave)
{
    if (shouldAddOctave == bassAddOctave)
        return;

    bassAddOctave = shouldAddOctave;
    recalculateNoteRange();
    repaint();
}

//==============================================================================
std::vector<int> PianoRollComponent::getLayerNotes (int chordIndex, int layer) const
{
    if (chordIndex >= 0 && chordIndex < (int) layerNotes.size())
    {
        const auto& stored = layerNotes[(size_t) chordIndex];

        switch (layer)
        {
            case 1:  return stored.bass;
            case 2:  return stored.body;
            case 3:  return stored.shimmer;
            default: return {};
        }
    }

    return processor.getCompiledLayerNotes (chordIndex, layer);
}

void PianoRollComponent::recalculateNoteRange()
{
    auto lowest = 128;
    auto highest = -1;

    const auto scan = [&lowest, &highest] (const std::vector<int>& notes)
    {
        for (auto note : notes)
        {
            if (note < 0 || note > 127)
                continue;

            lowest = std::min (lowest, note);
            highest = std::max (highest, note);
        }
    };

    for (int i = 0; i < (int) chords.size(); ++i)
    {
        if (! chords[(size_t) i].resolved)
            continue;

        const auto bass = getLayerNotes (i, 1);
        const auto body = getLayerNotes (i, 2);
        const auto shimmer = getLayerNotes (i, 3);

        if (outputSelection == 0 && bass.empty() && body.empty() && shimmer.empty())
        {
            scan (chords[(size_t) i].notes);
            continue;
        }

        scan (bass);
        scan (body);
        scan (shimmer);
    }

    const auto found = highest >= 0;
    auto low = found ? std::max (lowest - 2, 0) : 46;
    auto high = std::min ((found ? highest : 72) + 2, 127);

    const auto rowsThatFit = (visibleHeight < 1 ? 384 : std::max (visibleHeight - noteAreaTop, rowHeight)) / rowHeight;

    if (high - low + 1 < rowsThatFit)
    {
        low = std::max (low - (rowsThatFit - (high - low + 1)) / 2, 0);
        high = low + rowsThatFit - 1;

        if (high > 127)
        {
            high = 127;
            low = std::max (128 - rowsThatFit, 0);
        }
    }

    lowestNote = low;
    highestNote = high;

    auto newHeight = noteAreaTop + (high - low + 1) * rowHeight;

    // Within a row of the visible height, fill it rather than leave a sliver to scroll.
    if (visibleHeight > 0 && std::abs (visibleHeight - newHeight) < rowHeight)
        newHeight = visibleHeight;

    if (getWidth() > 0 || newHeight > 0)
        setSize (getWidth(), newHeight);

    if (onLayoutChanged)
        onLayoutChanged();
}

//==============================================================================
bool PianoRollComponent::isRest (const ChordEvent& event)
{
    return ! event.resolved && event.symbol.equalsIgnoreCase ("R");
}

ChordLabel PianoRollComponent::getChordLabel (int index, const ChordEvent& event) const
{
    auto label = index >= 0 && index < (int) labels.size() ? labels[(size_t) index] : ChordLabel {};

    if (label.name.isEmpty())
        label.name = isRest (event) ? juce::String ("Rest") : event.symbol;

    if (label.lengthText.isEmpty())
        label.lengthText = formatBarCount (event.lengthTicks / ticksPerBar);

    if (label.tag.isEmpty())
    {
        switch (event.option)
        {
            case HarmonicOption::fifthOfFifth:       label.tag = "V/V"; break;
            case HarmonicOption::tritoneSubstitute:  label.tag = "TT"; break;
            case HarmonicOption::chromaticMediant:   label.tag = "CM"; break;
            case HarmonicOption::none:               break;
        }
    }

    return label;
}

juce::String PianoRollComponent::getHoverDescription() const
{
    if (hoveredChord < 0 || hoveredChord >= (int) chords.size())
        return {};

    const auto& event = chords[(size_t) hoveredChord];

    if (isRest (event))
        return "Rest";

    const auto label = getChordLabel (hoveredChord, event);
    auto text = label.name;

    if (label.tag.isNotEmpty())
        text << " | " << label.tag;

    if (label.scaleFit == 2)
        text << " | Outside selected scale";

    return text;
}

bool PianoRollComponent::isFlagged (int index, const ChordLabel& label) const
{
    return label.scaleFit == 2 || chords[(size_t) index].option != HarmonicOption::none;
}

//==============================================================================
double PianoRollComponent::getTotalBars() const
{
    double ticks = 0.0;

    for (const auto& chord : chords)
        ticks += chord.lengthTicks;

    return std::max (ticks / ticksPerBar, 1.0);
}

float PianoRollComponent::getContentWidth() const
{
    const auto width = getWidth();

    if (canAdd && ! chords.empty())
        return (float) std::max (width - std::min (width, addColumnWidth), 1);

    return (float) std::max (width, 1);
}

float PianoRollComponent::pixelsPerBar() const
{
    return (float) (getContentWidth() / getTotalBars());
}

int PianoRollComponent::chordAt (juce::Point<float> position) const
{
    if (chords.empty() || position.y < (float) emptyTop)
        return -1;

    const auto scale = pixelsPerBar();

    for (int i = 0; i < (int) chords.size(); ++i)
    {
        const auto x = (float) (chords[(size_t) i].startTicks / ticksPerBar) * scale;
        const auto w = (float) (chords[(size_t) i].lengthTicks / ticksPerBar) * scale;

        if (x <= position.x && position.x < x + w)
            return i;
    }

    return -1;
}

juce::Rectangle<float> PianoRollComponent::getAddZoneBounds() const
{
    if (! canAdd)
        return {};

    const auto width = getWidth();
    const auto height = getHeight();

    if (chords.empty())
        return { 10.0f, 46.0f, (float) std::max (width - 20, 0), (float) std::max (std::max (height - emptyTop, 0) - 20, 0) };

    const auto column = std::min (width, addColumnWidth);

    if (column <= 0)
        return {};

    return { (float) (width - column), (float) emptyTop, (float) column, (float) std::max (height - emptyTop, 1) };
}

bool PianoRollComponent::isInAddZone (juce::Point<float> position) const
{
    const auto zone = getAddZoneBounds();
    return ! zone.isEmpty() && zone.contains (position);
}

int PianoRollComponent::includedLayerMask (int selection)
{
    auto mask = 0;

    if (selection != 2 && selection != 3 && selection != 6)
        mask |= bassBit;

    if (selection != 1 && selection != 3 && selection != 5)
        mask |= bodyBit;

    if (selection != 1 && selection != 2 && selection != 4)
        mask |= shimmerBit;

    return mask;
}

float PianoRollComponent::noteBarAlpha (int drawnMask, int layerBit, bool anyIncluded)
{
    if (! anyIncluded)
        return 0.16f;

    if (countLayers (drawnMask) > 1)
        return 0.95f;

    switch (layerBit)
    {
        case shimmerBit: return 0.9f;
        case bodyBit:    return 0.7f;
        default:         return 0.8f;
    }
}

//==============================================================================
void PianoRollComponent::paint (juce::Graphics& g)
{
    const auto bounds = getLocalBounds().toFloat();

    juce::Path outline;
    outline.addRoundedRectangle (bounds, 8.0f);
    g.setColour (Palette::mantle);
    g.fillPath (outline);
    g.reduceClipRegion (outline);

    if (chords.empty())
    {
        drawEmptyState (g);
        return;
    }

    const auto scale = pixelsPerBar();
    const auto totalBars = getTotalBars();
    const auto noteArea = std::max ((float) (getHeight() - noteAreaTop), 1.0f);
    const auto rows = std::max (highestNote - lowestNote + 1, 1);
    const auto row = noteArea / (float) rows;
    const auto bottom = (float) noteAreaTop + noteArea;

    g.setColour (Palette::surface0.withAlpha (0.74f));
    for (int bar = 0; bar <= (int) totalBars; ++bar)
        g.fillRect ((float) (int) ((float) bar * scale), (float) noteAreaTop, 1.0f, noteArea);

    // Every chord's layer notes once per paint: the bars of a chord look at the next chord's.
    std::vector<ChordLayers> notes (chords.size());
    for (int i = 0; i < (int) chords.size(); ++i)
        if (chords[(size_t) i].resolved)
            notes[(size_t) i] = { getLayerNotes (i, 1), getLayerNotes (i, 2), getLayerNotes (i, 3) };

    for (int k = 0; k < (int) chords.size(); ++k)
    {
        const auto& chord = chords[(size_t) k];
        const auto x = (float) (chord.startTicks / ticksPerBar) * scale;
        const auto w = (float) (chord.lengthTicks / ticksPerBar) * scale;
        const auto rest = isRest (chord);

        if (k == selectedChord)
        {
            g.setColour (Palette::surface1);
            g.fillRect (x, (float) noteAreaTop, w, noteArea);

            const juce::Rectangle<float> frame (x + 1.0f, (float) noteAreaTop + 1.0f, std::max (w - 2.0f, 0.0f), noteArea - 2.0f);

            if (isFlagged (k, getChordLabel (k, chord)))
            {
                g.setColour (flaggedFrameColour().withAlpha (0.76f));
                g.drawRoundedRectangle (frame, 4.0f, 1.5f);
            }
            else
            {
                g.setColour (Palette::mauve);
                g.drawRoundedRectangle (frame, 4.0f, 2.0f);
            }
        }
        else
        {
            g.setColour (Palette::base.withAlpha (k == hoveredChord ? 0.72f : (rest ? 0.42f : 0.26f)));
            g.fillRect (x, (float) noteAreaTop, w, noteArea);
        }

        if (rest)
        {
            g.setColour (k == selectedChord ? Palette::subtext1 : Palette::subtext0);
            g.setFont (juce::Font (16.0f, juce::Font::bold));
            g.drawText ("Rest", juce::Rectangle<int> ((int) x + 6, noteAreaTop + 6, std::max ((int) w - 12, 0), std::max ((int) noteArea - 12, 0)),
                        juce::Justification::centred, true);
        }
        else if (chord.resolved)
        {
            drawNoteBars (g, k, notes, x, w, bottom, row);
        }
    }

    if (canAdd && interactive)
        drawAddButton (g, getAddZoneBounds(), 18.0f);

    if (playheadVisible && playheadPosition >= 0.0 && totalBars > 0.0)
    {
        const auto px = (float) (std::fmod (playheadPosition, totalBars) * scale);

        if (px >= 0.0f && px <= getContentWidth())
        {
            g.setColour (Palette::text);
            g.fillRect ((float) (int) px, (float) noteAreaTop, 1.0f, noteArea);
        }
    }

    drawChordHeader (g);
}

void PianoRollComponent::drawNoteBars (juce::Graphics& g, int index, const std::vector<ChordLayers>& notes,
                                       float x, float w, float bottom, float row) const
{
    const auto& layers = notes[(size_t) index];
    const auto next = index + 1 < (int) chords.size() && chords[(size_t) index + 1].resolved ? &notes[(size_t) index + 1] : nullptr;
    const bool legato[3] { bassLegato, bodyLegato, shimmerLegato };
    const int bits[3] { bassBit, bodyBit, shimmerBit };
    const auto included = includedLayerMask (outputSelection);
    const auto height = row - 1.0f;

    // Each note once, ascending, with the layers that play it.
    std::vector<std::pair<int, int>> masks;
    for (int layer = 0; layer < 3; ++layer)
        for (auto note : layers[(size_t) layer])
        {
            auto found = std::find_if (masks.begin(), masks.end(), [note] (const auto& entry) { return entry.first == note; });
            if (found == masks.end())
                masks.emplace_back (note, bits[layer]);
            else
                found->second |= bits[layer];
        }
    std::sort (masks.begin(), masks.end());

    for (const auto& [note, mask] : masks)
    {
        if (note < lowestNote || note > highestNote)
            continue;

        // A note tied into the next chord touches its bar.
        auto barWidth = w - 1.0f;
        if (next != nullptr)
            for (int layer = 0; layer < 3; ++layer)
                if ((mask & bits[layer]) != 0 && legato[layer] && holdsNote ((*next)[(size_t) layer], note))
                {
                    barWidth = w;
                    break;
                }

        const auto selection = mask & included;
        const auto drawn = selection != 0 ? selection : mask;
        const auto count = countLayers (drawn);

        if (count == 0 || barWidth <= 0.0f || height <= 0.0f)
            continue;

        const auto top = bottom - (float) (note - lowestNote + 1) * row;
        const auto gap = count > 1 && height >= (float) (2 * count - 1) ? 1.0f : 0.0f;
        const auto subHeight = (height - (float) (count - 1) * gap) / (float) count;

        if (gap > 0.0f)
        {
            g.setColour (Palette::mantle);
            g.fillRect (x, top, barWidth, height);
        }

        auto y = top;

        for (const auto& [bit, colour] : { std::pair<int, juce::Colour> { shimmerBit, Palette::shimmerLayer },
                                           std::pair<int, juce::Colour> { bodyBit, Palette::bodyLayer },
                                           std::pair<int, juce::Colour> { bassBit, Palette::bassLayer } })
        {
            if ((drawn & bit) == 0)
                continue;

            g.setColour (colour.withAlpha (noteBarAlpha (drawn, bit, selection != 0)));
            g.fillRect (x, y, barWidth, subHeight);
            y += subHeight + gap;
        }
    }
}

void PianoRollComponent::drawChordHeader (juce::Graphics& g) const
{
    // The band stays 36 px below the top of the visible area while the viewport scrolls, but
    // never below the roll's end.
    auto top = (float) emptyTop;

    if (auto* viewport = findParentComponentOfClass<juce::Viewport>())
    {
        const auto viewY = viewport->getViewPositionY();

        if (viewY >= 0)
            top = (float) (std::min (std::max (getHeight() - noteAreaTop, 0), viewY) + emptyTop);
    }

    const auto scale = pixelsPerBar();

    g.setColour (Palette::mantle.withAlpha (0.88f));
    g.fillRect (0.0f, top, getContentWidth(), (float) bandHeight);

    const juce::Font nameFont (13.0f, juce::Font::bold);
    const juce::Font lengthFont (10.0f);
    const auto textTop = juce::roundToInt (top + 1.0f);

    for (int k = 0; k < (int) chords.size(); ++k)
    {
        const auto& chord = chords[(size_t) k];
        const auto x = (float) (chord.startTicks / ticksPerBar) * scale;
        const auto w = (float) (chord.lengthTicks / ticksPerBar) * scale;

        if (w <= 1.0f)
            continue;

        const auto selected = k == selectedChord;
        const auto hovered = k == hoveredChord;
        const auto label = getChordLabel (k, chord);
        const auto flagged = isFlagged (k, label);

        g.setColour (selected || hovered ? Palette::surface1 : Palette::base.withAlpha (0.68f));
        g.fillRect (x, top + 1.0f, w, 40.0f);

        if (k > 0)
        {
            g.setColour (Palette::surface2.withAlpha (0.76f));
            g.fillRect ((float) juce::roundToInt (x), top + 6.0f, 1.0f, 30.0f);
        }

        const auto o = x + 1.0f;
        const auto m = std::max (w - 2.0f, 0.0f);
        const juce::Rectangle<float> frame (o, top + 2.0f, m, 38.0f);

        if (flagged)
        {
            g.setColour (Palette::peach.withAlpha (0.88f));
            g.fillRoundedRectangle ({ o, top + 5.0f, 3.0f, 32.0f }, 1.5f);
        }

        if (selected)
        {
            if (flagged)
            {
                g.setColour (flaggedFrameColour().withAlpha (0.76f));
                g.drawRoundedRectangle (frame, 4.0f, 1.5f);
                g.setColour (Palette::mauve.withAlpha (0.34f));
                g.fillRoundedRectangle ({ o + 5.0f, top + 38.0f, std::max (m - 10.0f, 0.0f), 2.0f }, 1.0f);
            }
            else
            {
                g.setColour (Palette::mauve);
                g.drawRoundedRectangle (frame, 4.0f, 2.0f);
            }
        }
        else if (flagged)
        {
            g.setColour (flaggedFrameColour().withAlpha (hovered ? 0.58f : 0.44f));
            g.drawRoundedRectangle (frame, 4.0f, hovered ? 1.2f : 0.9f);
        }
        else if (hovered)
        {
            g.setColour (Palette::overlay2);
            g.drawRoundedRectangle (frame, 4.0f, 1.0f);
        }

        auto left = juce::roundToInt (x) + 6;
        auto width = std::max (juce::roundToInt (w) - 12, 0);

        if (flagged)
        {
            const auto shift = std::min (width, 4);
            left += shift;
            width -= shift;
        }

        // Columns too narrow for any text are common in long sections; laying text out into
        // them would only cost time.
        if (width <= 0)
            continue;

        auto name = label.name;
        if (label.tag.isNotEmpty())
            name << " | " << label.tag;

        g.setColour (Palette::text);
        g.setFont (nameFont);
        g.drawFittedText (name, { left, textTop + 4, width, 18 }, juce::Justification::centredLeft, 1);

        g.setColour (Palette::subtext0);
        g.setFont (lengthFont);
        g.drawFittedText (label.lengthText, { left, textTop + 22, width, 14 }, juce::Justification::centredLeft, 1);
    }
}

void PianoRollComponent::drawAddButton (juce::Graphics& g, juce::Rectangle<float> area, float fontSize) const
{
    if (area.getWidth() <= 0.0f || area.getHeight() <= 0.0f)
        return;

    const auto x = area.getX();
    const auto y = area.getY();
    const auto w = area.getWidth();
    const auto h = area.getHeight();

    g.setColour (addZoneHovered ? Palette::surface1.withAlpha (0.58f) : Palette::surface0.withAlpha (0.44f));
    g.fillRoundedRectangle ({ x + 1.0f, y + 1.0f, std::max (w - 2.0f, 0.0f), std::max (h - 2.0f, 0.0f) }, 8.0f);

    const juce::Rectangle<float> outline (x + 1.5f, y + 1.5f, std::max (w - 3.0f, 0.0f), std::max (h - 3.0f, 0.0f));
    if (addZoneHovered)
    {
        g.setColour (Palette::lavender.withAlpha (0.62f));
        g.drawRoundedRectangle (outline, 8.0f, 1.5f);
    }
    else
    {
        g.setColour (Palette::surface2);
        g.drawRoundedRectangle (outline, 8.0f, 1.0f);
    }

    g.setColour (addZoneHovered ? Palette::lavender.withAlpha (0.88f) : Palette::mauve.withAlpha (0.46f));
    g.setFont (juce::Font (fontSize, juce::Font::bold));
    g.drawText ("+", area.toNearestInt(), juce::Justification::centred, false);
}

void PianoRollComponent::drawEmptyState (juce::Graphics& g) const
{
    if (canAdd && interactive)
    {
        drawAddButton (g, getAddZoneBounds(), 30.0f);
        return;
    }

    if (! interactive)
        return;

    const auto width = getWidth();
    const auto height = getHeight();

    g.setColour (Palette::subtext1);
    g.setFont (juce::Font (17.0f));
    g.drawText ("Get started", juce::Rectangle<int> (0, 0, width, std::min (height / 2 - 50, height)),
                juce::Justification::centredBottom, true);

    g.setColour (Palette::subtext0);
    g.setFont (juce::Font (13.0f));

    auto y = height / 2 - 20;
    for (const auto* line : { "Click the piano roll to add your first chord",
                              "Tap chords to edit, hold to audition",
                              "Use {} above to import or export JSON chord ideas" })
    {
        const auto boxHeight = std::max (std::min (22, height - y), 0);
        g.drawText (line, juce::Rectangle<int> (0, y, width, boxHeight), juce::Justification::centred, true);
        y += boxHeight;
    }
}

//==============================================================================
juce::MouseCursor PianoRollComponent::getMouseCursor()
{
    return interactive && ! playing ? juce::MouseCursor::PointingHandCursor : juce::MouseCursor::NormalCursor;
}

void PianoRollComponent::setAddZoneHovered (bool inside)
{
    if (addZoneHovered == inside)
        return;

    addZoneHovered = inside;

    if (onAddZoneHoverChanged)
        onAddZoneHoverChanged (inside);

    repaint();
}

void PianoRollComponent::mouseMove (const juce::MouseEvent& e)
{
    if (! interactive)
        return;

    if (isInAddZone (e.position))
    {
        setAddZoneHovered (true);

        if (hoveredChord != -1)
            reportHoveredIndex (onChordHovered, hoveredChord, -1, *this);

        return;
    }

    setAddZoneHovered (false);
    const auto index = chordAt (e.position);

    if (index != hoveredChord)
        reportHoveredIndex (onChordHovered, hoveredChord, index, *this);
}

void PianoRollComponent::mouseExit (const juce::MouseEvent&)
{
    setAddZoneHovered (false);
    reportHoveredIndex (onChordHovered, hoveredChord, -1, *this);   // to a listening owner every time
}

void PianoRollComponent::mouseDown (const juce::MouseEvent& e)
{
    if (! interactive || playing)
        return;

    const auto index = chordAt (e.position);

    if (e.mods.isPopupMenu())
    {
        if (onChordMenuRequested)
            onChordMenuRequested (index, *this, e.getScreenPosition());
        return;
    }

    if (! e.mods.isLeftButtonDown())
        return;

    if (isInAddZone (e.position))
    {
        if (onAddZoneClicked)
            onAddZoneClicked();
        return;
    }

    if (chords.empty())
    {
        if (onEmptyRollClicked)
            onEmptyRollClicked();
        return;
    }

    if (index >= 0 && onChordPressStarted)
        onChordPressStarted (index, *this, e.getPosition());
}

void PianoRollComponent::mouseDrag (const juce::MouseEvent& e)
{
    if (! interactive || playing)
        return;

    if (onChordPressDragged)
        onChordPressDragged (chordAt (e.position), *this, e.getPosition());
}

void PianoRollComponent::mouseUp (const juce::MouseEvent& e)
{
    if (! interactive || isInAddZone (e.position))
        return;

    if (onChordPressReleased)
        onChordPressReleased (chordAt (e.position), *this, e.getPosition());
    else
        processor.stopPreview();
}
