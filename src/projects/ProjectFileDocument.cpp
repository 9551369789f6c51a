#include "projects/ProjectFileDocument.h"

#include "projects/ProjectLibraryStorage.h"

#include "kit/json/JsonReader.h"
#include "kit/json/JsonWriter.h"

namespace
{
    using Doc = ProjectFileDocument;

    // The parsed content of a library file, or void when it cannot be read or is no JSON.
    juce::var readDocument (const juce::File& file)
    {
        juce::MemoryBlock bytes;

        if (! readProjectFileBytes (file, bytes))
            return {};

        return velmar::JsonReader::parse (juce::String::fromUTF8 (static_cast<const char*> (bytes.getData()),
                                                                  (int) bytes.getSize()));
    }

    juce::var property (const juce::var& object, const char* key)
    {
        return object.getProperty (juce::Identifier (key), {});
    }

    bool isWholeNumber (const juce::var& value)
    {
        return value.isInt() || value.isInt64();
    }
} // namespace

bool isValidProjectId (const juce::String& projectId)
{
    const auto trimmed = projectId.trim();
    return trimmed.length() == 36 && trimmed.equalsIgnoreCase (juce::Uuid (trimmed).toDashedString());
}

juce::String makeProjectId()
{
    return juce::Uuid().toDashedString().toLowerCase();
}

juce::var makeProjectFileDocument (const juce::String& projectId, const juce::String& name,
                                   const juce::String& description, const juce::var& project)
{
    auto* object = new juce::DynamicObject();
    juce::var document (object);

    object->setProperty (Doc::formatKey, Doc::formatName);
    object->setProperty (Doc::versionKey, Doc::formatVersion);
    object->setProperty (Doc::projectIdKey, projectId);
    object->setProperty (Doc::pluginKey, Doc::pluginName);
    object->setProperty (Doc::nameKey, name.trim());
    object->setProperty (Doc::descriptionKey, description.trim());
    object->setProperty (Doc::savedAtKey, juce::Time::getCurrentTime().toISO8601 (true));
    object->setProperty (Doc::projectKey, project);
    return document;
}

juce::String projectDocumentToText (const juce::var& document)
{
    return velmar::JsonWriter::toString (document, true, 15);
}

juce::Result validateProjectFile (const juce::var& document)
{
    const auto fail = [] (const char* message) { return juce::Result::fail (message); };

    if (! document.isObject() || document.getDynamicObject() == nullptr)
        return fail ("Invalid project file");

    if (property (document, Doc::formatKey).toString() != Doc::formatName)
        return fail ("Not an VELMAR project");

    const auto version = property (document, Doc::versionKey);

    if (! isWholeNumber (version) || (juce::int64) version != Doc::formatVersion)
        return fail ("Unsupported project version");

    if (property (document, Doc::pluginKey).toString() != Doc::pluginName)
        return fail ("Project belongs to another plugin");

    const auto id = property (document, Doc::projectIdKey);

    if (! id.isString() || ! isValidProjectId (id.toString()))
        return fail ("Project ID is missing or invalid");

    const auto name = property (document, Doc::nameKey);

    if (! name.isString() || name.toString().trim().isEmpty())
        return fail ("Project name is missing");

    if (! property (document, Doc::descriptionKey).isString())
        return fail ("Project description is invalid");

    const auto savedAt = property (document, Doc::savedAtKey);

    if (! savedAt.isString() || savedAt.toString().trim().isEmpty())
        return fail ("Project timestamp is missing");

    const auto project = property (document, Doc::projectKey);

    if (! project.isObject() || project.getDynamicObject() == nullptr)
        return fail ("Project data is missing");

    return juce::Result::ok();
}

juce::String readProjectDisplayName (const juce::File& file)
{
    const auto document = readDocument (file);

    if (document.getDynamicObject() != nullptr)
    {
        const auto name = property (document, Doc::nameKey);

        if (name.isString() && name.toString().trim().isNotEmpty())
            return name.toString().trim();
    }

    return file.getFileNameWithoutExtension();
}

juce::String readProjectDescription (const juce::File& file)
{
    const auto document = readDocument (file);

    if (document.getDynamicObject() == nullptr)
        return {};

    const auto description = property (document, Doc::descriptionKey);
    return description.isString() ? description.toString().trim() : juce::String();
}

juce::String readProjectIdFromFile (const juce::File& file)
{
    const auto document = readDocument (file);

    if (document.getDynamicObject() == nullptr
        || property (document, Doc::formatKey).toString() != Doc::formatName
        || property (document, Doc::pluginKey).toString() != Doc::pluginName)
        return {};

    if ((int) property (document, Doc::versionKey) != Doc::formatVersion)
        return {};

    const auto id = property (document, Doc::projectIdKey).toString().trim();
    return isValidProjectId (id) ? id : juce::String();
}
