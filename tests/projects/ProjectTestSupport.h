#pragma once

#include "processor/state/PersistentState.h"
#include "processor/state/PortableProject.h"

#include "processor/JsonTestSupport.h"
#include "support/OtherProgram.h"

#include <juce_core/juce_core.h>

#include <gtest/gtest.h>

namespace projecttest
{

// A folder of its own for one test, removed afterwards.
class ScratchFolder
{
public:
    ScratchFolder()
        : folder (juce::File::getSpecialLocation (juce::File::tempDirectory)
                      .getNonexistentChildFile ("corvessa-projects-test", "", false))
    {
        folder.createDirectory();
    }

    ~ScratchFolder() { folder.deleteRecursively(); }

    const juce::File& get() const noexcept { return folder; }
    juce::File operator/ (const juce::String& name) const { return folder.getChildFile (name); }

private:
    juce::File folder;
};

// A portable project of named sections that the processor's strict check accepts.
inline juce::var makeProject (std::initializer_list<const char*> names = { "Verse" })
{
    PersistentState state;

    for (const auto* name : names)
    {
        SectionMode::SectionData section;
        section.name = name;
        section.progression = "C Am F G";
        state.Sections.push_back (section);
    }

    state.selectedSectionViewIndex = 0;
    return stateToPortableProject (state);
}

inline void writeFile (const juce::File& file, const juce::String& text)
{
    ASSERT_TRUE (file.replaceWithText (text, false, false, "\n"));
}

// Another program writes over the file: the test copies `source` onto `target` with cp in a
// process of its own, as any program outside the plug-in would.
inline void copyWithOtherProgram (const juce::File& source, const juce::File& target)
{
    ASSERT_EQ (corvessa::test::runOtherProgram (juce::StringArray { "cp", source.getFullPathName(), target.getFullPathName() }), 0);
}

inline void removeWithOtherProgram (const juce::File& target)
{
    ASSERT_EQ (corvessa::test::runOtherProgram (juce::StringArray { "rm", "-f", target.getFullPathName() }), 0);
    ASSERT_FALSE (target.exists());
}

} // namespace projecttest

namespace juce
{
// Readable failure messages for text lists.
inline void PrintTo (const StringArray& list, std::ostream* os)
{
    *os << "[" << list.joinIntoString (" | ").toStdString() << "]";
}
} // namespace juce
