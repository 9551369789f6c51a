#include "mood/panel/DistinctSections.h"

std::vector<SectionMode::SectionData> collectDistinctSections (const std::function<SectionMode::SectionData()>& generate,
                                                               int wanted, int attempts)
{
    std::vector<SectionMode::SectionData> kept;
    juce::StringArray progressions;

    for (int attempt = 0; attempt < attempts && (int) kept.size() < wanted; ++attempt)
    {
        auto section = generate();
        const auto text = section.progression.trim();

        if (text.isEmpty() || progressions.contains (text, false))
            continue;

        progressions.add (text);
        kept.push_back (std::move (section));
    }

    if (kept.empty())
        kept.push_back (generate());

    return kept;
}
