#include "compile/CompiledSection.h"
#include "processor/CorvessaProcessor.h"
#include "processor/state/PortableProject.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace
{
juce::String jsonOf (const juce::var& value)
{
    return juce::JSON::toString (value, true);
}

juce::MemoryBlock chunkOf (CorvessaProcessor& processor)
{
    juce::MemoryBlock block;
    processor.getStateInformation (block);
    return block;
}

SectionMode::SectionData makeSection (const char* name, const char* progression)
{
    SectionMode::SectionData s;
    s.name = name;
    s.progression = progression;
    return s;
}

// A song of three sections with settings away from their defaults.
SectionList songOfThree()
{
    auto verse = makeSection ("Verse", "C Am F G");
    verse.rootKey = "C";
    verse.scale = "Major";
    verse.suggestedBpm = "100 BPM";

    auto chorus = makeSection ("Chorus", "F:2 G:2");
    chorus.bassVoicing = "Bassist";
    chorus.bodyVoicing = "Jazz";
    chorus.voicing = "Jazz";
    chorus.arrangeShimmerTopNoteEnabled = true;
    chorus.shimmerOctave = 2;
    chorus.arrangeBassLegato = true;

    auto bridge = makeSection ("Bridge", "Dm7 G7 Cmaj7 A7");
    bridge.bodyVoicing = "Pianist";
    bridge.voicing = "Pianist";
    bridge.bodyOctave = -1;
    bridge.bassOctave = 1;
    bridge.arrangeShimmerColorNotesEnabled = true;
    bridge.arrangeBodyAddFifth = false;
    bridge.rootKey = "D";
    bridge.scale = "Dorian";

    return { verse, chorus, bridge };
}

class PortableApplyTest : public ::testing::Test
{
protected:
    juce::ScopedJuceInitialiser_GUI juce;
};
} // namespace

