#include "kit/clips/FileClipboard.h"

#include "kit/clips/ClipboardFileOwner.h"
#include "kit/clips/X11ClipboardOwner.h"

namespace velmar
{

namespace
{
    ClipboardFileOwner* testOwner = nullptr;
}

juce::File FileClipboard::makeExportFolder (const juce::String& name)
{
    const auto folder = juce::File::getSpecialLocation (juce::File::tempDirectory)
                            .getChildFile ("Velmar MIDI Exports")
                            .getChildFile (juce::File::createLegalFileName (name))
                            .getChildFile (juce::Uuid().toString());

    if (! folder.createDirectory())
        return {};

    return folder;
}

void FileClipboard::copyFile (const juce::File& file, juce::Component* source, Callback onResult)
{
    if (! file.existsAsFile() || file.getSize() <= 0)
    {
        complete ({ false, "validation", "The MIDI file is missing or empty." }, std::move (onResult));
        return;
    }

    complete (publishFile (file, source), std::move (onResult));
}

FileClipboard::Result FileClipboard::publishFile (const juce::File& file, juce::Component*)
{
    JUCE_ASSERT_MESSAGE_THREAD

    if (testOwner != nullptr)
        return testOwner->publish (file);

    return X11ClipboardOwner::getInstance().publish (file);
}

void FileClipboard::complete (const Result& result, Callback onResult)
{
    juce::Logger::writeToLog ("MIDI file clipboard [" + result.method + "]: "
                              + (result.ok ? juce::String ("file published") : result.error));

    juce::MessageManager::callAsync ([result, onResult = std::move (onResult)]
    {
        if (onResult != nullptr)
            onResult (result);
    });
}

juce::String FileClipboard::describeResult (const Result& result, const juce::String& layerName)
{
    if (result.ok)
        return layerName + " MIDI file copied to clipboard.";

    return "Could not copy " + layerName + " MIDI file. " + result.error + " Use Save to Disk.";
}

void FileClipboard::setOwnerForTesting (ClipboardFileOwner* owner)
{
    testOwner = owner;
}

} // namespace velmar
