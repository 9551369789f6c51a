#include "mood/MoodGenerator.h"

#include "harmony/ChordVocabulary.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr int maxChordsPerProgression = 64;
constexpr int optionFifthOfFifth = 1;
constexpr int optionTritoneSub = 2;
constexpr int optionChromaticMediant = 3;

// Qualities an option chord may take when the mood's palettes offer them.
const std::vector<const char*>& dominantQualities()
{
    static const std::vector<const char*> list { "7", "9", "13", "7sus4", "9sus4", "13sus4", "7#11",
                                                 "9#11", "7b9", "13b9", "7#5", "9#5", "7alt", "7b13" };
    return list;
}

const std::vector<const char*>& colourQualities()
{
    static const std::vector<const char*> list { "maj7", "maj9", "maj13", "m7", "m9", "m11", "aug",
                                                 "maj7#5", "maj9#5", "maj13(#5)", "mM7", "m(maj7)", "m(maj9)", "6" };
    return list;
}

const char* optionTag (int code)
{
    switch (code)
    {
        case optionFifthOfFifth:     return "{V/V}";
        case optionTritoneSub:       return "{TT}";
        case optionChromaticMediant: return "{CM}";
        default:                     return "";
    }
}

// Degree d folded into 0 .. n-1 (0 when the scale has no degrees).
int wrapDegree (int degree, int n)
{
    return n > 0 ? ((degree % n) + n) % n : 0;
}

bool contains (const std::vector<int>& list, int value)
{
    return std::find (list.begin(), list.end(), value) != list.end();
}

// A note name upper-cased and with its flat (and, for pitchClassOf, enharmonic) spellings
// replaced by the sharp name; index among the twelve names, 0 when not one of them.
int indexOfFoldedName (const juce::String& name, const std::vector<std::pair<const char*, const char*>>& spellings)
{
    auto upper = name.toUpperCase();
    for (const auto& [written, sharp] : spellings)
        if (upper == written)
        {
            upper = sharp;
            break;
        }

    return juce::jmax (0, noteNames().indexOf (upper));
}
} // namespace

//==============================================================================
MoodGenerator::MoodGenerator()
{
    std::random_device device;
    rng.seed (device());
    buildMoodTable();
}

MoodGenerator::MoodGenerator (std::uint32_t seed)
    : rng (seed)
{
    buildMoodTable();
}

const MoodProfile* MoodGenerator::findMood (const juce::String& name) const
{
    const auto found = moods.find (name);
    return found != moods.end() ? &found->second : nullptr;
}

std::vector<int> MoodGenerator::getAllowedDegrees (const MoodProfile& profile)
{
    const auto n = (int) profile.scaleIntervals.size();
    std::vector<int> result;

    for (auto degree : profile.allowedDegrees)
        if (degree >= 0 && degree < n && ! contains (result, degree))
            result.push_back (degree);

    if (result.empty())
        for (int degree = 0; degree < n; ++degree)
            result.push_back (degree);

    return result;
}

juce::String MoodGenerator::getMoodDescription (const juce::String& mood) const
{
    const auto* profile = findMood (mood);
    return profile != nullptr ? profile->description : juce::String();
}

int MoodGenerator::getDefaultBars (const juce::String& mood) const
{
    const auto* profile = findMood (mood);
    if (profile == nullptr || profile->rhythms.empty())
        return 16;

    double sum = 0.0;
    for (const auto& rhythm : profile->rhythms)
        sum += rhythm.getDoubleValue();
    const auto target = sum / (double) profile->rhythms.size() * 8.0;

    int best = 16;
    for (int candidate : { 4, 8, 12, 16, 24, 32, 48, 64 })
        if (std::abs (candidate - target) < std::abs (best - target))
            best = candidate;

    return best;
}

//==============================================================================
int MoodGenerator::drawIndex (size_t n)
{
    jassert (n > 0);
    return (int) std::uniform_int_distribution<size_t> (0, n - 1) (rng);
}

float MoodGenerator::drawUnit()
{
    return (float) (rng() >> 8) * (1.0f / 16777216.0f);
}

//==============================================================================
juce::String MoodGenerator::degreeNoteName (const juce::String& key, const std::vector<int>& scaleIntervals, int degree)
{
    static const std::vector<std::pair<const char*, const char*>> flats {
        { "DB", "C#" }, { "EB", "D#" }, { "GB", "F#" }, { "AB", "G#" }, { "BB", "A#" },
    };

    const auto k = indexOfFoldedName (key, flats);
    const auto n = (int) scaleIntervals.size();
    if (n == 0)
        return noteNameOf (k);

    return noteNameOf (k + scaleIntervals[(size_t) wrapDegree (degree, n)]);
}

