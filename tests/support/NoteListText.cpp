#include "support/NoteListText.h"

namespace corvessa::test
{

std::string describeNotes (const std::vector<int>& notes)
{
    std::string text;

    for (const int note : notes)
        text += std::to_string (note) + " ";

    return text;
}

} // namespace corvessa::test
