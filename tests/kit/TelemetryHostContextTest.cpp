#include "kit/TelemetryHostContext.h"

#include <pluginterfaces/vst/ivsthostapplication.h>

#include <gtest/gtest.h>

#include <cstring>

using velmar::TelemetryHostContext;

namespace
{
    // A host's context object as a VST3 host hands it over: it answers IHostApplication only
    // when asked to, and counts references so that the test sees the interface released.
    struct FakeHost : Steinberg::Vst::IHostApplication
    {
        explicit FakeHost (std::u16string nameToReport, bool answersHostApplication = true)
            : name (std::move (nameToReport)), answers (answersHostApplication) {}

        Steinberg::tresult PLUGIN_API queryInterface (const Steinberg::TUID iid, void** obj) override
        {
            if (answers && std::memcmp (iid, Steinberg::Vst::IHostApplication_iid, sizeof (Steinberg::TUID)) == 0)
            {
                addRef();
                *obj = static_cast<Steinberg::Vst::IHostApplication*> (this);
                return Steinberg::kResultOk;
            }

            *obj = nullptr;
            return Steinberg::kNoInterface;
        }

        Steinberg::uint32 PLUGIN_API addRef() override  { return (Steinberg::uint32) ++references; }
        Steinberg::uint32 PLUGIN_API release() override { return (Steinberg::uint32) --references; }

        Steinberg::tresult PLUGIN_API getName (Steinberg::Vst::String128 out) override
        {
            // Writes all 128 units when the name is that long, with no terminator of its own.
            const auto count = std::min<size_t> (name.size(), 128);
            for (size_t i = 0; i < count; ++i)
                out[i] = (Steinberg::Vst::TChar) name[i];
            if (count < 128)
                out[count] = 0;
            return Steinberg::kResultOk;
        }

        Steinberg::tresult PLUGIN_API createInstance (Steinberg::TUID, Steinberg::TUID, void** obj) override
        {
            *obj = nullptr;
            return Steinberg::kNotImplemented;
        }

        std::u16string name;
        bool answers;
        int references = 1;
    };
} // namespace

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
