#include "kit/services/SettingsStore.h"

#include "kit/platform/NamedProcessLock.h"
#include "kit/services/TelemetryClient.h"

#include "kit/ChildProcess.h"
#include "kit/KitTestSupport.h"

#include <gtest/gtest.h>

#include <thread>

using velmar::SettingsStore;

namespace
{
    struct SettingsStoreTest : ::testing::Test
    {
        void SetUp() override { kittest::settingsFolder().deleteRecursively(); }
        void TearDown() override { kittest::settingsFolder().deleteRecursively(); }

        SettingsStore store { "VELMAR/Corvessa" };

        juce::String fileText() const { return kittest::settingsFile().loadFileAsString(); }

        juce::var sectionOf (const juce::String& text, const juce::String& name)
        {
            return juce::JSON::parse (text).getProperty (name, {});
        }

        juce::var object (std::initializer_list<std::pair<const char*, juce::var>> properties)
        {
            auto* o = new juce::DynamicObject();
            for (auto& p : properties)
                o->setProperty (p.first, p.second);
            return juce::var (o);
        }
    };

    // Writes one key again and again in its own section, from a separate process.
    const bool writerRegistered = kittest::registerChildRole ("settings-writer", [] (const juce::StringArray& args)
    {
        SettingsStore store ("VELMAR/Corvessa");
        const int count = args[1].getIntValue();

        for (int i = 0; i < count; ++i)
            if (! store.setValue (args[0], "n" + juce::String (i), i))
                return 5;

        return 0;
    });
} // namespace

TEST_F (SettingsStoreTest, FileLivesInTheProductFolderAndLockNameHashesItsPath)
{
    EXPECT_EQ (store.getFile(), kittest::settingsFile());
    EXPECT_EQ (SettingsStore ("A/B", juce::File ("/tmp/base")).getFile().getFullPathName(), "/tmp/base/A/B/settings.json");

    // h = h * 101 + code point, wrapping at 64 bits, lower-case hex without leading zeros.
    EXPECT_EQ (SettingsStore::getLockNameFor (juce::File ("/abc")), "velmar-settings-" + juce::String::toHexString ((juce::int64) ((47ull * 101 + 97) * 101 * 101 + 98 * 101 + 99)));
    EXPECT_EQ (SettingsStore::getLockNameFor (juce::File ("/tmp/x/settings.json")).substring (0, 16), "velmar-settings-");
    EXPECT_NE (SettingsStore::getLockNameFor (juce::File ("/tmp/Settings.json")),
               SettingsStore::getLockNameFor (juce::File ("/tmp/settings.json")));
}

TEST_F (SettingsStoreTest, HashOfAbcMatchesTheKnownValue)
{
    juce::uint64 h = 0;
    for (auto c : juce::String ("abc"))
        h = h * 101 + (juce::uint64) c;
    EXPECT_EQ (juce::String::toHexString ((juce::int64) h), "f4046");
}

TEST_F (SettingsStoreTest, WritesOneLineKeepsKeyOrderAndAppendsSchemaAfterTheFirstSection)
{
    ASSERT_TRUE (store.writeSection ("telemetry", object ({ { "b", 1 }, { "a", 2 } })));
    ASSERT_TRUE (store.setValue ("ui", "scale", 1.25));
    ASSERT_TRUE (store.setValue ("ui", "logicalWidth", 600));
    ASSERT_TRUE (store.writeSection ("updates", object ({ { "latest_version", "1.0" } })));
    ASSERT_TRUE (store.setValue ("ui", "scale", 1.5));   // an existing key keeps its place

    const auto text = fileText();
    EXPECT_FALSE (text.containsAnyOf ("\r\n"));
    EXPECT_FALSE (text.startsWith ("\xef\xbb\xbf"));
    EXPECT_EQ (text, "{\"telemetry\": {\"b\": 1, \"a\": 2}, \"schema\": 1, \"ui\": {\"scale\": 1.5, \"logicalWidth\": 600}, "
                     "\"updates\": {\"latest_version\": \"1.0\"}}");

    EXPECT_DOUBLE_EQ (store.getDouble ("ui", "scale", 0.0), 1.5);
    EXPECT_EQ ((int) store.readSection ("telemetry").getProperty ("a", {}), 2);
}

TEST_F (SettingsStoreTest, UnknownKeysSurviveAndWholeSectionsAreReplacedInPlace)
{
    ASSERT_TRUE (kittest::settingsFolder().createDirectory());
    ASSERT_TRUE (kittest::settingsFile().replaceWithText ("{\"future\": [1, 2], \"updates\": {\"old\": true}, \"schema\": 7}"));

    ASSERT_TRUE (store.writeSection ("updates", object ({ { "latest_version", "2.0" } })));
    EXPECT_EQ (fileText(), "{\"future\": [1, 2], \"updates\": {\"latest_version\": \"2.0\"}, \"schema\": 1}");
}

