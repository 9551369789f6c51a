#include "processor/CorvessaProcessor.h"

#include "processor/state/PortableProject.h"
#include "processor/state/PortableValidation.h"
#include "processor/state/SectionPlaybackMode.h"

juce::var CorvessaProcessor::exportPortableProject() const
{
    return stateToPortableProject (getStateCopy());
}

juce::Result CorvessaProcessor::validatePortableProject (const juce::var& project) const
{
    const auto document = validatePortableDocument (project);
    if (document.failed())
        return document;

    juce::String defaultDuration;
    {
        const juce::ScopedLock sl (stateLock);
        defaultDuration = state.defaultDuration;
    }

    return validatePortableProgressions (project, defaultDuration);
}

juce::Result CorvessaProcessor::applyPortableProject (const juce::var& project)
{
    // The framework counts an array as an object too.
    if (! project.isObject() || project.isArray())
        return juce::Result::fail ("Portable project must be an object.");

    const auto validation = validatePortableProject (project);
    if (validation.failed())
        return validation;

    // Everything is read into a copy and installed only once all of it has been read, so a
    // refused project changes nothing at all.
    auto record = getStateCopy();
    SectionList sections;

    for (const auto& item : *project[PortableProject::sectionsKey].getArray())
    {
        SectionMode::SectionData section;
        juce::String error;

        if (! parsePortableSection (item, section, error))
            return juce::Result::fail (error);

        section.name = section.name.trim();

        const auto tokens = validateProgressionTokens (section, record.defaultDuration);
        if (tokens.failed())
            return juce::Result::fail ("Section " + section.name + ": " + tokens.getErrorMessage());

        sections.push_back (std::move (section));
    }

    const auto selected = (int) project[PortableProject::activeSectionIndexKey];
    int mode = 0;
    parseSectionPlaybackMode (project[PortableProject::sectionPlaybackModeKey], mode);

    record.Sections = std::move (sections);
    record.selectedSectionViewIndex = selected;
    record.sectionPlaybackMode = mode;
    record.applySection (record.Sections[(size_t) selected]);
    record.selectedSectionViewIndex = selected;

    // An apply never changes the sync role, the instance id or the saved pre-follower state.
    replaceState (record, true);
    editState ({}, { EditEffect::countExternalEdit });
    return juce::Result::ok();
}

