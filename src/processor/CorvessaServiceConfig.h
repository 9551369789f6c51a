#pragma once

#include "kit/services/TelemetryClient.h"
#include "kit/services/TelemetryHostContext.h"
#include "kit/services/UpdateChecker.h"

#include <juce_audio_processors/juce_audio_processors.h>

// The product's configuration of the kit services that the processor owns.

// "corvessa", "Corvessa", the product's version, the update feed below the service's base address and the
// settings folder "VELMAR/Corvessa".
velmar::UpdateChecker::Config makeUpdateCheckerConfig();

// The telemetry configuration for one instance: its format from the wrapper type and a host
// name provider that reads the instance's host context (which must outlive the client).
velmar::TelemetryClient::Config makeTelemetryConfig (juce::AudioProcessor::WrapperType wrapperType,
                                                     const velmar::TelemetryHostContext* hostContext);

// The host name the heartbeat reports: "Standalone" in the standalone app, the name a VST3
// host told (when not empty) in a VST3 host, else the framework's description of the host.
juce::String telemetryHostNameProvider (juce::AudioProcessor::WrapperType wrapperType,
                                        const velmar::TelemetryHostContext* hostContext);
