#include "editor/EditorTexts.h"

#include <cmath>
#include <optional>

namespace
{
// The number a piece's digits form, read left to right ("1a2" is 12); none without digits.
// Absurdly long digit runs saturate instead of overflowing.
std::optional<juce::int64> numberFromDigits (const juce::String& text)
{
    std::optional<juce::int64> number;

    for (auto character : text)
    {
        if (! juce::CharacterFunctions::isDigit (character))
            continue;

        const auto digit = (juce::int64) (character - '0');
        const auto value = number.value_or (0);
        number = value > (std::numeric_limits<juce::int64>::max() - digit) / 10 ? std::numeric_limits<juce::int64>::max()
                                                                                 : value * 10 + digit;
    }

    return number;
}
} // namespace

juce::String formatBpmRange (const juce::String& tempoText, const juce::String& fallback)
{
    auto text = tempoText.trim();

    if (text.endsWithIgnoreCase ("BPM"))
        text = text.dropLastCharacters (3).trim();

    text = text.replace (juce::String (juce::CharPointer_UTF8 ("\xe2\x80\x93")), "-")
               .replace (juce::String (juce::CharPointer_UTF8 ("\xe2\x80\x94")), "-")
               .replace (" to ", "-");

    std::vector<juce::int64> numbers;

    for (const auto& piece : juce::StringArray::fromTokens (text, "-", {}))
        if (const auto number = numberFromDigits (piece))
            numbers.push_back (*number);

    if (numbers.empty())
        if (const auto number = numberFromDigits (text))
            numbers.push_back (*number);

    if (numbers.empty())
        return fallback;

    if (numbers.size() == 1)
        return juce::String (numbers[0]);

    const auto low = juce::jmin (numbers[0], numbers[1]);
    const auto high = juce::jmax (numbers[0], numbers[1]);
    return low == high ? juce::String (low) : juce::String (low) + "-" + juce::String (high);
}

void selectComboItemByText (juce::ComboBox& combo, const juce::String& text)
{
    for (int i = 0; i < combo.getNumItems(); ++i)
    {
        if (combo.getItemText (i) == text)
        {
            combo.setSelectedItemIndex (i, juce::dontSendNotification);
            return;
        }
    }

    combo.setText (text, juce::dontSendNotification);
}

juce::String formatOctaveOffset (int offset)
{
    return offset > 0 ? "+" + juce::String (offset) : juce::String (offset);
}

juce::String shortVoicingName (double value)
{
    switch (juce::roundToInt (value))
    {
        case 1: return "None";
        case 2: return "1st Inv";
        case 4: return "Guitar";
        case 5: return "Piano";
        case 6: return "Bass";
        case 7: return "Jazz";
        default: return "Smooth";
    }
}

juce::String outputLayerShortName (double value)
{
    switch (juce::roundToInt (value))
    {
        case 2: return "Bass";
        case 3: return "Body";
        case 4: return "Shimmer";
        case 5: return "Bass+Body";
        case 6: return "Bass+Shimmer";
        case 7: return "Body+Shimmer";
        default: return "All";
    }
}

juce::String makeDownloadIconSvg (juce::Colour colour)
{
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 24 24\">"
           "<path fill=\"#" + colour.toDisplayString (false).toLowerCase() + "\" "
           "d=\"M11 3h2v9.17l3.59-3.58L18 10l-6 6-6-6 1.41-1.41L11 12.17V3zM5 19h14v2H5z\"/></svg>";
}
