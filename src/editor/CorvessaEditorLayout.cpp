// The canvas: scaling, every child's rectangle and visibility, the raising of panels, and the
// painting of the cards.
#include "editor/CorvessaEditor.h"

#include "editor/EditorTexts.h"
#include "editor/look/Palette.h"
#include "harmony/ChordEditorVocabulary.h"
#include "processor/CorvessaProcessor.h"

#include <cmath>

namespace
{
void placeAndShow (juce::Component& component, juce::Rectangle<int> bounds, bool visible)
{
    component.setBounds (bounds);
    component.setVisible (visible);
}

void raiseWhenVisible (juce::Component* component, juce::Rectangle<int> bounds)
{
    if (component != nullptr && component->isVisible())
    {
        component->setBounds (bounds);
        component->toFront (true);
    }
}

void paintCard (juce::Graphics& g, juce::Rectangle<int> card)
{
    if (card.isEmpty())
        return;

    const juce::Rectangle<float> area ((float) card.getX() + 0.5f, (float) card.getY() + 0.5f,
                                       juce::jmax ((float) card.getWidth() - 1.0f, 0.0f),
                                       juce::jmax ((float) card.getHeight() - 1.0f, 0.0f));
    g.setColour (Palette::surface0);
    g.fillRoundedRectangle (area, 6.0f);
    g.setColour (Palette::surface2);
    g.drawRoundedRectangle (area, 6.0f, 1.0f);
}
} // namespace

//==== scaling =======================================================================================

void CorvessaEditor::paint (juce::Graphics& g)
{
    g.fillAll (Palette::base);
}

void CorvessaEditor::resized()
{
    if (editorScaling != nullptr && editorScaling->isAttached() && ! editorScaling->isApplying())
        editorScaling->editorResized();

    const auto scale = (float) getWidth() / (float) logicalWidth;
    contentWrapper.setTransform (juce::AffineTransform::scale (scale));
    contentWrapper.setBounds (0, 0, logicalWidth, logicalHeight);

    layoutContent();

    if (scaleResetCorner != nullptr)
    {
        scaleResetCorner->setBounds (getWidth() - 18, getHeight() - 18, 18, 18);
        scaleResetCorner->toFront (false);
    }

    if (welcomeDialog != nullptr && welcomeDialog->isVisible())
        welcomeDialog->toFront (true);
}

CorvessaEditor::ScaleResetCorner::ScaleResetCorner (CorvessaEditor& owner, juce::ComponentBoundsConstrainer* constrainer)
    : juce::ResizableCornerComponent (&owner, constrainer),
      editor (&owner)
{
}

void CorvessaEditor::ScaleResetCorner::mouseDoubleClick (const juce::MouseEvent&)
{
    if (editor != nullptr && editor->editorScaling != nullptr)
        editor->editorScaling->setScale (1.0);
}

//==== layout ========================================================================================

void CorvessaEditor::placeCaptionedKnob (juce::Rectangle<int> area, juce::Label& label, juce::Component& knob,
                                         const juce::String& text)
{
    label.setText (text, juce::dontSendNotification);
    label.setFont (juce::Font (11.5f));
    label.setJustificationType (juce::Justification::centredRight);
    label.setBounds (area.getX(), area.getY(), 50, juce::jmin (area.getHeight(), 20));
    knob.setBounds (area);
}

