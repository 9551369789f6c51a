// What the panel paints itself: its card and heading, the column captions, the chord and its
// description, and the navigator of the chords around it.
#include "chord_editor/ChordEditPopover.h"

#include "editor/look/Palette.h"

namespace
{
void drawSectionLabel (juce::Graphics& g, const juce::String& text, juce::Rectangle<int> area)
{
    g.setColour (Palette::subtext1.withAlpha (0.72f));
    g.setFont (juce::Font (9.5f));
    g.drawText (text, area, juce::Justification::centredLeft, true);
}

void drawChordText (juce::Graphics& g, const juce::String& text, juce::Rectangle<int> area)
{
    g.drawFittedText (text, area, juce::Justification::centredLeft, 1);
}

juce::String tokenDisplayText (const ChordToken& token)
{
    return token.isRest ? juce::String ("Rest") : formatChordSymbol (token);
}
} // namespace

std::vector<ChordEditPopover::NavigatorCard> ChordEditPopover::navigatorCards() const
{
    std::vector<NavigatorCard> cards;
    const int position = clampedEditPosition();

    if (position >= 1)
        cards.push_back ({ "PREVIOUS", tokenDisplayText (contextTokens[(size_t) position - 1]), false });

    cards.push_back ({ replacesChord ? "REPLACE" : "NEW", chordDisplayText(), true });

    if (hasChordAfter())
        cards.push_back ({ "NEXT", tokenDisplayText (contextTokens[(size_t) nextTokenIndex()]), false });

    return cards;
}

void ChordEditPopover::paintNavigator (juce::Graphics& g, juce::Rectangle<int> area) const
{
    const auto cards = navigatorCards();
    const int count = (int) cards.size();
    const int cardWidth = (area.getWidth() - 18 * (count - 1)) / count;
    const float middle = (float) area.getY() + (float) area.getHeight() / 2.0f;

    int x = area.getX();
    int left = area.getWidth();

    for (int i = 0; i < count; ++i)
    {
        const auto& card = cards[(size_t) i];
        const bool last = i == count - 1;
        const int w = juce::jmax (0, last ? left : juce::jmin (cardWidth, left));
        const int h = area.getHeight();
        const int y = area.getY();

        g.setColour (card.current ? Palette::mauve.withAlpha (0.2f) : Palette::surface0);
        g.fillRoundedRectangle ((float) x, (float) y, (float) w, (float) h, 5.0f);

        g.setColour (card.current ? Palette::mauve.withAlpha (0.78f) : Palette::surface2.withAlpha (0.55f));
        g.drawRoundedRectangle ((float) x + 0.5f, (float) y + 0.5f,
                                juce::jmax (0.0f, (float) w - 1.0f), juce::jmax (0.0f, (float) h - 1.0f),
                                5.0f, card.current ? 1.4f : 1.0f);

        g.setColour (Palette::subtext0);
        g.setFont (juce::Font (8.5f));
        g.drawText (card.label, x + 10, y + 2, juce::jmax (0, w - 20), juce::jmin (juce::jmax (0, h - 4), 11),
                    juce::Justification::centredLeft, true);

        g.setColour (Palette::text);
        g.setFont (juce::Font (13.0f, juce::Font::bold));
        drawChordText (g, card.text, { x + 10, y + 12, juce::jmax (0, w - 20), juce::jmax (0, h - 14) });

        x += w;
        left -= w;

        if (! last)
        {
            const int gap = juce::jmin (18, left);
            g.setColour (Palette::mauve.withAlpha (0.46f));
            g.drawLine ((float) x + 3.0f, middle, (float) (x + gap) - 3.0f, middle, 1.2f);
            x += gap;
            left -= gap;
        }
    }
}

