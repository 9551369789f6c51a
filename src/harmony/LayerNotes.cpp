#include "harmony/ProgressionCompiler.h"

#include "harmony/ChordVocabulary.h"

#include <algorithm>
#include <stdexcept>

namespace
{
int pitchClassOf (long long note)
{
    return (int) (((note % 12) + 12) % 12);
}

bool hasPitchClassOffset (const std::vector<int>& offsets, int rootPitchClass, int pitchClass)
{
    return std::any_of (offsets.begin(), offsets.end(),
                        [&] (int t) { return pitchClassOf ((long long) rootPitchClass + t) == pitchClass; });
}
} // namespace

std::vector<int> ProgressionCompiler::renderLayerNotes (const ChordEvent& event, int layer, int octave,
                                                        bool bassAddFifth, bool bodyAddRoot, bool bodyAddFifth,
                                                        bool shimmerColorNotes, bool bodyWithShimmer)
{
    if (! event.resolved || layer < bassLayer || layer > shimmerLayer)
        return {};

    octave = clampOctave (octave);

    int rootClass = 0;
    try
    {
        rootClass = noteNameToMidi (event.root, 0) % 12;
    }
    catch (const std::exception&)
    {
        return {};
    }

    const auto analysis = analyseChord (event, octave, bodyWithShimmer);
    std::vector<long long> notes;

    if (layer == bassLayer)
    {
        // The root at the layer's octave, unless a slash bass names another note. A slash bass
        // that is no note name (C/E7) plays the root, matching the compile, which keeps such a
        // chord voiced but gives it no bass note.
        std::optional<long long> b;

        if (event.bass.isNotEmpty())
        {
            try
            {
                b = noteNameToMidi (event.bass, octave);
            }
            catch (const std::exception&)
            {
                b.reset();
            }
        }

        if (! b.has_value())
            b = analysis.valid ? analysis.rootMidi : noteNameToMidi (event.root, octave);

        if (*b >= 0 && *b <= 127)
        {
            notes.push_back (*b);

            if (bassAddFifth)
            {
                const auto fifth = analysis.valid ? analysis.fifthInterval : getFifthInterval (event, rootClass);
                notes.push_back (*b + fifth);
            }
        }
    }
    else if (analysis.valid && ! event.voicing.empty())
    {
        const auto rootPc = analysis.rootPitchClass;

        if (layer == bodyLayer)
        {
            const auto fifthPc = pitchClassOf ((long long) rootPc + analysis.fifthInterval);

            for (auto n : event.voicing)
            {
                const auto pc = pitchClassOf (n);

                if (! bodyAddRoot && pc == rootPc)
                    continue;
                if (! bodyAddFifth && pc == fifthPc)
                    continue;
                if (hasPitchClassOffset (analysis.bodyTones, rootPc, pc))
                    notes.push_back (n);
            }
        }
        else if (! shimmerColorNotes)
        {
            notes.push_back (*std::max_element (event.voicing.begin(), event.voicing.end()));
        }
        else
        {
            for (auto n : event.voicing)
                if (hasPitchClassOffset (analysis.shimmerTones, rootPc, pitchClassOf (n)))
                    notes.push_back (n);

            if (notes.empty())
                notes.push_back ((long long) analysis.rootMidi + 2);
        }
    }

    std::vector<int> result;
    for (auto n : notes)
        if (n >= 0 && n <= 127)
            result.push_back ((int) n);

    std::sort (result.begin(), result.end());
    result.erase (std::unique (result.begin(), result.end()), result.end());
    return result;
}
