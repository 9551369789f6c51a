#include "processor/state/PortableValidation.h"

#include "harmony/ChordVocabulary.h"
#include "harmony/ProgressionCompiler.h"
#include "harmony/VoicingStyle.h"
#include "processor/state/PortableProject.h"
#include "processor/state/SectionPlaybackMode.h"

#include <cmath>

namespace
{
using juce::Result;

bool isJsonInteger (const juce::var& value)
{
    // The JSON reader gives whole numbers as 32- or 64-bit integers and anything with a
    // fraction or an exponent as a double, so 1.0 is not an integer here.
    return value.isInt() || value.isInt64();
}

bool isIntegerInRange (const juce::var& value, juce::int64 lowest, juce::int64 highest)
{
    if (! isJsonInteger (value))
        return false;

    const auto number = (juce::int64) value;
    return number >= lowest && number <= highest;
}

// Unknown keys are refused rather than ignored, so that a client's typo never passes as a
// silently dropped setting.
bool hasOnlyAllowedKeys (juce::DynamicObject& object, const juce::StringArray& allowed)
{
    const auto& props = object.getProperties();

    for (int i = 0; i < props.size(); ++i)
        if (! allowed.contains (props.getName (i).toString()))
            return false;

    return true;
}

// A text that must be given, must not be blank, must carry no leading or trailing blanks and
// must fit the byte limit (counted in UTF-8).
bool isCleanText (const juce::var& value, int maxBytes)
{
    if (! value.isString())
        return false;

    const auto text = value.toString();
    const auto trimmed = text.trim();
    return trimmed.isNotEmpty() && trimmed == text && (int) text.getNumBytesAsUTF8() <= maxBytes;
}

int countChords (const juce::String& progression)
{
    juce::StringArray pieces;
    pieces.addTokens (progression, " \t\r\n", "");
    pieces.removeEmptyStrings (false);
    return pieces.size();
}

Result validateSection (const juce::var& item, int number)
{
    auto* object = item.getDynamicObject();
    const auto prefix = "Section " + juce::String (number);

    if (object == nullptr || ! hasOnlyAllowedKeys (*object, PortableSection::allowedKeys()))
        return Result::fail (prefix + " contains unsupported fields.");

    const auto get = [object] (const char* key) { return object->getProperty (juce::Identifier (key)); };
    const auto has = [object] (const char* key) { return object->hasProperty (juce::Identifier (key)); };

    if (! isCleanText (get (PortableSection::nameKey), PortableLimits::maxNameBytes))
        return Result::fail (prefix + " has an invalid name.");

    const auto name = get (PortableSection::nameKey).toString().trim();

    const auto progression = get (PortableSection::progressionKey);
    if (! isCleanText (progression, PortableLimits::maxProgressionBytes))
        return Result::fail ("Section " + name + " has an invalid progression.");

    if (countChords (progression.toString()) > PortableLimits::maxChords)
        return Result::fail ("Section " + name + " contains too many chords.");

    if (has (PortableSection::scaleKey))
    {
        const auto scale = get (PortableSection::scaleKey);

        if (! scale.isString() || scale.toString().isEmpty())
            return Result::fail ("Section scale must be a non-empty string when provided.");

        const auto scaleResult = validatePortableScale (scale.toString());
        if (scaleResult.failed())
            return scaleResult;
    }

    if (has (PortableSection::bpmKey)
        && ! isIntegerInRange (get (PortableSection::bpmKey), PortableLimits::minBpm, PortableLimits::maxBpm))
        return Result::fail ("Section BPM must be an integer from 1 to 999.");

    for (const auto* key : { PortableSection::bassVoicingKey, PortableSection::bodyVoicingKey, PortableSection::shimmerVoicingKey })
    {
        const auto voicing = get (key);

        if (! voicing.isString() || voicing.toString().isEmpty() || ! voicingStyleNames().contains (voicing.toString()))
            return Result::fail ("Section " + juce::String (key) + " is invalid.");
    }

    const auto arrangement = get (PortableSection::arrangementKey);
    if (arrangement.getDynamicObject() == nullptr)
        return Result::fail ("Section arrangement is required.");

    return validatePortableArrangement (arrangement);
}
} // namespace

//==============================================================================
juce::Result validatePortableDocument (const juce::var& project)
{
    auto* object = project.getDynamicObject();

    if (object == nullptr || ! hasOnlyAllowedKeys (*object, PortableProject::allowedKeys()))
        return Result::fail ("Portable project contains unsupported fields.");

    const auto* sections = object->getProperty (PortableProject::sectionsKey).getArray();

    if (sections == nullptr || sections->isEmpty() || sections->size() > PortableLimits::maxSections)
        return Result::fail ("Portable project must contain 1 to 32 sections.");

    if (! isIntegerInRange (object->getProperty (PortableProject::activeSectionIndexKey), 0, sections->size() - 1))
        return Result::fail ("Portable project activeSectionIndex is invalid.");

    int mode = 0;
    if (! parseSectionPlaybackMode (object->getProperty (PortableProject::sectionPlaybackModeKey), mode))
        return Result::fail ("Portable project sectionPlaybackMode is invalid.");

    for (int i = 0; i < sections->size(); ++i)
    {
        const auto result = validateSection (sections->getReference (i), i + 1);
        if (result.failed())
            return result;
    }

    return Result::ok();
}