TEST_F (PortableApplyTest, AProjectExportedFromOneInstanceAppliesToAnother)
{
    CorvessaProcessor source, target;
    source.setSections (songOfThree(), true);
    source.setSelectedSectionViewIndex (2);
    source.setSectionPlaybackMode (1);

    const auto exported = source.exportPortableProject();
    ASSERT_TRUE (source.validatePortableProject (exported).wasOk()) << source.validatePortableProject (exported).getErrorMessage();

    // Sent as text, as the bridge and the project library send it.
    const auto result = target.applyPortableProject (juce::JSON::parse (juce::JSON::toString (exported)));
    ASSERT_TRUE (result.wasOk()) << result.getErrorMessage();

    EXPECT_EQ (jsonOf (target.exportPortableProject()), jsonOf (exported));
    EXPECT_EQ (target.getSelectedSectionViewIndex(), 2);
    EXPECT_EQ (target.getSectionPlaybackMode(), 1);

    const auto sourceSections = source.getSections();
    const auto targetSections = target.getSections();
    ASSERT_EQ (targetSections.size(), 3u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_TRUE (targetSections[i] == sourceSections[i]) << i;

    // The selected section became the working section.
    EXPECT_EQ (target.getProgression(), "Dm7 G7 Cmaj7 A7");
    EXPECT_EQ (target.getBodyVoicing(), 4);
    EXPECT_EQ (target.getBodyOctave(), -1);
    EXPECT_EQ (target.getBassOctave(), 1);
    EXPECT_TRUE (target.getArrangeShimmerColorNotesEnabled());
    EXPECT_FALSE (target.getArrangeBodyAddFifth());
    EXPECT_EQ (target.getCurrentScaleName(), "Dorian");
    EXPECT_EQ (target.getCurrentRootKey(), "D");
}

TEST_F (PortableApplyTest, AppliesAsAWholeAndKeepsWhatLiesOutsideTheProject)
{
    CorvessaProcessor processor;
    processor.setSections ({ makeSection ("Old", "C") }, true);
    processor.setOutputLayerMode (4);
    processor.setLocked (true);
    processor.setMoodId (7);
    const auto syncIdBefore = processor.getStateCopy().syncInstanceId;
    const auto counterBefore = processor.getExternalEditCounter();

    const auto project = juce::JSON::parse (R"({
        "activeSectionIndex": 1,
        "sections": [
          { "name": "A", "progression": "C G", "bass_voicing": "Smooth", "body_voicing": "Smooth", "shimmer_voicing": "Smooth",
            "arrangement": { "bass_legato": false, "body_legato": true, "shimmer_legato": true, "bass_add_octave": false,
                             "bass_add_fifth": false, "body_add_root": true, "body_add_fifth": true, "body_with_shimmer": false,
                             "bass_octave": 0, "body_octave": 0, "shimmer_mode": "Off" } },
          { "name": "B", "progression": "Am:2", "scale": "A Minor", "bpm": 90,
            "bass_voicing": "Strict", "body_voicing": "Guitarist", "shimmer_voicing": "Jazz",
            "arrangement": { "bass_legato": true, "body_legato": false, "shimmer_legato": false, "bass_add_octave": true,
                             "bass_add_fifth": true, "body_add_root": false, "body_add_fifth": false, "body_with_shimmer": true,
                             "bass_octave": -2, "body_octave": 3, "shimmer_octave": -1, "shimmer_mode": "Top" } } ] })");

    // "Strict" is a bass motion, not a voicing: refused as a whole, nothing changes.
    EXPECT_EQ (processor.applyPortableProject (project).getErrorMessage(), "Section bass_voicing is invalid.");
    EXPECT_EQ (processor.getSections().size(), 1u);
    EXPECT_EQ (processor.getExternalEditCounter(), counterBefore);

    project["sections"][1].getDynamicObject()->setProperty ("bass_voicing", "Bassist");
    ASSERT_TRUE (processor.applyPortableProject (project).wasOk());
    EXPECT_EQ (processor.getExternalEditCounter(), counterBefore + 1);

    const auto sections = processor.getSections();
    ASSERT_EQ (sections.size(), 2u);
    EXPECT_EQ (sections[0].name, "A");
    EXPECT_EQ (sections[1].suggestedBpm, "90 BPM");
    EXPECT_EQ (processor.getSelectedSectionViewIndex(), 1);
    EXPECT_EQ (processor.getSectionPlaybackMode(), 0);

    // Working fields from section B.
    EXPECT_EQ (processor.getProgression(), "Am:2");
    EXPECT_EQ (processor.getBodyVoicing(), 3);
    EXPECT_EQ (processor.getShimmerVoicing(), 6);
    EXPECT_TRUE (processor.getBassLegato());
    EXPECT_FALSE (processor.getBodyLegato());
    EXPECT_EQ (processor.getBassOctave(), -2);
    EXPECT_EQ (processor.getBodyOctave(), 3);
    EXPECT_EQ (processor.getShimmerOctave(), -1);
    EXPECT_TRUE (processor.getArrangeShimmerTopNoteEnabled());
    EXPECT_FALSE (processor.getArrangeShimmerColorNotesEnabled());
    EXPECT_EQ (processor.getCurrentScaleName(), "Minor");
    EXPECT_EQ (processor.getCurrentRootKey(), "A");

    // Outside the project: untouched.
    EXPECT_EQ (processor.getOutputLayerMode(), 4);
    EXPECT_TRUE (processor.isLocked());
    EXPECT_EQ (processor.getMoodId(), 7);
    EXPECT_EQ (processor.getStateCopy().syncInstanceId, syncIdBefore);
    EXPECT_EQ (processor.getSyncMode(), 0);

    // Each successful apply counts once.
    ASSERT_TRUE (processor.applyPortableProject (project).wasOk());
    EXPECT_EQ (processor.getExternalEditCounter(), counterBefore + 2);
}

