// A portable project as the AI-client bridge, a project file or a preset hands it over: the
// strict check refuses what it must, never crashes, and what it accepts applies; the project
// exported afterwards passes the check itself, also after a trip through the JSON writer and
// reader. Applying without the check (as nobody should) must not crash either.

#include "FuzzSupport.h"
#include "FuzzProcessor.h"

#include "kit/json/JsonReader.h"
#include "kit/json/JsonWriter.h"

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    FuzzSupport::useOwnHome();
    FuzzSupport::sharedProcessor();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    auto& processor = FuzzSupport::sharedProcessor();
    const auto project = velmar::JsonReader::parse (FuzzSupport::textOf (data, size));

    if (processor.validatePortableProject (project).wasOk())
    {
        if (! processor.applyPortableProject (project).wasOk())
            FuzzSupport::fail ("a project that passed the check did not apply");

        const auto exported = processor.exportPortableProject();

        if (! processor.validatePortableProject (exported).wasOk())
            FuzzSupport::fail ("an exported project failed the check");

        const auto reread = velmar::JsonReader::parse (velmar::JsonWriter::toString (exported));

        if (! processor.validatePortableProject (reread).wasOk())
            FuzzSupport::fail ("an exported project failed the check after a trip through JSON text");
    }
    else
    {
        processor.applyPortableProject (project);
    }

    return 0;
}
