#include "kit/services/TelemetryHostContext.h"

#include <pluginterfaces/vst/ivsthostapplication.h>

namespace velmar
{

namespace
{
    juce::String askHostForName (Steinberg::FUnknown* host)
    {
        if (host == nullptr)
            return {};

        Steinberg::Vst::IHostApplication* application = nullptr;

        if (host->queryInterface (Steinberg::Vst::IHostApplication_iid, (void**) &application) != Steinberg::kResultOk
            || application == nullptr)
            return {};

        Steinberg::Vst::String128 buffer {};
        juce::String name;

        if (application->getName (buffer) == Steinberg::kResultOk)
        {
            buffer[127] = 0;
            name = juce::String (juce::CharPointer_UTF16 (reinterpret_cast<const juce::CharPointer_UTF16::CharType*> (buffer)));
        }

        application->release();
        return name;
    }
} // namespace

TelemetryHostContext::~TelemetryHostContext() = default;

juce::String TelemetryHostContext::cleanHostName (const juce::String& rawName)
{
    if (rawName.containsAnyOf ("/\\\r\n\t"))
        return {};

    juce::String kept;

    for (auto c : rawName)
    {
        const bool safe = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')
                          || c == ' ' || c == '.' || c == '_' || c == '(' || c == ')' || c == '+' || c == '-';
        if (safe)
            kept << juce::String::charToString (c);
    }

    kept = kept.trim();

    int start = 0;
    while (start < kept.length() && juce::String ("._()+-").containsChar (kept[start]))
        ++start;

    kept = kept.substring (start).trim().substring (0, 64);

    if (kept.equalsIgnoreCase ("Unknown"))
        return {};

    return kept;
}

void TelemetryHostContext::setIHostApplication (Steinberg::FUnknown* host)
{
    const auto cleaned = cleanHostName (askHostForName (host));

    const juce::ScopedLock sl (lock);
    hostName = cleaned;
}

juce::String TelemetryHostContext::getHostName() const
{
    const juce::ScopedLock sl (lock);
    return hostName;
}

} // namespace velmar
