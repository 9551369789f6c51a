#include "processor/state/PortableProject.h"

#include <cmath>
#include <limits>

namespace
{
const char* const shimmerModeNames[] = { "Off", "Top", "Color", "Halo" };

// The portable names of the seven voicing styles, in their list order (the order the error
// message lists them in).
const char* const voicingNames[] = { "None", "First Inversion", "Smooth", "Guitarist", "Pianist", "Bassist", "Jazz" };

void setProperty (juce::DynamicObject& object, const char* key, const juce::var& value)
{
    object.setProperty (juce::Identifier (key), value);
}

// A JSON number or other value taken as a whole number without the undefined behaviour of a
// cast from an out-of-range double: outside input can hold 1e300 or a non-finite value.
juce::int64 toWholeNumber (const juce::var& value)
{
    if (value.isDouble())
    {
        const auto d = (double) value;

        if (std::isnan (d))
            return 0;

        constexpr auto limit = 9.0e18;
        return (juce::int64) juce::jlimit (-limit, limit, d);
    }

    return (juce::int64) value;
}

int clampToPortableOctave (juce::int64 value)
{
    return (int) juce::jlimit<juce::int64> (PortableSection::minOctave, PortableSection::maxOctave, value);
}
} // namespace

//==============================================================================
const juce::StringArray& PortableProject::allowedKeys()
{
    static const juce::StringArray keys { activeSectionIndexKey, sectionPlaybackModeKey, sectionsKey };
    return keys;
}

const juce::StringArray& PortableSection::allowedKeys()
{
    static const juce::StringArray keys { nameKey, progressionKey, scaleKey, bpmKey, bassVoicingKey,
                                          bodyVoicingKey, shimmerVoicingKey, arrangementKey };
    return keys;
}

const juce::StringArray& PortableSection::allowedArrangementKeys()
{
    static const juce::StringArray keys { bassLegatoKey, bodyLegatoKey, shimmerLegatoKey, bassOctaveKey,
                                          bodyOctaveKey, shimmerOctaveKey, bassAddOctaveKey, bassAddFifthKey,
                                          bodyAddRootKey, bodyAddFifthKey, bodyWithShimmerKey, shimmerModeKey };
    return keys;
}

//==============================================================================
juce::String shimmerModeName (int mode)
{
    return (mode >= shimmerOff && mode <= shimmerHalo) ? shimmerModeNames[mode] : shimmerModeNames[shimmerOff];
}

int shimmerModeFromFlags (bool topNote, bool colourNotes)
{
    return (topNote ? shimmerTop : 0) | (colourNotes ? shimmerColor : 0);
}

bool parseShimmerMode (const juce::String& text, int& mode)
{
    const auto trimmed = text.trim();

    for (int i = shimmerOff; i <= shimmerHalo; ++i)
    {
        if (trimmed.equalsIgnoreCase (shimmerModeNames[i]))
        {
            mode = i;
            return true;
        }
    }

    return false;
}

void shimmerModeToFlags (int mode, bool& topNote, bool& colourNotes)
{
    if (mode < shimmerOff || mode > shimmerHalo)
        return;

    topNote = (mode & shimmerTop) != 0;
    colourNotes = (mode & shimmerColor) != 0;
}

int portableOctaveValue (int layerOffset, int baseOctave)
{
    const auto offset = (juce::int64) juce::jlimit (PortableSection::minOctave, PortableSection::maxOctave, layerOffset);
    return clampToPortableOctave (offset + (juce::int64) baseOctave - 3);
}

juce::int64 portableBpmValue (const juce::String& suggestedBpm)
{
    const auto text = suggestedBpm.replace (" BPM", "", false).trim();
    auto p = text.getCharPointer();

    bool negative = false;
    if (*p == '-' || *p == '+')
        negative = (p.getAndAdvance() == '-');

    juce::int64 number = 0;
    constexpr auto limit = std::numeric_limits<juce::int64>::max() / 10 - 10;

    while (juce::CharacterFunctions::isDigit (*p))
    {
        // Saturates instead of overflowing; any such tempo is far out of range anyway.
        if (number < limit)
            number = number * 10 + (p.getAndAdvance() - '0');
        else
            ++p;
    }

    return negative ? -number : number;
}

bool isPortableRootNoteName (const juce::String& text)
{
    const auto length = text.length();

    if (length < 1 || length > 2)
        return false;

    const auto first = juce::CharacterFunctions::toUpperCase (text[0]);

    if (first < 'A' || first > 'G')
        return false;

    return length == 1 || text[1] == '#' || text[1] == 'b';
}

