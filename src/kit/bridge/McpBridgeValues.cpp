#include "kit/bridge/McpBridgeValues.h"

#include "kit/json/JsonWriter.h"

#include <juce_cryptography/juce_cryptography.h>

namespace velmar::McpBridgeValues
{

bool isPlainObject (const juce::var& value)
{
    return value.isObject() && ! value.isArray() && value.getDynamicObject() != nullptr;
}

bool isInteger (const juce::var& value)
{
    return value.isInt() || value.isInt64();
}

juce::String mintId()
{
    return juce::Uuid().toDashedString().toLowerCase();
}

juce::String toText (const juce::var& value)
{
    return JsonWriter::toString (value, false, 15);
}

juce::String sha256Hex (const juce::String& text)
{
    return juce::SHA256 (text.toRawUTF8(), text.getNumBytesAsUTF8()).toHexString().toLowerCase();
}

juce::var makeObject (std::initializer_list<std::pair<const char*, juce::var>> properties)
{
    auto* object = new juce::DynamicObject();

    for (const auto& [name, value] : properties)
        object->setProperty (name, value);

    return juce::var (object);
}

} // namespace velmar::McpBridgeValues