TEST_F (PortableApplyTest, ARefusedProjectChangesNothing)
{
    CorvessaProcessor processor;
    processor.setSections (songOfThree(), true);
    processor.setSelectedSectionViewIndex (1);

    const auto valid = processor.exportPortableProject();
    const auto withChange = [&valid] (std::function<void (juce::var&)> change)
    {
        auto copy = juce::JSON::parse (juce::JSON::toString (valid));
        change (copy);
        return copy;
    };

    struct Case { const char* what; juce::var project; juce::String message; };
    const Case cases[] = {
        { "array", juce::var (juce::Array<juce::var> { valid }), "Portable project must be an object." },
        { "text", "{}", "Portable project must be an object." },
        { "void", juce::var(), "Portable project must be an object." },
        { "unknown key", withChange ([] (juce::var& p) { p.getDynamicObject()->setProperty ("tempo", 1); }), "Portable project contains unsupported fields." },
        { "bad last section", withChange ([] (juce::var& p) { p["sections"][2].getDynamicObject()->setProperty ("bpm", 0); }), "Section BPM must be an integer from 1 to 999." },
        { "unreadable chord", withChange ([] (juce::var& p) { p["sections"][2].getDynamicObject()->setProperty ("progression", "C Hm"); }), "Section Bridge: invalid chord progression token: Hm" },
        { "bars not whole", withChange ([] (juce::var& p) { p["sections"][0].getDynamicObject()->setProperty ("progression", "C:0.5"); }), "Section Verse: chord durations must total an integer number of bars" },
    };

    const auto chunkBefore = chunkOf (processor);
    const auto exportBefore = jsonOf (processor.exportPortableProject());
    const auto counterBefore = processor.getExternalEditCounter();

    for (const auto& c : cases)
    {
        EXPECT_EQ (processor.applyPortableProject (c.project).getErrorMessage(), c.message) << c.what;
        EXPECT_EQ (processor.getExternalEditCounter(), counterBefore) << c.what;
        EXPECT_EQ (jsonOf (processor.exportPortableProject()), exportBefore) << c.what;
        EXPECT_TRUE (chunkOf (processor) == chunkBefore) << c.what;
    }

    // The dry run answers an array differently from apply.
    EXPECT_EQ (processor.validatePortableProject (juce::Array<juce::var> { valid }).getErrorMessage(),
               "Portable project contains unsupported fields.");
}

TEST_F (PortableApplyTest, ExportOfAStateWithoutSectionsIsRefusedByTheCheck)
{
    CorvessaProcessor processor;
    const auto exported = processor.exportPortableProject();
    EXPECT_EQ (jsonOf (exported), R"({"activeSectionIndex": 0, "sectionPlaybackMode": "loopSection", "sections": []})");
    EXPECT_EQ (processor.validatePortableProject (exported).getErrorMessage(), "Portable project must contain 1 to 32 sections.");
}

// No selection (a loaded song, Auto-Advance) and a stored index beyond the sections are states a
// song can be in; the library saves such a song and loads it again, so its export must pass the
// check. The index written names a section: the selected one, else the first.
TEST_F (PortableApplyTest, AnExportedSongPassesTheCheckWhateverItsSelection)
{
    const struct
    {
        int stored;
        int advance;
        int written;
    } cases[] = {
        { -1, 0, 0 }, { -1, 1, 0 }, { -5, 1, 0 }, { 0, 0, 0 }, { 2, 1, 2 }, { 3, 0, 2 }, { 40, 1, 2 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.stored) + " advance " + juce::String (c.advance));
        CorvessaProcessor source;
        auto record = source.getStateCopy();
        record.Sections = songOfThree();
        record.selectedSectionViewIndex = c.stored;
        record.sectionPlaybackMode = c.advance;
        source.replaceState (record, true);

        const auto exported = source.exportPortableProject();
        EXPECT_EQ ((int) exported["activeSectionIndex"], c.written);
        EXPECT_TRUE (source.validatePortableProject (exported).wasOk()) << source.validatePortableProject (exported).getErrorMessage();

        // Saved as text and loaded into another instance, as the project library does.
        CorvessaProcessor target;
        const auto applied = target.applyPortableProject (juce::JSON::parse (juce::JSON::toString (exported)));
        EXPECT_TRUE (applied.wasOk()) << applied.getErrorMessage();
        EXPECT_EQ (target.getSelectedSectionViewIndex(), c.written);
        EXPECT_EQ (target.getSectionPlaybackMode(), c.advance);
        EXPECT_EQ (target.getSections().size(), 3u);
    }
}

