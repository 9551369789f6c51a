#pragma once

#include "compile/CompiledSection.h"

#include <functional>
#include <memory>

// Compiles a whole song into a bank: the working section (the settings the editor's arrangement
// controls edit, as a section) and every section of the song, with the state's default chord
// duration. Snapshots that a section can take over unchanged are reused by pointer: a
// section's own snapshot in the previous bank when it was compiled from the same inputs (name
// included), else the new working snapshot when the section's fields equal the working section's
// (one compile serves both). Pure; runs without any lock.
//
// `overtaken`, when given, is asked between sections and inside each compile: once it answers
// true (a newer request came) the bank is returned as far as it got, which may be fewer sections
// than the song has; such a bank must not be published.
//
// `putOff`, when given, names sections whose compile may wait: such a section that cannot take
// over a snapshot gets a stand-in of its length instead, and the bank is marked not complete.
// The working section is always compiled.
CompiledSectionBank compileBank (const SectionMode::SectionData& workingSection,
                                 const SectionList& sections,
                                 const juce::String& defaultDuration,
                                 juce::uint64 generation,
                                 const std::shared_ptr<const CompiledSectionBank>& previous,
                                 const std::function<bool()>& overtaken = {},
                                 const std::function<bool (size_t)>& putOff = {});

// The bank to compile the rest of a song against once `partial` (compiled with sections put
// off) is out: partial's compiled snapshots, and previous's in place of its stand-ins, so that
// a section keeps its previous snapshot as a full compile would.
std::shared_ptr<const CompiledSectionBank> withStandInsReplaced (const CompiledSectionBank& partial,
                                                                 const std::shared_ptr<const CompiledSectionBank>& previous);
