#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace velmar
{

// A hyperlink whose address opens only through the kit's web-address opener (http and https,
// no shell). The framework's own hyperlink hands its address to a shell on Linux, so a link
// from the update feed could run commands; this one never uses that path. Message thread only.
class SafeHyperlinkButton : public juce::HyperlinkButton
{
public:
    explicit SafeHyperlinkButton (const juce::String& linkText = {}, const juce::String& address = {});

    void setAddress (const juce::String& newAddress) { address = newAddress; }
    const juce::String& getAddress() const noexcept  { return address; }

protected:
    void clicked() override;

private:
    // Addresses are set with setAddress only; the framework's URL is never opened.
    using juce::HyperlinkButton::setURL;
    using juce::HyperlinkButton::getURL;

    juce::String address;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SafeHyperlinkButton)
};

} // namespace velmar
