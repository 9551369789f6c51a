#include "projects/ProjectFileDocument.h"

#include "ProjectTestSupport.h"

#include <regex>

using namespace projecttest;

namespace
{
    const char* const validId = "0f8fad5b-d9cb-469f-a165-70867728950e";

    // A valid envelope with one key changed (void removes it).
    juce::var envelopeWith (const char* key, const juce::var& value)
    {
        auto document = makeProjectFileDocument (validId, "Song", "About it", makeProject());
        auto* object = document.getDynamicObject();

        if (value.isVoid())
            object->removeProperty (key);
        else
            object->setProperty (key, value);

        return document;
    }
} // namespace

TEST (ProjectFileDocument, EnvelopeKeepsItsKeyOrderOnOneLine)
{
    const auto document = makeProjectFileDocument (validId, "  My Song ", " notes ", makeProject());

    EXPECT_EQ (::keysOf (document), juce::StringArray ({ "format", "version", "projectId", "plugin", "name",
                                                       "description", "savedAt", "project" }));
    EXPECT_EQ (document["format"].toString(), "velmar-plugin-project");
    EXPECT_TRUE (document["version"].isInt());
    EXPECT_EQ ((int) document["version"], 2);
    EXPECT_EQ (document["plugin"].toString(), "Corvessa");
    EXPECT_EQ (document["name"].toString(), "My Song");
    EXPECT_EQ (document["description"].toString(), "notes");

    // ISO 8601 with milliseconds, e.g. 2024-05-01T10:11:12.345+02:00.
    const auto savedAt = document["savedAt"].toString();
    EXPECT_TRUE (std::regex_match (savedAt.toStdString(), std::regex (R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}.*)")))
        << savedAt;

    const auto text = projectDocumentToText (document);
    EXPECT_FALSE (text.containsAnyOf ("\r\n"));
    EXPECT_TRUE (text.startsWith ("{\"format\": \"velmar-plugin-project\", \"version\": 2, \"projectId\": "));
    EXPECT_TRUE (validateProjectFile (juce::JSON::parse (text)).wasOk());
}

TEST (ProjectFileDocument, NewIdsAreLowerCaseDashedUuids)
{
    const auto id = makeProjectId();
    EXPECT_EQ (id.length(), 36);
    EXPECT_EQ (id, id.toLowerCase());
    EXPECT_TRUE (isValidProjectId (id));
    EXPECT_NE (id, makeProjectId());
}

TEST (ProjectFileDocument, ProjectIdValidity)
{
    const struct { const char* text; bool valid; } cases[] = {
        { "0f8fad5b-d9cb-469f-a165-70867728950e", true },
        { "0F8FAD5B-D9CB-469F-A165-70867728950E", true },     // letter case is ignored
        { "  0f8fad5b-d9cb-469f-a165-70867728950e  ", true }, // trimmed first
        { "0f8fad5bd9cb469fa16570867728950e", false },        // no dashes
        { "0f8fad5b-d9cb-469f-a165-70867728950", false },     // too short
        { "0f8fad5b-d9cb-469f-a165-70867728950g", false },    // not hex
        { "0f8fad5b+d9cb-469f-a165-70867728950e", false },    // a dash in the wrong form
        { "", false },
    };

    for (const auto& c : cases)
        EXPECT_EQ (isValidProjectId (c.text), c.valid) << c.text;
}

TEST (ProjectFileDocument, ValidationNamesTheFirstProblem)
{
    const struct { const char* key; juce::var value; const char* message; } cases[] = {
        { "format", juce::var(), "Not an VELMAR project" },
        { "format", "velmar-plugin-preset", "Not an VELMAR project" },
        { "version", 1, "Unsupported project version" },
        { "version", 2.5, "Unsupported project version" },
        { "version", 2.0, "Unsupported project version" },
        { "version", "2", "Unsupported project version" },
        { "plugin", "Lumen", "Project belongs to another plugin" },
        { "projectId", 42, "Project ID is missing or invalid" },
        { "projectId", "not-an-id", "Project ID is missing or invalid" },
        { "projectId", juce::var(), "Project ID is missing or invalid" },
        { "name", "   ", "Project name is missing" },
        { "name", 7, "Project name is missing" },
        { "description", juce::var(), "Project description is invalid" },
        { "description", 3, "Project description is invalid" },
        { "savedAt", " ", "Project timestamp is missing" },
        { "savedAt", juce::var(), "Project timestamp is missing" },
        { "project", juce::var(), "Project data is missing" },
        { "project", juce::Array<juce::var> { 1 }, "Project data is missing" },
    };

    for (const auto& c : cases)
    {
        const auto result = validateProjectFile (envelopeWith (c.key, c.value));
        EXPECT_TRUE (result.failed()) << c.key;
        EXPECT_EQ (result.getErrorMessage(), c.message) << c.key;
    }

    EXPECT_EQ (validateProjectFile (juce::Array<juce::var> {}).getErrorMessage(), "Invalid project file");
    EXPECT_EQ (validateProjectFile (juce::var ("text")).getErrorMessage(), "Invalid project file");

    // Checks run in order: a wrong format hides a wrong plugin behind it.
    auto both = envelopeWith ("plugin", "Lumen");
    both.getDynamicObject()->setProperty ("format", "other");
    EXPECT_EQ (validateProjectFile (both).getErrorMessage(), "Not an VELMAR project");

    // What passes: an empty description, a 64-bit 2, an upper-case id.
    EXPECT_TRUE (validateProjectFile (envelopeWith ("description", "")).wasOk());
    EXPECT_TRUE (validateProjectFile (envelopeWith ("version", (juce::int64) 2)).wasOk());
    EXPECT_TRUE (validateProjectFile (envelopeWith ("projectId", juce::String (validId).toUpperCase())).wasOk());
}

TEST (ProjectFileDocument, ReadersFallBackForFilesThatAreNoEnvelope)
{
    ScratchFolder folder;

    const auto good = folder / "Stored.json";
    writeFile (good, projectDocumentToText (makeProjectFileDocument (validId, " Shown Name ", " Notes ", makeProject())));
    EXPECT_EQ (readProjectDisplayName (good), "Shown Name");
    EXPECT_EQ (readProjectDescription (good), "Notes");
    EXPECT_EQ (readProjectIdFromFile (good), validId);

    const auto broken = folder / "Broken File.json";
    writeFile (broken, "{ not json");
    EXPECT_EQ (readProjectDisplayName (broken), "Broken File");
    EXPECT_EQ (readProjectDescription (broken), "");
    EXPECT_EQ (readProjectIdFromFile (broken), "");

    const auto blankName = folder / "Blank.json";
    writeFile (blankName, R"({"name": "  ", "description": 5})");
    EXPECT_EQ (readProjectDisplayName (blankName), "Blank");
    EXPECT_EQ (readProjectDescription (blankName), "");

    const auto missing = folder / "Missing.json";
    EXPECT_EQ (readProjectDisplayName (missing), "Missing");
    EXPECT_EQ (readProjectIdFromFile (missing), "");

    // The id is kept only from an envelope of this format, version and plug-in.
    auto foreign = makeProjectFileDocument (validId, "Other", "", makeProject());
    foreign.getDynamicObject()->setProperty ("plugin", "Lumen");
    const auto foreignFile = folder / "Foreign.json";
    writeFile (foreignFile, projectDocumentToText (foreign));
    EXPECT_EQ (readProjectIdFromFile (foreignFile), "");
    EXPECT_EQ (readProjectDisplayName (foreignFile), "Other");

    auto badId = makeProjectFileDocument ("1234", "Other", "", makeProject());
    writeFile (foreignFile, projectDocumentToText (badId));
    EXPECT_EQ (readProjectIdFromFile (foreignFile), "");
}