juce::Result validatePortableArrangement (const juce::var& arrangement)
{
    auto* object = arrangement.getDynamicObject();

    if (object == nullptr || ! hasOnlyAllowedKeys (*object, PortableSection::allowedArrangementKeys()))
        return Result::fail ("Arrangement contains unsupported fields.");

    const auto get = [object] (const char* key) { return object->getProperty (juce::Identifier (key)); };

    for (const auto* key : { PortableSection::bassLegatoKey, PortableSection::bodyLegatoKey, PortableSection::shimmerLegatoKey,
                             PortableSection::bassAddOctaveKey, PortableSection::bassAddFifthKey, PortableSection::bodyAddRootKey,
                             PortableSection::bodyAddFifthKey, PortableSection::bodyWithShimmerKey })
        if (! get (key).isBool())
            return Result::fail ("Arrangement " + juce::String (key) + " must be boolean.");

    for (const auto* key : { PortableSection::bassOctaveKey, PortableSection::bodyOctaveKey })
        if (! isIntegerInRange (get (key), PortableSection::minOctave, PortableSection::maxOctave))
            return Result::fail ("Arrangement " + juce::String (key) + " must be an integer from -4 to 4.");

    const auto modeValue = get (PortableSection::shimmerModeKey);
    const auto modeText = modeValue.toString();
    const bool modeIsValid = modeValue.isString()
                             && (modeText == "Off" || modeText == "Top" || modeText == "Color" || modeText == "Halo");

    if (! modeIsValid)
        return Result::fail ("Arrangement shimmer_mode is invalid.");

    // A null shimmer octave counts as not given.
    const auto shimmerOctave = get (PortableSection::shimmerOctaveKey);
    const bool shimmerOctaveSet = ! shimmerOctave.isVoid();

    if (modeText == "Off")
    {
        if (shimmerOctaveSet)
            return Result::fail ("Arrangement shimmer_octave must be omitted when shimmer is Off.");
    }
    else if (! isIntegerInRange (shimmerOctave, PortableSection::minOctave, PortableSection::maxOctave))
    {
        return Result::fail ("Arrangement shimmer_octave must be an integer from -4 to 4.");
    }

    return Result::ok();
}

juce::Result validatePortableScale (const juce::String& scaleText)
{
    if ((int) scaleText.getNumBytesAsUTF8() > PortableLimits::maxScaleBytes)
        return Result::fail ("Scale name is too long.");

    const auto trimmed = scaleText.trim();
    const auto space = trimmed.indexOfChar (' ');

    if (space <= 0)
        return Result::fail ("Scale must contain a root note and recognized scale name.");

    const auto root = trimmed.substring (0, space);
    const auto name = trimmed.substring (space + 1).trim();

    if (! isPortableRootNoteName (root) || ! scaleNames().contains (name))
        return Result::fail ("Scale is not recognized by Corvessa.");

    if (scaleText != root + " " + name)
        return Result::fail ("Scale must use a single space between its root and scale name.");

    return Result::ok();
}

juce::Result validateProgressionTokens (const SectionMode::SectionData& section, const juce::String& defaultDuration)
{
    // Which chords are unreadable and how long the events last depend on the text, the octave
    // and the default duration only: never on the voicing style or the bass motion. The check
    // therefore compiles without voicing searches (the fixed "None" voicing and "Balanced"
    // motion) and gives the answer a compile in the section's own style would give, in a
    // fraction of the time for the searched styles.
    ProgressionCompiler compiler;
    const auto events = compiler.compileProgression (section.progression, section.baseOctave,
                                                     (int) VoicingStyle::none, defaultDuration, 1);

    juce::StringArray unreadable;
    for (const auto& text : compiler.unrecognisedChords)
        unreadable.addIfNotAlreadyThere (text);

    if (unreadable.size() == 1)
        return Result::fail ("invalid chord progression token: " + unreadable[0]);

    if (unreadable.size() > 1)
        return Result::fail ("invalid chord progression tokens: " + unreadable.joinIntoString (", "));

    const auto bars = ProgressionCompiler::getTotalLengthInBeats (events) * 0.25;

    if (! (bars > 0.0) || ! std::isfinite (bars) || std::abs (bars - std::round (bars)) > 1.0e-6)
        return Result::fail ("chord durations must total an integer number of bars");

    return Result::ok();
}

juce::Result validatePortableProjectWith (const juce::var& project, const juce::String& defaultDuration)
{
    const auto document = validatePortableDocument (project);
    if (document.failed())
        return document;

    return validatePortableProgressions (project, defaultDuration);
}

juce::Result validatePortableProgressions (const juce::var& project, const juce::String& defaultDuration)
{
    const auto* items = project[PortableProject::sectionsKey].getArray();
    if (items == nullptr)
        return Result::fail ("Portable project must contain 1 to 32 sections.");

    for (const auto& item : *items)
    {
        SectionMode::SectionData section;
        juce::String error;

        // The document check has refused everything the lenient reader could fail on; should
        // the two ever disagree, the reader's message still reaches the caller.
        if (! parsePortableSection (item, section, error))
            return Result::fail ("Section " + section.name.trim() + ": " + error);

        const auto tokens = validateProgressionTokens (section, defaultDuration);
        if (tokens.failed())
            return Result::fail ("Section " + section.name.trim() + ": " + tokens.getErrorMessage());
    }

    return Result::ok();
}
