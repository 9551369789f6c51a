#include "mood/panel/MoodGeneratorComponent.h"

#include "editor/look/Palette.h"
#include "harmony/ScaleTable.h"
#include "mood/panel/DistinctSections.h"

namespace
{
constexpr int margin = 25;
constexpr int rowHeight = 20;
constexpr int tableTop = 206;
constexpr int keysColumnX = 335;

// Table columns: x and width.
constexpr int moodX = 25, moodWidth = 80;
constexpr int scaleX = 105, scaleWidth = 125;
constexpr int bpmX = 230, bpmWidth = 70;
constexpr int barsX = 300, barsWidth = 35;
constexpr int keysWidth = 140;

const juce::StringArray barChoices { "4", "8", "12", "16", "24", "32", "48", "64" };

// The item whose text is `text` (separators are no items); 0 when there is none.
int findItemIdByText (const juce::ComboBox& combo, const juce::String& text)
{
    for (int i = 0; i < combo.getNumItems(); ++i)
        if (combo.getItemText (i) == text)
            return combo.getItemId (i);
    return 0;
}

void styleCombo (juce::ComboBox& combo)
{
    combo.setColour (juce::ComboBox::backgroundColourId, Palette::base);
    combo.setColour (juce::ComboBox::outlineColourId, Palette::overlay2);
    combo.setColour (juce::ComboBox::textColourId, Palette::text);
    combo.setColour (juce::ComboBox::arrowColourId, Palette::mauve);
}

void styleCaption (juce::Label& label, float height)
{
    label.setFont (juce::Font (height));
    label.setColour (juce::Label::textColourId, Palette::subtext1);
}

void drawCell (juce::Graphics& g, const juce::String& text, int x, int y, int width, int height)
{
    g.drawText (text, x, y, width, height, juce::Justification::centredLeft, true);
}
} // namespace

MoodGeneratorComponent::MoodGeneratorComponent()
{
    buildControls();
}

MoodGeneratorComponent::MoodGeneratorComponent (std::uint32_t generatorSeed)
    : generator (generatorSeed)
{
    buildControls();
}

MoodGeneratorComponent::~MoodGeneratorComponent()
{
    for (auto* button : { &fifthOfFifthButton, &tritoneSubButton, &chromaticMediantButton, &slashChordsButton })
    {
        button->setLookAndFeel (nullptr);
        button->removeMouseListener (this);
    }
}

void MoodGeneratorComponent::buildControls()
{
    for (auto* button : { &closeButton, &generateButton })
    {
        button->setColour (juce::TextButton::buttonColourId, Palette::surface0);
        button->setMouseCursor (juce::MouseCursor::PointingHandCursor);
        addAndMakeVisible (*button);
    }
    closeButton.setColour (juce::TextButton::textColourOffId, Palette::text);
    closeButton.onClick = [this] { if (onClose) onClose(); };
    generateButton.setColour (juce::TextButton::textColourOffId, Palette::mauve);
    generateButton.onClick = [this] { generateFiveSections(); };

    styleCaption (moodLabel, 16.0f);
    addAndMakeVisible (moodLabel);
    const auto moodNames = MoodGenerator::getMoodNames();
    for (int i = 0; i < moodNames.size(); ++i)
    {
        // Ids count the separators, so that stored ids keep naming the same moods.
        if (moodNames[i] == "---")
            moodCombo.addSeparator();
        else
            moodCombo.addItem (moodNames[i], i + 1);
    }
    moodCombo.setSelectedId (1, juce::dontSendNotification);
    moodCombo.onChange = [this]
    {
        refreshMoodInfo();
        reportSettingsChanged();
    };
    addAndMakeVisible (moodCombo);

    const auto repaintAndReport = [this]
    {
        repaint();
        reportSettingsChanged();
    };

    styleCaption (keyLabel, 16.0f);
    addAndMakeVisible (keyLabel);
    keyCombo.addItemList (getNoteNames(), 1);
    keyCombo.setSelectedId (1, juce::dontSendNotification);
    keyCombo.onChange = repaintAndReport;
    addAndMakeVisible (keyCombo);

    styleCaption (barsLabel, 14.0f);
    addAndMakeVisible (barsLabel);
    barsCombo.addItemList (barChoices, 1);
    barsCombo.setSelectedId (4, juce::dontSendNotification);
    barsCombo.setEditableText (true);
    barsCombo.onChange = repaintAndReport;
    addAndMakeVisible (barsCombo);

    descriptionLabel.setFont (juce::Font (13.0f));
    descriptionLabel.setColour (juce::Label::textColourId, Palette::subtext1);
    descriptionLabel.setJustificationType (juce::Justification::centredLeft);
    addAndMakeVisible (descriptionLabel);

    for (auto* combo : { &moodCombo, &keyCombo, &barsCombo })
        styleCombo (*combo);

    setUpOptionButton (fifthOfFifthButton, Palette::yellow, false);
    setUpOptionButton (tritoneSubButton, Palette::mauve, false);
    setUpOptionButton (chromaticMediantButton, Palette::mauve, false);
    setUpOptionButton (slashChordsButton, Palette::teal, true);

    refreshMoodInfo();
}