TEST_F (SettingsStoreTest, UnreadableFilesReadAsEmptyAndTheNextWriteReplacesThem)
{
    struct Case { juce::String content; };
    const Case cases[] = { { "[1, 2, 3]" }, { "42" }, { "{\"ui\": {\"scale\": " }, { "" }, { "\"text\"" }, { "{\"ui\": \"not an object\"}" }, { "{\"ui\": [1, 2]}" },
                           // Nested deep enough to overflow the framework parser's stack.
                           { "{\"ui\": {\"scale\": 1.0}, \"x\": " + juce::String::repeatedString ("[", 200000) + "}" } };

    for (const auto& c : cases)
    {
        ASSERT_TRUE (kittest::settingsFolder().createDirectory());
        ASSERT_TRUE (kittest::settingsFile().replaceWithText (c.content));

        EXPECT_TRUE (store.readSection ("ui").isVoid()) << c.content;
        EXPECT_DOUBLE_EQ (store.getDouble ("ui", "scale", 0.75), 0.75) << c.content;

        ASSERT_TRUE (store.setValue ("ui", "scale", 2.0)) << c.content;
        EXPECT_EQ (fileText(), "{\"ui\": {\"scale\": 2.0}, \"schema\": 1}") << c.content;
    }
}

TEST_F (SettingsStoreTest, GetDoubleTakesOnlyNumbers)
{
    ASSERT_TRUE (kittest::settingsFolder().createDirectory());
    ASSERT_TRUE (kittest::settingsFile().replaceWithText (
        "{\"ui\": {\"int\": 2, \"big\": 12345678901, \"real\": 1.25, \"flag\": true, \"text\": \"1.5\", \"nothing\": null}}"));

    struct Case { const char* key; double expected; };
    const Case cases[] = { { "int", 2.0 }, { "big", 12345678901.0 }, { "real", 1.25 },
                           { "flag", -1.0 }, { "text", -1.0 }, { "nothing", -1.0 }, { "missing", -1.0 } };

    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ (store.getDouble ("ui", c.key, -1.0), c.expected) << c.key;

    EXPECT_DOUBLE_EQ (store.getDouble ("absent", "int", -1.0), -1.0);
}

TEST_F (SettingsStoreTest, RefusedWritesLeaveTheFileAlone)
{
    ASSERT_TRUE (store.setValue ("ui", "scale", 1.0));
    const auto before = fileText();

    EXPECT_FALSE (store.writeSection ("ui", juce::var ("text")));
    EXPECT_FALSE (store.writeSection ("ui", juce::var (3)));
    EXPECT_FALSE (store.updateSection ("ui", [] (const juce::var&) { return juce::var(); }));
    EXPECT_EQ (fileText(), before);

    // An empty relative path touches nothing at all.
    SettingsStore nowhere ("");
    EXPECT_FALSE (nowhere.setValue ("ui", "scale", 1.0));
    EXPECT_FALSE (nowhere.writeSection ("ui", object ({ { "a", 1 } })));
    EXPECT_TRUE (nowhere.readSection ("ui").isVoid());
    EXPECT_EQ (fileText(), before);
}

TEST_F (SettingsStoreTest, OlderFilesAreDeletedAfterASuccessfulWriteOnly)
{
    const juce::StringArray older { "telemetry.json", "update-check.json", "ui_scale.json" };
    ASSERT_TRUE (kittest::settingsFolder().createDirectory());

    for (auto& name : older)
        ASSERT_TRUE (kittest::settingsFolder().getChildFile (name).replaceWithText ("{}"));

    // A failed write (the target is a folder that is not empty, so it cannot be replaced)
    // leaves them.
    ASSERT_TRUE (kittest::settingsFile().createDirectory());
    ASSERT_TRUE (kittest::settingsFile().getChildFile ("keep").replaceWithText ("x"));
    EXPECT_FALSE (store.setValue ("ui", "scale", 1.0));
    for (auto& name : older)
        EXPECT_TRUE (kittest::settingsFolder().getChildFile (name).existsAsFile()) << name;

    ASSERT_TRUE (kittest::settingsFile().deleteRecursively());
    EXPECT_TRUE (store.setValue ("ui", "scale", 1.0));
    for (auto& name : older)
        EXPECT_FALSE (kittest::settingsFolder().getChildFile (name).exists()) << name;

    // Nothing but the settings file is left behind (no temporary files).
    EXPECT_EQ (kittest::settingsFolder().getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1);
}

TEST_F (SettingsStoreTest, ControlCharactersAndOtherScriptsStayValidJson)
{
    // The framework's own writer would put BEL down as "\a", which no strict reader accepts.
    const auto awkward = juce::String::charToString (7) + "tab\tquote\"" + juce::String (juce::CharPointer_UTF8 ("\xc3\xa9\xf0\x9f\x8e\xb9"));
    ASSERT_TRUE (store.setValue ("updates", "latest_version", awkward));

    EXPECT_TRUE (fileText().contains ("\\u0007"));
    EXPECT_FALSE (fileText().contains ("\\a"));
    EXPECT_EQ (store.readSection ("updates").getProperty ("latest_version", {}).toString(), awkward);
}

