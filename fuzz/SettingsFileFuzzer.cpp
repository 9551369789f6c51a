// The settings file as any program may leave it: every read takes what it can or nothing, a
// write either refuses or leaves a file that reads back with the written key and every other
// key as it was.

#include "FuzzSupport.h"

#include "kit/json/JsonReader.h"
#include "kit/json/JsonWriter.h"
#include "kit/services/SettingsStore.h"
#include "kit/services/TelemetryClient.h"

namespace
{
const char* const settingsPath = "VELMAR/Corvessa";

juce::var rootOf (const velmar::SettingsStore& store)
{
    return velmar::JsonReader::parse (store.getFile().loadFileAsString());
}
} // namespace

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    FuzzSupport::useOwnHome();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    velmar::SettingsStore store (settingsPath);
    const auto file = store.getFile();
    file.getParentDirectory().createDirectory();

    if (! file.replaceWithData (data, size))
        return 0;

    store.readSection ("telemetry");
    store.getDouble ("ui", "scale", 1.0);

    velmar::TelemetryClient::Config config;
    config.settingsPath = settingsPath;
    config.consentVersion = "2026-07-10";
    config.welcomeVersion = "2026-08-26";
    velmar::TelemetryClient telemetry (config);
    telemetry.isEnabled();
    telemetry.isWelcomeNeeded();

    const auto before = rootOf (store);

    if (! store.setValue ("ui", "scale", 1.25))
        return 0;

    // Written: the file reads back, holds the new key, and keeps every other key as it was.
    const auto after = rootOf (store);
    auto* afterObject = after.getDynamicObject();

    if (afterObject == nullptr || (double) after["ui"]["scale"] != 1.25 || (int) after["schema"] != 1)
        FuzzSupport::fail ("a written settings file does not read back");

    if (auto* beforeObject = before.getDynamicObject())
    {
        for (const auto& property : beforeObject->getProperties())
        {
            const auto name = property.name.toString();

            if (name == "ui" || name == "schema")
                continue;

            if (velmar::JsonWriter::toString (after[property.name], true) != velmar::JsonWriter::toString (property.value, true))
                FuzzSupport::fail ("a write changed another key of the settings file");
        }
    }

    return 0;
}
