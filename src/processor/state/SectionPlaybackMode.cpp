#include "processor/state/SectionPlaybackMode.h"

bool parseSectionPlaybackMode (const juce::var& value, int& mode)
{
    if (value.isVoid())
    {
        mode = 0;
        return true;
    }

    if (! value.isString())
        return false;

    const auto text = value.toString();

    if (text == "loopSection")
    {
        mode = 0;
        return true;
    }

    if (text == "advanceSections")
    {
        mode = 1;
        return true;
    }

    return false;
}