TEST_F (SettingsStoreTest, UpdateSectionSeesTheCurrentContentInsideTheLocks)
{
    ASSERT_TRUE (store.setValue ("telemetry", "telemetry_enabled", false));

    // A caller that changes only its own key leaves the other writer's change alone.
    ASSERT_TRUE (store.updateSection ("telemetry", [] (const juce::var& current)
    {
        EXPECT_FALSE ((bool) current.getProperty ("telemetry_enabled", true));
        auto copy = current.clone();
        copy.getDynamicObject()->setProperty ("last_ping_date", "2026-12-10");
        return copy;
    }));

    const auto section = store.readSection ("telemetry");
    EXPECT_FALSE ((bool) section.getProperty ("telemetry_enabled", true));
    EXPECT_EQ (section.getProperty ("last_ping_date", {}).toString(), "2026-12-10");
}

TEST_F (SettingsStoreTest, ThreadsAndProcessesWritingAtOnceLoseNothing)
{
    constexpr int perWriter = 25;

    const int childA = kittest::startChildRole ("settings-writer", { "procA", juce::String (perWriter) });
    const int childB = kittest::startChildRole ("settings-writer", { "procB", juce::String (perWriter) });
    ASSERT_GT (childA, 0);
    ASSERT_GT (childB, 0);

    std::vector<std::thread> threads;
    for (auto section : { "threadA", "threadB" })
        threads.emplace_back ([section]
        {
            SettingsStore own ("VELMAR/Corvessa");
            for (int i = 0; i < perWriter; ++i)
                EXPECT_TRUE (own.setValue (section, "n" + juce::String (i), i));
        });

    for (auto& t : threads)
        t.join();

    EXPECT_EQ (kittest::waitForChild (childA, 60000), 0);
    EXPECT_EQ (kittest::waitForChild (childB, 60000), 0);

    for (auto section : { "procA", "procB", "threadA", "threadB" })
    {
        const auto values = store.readSection (section);
        ASSERT_TRUE (values.getDynamicObject() != nullptr) << section;
        EXPECT_EQ (values.getDynamicObject()->getProperties().size(), perWriter) << section;
    }
}

TEST_F (SettingsStoreTest, AGoodFileTooLargeOrTooDeepToReadIsKeptNotReplaced)
{
    const auto nested = juce::File (CORVESSA_TEST_DATA_DIR).getChildFile ("settings/nested-deeper-than-read.json").loadFileAsString();
    ASSERT_TRUE (nested.isNotEmpty());
    const juce::String tooLarge = "{\"telemetry\": {\"telemetry_enabled\": true}, \"log\": \""
                                  + juce::String::repeatedString ("x", 5 * 1024 * 1024) + "\"}";

    for (const auto& content : { nested, tooLarge })
    {
        ASSERT_TRUE (kittest::settingsFolder().createDirectory());
        ASSERT_TRUE (kittest::settingsFile().replaceWithText (content));

        // It cannot be read, so it reads as empty, but nothing may replace it: the next write
        // would keep only its own section and lose the consent and whatever else it holds.
        EXPECT_TRUE (store.readSection ("telemetry").isVoid());
        EXPECT_FALSE (store.setValue ("ui", "scale", 2.0));
        EXPECT_FALSE (store.writeSection ("updates", object ({ { "latest_version", "2.0" } })));
        EXPECT_FALSE (store.updateSection ("telemetry", [] (const juce::var&) { return juce::var (new juce::DynamicObject()); }));
        EXPECT_TRUE (kittest::settingsFile().loadFileAsString() == content);
    }
}

TEST_F (SettingsStoreTest, ReadingNeedsNoLockFolderWritingDoes)
{
    ASSERT_TRUE (kittest::settingsFolder().createDirectory());
    const juce::String content = R"({"telemetry": {"telemetry_enabled": true, "consent_version": "2026-07-10"}, "ui": {"scale": 1.5}})";
    ASSERT_TRUE (kittest::settingsFile().replaceWithText (content));

    // A file where the lock folder should be: no lock file can be made there.
    const auto lockFolder = velmar::NamedProcessLock::getLockFile ("any").getParentDirectory();
    ASSERT_TRUE (lockFolder.deleteRecursively());
    ASSERT_TRUE (lockFolder.replaceWithText ("in the way"));
    struct Clear { juce::File file; ~Clear() { file.deleteFile(); } } clearAfterwards { lockFolder };

    EXPECT_DOUBLE_EQ (store.getDouble ("ui", "scale", 0.0), 1.5);
    EXPECT_TRUE ((bool) store.readSection ("telemetry").getProperty ("telemetry_enabled", false));

    velmar::TelemetryClient::Config config;
    config.settingsPath = "VELMAR/Corvessa";
    config.consentVersion = "2026-07-10";
    EXPECT_TRUE (velmar::TelemetryClient (config).isEnabled()) << "the user's consent still counts";

    // Writing without the lock could lose another process's change: it is refused.
    EXPECT_FALSE (store.setValue ("ui", "scale", 2.0));
    EXPECT_EQ (fileText(), content);
}
