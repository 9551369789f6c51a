#include "kit/platform/UserDataPaths.h"

namespace velmar
{

juce::File getUserApplicationDataFile (const juce::String& relativePath)
{
    auto path = juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory).getFullPathName();

    juce::StringArray pieces;
    pieces.addTokens (relativePath, "/\\", {});

    for (const auto& piece : pieces)
    {
        if (piece.isEmpty() || piece == "." || piece == "..")
            continue;

        // Appended as text rather than through File::getChildFile, which would read a piece
        // starting with "~" as an absolute path.
        if (! path.endsWithChar (juce::File::getSeparatorChar()))
            path << juce::File::getSeparatorChar();

        path << piece;
    }

    return juce::File (path);
}

} // namespace velmar
