#include "compile/SectionCompile.h"

#include "harmony/ChordVocabulary.h"
#include "harmony/ProgressionCompiler.h"
#include "harmony/VoicingStyle.h"
#include "compile/BodyVoicing.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <optional>

namespace
{
// The shimmer's top note and colours are first placed in two octaves from the anchor.
constexpr int shimmerPlacementSpan = 24;

bool isSeventhClass (int pitchClass) { return pitchClass == 10 || pitchClass == 11; }

struct ColourKind
{
    bool seventh = false;   // some colour interval is a seventh
    bool extended = false;  // some colour interval of an octave or more is not a seventh
};

ColourKind colourKindOf (const NoteList& intervals)
{
    ColourKind kind;
    for (auto iv : intervals)
    {
        const auto pitchClass = pitchClassOf (iv);
        kind.seventh = kind.seventh || isSeventhClass (pitchClass);
        kind.extended = kind.extended || (iv >= 12 && ! isSeventhClass (pitchClass));
    }
    return kind;
}

double meanOf (const NoteList& notes)
{
    return notes.empty() ? 0.0 : std::accumulate (notes.begin(), notes.end(), 0.0) / (double) notes.size();
}

// A note name's MIDI note, or nothing when it is no note name.
std::optional<int> midiOf (const juce::String& name, int octave)
{
    try
    {
        return noteNameToMidi (name, ProgressionCompiler::clampOctave (octave));
    }
    catch (const std::exception&)
    {
        return std::nullopt;
    }
}

// Octave offsets: whole octaves, clamped at the ends of the MIDI range rather than dropped.
// Wide arithmetic so that an absurd stored offset cannot overflow.
NoteList shiftByOctaves (NoteList notes, juce::int64 octaves)
{
    if (octaves != 0)
        for (auto& n : notes)
            n = (int) juce::jlimit ((juce::int64) 0, (juce::int64) 127, (juce::int64) n + 12 * octaves);

    return notes;
}

NoteList concatenate (const NoteList& a, const NoteList& b, const NoteList& c)
{
    NoteList all;
    all.reserve (a.size() + b.size() + c.size());
    all.insert (all.end(), a.begin(), a.end());
    all.insert (all.end(), b.begin(), b.end());
    all.insert (all.end(), c.begin(), c.end());
    return all;
}

void rebuildAllNotes (CompiledChordSlot& slot)
{
    slot.allNotes = normaliseNotes (concatenate (slot.bassNotes, slot.bodyNotes, slot.shimmerNotes));
}

int rankForShimmerTop (int noteClass, int rootClass, ColourKind kind)
{
    const auto h = pitchClassOf (noteClass - rootClass);
    const bool third = h == 3 || h == 4;
    const bool fifth = h == 6 || h == 7 || h == 8;
    const bool root = h == 0;

    if (kind.seventh)
        return third ? 0 : fifth ? 1 : root ? 2 : -1;
    if (kind.extended)
        return fifth ? 0 : third ? 1 : root ? 2 : -1;
    return -1;
}
} // namespace

NoteList lowerSeventhColors (const NoteList& colours, const NoteList& intervals, int rootClass, int low, int span)
{
    auto result = colours;
    const auto kind = colourKindOf (intervals);

    if (kind.seventh && ! kind.extended)
        for (auto& n : result)
            if (isSeventhClass (pitchClassOf (n - rootClass)) && n - 12 >= 0 && isInWindow (n - 12, low, span))
                n -= 12;

    return normaliseNotes (std::move (result));
}

