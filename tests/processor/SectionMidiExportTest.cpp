// MIDI clips of the current section as the editor exports them: file names from the section,
// the channels of live playback, held notes written as one note.
#include "PlaybackFixture.h"

using namespace PlaybackFixture;
using Events = std::vector<MidiEvent>;

namespace
{
Events eventsInFile (const juce::File& file)
{
    juce::FileInputStream in (file);
    juce::MidiFile midiFile;
    if (! in.openedOk() || ! midiFile.readFrom (in) || midiFile.getNumTracks() != 1)
        return {};
    return eventsOf (*midiFile.getTrack (0));
}
} // namespace

class SectionMidiExport : public Player
{
protected:
    juce::TemporaryFile folderHolder;
    juce::File folder = folderHolder.getFile();

    void SetUp() override { ASSERT_TRUE (folder.createDirectory()); }
    void TearDown() override { folder.deleteRecursively(); }
};

TEST_F (SectionMidiExport, FilesAreNamedAfterTheSectionAndLayer)
{
    useSong ({ wholeSection ("Verse", 4.0, { 36 }, { 60 }, { 76 }), wholeSection ("A/B: x", 4.0, { 36 }, {}),
               wholeSection ("  ", 4.0, { 36 }, {}) });

    struct Case
    {
        int section;
        int layer; // 0: whole section
        juce::String expectedName;
    };
    for (const auto& c : std::vector<Case> { { 0, 0, "Verse.mid" }, { 0, 3, "Verse - Shimmer.mid" },
                                             { 0, 1, "Verse - Bass.mid" }, { 1, 0, "AB x.mid" },
                                             { 2, 0, "Section 3.mid" }, { 2, 2, "Section 3 - Body.mid" } })
    {
        processor.setSelectedSectionViewIndex (c.section);
        const auto file = c.layer == 0 ? processor.exportSectionMidi (folder) : processor.exportLayerMidi (folder, c.layer);
        EXPECT_EQ (file, folder.getChildFile (c.expectedName)) << c.expectedName;
        EXPECT_TRUE (file.existsAsFile()) << c.expectedName;
    }

    // The Shimmer clip of Verse holds its (legato) note on channel 4 only, to the section's end.
    EXPECT_EQ (eventsInFile (folder.getChildFile ("Verse - Shimmer.mid")), (Events { noteOn (0, 4, 76), noteOff (512, 4, 76) }));

    // A layer outside 1..3 writes nothing.
    const int filesBefore = folder.getNumberOfChildFiles (juce::File::findFiles);
    EXPECT_EQ (processor.exportLayerMidi (folder, 4), juce::File());
    EXPECT_EQ (processor.exportLayerMidi (folder, 0), juce::File());
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFiles), filesBefore);

    // A folder that is not there: the export fails.
    EXPECT_EQ (processor.exportSectionMidi (folder.getChildFile ("missing")), juce::File());
}

TEST_F (SectionMidiExport, WithoutSectionsTheClipIsTheWorkingSection)
{
    useSong ({});
    const auto file = processor.exportSectionMidi (folder);
    EXPECT_EQ (file.getFileName(), "Section 1.mid");
    EXPECT_EQ (file.getSize(), 26) << "a section without chords: header and an empty track";
}

TEST_F (SectionMidiExport, ClipsCarryThePlaybackChannelsAndHeldNotes)
{
    // Bass held, Body and Shimmer plain; channel 1 carries Body (mode 2).
    Section section { "Verse", { { 0, 512, { 36 }, { 60 }, { 76 } }, { 512, 512, { 36 }, { 60 }, {} } }, true, false, false };
    useSong ({ section });
    processor.setSelectedSectionViewIndex (0);
    processor.setOutputLayerMode (2);

    EXPECT_EQ (eventsInFile (processor.exportSectionMidi (folder)),
               (Events { noteOn (0, 1, 60), noteOn (0, 3, 60), noteOn (0, 4, 76), noteOn (0, 2, 36),
                         noteOff (508, 1, 60), noteOff (508, 3, 60), noteOff (508, 4, 76),
                         noteOn (512, 1, 60), noteOn (512, 3, 60),
                         noteOff (1020, 1, 60), noteOff (1020, 3, 60),
                         noteOff (1024, 2, 36) }));

    EXPECT_EQ (eventsInFile (processor.exportLayerMidi (folder, 1)), (Events { noteOn (0, 2, 36), noteOff (1024, 2, 36) }));
    EXPECT_EQ (eventsInFile (processor.exportLayerMidi (folder, 2)),
               (Events { noteOn (0, 3, 60), noteOff (508, 3, 60), noteOn (512, 3, 60), noteOff (1020, 3, 60) }));
}
