#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace velmar
{

// The processor's VST3 client extension: the framework hands it the host's context, from
// which it keeps the host application's name, cleaned so that it is safe to report.
class TelemetryHostContext : public juce::VST3ClientExtensions
{
public:
    TelemetryHostContext() = default;
    ~TelemetryHostContext() override;

    void setIHostApplication (Steinberg::FUnknown* host) override;

    // The cleaned host name ("" until a host told one, or when its name was refused).
    juce::String getHostName() const;

    // The cleaning rule on its own: characters outside a small safe set are dropped, names
    // with path or line separators are refused, at most 64 characters, "Unknown" is empty.
    static juce::String cleanHostName (const juce::String& rawName);

private:
    juce::CriticalSection lock;
    juce::String hostName;

    JUCE_DECLARE_NON_COPYABLE (TelemetryHostContext)
};

} // namespace velmar
