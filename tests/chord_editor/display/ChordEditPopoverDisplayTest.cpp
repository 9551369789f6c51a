// The chord editor panel in a window on the display: right presses open the real shortcut
// menus (never the field's own edit menu, never a click), and the length field shows the bare
// length while it has the focus and its label once the focus leaves.
#include "chord_editor/ChordEditPopover.h"
#include "editor/look/EditorLookAndFeel.h"
#include "editor/look/Palette.h"
#include "kit/dialogs/PopupMenuPlacement.h"

#include "chord_editor/PanelTestSupport.h"
#include "support/MessagePump.h"

#include <gtest/gtest.h>

namespace
{
using Texts = std::vector<juce::String>;

using corvessa::test::pumpMessagesFor;

struct OpaqueWindow : juce::Component
{
    void paint (juce::Graphics& g) override { g.fillAll (Palette::base); }
};

// The window's shape: the panel on a canvas whose last child is the menu placement host.
struct PanelWindow
{
    PanelWindow()
    {
        window.setLookAndFeel (&look);
        window.setOpaque (true);
        // The server gives the window its focus late, and the window hands it to its first
        // child that wants it unless one of its children holds it already; a window that wanted
        // the focus itself would take it from the length field at that late moment.
        window.setWantsKeyboardFocus (false);
        window.setBounds (20, 20, 600, 480);
        window.addAndMakeVisible (rig.panel);
        window.addAndMakeVisible (host);
        host.setBounds (window.getLocalBounds());
        rig.panel.setTopLeftPosition (10, 40);

        rig.open ("Am/E:2");
        window.addToDesktop (juce::ComponentPeer::windowIsTemporary);
        window.setVisible (true);
        pumpMessagesFor (200);
        rig.panel.grabKeyboardFocus();
        pumpMessagesFor (200);
    }

    ~PanelWindow()
    {
        juce::PopupMenu::dismissAllActiveMenus();
        pumpMessagesFor (100);
        window.removeFromDesktop();
        window.removeAllChildren();
        window.setLookAndFeel (nullptr);
    }

    // A press or release of the real mouse over a control, through the window's peer: focus,
    // button state and clicks follow as they do for a user.
    void mouse (juce::Component& target, juce::ModifierKeys buttons)
    {
        const auto position = window.getLocalPoint (&target, target.getLocalBounds().getCentre()).toFloat();
        window.getPeer()->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, position, buttons,
                                            juce::MouseInputSource::defaultPressure,
                                            juce::MouseInputSource::defaultOrientation, juce::Time::currentTimeMillis());
        pumpMessagesFor (50);
    }

    void rightClick (juce::Component& target)
    {
        mouse (target, {});
        mouse (target, juce::ModifierKeys::rightButtonModifier);
        mouse (target, {});
    }

    void leftClick (juce::Component& target)
    {
        mouse (target, {});
        mouse (target, juce::ModifierKeys::leftButtonModifier);
        mouse (target, {});
    }

    // The items of the menu that is open now, "*" marking the ticked one.
    Texts openMenuItems()
    {
        for (auto* menu : host.getChildren())
        {
            if (! menu->isVisible() || menu->getName() != "menu")
                continue;

            Texts items;
            for (auto* item : menu->getChildren())
                if (auto* handler = item->getAccessibilityHandler())
                    if (handler->getRole() == juce::AccessibilityRole::menuItem)
                        items.push_back (handler->getTitle() + (handler->getCurrentState().isChecked() ? " *" : ""));
            return items;
        }

        return {};
    }

    EditorLookAndFeel look;
    OpaqueWindow window;
    PanelRig rig;
    velmar::PopupMenuPlacement::Host host;
};

const Texts lengthItems { "0.25 bar", "0.50 bar", "1 bar", "2 bars *", "4 bars", "8 bars" };
} // namespace

TEST (ChordEditPopoverDisplay, RightPressesOpenTheShortcutMenusInsteadOfClicking)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PanelWindow scene;
    auto& panel = scene.rig.panel;
    ASSERT_TRUE (panel.hasKeyboardFocus (true));

    const Texts bassItems { "None", "C", "D", "E *", "F", "G", "A", "B", "C#", "D#", "F#", "G#", "A#" };

    struct Case { const char* name; juce::Component* control; const Texts* items; };
    const Case cases[] = {
        { "previous slash", &panel.previousSlashButton, &bassItems },
        { "next slash",     &panel.nextSlashButton,     &bassItems },
        { "shorter",        &panel.shorterButton,       &lengthItems },
        { "longer",         &panel.longerButton,        &lengthItems },
        { "length field",   &panel.lengthEditor,        &lengthItems },
    };

    for (const auto& c : cases)
    {
        scene.rightClick (*c.control);
        pumpMessagesFor (300);

        EXPECT_EQ (scene.openMenuItems(), *c.items) << c.name;
        EXPECT_EQ (panel.buildChordText(), "Am/E:2") << c.name;
        EXPECT_TRUE (scene.rig.events.empty()) << c.name;

        juce::PopupMenu::dismissAllActiveMenus();
        pumpMessagesFor (200);
        EXPECT_TRUE (scene.openMenuItems().empty()) << c.name;
        EXPECT_EQ (panel.buildChordText(), "Am/E:2") << c.name;   // dismissing changes nothing
    }

    // A left click on the bass name opens the same menu.
    scene.leftClick (panel.slashButton);
    pumpMessagesFor (300);
    EXPECT_EQ (scene.openMenuItems(), bassItems);
}

TEST (ChordEditPopoverDisplay, TheLengthFieldShowsTheBareLengthWhileFocused)
{
    juce::ScopedJuceInitialiser_GUI gui;
    PanelWindow scene;
    auto& panel = scene.rig.panel;
    auto& field = panel.lengthEditor;
    EXPECT_EQ (field.getText(), "2 bars");

    field.grabKeyboardFocus();
    pumpMessagesFor (200);
    ASSERT_TRUE (field.hasKeyboardFocus (false));
    EXPECT_EQ (field.getText(), "2");
    EXPECT_EQ (field.getHighlightedRegion(), juce::Range<int> (0, 1));

    // Typing replaces the selection; the chord follows each valid length.
    field.insertTextAtCaret ("0.5");
    pumpMessagesFor (200);
    EXPECT_EQ (panel.buildChordText(), "Am/E:0.5");
    EXPECT_EQ (scene.rig.takeEvents(), (Texts { "changed 0 Am/E:0.5" }));

    // While focused the menu's choice is written bare.
    panel.chooseLengthMenuItem (5);
    EXPECT_EQ (field.getText(), "4");

    panel.grabKeyboardFocus();
    pumpMessagesFor (200);
    EXPECT_EQ (field.getText(), "4 bars");
    EXPECT_EQ (panel.buildChordText(), "Am/E:4");

    // A click into the field selects the whole length, as the tab key does.
    scene.leftClick (field);
    pumpMessagesFor (200);
    ASSERT_TRUE (field.hasKeyboardFocus (false));
    EXPECT_EQ (field.getText(), "4");
    EXPECT_EQ (field.getHighlightedRegion(), juce::Range<int> (0, 1));
}
