#include "kit/json/JsonWriter.h"

#include "kit/json/Utf8Text.h"

#include <cmath>
#include <string>

namespace velmar
{
namespace
{
constexpr int indentSize = 2;
const char* const newLine = "\r\n";

void writeSpaces (juce::OutputStream& out, int count)
{
    out.writeRepeatedByte (' ', (size_t) juce::jmax (0, count));
}

void writeHex4 (juce::OutputStream& out, uint32_t unit)
{
    static const char* const digits = "0123456789abcdef";
    char text[6] = { '\\', 'u',
                     digits[(unit >> 12) & 0xf], digits[(unit >> 8) & 0xf],
                     digits[(unit >> 4) & 0xf], digits[unit & 0xf] };
    out.write (text, sizeof (text));
}

void writeStringBody (juce::OutputStream& out, const juce::String& text)
{
    // Read byte by byte: a string may hold anything its maker put there. A surrogate pair that
    // the framework's reader or a UTF-16 conversion left as two encoded halves is written as
    // the one character it stands for; a lone half, a byte that is no UTF-8 and a value beyond
    // Unicode are written as U+FFFD, so that every file we write is valid UTF-8.
    const char* p = text.toRawUTF8();
    const char* const end = p + text.getNumBytesAsUTF8();
    std::string encoded;

    while (p < end)
    {
        const auto c = Utf8Text::decodeScalar (p, end);

        switch (c)
        {
            case '"':  out << "\\\""; break;
            case '\\': out << "\\\\"; break;
            case '\b': out << "\\b";  break;
            case '\f': out << "\\f";  break;
            case '\t': out << "\\t";  break;
            case '\r': out << "\\r";  break;
            case '\n': out << "\\n";  break;
            default:
                if (c >= 32 && c < 128)
                {
                    out.writeByte ((char) c);
                }
                else if (c >= 128)
                {
                    // Text beyond ASCII stays UTF-8. The framework's writer escapes it as UTF-16
                    // units, but its reader turns an escaped surrogate pair into two broken
                    // characters, so a name with an emoji would not survive a round trip.
                    encoded.clear();
                    Utf8Text::append (encoded, c);
                    out.write (encoded.data(), encoded.size());
                }
                else
                {
                    // Every other control character, BEL included.
                    writeHex4 (out, c);
                }
                break;
        }
    }
}

void writeValue (juce::OutputStream& out, const juce::var& v, int indent, bool oneLine, int places);

void writeArray (juce::OutputStream& out, const juce::Array<juce::var>& items, int indent, bool oneLine, int places)
{
    out << '[';

    if (! items.isEmpty())
    {
        if (! oneLine)
            out << newLine;

        for (int i = 0; i < items.size(); ++i)
        {
            if (! oneLine)
                writeSpaces (out, indent + indentSize);

            writeValue (out, items.getReference (i), indent + indentSize, oneLine, places);

            if (i < items.size() - 1)
                out << (oneLine ? ", " : ",") << (oneLine ? "" : newLine);
            else if (! oneLine)
                out << newLine;
        }

        if (! oneLine)
            writeSpaces (out, indent);
    }

    out << ']';
}

void writeObject (juce::OutputStream& out, juce::DynamicObject& object, int indent, bool oneLine, int places)
{
    const auto& props = object.getProperties();
    out << '{';

    if (! oneLine)
        out << newLine;

    for (int i = 0; i < props.size(); ++i)
    {
        if (! oneLine)
            writeSpaces (out, indent + indentSize);

        out << '"';
        writeStringBody (out, props.getName (i).toString());
        out << "\": ";
        writeValue (out, props.getValueAt (i), indent + indentSize, oneLine, places);

        if (i < props.size() - 1)
            out << (oneLine ? ", " : ",") << (oneLine ? "" : newLine);
        else if (! oneLine)
            out << newLine;
    }

    if (! oneLine)
        writeSpaces (out, indent);

    out << '}';
}

void writeValue (juce::OutputStream& out, const juce::var& v, int indent, bool oneLine, int places)
{
    if (v.isString())
    {
        out << '"';
        writeStringBody (out, v.toString());
        out << '"';
    }
    else if (v.isBool())
    {
        out << ((bool) v ? "true" : "false");
    }
    else if (v.isInt() || v.isInt64())
    {
        out << juce::String ((juce::int64) v);
    }
    else if (v.isDouble())
    {
        const auto d = (double) v;

        if (std::isfinite (d))
            out << juce::JSON::toString (v, true, places);
        else
            out << "null";
    }
    else if (const auto* array = v.getArray())
    {
        writeArray (out, *array, indent, oneLine, places);
    }
    else if (auto* object = v.getDynamicObject())
    {
        writeObject (out, *object, indent, oneLine, places);
    }
    else
    {
        // Void, undefined, methods, binary blocks and foreign objects have no JSON form.
        out << "null";
    }
}
} // namespace

void JsonWriter::write (juce::OutputStream& out, const juce::var& value, bool allOnOneLine, int maximumDecimalPlaces)
{
    writeValue (out, value, 0, allOnOneLine, maximumDecimalPlaces);
}

juce::String JsonWriter::toString (const juce::var& value, bool allOnOneLine, int maximumDecimalPlaces)
{
    juce::MemoryOutputStream out (256);
    write (out, value, allOnOneLine, maximumDecimalPlaces);
    return out.toUTF8();
}

juce::String JsonWriter::quote (const juce::String& text)
{
    juce::MemoryOutputStream out (text.length() + 2);
    out << '"';
    writeStringBody (out, text);
    out << '"';
    return out.toUTF8();
}

} // namespace velmar