void ChordEditPopover::paint (juce::Graphics& g)
{
    const int width = getWidth();
    const int height = getHeight();

    g.fillAll (Palette::mantle);
    g.setColour (Palette::base);
    g.fillRect (0, 0, width, 45);

    g.setColour (Palette::text);
    g.setFont (juce::Font (22.0f, juce::Font::bold));
    g.drawText ("Chord Builder", 25, 0, width - 50, 45, juce::Justification::centredLeft, true);

    g.setColour (Palette::surface2.withAlpha (0.14f));
    g.drawRoundedRectangle (getLocalBounds().toFloat().reduced (1.0f), 6.0f, 1.0f);

    if (! hasChord)
    {
        g.setColour (Palette::subtext1);
        g.setFont (juce::Font (15.0f, juce::Font::bold));
        g.drawText ("No chord selected", 25, 73, width - 50, 20, juce::Justification::centred, true);

        g.setColour (Palette::subtext0);
        g.setFont (juce::Font (12.0f));
        g.drawText ("Choose a chord or add one from the timeline.", 25, 98, width - 50, 18,
                    juce::Justification::centred, true);
        return;
    }

    const auto columns = columnLayout();
    const int l = columns.leftX;
    const int lw = columns.leftWidth;
    const int r = columns.rightX;
    const int rw = columns.rightWidth;

    g.setFont (juce::Font (12.0f, juce::Font::bold));
    g.setColour (Palette::text);
    g.drawText ("HARMONY", l, 52, lw, 18, juce::Justification::centredLeft, true);
    g.setColour (Palette::mauve);
    g.drawText ("PERFORMANCE", r, 52, rw, 18, juce::Justification::centredLeft, true);

    g.setColour (Palette::surface2.withAlpha (0.44f));
    g.drawVerticalLine (columns.dividerX, 51.0f, (float) (height - 9));

    g.setColour (Palette::subtext1.withAlpha (0.7f));
    g.setFont (juce::Font (9.5f));
    g.drawText ("CURRENT CHORD", l, 76, 100, 12, juce::Justification::centredLeft, true);

    drawSectionLabel (g, "SLASH CHORD", { r, 82, rw, 12 });
    drawSectionLabel (g, "LENGTH", { r, 147, rw, 12 });
    drawSectionLabel (g, "REST", { r, 205, rw, 12 });

    if (! expertMode)
    {
        g.setColour (Palette::text);
        g.setFont (juce::Font (32.0f, juce::Font::bold));
        drawChordText (g, chordDisplayText(), { l, 89, lw, 38 });
        paintNavigator (g, { l, 135, lw, 39 });
        drawSectionLabel (g, "SUGGESTIONS", { l, 181, lw, 12 });
        return;
    }

    const int nameWidth = juce::jmin (lw, lw * 55 / 100, 176);
    g.setColour (Palette::text);
    g.setFont (juce::Font (34.0f, juce::Font::bold));
    drawChordText (g, chordDisplayText(), { l, 89, nameWidth, 43 });

    g.setColour (Palette::surface2.withAlpha (0.34f));
    g.drawVerticalLine (l + nameWidth + 2, 86.0f, 132.0f);

    const int gap = juce::jmin (lw - nameWidth, 12);
    const int detailX = l + nameWidth + gap;
    const int detailWidth = lw - nameWidth - gap;

    g.setColour (Palette::text.withAlpha (0.92f));
    g.setFont (juce::Font (13.0f, juce::Font::bold));
    drawChordText (g, chordDescription(), { detailX, 89, detailWidth, 22 });

    const bool fits = chordFitsKey();
    g.setColour (fits ? Palette::mauve : Palette::peach);
    g.setFont (juce::Font (10.0f));
    drawChordText (g, juce::String (fits ? "Fits " : "Outside ") + keyRoot + " " + scaleName, { detailX, 111, detailWidth, 21 });

    drawSectionLabel (g, "ROOT", { l, 137, 50, 12 });

    g.setColour (Palette::peach.withAlpha (0.9f));
    g.fillEllipse ((float) (l + lw - 76), 140.0f, 5.0f, 5.0f);
    g.setFont (juce::Font (9.0f));
    g.drawText ("Outside key", l + lw - 67, 136, 67, 13, juce::Justification::centredLeft, true);

    drawSectionLabel (g, "CHARACTER", { l, 204, lw, 12 });
    drawSectionLabel (g, "COLOR", { l, 249, lw, 12 });
}
