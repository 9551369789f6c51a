// Progression text from anywhere (typed, pasted, a project file, a state chunk, an AI client):
// the token model reads it in one pass, normalising twice changes nothing, a token's label and
// option label are always shown, and the compile never throws and places every chord right after
// the one before.

#include "FuzzSupport.h"

#include "harmony/ProgressionCompiler.h"
#include "harmony/ProgressionText.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;

    // The first byte chooses the voicing style and the bass motion.
    const int style = data[0] % 7;
    const int bassMotion = (data[0] / 7) % 3;
    const auto text = FuzzSupport::textOf (data + 1, size - 1);

    const auto tokens = parseProgressionTokens (text);
    const auto normalised = normaliseProgressionText (text);

    if (joinProgressionTokens (tokens) != normalised)
        FuzzSupport::fail ("normalising is not joining the tokens read");

    if (normaliseProgressionText (normalised) != normalised)
        FuzzSupport::fail ("normalising a normalised text changed it");

    for (const auto& token : tokens)
    {
        if (formatDurationLabel (token).isEmpty())
            FuzzSupport::fail ("a token has no duration label");

        harmonicOptionLabel (token.option);
        formatChordSymbol (token);
    }

    // Compiling every chord runs the voicing searches; long texts are left to the tests.
    if (size <= 1024)
    {
        ProgressionCompiler compiler;
        const auto events = compiler.compileProgression (text, 3, style, "1", bassMotion);
        double start = 0.0;

        for (const auto& event : events)
        {
            if (! std::isfinite (event.startTicks) || ! std::isfinite (event.lengthTicks) || event.lengthTicks < 0.0
                || event.startTicks != start)
                FuzzSupport::fail ("a compiled chord has no proper place in time");

            start += event.lengthTicks;
        }
    }

    return 0;
}