void MoodGeneratorComponent::setUpOptionButton (juce::TextButton& button, juce::Colour accent, bool initiallyOn)
{
    button.setClickingTogglesState (true);
    button.setToggleState (initiallyOn, juce::dontSendNotification);
    button.setLookAndFeel (&optionLookAndFeel);
    button.setMouseCursor (juce::MouseCursor::PointingHandCursor);
    button.setColour (juce::TextButton::buttonColourId, Palette::surface0.interpolatedWith (accent, 0.06f));
    button.setColour (juce::TextButton::buttonOnColourId, Palette::surface0.interpolatedWith (Palette::overlay2, 0.28f));
    button.setColour (juce::TextButton::textColourOffId, Palette::subtext1.interpolatedWith (accent, 0.4f));
    button.setColour (juce::TextButton::textColourOnId, accent.interpolatedWith (Palette::text, 0.52f));
    button.setColour (HarmonicOptionButtonLookAndFeel::accentColourId, accent);
    button.onClick = [this] { reportSettingsChanged(); };
    // The panel hears the pointer entering and leaving, to show the switch's hint.
    button.addMouseListener (this, false);
    addAndMakeVisible (button);
}

void MoodGeneratorComponent::reportSettingsChanged()
{
    if (onSettingsChanged)
        onSettingsChanged();
}

//==============================================================================
int MoodGeneratorComponent::getMoodId() const { return moodCombo.getSelectedId(); }
int MoodGeneratorComponent::getKeyId() const { return keyCombo.getSelectedId(); }
juce::String MoodGeneratorComponent::getMoodName() const { return moodCombo.getText(); }
int MoodGeneratorComponent::getBars() const { return readBarCount (barsCombo.getText()); }

bool MoodGeneratorComponent::isFifthOfFifthEnabled() const { return fifthOfFifthButton.getToggleState(); }
bool MoodGeneratorComponent::isTritoneSubEnabled() const { return tritoneSubButton.getToggleState(); }
bool MoodGeneratorComponent::isChromaticMediantEnabled() const { return chromaticMediantButton.getToggleState(); }
bool MoodGeneratorComponent::isSlashChordsEnabled() const { return slashChordsButton.getToggleState(); }

void MoodGeneratorComponent::setFifthOfFifthEnabled (bool shouldBeOn) { fifthOfFifthButton.setToggleState (shouldBeOn, juce::dontSendNotification); }
void MoodGeneratorComponent::setTritoneSubEnabled (bool shouldBeOn) { tritoneSubButton.setToggleState (shouldBeOn, juce::dontSendNotification); }
void MoodGeneratorComponent::setChromaticMediantEnabled (bool shouldBeOn) { chromaticMediantButton.setToggleState (shouldBeOn, juce::dontSendNotification); }
void MoodGeneratorComponent::setSlashChordsEnabled (bool shouldBeOn) { slashChordsButton.setToggleState (shouldBeOn, juce::dontSendNotification); }

void MoodGeneratorComponent::setMoodId (int id)
{
    moodCombo.setSelectedId (id, juce::dontSendNotification);
    refreshMoodInfo();
}