int MoodGenerator::pitchClassOf (const juce::String& noteName)
{
    static const std::vector<std::pair<const char*, const char*>> spellings {
        { "DB", "C#" }, { "EB", "D#" }, { "FB", "E" }, { "GB", "F#" }, { "AB", "G#" },
        { "BB", "A#" }, { "CB", "B" },  { "E#", "F" }, { "B#", "C" },
    };

    return indexOfFoldedName (noteName, spellings);
}

juce::String MoodGenerator::noteNameOf (int pitchClass)
{
    return noteNames()[((pitchClass % 12) + 12) % 12];
}

juce::String MoodGenerator::formatBarLength (double bars)
{
    const auto whole = std::trunc (bars);
    if (std::abs (bars - whole) < 0.001)
        return juce::String ((juce::int64) whole);

    for (const auto* text : { "0.25", "0.5", "0.75", "1.5" })
        if (std::abs (bars - juce::String (text).getDoubleValue()) < 0.001)
            return text;

    auto text = juce::String (bars, 2);
    if (text.containsChar ('.'))
        text = text.trimCharactersAtEnd ("0").trimCharactersAtEnd (".");
    return text;
}

//==============================================================================
std::vector<int> MoodGenerator::makeOptionQueue (MoodGenerationOptions options)
{
    std::vector<int> queue;
    if (options.fifthOfFifth)
        queue.push_back (optionFifthOfFifth);
    if (options.tritoneSub)
        queue.push_back (optionTritoneSub);
    if (options.chromaticMediant)
        queue.push_back (optionChromaticMediant);
    return queue;
}

int MoodGenerator::rollHarmonicOption (MoodGenerationOptions options)
{
    struct Candidate
    {
        int code;
        float weight;
    };

    std::vector<Candidate> candidates;
    if (options.fifthOfFifth)
        candidates.push_back ({ optionFifthOfFifth, 0.6f });
    if (options.tritoneSub)
        candidates.push_back ({ optionTritoneSub, 0.25f });
    if (options.chromaticMediant)
        candidates.push_back ({ optionChromaticMediant, 0.15f });

    if (candidates.empty())
        return 0;

    if (drawUnit() >= 0.06f)
        return 0;

    float total = 0.0f;
    for (const auto& candidate : candidates)
        total += candidate.weight;

    auto left = drawUnit() * total;
    for (const auto& candidate : candidates)
    {
        if (candidate.weight >= left)
            return candidate.code;
        left -= candidate.weight;
    }

    return candidates.back().code;
}

juce::String MoodGenerator::pickOptionQuality (const MoodProfile& profile, const std::vector<const char*>& list,
                                               const juce::String& fallback)
{
    std::vector<juce::String> collected;
    for (const auto& [degree, palette] : profile.qualityPalettes)
        for (const auto& quality : palette)
            if (std::any_of (list.begin(), list.end(), [&quality] (const char* q) { return quality == q; })
                && std::find (collected.begin(), collected.end(), quality) == collected.end())
                collected.push_back (quality);

    if (collected.empty())
        return fallback;

    return collected[(size_t) drawIndex (collected.size())];
}

MoodGenerator::RootAndQuality MoodGenerator::makeOptionChord (int code, const MoodProfile& profile,
                                                              const juce::String& key, const juce::String& previousRoot)
{
    const auto k = pitchClassOf (key);

    if (code == optionFifthOfFifth || code == optionTritoneSub)
    {
        auto root = noteNameOf (k + (code == optionFifthOfFifth ? 2 : 1));
        return { root, pickOptionQuality (profile, dominantQualities(), "7") };
    }

    const std::vector<int> allOffsets { 3, 4, 8, 9 };
    auto offsets = allOffsets;
    if (previousRoot.isNotEmpty())
    {
        const auto previous = pitchClassOf (previousRoot);
        offsets.erase (std::remove_if (offsets.begin(), offsets.end(),
                                       [k, previous] (int o) { return (k + o) % 12 == previous; }),
                       offsets.end());
        if (offsets.empty())
            offsets = allOffsets;
    }

    const auto offset = offsets[(size_t) drawIndex (offsets.size())];
    auto root = noteNameOf (k + offset);
    return { root, pickOptionQuality (profile, colourQualities(), "maj7") };
}

