#include "kit/services/TelemetryHostContext.h"

#include "kit/FakeVst3Host.h"

#include <gtest/gtest.h>

using velmar::TelemetryHostContext;
using kittest::FakeHost;

TEST (TelemetryHostContext, CleansHostNames)
{
    struct Case { const char* raw; const char* cleaned; };
    const Case cases[] = {
        { "  ..My Host (x64)  ", "My Host (x64)" },
        { "Cubase Pro 13", "Cubase Pro 13" },
        { "Reaper/x64", "" },
        { "C:\\Hosts\\Live", "" },
        { "Line\nBreak", "" },
        { "Tab\there", "" },
        { "Unknown", "" },
        { "  uNkNoWn ", "" },
        { "-_+()Bitwig_Studio", "Bitwig_Studio" },
        { "Name; rm -rf ~ $(x) \"q\"", "Name rm -rf  (x) q" },
        { "  . ( Host", "( Host" },   // only the very start loses those characters
        { "...", "" },
        { "", "" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (TelemetryHostContext::cleanHostName (c.raw), c.cleaned) << c.raw;

    const juce::String seventy = juce::String::repeatedString ("abcdefghij", 7);
    EXPECT_EQ (TelemetryHostContext::cleanHostName (seventy), seventy.substring (0, 64));
    EXPECT_EQ (TelemetryHostContext::cleanHostName (juce::String (juce::CharPointer_UTF8 ("St\xc3\xbc" "dio One"))), "Stdio One");
}

TEST (TelemetryHostContext, AsksTheHostForItsNameAndReleasesIt)
{
    TelemetryHostContext context;
    EXPECT_EQ (context.getHostName(), "");

    FakeHost host (u"  Test Host 1.0 ");
    context.setIHostApplication (&host);
    EXPECT_EQ (context.getHostName(), "Test Host 1.0");
    EXPECT_EQ (host.references, 1) << "the interface asked for is released again";

    // A long name is cut to the buffer; a refused name, or a host without the interface,
    // leaves the name empty.
    FakeHost longName (std::u16string (200, u'x'));
    context.setIHostApplication (&longName);
    EXPECT_EQ (context.getHostName(), juce::String::repeatedString ("x", 64));

    FakeHost slashed (u"Host/Path");
    context.setIHostApplication (&slashed);
    EXPECT_EQ (context.getHostName(), "");

    context.setIHostApplication (&host);
    FakeHost silent (u"Ignored", false);
    context.setIHostApplication (&silent);
    EXPECT_EQ (context.getHostName(), "");

    context.setIHostApplication (&host);
    context.setIHostApplication (nullptr);
    EXPECT_EQ (context.getHostName(), "");
}