//==============================================================================
juce::var sectionToPortableJson (const SectionMode::SectionData& section)
{
    auto* object = new juce::DynamicObject();
    juce::var result (object);

    setProperty (*object, PortableSection::nameKey, section.name);

    if (section.progression.isNotEmpty())
        setProperty (*object, PortableSection::progressionKey, section.progression);

    if (section.scale.isNotEmpty())
        setProperty (*object, PortableSection::scaleKey,
                     section.rootKey.isNotEmpty() ? section.rootKey + " " + section.scale : section.scale);

    if (section.suggestedBpm.isNotEmpty())
    {
        const auto bpm = portableBpmValue (section.suggestedBpm);

        if (bpm > 0)
            setProperty (*object, PortableSection::bpmKey,
                         bpm <= std::numeric_limits<int>::max() ? juce::var ((int) bpm) : juce::var (bpm));
    }

    setProperty (*object, PortableSection::bassVoicingKey, section.bassVoicing);
    setProperty (*object, PortableSection::bodyVoicingKey, section.bodyVoicing);
    setProperty (*object, PortableSection::shimmerVoicingKey, section.shimmerVoicing);

    auto* arrangement = new juce::DynamicObject();
    const auto mode = shimmerModeFromFlags (section.arrangeShimmerTopNoteEnabled, section.arrangeShimmerColorNotesEnabled);

    setProperty (*arrangement, PortableSection::bassOctaveKey, portableOctaveValue (section.bassOctave, section.baseOctave));
    setProperty (*arrangement, PortableSection::bodyOctaveKey, portableOctaveValue (section.bodyOctave, section.baseOctave));

    if (mode != shimmerOff)
        setProperty (*arrangement, PortableSection::shimmerOctaveKey, portableOctaveValue (section.shimmerOctave, section.baseOctave));

    setProperty (*arrangement, PortableSection::bassLegatoKey, section.arrangeBassLegato);
    setProperty (*arrangement, PortableSection::bodyLegatoKey, section.arrangeBodyLegato);
    setProperty (*arrangement, PortableSection::shimmerLegatoKey, section.arrangeShimmerLegato);
    setProperty (*arrangement, PortableSection::bassAddOctaveKey, section.arrangeBassAddOctave);
    setProperty (*arrangement, PortableSection::bassAddFifthKey, section.arrangeBassAddFifth);
    setProperty (*arrangement, PortableSection::bodyAddRootKey, section.arrangeBodyAddRoot);
    setProperty (*arrangement, PortableSection::bodyAddFifthKey, section.arrangeBodyAddFifth);
    setProperty (*arrangement, PortableSection::bodyWithShimmerKey, section.arrangeBodyWithShimmer);
    setProperty (*arrangement, PortableSection::shimmerModeKey, shimmerModeName (mode));

    setProperty (*object, PortableSection::arrangementKey, juce::var (arrangement));
    return result;
}

juce::var stateToPortableProject (const PersistentState& state)
{
    auto* object = new juce::DynamicObject();
    juce::var result (object);

    juce::Array<juce::var> sections;
    sections.ensureStorageAllocated ((int) state.Sections.size());

    for (const auto& section : state.Sections)
        sections.add (sectionToPortableJson (section));

    // The index names a section, as the check asks: a song with no selection (after a load,
    // under Auto-Advance) is written with its first section selected, so that what is exported
    // loads again. A song without sections still exports none, which the check refuses.
    const auto lastSection = juce::jmax (0, (int) state.Sections.size() - 1);
    setProperty (*object, PortableProject::activeSectionIndexKey, juce::jlimit (0, lastSection, state.selectedSectionViewIndex));
    setProperty (*object, PortableProject::sectionPlaybackModeKey,
                 state.sectionPlaybackMode == 1 ? PortableProject::advanceSectionsMode : PortableProject::loopSectionMode);
    setProperty (*object, PortableProject::sectionsKey, sections);
    return result;
}

//==============================================================================
bool readVoicingField (const juce::var& sectionObject, const juce::Identifier& key,
                       juce::String& field, juce::String& error)
{
    auto* object = sectionObject.getDynamicObject();

    if (object == nullptr || ! object->hasProperty (key))
        return true;

    field = object->getProperty (key).toString();

    for (const auto* name : voicingNames)
        if (field.equalsIgnoreCase (name))
            return true;

    juce::StringArray valid;
    for (const auto* name : voicingNames)
        valid.add (name);

    error = "Unknown " + key.toString() + ": \"" + field + "\". Valid: " + valid.joinIntoString (", ");
    return false;
}

