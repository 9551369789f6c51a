#include "kit/clips/FileDragController.h"

#include "kit/clips/ClipsTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

using velmar::FileDragController;
using DragResult = FileDragController::Result;

namespace
{
    // A native drag that starts (or refuses) as told and ends when the test says so.
    struct FakeStarter
    {
        struct Call
        {
            juce::StringArray paths;
            bool mayMove = true;
            juce::Component* source = nullptr;
            std::function<void()> end;
        };

        std::vector<Call> calls;
        int refusals = 0; // the next native starts that refuse

        FileDragController::Starter starter()
        {
            return [this] (const juce::StringArray& paths, bool mayMove, juce::Component& source, std::function<void()> end)
            {
                calls.push_back ({ paths, mayMove, &source, std::move (end) });

                if (refusals == 0)
                    return true;

                --refusals;
                return false;
            };
        }

        // Ends every drag still running (also the process-wide one, so that tests stay apart).
        void endAll()
        {
            for (auto& c : calls)
                if (c.end != nullptr)
                    c.end();
        }
    };

    struct FileDragControllerTest : ::testing::Test
    {
        juce::ScopedJuceInitialiser_GUI juce;
        cliptest::TemporaryFolder folder;
        juce::File clip = folder.file ("Verse - Bass.mid", "MThd-clip");
        juce::File emptyClip = folder.file ("Empty.mid", "");
        juce::Component source;
        FakeStarter fakeA, fakeB;

        void TearDown() override
        {
            fakeA.endAll();
            fakeB.endAll();
        }
    };
} // namespace

