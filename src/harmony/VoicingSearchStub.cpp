#include "harmony/VoicingSearch.h"

// Stand-in for the searched voicing styles until the real searches are built: every search
// finds nothing, so the progression compile uses its own fixed fallback voicing for each style.

int positivePitchClass (int note)
{
    return ((note % 12) + 12) % 12;
}

std::vector<int> voicePianist (const std::vector<int>&, int, const std::optional<std::vector<int>>&)
{
    return {};
}

std::vector<int> voiceJazz (const std::vector<int>&, int, const std::optional<std::vector<int>>&)
{
    return {};
}

std::vector<int> voiceGuitarist (const std::vector<int>&, int, const std::optional<std::vector<int>>&)
{
    return {};
}

std::vector<int> voiceBassist (const std::vector<int>&, int, const std::optional<std::vector<int>>&)
{
    return {};
}