int MoodGenerator::chooseNextDegree (const MoodProfile& profile, int degree, const std::vector<int>& recentDegrees)
{
    const auto n = (int) profile.scaleIntervals.size();
    const auto allowed = getAllowedDegrees (profile);

    std::vector<int> listed;
    const auto transitions = profile.transitions.find (degree);
    if (transitions != profile.transitions.end() && ! transitions->second.empty())
        listed = transitions->second;
    else
        for (int d = 0; d < n; ++d)
            if (d != degree)
                listed.push_back (d);

    std::vector<int> candidates;
    for (auto c : listed)
        if (contains (allowed, wrapDegree (c, n)))
            candidates.push_back (c);

    if (candidates.empty())
        for (auto d : allowed)
            if (d != degree)
                candidates.push_back (d);

    std::vector<int> lastTwo (recentDegrees.end() - std::min<std::ptrdiff_t> (2, (std::ptrdiff_t) recentDegrees.size()),
                              recentDegrees.end());
    std::vector<int> fresh;
    for (auto c : candidates)
        if (! contains (lastTwo, c))
            fresh.push_back (c);
    if (! fresh.empty())
        candidates = fresh;

    // A transition target outside the weights (a negative one too) weighs 0.5.
    auto weightOf = [&profile] (int c)
    {
        return c >= 0 && c < (int) profile.degreeWeights.size() ? profile.degreeWeights[(size_t) c] : 0.5f;
    };

    float total = 0.0f;
    for (auto c : candidates)
        total += weightOf (c);
    if (total <= 0.0f)
        total = 1.0f;

    const auto target = drawUnit() * total;
    float sum = 0.0f;
    for (auto c : candidates)
    {
        sum += weightOf (c);
        if (sum >= target)
            return c;
    }

    return candidates.empty() ? 0 : candidates.back();
}

//==============================================================================
juce::String MoodGenerator::generateProgression (const juce::String& mood, const juce::String& key,
                                                 int bars, MoodGenerationOptions options)
{
    const auto* profile = findMood (mood);
    if (profile == nullptr)
        profile = findMood ("Space");
    if (profile == nullptr)
        return "C:4";

    const auto n = (int) profile->scaleIntervals.size();
    juce::StringArray tokens;
    std::vector<int> recentDegrees;
    juce::String previousRoot;
    auto optionQueue = makeOptionQueue (options);

    const std::vector<int>* degreeTemplate = nullptr;
    if (! profile->templates.empty())
        degreeTemplate = &profile->templates[(size_t) drawIndex (profile->templates.size())];
    const bool templateDrives = degreeTemplate != nullptr && ! degreeTemplate->empty();
    size_t templatePosition = 0;
    int degree = 0;

    if (bars <= 0)
        return {};

    const auto total = (double) bars;
    const auto cap = total * 0.25;
    double running = 0.0;

    while (tokens.size() < maxChordsPerProgression)
    {
        if (templateDrives)
            degree = wrapDegree ((*degreeTemplate)[templatePosition % degreeTemplate->size()], n);

        auto root = degreeNoteName (key, profile->scaleIntervals, degree);

        juce::String quality;
        const auto palette = profile->qualityPalettes.find (degree);
        if (palette != profile->qualityPalettes.end() && ! palette->second.empty())
            quality = palette->second[(size_t) drawIndex (palette->second.size())];

        int option = 0;
        if (! tokens.isEmpty())
        {
            if (! optionQueue.empty())
            {
                option = optionQueue.front();
                optionQueue.erase (optionQueue.begin());
            }
            else
            {
                option = rollHarmonicOption (options);
            }
        }

        if (option != 0)
        {
            auto chord = makeOptionChord (option, *profile, key, previousRoot);
            root = chord.root;
            quality = chord.quality;
        }

        juce::String lengthText ("2");
        if (! profile->rhythms.empty())
            lengthText = profile->rhythms[(size_t) drawIndex (profile->rhythms.size())];
        auto length = lengthText.getDoubleValue();

        if (length > cap)
        {
            length = cap;
            lengthText = formatBarLength (cap);
        }

        const auto remaining = total - running;
        if (length > remaining)
        {
            if (remaining < 0.25)
                break;
            length = remaining;
            lengthText = formatBarLength (remaining);
        }

        juce::String slash;
        const auto choices = profile->slashBasses.find (degree);
        if (option == 0 && options.slashChords && choices != profile->slashBasses.end() && ! choices->second.empty())
        {
            auto left = drawUnit();
            for (const auto& choice : choices->second)
            {
                if (choice.probability > left)
                {
                    const auto bass = degreeNoteName (key, profile->scaleIntervals, choice.bassDegree);
                    if (bass != root)
                        slash = "/" + bass;
                    break;
                }
                left -= choice.probability;
            }
        }

        tokens.add (root + quality + slash + optionTag (option) + ":" + lengthText);

        previousRoot = root;
        running += length;
        recentDegrees.push_back (degree);
        if (recentDegrees.size() > 3)
            recentDegrees.erase (recentDegrees.begin());

        if (running >= total)
            break;

        if (templateDrives)
            ++templatePosition;
        else
            degree = chooseNextDegree (*profile, degree, recentDegrees);
    }

    return tokens.joinIntoString (" ");
}