int chooseShimmerTopNote (const ChordEvent& event, const NoteList& sh, const NoteList& col, const NoteList& iv)
{
    if (! event.resolved || event.voicing.empty() || col.empty())
        return -1;

    std::array<bool, 12> colourClass {};
    for (auto n : col)
        colourClass[(size_t) pitchClassOf (n)] = true;

    const auto kind = colourKindOf (iv);
    const bool above = kind.seventh && ! kind.extended;

    const auto rootMidi = midiOf (event.root, 0);
    if (! rootMidi)
        return -1;
    const auto rootClass = pitchClassOf (*rootMidi);

    const auto s = normaliseNotes (sh);
    const auto c = normaliseNotes (col);
    if (c.empty())
        return -1;

    const auto lo = c.front();
    const auto hi = c.back();
    const auto centre = s.empty() ? meanOf (event.voicing) : meanOf (s);

    for (int rank = 0; rank <= 2; ++rank)
    {
        std::optional<int> best;
        auto bestCost = std::numeric_limits<double>::infinity();

        for (auto x : event.voicing)
        {
            if (colourClass[(size_t) pitchClassOf (x)] || rankForShimmerTop (pitchClassOf (x), rootClass, kind) != rank)
                continue;

            for (int j = -3; j <= 3; ++j)
            {
                const auto note = x + 12 * j;
                if (note < 0 || note > 127 || std::binary_search (s.begin(), s.end(), note))
                    continue;

                auto cost = 0.25 * std::abs (j) + std::abs (note - centre);

                if (above)
                    cost += note > lo ? 0.25 * (note - lo) : 10.0 * (lo - note + 1);
                else
                    cost += note < lo ? 0.25 * (lo - note) : 10.0 * (note - lo + 1);

                if (! s.empty())
                {
                    if (note < s.front() - 12)
                        cost += 2.0 * (s.front() - 12 - note);
                    if (note > s.back() + 12)
                        cost += 1.5 * (note - s.back() - 12);
                    if (note > hi + 12)
                        cost += 1.5 * (note - hi - 12);

                    auto nearest = std::numeric_limits<int>::max();
                    for (auto y : s)
                        nearest = std::min (nearest, std::abs (note - y));
                    if (nearest == 1)
                        cost += 12.0;
                    else if (nearest == 2)
                        cost += 4.0;
                }

                if (cost < bestCost)
                {
                    bestCost = cost;
                    best = note;
                }
            }
        }

        if (best)
            return *best;
    }

    return -1;
}

NoteList snapColorOctaves (const NoteList& sh, const NoteList& cv)
{
    if (sh.empty() || cv.empty())
        return sh;

    auto result = sh;
    for (auto a : cv)
    {
        const auto match = std::find_if (result.begin(), result.end(), [a] (int n) { return pitchClassOf (n) == pitchClassOf (a); });
        if (match != result.end())
            *match = a;
    }
    return normaliseNotes (std::move (result));
}

NoteList addBassOctaveBelow (NoteList bass, bool on)
{
    bass = normaliseNotes (std::move (bass));
    if (on && ! bass.empty() && bass.front() >= 12)
    {
        bass.push_back (bass.front() - 12);
        bass = normaliseNotes (std::move (bass));
    }
    return bass;
}

std::shared_ptr<const CompiledSnapshot> makeStandInSnapshot (const SectionMode::SectionData& section,
                                                             const juce::String& defaultDuration,
                                                             juce::uint64 generation)
{
    auto standIn = std::make_shared<CompiledSnapshot>();
    standIn->inputs = section;
    standIn->generation = generation;
    standIn->defaultDuration = defaultDuration;
    standIn->voiced = false;

    // The lengths come from the same reading of the text as in the compile; the unsearched
    // style makes it cheap.
    ProgressionCompiler compiler;
    standIn->totalBeats = ProgressionCompiler::getTotalLengthInBeats (
        compiler.compileProgression (section.progression, ProgressionCompiler::clampOctave (section.baseOctave), styleNone,
                                     defaultDuration, getSectionBassMotionIndex (section)));
    return standIn;
}

