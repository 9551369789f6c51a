#include "projects/ProjectLibraryStorage.h"

#include "projects/ProjectFileDocument.h"

#include <juce_cryptography/juce_cryptography.h>

#include <algorithm>

juce::File getProjectLibraryFolder()
{
    return juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory)
               .getChildFile ("VELMAR")
               .getChildFile ("Corvessa")
               .getChildFile ("projects");
}

juce::Array<juce::File> listProjectFiles (const juce::File& folder)
{
    juce::Array<juce::File> files;

    if (! folder.isDirectory())
        return files;

    for (const auto& file : folder.findChildFiles (juce::File::findFiles, false, "*.json"))
        if (! file.getFileName().startsWithChar ('.'))
            files.add (file);

    std::stable_sort (files.begin(), files.end(), [] (const juce::File& a, const juce::File& b)
    {
        return a.getFileNameWithoutExtension().compareNatural (b.getFileNameWithoutExtension(), false) < 0;
    });

    return files;
}

std::vector<ProjectLibraryEntry> makeProjectLibraryEntries (const juce::Array<juce::File>& files)
{
    std::vector<ProjectLibraryEntry> entries;
    entries.reserve ((size_t) files.size());

    for (const auto& file : files)
        entries.push_back ({ file, readProjectDisplayName (file), readProjectDescription (file) });

    std::stable_sort (entries.begin(), entries.end(), [] (const ProjectLibraryEntry& a, const ProjectLibraryEntry& b)
    {
        return a.name.compareNatural (b.name, false) < 0;
    });

    return entries;
}

juce::String hashFileContents (const juce::File& file)
{
    if (! file.existsAsFile())
        return {};

    return juce::SHA256 (file).toHexString();
}

bool readProjectFileBytes (const juce::File& file, juce::MemoryBlock& bytes)
{
    bytes.reset();

    if (! file.existsAsFile())
        return false;

    juce::FileInputStream in (file);

    if (! in.openedOk())
        return false;

    // The size on disk is only a hint: the file may grow while it is read, so the read itself
    // stops one byte past the limit.
    if (in.getTotalLength() > maxProjectFileBytes)
        return false;

    const auto read = in.readIntoMemoryBlock (bytes, (ssize_t) maxProjectFileBytes + 1);

    if (read == 0 || (juce::int64) bytes.getSize() > maxProjectFileBytes)
    {
        bytes.reset();
        return false;
    }

    return true;
}

bool replaceProjectFileText (const juce::File& file, const juce::String& text)
{
    if (! file.getParentDirectory().isDirectory())
        return false;

    juce::TemporaryFile temporary (file, juce::TemporaryFile::useHiddenFile);

    {
        juce::FileOutputStream out (temporary.getFile());

        if (! out.openedOk())
            return false;

        const auto* utf8 = text.toRawUTF8();
        const auto size = text.getNumBytesAsUTF8();

        if (! out.write (utf8, size))
            return false;

        out.flush();

        if (out.getStatus().failed())
            return false;
    }

    // A short write (a full disk, a size limit) is no error to the stream: count the bytes.
    if (temporary.getFile().getSize() != (juce::int64) text.getNumBytesAsUTF8())
        return false;

    return temporary.overwriteTargetFileWithTemporary();
}

juce::String makeProjectFileStem (const juce::String& name)
{
    auto stem = juce::File::createLegalFileName (name.trim());

    while (stem.isNotEmpty() && (stem[0] == '.' || juce::CharacterFunctions::isWhitespace (stem[0])))
        stem = stem.substring (1);

    return stem;
}

juce::File chooseProjectSaveTarget (const juce::File& folder, const juce::String& name,
                                    const juce::File& currentProjectFile)
{
    const auto trimmed = name.trim();

    if (currentProjectFile.existsAsFile() && readProjectDisplayName (currentProjectFile).equalsIgnoreCase (trimmed))
        return currentProjectFile;

    for (const auto& file : listProjectFiles (folder))
        if (readProjectDisplayName (file).equalsIgnoreCase (trimmed))
            return file;

    const auto target = folder.getChildFile (makeProjectFileStem (trimmed)).withFileExtension (".json");

    if (! target.exists())
        return target;

    // The stem's file holds another project (two names can share a stem: "Song v1.2" and
    // "Song v1.3" are both stored as "Song v1"); never take it over.
    const auto stem = target.getFileNameWithoutExtension();

    for (int number = 2;; ++number)
    {
        const auto sibling = folder.getChildFile (stem + " (" + juce::String (number) + ").json");

        if (! sibling.exists())
            return sibling;
    }
}
