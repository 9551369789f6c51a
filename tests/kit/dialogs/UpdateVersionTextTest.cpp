#include "kit/dialogs/UpdateVersionText.h"

#include <gtest/gtest.h>

TEST (UpdateVersionText, FeedVersionsReadCleanlyAfterTheNoticesOwnV)
{
    struct Case { juce::String feed; juce::String shown; };
    const Case cases[] = {
        { "1.3.10", "1.3.10" },
        { "V1.3.10", "1.3.10" },
        { "v1.4.0-beta", "1.4.0-beta" },
        { " \t v 2.0 \n", "2.0" },
        { "vv1", "v1" },                 // only one leading letter goes
        { "", "" },
        { juce::String::repeatedString ("1234567890", 5), "12345678901234567890123456789012" },
        { "v" + juce::String::repeatedString ("x", 31) + "   y", juce::String::repeatedString ("x", 31) },
    };

    for (const auto& c : cases)
    {
        EXPECT_EQ (velmar::versionForDisplay (c.feed), c.shown) << c.feed;
        EXPECT_EQ (velmar::updateAvailableText (c.feed), "Update available: v" + c.shown) << c.feed;
        EXPECT_LE (velmar::versionForDisplay (c.feed).length(), 32);
    }
}