SectionCompileOutput compileSection (const SectionMode::SectionData& section,
                                     const juce::String& defaultDuration,
                                     juce::uint64 generation,
                                     std::shared_ptr<const CompiledSnapshot> previous,
                                     const std::function<bool()>& overtaken)
{
    // A compile that a newer request overtook stops at the next chord; its output is marked so
    // and never used.
    bool stop = false;
    const std::function<bool()> stopped = [&] { return stop || (stop = overtaken && overtaken()); };
    SectionCompileOutput abandoned;
    abandoned.overtaken = true;

    auto snapshot = std::make_shared<CompiledSnapshot>();
    snapshot->inputs = section;
    snapshot->generation = generation;
    snapshot->defaultDuration = defaultDuration;

    //==== values derived once ==================================================================
    const auto bodyStyle = getSectionBodyVoicingIndex (section);
    const auto shimmerStyle = getSectionShimmerVoicingIndex (section);
    const auto bassMotion = getSectionBassMotionIndex (section);
    const auto octave = ProgressionCompiler::clampOctave (section.baseOctave);

    const auto cBase = noteNameToMidi ("C", octave);
    const auto cLow = noteNameToMidi ("C", octave - 1);

    const auto rootKey = section.rootKey.trim();
    const auto rootBase = rootKey.isEmpty() ? -1 : midiOf (rootKey, octave).value_or (-1);
    const auto rootLow = rootKey.isEmpty() ? -1 : midiOf (rootKey, octave - 1).value_or (-1);

    const bool styledBody = bodyStyle == styleGuitarist || bodyStyle == stylePianist || bodyStyle == styleJazz;
    const bool bodyLeads = bodyStyle == styleSmooth || bodyStyle == styleBassist;
    const bool shimmerSearched = shimmerStyle >= styleSmooth;
    const auto bodyAnchor = bodyLeads ? cBase : -1;
    const auto bodySpan = bodyStyle == styleBassist ? 24 : 12;
    const auto shimmerAnchor = (shimmerStyle == styleNone || shimmerStyle == styleFirstInversion) ? -1 : cLow;
    const auto shimmerSpan = shimmerStyle == styleSmooth ? 36 : 24;

    //==== set-up: up to three progression compiles ==============================================
    ProgressionCompiler compiler;
    compiler.shouldStop = stopped;
    const auto chords = compiler.compileProgression (section.progression, octave, bodyStyle, defaultDuration, bassMotion);

    if (stopped())
        return abandoned;

    const auto messages = compiler.unrecognisedChords;
    snapshot->chords = chords;
    snapshot->totalBeats = ProgressionCompiler::getTotalLengthInBeats (chords);

    const bool valid = section.progression.trim().isEmpty()
                    || std::any_of (chords.begin(), chords.end(), [] (const ChordEvent& e) { return e.resolved; });

    ProgressionCompiler otherCompiler;
    otherCompiler.shouldStop = stopped;
    const auto smoothChords = bodyStyle == styleSmooth
                                  ? chords
                                  : otherCompiler.compileProgression (section.progression, octave, styleSmooth, defaultDuration, bassMotion);
    // The compile is deterministic, so a style already compiled is not compiled again.
    const auto shimmerChords = shimmerStyle == bodyStyle     ? chords
                             : shimmerStyle == styleSmooth ? smoothChords
                                                           : otherCompiler.compileProgression (section.progression, octave, shimmerStyle, defaultDuration, bassMotion);

    if (stopped())
        return abandoned;

    auto render = [&] (const ChordEvent& event, int layer)
    {
        return ProgressionCompiler::renderLayerNotes (event, layer, octave, section.arrangeBassAddFifth,
                                                      section.arrangeBodyAddRoot, section.arrangeBodyAddFifth,
                                                      false, section.arrangeBodyWithShimmer);
    };

    //==== per event ===========================================================================
    std::vector<NoteList> shimmerSequence, colourSequence;
    shimmerSequence.reserve (chords.size());
    colourSequence.reserve (chords.size());

    NoteList previousBody;
    std::optional<size_t> firstChord, secondChord;
    NoteList firstChordBody;

    auto& slots = snapshot->slots;
    slots.reserve (chords.size());

    for (size_t i = 0; i < chords.size(); ++i)
    {
        if (stopped())
            return abandoned;

        const auto& e = chords[i];
        const auto& s = i < smoothChords.size() ? smoothChords[i] : e;
        const auto& h = i < shimmerChords.size() ? shimmerChords[i] : e;

        // 1. Bass, in the octave from C base up; it does not follow the previous chord.
        const auto bass = placeNotesFromAnchor (render (s, ProgressionCompiler::bassLayer), cBase);

        // 2. Body as the style compile voiced it; every style but the styled ones is anchored.
        auto body = normaliseNotes (render (e, ProgressionCompiler::bodyLayer));
        if (! styledBody)
            body = placeNotesFromAnchor (body, bodyAnchor);

        // 3. Top note of the shimmer.
        const auto top = section.arrangeShimmerTopNoteEnabled
                             ? foldNotesIntoWindow (render (h, ProgressionCompiler::shimmerLayer), shimmerAnchor, shimmerPlacementSpan)
                             : NoteList {};

        // 4. Colours.
        const auto colourOctave = octave - 1;
        const auto intervals = ProgressionCompiler::getChordColorIntervals (h, colourOctave);
        const auto rootClass = pitchClassOf (midiOf (h.root, 0).value_or (0));
        const auto colours = lowerSeventhColors (ProgressionCompiler::getChordColorNotes (h, colourOctave),
                                                 intervals, rootClass, shimmerAnchor, shimmerPlacementSpan);
        const auto bodyColours = ProgressionCompiler::getChordColorNotes (e, colourOctave);
        const bool useColours = section.arrangeShimmerColorNotesEnabled && ! colours.empty();
        const bool bodyTakesColours = ! styledBody && section.arrangeBodyWithShimmer && ! bodyColours.empty();

        // 5. Shimmer notes.
        NoteList shimmer;
        if (section.arrangeShimmerTopNoteEnabled && useColours)
        {
            shimmer = colours;
            const auto q = chooseShimmerTopNote (h, colours, colours, intervals);
            if (q >= 0)
                shimmer.push_back (q);
            else
                shimmer.insert (shimmer.end(), top.begin(), top.end());
        }
        else if (section.arrangeShimmerTopNoteEnabled)
        {
            shimmer = top;
        }
        else if (useColours)
        {
            shimmer = colours;
        }
        shimmer = foldNotesIntoWindow (shimmer, shimmerAnchor, shimmerPlacementSpan);

        // 6. Colours into the body.
        if (bodyTakesColours)
            body = placeNotesFromAnchor (addColorsToBody (body, bodyColours), bodyAnchor);

        // 7. Lines for the shimmer pass.
        shimmerSequence.push_back (shimmer);
        colourSequence.push_back (useColours ? colours : NoteList {});

        // 8. The first two chords with a body, for the first-chord revision.
        if (e.resolved && ! body.empty())
        {
            if (! firstChord)
            {
                firstChord = i;
                firstChordBody = body;
            }
            else if (! secondChord)
            {
                secondChord = i;
            }
        }

        // 9. Body refinement with the previous chord's body in view.
        if (bodyLeads)
            body = normaliseNotes (searchBodyVoicing (body, previousBody, bodyStyle, rootBase, bodyAnchor, bodySpan));
        if (! styledBody)
            body = declutterVoicing (body, previousBody, bodyAnchor, bodySpan, rootBase);

        // 10.-12. The slot.
        CompiledChordSlot slot;
        slot.event = e;
        slot.bassNotes = shiftByOctaves (addBassOctaveBelow (bass, section.arrangeBassAddOctave), section.bassOctave);
        slot.bodyNotes = shiftByOctaves (body, section.bodyOctave);
        slot.shimmerNotes = shiftByOctaves (shimmer, section.shimmerOctave);
        rebuildAllNotes (slot);
        slots.push_back (std::move (slot));

        previousBody = std::move (body);
    }

    //==== first-chord revision: the first body had nothing before it; revise it against the second
    if (bodyLeads && firstChord && secondChord)
    {
        const auto next = shiftByOctaves (slots[*secondChord].bodyNotes, -(juce::int64) section.bodyOctave);
        const auto revised = declutterVoicing (normaliseNotes (searchBodyVoicing (firstChordBody, next, bodyStyle, rootBase, bodyAnchor, bodySpan)),
                                               next, bodyAnchor, bodySpan, rootBase);
        auto& first = slots[*firstChord];
        first.bodyNotes = shiftByOctaves (revised, section.bodyOctave);
        rebuildAllNotes (first);
    }

    //==== shimmer pass: the whole section's shimmer as one voice-led line ========================
    if (shimmerSearched && ! chords.empty())
    {
        const auto line = searchVoicingSequence (shimmerSequence, shimmerStyle, rootLow, shimmerAnchor, shimmerSpan, stopped);
        const auto colourLine = searchVoicingSequence (colourSequence, shimmerStyle, rootLow, shimmerAnchor, shimmerSpan, stopped);

        if (stopped())
            return abandoned;

        for (size_t i = 0; i < std::min (line.size(), slots.size()); ++i)
        {
            auto shimmer = line[i];
            if (i < colourLine.size())
                shimmer = snapColorOctaves (shimmer, colourLine[i]);

            slots[i].shimmerNotes = shiftByOctaves (shimmer, section.shimmerOctave);
            rebuildAllNotes (slots[i]);
        }
    }

    //==== status ===============================================================================
    SectionCompileResult result;
    result.status = messages.isEmpty() ? SectionCompileResult::clean : SectionCompileResult::withMessages;
    result.messages = messages;

    if (! valid)
    {
        // Nothing playable: keep playing the last good result rather than silence.
        if (previous != nullptr)
        {
            result.status = SectionCompileResult::keptPrevious;
            return { std::move (previous), result };
        }
        result.status = SectionCompileResult::withMessages;
    }

    return { std::move (snapshot), result };
}