bool parsePortableSection (const juce::var& value, SectionMode::SectionData& section, juce::String& error)
{
    auto* object = value.getDynamicObject();

    if (object == nullptr)
    {
        error = "Section must be an object.";
        return false;
    }

    const auto has = [object] (const char* key) { return object->hasProperty (juce::Identifier (key)); };
    const auto get = [object] (const char* key) { return object->getProperty (juce::Identifier (key)); };

    if (has (PortableSection::nameKey))
        section.name = get (PortableSection::nameKey).toString();

    if (has (PortableSection::progressionKey))
        section.progression = get (PortableSection::progressionKey).toString().trim();

    if (has (PortableSection::scaleKey))
    {
        const auto text = get (PortableSection::scaleKey).toString();
        const auto space = text.indexOfChar (' ');
        const auto root = space > 0 ? text.substring (0, space).trim() : juce::String();

        // Split off a root only when the text really begins with a note name: a scale name of
        // two words with no root before it ("Whole Tone", as written for a section without a
        // root key) must stay whole.
        if (space > 0 && isPortableRootNoteName (root))
        {
            section.rootKey = root;
            section.scale = text.substring (space + 1).trim();
        }
        else
        {
            section.scale = text.trim();
        }
    }

    if (has (PortableSection::bpmKey))
    {
        const auto bpm = toWholeNumber (get (PortableSection::bpmKey));

        if (bpm > 0)
            section.suggestedBpm = juce::String (bpm) + " BPM";
    }

    if (readVoicingField (value, PortableSection::voicingKey, section.voicing, error))
    {
        if (has (PortableSection::voicingKey))
        {
            section.bassVoicing = section.voicing;
            section.bodyVoicing = section.voicing;
            section.shimmerVoicing = section.voicing;
        }
    }
    else
    {
        return false;
    }

    if (! readVoicingField (value, PortableSection::bassVoicingKey, section.bassVoicing, error)
        || ! readVoicingField (value, PortableSection::bodyVoicingKey, section.bodyVoicing, error)
        || ! readVoicingField (value, PortableSection::shimmerVoicingKey, section.shimmerVoicing, error))
        return false;

    section.voicing = section.bodyVoicing;

    if (auto* arrangement = get (PortableSection::arrangementKey).getDynamicObject())
    {
        const auto readFlag = [arrangement] (const char* key, bool& flag)
        {
            if (arrangement->hasProperty (juce::Identifier (key)))
                flag = (bool) arrangement->getProperty (juce::Identifier (key));
        };

        readFlag (PortableSection::bassLegatoKey, section.arrangeBassLegato);
        readFlag (PortableSection::bodyLegatoKey, section.arrangeBodyLegato);
        readFlag (PortableSection::shimmerLegatoKey, section.arrangeShimmerLegato);
        readFlag (PortableSection::bassAddOctaveKey, section.arrangeBassAddOctave);
        readFlag (PortableSection::bassAddFifthKey, section.arrangeBassAddFifth);
        readFlag (PortableSection::bodyAddRootKey, section.arrangeBodyAddRoot);
        readFlag (PortableSection::bodyAddFifthKey, section.arrangeBodyAddFifth);
        readFlag (PortableSection::bodyWithShimmerKey, section.arrangeBodyWithShimmer);

        const juce::Identifier modeKey (PortableSection::shimmerModeKey);

        if (arrangement->hasProperty (modeKey))
        {
            const auto text = arrangement->getProperty (modeKey).toString().trim();
            int mode = shimmerOff;

            if (! parseShimmerMode (text, mode))
            {
                error = "Unknown shimmer_mode: \"" + text + "\". Valid: Off, Top, Color, Halo";
                return false;
            }

            shimmerModeToFlags (mode, section.arrangeShimmerTopNoteEnabled, section.arrangeShimmerColorNotesEnabled);
        }

        const auto readOctave = [arrangement] (const char* key, int& offset)
        {
            if (arrangement->hasProperty (juce::Identifier (key)))
                offset = clampToPortableOctave (toWholeNumber (arrangement->getProperty (juce::Identifier (key))));
        };

        readOctave (PortableSection::bassOctaveKey, section.bassOctave);
        readOctave (PortableSection::bodyOctaveKey, section.bodyOctave);
        readOctave (PortableSection::shimmerOctaveKey, section.shimmerOctave);
    }

    return true;
}
