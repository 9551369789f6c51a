#include "kit/SupportRequestClient.h"

namespace velmar
{

SupportRequestClient::SupportRequestClient (Config configToUse)
    : juce::Thread ("VelmarSupportRequest"), config (std::move (configToUse))
{
}

SupportRequestClient::~SupportRequestClient()
{
    signalThreadShouldExit();
    http.cancel();
    stopThread (-1);
}

bool SupportRequestClient::send (const SupportRequest&, Callback) { return false; }
void SupportRequestClient::cancel() { signalThreadShouldExit(); http.cancel(); }
juce::String SupportRequestClient::buildRequestBody (const SupportRequest&) { return {}; }
SupportResponse SupportRequestClient::mapResponse (int, const juce::String&) { return {}; }
void SupportRequestClient::run() {}
void SupportRequestClient::complete (const SupportResponse&) {}

} // namespace velmar
