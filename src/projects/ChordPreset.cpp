#include "projects/ChordPreset.h"

#include "processor/state/PortableProject.h"
#include "processor/state/PortableValidation.h"

#include "harmony/ProgressionText.h"
#include "kit/json/JsonReader.h"

namespace
{
    // A default section carrying the preset's arrangement settings (the form the portable
    // reader fills).
    SectionMode::SectionData arrangementOf (const ChordPreset& preset)
    {
        SectionMode::SectionData section;
        section.arrangeBassLegato = preset.bassLegato;
        section.arrangeBodyLegato = preset.bodyLegato;
        section.arrangeShimmerLegato = preset.shimmerLegato;
        section.arrangeBassAddOctave = preset.bassAddOctave;
        section.arrangeBassAddFifth = preset.bassAddFifth;
        section.arrangeBodyAddRoot = preset.bodyAddRoot;
        section.arrangeBodyAddFifth = preset.bodyAddFifth;
        section.arrangeBodyWithShimmer = preset.bodyWithShimmer;
        section.arrangeShimmerTopNoteEnabled = preset.shimmerTopNote;
        section.arrangeShimmerColorNotesEnabled = preset.shimmerColorNotes;
        section.bassOctave = preset.bassOctave;
        section.bodyOctave = preset.bodyOctave;
        section.shimmerOctave = preset.shimmerOctave;
        return section;
    }

    void takeArrangement (ChordPreset& preset, const SectionMode::SectionData& section)
    {
        preset.bassLegato = section.arrangeBassLegato;
        preset.bodyLegato = section.arrangeBodyLegato;
        preset.shimmerLegato = section.arrangeShimmerLegato;
        preset.bassAddOctave = section.arrangeBassAddOctave;
        preset.bassAddFifth = section.arrangeBassAddFifth;
        preset.bodyAddRoot = section.arrangeBodyAddRoot;
        preset.bodyAddFifth = section.arrangeBodyAddFifth;
        preset.bodyWithShimmer = section.arrangeBodyWithShimmer;
        preset.shimmerTopNote = section.arrangeShimmerTopNoteEnabled;
        preset.shimmerColorNotes = section.arrangeShimmerColorNotesEnabled;
        preset.bassOctave = section.bassOctave;
        preset.bodyOctave = section.bodyOctave;
        preset.shimmerOctave = section.shimmerOctave;
    }

    // An object holding only the arrangement of `json` (or nothing, when it has none), so
    // that the portable reader reads no other key of it.
    juce::var arrangementOnly (const juce::DynamicObject& object)
    {
        auto* result = new juce::DynamicObject();
        const juce::Identifier key (PortableSection::arrangementKey);

        if (object.hasProperty (key))
            result->setProperty (key, object.getProperty (key));

        return juce::var (result);
    }
} // namespace

bool readVoicingName (const juce::var& object, const juce::String& key, juce::String& target, juce::String& error)
{
    auto name = target;

    if (! readVoicingField (object, juce::Identifier (key), name, error))
        return false;

    // Stored as the processor spells it: its strict check of a saved project compares exactly.
    target = voicingStyleNameForIndex (findVoicingStyleIndex (name));
    return true;
}