TEST_F (PortableApplyTest, RandomAndTruncatedInputNeverCrashesAndChangesNothingWhenRefused)
{
    CorvessaProcessor processor;
    processor.setSections (songOfThree(), true);
    processor.setSelectedSectionViewIndex (0);
    const auto validText = juce::JSON::toString (processor.exportPortableProject());
    ASSERT_TRUE (processor.validatePortableProject (juce::JSON::parse (validText)).wasOk())
        << processor.validatePortableProject (juce::JSON::parse (validText)).getErrorMessage();

    std::mt19937 random (20261211);   // fixed seed: the same inputs every run
    const auto pick = [&random] (int n) { return (int) (random() % (juce::uint32) n); };
    const juce::String alphabet = "{}[]\":,0123456789.-eE truefalsnl\\abcdXYZ_#\t\n";

    juce::StringArray inputs { validText };
    for (int length = 0; length <= validText.length(); length += 7)
        inputs.add (validText.substring (0, length));

    for (int i = 0; i < 400; ++i)
    {
        auto text = validText;
        const auto edits = 1 + pick (4);
        for (int e = 0; e < edits; ++e)
        {
            const auto at = pick (text.length());
            const auto replacement = juce::String::charToString (alphabet[pick (alphabet.length())]);
            switch (pick (3))
            {
                case 0:  text = text.replaceSection (at, 1, replacement); break;
                case 1:  text = text.replaceSection (at, 0, replacement); break;
                default: text = text.replaceSection (at, 1 + pick (12), {}); break;
            }
        }
        inputs.add (text);
    }

    for (int i = 0; i < 100; ++i)
    {
        juce::String text;
        for (int n = pick (80); --n >= 0;)
            text += juce::String::charToString (alphabet[pick (alphabet.length())]);
        inputs.add (text);
    }

    auto chunk = chunkOf (processor);
    auto exported = jsonOf (processor.exportPortableProject());
    auto counter = processor.getExternalEditCounter();
    int applied = 0;

    for (const auto& text : inputs)
    {
        const auto value = juce::JSON::parse (text);
        const auto check = processor.validatePortableProject (value);
        const auto result = processor.applyPortableProject (value);

        // The dry run predicts the apply.
        EXPECT_EQ (check.wasOk(), result.wasOk()) << text;

        if (result.failed())
        {
            EXPECT_FALSE (result.getErrorMessage().isEmpty()) << text;
            EXPECT_EQ (processor.getExternalEditCounter(), counter) << text;
            EXPECT_EQ (jsonOf (processor.exportPortableProject()), exported) << text;
            EXPECT_TRUE (chunkOf (processor) == chunk) << text;
        }
        else
        {
            ++applied;
            EXPECT_EQ (processor.getExternalEditCounter(), counter + 1) << text;
            EXPECT_TRUE (processor.validatePortableProject (processor.exportPortableProject()).wasOk()) << text;
            chunk = chunkOf (processor);
            exported = jsonOf (processor.exportPortableProject());
            counter = processor.getExternalEditCounter();
        }
    }

    // The untouched text itself is among the inputs, so at least one apply went through.
    EXPECT_GE (applied, 1);
}

TEST_F (PortableApplyTest, AnAppliedProjectCompilesToTheNotesOfItsSource)
{
    CorvessaProcessor source, target;
    auto song = songOfThree();
    song[0].baseOctave = 4;   // folded into the layer offsets on export
    song[0].bassOctave = -1;
    song[2].baseOctave = 2;
    source.setSections (song, true);
    source.setSelectedSectionViewIndex (0);

    ASSERT_TRUE (target.applyPortableProject (source.exportPortableProject()).wasOk());

    const auto duration = source.getStateCopy().defaultDuration;
    const auto sourceSections = source.getSections();
    const auto targetSections = target.getSections();
    ASSERT_EQ (targetSections.size(), sourceSections.size());

    for (size_t i = 0; i < sourceSections.size(); ++i)
    {
        const auto a = CorvessaProcessor::compileSection (sourceSections[i], duration, 0, nullptr).snapshot;
        const auto b = CorvessaProcessor::compileSection (targetSections[i], duration, 0, nullptr).snapshot;
        ASSERT_NE (a, nullptr);
        ASSERT_NE (b, nullptr);
        ASSERT_EQ (a->slots.size(), b->slots.size()) << i;
        EXPECT_EQ (a->totalBeats, b->totalBeats) << i;

        for (size_t k = 0; k < a->slots.size(); ++k)
        {
            EXPECT_EQ (a->slots[k].bassNotes, b->slots[k].bassNotes) << "section " << i << " chord " << k;
            EXPECT_EQ (a->slots[k].bodyNotes, b->slots[k].bodyNotes) << "section " << i << " chord " << k;
            EXPECT_EQ (a->slots[k].shimmerNotes, b->slots[k].shimmerNotes) << "section " << i << " chord " << k;
        }
    }
}
