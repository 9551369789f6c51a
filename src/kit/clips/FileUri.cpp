#include "kit/clips/FileUri.h"

namespace velmar
{

juce::String fileUri (const juce::File& file)
{
    static const char* const hexDigits = "0123456789ABCDEF";

    juce::MemoryOutputStream uri;
    uri << "file://";

    for (auto* p = file.getFullPathName().toRawUTF8(); *p != 0; ++p)
    {
        const auto c = (unsigned char) *p;
        const bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
                            || c == '-' || c == '.' || c == '_' || c == '~' || c == '/';

        if (keep)
        {
            uri.writeByte ((char) c);
        }
        else
        {
            uri.writeByte ('%');
            uri.writeByte (hexDigits[c >> 4]);
            uri.writeByte (hexDigits[c & 15]);
        }
    }

    return uri.toString();
}

} // namespace velmar
