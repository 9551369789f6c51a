#pragma once

#include <juce_core/juce_core.h>

namespace velmar
{

// The maker's web service. Its base address is one build setting (the CMake cache variable
// CORVESSA_SERVICE_BASE_URL); every endpoint and page address is derived from it here.
juce::String getServiceBaseUrl();

juce::String getUpdateFeedUrl();          // "/api/updates/corvessa.json"
juce::String getTelemetryEndpointUrl();   // "/api/telemetry/heartbeat"
juce::String getSupportEndpointUrl();     // "/api/plugin-support"

juce::String getMcpPageUrl();             // "/mcp/"
juce::String getTermsPageUrl();           // "/terms/"
juce::String getThirdPartyNoticesUrl();   // "/terms/#third-party-notices"
juce::String getContactPageUrl();         // "/contact/"
juce::String getWebsiteUrl();             // "/", the maker's home page
juce::String getCommunityInviteUrl();     // "/discord/", which forwards to the current Discord invitation

// The operating system this build is for, in the lower-case form the service expects
// ("windows", "macos", "linux").
juce::String getPlatformName();

// The processor architecture this build is for ("x64", "arm64", ...).
juce::String getArchitectureName();

} // namespace velmar