void CorvessaEditor::layoutContent()
{
    using R = juce::Rectangle<int>;

    chordEditorHighlightBounds = arrangementCardBounds = sectionsCardBounds = outputsCardBounds = spareCardBounds = {};
    statusCardBounds = statusLineBounds = {};

    const bool chordEditorShown = chordEditor.isVisible();
    const int tab = selectedArrangementTab;
    const bool bpmShown = formatBpmRange (processor.getCurrentSuggestedBpm(), {}).isNotEmpty();
    const bool follower = isSyncFollower();

    // Vertical budget: the bottom keeps room for the resize corner's 18 physical pixels.
    int top = 10, avail = 840;
    if (editorScaling != nullptr)
    {
        const auto scale = editorScaling->getScale();
        const int reserve = (int) std::ceil (18.0 / scale);
        const int usable = juce::jmin (logicalHeight - reserve, 850);
        top = juce::jmin (usable, 10);
        avail = usable - top;
    }

    const int hh = juce::jmin (avail, 84);
    const int g1 = juce::jmin (avail - hh, 10);
    const int y1 = top + hh + g1;
    const int rest1 = avail - hh - g1;

    // Header.
    const int d = top;
    const int hb = juce::jmax (juce::jmin (hh, 34) - 4, 0);
    placeAndShow (brandLabel, { 10, d, 160, juce::jmin (hh, 14) }, true);
    placeAndShow (titleLabel, { 10, d + juce::jmin (hh, 14), 160, juce::jmin (hh - juce::jmin (hh, 14), 34) }, true);
    placeAndShow (helpButton, { 546, d + 2, 44, hb }, true);
    placeAndShow (jsonButton, { 494, d + 2, 44, hb }, true);
    placeAndShow (projectsButton, { 388, d + 2, 98, hb }, true);
    placeAndShow (moodButton, { 238, d + 2, 142, hb }, true);
    placeAndShow (keyLabel, { 10, d + 54, 30, 24 }, true);
    placeAndShow (keyCombo, { 40, d + 54, 72, 24 }, true);
    placeAndShow (scaleLabel, { 120, d + 54, 42, 24 }, true);
    placeAndShow (scaleCombo, { 162, d + 54, 132, 24 }, true);
    placeAndShow (bpmLabel, bpmShown ? R (306, d + 54, 34, 24) : R(), bpmShown);
    placeAndShow (bpmHintLabel, bpmShown ? R (340, d + 54, 56, 24) : R(), bpmShown);
    placeAndShow (syncLabel, { bpmShown ? 402 : 306, d + 54, 38, 24 }, true);
    {
        juce::TextButton* syncButtons[] = { &syncOffButton, &syncLeaderButton, &syncFollowerButton };
        const int xs[2][3] = { { 350, 430, 510 }, { 446, 494, 542 } };
        for (int i = 0; i < 3; ++i)
            placeAndShow (*syncButtons[i], { xs[bpmShown ? 1 : 0][i], d + 54, bpmShown ? 48 : 80, 24 }, true);
    }
    separatorBounds = { 10, d + 45, 580, 1 };

    // Which body controls show.
    const bool body = ! chordEditorShown;
    for (auto* c : std::initializer_list<juce::Component*> { &bassTab, &bodyTab, &shimmerTab, &outputsLabel, &outputHintLabel,
                                                             &outputAllPill, &outputBassPill, &outputBodyPill, &outputShimmerPill,
                                                             &sectionsLabel, &sectionHoverLabel, &sectionNameLabel, &sectionRow })
        c->setVisible (body);
    for (auto* tile : { dragMidiTile.get(), bassClipTile.get(), bodyClipTile.get(), shimmerClipTile.get() })
        if (tile != nullptr)
            tile->setVisible (body);
    for (auto* c : std::initializer_list<juce::Component*> { &bassAddOctaveButton, &bassAddFifthButton, &bassOctaveLabel, &bassOctaveKnob })
        c->setVisible (body && tab == 0);
    for (auto* c : std::initializer_list<juce::Component*> { &bodyAddRootButton, &bodyAddFifthButton, &bodyWithShimmerButton,
                                                             &bodyOctaveLabel, &bodyOctaveKnob, &bodyVoicingKnob })
        c->setVisible (body && tab == 1);
    for (auto* c : std::initializer_list<juce::Component*> { &shimmerOffButton, &shimmerTopButton, &shimmerColorButton, &shimmerHaloButton,
                                                             &shimmerOctaveLabel, &shimmerOctaveKnob, &shimmerVoicingKnob })
        c->setVisible (body && tab == 2);
    bodyVoicingLabel.setVisible (chordEditorShown || tab == 1);
    shimmerVoicingLabel.setVisible (chordEditorShown || tab == 2);
    bodyVoicingCombo.setVisible (chordEditorShown);
    shimmerVoicingCombo.setVisible (chordEditorShown);
    legatoButton.setVisible (body && ! chordDraftActive);
    for (auto* c : std::initializer_list<juce::Component*> { &bassOctaveCombo, &bodyOctaveCombo, &shimmerOctaveCombo,
                                                             &outputKnob, &outputKnobLabel })
        c->setVisible (false);

    // The roll offers to add chords only inside the chord editor, and never to a follower.
    const bool canAdd = chordEditorShown && ! follower;
    if (pianoRoll.canAdd != canAdd)
    {
        pianoRoll.canAdd = canAdd;
        if (! canAdd && pianoRoll.addZoneHovered)
        {
            pianoRoll.addZoneHovered = false;
            if (pianoRoll.onAddZoneHoverChanged)
                pianoRoll.onAddZoneHoverChanged (false);
        }
        pianoRoll.repaint();
    }

    int yEnd = y1, rest3 = rest1;

    if (body)
    {
        const int hS = juce::jmin (rest1, 88);
        sectionsCardBounds = { 10, y1, 350, hS };
        outputsCardBounds = { 368, y1, 222, hS };

        // Sections card.
        {
            const int w = 330;
            const int k = juce::jmax (hS - 14, 0);
            const int captionWidth = juce::jmin (w, 72);
            const int l1 = juce::jmin (k, 16);
            sectionsLabel.setBounds (20, y1 + 7, captionWidth, l1);
            sectionHoverLabel.setBounds (20 + captionWidth, y1 + 7, w - captionWidth, l1);
            const int g = juce::jmin (k - l1, 5);
            const int r = juce::jmin (k - l1 - g, 27);
            sectionRow.setBounds (20, y1 + 7 + l1 + g, w, r);
            const int g2 = juce::jmin (k - l1 - g - r, 3);
            const int yB = y1 + 7 + l1 + g + r + g2;
            const int hB = k - l1 - g - r - g2;
            const int autoWidth = juce::jmin (w, 124);
            autoAdvanceButton.setBounds (20 + w - autoWidth, yB, autoWidth, hB);
            sectionNameLabel.setBounds (20, yB, w - autoWidth, hB);
            updateSectionLabels();
        }

        // Outputs card.
        {
            const int w = juce::jmax (222 - 20, 0);
            const int k = juce::jmax (hS - 14, 0);
            const int captionWidth = juce::jmin (w, 70);
            const int l = juce::jmin (k, 16);
            outputsLabel.setBounds (378, y1 + 7, captionWidth, l);
            outputHintLabel.setBounds (378 + captionWidth, y1 + 7, w - captionWidth, l);

            const int gP = juce::jmin (k - l, 4);
            const int yP = y1 + 7 + l + gP;
            const int hP = juce::jmin (k - l - gP, 24);
            const int pw = juce::jmin (w, 320);
            const int q = pw / 4;
            const int x0 = 368 + (w - pw) / 2;
            outputAllPill.setBounds (x0 + 10, yP, q, hP);
            outputBassPill.setBounds (x0 + 10 + q, yP, q, hP);
            outputBodyPill.setBounds (x0 + 10 + 2 * q, yP, q, hP);
            outputShimmerPill.setBounds (x0 + 10 + 3 * q, yP, pw - 3 * q, hP);

            const int gC = juce::jmin (k - l - gP - hP, 6);
            const int yC = yP + hP + gC;
            const int tileHeight = juce::jmin (k - l - gP - hP - gC, 24);
            const int base = w > 0 ? 368 + (222 - 140) / 2 : 368 - 60;
            int x = base + 18;
            if (dragMidiTile != nullptr)
            {
                dragMidiTile->setBounds (base + 10, yC, 24, tileHeight);
                x = base + 10 + 24 + 8;
            }
            for (auto* tile : { bassClipTile.get(), bodyClipTile.get(), shimmerClipTile.get() })
            {
                if (tile == nullptr)
                    continue;
                tile->setBounds (x, yC, 24, tileHeight);
                x += 24 + 8;
            }
        }

        // Arrangement card.
        const int g2 = juce::jmin (rest1 - hS, 6);
        const int yA = y1 + hS + g2;
        const int hA = juce::jmin (rest1 - hS - g2, 88);
        arrangementCardBounds = { 10, yA, 580, hA };

        const int X = juce::jmin (juce::jmax (hA - 16, 0), 72);
        const int th = juce::jmax (X / 3, 0);
        shimmerTab.setBounds (18, yA + 8, 74, th);
        bodyTab.setBounds (18, yA + 8 + th, 74, th);
        bassTab.setBounds (18, yA + 8 + 2 * th, 74, th);

        const R octaveCell (100, yA + 8, 116, X);
        const R voicingCell (224, yA + 8, 116, X);
        const int Y = juce::jmin (X, 54);
        const int yT = yA + 8 + (X - Y) / 2;
        const int Z = juce::jmin (Y, 24);
        const int gL = juce::jmin (Y - Z, 6);
        const int legatoHeight = juce::jmax (juce::jmin (Y - Z - gL, 24) - 2, 0);

        if (tab == 0)
        {
            placeCaptionedKnob (octaveCell, bassOctaveLabel, bassOctaveKnob, "Octave");
            bassAddOctaveButton.setBounds (224, yT, 176, Z);
            bassAddFifthButton.setBounds (406, yT, 176, Z);
        }
        else if (tab == 1)
        {
            placeCaptionedKnob (octaveCell, bodyOctaveLabel, bodyOctaveKnob, "Octave");
            placeCaptionedKnob (voicingCell, bodyVoicingLabel, bodyVoicingKnob, "Voicing");
            bodyAddRootButton.setBounds (348, yT, 74, Z);
            bodyAddFifthButton.setBounds (428, yT, 74, Z);
            bodyWithShimmerButton.setBounds (508, yT, 74, Z);
        }
        else if (tab == 2)
        {
            placeCaptionedKnob (octaveCell, shimmerOctaveLabel, shimmerOctaveKnob, "Octave");
            placeCaptionedKnob (voicingCell, shimmerVoicingLabel, shimmerVoicingKnob, "Voicing");
            shimmerOffButton.setBounds (348, yT, 58, Z);
            shimmerTopButton.setBounds (406, yT, 58, Z);
            shimmerColorButton.setBounds (464, yT, 58, Z);
            shimmerHaloButton.setBounds (522, yT, 60, Z);
        }
        legatoButton.setBounds (512, yT + Z + gL + 1, 70, legatoHeight);

        yEnd = yA + hA;
        rest3 = rest1 - hS - g2 - hA;
    }
    else
    {
        for (auto* c : std::initializer_list<juce::Component*> { &sectionsLabel, &sectionHoverLabel, &sectionNameLabel, &sectionRow,
                                                                 &outputsLabel, &outputHintLabel, &legatoButton, &outputAllPill })
            c->setBounds ({});

        const int hR = juce::jmin (rest1, 24);
        for (auto [label, text] : { std::pair<juce::Label*, const char*> { &bodyVoicingLabel, "Body:" },
                                    std::pair<juce::Label*, const char*> { &shimmerVoicingLabel, "Shimmer:" } })
        {
            label->setText (text, juce::dontSendNotification);
            label->setFont (juce::Font (12.0f));
            label->setJustificationType (juce::Justification::centredLeft);
        }
        bodyVoicingLabel.setBounds (10, y1, 40, hR);
        bodyVoicingCombo.setBounds (50, y1, 245, hR);
        shimmerVoicingLabel.setBounds (305, y1, 62, hR);
        shimmerVoicingCombo.setBounds (367, y1, 223, hR);

        const int g = juce::jmin (rest1 - hR, 6);
        const int hP = juce::jmin (rest1 - hR - g, 335);
        chordEditor.setBounds (10, y1 + hR + g, 580, hP);
        yEnd = y1 + hR + g + hP;
        rest3 = rest1 - hR - g - hP;
    }

    // Piano roll.
    const int g3 = juce::jmin (rest3, 8);
    const int rest4 = rest3 - g3;
    pianoRollViewport.setBounds (10, yEnd + g3, 580, rest4 - 34);

    double ticks = 0.0;
    for (const auto& chord : pianoRoll.chords)
        ticks += chord.lengthTicks;
    pianoRollTitleLabel.setText ("Piano Roll | " + formatBarCount (ticks / 512.0), juce::dontSendNotification);

    {
        const auto view = pianoRollViewport.getBounds();
        const int w2 = juce::jmax (view.getWidth() - 20, 0);
        const int lh = juce::jmin (juce::jmax (view.getHeight() - 8, 0), 24);
        const int tw = juce::jmin (w2 / 2, 220);
        pianoRollTitleLabel.setBounds (view.getX() + 10, view.getY() + 8, tw, lh);
        pianoRollChordInfoLabel.setBounds (view.getX() + 10 + tw, view.getY() + 8, w2 - tw, lh);
        pianoRollTitleLabel.toFront (false);
        pianoRollChordInfoLabel.toFront (false);
    }

    if (rest4 != pianoRoll.visibleHeight + 34)
    {
        pianoRoll.visibleHeight = rest4 - 34;
        pianoRoll.recalculateNoteRange();
    }

    {
        int stripWidth = pianoRollViewport.getWidth();
        if (rest4 - 34 < pianoRoll.getHeight())
            stripWidth -= pianoRollViewport.getScrollBarThickness();
        if (chordEditorShown)
            stripWidth -= 40;
        stripWidth = juce::jmax (stripWidth, 0);
        if (progressionStrip.contentWidth != stripWidth)
        {
            progressionStrip.contentWidth = stripWidth;
            progressionStrip.repaint();
        }
        placeAndShow (progressionStrip, {}, false);
    }

    if (chordEditorShown)
    {
        const auto editorArea = chordEditor.getBounds();
        const auto area = editorArea.isEmpty() ? pianoRollViewport.getBounds()
                                               : editorArea.getUnion (pianoRollViewport.getBounds());
        chordEditorHighlightBounds = area.expanded (4);
    }

    chordInfoLabel.setBounds ({});

    // Status row. The status text and the hint share the line; the hint covers the status only
    // while it holds a hint.
    const int yS = yEnd + rest3 - 34 + 6;
    statusCardBounds = { 10, yS, 580, 28 };
    statusLineBounds = { 22, yS + 2, 556, 24 };
    int lineWidth = 556;
    if (editorScaling != nullptr)
    {
        editorScaling->setTextOnly (true);
        editorScaling->setBounds (22 + 556 - 78, yS + 2, 78, 24);
        lineWidth = 556 - 78 - 8;
    }
    statusLabel.setBounds (22, yS + 2, lineWidth, 24);
    hintLabel.setBounds (22, yS + 2, lineWidth, 24);
    hintLabel.toFront (false);

    // Panels, in their raise order, behind the scrim rule.
    const bool fullCover = helpComponent.isVisible() || (supportDialog != nullptr && supportDialog->isVisible())
                        || moodPanel.isVisible() || progressionTextPanel.isVisible();
    const bool dialogShown = confirmationDialog.isVisible() || sectionRenameDialog.isVisible();
    const bool scrimShown = fullCover || dialogShown;
    if (scrimShown && ! modalScrim.dimmed)
    {
        modalScrim.dimmed = true;
        modalScrim.repaint();
    }
    modalScrim.setVisible (scrimShown);

    const R canvas (0, 0, logicalWidth, logicalHeight);
    raiseWhenVisible (&modalScrim, canvas);
    raiseWhenVisible (&helpComponent, canvas);
    raiseWhenVisible (supportDialog.get(), canvas);
    raiseWhenVisible (&moodPanel, { 60, juce::jmax ((logicalHeight - 672) / 2, 5), 480, 672 });
    raiseWhenVisible (chordJsonOverlay.get(), canvas);
    raiseWhenVisible (&projectLibrary, canvas);

    const bool overlayShown = helpComponent.isVisible() || (supportDialog != nullptr && supportDialog->isVisible())
                           || moodPanel.isVisible() || (chordJsonOverlay != nullptr && chordJsonOverlay->isVisible())
                           || projectLibrary.isVisible();
    if (progressionTextPanel.isVisible())
    {
        progressionTextPanel.setBounds (30, 102, 540, 112);
        const int panelWidth = progressionTextPanel.getWidth();
        progressionEditor.setBounds (25, 68, panelWidth - 120, 28);
        progressionCloseButton.setBounds (panelWidth - 95, 14, 70, 28);
        if (! overlayShown)
            progressionTextPanel.toFront (true);
    }
    if (chordEditor.isVisible() && ! overlayShown && ! dialogShown)
        chordEditor.toFront (true);

    raiseWhenVisible (&confirmationDialog, { 50, 345, 500, 170 });
    raiseWhenVisible (&sectionRenameDialog, { 90, 345, 420, 170 });
    raiseWhenVisible (welcomeDialog.get(), canvas);
    if (supportDialog != nullptr && supportDialog->isVisible())
        supportDialog->toFront (true);

    contentWrapper.repaint();
}

