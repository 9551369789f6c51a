// The JSON reader, as every reader of outside JSON uses it (the settings file, the update feed,
// the support answer, the sync file, an older state chunk's payload), with what it promises:
// it never crashes or recurses without bound; a document read whole reads the same when read as
// cut off; every value it reads is written as valid UTF-8 and reads back as itself; and where
// the framework's parser can safely be asked, both read the same.

#include "FuzzSupport.h"

#include "kit/json/JsonReader.h"
#include "kit/json/JsonWriter.h"
#include "kit/json/Utf8Text.h"
#include "kit/services/SupportRequestClient.h"
#include "kit/platform/WebAddressOpener.h"
#include "kit/services/UpdateChecker.h"

#include <string>
#include <vector>

namespace
{
using velmar::JsonReader;
using velmar::JsonWriter;

bool isStrictUtf8 (const juce::String& text)
{
    const char* p = text.toRawUTF8();
    const char* const end = p + text.getNumBytesAsUTF8();

    while (p < end)
    {
        const auto c = velmar::Utf8Text::decode (p, end);

        if (c == velmar::Utf8Text::invalidCharacter || velmar::Utf8Text::isHighSurrogate (c) || velmar::Utf8Text::isLowSurrogate (c))
            return false;
    }

    return true;
}

// Where the framework's parser may be asked and is known to read as ours does: text that is
// UTF-8, where every minus sign is followed by a digit (the framework reads any character
// after one, and past the end of the text after a final one), without escaped surrogates
// (which ours pairs), and without runs of nine or more digits (beyond 64 bits ours reads a
// double, and a long exponent overflows the framework's reader).
bool frameworkCanBeAsked (const juce::String& text)
{
    if (! isStrictUtf8 (text))
        return false;

    const std::string bytes (text.toRawUTF8());
    int digitRun = 0;

    for (size_t i = 0; i < bytes.size(); ++i)
    {
        const char c = bytes[i];
        digitRun = (c >= '0' && c <= '9') ? digitRun + 1 : 0;

        if (digitRun >= 9)
            return false;

        if (c == '-')
        {
            auto j = i + 1;
            while (j < bytes.size() && juce::CharacterFunctions::isWhitespace ((juce::juce_wchar) (unsigned char) bytes[j]))
                ++j;

            if (j >= bytes.size() || bytes[j] < '0' || bytes[j] > '9')
                return false;
        }

        if (c == '\\' && i + 2 < bytes.size() && bytes[i + 1] == 'u' && (bytes[i + 2] == 'd' || bytes[i + 2] == 'D'))
            return false;
    }

    return true;
}
} // namespace

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    FuzzSupport::useOwnHome();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    const auto text = FuzzSupport::textOf (data, size);

    bool wellFormedButTooDeep = false;
    const auto value = JsonReader::parse (text, JsonReader::defaultMaxDepth, &wellFormedButTooDeep);
    const auto cutOff = JsonReader::parseCutOff (text);

    if (! value.isVoid())
    {
        if (wellFormedButTooDeep)
            FuzzSupport::fail ("a document read whole was called too deep");

        // Read as cut off, a whole document is the same document.
        if (JsonWriter::toString (cutOff, true) != JsonWriter::toString (value, true))
            FuzzSupport::fail ("a whole document read differently as cut off");

        // Every value read is written as valid UTF-8 and reads back as itself.
        for (const bool oneLine : { true, false })
        {
            const auto written = JsonWriter::toString (value, oneLine);

            if (! isStrictUtf8 (written))
                FuzzSupport::fail ("the writer wrote text that is no UTF-8");

            if (JsonWriter::toString (JsonReader::parse (written), oneLine) != written)
                FuzzSupport::fail ("a written value did not read back as itself");
        }
    }

    if (frameworkCanBeAsked (text))
    {
        const auto framework = juce::JSON::parse (text);

        if (framework.isVoid() != value.isVoid())
            FuzzSupport::fail ("the framework's parser and ours disagree on whether this is JSON");

        if (! value.isVoid() && juce::JSON::toString (framework, true) != juce::JSON::toString (value, true))
            FuzzSupport::fail ("the framework's parser and ours read different values");
    }

    // What the support client and the update check make of such an answer.
    const auto answer = velmar::SupportRequestClient::mapResponse (200 + (int) (size % 400), text, (size & 1) != 0);

    if (answer.message.isEmpty() || answer.message.length() > 160 || answer.requestId.length() > 64)
        FuzzSupport::fail ("a support answer gave a message the status line cannot show");

    const auto version = value.getProperty ("latest_version", {}).toString();
    std::vector<juce::String> pieces;
    velmar::parseVersion (version, pieces);

    if (velmar::compareVersions (version, "1.3.4") != -velmar::compareVersions ("1.3.4", version))
        FuzzSupport::fail ("version comparison is not symmetric");

    velmar::isOpenableWebAddress (value.getProperty ("download_url", {}).toString());
    return 0;
}
