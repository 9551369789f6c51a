// The mood table: sixteen moods, as constant data that every MoodGenerator copies into its own
// profiles when it is constructed. Each table below holds one line per mood, in the same order
// (the order of the panel's mood list), so that a line can be checked against its design row;
// buildMoodTable checks that every table names the same mood on the same line.
#include "mood/MoodGenerator.h"

#include <optional>

namespace
{
using Names = std::vector<const char*>;
using Degrees = std::vector<int>;

//==============================================================================
// Scale, tempo, voicing style (index: 2 "Smooth", 4 "Pianist", 5 "Bassist", 6 "Jazz"), octave,
// keys and chord lengths.
struct ScaleRow
{
    const char* name;
    const char* scaleName;
    Degrees scaleIntervals;
    int bpmMin;
    int bpmMax;
    int voicingStyle;
    int octave;
    Names keys;
    Names rhythms;
};

const std::vector<ScaleRow>& scaleRows()
{
    static const std::vector<ScaleRow> rows {
        { "Space",  "Lydian",         { 0, 2, 4, 6, 7, 9, 11 }, 60,  80,  5, 3, { "C", "F", "G", "D#" },   { "4", "4", "2", "8" } },
        { "Forest", "Dorian",         { 0, 2, 3, 5, 7, 9, 10 }, 70,  95,  2, 3, { "D", "A", "E", "G" },    { "2", "2", "4", "1" } },
        { "Water",  "Mixolydian",     { 0, 2, 4, 5, 7, 9, 10 }, 75,  100, 6, 3, { "A#", "D#", "G#", "C" }, { "2", "2", "1", "4" } },
        { "Desert", "Phrygian",       { 0, 1, 3, 5, 7, 8, 10 }, 50,  70,  4, 3, { "E", "B", "F#", "A" },   { "4", "4", "8", "2" } },
        { "Night",  "Minor",          { 0, 2, 3, 5, 7, 8, 10 }, 55,  75,  5, 2, { "A", "D", "E", "G" },    { "4", "4", "2", "8" } },
        { "Aurora", "Major",          { 0, 2, 4, 5, 7, 9, 11 }, 85,  110, 2, 4, { "D", "A", "E", "F#" },   { "2", "2", "1", "4" } },
        { "Tribal", "Pent. Minor",    { 0, 3, 5, 7, 10 },       90,  120, 4, 2, { "A", "E", "D", "G" },    { "1", "2", "1", "2" } },
        { "Meadow", "Pent. Major",    { 0, 2, 4, 7, 9 },        75,  100, 2, 4, { "G", "C", "D", "F" },    { "2", "2", "4", "1" } },
        { "Fog",    "Hirajoshi",      { 0, 2, 3, 7, 8 },        45,  65,  5, 2, { "F#", "B", "D#", "A#" }, { "4", "8", "4", "8" } },
        { "Smoke",  "Blues",          { 0, 3, 5, 6, 7, 10 },    60,  85,  6, 3, { "E", "A", "G", "A#" },   { "2", "2", "4", "1" } },
        { "Sands",  "Egyptian",       { 0, 2, 5, 7, 10 },       55,  80,  4, 3, { "D", "E", "A", "B" },    { "4", "2", "4", "2" } },
        { "Velvet", "Melodic Min.",   { 0, 2, 3, 5, 7, 9, 11 }, 118, 128, 6, 3, { "C", "F", "D#", "G#" },  { "1", "2", "1", "2" } },
        { "Noir",   "Lydian Dom.",    { 0, 2, 4, 6, 7, 9, 10 }, 50,  70,  5, 3, { "D", "A#", "D#", "G" },  { "4", "8", "4", "8" } },
        { "Rust",   "Locrian",        { 0, 1, 3, 5, 6, 8, 10 }, 55,  80,  5, 2, { "B", "F#", "C#", "F" },  { "4", "8", "4", "8" } },
        { "Glass",  "Whole Tone",     { 0, 2, 4, 6, 8, 10 },    55,  75,  5, 4, { "C", "D", "F#", "G#" },  { "8", "4", "8", "4" } },
        { "Ember",  "Hungarian Min.", { 0, 2, 3, 6, 7, 8, 11 }, 65,  90,  2, 3, { "C", "A", "D", "F#" },   { "4", "4", "2", "8" } },
    };
    return rows;
}

//==============================================================================
// Descriptions.
struct DescriptionRow
{
    const char* name;
    const char* description;
};

const std::vector<DescriptionRow>& descriptionRows()
{
    static const std::vector<DescriptionRow> rows {
        { "Space",  "Think cosmic ambient: weightless pads, suspended Lydian glow, wide-open arcs." },
        { "Forest", "Think Botanica: moss, filtered sunlight, organic Dorian movement, grounded voicings." },
        { "Water",  "Think liquid downtempo: ripples, suspended dominant colors, flowing cadences." },
        { "Desert", "Think ancient desert film cue: sparse Phrygian tension, heat, drones." },
        { "Night",  "Think nocturnal introspection: low minor colors, slow shadows, melancholic pull." },
        { "Aurora", "Think sunrise lift: bright major glow, lifted voicings, hopeful motion." },
        { "Tribal", "Think ritual pulse: raw pentatonic minor, implied drums, hypnotic loops." },
        { "Meadow", "Think pastoral folk: open air, major-pentatonic warmth, acoustic calm." },
        { "Fog",    "Think haunted minimalism: half-seen shapes, Hirajoshi unease, slow suspense." },
        { "Smoke",  "Think late-night club: blue notes, soft neon, smoky Rhodes/jazz harmony." },
        { "Sands",  "Think ancient ruins: Egyptian pentatonic, suspended drones, sun-baked mystery." },
        { "Velvet", "Think 90s deep house: filtered pads, glossy melodic minor, warm club haze." },
        { "Noir",   "Think Morvasti noir: chromatic lounge tension, slow rain, dreamlike menace." },
        { "Rust",   "Think cyberpunk decay: industrial Locrian grind, corroded beauty, unstable resolve." },
        { "Glass",  "Think Quarlen refractions: crystalline whole-tone drift, delicate unresolved sparkle." },
        { "Ember",  "Think gothic romance: Hungarian minor fire, dramatic augmented intervals, smoldering tension." },
    };
    return rows;
}

//==============================================================================
// Degree weights (degree 0 first) and allowed degrees ({} keeps the list empty: every degree).
struct WeightRow
{
    const char* name;
    std::vector<float> degreeWeights;
    Degrees allowedDegrees;
};

const std::vector<WeightRow>& weightRows()
{
    static const std::vector<WeightRow> rows {
        { "Space",  { 1.0f, 0.4f, 0.3f, 0.9f, 0.5f, 0.8f, 0.1f }, {} },
        { "Forest", { 1.0f, 0.5f, 0.7f, 0.8f, 0.6f, 0.3f, 0.6f }, {} },
        { "Water",  { 1.0f, 0.5f, 0.2f, 0.9f, 0.6f, 0.7f, 0.8f }, {} },
        { "Desert", { 1.0f, 0.9f, 0.3f, 0.6f, 0.4f, 0.7f, 0.5f }, {} },
        { "Night",  { 1.0f, 0.3f, 0.6f, 0.8f, 0.5f, 0.7f, 0.6f }, {} },
        { "Aurora", { 1.0f, 0.7f, 0.4f, 0.9f, 0.6f, 0.8f, 0.2f }, {} },
        { "Tribal", { 1.0f, 0.7f, 0.8f, 0.6f, 0.9f },             { 0, 1, 2, 4 } },
        { "Meadow", { 1.0f, 0.6f, 0.4f, 0.9f, 0.7f },             { 0, 1, 3, 4 } },
        { "Fog",    { 1.0f, 0.5f, 0.8f, 0.4f, 0.7f },             { 0, 3, 4 } },
        { "Smoke",  { 1.0f, 0.5f, 0.9f, 0.3f, 0.8f, 0.7f },       { 0, 1, 2, 5 } },
        { "Sands",  { 1.0f, 0.7f, 0.9f, 0.6f, 0.8f },             { 0, 2, 3, 4 } },
        { "Velvet", { 1.0f, 0.5f, 0.4f, 0.9f, 0.8f, 0.3f, 0.2f }, {} },
        { "Noir",   { 1.0f, 0.5f, 0.3f, 0.2f, 0.8f, 0.7f, 0.9f }, {} },
        { "Rust",   { 1.0f, 0.8f, 0.5f, 0.6f, 0.4f, 0.7f, 0.5f }, {} },
        { "Glass",  { 1.0f, 0.8f, 0.9f, 0.8f, 0.9f, 0.8f },       {} },
        { "Ember",  { 1.0f, 0.4f, 0.5f, 0.3f, 0.9f, 0.7f, 0.6f }, { 0, 2, 4, 5, 6 } },
    };
    return rows;
}

//==============================================================================
// Per-degree cells of the palette and transition tables: one cell per degree, degree 0 first.
// `none` leaves the degree without an entry; a row with fewer cells has fewer degrees.
template <typename Value>
using Cells = std::vector<std::optional<std::vector<Value>>>;

constexpr std::nullopt_t none = std::nullopt;

using Q = std::vector<const char*>;

struct PaletteRow
{
    const char* name;
    Cells<const char*> palettes;
};

// Chord-quality palettes; "" is the major triad.
const std::vector<PaletteRow>& paletteRows()
{
    static const std::vector<PaletteRow> rows {
        { "Space",  { Q { "maj9", "maj7", "add9", "sus2" }, Q { "9", "sus4" }, Q { "m7", "m9" }, Q { "m7b5", "dim" }, Q { "maj9", "maj7", "add9", "sus4" }, Q { "m7", "m9" }, Q { "m7", "m", "sus4" } } },
        { "Forest", { Q { "m7", "m9", "m(add9)" }, Q { "m7", "m", "sus4" }, Q { "maj7", "maj9" }, Q { "7", "9", "7sus4" }, Q { "m7", "m9" }, Q { "m7b5" }, Q { "maj7", "6" } } },
        { "Water",  { Q { "7", "9", "add9", "sus2" }, Q { "m7", "m9" }, Q { "m7b5" }, Q { "maj7", "maj9", "6" }, Q { "m7", "m9" }, Q { "m7", "m", "sus4" }, Q { "maj7", "add9" } } },
        { "Desert", { Q { "m7", "sus4", "7sus4" }, Q { "maj7", "maj9" }, Q { "7", "9" }, Q { "m7", "m9" }, Q { "m7b5", "dim" }, Q { "maj7", "6" }, Q { "m7", "m9" } } },
        { "Night",  { Q { "m9", "m7", "m(add9)" }, Q { "m7b5", "dim" }, Q { "maj7", "maj9" }, Q { "m7", "m9" }, Q { "m7", "m", "sus4" }, Q { "maj7", "6" }, Q { "7", "add9", "6" } } },
        { "Aurora", { Q { "maj9", "maj7", "add9" }, Q { "m9", "m7" }, Q { "m7", "m", "sus4" }, Q { "maj7", "maj9", "add9" }, Q { "9", "7sus4", "add9" }, Q { "m7", "m9" }, Q { "m7b5" } } },
        { "Tribal", { Q { "m7", "m", "sus4" }, Q { "", "6", "add9" }, Q { "sus4", "sus2", "5" }, none, Q { "sus4", "sus2", "5" } } },
        { "Meadow", { Q { "add9", "6", "" }, Q { "sus4", "sus2", "5" }, none, Q { "sus4", "sus2", "5" }, Q { "m7", "m", "sus4" } } },
        { "Fog",    { Q { "m(add9)", "m9" }, none, none, Q { "7sus4", "9sus4" }, Q { "maj7", "maj9", "add9" } } },
        { "Smoke",  { Q { "m7", "m", "sus4" }, Q { "m(add9)", "m6", "6" }, Q { "5", "sus4", "sus2" }, none, none, Q { "5", "sus4", "sus2" } } },
        { "Sands",  { Q { "5", "sus2", "sus4" }, none, Q { "5", "sus4", "sus2" }, Q { "5", "sus4", "m" }, Q { "5", "6", "add9" } } },
        { "Velvet", { Q { "mM7", "m(maj9)", "m(add9)" }, Q { "7sus4", "9sus4", "m7" }, Q { "maj7#5", "maj9#5", "maj13(#5)" }, Q { "7", "9", "13" }, Q { "7", "9" }, Q { "m7b5", "m9b5" }, Q { "m7b5", "m9b5", "7alt" } } },
        { "Noir",   { Q { "7#11", "9#11", "13" }, Q { "9", "7", "7sus4" }, Q { "m7b5", "m9b5" }, Q { "m7b5", "m9b5", "7alt" }, Q { "m(maj9)", "m(maj7)", "m9" }, Q { "m7", "m9", "m11" }, Q { "maj7#5", "maj9#5", "maj13(#5)" } } },
        { "Rust",   { Q { "m7b5", "dim" }, Q { "maj7", "maj9" }, Q { "m7", "m9" }, Q { "m7", "m", "sus4" }, Q { "maj13(#11)", "maj9(#11)", "maj7(#11)" }, Q { "6", "13", "9" }, Q { "m7", "m9" } } },
        { "Glass",  { Q { "7#5", "9#5" }, Q { "7#5", "9#5" }, Q { "9#5", "7#5" }, Q { "7#5", "9#5" }, Q { "9#5", "7#5" }, Q { "7#5", "9#5" } } },
        { "Ember",  { Q { "mM7", "m(maj9)", "m(add9)" }, none, Q { "maj7#5", "maj9#5" }, none, Q { "maj7#5", "maj7", "maj9#5" }, Q { "maj7", "7#11", "m7" }, Q { "m(maj7)", "m(maj9)", "7#11" } } },
    };
    return rows;
}

//==============================================================================
// Degree templates, in stored order.
struct TemplateRow
{
    const char* name;
    std::vector<Degrees> templates;
};

const std::vector<TemplateRow>& templateRows()
{
    static const std::vector<TemplateRow> rows {
        { "Space",  { { 0, 1, 4 }, { 0, 5, 4, 1 }, { 0, 4, 5, 1 } } },
        { "Forest", { { 0, 3, 6 }, { 0, 6, 3, 4 }, { 0, 2, 3 }, { 0, 4, 6, 3 } } },
        { "Water",  { { 0, 6, 3 }, { 0, 3, 6, 5 }, { 0, 5, 3, 6 }, { 0, 4, 6 } } },
        { "Desert", { { 0, 1 }, { 0, 5, 1 }, { 0, 3, 1 }, { 0, 1, 5, 3 } } },
        { "Night",  { { 0, 5, 3, 4 }, { 0, 2, 6, 5 }, { 0, 3, 5, 6 }, { 0, 6, 5, 3 } } },
        { "Aurora", { { 0, 3, 5, 4 }, { 0, 1, 3, 4 }, { 0, 5, 3, 4 }, { 0, 4, 5, 3 } } },
        { "Tribal", { { 0, 4, 2 }, { 0, 1, 4 }, { 0, 2, 4 }, { 0, 4, 1 } } },
        { "Meadow", { { 0, 3, 4 }, { 0, 1, 3 }, { 0, 4, 3, 1 }, { 0, 3, 1 } } },
        { "Fog",    { { 0, 4, 3, 4 }, { 0, 0, 4, 3 }, { 0, 4, 0, 4 } } },
        { "Smoke",  { { 0, 2, 5 }, { 0, 1, 2 }, { 0, 5, 2 }, { 0, 2, 5, 1 } } },
        { "Sands",  { { 0, 4, 2 }, { 0, 2, 3, 2 }, { 0, 4, 3 }, { 0, 2, 4 } } },
        { "Velvet", { { 0, 3, 4 }, { 0, 2, 3, 4 }, { 0, 3, 1, 4 } } },
        { "Noir",   { { 0, 4, 6 }, { 0, 1, 4 }, { 0, 6, 5, 4 } } },
        { "Rust",   { { 0, 1, 3 }, { 0, 4, 1 }, { 0, 2, 3, 1 } } },
        { "Glass",  { { 0, 2, 4, 2 }, { 0, 1, 3, 5 }, { 0, 4, 3, 1 } } },
        { "Ember",  { { 0, 4, 5 }, { 0, 2, 5, 4 }, { 0, 6, 4 }, { 0, 5, 2, 4 } } },
    };
    return rows;
}

//==============================================================================
// Transitions: for each degree, the candidate next degrees, most preferred first.
struct TransitionRow
{
    const char* name;
    Cells<int> transitions;
};

using T = Degrees;

const std::vector<TransitionRow>& transitionRows()
{
    static const std::vector<TransitionRow> rows {
        { "Space",  { T { 3, 5, 4 }, T { 4, 0 }, T { 5, 3 }, T { 0, 4, 5 }, T { 0, 5 }, T { 3, 4, 0 }, T { 0, 5 } } },
        { "Forest", { T { 3, 6, 4 }, T { 4, 0 }, T { 5, 0 }, T { 0, 6 },    T { 0, 3 }, T { 6, 0 },    T { 0, 3 } } },
        { "Water",  { T { 3, 6, 5 }, T { 4, 0 }, T { 5, 3 }, T { 0, 6 },    T { 0, 6 }, T { 3, 6 },    T { 0, 3 } } },
        { "Desert", { T { 1, 5, 3 }, T { 0, 5 }, T { 5, 0 }, T { 0, 1 },    T { 0, 5 }, T { 0, 1 },    T { 0, 1 } } },
        { "Night",  { T { 5, 3, 6 }, T { 4, 0 }, T { 5, 0 }, T { 5, 6, 0 }, T { 0, 5 }, T { 3, 6 },    T { 0, 5 } } },
        { "Aurora", { T { 3, 5, 1 }, T { 4, 0 }, T { 5, 3 }, T { 0, 4, 1 }, T { 0, 5 }, T { 3, 1, 4 }, T { 0, 5 } } },
        { "Tribal", { T { 4, 2, 1 }, T { 0, 4 }, T { 0, 4 }, T { 0, 1 },    T { 0, 2 } } },
        { "Meadow", { T { 3, 4, 1 }, T { 3, 0 }, T { 0, 3 }, T { 0, 4 },    T { 0, 1 } } },
        { "Fog",    { T { 4, 3 },    none,       none,       T { 0, 4 },    T { 0, 3 } } },
        { "Smoke",  { T { 2, 1, 5 }, T { 2, 0 }, T { 0, 5 }, none,          none,       T { 0, 2 } } },
        { "Sands",  { T { 4, 2, 3 }, none,       T { 0, 4 }, T { 0, 2 },    T { 0, 2 } } },
        { "Velvet", { T { 3, 4, 1 }, T { 3, 0 }, T { 0, 5 }, T { 4, 0 },    T { 0, 3 }, T { 0, 3 },    T { 0, 3 } } },
        { "Noir",   { T { 6, 5, 4 }, T { 4, 0 }, T { 5, 0 }, T { 0, 4 },    T { 0, 6 }, T { 4, 6, 0 }, T { 0, 5 } } },
        { "Rust",   { T { 1, 5, 3 }, T { 0, 5 }, T { 0, 1 }, T { 0, 5 },    T { 0, 1 }, T { 0, 1, 3 }, T { 0, 1 } } },
        { "Glass",  { T { 1, 5, 2 }, T { 2, 0 }, T { 3, 1 }, T { 4, 2 },    T { 5, 0 }, T { 0, 4 } } },
        { "Ember",  { T { 4, 5, 6 }, none,       T { 5, 0 }, none,          T { 0, 5 }, T { 4, 2 },    T { 0, 4 } } },
    };
    return rows;
}

//==============================================================================
// Slash basses: degree -> bass degree at probability, one choice per listed degree.
struct SlashChoice
{
    int degree;
    int bassDegree;
    float probability;
};

struct SlashRow
{
    const char* name;
    std::vector<SlashChoice> choices;
};

const std::vector<SlashRow>& slashRows()
{
    static const std::vector<SlashRow> rows {
        { "Space",  { { 1, 0, 0.3f },  { 3, 0, 0.35f }, { 5, 4, 0.25f } } },
        { "Forest", { { 2, 0, 0.3f },  { 3, 6, 0.35f }, { 4, 2, 0.25f } } },
        { "Water",  { { 0, 6, 0.3f },  { 3, 2, 0.25f }, { 6, 5, 0.3f } } },
        { "Desert", { { 1, 0, 0.45f }, { 3, 0, 0.35f }, { 5, 0, 0.3f } } },
        { "Night",  { { 2, 4, 0.3f },  { 3, 2, 0.3f },  { 5, 4, 0.25f } } },
        { "Aurora", { { 0, 2, 0.25f }, { 3, 0, 0.35f }, { 4, 3, 0.2f } } },
        { "Tribal", { { 1, 0, 0.45f }, { 2, 0, 0.4f },  { 4, 0, 0.35f } } },
        { "Meadow", { { 1, 0, 0.3f },  { 3, 0, 0.35f }, { 4, 3, 0.25f } } },
        { "Fog",    { { 4, 0, 0.35f } } },
        { "Smoke",  { { 0, 5, 0.3f },  { 2, 0, 0.35f } } },
        { "Sands",  { { 2, 0, 0.45f }, { 3, 0, 0.35f }, { 4, 0, 0.4f } } },
        { "Velvet", { { 2, 0, 0.25f }, { 3, 0, 0.4f },  { 4, 3, 0.3f } } },
        { "Noir",   { { 4, 0, 0.35f }, { 5, 4, 0.3f },  { 6, 5, 0.3f } } },
        { "Rust",   { { 1, 0, 0.5f },  { 3, 0, 0.55f }, { 4, 0, 0.5f },  { 5, 2, 0.35f } } },
        { "Glass",  { { 1, 5, 0.3f },  { 3, 0, 0.35f }, { 4, 1, 0.25f } } },
        { "Ember",  { { 4, 0, 0.4f },  { 5, 4, 0.3f },  { 6, 0, 0.35f } } },
    };
    return rows;
}

//==============================================================================
// Arrangement of a generated section per mood. Every other arrangement field keeps the base
// value that applyArrangementDefaults writes first (bass legato off, body add root and fifth
// on, body with shimmer off, shimmer colour notes on, body octave 0, shimmer octave 1).
constexpr bool on = true;
constexpr bool off = false;

struct ArrangementRow
{
    const char* name;
    const char* bassMotion;
    bool bodyLegato;
    bool shimmerLegato;
    bool bassAddOctave;
    bool bassAddFifth;
    int bassOctave;
    bool shimmerTopNote;
};

const std::vector<ArrangementRow>& arrangementRows()
{
    static const std::vector<ArrangementRow> rows {
        //  mood    bass        body    shimmer bass    bass    bass    shimmer
        //          motion      legato  legato  +octave +fifth  octave  top note
        { "Space",  "Strict",   on,     on,     off,    off,    -1,     on },
        { "Forest", "Balanced", on,     on,     off,    off,    0,      on },
        { "Water",  "Balanced", on,     on,     off,    off,    0,      on },
        { "Desert", "Strict",   on,     on,     off,    off,    0,      on },
        { "Night",  "Balanced", on,     on,     on,     off,    -1,     on },
        { "Aurora", "Balanced", on,     on,     off,    off,    0,      on },
        { "Tribal", "Moving",   off,    off,    on,     on,     0,      on },
        { "Meadow", "Balanced", on,     on,     off,    off,    0,      on },
        { "Fog",    "Strict",   on,     on,     off,    off,    0,      off },
        { "Smoke",  "Moving",   off,    off,    on,     on,     0,      on },
        { "Sands",  "Balanced", on,     on,     off,    off,    0,      on },
        { "Velvet", "Moving",   on,     on,     on,     off,    -1,     off },
        { "Noir",   "Strict",   on,     on,     on,     off,    -1,     off },
        { "Rust",   "Balanced", on,     on,     on,     on,     0,      on },
        { "Glass",  "Strict",   on,     on,     off,    off,    0,      off },
        { "Ember",  "Moving",   on,     on,     on,     off,    -1,     off },
    };
    return rows;
}

//==============================================================================
// Hints of the slash-chord switch per mood.
struct SlashTextRow
{
    const char* name;
    const char* text;
};

const std::vector<SlashTextRow>& slashTextRows()
{
    static const std::vector<SlashTextRow> rows {
        { "Space",  "Slash Chords: Pedal Tone - tonic drone beneath Lydian harmony." },
        { "Desert", "Slash Chords: Pedal Tone - Phrygian drone creates hypnotic darkness." },
        { "Tribal", "Slash Chords: Drone Pedal - primal tonic heartbeat under pentatonic motion." },
        { "Fog",    "Slash Chords: Horror Drone - bass never releases, creating static dread." },
        { "Sands",  "Slash Chords: Ancient Drone - suspended harmony over tonic pedal." },
        { "Rust",   "Slash Chords: Tonic Anchor - pins bass to prevent Locrian collapse." },
        { "Forest", "Slash Chords: Stepwise Descent - bass walks down for pastoral voice leading." },
        { "Water",  "Slash Chords: Stepwise Descent - flowing bass motion mirrors Mixolydian pull." },
        { "Night",  "Slash Chords: Stepwise Descent - bass descends through natural minor." },
        { "Smoke",  "Slash Chords: Walking Bass - blues turnaround inversions for classic walkdown." },
        { "Aurora", "Slash Chords: Color Bass - jazz inversions brighten major with unexpected lows." },
        { "Meadow", "Slash Chords: Pastoral Pedal - warm tonic anchor with gentle folk resolution." },
        { "Velvet", "Slash Chords: Filtered Inversions - deep house bass walks under melodic minor." },
        { "Noir",   "Slash Chords: Chromatic Drift - slow bass descent for Ostrev-esque atmosphere." },
        { "Glass",  "Slash Chords: Contrary Motion - bass dissolves whole-tone symmetry." },
        { "Ember",  "Slash Chords: Gothic Counterpoint - dramatic tension against harmony." },
    };
    return rows;
}

const char* const otherSlashChordText = "Slash Chords: Uses a different bass note under the chord for deeper voice separation.";

//==============================================================================
std::vector<juce::String> toStrings (const Names& names)
{
    return { names.begin(), names.end() };
}

template <typename Value, typename Convert>
auto toDegreeMap (const Cells<Value>& cells, Convert convert)
{
    std::map<int, decltype (convert (std::vector<Value>()))> result;
    for (size_t degree = 0; degree < cells.size(); ++degree)
        if (cells[degree].has_value())
            result[(int) degree] = convert (*cells[degree]);
    return result;
}
} // namespace