//==== piano roll viewport ===========================================================================

void CorvessaEditor::fitPianoRollViewport()
{
    const int a = pianoRollViewport.getHeight();
    const int v = pianoRollViewport.getViewPositionY();
    const int c = pianoRoll.getHeight();
    const bool atBottom = c - a <= 0 || v >= c - a - 2;
    const bool showBar = a < c;

    pianoRollViewport.setScrollBarsShown (showBar, false);

    const int d = pianoRollViewport.getWidth() - (showBar ? pianoRollViewport.getScrollBarThickness() : 0);
    if (progressionStrip.contentWidth != juce::jmax (d, 0))
    {
        progressionStrip.contentWidth = juce::jmax (d, 0);
        progressionStrip.repaint();
    }

    const int height = juce::jmax (c, a);
    if (d > 0)
        pianoRoll.setSize (d, height);

    const int maximum = juce::jmax (height - a, 0);
    pianoRollViewport.setViewPosition (0, atBottom ? maximum : juce::jlimit (0, maximum, v));

    double ticks = 0.0;
    for (const auto& chord : pianoRoll.chords)
        ticks += chord.lengthTicks;
    pianoRollTitleLabel.setText ("Piano Roll | " + formatBarCount (ticks / 512.0), juce::dontSendNotification);
}

