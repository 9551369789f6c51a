#pragma once

#include "compile/ArrangementVoicing.h"
#include "harmony/ChordEvent.h"
#include "song/SectionData.h"

#include <juce_core/juce_core.h>

#include <array>
#include <memory>
#include <vector>

// The compiled form of the arrangement. Every record is built once, never changed afterwards and
// shared through std::shared_ptr<const ...>, so the audio thread, the editor and the generation
// thread read them without a lock.

// One compiled chord or rest of a section, in progression order. A rest, or a chord that could
// not be read, has empty note lists. Layer numbers: 1 Bass, 2 Body, 3 Shimmer.
struct CompiledChordSlot
{
    ChordEvent event;
    NoteList bassNotes;
    NoteList bodyNotes;
    NoteList shimmerNotes;
    NoteList allNotes;      // the three layers together: 0..127, ascending, each note once
};

// How a section's compile went.
struct SectionCompileResult
{
    enum Status
    {
        clean = 0,
        pending = 1,            // reported while a compile is pending; stored only for a section
                                // that a bank not yet complete holds a stand-in for
        withMessages = 2,       // e.g. unrecognised chords, or nothing playable and nothing to keep
        keptPrevious = 3        // nothing playable; the section's previous snapshot stays in place
    };

    int status = clean;
    juce::StringArray messages;
};

// One section, compiled.
struct CompiledSnapshot
{
    SectionMode::SectionData inputs;        // the section it was compiled from, name included
    std::vector<CompiledChordSlot> slots;   // one per chord event
    std::vector<ChordEvent> chords;         // slot k carries a copy of event k
    double totalBeats = 0.0;                // length in quarter notes
    juce::uint64 generation = 0;            // generation it was compiled at (kept when reused)
    juce::String defaultDuration;           // the state's default chord duration it was compiled with
    // False for a stand-in: the section's length (so that a timeline places every section where it
    // belongs) but no chords or notes yet. Only a bank that is not complete holds stand-ins.
    bool voiced = true;
};

// What compileSection hands back: the snapshot to use for the section and how the compile went.
// The snapshot is the previous one when the new progression had nothing playable.
struct SectionCompileOutput
{
    std::shared_ptr<const CompiledSnapshot> snapshot;
    SectionCompileResult result;
    bool overtaken = false;   // stopped part-way because a newer request came: nothing to use
};

// The whole state, compiled. A bank abandoned because the generation moved may hold fewer
// sections than the state; such a bank is never published. A bank that is not complete holds
// stand-ins for the sections whose compile was put off: it is published so that the sections
// heard first play at once, and the complete bank follows.
struct CompiledSectionBank
{
    std::shared_ptr<const CompiledSnapshot> working;                // null only in an empty bank
    std::vector<std::shared_ptr<const CompiledSnapshot>> sections;  // one per section, in order
    SectionCompileResult workingResult;
    std::vector<SectionCompileResult> sectionResults;               // parallel to sections
    juce::uint64 generation = 0;
    bool complete = true;
};

// A progression text compiled for the chord editor's draft; never published.
struct ProgressionPreview
{
    std::vector<ChordEvent> chords;
    std::vector<std::array<NoteList, 3>> layerNotes;   // per chord: Bass, Body, Shimmer
};
