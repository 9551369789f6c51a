#pragma once

#include "chord_editor/ChordBuilder.h"
#include "chord_editor/ContextualChordSuggestion.h"
#include "chord_editor/widgets/ContextualChordSuggestionButton.h"
#include "chord_editor/widgets/HoldToPreviewButton.h"
#include "chord_editor/widgets/ShortcutTextButton.h"
#include "chord_editor/widgets/ShortcutTextEditor.h"
#include "editor/panels/PanelComponent.h"
#include "harmony/ProgressionText.h"
#include "mood/MoodGenerator.h"

#include <array>
#include <functional>
#include <vector>

// The panel in which the user builds one chord of the chord draft: root, character and color
// (together the quality), a slash bass, a length, or a rest. "Easy" shows the chord, its
// neighbours and five suggestions for its place; "Expert" shows a root keyboard, character and
// color buttons and the key's chords. The right-hand column (slash bass, length, rest, preview)
// is the same in both.
//
// The panel never touches the processor: the window feeds it (key and scale, then the context,
// then a chord or nothing) and learns of everything through the seven callbacks. The chord lives
// in four combo boxes that are never shown; buttons, menus and loaded chords select in them
// without notification and the buttons are then refreshed from them.
//
// Message thread only, every member.
class ChordEditPopover : public PanelComponent,
                         public juce::Button::Listener
{
public:
    ChordEditPopover();
    ~ChordEditPopover() override;

    //==============================================================================
    // What the window is told. An unset callback is skipped.

    // "Apply & Close" or Return: the chord's index and its text ("" without a chord).
    std::function<void (int chordIndex, const juce::String& chordText)> onApply;
    // "Cancel", after the panel hid itself.
    std::function<void()> onCancel;
    // A control changed the chord, or a step of the panel's own history was taken.
    std::function<void (int chordIndex, const juce::String& chordText)> onChordChanged;
    // Ctrl+Z (false) or Ctrl+Shift+Z (true) while the panel has the focus.
    std::function<void (bool redo)> onUndoRedo;
    // "Easy" or "Expert" chosen.
    std::function<void()> onModeChanged;
    // The preview button's hold began or ended.
    std::function<void()> onPreviewStart;
    std::function<void()> onPreviewEnd;

    //==============================================================================
    // Controls.

    // The chord being built; never visible.
    juce::ComboBox rootBox, characterBox, colorBox, bassBox;

    ShortcutTextButton previousSlashButton, slashButton, nextSlashButton;
    ShortcutTextButton shorterButton;
    ShortcutTextEditor lengthEditor;
    ShortcutTextButton longerButton;
    juce::TextButton restButton { "REST" };
    std::array<ContextualChordSuggestionButton, 5> suggestionButtons;
    std::array<juce::TextButton, 12> rootButtons;      // "C" .. "B", by pitch class
    std::array<juce::TextButton, 7> characterButtons;  // as getCharacterChoices
    std::array<juce::TextButton, 7> colorButtons;      // as getColorChoices, then "More"

    //==============================================================================
    // State.

    std::vector<ContextualChordSuggestion> suggestions;
    std::vector<QuickChord> quickChords;
    MoodGenerator moodGenerator;
    std::vector<ChordToken> contextTokens;   // the draft progression around the chord
    juce::String moodName { "Space" };
    juce::String keyRoot { "C" };
    juce::String scaleName { "Major" };

    juce::TextButton easyButton { "Easy" }, expertButton { "Expert" };
    juce::TextButton quickChordsButton { "Quick chords in C Major" };
    HoldToPreviewButton previewButton;
    juce::TextButton applyButton { "Apply & Close" };
    juce::TextButton cancelButton { "Cancel" };

    int chordIndex = -1;          // the index the callbacks report
    int editPosition = 0;         // the chord's position in contextTokens
    bool replacesChord = false;   // it replaces contextTokens[editPosition] (else it is new there)
    bool expertMode = false;
    bool hasChord = true;         // false: "No chord selected"
    bool durationWritten = false; // the loaded chord wrote its length
    bool suppressChangeNotifications = false;
    juce::String lastValidLength { "1" };
    juce::String optionTag;       // "{V/V}", "{TT}", "{CM}" or empty, kept from the loaded chord
    bool updatingBoxes = false;

    // The panel's own chord history, oldest first, each side at most historyDepth texts.
    std::vector<juce::String> localUndoStack, localRedoStack;
    juce::String recordedText;
    bool hasRecordedText = false;
    bool loadingText = false;

    static constexpr int historyDepth = 64;

    //==============================================================================
    // Feeding, in this order: key and scale, the context, then a chord or nothing.

    void setKeyAndScale (const juce::String& key, const juce::String& scale);
    void setContext (const std::vector<ChordToken>& tokens, int position, bool replaces, const juce::String& mood);
    // Shows the panel with this chord and takes the focus; reports nothing.
    void openChord (int index, const ChordToken& token);
    // Shows the panel without a chord: only "Apply & Close" and "Cancel" act.
    void showEmpty();

    //==============================================================================
    // The chord.

    // The token text: "C", "Am7/G:2", "R:0.5", "F:1" (a written length stays written).
    juce::String buildChordText() const;
    // The length part of the token ("1", "0.50", "T256").
    juce::String currentLengthText() const;
    // The quality from character and color; "" for the major triad.
    juce::String currentQuality() const;
    void setQuality (const juce::String& quality);
    void fillColorBox (const juce::String& character, const juce::String& color);
    void rebuildChoiceBoxes (const juce::String& root, const juce::String& quality, const juce::String& bass);

    void refreshControls();
    void refreshGridButtons();
    void refreshSlashAndLength();
    void applyRestState();
    void refreshQuickChords();

    void selectBassIndex (int index);
    void selectQuickChord (int index);
    void setLengthText (const juce::String& lengthText);
    void stepLength (int direction);
    void commitLengthField();

    // The texts the panel paints.
    juce::String chordDisplayText() const;   // "Am7/G", "REST"
    juce::String chordDescription() const;   // "D + Min + 7", "Silence"
    bool chordFitsKey() const;

    //==============================================================================
    // Menus. Each is built by a function (so it can be inspected) and its result handled by
    // another; the show functions open it asynchronously at its anchor, and a result that
    // arrives after the panel has gone is dropped.

    void showSlashMenu (juce::Component& anchor);
    void showLengthMenu (juce::Component& anchor);
    void showMoreColorsMenu();
    void showQuickChordsMenu();

    juce::PopupMenu makeSlashMenu() const;
    juce::PopupMenu makeLengthMenu() const;
    juce::PopupMenu makeMoreColorsMenu() const;
    juce::PopupMenu makeQuickChordsMenu() const;

    void chooseSlashMenuItem (int result);
    void chooseLengthMenuItem (int result);
    void chooseMoreColorsMenuItem (int result);
    void chooseQuickChordsMenuItem (int result);

    //==============================================================================
    // Suggestions for the chord's place.

    void rebuildSuggestions();
    void refreshSuggestionButtons();
    // The role text of suggestion slot n (0-based) for the neighbours the chord has.
    juce::String roleLabel (int slot) const;
    // The token's degree in the panel's key and scale, -1 for a rest or a root off the scale.
    int tokenDegree (const ChordToken& token) const;

    //==============================================================================
    // Modes, actions and the panel's own history.

    void updateModeVisibility (bool visible);
    void applyChord();
    void notifyChordChanged();
    bool stepLocalHistory (std::vector<juce::String>& from, std::vector<juce::String>& to);
    void loadChordText (const juce::String& text);
    void resetLocalHistory();

    //==============================================================================
    // Layout and painting.

    struct Columns
    {
        int leftX = 0, leftWidth = 0;
        int rightX = 0, rightWidth = 0;
        int dividerX = 0;
    };
    Columns columnLayout() const;

    // One card of the navigator: the chord before, the chord itself, the chord after.
    struct NavigatorCard
    {
        juce::String label;   // "PREVIOUS", "REPLACE" or "NEW", "NEXT"
        juce::String text;
        bool current = false;
    };
    std::vector<NavigatorCard> navigatorCards() const;
    // The index of the chord after the edited one in contextTokens.
    int nextTokenIndex() const;
    void paintNavigator (juce::Graphics& g, juce::Rectangle<int> area) const;

    void paint (juce::Graphics&) override;
    void resized() override;
    bool keyPressed (const juce::KeyPress&) override;
    void buttonClicked (juce::Button*) override;

private:
    void configureControls();
    void layoutRightColumn (const Columns& columns);
    void layoutExpertGrid (const Columns& columns);
    void clearBounds();

    void rootButtonClicked (int index);
    void characterButtonClicked (int index);
    void colorButtonClicked (int index);
    void suggestionButtonClicked (int index);
    // The rest toggle set off without notification, then the controls follow.
    void turnRestOff();
    // A chord taken from the key or a suggestion: its root and quality; bass, tag and length stay.
    void takeRootAndQuality (const juce::String& root, const juce::String& quality);
    void loadToken (const ChordToken& token);

    void lengthTextTyped();
    void lengthFieldFocused();

    void pushLocalHistory (std::vector<juce::String>& stack, const juce::String& text);

    // Whether a chord before / after the edited position exists (a rest counts).
    bool hasChordBefore() const;
    bool hasChordAfter() const;
    int clampedEditPosition() const;

    // The extra colors "More" offers for the current character, in table order.
    juce::StringArray moreColors() const;

    void showMenu (juce::PopupMenu menu, juce::Component& anchor, void (ChordEditPopover::*handler) (int));

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ChordEditPopover)
};
