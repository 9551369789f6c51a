#include "kit/services/ServiceAddresses.h"

#ifndef CORVESSA_SERVICE_BASE_URL
 #error "CORVESSA_SERVICE_BASE_URL must be defined by the build"
#endif

namespace velmar
{

namespace
{
    juce::String withPath (const char* path)
    {
        return getServiceBaseUrl() + path;
    }
} // namespace

juce::String getServiceBaseUrl()
{
    auto base = juce::String (CORVESSA_SERVICE_BASE_URL).trim();

    while (base.endsWithChar ('/'))
        base = base.dropLastCharacters (1);

    return base;
}

juce::String getUpdateFeedUrl()         { return withPath ("/api/updates/corvessa.json"); }
juce::String getTelemetryEndpointUrl()  { return withPath ("/api/telemetry/heartbeat"); }
juce::String getSupportEndpointUrl()    { return withPath ("/api/plugin-support"); }
juce::String getMcpPageUrl()            { return withPath ("/mcp/"); }
juce::String getTermsPageUrl()          { return withPath ("/terms/"); }
juce::String getThirdPartyNoticesUrl()  { return withPath ("/terms/#third-party-notices"); }
juce::String getContactPageUrl()        { return withPath ("/contact/"); }
juce::String getWebsiteUrl()            { return withPath ("/"); }
juce::String getCommunityInviteUrl()    { return withPath ("/discord/"); }

juce::String getPlatformName()
{
   #if JUCE_WINDOWS
    return "windows";
   #elif JUCE_MAC
    return "macos";
   #elif JUCE_IOS
    return "ios";
   #elif JUCE_ANDROID
    return "android";
   #elif JUCE_LINUX
    return "linux";
   #elif JUCE_BSD
    return "bsd";
   #else
    return "unknown";
   #endif
}

juce::String getArchitectureName()
{
   #if defined (__x86_64__) || defined (_M_X64)
    return "x64";
   #elif defined (__aarch64__) || defined (_M_ARM64)
    return "arm64";
   #elif defined (__i386__) || defined (_M_IX86)
    return "x86";
   #elif defined (__arm__)
    return "arm";
   #else
    return "unknown";
   #endif
}

} // namespace velmar
