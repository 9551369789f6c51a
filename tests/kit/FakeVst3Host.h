#pragma once

#include <pluginterfaces/vst/ivsthostapplication.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace kittest
{
    // A host's context object as a VST3 host hands it over: it answers IHostApplication only
    // when asked to, and counts references so that the test sees the interface released.
    struct FakeHost : Steinberg::Vst::IHostApplication
    {
        explicit FakeHost (std::u16string nameToReport, bool answersHostApplication = true)
            : name (std::move (nameToReport)), answers (answersHostApplication) {}

        Steinberg::tresult PLUGIN_API queryInterface (const Steinberg::TUID iid, void** obj) override
        {
            if (answers && std::memcmp (iid, Steinberg::Vst::IHostApplication_iid, sizeof (Steinberg::TUID)) == 0)
            {
                addRef();
                *obj = static_cast<Steinberg::Vst::IHostApplication*> (this);
                return Steinberg::kResultOk;
            }

            *obj = nullptr;
            return Steinberg::kNoInterface;
        }

        Steinberg::uint32 PLUGIN_API addRef() override  { return (Steinberg::uint32) ++references; }
        Steinberg::uint32 PLUGIN_API release() override { return (Steinberg::uint32) --references; }

        Steinberg::tresult PLUGIN_API getName (Steinberg::Vst::String128 out) override
        {
            // Writes all 128 units when the name is that long, with no terminator of its own.
            const auto count = std::min<size_t> (name.size(), 128);
            for (size_t i = 0; i < count; ++i)
                out[i] = (Steinberg::Vst::TChar) name[i];
            if (count < 128)
                out[count] = 0;
            return Steinberg::kResultOk;
        }

        Steinberg::tresult PLUGIN_API createInstance (Steinberg::TUID, Steinberg::TUID, void** obj) override
        {
            *obj = nullptr;
            return Steinberg::kNotImplemented;
        }

        std::u16string name;
        bool answers;
        int references = 1;
    };

} // namespace kittest
