#include "kit/dialogs/PopupMenuPlacement.h"

namespace velmar
{

namespace
{
    // Below this height the free strip beside the target is too small for a useful menu; the
    // menu then gets the whole area and the framework fits it in.
    constexpr int minimumStripHeight = 48;
    constexpr int areaInset = 4;
} // namespace

PopupMenuPlacement::Host::Host()
{
    setInterceptsMouseClicks (false, true);
    setAlwaysOnTop (true);
}

PopupMenuPlacement::Host* PopupMenuPlacement::findHost (juce::Component& component)
{
    for (auto* level = &component; level != nullptr; level = level->getParentComponent())
        for (auto* child : level->getChildren())
            if (auto* host = dynamic_cast<Host*> (child))
                return host;

    return nullptr;
}

juce::PopupMenu::Options PopupMenuPlacement::withPlacement (const juce::PopupMenu::Options& options)
{
    auto* target = options.getTargetComponent();

    if (target == nullptr)
        return options;

    auto* host = findHost (*target);

    if (host == nullptr || host->getParentComponent() == nullptr)
        return options;

    auto& container = *host->getParentComponent();
    const auto area = container.getLocalBounds().reduced (areaInset);

    // The container's own coordinates take the canvas's scale transform out of the picture.
    const auto targetArea = container.getLocalArea (nullptr, options.getTargetScreenArea());

    auto w = targetArea.getWidth();
    auto h = targetArea.getHeight();
    const auto x = juce::jlimit (area.getX(), area.getX() + juce::jmax (0, area.getWidth() - w), targetArea.getX());
    const auto y = juce::jlimit (area.getY(), area.getY() + juce::jmax (0, area.getHeight() - h), targetArea.getY());
    w = juce::jmin (w, area.getWidth());
    h = juce::jmin (h, area.getHeight());

    const bool below = area.getY() + area.getHeight() / 2 >= y + h / 2;

    const auto strip = below ? juce::Rectangle<int> (area.getX(), y + h, area.getWidth(), juce::jmax (0, area.getBottom() - (y + h)))
                             : juce::Rectangle<int> (area.getX(), area.getY(), area.getWidth(), juce::jmax (0, y - area.getY()));

    const auto hostBounds = strip.getHeight() < minimumStripHeight ? area : strip;
    host->setBounds (hostBounds);
    host->toFront (false);

    // The anchor line lies on the strip's edge next to the target. This framework version
    // intersects a menu's target with its parent less the menu border, and a line on the very
    // edge would come out empty and lose its x (the menu would open at the left of the window);
    // so the line is moved the few pixels needed to lie inside that area.
    const auto border = juce::jmax (0, target->getLookAndFeel().getPopupMenuBorderSizeWithOptions (options));
    const auto firstRow = hostBounds.getY() + border;
    const auto lastRow = juce::jmax (firstRow, hostBounds.getBottom() - 1 - border);
    const auto anchorY = juce::jlimit (firstRow, lastRow, below ? y + h : y - 1);

    const juce::Rectangle<int> anchor (x, anchorY, juce::jmax (1, w), 1);

    return options.withParentComponent (host)
                  .withTargetScreenArea (container.localAreaToGlobal (anchor))
                  .withPreferredPopupDirection (below ? juce::PopupMenu::Options::PopupDirection::downwards
                                                      : juce::PopupMenu::Options::PopupDirection::upwards)
                  .withItemThatMustBeVisible (0);
}

} // namespace velmar
