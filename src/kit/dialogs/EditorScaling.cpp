#include "kit/dialogs/EditorScaling.h"

#include "kit/dialogs/PopupMenuPlacement.h"

#include <cmath>

namespace velmar
{

namespace
{
    const char* const uiSection = "ui";
    constexpr int saveDelayMs = 250;
    const int menuPercentages[] = { 75, 90, 100, 115, 125, 150, 175, 200 };
} // namespace

EditorScaling::MenuLookAndFeel::MenuLookAndFeel()
    : font (14.0f)
{
}

EditorScaling::EditorScaling (juce::Component& editorToSize,
                              juce::ComponentBoundsConstrainer& sizeConstrainer,
                              const juce::String& settingsPath,
                              Config configToUse)
    : editor (editorToSize),
      constrainer (sizeConstrainer),
      store (settingsPath),
      config (std::move (configToUse)),
      currentLogicalWidth (config.logicalWidth),
      currentLogicalHeight (config.logicalHeight)
{
    // Checked only when applied: attach() and setScale() refuse what does not fit.
    scale = store.getDouble (uiSection, "scale", config.defaultScale);

    if (config.resizableLogicalSize)
    {
        currentLogicalWidth = loadIntSetting ("logicalWidth", config.logicalWidth, config.minLogicalWidth, config.maxLogicalWidth);
        currentLogicalHeight = loadIntSetting ("logicalHeight", config.logicalHeight, config.minLogicalHeight, config.maxLogicalHeight);
    }

    setName ("UI scaling");
    setTooltip ("Choose UI size. Drag the bottom-right corner to resize; double-click it to reset.");
    setWantsKeyboardFocus (true);
    setMouseClickGrabsKeyboardFocus (false);
    setMouseCursor (juce::MouseCursor::PointingHandCursor);
    onClick = [this] { showScaleMenu(); };
}

EditorScaling::~EditorScaling()
{
    stopTimer();

    // An open menu draws with menuLookAndFeel and reports to this object; close it first.
    if (menuOpen)
        juce::PopupMenu::dismissAllActiveMenus();

    saveSettings();
}

void EditorScaling::attach()
{
    attached = true;

    if (config.resizableLogicalSize || config.logicalHeight <= 0)
        constrainer.setFixedAspectRatio (0.0);
    else
        constrainer.setFixedAspectRatio ((double) config.logicalWidth / (double) config.logicalHeight);

    setScale (scale);
    startTimer (saveDelayMs);
}

void EditorScaling::setScale (double requestedScale)
{
    if (! attached)
        return;

    const juce::ScopedValueSetter<bool> applyingNow (applying, true);

    // Above the maximum is as untrustworthy as zero: return to the default, do not clamp.
    if (! std::isfinite (requestedScale) || requestedScale <= 0.0 || requestedScale > config.maxScale)
        requestedScale = config.defaultScale;

    scale = juce::jlimit (config.minScale, config.maxScale, requestedScale);

    const auto scaled = [] (int size, double factor) { return juce::roundToInt (size * factor); };

    if (config.resizableLogicalSize)
        constrainer.setSizeLimits (juce::jmax (1, scaled (config.minLogicalWidth, scale)),
                                   juce::jmax (1, scaled (config.minLogicalHeight, scale)),
                                   scaled (config.maxLogicalWidth, scale),
                                   scaled (config.maxLogicalHeight, scale));
    else
        constrainer.setSizeLimits (juce::jmax (1, scaled (config.logicalWidth, config.minScale)),
                                   juce::jmax (1, scaled (config.logicalHeight, config.minScale)),
                                   juce::jmax (1, scaled (config.logicalWidth, config.maxScale)),
                                   juce::jmax (1, scaled (config.logicalHeight, config.maxScale)));

    editor.setSize (juce::jmax (1, scaled (currentLogicalWidth, scale)),
                    juce::jmax (1, scaled (currentLogicalHeight, scale)));

    // The host may have given the window another size than asked for; the window shows what
    // it really got.
    if (! config.resizableLogicalSize && config.logicalWidth > 0)
        scale = editor.getWidth() / (double) config.logicalWidth;

    setButtonText ("UI " + juce::String (juce::roundToInt (scale * 100.0)) + "%");

    dirty = true;
    lastChangeMs = juce::Time::getMillisecondCounter();
}

void EditorScaling::editorResized()
{
    if (! attached || applying)
        return;

    if (! config.resizableLogicalSize)
    {
        if (config.logicalWidth > 0)
            setScale (juce::jmin (editor.getWidth() / (double) config.logicalWidth, config.maxScale));

        return;
    }

    const auto logicalSize = [this] (int pixels, int minimum, int maximum)
    {
        return juce::jlimit (minimum, juce::jmax (minimum, maximum), juce::roundToInt (pixels / scale));
    };

    currentLogicalWidth = logicalSize (editor.getWidth(), config.minLogicalWidth, config.maxLogicalWidth);
    currentLogicalHeight = logicalSize (editor.getHeight(), config.minLogicalHeight, config.maxLogicalHeight);
    setScale (scale);
}

juce::PopupMenu EditorScaling::buildScaleMenu() const
{
    // Ticked when the item's factor gives the same width to within half a pixel.
    const auto tolerance = 0.5 / juce::jmax (1, currentLogicalWidth) + 0.000000001;

    juce::PopupMenu menu;

    for (const auto percentage : menuPercentages)
    {
        const auto factor = percentage / 100.0;
        menu.addItem (firstMenuItemId + percentage,
                      juce::String (percentage) + "%",
                      factor >= config.minScale && factor <= config.maxScale,
                      std::abs (scale - factor) <= tolerance);
    }

    return menu;
}

void EditorScaling::showScaleMenu()
{
    auto menu = buildScaleMenu();

    auto& current = getLookAndFeel();

    for (const auto colourId : { juce::PopupMenu::backgroundColourId, juce::PopupMenu::textColourId,
                                 juce::PopupMenu::headerTextColourId, juce::PopupMenu::highlightedBackgroundColourId,
                                 juce::PopupMenu::highlightedTextColourId })
        menuLookAndFeel.setColour (colourId, current.findColour (colourId));

    menuLookAndFeel.setPopupMenuFont (current.getPopupMenuFont());
    menu.setLookAndFeel (&menuLookAndFeel);

    menuOpen = true;

    const auto options = juce::PopupMenu::Options().withTargetComponent (this)
                                                   .withMaximumNumColumns (1)
                                                   .withStandardItemHeight (24);

    menu.showMenuAsync (PopupMenuPlacement::withPlacement (options),
                        [safeThis = juce::Component::SafePointer<EditorScaling> (this)] (int result)
                        {
                            if (safeThis != nullptr)
                                safeThis->menuItemChosen (result);
                        });
}

void EditorScaling::menuItemChosen (int result)
{
    menuOpen = false;

    for (const auto percentage : menuPercentages)
    {
        const auto factor = percentage / 100.0;

        if (result == firstMenuItemId + percentage && factor >= config.minScale && factor <= config.maxScale)
            setScale (factor);
    }
}

void EditorScaling::saveSettings()
{
    if (! dirty || ! attached)
        return;

    auto saved = store.setValue (uiSection, "scale", scale);

    if (config.resizableLogicalSize)
    {
        saved = store.setValue (uiSection, "logicalWidth", currentLogicalWidth) && saved;
        saved = store.setValue (uiSection, "logicalHeight", currentLogicalHeight) && saved;
    }

    // A failed write stays pending: the next tick (or the destructor) tries again.
    if (saved)
        dirty = false;
}

void EditorScaling::timerCallback()
{
    if (juce::Time::getMillisecondCounter() - lastChangeMs >= (juce::uint32) saveDelayMs)
        saveSettings();
}

int EditorScaling::loadIntSetting (const juce::String& key, int defaultValue, int minimum, int maximum) const
{
    const auto value = store.getDouble (uiSection, key, std::nan (""));

    if (std::isfinite (value) && value >= minimum && value <= maximum)
        return juce::roundToInt (value);

    return defaultValue;
}

void EditorScaling::setTextOnly (bool shouldDrawTextOnly)
{
    if (textOnly != shouldDrawTextOnly)
    {
        textOnly = shouldDrawTextOnly;
        repaint();
    }
}

void EditorScaling::mouseDown (const juce::MouseEvent& event)
{
    focusedByKeyboard = false;
    repaint();
    juce::TextButton::mouseDown (event);
}

void EditorScaling::focusGained (FocusChangeType cause)
{
    if (cause == focusChangedByTabKey)
        focusedByKeyboard = true;
    else if (cause == focusChangedByMouseClick)
        focusedByKeyboard = false;

    juce::TextButton::focusGained (cause);
    repaint();
}

void EditorScaling::paintButton (juce::Graphics& g, bool shouldDrawButtonAsHighlighted, bool shouldDrawButtonAsDown)
{
    if (textOnly)
        getLookAndFeel().drawButtonText (g, *this, shouldDrawButtonAsHighlighted, shouldDrawButtonAsDown);
    else
        juce::TextButton::paintButton (g, shouldDrawButtonAsHighlighted, shouldDrawButtonAsDown);

    if (focusedByKeyboard && hasKeyboardFocus (false))
    {
        g.setColour (findColour (juce::TextButton::textColourOffId));
        g.drawRect (juce::Rectangle<int> (1, 1, juce::jmax (0, getWidth() - 2), juce::jmax (0, getHeight() - 2)), 2);
    }
}

} // namespace velmar