bool parseChordPreset (const juce::var& json, ChordPreset& preset, juce::String& error)
{
    auto* object = json.getDynamicObject();

    if (object == nullptr)
    {
        error = "JSON must be an object.";
        return false;
    }

    const auto has = [object] (const char* key) { return object->hasProperty (juce::Identifier (key)); };
    const auto get = [object] (const char* key) { return object->getProperty (juce::Identifier (key)); };

    if (! has (PortableSection::progressionKey))
    {
        error = "Missing required field: \"progression\".";
        return false;
    }

    const auto progression = get (PortableSection::progressionKey).toString().trim();

    if (progression.isEmpty())
    {
        error = "\"progression\" must not be empty.";
        return false;
    }

    preset.progression = progression;

    if (has (PortableSection::nameKey))
        preset.name = get (PortableSection::nameKey).toString().trim();

    if (has (PortableSection::scaleKey))
        preset.scale = get (PortableSection::scaleKey).toString();

    if (has (PortableSection::bpmKey))
    {
        const auto bpm = (int) get (PortableSection::bpmKey);

        if (bpm >= PortableLimits::minBpm && bpm <= PortableLimits::maxBpm)
            preset.bpm = bpm;
    }

    if (! readVoicingName (json, PortableSection::voicingKey, preset.voicing, error))
        return false;

    if (has (PortableSection::voicingKey))
    {
        preset.bassVoicing = preset.voicing;
        preset.bodyVoicing = preset.voicing;
        preset.shimmerVoicing = preset.voicing;
    }

    if (! readVoicingName (json, PortableSection::bassVoicingKey, preset.bassVoicing, error)
        || ! readVoicingName (json, PortableSection::bodyVoicingKey, preset.bodyVoicing, error)
        || ! readVoicingName (json, PortableSection::shimmerVoicingKey, preset.shimmerVoicing, error))
        return false;

    preset.voicing = preset.bodyVoicing;

    // The arrangement object reads exactly as a portable section's: the eight flags, the
    // shimmer mode (the one error left) and the octaves clamped to -4..4.
    auto section = arrangementOf (preset);

    if (! parsePortableSection (arrangementOnly (*object), section, error))
        return false;

    takeArrangement (preset, section);
    return true;
}

juce::var parseChordPresetText (const juce::String& text)
{
    // Unlike the strict document reader, a bare value is parsed too, so that it can be told
    // apart from broken syntax.
    return velmar::JsonReader::parseValue (text);
}

bool isRecognisedChordPresetJson (const juce::String& text)
{
    const auto json = parseChordPresetText (text);
    juce::String error;

    if (auto* items = json.getArray())
    {
        if (items->isEmpty())
            return false;

        for (const auto& item : *items)
        {
            ChordPreset preset;

            if (! parseChordPreset (item, preset, error))
                return false;
        }

        return true;
    }

    ChordPreset preset;
    return json.getDynamicObject() != nullptr && parseChordPreset (json, preset, error);
}

SectionMode::SectionData makeSectionFromPreset (const ChordPreset& preset, const juce::String& name)
{
    auto section = arrangementOf (preset);
    section.name = name;
    section.progression = normaliseProgressionText (preset.progression);
    section.voicing = preset.bodyVoicing;
    section.bassVoicing = preset.bassVoicing;
    section.bodyVoicing = preset.bodyVoicing;
    section.shimmerVoicing = preset.shimmerVoicing;
    section.bassOctave = juce::jlimit (-5, 5, section.bassOctave);
    section.bodyOctave = juce::jlimit (-5, 5, section.bodyOctave);
    section.shimmerOctave = juce::jlimit (-5, 5, section.shimmerOctave);

    if (preset.bpm > 0)
        section.suggestedBpm = juce::String (preset.bpm) + " BPM";

    // The scale text splits as a portable section's does: "F# Lydian" gives a root and a
    // scale, while a scale name of two words without a root ("Whole Tone") stays whole.
    auto* scaleOnly = new juce::DynamicObject();
    scaleOnly->setProperty (PortableSection::scaleKey, preset.scale);
    juce::String ignored;
    parsePortableSection (juce::var (scaleOnly), section, ignored);

    return section;
}

SectionMode::SectionData makeChordPresetSection (const ChordPreset& preset)
{
    return makeSectionFromPreset (preset, preset.name.trim().isEmpty() ? juce::String ("Custom") : preset.name.trim());
}

SectionList makeSectionPalette (const std::vector<ChordPreset>& presets)
{
    SectionList sections;

    for (const auto& preset : presets)
    {
        if ((int) sections.size() >= SectionMode::maxSections)
            break;

        const auto name = preset.name.trim();
        sections.push_back (makeSectionFromPreset (preset, name.isEmpty() ? nextSectionName (sections) : name));
    }

    return sections;
}
