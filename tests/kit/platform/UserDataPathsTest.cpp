#include "kit/platform/UserDataPaths.h"

#include <gtest/gtest.h>

TEST (UserDataPaths, DescendsOnePieceAtATimeAndNeverClimbsOut)
{
    const auto base = juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory);

    struct Case { const char* relative; const char* expectedBelowBase; };
    const Case cases[] = {
        { "VELMAR/Corvessa",              "VELMAR/Corvessa" },
        { "VELMAR\\Corvessa",             "VELMAR/Corvessa" },
        { "//VELMAR///Corvessa//",        "VELMAR/Corvessa" },
        { "",                             "" },
        { "../../etc/passwd",             "etc/passwd" },
        { "VELMAR/./../Corvessa",         "VELMAR/Corvessa" },
        { "..\\..\\x",                    "x" },
        { "~/secret",                     "~/secret" },   // "~" is an ordinary folder name here
        { "/etc",                         "etc" },
    };

    for (const auto& c : cases)
    {
        const auto result = velmar::getUserApplicationDataFile (c.relative);
        const juce::String expected = juce::String (c.expectedBelowBase).isEmpty()
                                        ? base.getFullPathName()
                                        : base.getFullPathName() + "/" + c.expectedBelowBase;
        EXPECT_EQ (result.getFullPathName(), expected) << c.relative;
        EXPECT_TRUE (result == base || result.isAChildOf (base)) << c.relative;
    }
}

TEST (UserDataPaths, FollowsHomeAndCreatesNothing)
{
    const auto result = velmar::getUserApplicationDataFile ("VELMAR-never-made/Corvessa");
    const auto home = juce::SystemStats::getEnvironmentVariable ("HOME", {});
    EXPECT_TRUE (result.getFullPathName().startsWith (home)) << result.getFullPathName();
    EXPECT_FALSE (result.exists());
    EXPECT_FALSE (result.getParentDirectory().exists());
}