void MoodGeneratorComponent::setKeyId (int id)
{
    keyCombo.setSelectedId (id, juce::dontSendNotification);
    repaint();
}

void MoodGeneratorComponent::setBars (int n)
{
    for (int i = 0; i < barsCombo.getNumItems(); ++i)
    {
        if (barsCombo.getItemText (i).getIntValue() == n)
        {
            barsCombo.setSelectedId (barsCombo.getItemId (i), juce::dontSendNotification);
            return;
        }
    }
    barsCombo.setText (juce::String (n), juce::dontSendNotification);
}

void MoodGeneratorComponent::refreshMoodInfo()
{
    const auto mood = moodCombo.getText();
    descriptionText = generator.getMoodDescription (mood);
    descriptionLabel.setText (descriptionText, juce::dontSendNotification);
    setBars (generator.getDefaultBars (mood));
    repaint();
}

int MoodGeneratorComponent::readBarCount (const juce::String& text)
{
    constexpr int fallback = 16;
    constexpr int maximum = 128;

    auto p = text.getCharPointer().findEndOfWhitespace();
    const bool negative = *p == '-';
    if (negative)
        ++p;

    // Counting stops once the value is past the maximum, so long digit runs cannot overflow.
    int value = 0;
    for (; p.isDigit() && value <= maximum; ++p)
        value = value * 10 + (int) (*p - '0');

    if (negative || value <= 0)
        return fallback;
    return juce::jmin (value, maximum);
}

void MoodGeneratorComponent::generateFiveSections()
{
    const auto mood = moodCombo.getText();
    const auto key = keyCombo.getText();
    const MoodGenerationOptions options { isFifthOfFifthEnabled(), isTritoneSubEnabled(),
                                          isChromaticMediantEnabled(), isSlashChordsEnabled() };

    // The bar count is read for every attempt, as the field shows it then.
    const auto sections = collectDistinctSections ([&] { return generator.generateSection (mood, key, getBars(), options); });

    if (onGenerate)
        onGenerate (sections);
    if (onClose)
        onClose();
}

//==============================================================================
void MoodGeneratorComponent::resized()
{
    const auto w = getWidth();
    closeButton.setBounds (w - 95, 14, 70, 28);
    generateButton.setBounds (w - 195, 14, 90, 28);
    moodLabel.setBounds (25, 68, 50, 30);
    moodCombo.setBounds (80, 68, 110, 30);
    keyLabel.setBounds (210, 68, 35, 30);
    keyCombo.setBounds (250, 68, 60, 30);
    slashChordsButton.setBounds (322, 69, 130, 28);
    descriptionLabel.setBounds (25, 106, w - 147, 44);
    barsLabel.setBounds (w - 122, 107, 35, 20);
    barsCombo.setBounds (w - 85, 106, 58, 22);
    fifthOfFifthButton.setBounds (25, 152, 127, 28);
    tritoneSubButton.setBounds (160, 152, 123, 28);
    chromaticMediantButton.setBounds (291, 152, 164, 28);
}

void MoodGeneratorComponent::paint (juce::Graphics& g)
{
    const auto w = getWidth();
    const auto h = getHeight();
    const auto contentWidth = w - 2 * margin;

    g.setColour (Palette::mantle);
    g.fillRoundedRectangle (getLocalBounds().toFloat(), 6.0f);

    // Header band with only its top corners rounded.
    g.setColour (Palette::base);
    g.fillRoundedRectangle (0.0f, 0.0f, (float) w, 55.0f, 6.0f);
    g.fillRect (0, 6, w, 49);

    g.setColour (Palette::text);
    g.setFont (juce::Font (24.0f, juce::Font::bold));
    drawCell (g, "Mood Generator", margin, 0, contentWidth, 55);

    g.setColour (Palette::overlay2);
    g.drawRoundedRectangle (1.0f, 1.0f, (float) juce::jmax (w - 2, 0), (float) juce::jmax (h - 2, 0), 6.0f, 2.0f);

    g.setColour (Palette::subtext0);
    g.setFont (juce::Font (11.0f));
    drawCell (g, "Each mood uses a unique scale with matched voicing. Generates 5 section ideas.", margin, 190, contentWidth, 14);

    g.setColour (Palette::surface2);
    g.drawLine ((float) margin, (float) tableTop, (float) (w - margin), (float) tableTop, 1.0f);

    rowTargets.clear();
    keyTargets.clear();

    int y = tableTop;
    bool first = true;
    for (const auto& group : getMoodOverviewGroups())
    {
        y = paintTableGroup (g, group, y, first);
        first = false;
    }
}

