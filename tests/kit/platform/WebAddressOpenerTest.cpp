#include "kit/platform/WebAddressOpener.h"

#include <gtest/gtest.h>

TEST (WebAddressOpener, HandsOnlyWebAddressesToTheBrowser)
{
    struct Case { const char* address; bool opens; };
    const Case cases[] = {
        { "https://velmar.audio/download", true },
        { "http://velmar.audio", true },
        { "HTTPS://velmar.audio/a?b=c#d", true },
        { "https://user@velmar.audio/x", true },
        { "https://", false },
        { "https:///path", false },
        { "https://:443/", false },
        { "ftp://velmar.audio/file", false },
        { "file:///etc/passwd", false },
        { "javascript:alert(1)", false },
        { "velmar.audio", false },
        { "--help", false },
        { "https://velmar.audio/a b", false },
        { "https://velmar.audio/\n/bin/sh", false },
        { "https://velmar.audio/`id`;$(reboot)", true },   // harmless: no shell ever sees it
        { "", false },
    };

    juce::StringArray launched;
    velmar::setWebAddressLauncherForTesting ([&] (const juce::String& a) { launched.add (a); return true; });

    for (const auto& c : cases)
    {
        launched.clear();
        EXPECT_EQ (velmar::isOpenableWebAddress (c.address), c.opens) << c.address;
        EXPECT_EQ (velmar::openWebAddress (c.address), c.opens) << c.address;
        EXPECT_EQ (launched.size(), c.opens ? 1 : 0) << c.address;
        if (c.opens)
        {
            EXPECT_EQ (launched[0], c.address);
        }
    }

    velmar::setWebAddressLauncherForTesting (nullptr);
}
