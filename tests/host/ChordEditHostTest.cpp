// The main road of the chord editor, end to end through the built plug-in in a host: on a real
// screen the user holds a chord in the piano roll and hears it, clicks it, changes it in the
// chord editor and applies it; the next playback plays the changed chord.
#include "HostDisplay.h"
#include "HostedPlayback.h"

#include <set>

namespace
{
// Two one-bar chords, Am then C, in a section that starts over wherever the transport starts.
const char* const twoChordSong = R"(
<CorvessaState>
  <PersistentState>
    <Sections><SectionChain><Section name="A" progression="Am C"/></SectionChain></Sections>
  </PersistentState>
</CorvessaState>)";

// Places on the window (scale 100 %, no panel open) as the canvas lays them out: the piano roll
// spans x 10..590 below y 294 with its chord band 36 px further down, so with two one-bar chords
// the first covers x 10..300; the chord editor panel opens at (10, 134).
const juce::Point<int> firstChordInRoll { 150, 350 };
const juce::Point<int> chordEditorOrigin { 10, 134 };
const juce::Point<int> expertTab = chordEditorOrigin + juce::Point<int> { 297, 22 };
const juce::Point<int> applyButton = chordEditorOrigin + juce::Point<int> { 405, 22 };
const juce::Point<int> rootKeyD = chordEditorOrigin + juce::Point<int> { 93, 187 };

// Pitch classes struck on the layer channels (2 Bass, 3 Body, 4 Shimmer) and their velocities.
std::set<int> pitchClassesStruck (const HostedPlayback::Events& events, std::set<int>* velocities = nullptr)
{
    std::set<int> classes;
    for (const auto& e : events)
    {
        if (! e.on || e.channel < 2)
            continue;
        classes.insert (e.note % 12);
        if (velocities != nullptr)
            velocities->insert (e.velocity);
    }
    return classes;
}

// Starts playing from a stopped transport until the first chord sounds these pitch classes (the
// song is compiled on the plug-in's own thread); what it sounded last.
std::set<int> playFirstChordUntil (HostedPlayback& host, const std::set<int>& expected)
{
    std::set<int> heard;
    PluginHost::pumpUntil ([&]
    {
        host.stop();
        heard = pitchClassesStruck (host.playAt (0.0));
        return heard == expected;
    });
    host.stop();
    return heard;
}

// The pointer moved and the left button held down and let go by xdotool on the private display.
void xdotool (const juce::StringArray& arguments)
{
    juce::StringArray command { "xdotool" };
    command.addArray (arguments);
    int exitCode = -1;
    const auto output = HostDisplay::runToEnd (command, 10000, &exitCode);
    EXPECT_EQ (exitCode, 0) << command.joinIntoString (" ") << ": " << output;
}

void moveMouse (juce::Point<int> at) { xdotool ({ "mousemove", juce::String (at.x), juce::String (at.y) }); }
void pressMouse (juce::Point<int> at) { moveMouse (at); xdotool ({ "mousedown", "1" }); }
void releaseMouse() { xdotool ({ "mouseup", "1" }); }

const std::set<int> aMinor { 9, 0, 4 };
const std::set<int> dMinor { 2, 5, 9 };
} // namespace

TEST (HostedChordEdit, HoldClickChangeApplyAndHearTheChangedChord)
{
    if (! HostDisplay::isOnPrivateDisplay ("HostedChordEdit.HoldClickChangeApplyAndHearTheChangedChord"))
        return;

    HostDisplay::markWelcomeSeen();
    HostedPlayback host (twoChordSong);
    ASSERT_NE (host.instance, nullptr);
    ASSERT_EQ (playFirstChordUntil (host, aMinor), aMinor);

    auto editor = HostDisplay::showEditor (*host.instance);
    ASSERT_NE (editor, nullptr);
    const auto origin = editor->getScreenPosition();

    // Held for longer than 250 ms, the chord sounds at velocity 100 until the button goes up.
    pressMouse (origin + firstChordInRoll);
    PluginHost::pumpMessages (600);
    std::set<int> velocities;
    EXPECT_EQ (pitchClassesStruck (host.stop(), &velocities), aMinor);
    EXPECT_EQ (velocities, std::set<int> { 100 });
    releaseMouse();
    PluginHost::pumpMessages (200);
    const auto released = host.stop();
    EXPECT_FALSE (released.empty());
    for (const auto& e : released)
        EXPECT_FALSE (e.on) << e;

    // A click opens the chord; in Expert mode the root key D makes it D minor; apply.
    HostDisplay::clickOnScreen (origin + firstChordInRoll);
    PluginHost::pumpMessages (500);
    HostDisplay::screenshot ("host-chord-editor");

    HostDisplay::clickOnScreen (origin + expertTab);
    PluginHost::pumpMessages (300);
    HostDisplay::clickOnScreen (origin + rootKeyD);
    PluginHost::pumpMessages (300);
    HostDisplay::clickOnScreen (origin + applyButton);
    PluginHost::pumpMessages (300);

    // The next playback plays the changed chord.
    EXPECT_EQ (playFirstChordUntil (host, dMinor), dMinor) ;

    const auto saved = PluginHost::getPersistentState (*host.instance);
    EXPECT_EQ (saved.getChildWithName ("Sections").getChild (0).getChild (0).getProperty ("progression").toString(), "Dm C");

    HostDisplay::closeEditor (editor);
}
