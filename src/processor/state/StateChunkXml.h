#pragma once

#include <juce_core/juce_core.h>

#include <memory>

// The XML text of a host state chunk, read with care. The framework's XML reader loops forever
// on a processing instruction inside an element, recurses once per nesting level (a deep chunk
// overflows the stack, and its time grows with the square of the depth) and reads past its
// buffer on some malformed character references. A chunk comes from the host's project file,
// which may be damaged or foreign, so its text is checked first and handed to the framework's
// reader only when it is made of what the framework's own writer produces: an optional XML
// declaration, elements nested at most maxDepth deep, quoted attributes, text, the predefined
// entities and well-formed character references.
namespace StateChunkXml
{
// Nothing we write comes near this ("CorvessaState" > "PersistentState" > "PreFollowerState" >
// "PersistentState" > "Sections" > "SectionChain" > "Section" is seven levels).
constexpr int maxDepth = 32;
// Our elements carry at most about forty attributes; the framework's tree conversion looks each
// one up among those before it, so their number is bounded too.
constexpr int maxAttributesPerElement = 256;

// Whether the text is XML of the shape described above.
bool isAcceptedXmlText (const juce::String& text);

// The root element of a chunk in the framework's binary XML form (a magic number, the text's
// length, UTF-8 text), or null when the bytes are not such a chunk, are not valid UTF-8, or the
// text is not accepted.
std::unique_ptr<juce::XmlElement> parseChunk (const void* data, int sizeInBytes);
} // namespace StateChunkXml
