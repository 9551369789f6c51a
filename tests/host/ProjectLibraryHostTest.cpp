// The built plug-in's project library used as a user uses it: a song saved through the window
// of one instance, with clicks and typing on a display, loads through the window of a fresh
// instance, which then saves the same state as the first and plays the same notes.
#include "HostedPlayback.h"
#include "PluginHost.h"

#include "HostDisplay.h"

#include <gtest/gtest.h>

namespace
{
// Two sections with settings away from their defaults and the second one selected; the
// playback mode goes where {mode} stands. Everything here is what a project carries.
const char* const twoSectionSong = R"(
<CorvessaState>
  <PersistentState selectedSectionViewIndex="1" {mode}>
    <Sections>
      <SectionChain>
        <Section name="Verse" progression="C G Am F" bassVoicing="Jazz" bodyVoicing="Pianist" voicing="Pianist"
                 shimmerVoicing="None" arrangeBassAddFifth="1" scale="Major" rootKey="C" suggestedBpm="96 BPM"/>
        <Section name="Chorus" progression="F:2 G:2" shimmerOctave="2" arrangeShimmerColorNotesEnabled="1"
                 arrangeBassLegato="1" bassOctave="-1"/>
      </SectionChain>
    </Sections>
  </PersistentState>
</CorvessaState>)";

// Longer than the whole song, so every section of it is heard.
constexpr int barsPlayed = 12;

// Places on the 600 x 860 canvas at 100 %.
const juce::Point<int> projectsButton (437, 27);
const juce::Point<int> nameField (420, 285);
const juce::Point<int> saveButton (420, 551);
const juce::Point<int> firstRow (163, 281);
const juce::Point<int> loadButton (420, 589);

juce::File libraryFolder()
{
    return juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory).getChildFile ("VELMAR/Corvessa/projects");
}

// The saved state without what belongs to the instance rather than to its song.
juce::ValueTree songState (juce::AudioPluginInstance& instance)
{
    auto state = PluginHost::getPersistentState (instance).createCopy();
    state.removeProperty ("syncInstanceId", nullptr);
    return state;
}

// The instance's window on the screen, as a host shows it, closed again at the end of the scope.
class ShownWindow
{
public:
    explicit ShownWindow (juce::AudioPluginInstance& instance) : editor (HostDisplay::showEditor (instance)) {}

    ~ShownWindow()
    {
        if (editor == nullptr)
            return;
        editor->removeFromDesktop();
        editor.reset();
        PluginHost::pumpMessages (300);
    }

    void click (juce::Point<int> onCanvas)
    {
        HostDisplay::clickOnScreen (editor->getScreenPosition() + onCanvas);
        PluginHost::pumpMessages (300);
    }

    std::unique_ptr<juce::AudioProcessorEditor> editor;
};
} // namespace

TEST (HostedProjectLibrary, ASongSavedInOneInstanceLoadsAndPlaysInAFreshOne)
{
    if (! HostDisplay::isOnPrivateDisplay ("HostedProjectLibrary.ASongSavedInOneInstanceLoadsAndPlaysInAFreshOne"))
        return;

    HostDisplay::markWelcomeSeen();

    const struct
    {
        const char* what;
        juce::String saved;    // chunk of the instance that saves; empty: a fresh instance
        juce::String target;   // chunk of the instance that loads; empty: a fresh instance
    } cases[] = {
        // The selected section plays.
        { "chosen-section", juce::String (twoSectionSong).replace ("{mode}", ""), {} },
        // The song plays along the timeline.
        { "advancing", juce::String (twoSectionSong).replace ("{mode}", R"(sectionPlaybackMode="advanceSections")"), {} },
        // No section selected yet.
        { "unselected", juce::String (twoSectionSong).replace ("selectedSectionViewIndex=\"1\" {mode}", ""), {} },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        libraryFolder().deleteRecursively();
        const auto saved = libraryFolder().getChildFile ("Night Drive.json");

        auto first = PluginHost::createInstance();
        ASSERT_NE (first, nullptr);
        if (c.saved.isNotEmpty())
            PluginHost::setProcessorChunk (*first, PluginHost::chunkFromXml (c.saved));

        {
            ShownWindow window (*first);
            ASSERT_NE (window.editor, nullptr);
            window.click (projectsButton);
            window.click (nameField);
            HostDisplay::runToEnd ({ "xdotool", "type", "--delay", "30", "Night Drive" }, 20000);
            PluginHost::pumpMessages (300);
            window.click (saveButton);
            const auto written = PluginHost::pumpUntil ([&] { return saved.existsAsFile(); }, 5000);
            HostDisplay::screenshot (juce::String ("host-project-library-saved-") + c.what);
            ASSERT_TRUE (written) << "nothing saved";
        }

        const auto document = juce::JSON::parse (saved.loadFileAsString());
        EXPECT_EQ (document["name"].toString(), "Night Drive");

        // An empty text restores nothing: the instance stays as it was made.
        HostedPlayback second (c.target.toRawUTF8());
        ASSERT_NE (second.instance, nullptr);
        const auto expected = songState (*first);
        ASSERT_FALSE (songState (*second.instance).isEquivalentTo (expected));

        {
            ShownWindow window (*second.instance);
            ASSERT_NE (window.editor, nullptr);
            window.click (projectsButton);
            window.click (firstRow);
            window.click (loadButton);
            // Once loaded, the second instance saves what the first saves, apart from its own
            // sync identity.
            EXPECT_TRUE (PluginHost::pumpUntil ([&] { return songState (*second.instance).isEquivalentTo (expected); }, 5000))
                << songState (*second.instance).toXmlString() << "\nversus\n" << expected.toXmlString();
        }

        // Under the transport it plays what the first instance's own state plays.
        HostedPlayback reference (PluginHost::getProcessorChunk (*first));
        ASSERT_NE (reference.instance, nullptr);
        reference.firstBlockOnceCompiled();
        second.firstBlockOnceCompiled();
        const auto played = second.playBars (barsPlayed);
        EXPECT_FALSE (played.empty());
        EXPECT_EQ (played, reference.playBars (barsPlayed));
    }
}