SectionMode::SectionData MoodGenerator::generateSection (const juce::String& mood, const juce::String& key,
                                                         int bars, MoodGenerationOptions options)
{
    const auto* named = findMood (mood);
    const auto* profile = named != nullptr ? named : findMood ("Space");
    if (profile == nullptr)
        return {};

    SectionMode::SectionData section;
    section.name = mood;
    section.progression = generateProgression (mood, key, bars, options);

    const auto& styles = voicingStyleNames();
    const auto voicing = juce::isPositiveAndBelow (profile->voicingStyle, styles.size()) ? styles[profile->voicingStyle]
                                                                                         : juce::String ("Bassist");
    section.voicing = voicing;
    section.bassVoicing = voicing;
    section.bodyVoicing = voicing;
    section.shimmerVoicing = voicing;

    section.baseOctave = 3;
    section.scale = profile->scaleName;
    section.rootKey = key;
    section.suggestedBpm = named != nullptr ? juce::String (named->bpmMin) + "-" + juce::String (named->bpmMax) + " BPM"
                                            : juce::String ("70-90 BPM");

    applyArrangementDefaults (mood, section);

    // Clamped before and after the shift, in 64 bits so that no octave can overflow.
    const auto shift = (juce::int64) profile->octave - 3;
    for (auto* octave : { &section.bassOctave, &section.bodyOctave, &section.shimmerOctave })
        *octave = (int) juce::jlimit<juce::int64> (-4, 4, juce::jlimit (-4, 4, *octave) + shift);

    return section;
}

//==============================================================================
std::vector<MoodChordSuggestion> MoodGenerator::suggestNextChords (const juce::String& mood, int previousDegree,
                                                                   int targetDegree, const std::vector<int>& recentDegrees,
                                                                   int degreeCount, int maxCount) const
{
    const auto* profile = findMood (mood);
    if (profile == nullptr || degreeCount <= 0 || maxCount <= 0 || degreeCount != (int) profile->scaleIntervals.size())
        return {};

    auto positionIn = [] (const std::map<int, std::vector<int>>& lists, int from, int value) -> int
    {
        const auto list = lists.find (from);
        if (list == lists.end())
            return -1;
        const auto found = std::find (list->second.begin(), list->second.end(), value);
        return found != list->second.end() ? (int) (found - list->second.begin()) : -1;
    };

    std::vector<MoodChordSuggestion> suggestions;
    for (auto d : getAllowedDegrees (*profile))
    {
        float score = d < (int) profile->degreeWeights.size() ? profile->degreeWeights[(size_t) d] * 10.0f : 5.0f;

        if (previousDegree >= 0)
        {
            const auto p = positionIn (profile->transitions, previousDegree, d);
            if (p >= 0)
                score += 100.0f - 8.0f * (float) p;
            if (d == previousDegree)
                score -= 60.0f;
        }

        if (targetDegree >= 0)
        {
            const auto p = positionIn (profile->transitions, d, targetDegree);
            if (p >= 0)
                score += 60.0f - 5.0f * (float) p;
        }

        const auto recent = recentDegrees.size();
        if (recent >= 1 && d == recentDegrees[recent - 1])
            score -= 24.0f;
        if (recent >= 2 && d == recentDegrees[recent - 2])
            score -= 12.0f;

        juce::String quality;
        const auto palette = profile->qualityPalettes.find (d);
        if (palette != profile->qualityPalettes.end() && ! palette->second.empty())
            quality = palette->second.front();

        suggestions.push_back ({ d, quality, score });
    }

    std::stable_sort (suggestions.begin(), suggestions.end(), [] (const MoodChordSuggestion& a, const MoodChordSuggestion& b)
    {
        return a.score > b.score || (a.score == b.score && a.degree < b.degree);
    });

    if ((int) suggestions.size() > maxCount)
        suggestions.resize ((size_t) maxCount);

    return suggestions;
}