void CorvessaEditor::PianoRollViewport::paintOverChildren (juce::Graphics& g)
{
    g.setColour (Palette::surface2);
    g.drawRoundedRectangle (0.5f, 0.5f, juce::jmax ((float) getWidth() - 1.0f, 0.0f),
                            juce::jmax ((float) getHeight() - 1.0f, 0.0f), 8.0f, 1.0f);
}

void CorvessaEditor::PianoRollViewport::visibleAreaChanged (const juce::Rectangle<int>&)
{
    if (auto* viewed = getViewedComponent())
        viewed->repaint();
}

//==== the canvas ====================================================================================

void CorvessaEditor::ContentWrapper::paint (juce::Graphics& g)
{
    if (editor == nullptr)
        return;

    g.fillAll (Palette::base);

    if (! editor->separatorBounds.isEmpty())
    {
        g.setColour (Palette::surface2);
        g.fillRect (editor->separatorBounds);
    }

    for (const auto& card : { editor->sectionsCardBounds, editor->outputsCardBounds, editor->spareCardBounds,
                              editor->statusCardBounds, editor->arrangementCardBounds })
        paintCard (g, card);
}

void CorvessaEditor::ContentWrapper::paintOverChildren (juce::Graphics& g)
{
    if (editor == nullptr)
        return;

    const auto& e = *editor;
    const bool dialogShown = e.confirmationDialog.isVisible() || e.sectionRenameDialog.isVisible()
                          || (e.supportDialog != nullptr && e.supportDialog->isVisible());

    if (! e.chordEditor.isVisible() || e.helpComponent.isVisible() || dialogShown || e.chordEditorHighlightBounds.isEmpty())
        return;

    const auto area = e.chordEditorHighlightBounds.toFloat();
    g.setColour (Palette::mauve.withAlpha (0.06f));
    g.drawRoundedRectangle (area.expanded (0.5f), 13.0f, 2.0f);
    g.setColour (Palette::mauve.withAlpha (0.32f));
    g.drawRoundedRectangle (area.reduced (0.5f), 12.0f, 1.25f);
}

void CorvessaEditor::ContentWrapper::resized()
{
    if (editor != nullptr)
        editor->layoutContent();
}