int MoodGeneratorComponent::paintTableGroup (juce::Graphics& g, const MoodOverviewGroup& group, int y, bool first)
{
    const auto w = getWidth();

    if (! first)
    {
        y += 4;
        g.setColour (Palette::surface2);
        g.drawLine ((float) margin, (float) y, (float) (w - margin), (float) y, 1.0f);
    }

    y += 8;
    g.setColour (Palette::mauve);
    g.setFont (juce::Font (14.0f, juce::Font::bold));
    drawCell (g, group.title, margin, y, w - 2 * margin, 18);

    y += 17;
    g.setColour (Palette::subtext0);
    g.setFont (juce::Font (10.0f));
    drawCell (g, "MOOD", moodX, y, moodWidth, 12);
    drawCell (g, "SCALE", scaleX, y, scaleWidth, 12);
    drawCell (g, "BPM", bpmX, y, bpmWidth, 12);
    drawCell (g, "BARS", barsX, y, barsWidth, 12);
    drawCell (g, "MOOD KEYS", keysColumnX, y, keysWidth, 12);

    y += 13;
    const juce::Font font (13.0f);
    g.setFont (font);

    const auto selectedMood = moodCombo.getText();
    const auto selectedKey = keyCombo.getText();
    const juce::String separator (", ");
    const auto separatorWidth = font.getStringWidthFloat (separator);

    for (const auto& row : group.rows)
    {
        const juce::String mood (row.mood);
        const bool selected = mood == selectedMood;
        const bool hovered = mood == hoveredMood;

        const juce::Rectangle<int> rowArea (21, y - 1, w - 42, 20);
        if (selected || hovered)
        {
            g.setColour (Palette::surface1.withAlpha (selected ? 0.54f : 0.42f));
            g.fillRect (rowArea);
        }
        rowTargets.push_back ({ rowArea, mood });

        const float nameAlpha = selected ? 1.0f : (hovered ? 0.95f : 0.85f);
        const float scaleAlpha = selected ? 0.85f : (hovered ? 0.8f : 0.65f);
        const float otherAlpha = selected ? 1.0f : (hovered ? 0.95f : 0.8f);

        g.setColour (Palette::mauve.withAlpha (nameAlpha));
        drawCell (g, mood, moodX, y, moodWidth, 16);
        g.setColour (Palette::text.withAlpha (scaleAlpha));
        drawCell (g, row.scale, scaleX, y, scaleWidth, 16);
        g.setColour (Palette::yellow.withAlpha (otherAlpha));
        drawCell (g, row.bpm, bpmX, y, bpmWidth, 16);
        g.setColour (Palette::teal.withAlpha (otherAlpha));
        drawCell (g, juce::String (generator.getDefaultBars (mood)), barsX, y, barsWidth, 16);

        auto keys = juce::StringArray::fromTokens (row.keys, ",", {});
        keys.trim();

        float x = (float) keysColumnX;
        for (int i = 0; i < keys.size(); ++i)
        {
            const auto& key = keys[i];

            if (i > 0)
            {
                g.setColour (Palette::green.withAlpha (otherAlpha));
                g.drawText (separator, juce::Rectangle<float> (x, (float) y, separatorWidth + 1.0f, 16.0f),
                            juce::Justification::centredLeft, true);
                x += separatorWidth;
            }

            if (mood == hoveredMood && key == hoveredKey)
                g.setColour (Palette::text);
            else if (selected && key == selectedKey)
                g.setColour (Palette::text.withAlpha (0.92f));
            else
                g.setColour (Palette::green.withAlpha (otherAlpha));

            const auto keyWidth = font.getStringWidthFloat (key);
            g.drawText (key, juce::Rectangle<float> (x, (float) y, keyWidth + 1.0f, 16.0f),
                        juce::Justification::centredLeft, true);
            keyTargets.push_back ({ { juce::roundToInt (x - 2.0f), y - 1, juce::roundToInt (keyWidth + 4.0f), 20 }, mood, key });
            x += keyWidth;
        }

        y += rowHeight;
    }

    return y;
}

