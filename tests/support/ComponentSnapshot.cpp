#include "support/ComponentSnapshot.h"

#include <cstdlib>

namespace corvessa::test
{

juce::File getScreenshotFolder()
{
#ifdef CORVESSA_SCREENSHOT_DIR
    juce::File folder (CORVESSA_SCREENSHOT_DIR);
#else
    auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("corvessa-screenshots");
#endif
    folder.createDirectory();
    return folder;
}

juce::Image renderComponent (juce::Component& component, float scale)
{
    return component.createComponentSnapshot (component.getLocalBounds(), true, scale);
}

juce::Image writeSnapshot (juce::Component& component, const juce::String& name, float scale)
{
    auto image = renderComponent (component, scale);
    const auto file = getScreenshotFolder().getChildFile (juce::File::createLegalFileName (name) + ".png");
    file.deleteFile();
    if (juce::FileOutputStream out (file); out.openedOk())
    {
        juce::PNGImageFormat png;
        png.writeImageToStream (image, out);
    }
    return image;
}

bool hasInk (const juce::Image& image, juce::Rectangle<int> area, juce::Colour background, int minimum)
{
    const juce::Image::BitmapData pixels (image, juce::Image::BitmapData::readOnly);
    area = area.getIntersection (image.getBounds());
    int count = 0;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
        {
            const auto c = pixels.getPixelColour (x, y);
            const int difference = std::abs (c.getRed() - background.getRed())
                                 + std::abs (c.getGreen() - background.getGreen())
                                 + std::abs (c.getBlue() - background.getBlue());
            if (difference > 96 && ++count >= minimum)
                return true;
        }
    return false;
}

} // namespace corvessa::test
