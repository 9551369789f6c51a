// Sections edited in the built plug-in's window by real mouse and key input, as a user does it
// in a host: add, rename, reorder by drag and delete; the state chunk the host saves afterwards
// holds exactly that song.
#include "PluginHost.h"

#include "HostDisplay.h"

#include <gtest/gtest.h>

namespace
{
const char* const startingSong = R"(
<CorvessaState>
  <PersistentState progression="C G Am F" selectedSectionViewIndex="0">
    <Sections>
      <SectionChain>
        <Section name="Verse" progression="C G Am F" bassVoicing="Jazz"/>
        <Section name="Chorus" progression="F:2 G:2"/>
      </SectionChain>
    </Sections>
  </PersistentState>
</CorvessaState>)";

// Where things stand on the window's canvas at 100 %: the section row's buttons (27 px high at
// y 132; 58 px wide with 4 px gaps from x 20, the "+" button after them) and the confirmation
// dialog's confirm button.
juce::Point<int> sectionButton (int slot) { return { 49 + 62 * slot, 145 }; }
juce::Point<int> addButton (int sectionCount) { return { 20 + 62 * sectionCount + 13, 145 }; }
const juce::Point<int> confirmButton { 50 + 257 + 60, 345 + 124 + 14 };
const juce::Point<int> inertSpot { 40, 15 };   // the brand label

struct SongState
{
    std::vector<juce::String> names;
    int selected = -1;
};

SongState readSong (juce::AudioPluginInstance& instance)
{
    const auto state = PluginHost::getPersistentState (instance);
    SongState song;
    song.selected = (int) state["selectedSectionViewIndex"];
    const auto chain = state.getChildWithName ("Sections").getChild (0);
    for (int i = 0; i < chain.getNumChildren(); ++i)
        song.names.push_back (chain.getChild (i)["name"].toString());
    return song;
}

juce::ValueTree sectionNamed (juce::AudioPluginInstance& instance, const juce::String& name)
{
    return PluginHost::getPersistentState (instance).getChildWithName ("Sections").getChild (0)
        .getChildWithProperty ("name", name);
}

// Real input through the X server, with the host serving its messages meanwhile.
class User
{
public:
    explicit User (juce::Point<int> canvasOrigin) : origin (canvasOrigin) {}

    void moveTo (juce::Point<int> p) { xdotool ({ "mousemove", juce::String (origin.x + p.x), juce::String (origin.y + p.y) }); }
    void click (juce::Point<int> p, int button = 1)
    {
        moveTo (p);
        xdotool ({ "click", juce::String (button) });
        PluginHost::pumpMessages (300);
    }
    void press() { xdotool ({ "mousedown", "1" }); PluginHost::pumpMessages (100); }
    void release() { xdotool ({ "mouseup", "1" }); PluginHost::pumpMessages (300); }
    void keys (const juce::StringArray& names)
    {
        for (const auto& name : names)
        {
            xdotool ({ "key", name });
            PluginHost::pumpMessages (80);
        }
        PluginHost::pumpMessages (300);
    }
    void type (const juce::String& text) { xdotool ({ "type", "--delay", "40", text }); PluginHost::pumpMessages (200); }

private:
    static void xdotool (const juce::StringArray& arguments)
    {
        juce::StringArray command { "xdotool" };
        command.addArray (arguments);
        HostDisplay::runToEnd (command, 10000);
    }

    juce::Point<int> origin;
};
} // namespace

TEST (HostedEditor, SectionsEditedByMouseAndKeysReachTheSavedState)
{
    if (! HostDisplay::isOnPrivateDisplay ("HostedEditor.SectionsEditedByMouseAndKeysReachTheSavedState"))
        return;

    HostDisplay::markWelcomeSeen();

    auto instance = PluginHost::createInstance();
    ASSERT_NE (instance, nullptr);
    PluginHost::setProcessorChunk (*instance, PluginHost::chunkFromXml (startingSong));

    auto editor = HostDisplay::showEditor (*instance);
    ASSERT_NE (editor, nullptr);

    User user (editor->getScreenPosition());
    const auto songIs = [&instance] (const std::vector<juce::String>& names, int selected)
    {
        return PluginHost::pumpUntil ([&]
        {
            const auto song = readSong (*instance);
            return song.names == names && song.selected == selected;
        }, 5000);
    };
    const auto describe = [&instance]
    {
        const auto song = readSong (*instance);
        return juce::StringArray (song.names.data(), (int) song.names.size()).joinIntoString (", ")
               + " / selected " + juce::String (song.selected);
    };

    // A click on the window gives it the keyboard focus, which its menus need.
    user.click (inertSpot);
    ASSERT_TRUE (songIs ({ "Verse", "Chorus" }, 0)) << describe();

    // Add: the "+" button appends the first free name and selects it.
    user.click (addButton (2));
    ASSERT_TRUE (songIs ({ "Verse", "Chorus", "A" }, 2)) << describe();

    // Rename: a right click on the new section, its menu's first item, a new name and Return.
    user.click (sectionButton (2), 3);
    user.keys ({ "Down", "Return" });
    user.type ("Bridge");
    user.keys ({ "Return" });
    ASSERT_TRUE (songIs ({ "Verse", "Chorus", "Bridge" }, 2)) << describe();

    // Reorder: Verse dragged onto Bridge swaps the two; the selection goes with Verse.
    user.moveTo (sectionButton (0));
    user.press();
    user.moveTo (sectionButton (0) + juce::Point<int> (6, 0));
    PluginHost::pumpMessages (100);
    user.moveTo (sectionButton (2));
    PluginHost::pumpMessages (200);
    user.release();
    ASSERT_TRUE (songIs ({ "Bridge", "Chorus", "Verse" }, 2)) << describe();

    // Delete: a right click on Chorus, the menu's third item, then "Delete" in the confirmation.
    user.click (sectionButton (1), 3);
    user.keys ({ "Down", "Down", "Down", "Return" });
    user.click (confirmButton);
    ASSERT_TRUE (songIs ({ "Bridge", "Verse" }, 1)) << describe();

    // Each section kept its own settings through the moves: the stores after the drag went into
    // Verse, not into the section that took its old place.
    const auto verse = sectionNamed (*instance, "Verse");
    EXPECT_EQ (verse["progression"].toString(), "C G Am F");
    EXPECT_EQ (verse["bassVoicing"].toString(), "Jazz");
    EXPECT_EQ (sectionNamed (*instance, "Bridge")["progression"].toString(), "");

    // A second instance given the saved chunk has the same song.
    auto second = PluginHost::createInstance();
    ASSERT_NE (second, nullptr);
    PluginHost::setProcessorChunk (*second, PluginHost::getProcessorChunk (*instance));
    const auto reloaded = readSong (*second);
    EXPECT_EQ (reloaded.names, (std::vector<juce::String> { "Bridge", "Verse" }));
    EXPECT_EQ (reloaded.selected, 1);

    HostDisplay::screenshot ("host-sections-edited");

    editor->removeFromDesktop();
    editor.reset();
    PluginHost::pumpMessages (300);
}
