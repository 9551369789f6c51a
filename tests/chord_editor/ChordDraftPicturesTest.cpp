// Pictures of the window while chords are edited, written to <build>/screenshots for a person
// to review: a chord held for preview, a draft with a changed chord, a new chord at the end, a
// draft emptied, the question before abandoning a draft and the progression text panel. Each
// is checked for the part of the window the state is about being drawn.
#include "ChordDraftFixture.h"

#include "editor/look/Palette.h"
#include "support/ComponentSnapshot.h"

namespace
{
// The area of a child in the window's own coordinates.
juce::Rectangle<int> areaIn (juce::Component& window, juce::Component& child)
{
    return window.getLocalArea (&child, child.getLocalBounds());
}
} // namespace

TEST_F (ChordDraftTest, PicturesOfChordEditingInTheWindow)
{
    useSong ("C Am F G");
    draft->applyGlobalScale ("C", "Major", "90-110 BPM");
    waitForCompile();
    probe->tick();

    // Draws the window and checks that each of the named parts holds ink.
    const auto picture = [this] (const juce::String& name, std::initializer_list<const char*> parts)
    {
        probe->layout();
        const auto image = corvessa::test::writeSnapshot (*editor, name);
        for (auto* partName : parts)
        {
            auto* part = probe->find (partName);
            ASSERT_TRUE (part != nullptr && part->isVisible()) << name << ": " << partName;
            EXPECT_TRUE (corvessa::test::hasInk (image, areaIn (*editor, *part), Palette::base)) << name << ": " << partName;
        }
    };

    // A chord held on the roll: highlighted, with its name and degree and the hint.
    draft->pressRoll (1);
    ASSERT_TRUE (draft->fireHoldTimer());
    ASSERT_TRUE (draft->pressPreviewing());
    EXPECT_EQ (draft->chordInfo().getText(), "Am | vi");
    picture ("chord-held-for-preview", { "roll chord info", "hint" });
    draft->releaseRoll (1);

    // The second chord open and changed: the draft is shown while the song is unchanged.
    draft->openChord (1);
    draft->changeChordTo ("Dm7");
    ASSERT_EQ (draft->roll().chords[1].symbol, "Dm7");
    picture ("chord-draft-changed-chord", { "chord editor", "viewport" });

    // A new chord after the last one, shown at the end of the roll.
    draft->openForAppend();
    ASSERT_EQ (draft->strip().tokens.size(), 5u);
    picture ("chord-draft-new-chord-at-end", { "chord editor", "viewport" });

    // Every chord removed: the panel is empty and the roll invites adding one.
    draft->chooseMenuItem (-1, 6);
    ASSERT_TRUE (draft->draftText().isEmpty());
    picture ("chord-draft-all-removed", { "chord editor", "viewport" });

    // Another panel asked for while the draft exists.
    draft->confirmAbandon ([] {});
    ASSERT_TRUE (draft->confirmation().isVisible());
    picture ("chord-draft-abandon-question", { "confirm" });
    draft->confirmation().buttonClicked (&draft->confirmation().confirmButton);
    ASSERT_FALSE (draft->draftActive());

    // The text panel while the user types.
    draft->openTextPanel();
    draft->type ("C  Am   F G7");
    ASSERT_EQ (draft->status().getText(), "Status: Typing...");
    picture ("progression-text-panel-typing", { "text panel" });
}
