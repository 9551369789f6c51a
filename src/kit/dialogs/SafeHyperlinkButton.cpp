#include "kit/dialogs/SafeHyperlinkButton.h"

#include "kit/platform/WebAddressOpener.h"

namespace velmar
{

SafeHyperlinkButton::SafeHyperlinkButton (const juce::String& linkText, const juce::String& linkAddress)
    : juce::HyperlinkButton (linkText, juce::URL()),
      address (linkAddress)
{
    setMouseCursor (juce::MouseCursor::PointingHandCursor);
}

void SafeHyperlinkButton::clicked()
{
    if (address.isNotEmpty())
        openWebAddress (address);
}

} // namespace velmar