//==============================================================================
juce::String MoodGeneratorComponent::hintFor (const juce::Component* component) const
{
    if (component == &fifthOfFifthButton)
        return "Fifth of Fifth: Creates an exciting 'lift' - the classic jazz/pop surprise. Guaranteed when enabled.";
    if (component == &tritoneSubButton)
        return "Tritone Sub: Smooth jazz tension through shared tendency tones. Guaranteed when enabled.";
    if (component == &chromaticMediantButton)
        return "Chromatic Mediant: Cinematic color shift, jumping by thirds. Guaranteed when enabled.";
    if (component == &slashChordsButton)
        return MoodGenerator::getSlashChordText (moodCombo.getText());
    return {};
}

bool MoodGeneratorComponent::isOptionButton (const juce::Component* component) const
{
    return component == &fifthOfFifthButton || component == &tritoneSubButton
        || component == &chromaticMediantButton || component == &slashChordsButton;
}

void MoodGeneratorComponent::mouseEnter (const juce::MouseEvent& e)
{
    if (isOptionButton (e.eventComponent))
        descriptionLabel.setText (hintFor (e.eventComponent), juce::dontSendNotification);
}

void MoodGeneratorComponent::mouseExit (const juce::MouseEvent& e)
{
    if (isOptionButton (e.eventComponent))
    {
        descriptionLabel.setText (descriptionText, juce::dontSendNotification);
        return;
    }

    if (e.eventComponent == this && hoveredMood.isNotEmpty())
    {
        hoveredMood.clear();
        hoveredKey.clear();
        descriptionLabel.setText (descriptionText, juce::dontSendNotification);
        setMouseCursor (juce::MouseCursor::NormalCursor);
        repaint();
    }
}

MoodGeneratorComponent::TableHit MoodGeneratorComponent::hitTable (juce::Point<int> position) const
{
    // Keys lie inside their rows: they are tested first.
    for (const auto& target : keyTargets)
        if (target.area.contains (position))
            return { target.mood, target.key };

    for (const auto& target : rowTargets)
        if (target.area.contains (position))
            return { target.mood, {} };

    return {};
}

void MoodGeneratorComponent::mouseMove (const juce::MouseEvent& e)
{
    // Moves over the switches reach the panel too; only the panel's own area holds targets.
    if (e.eventComponent != this)
        return;

    const auto hit = hitTable (e.getPosition());
    if (hit.mood == hoveredMood && hit.key == hoveredKey)
        return;

    hoveredMood = hit.mood;
    hoveredKey = hit.key;

    if (hoveredMood.isNotEmpty())
    {
        descriptionLabel.setText (generator.getMoodDescription (hoveredMood), juce::dontSendNotification);
        setMouseCursor (juce::MouseCursor::PointingHandCursor);
    }
    else
    {
        descriptionLabel.setText (descriptionText, juce::dontSendNotification);
        setMouseCursor (juce::MouseCursor::NormalCursor);
    }
    repaint();
}

void MoodGeneratorComponent::mouseDown (const juce::MouseEvent& e)
{
    if (e.eventComponent != this)
        return;

    const auto hit = hitTable (e.getPosition());

    if (hit.key.isNotEmpty())
    {
        moodCombo.setSelectedId (findItemIdByText (moodCombo, hit.mood), juce::dontSendNotification);
        keyCombo.setSelectedId (findItemIdByText (keyCombo, hit.key), juce::dontSendNotification);
        refreshMoodInfo();
        reportSettingsChanged();
    }
    else if (hit.mood.isNotEmpty())
    {
        // Through the combo's own change handling: refresh, then the settings callback.
        moodCombo.setSelectedId (findItemIdByText (moodCombo, hit.mood), juce::sendNotificationSync);
    }
}