void MoodGenerator::buildMoodTable()
{
    const auto& scales = scaleRows();
    const auto& descriptions = descriptionRows();
    const auto& weights = weightRows();
    const auto& palettes = paletteRows();
    const auto& templates = templateRows();
    const auto& transitions = transitionRows();
    const auto& slashes = slashRows();

    for (size_t i = 0; i < scales.size(); ++i)
    {
        const juce::String name (scales[i].name);
        jassert (name == descriptions[i].name && name == weights[i].name && name == palettes[i].name
                 && name == templates[i].name && name == transitions[i].name && name == slashes[i].name);

        MoodProfile profile;
        profile.name = name;
        profile.description = descriptions[i].description;
        profile.scaleName = scales[i].scaleName;
        profile.scaleIntervals = scales[i].scaleIntervals;
        profile.qualityPalettes = toDegreeMap (palettes[i].palettes, [] (const Names& q) { return toStrings (q); });
        profile.rhythms = toStrings (scales[i].rhythms);
        profile.voicingStyle = scales[i].voicingStyle;
        profile.octave = scales[i].octave;
        profile.bpmMin = scales[i].bpmMin;
        profile.bpmMax = scales[i].bpmMax;
        profile.keys = toStrings (scales[i].keys);
        profile.degreeWeights = weights[i].degreeWeights;
        if (! weights[i].allowedDegrees.empty())
            profile.allowedDegrees = weights[i].allowedDegrees;
        profile.templates = templates[i].templates;
        profile.transitions = toDegreeMap (transitions[i].transitions, [] (const Degrees& d) { return d; });

        for (const auto& choice : slashes[i].choices)
            profile.slashBasses[choice.degree].push_back ({ choice.bassDegree, choice.probability });

        moods[name] = std::move (profile);
    }
}

