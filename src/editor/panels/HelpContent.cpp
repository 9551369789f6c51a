#include "editor/panels/HelpContent.h"

#include "kit/services/ServiceAddresses.h"

velmar::HelpDialog::Info makeCorvessaHelpInfo()
{
    using Section = velmar::HelpDialog::Section;

    velmar::HelpDialog::Info info;
    info.productName = "Corvessa";
    info.version = CORVESSA_VERSION;
    info.guideUrl = velmar::getServiceBaseUrl() + "/corvessa/guide/";

    info.sections = {
        Section { "Quick start",
                  "1. Route Corvessa's MIDI channel 1 to an instrument.\n"
                  "2. Choose Mood, Key and Bars in Mood Generator, then Generate 5.\n"
                  "3. Select a section and start your DAW.\n"
                  "Generate 5 replaces all sections. Save first.",
                  {} },
        Section { "Chords",
                  "Click a chord to edit; hold to preview. Easy suggests chords; Expert shows all controls. "
                  "Add chords with + Before / + After. Apply & Close saves; Cancel discards the draft.",
                  {} },
        Section { "Sections",
                  "+ adds an empty section. Right-click to copy, rename or delete; drag to reorder. "
                  "Auto-Advance follows the DAW timeline; clicking a section only changes the editing view. "
                  "Turn it off to repeat one section and queue changes.",
                  {} },
        Section { "MIDI routing",
                  {},
                  { { "Channel 1", "Selected Output mix" },
                    { "Channel 2", "Bass" },
                    { "Channel 3", "Body" },
                    { "Channel 4", "Shimmer" } } },
        Section { "Layers",
                  {},
                  { { "Shimmer", "Top: one note. Color: extensions. Halo: color plus a chord tone. Off: silent." },
                    { "Body", "Choose Voicing, Root and 5th; Shimmer includes written color tones." },
                    { "Bass", "+Oct: lower octave. +5th: extra fifth." } } },
        Section { "Legato",
                  "Legato holds shared notes across chords. Off reattacks each chord.",
                  {} },
        Section { "Sync",
                  "Choose one Leader and set other instances to Follower. Edit music on the Leader; "
                  "choose Output on each Follower. Leaving Follower restores its previous music.",
                  {} },
        Section { "Save & export",
                  "Projects saves sections and playback mode. In {}, APPLY replaces all sections with your JSON.\n"
                  "Drag an export icon to your DAW; right-click to copy/save. Export covers one active section. "
                  "All includes every layer and resets Output to All.",
                  {} },
        Section { "Shortcuts",
                  {},
                  { { "Cmd/Ctrl + Z", "Undo chord edits" },
                    { "Cmd/Ctrl + Shift + Z", "Redo chord edits" } } },
    };

    info.mcpDescription = "Connect an AI client to edit Corvessa or manage saved Projects. Use this instance ID "
                          "to select the right plugin. Edit Followers through their Leader.";
    return info;
}