TEST_F (FileDragControllerTest, GestureRulesAcrossControllers)
{
    // One letter per step: g/G arm a gesture on controller A/B, s/S start a drag of the clip on
    // A/B, z starts one on A whose file is empty, r makes A's next native start refuse, e ends
    // A's latest native drag, d deletes the drag's source component.
    const struct
    {
        const char* name;
        const char* steps;
        std::vector<DragResult> results;
        size_t nativeStarts;
        int ends; // end callbacks that reached the caller
    } cases[] = {
        { "no gesture",                     "s",      { DragResult::ignored }, 0, 0 },
        { "twice in one gesture",           "gss",    { DragResult::started, DragResult::ignored }, 1, 0 },
        { "one drag, ended",                "gsee",   { DragResult::started }, 1, 1 },
        { "another controller's drag",      "gsGS",   { DragResult::started, DragResult::ignored }, 1, 0 },
        { "other drag over, next gesture",  "gsGSeGS", { DragResult::started, DragResult::ignored, DragResult::started }, 2, 1 },
        { "zero-byte file stays consumed",  "gzs",    { DragResult::fileUnusable, DragResult::ignored }, 0, 0 },
        { "refused start, new gesture",     "rgsgs",  { DragResult::nativeStartFailed, DragResult::started }, 2, 0 },
        { "new gesture before the end",     "gsge",   { DragResult::started }, 1, 0 },
        { "source gone before the end",     "gsde",   { DragResult::started }, 1, 0 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        FakeStarter starterA, starterB;
        FileDragController a (starterA.starter()), b (starterB.starter());
        auto dragSource = std::make_unique<juce::Component>();
        std::vector<DragResult> results;
        int ends = 0;
        int produced = 0;

        const auto startOn = [&] (FileDragController& controller, const juce::File& file)
        {
            results.push_back (controller.start (*dragSource, [&produced, file] { ++produced; return file; },
                                                 "Corvessa 1.3.4 Bass", [&ends] { ++ends; }));
        };

        for (auto* step = c.steps; *step != 0; ++step)
        {
            switch (*step)
            {
                case 'g': a.beginGesture(); break;
                case 'G': b.beginGesture(); break;
                case 's': startOn (a, clip); break;
                case 'S': startOn (b, clip); break;
                case 'z': startOn (a, emptyClip); break;
                case 'r': ++starterA.refusals; break;
                case 'e': if (! starterA.calls.empty()) starterA.calls.back().end(); break;
                case 'd': dragSource.reset(); break;
                default:  FAIL() << "unknown step";
            }
        }

        EXPECT_EQ (results, c.results);
        EXPECT_EQ (starterA.calls.size() + starterB.calls.size(), c.nativeStarts);
        EXPECT_EQ (ends, c.ends);

        // The file is produced only for attempts that got past the gesture and the other drag.
        const auto attempts = std::count_if (results.begin(), results.end(), [] (auto r) { return r != DragResult::ignored; });
        EXPECT_EQ (produced, attempts);

        for (const auto& call : starterA.calls)
        {
            EXPECT_EQ (call.paths, juce::StringArray (clip.getFullPathName()));
            EXPECT_FALSE (call.mayMove);
        }

        starterA.endAll();
        starterB.endAll();
    }
}

TEST_F (FileDragControllerTest, MissingOrUnproducedFilesAreUnusable)
{
    FileDragController controller (fakeA.starter());
    const std::function<juce::File()> factories[] = {
        [this] { return folder.root.getChildFile ("missing.mid"); },
        [this] { return folder.root; },
        [] { return juce::File(); },
        nullptr,
    };

    for (const auto& factory : factories)
    {
        controller.beginGesture();
        EXPECT_EQ (controller.start (source, factory, "Corvessa 1.3.4 All", nullptr), DragResult::fileUnusable);
    }

    EXPECT_TRUE (fakeA.calls.empty());
}

TEST_F (FileDragControllerTest, TheDefaultStarterRefusesASourceWithoutAWindowAndFreesTheProcess)
{
    FileDragController native ({});
    native.beginGesture();
    EXPECT_EQ (native.start (source, [this] { return clip; }, "Corvessa 1.3.4 All", nullptr), DragResult::nativeStartFailed);

    FileDragController other (fakeA.starter());
    other.beginGesture();
    EXPECT_EQ (other.start (source, [this] { return clip; }, "Corvessa 1.3.4 All", nullptr), DragResult::started);
}

TEST_F (FileDragControllerTest, ADeletedControllersLateEndReachesNobody)
{
    int ends = 0;
    auto controller = std::make_unique<FileDragController> (fakeA.starter());
    controller->beginGesture();
    ASSERT_EQ (controller->start (source, [this] { return clip; }, "Corvessa 1.3.4 Body", [&ends] { ++ends; }),
               DragResult::started);

    controller.reset();
    fakeA.calls.back().end();
    EXPECT_EQ (ends, 0);

    // The drag is over for the process all the same.
    FileDragController next (fakeB.starter());
    next.beginGesture();
    EXPECT_EQ (next.start (source, [this] { return clip; }, "Corvessa 1.3.4 Body", nullptr), DragResult::started);
}

TEST_F (FileDragControllerTest, DescribeResultTexts)
{
    EXPECT_EQ (FileDragController::describeResult (DragResult::ignored, "Bass"), "");
    EXPECT_EQ (FileDragController::describeResult (DragResult::started, "Bass"), "Bass MIDI drag started");
    EXPECT_EQ (FileDragController::describeResult (DragResult::fileUnusable, "Shimmer"),
               "Could not create a readable Shimmer MIDI file.");
    EXPECT_EQ (FileDragController::describeResult (DragResult::nativeStartFailed, "All"),
               "Could not start All MIDI drag. Try again or use Save to Disk.");
}

TEST_F (FileDragControllerTest, TraceWritesEveryLineInOrderOnlyWhenTheVariableIsOne)
{
    const auto build = "build=" + FileDragController::buildDescription() + " " + juce::SystemStats::getJUCEVersion();
    EXPECT_EQ (FileDragController::buildDescription(), "plugin:1.3.4,kit:1.3.4,juce:7.0.5");

    const auto runDrags = [this]
    {
        FileDragController a (fakeA.starter()), b (fakeB.starter());
        a.beginGesture();
        a.start (source, [this] { return clip; }, "Corvessa 1.3.4 Bass", nullptr);
        a.start (source, [this] { return clip; }, "Corvessa 1.3.4 Bass", nullptr); // silent: same gesture
        b.beginGesture();
        b.start (source, [this] { return clip; }, "Corvessa 1.3.4 All", nullptr);
        fakeA.calls.back().end();
        fakeA.calls.back().end(); // silent: already over
        a.beginGesture();
        a.start (source, [this] { return emptyClip; }, "Corvessa 1.3.4 Bass", nullptr);
        fakeA.calls.clear();
    };

    const juce::String prefix = "[Velmar MIDI drag] Corvessa 1.3.4 Bass gesture=";
    const juce::StringArray expected {
        prefix + "1: " + build + " peer=missing file=" + clip.getFullPathName() + " bytes=9",
        prefix + "1: argument=" + clip.getFullPathName(),
        prefix + "1: native start=true",
        "[Velmar MIDI drag] Corvessa 1.3.4 All gesture=1: ignored: another native drag is active",
        prefix + "1: native operation ended (import outcome unknown)",
        prefix + "2: " + build + " peer=missing file=" + emptyClip.getFullPathName() + " bytes=0",
        prefix + "2: invalid or unreadable file",
    };

    const struct { const char* value; bool writes; } settings[] = { { "1", true }, { "true", false }, { "0", false }, { nullptr, false } };

    for (const auto& setting : settings)
    {
        SCOPED_TRACE (setting.value != nullptr ? setting.value : "unset");
        cliptest::ScopedEnvironment variable ("VELMAR_MIDI_DRAG_TRACE", setting.value);
        const auto written = cliptest::captureStandardError (runDrags);

        if (setting.writes)
            EXPECT_EQ (juce::StringArray::fromLines (written.trimEnd()), expected);
        else
            EXPECT_EQ (written, "");
    }
}
