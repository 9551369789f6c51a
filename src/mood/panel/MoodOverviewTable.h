#pragma once

#include <vector>

// The mood table the panel shows below its controls: three groups of moods with the scale,
// tempo range and keys written as the panel prints them. These are display texts of the panel,
// kept apart from the generator's profiles so that a reader can compare them line by line.
struct MoodOverviewRow
{
    const char* mood;
    const char* scale;
    const char* bpm;
    const char* keys;   // comma-separated; each key is a clickable target
};

struct MoodOverviewGroup
{
    const char* title;
    std::vector<MoodOverviewRow> rows;
};

// Built once, read-only; any thread.
const std::vector<MoodOverviewGroup>& getMoodOverviewGroups();
