// A state chunk as a host hands it over: any bytes, damaged or hostile. The processor must take
// it without crashing or hanging (anything unreadable gives the defaults), and the state it then
// saves must load back to itself.

#include "FuzzSupport.h"
#include "FuzzProcessor.h"

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    FuzzSupport::useOwnHome();
    FuzzSupport::sharedProcessor();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    auto& processor = FuzzSupport::sharedProcessor();
    processor.setStateInformation (data, (int) size);

    juce::MemoryBlock saved;
    processor.getStateInformation (saved);

    processor.setStateInformation (saved.getData(), (int) saved.getSize());
    juce::MemoryBlock savedAgain;
    processor.getStateInformation (savedAgain);

    if (saved != savedAgain)
        FuzzSupport::fail ("a saved state did not load back to itself");

    return 0;
}