void MoodGenerator::applyArrangementDefaults (const juce::String& mood, SectionMode::SectionData& section)
{
    section.bassMotion = "Balanced";
    section.arrangeBassLegato = false;
    section.arrangeBodyLegato = true;
    section.arrangeShimmerLegato = true;
    section.arrangeBassAddOctave = false;
    section.arrangeBassAddFifth = false;
    section.arrangeBodyAddRoot = true;
    section.arrangeBodyAddFifth = true;
    section.arrangeBodyWithShimmer = false;
    section.arrangeShimmerTopNoteEnabled = false;
    section.arrangeShimmerColorNotesEnabled = true;
    section.bassOctave = 0;
    section.bodyOctave = 0;
    section.shimmerOctave = 1;

    for (const auto& row : arrangementRows())
    {
        if (mood != row.name)
            continue;

        section.bassMotion = row.bassMotion;
        section.arrangeBodyLegato = row.bodyLegato;
        section.arrangeShimmerLegato = row.shimmerLegato;
        section.arrangeBassAddOctave = row.bassAddOctave;
        section.arrangeBassAddFifth = row.bassAddFifth;
        section.bassOctave = row.bassOctave;
        section.arrangeShimmerTopNoteEnabled = row.shimmerTopNote;
        return;
    }
}

juce::StringArray MoodGenerator::getMoodNames()
{
    return { "Space", "Forest", "Water", "Desert", "Night", "Aurora", "---",
             "Tribal", "Meadow", "Fog", "Smoke", "Sands", "---",
             "Velvet", "Noir", "Rust", "Glass", "Ember" };
}

juce::String MoodGenerator::getSlashChordText (const juce::String& mood)
{
    for (const auto& row : slashTextRows())
        if (mood == row.name)
            return row.text;

    return otherSlashChordText;
}
