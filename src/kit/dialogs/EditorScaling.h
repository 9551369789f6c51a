#pragma once

#include "kit/services/SettingsStore.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace velmar
{

// The window's UI-size button ("UI 100%"). It holds the scale factor of the window's logical
// canvas, keeps the host window's size limits and size in step with it, offers a menu of fixed
// sizes and remembers the chosen scale in the settings section "ui", so that every later window
// of the product opens at the same size. Resizing the window (its corner or the host) changes
// the factor through the same path as the menu. Message thread only.
class EditorScaling : public juce::TextButton,
                      private juce::Timer
{
public:
    struct Config
    {
        int logicalWidth = 600;
        int logicalHeight = 860;
        double minScale = 0.5;
        double maxScale = 2.0;
        double defaultScale = 1.0;

        // True: resizing changes the logical size at a fixed scale; false: resizing changes
        // the scale of a fixed logical size. The logical size limits count only when true.
        bool resizableLogicalSize = false;
        int minLogicalWidth = 0, minLogicalHeight = 0;
        int maxLogicalWidth = 0, maxLogicalHeight = 0;
    };

    // Draws the menu in the font of the look-and-feel the button uses when it opens.
    class MenuLookAndFeel : public juce::LookAndFeel_V4
    {
    public:
        MenuLookAndFeel();
        void setPopupMenuFont (const juce::Font& newFont) { font = newFont; }
        juce::Font getPopupMenuFont() override { return font; }

    private:
        juce::Font font;
    };

    // Reads the stored scale (and, in resizable mode, the logical size); nothing is applied
    // until attach(). The editor and its constrainer must outlive the control.
    EditorScaling (juce::Component& editor,
                   juce::ComponentBoundsConstrainer& constrainer,
                   const juce::String& settingsPath,
                   Config config);
    ~EditorScaling() override;

    // Applies the stored scale (limits, size, text) and starts the 250 ms save timer.
    void attach();

    // The one way the factor changes. A non-finite, non-positive or too large value returns to
    // the default; a too small one is raised to the minimum.
    void setScale (double requestedScale);

    // To be called from the editor's resized(); ignored while this control sizes the editor.
    void editorResized();

    void showScaleMenu();
    juce::PopupMenu buildScaleMenu() const;

    // What the scale menu does with its result (0 when dismissed).
    void menuItemChosen (int result);

    // Writes a pending change now; a failed write keeps it pending.
    void saveSettings();

    // A "ui" whole number, used only when it is finite and inside [minimum, maximum].
    int loadIntSetting (const juce::String& key, int defaultValue, int minimum, int maximum) const;

    double getScale() const noexcept               { return scale; }
    bool isAttached() const noexcept               { return attached; }
    bool isApplying() const noexcept               { return applying; }
    bool isMenuOpen() const noexcept               { return menuOpen; }
    int getCurrentLogicalWidth() const noexcept    { return currentLogicalWidth; }
    int getCurrentLogicalHeight() const noexcept   { return currentLogicalHeight; }

    // The window's layout draws the control as text only.
    void setTextOnly (bool shouldDrawTextOnly);
    bool isTextOnly() const noexcept               { return textOnly; }

    static constexpr int firstMenuItemId = 1000;   // item id = 1000 + percentage

    void mouseDown (const juce::MouseEvent& event) override;
    void focusGained (FocusChangeType cause) override;
    void paintButton (juce::Graphics& g, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown) override;

private:
    void timerCallback() override;

    juce::Component& editor;
    juce::ComponentBoundsConstrainer& constrainer;
    SettingsStore store;
    const Config config;
    int currentLogicalWidth = 0, currentLogicalHeight = 0;
    double scale = 1.0;
    bool attached = false;
    bool applying = false;
    bool dirty = false;
    juce::uint32 lastChangeMs = 0;
    bool menuOpen = false;
    bool textOnly = false;
    bool focusedByKeyboard = false;
    MenuLookAndFeel menuLookAndFeel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (EditorScaling)
};

} // namespace velmar
