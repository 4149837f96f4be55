#pragma once
// The audio presets of Frame7 and their entry frame Frame8, the Net button, and the two receiver
// buttons beside them: back to 1200 Hz (Command2) and RePlay (Label55).
//
// A left click on a preset tunes the receiver to it; a right click opens Frame8 to set it. "OK"
// stores the preset as the button's caption and in the settings, and saves them.

#include "core/MainState.h"

#include <QObject>

class QCheckBox;
class QPlainTextEdit;

namespace tavrel {

class Modem;
class AudioPresets;
class PresetEntry;
class ReceiverControls;

class PresetControl : public QObject {
    Q_OBJECT
public:
    // macrotext: the macro editor's text box, whose text OK stores first (the editor shares
    // macroEditItem). check1: the status area's "Net" box.
    PresetControl(MainState& state, Modem& modem, AudioPresets& frame7, PresetEntry& frame8,
                  ReceiverControls& receiver, QPlainTextEdit& macrotext, QCheckBox& check1);

    void presetMouseDown(int index, int button); // index 0..4 = Command10..Command14
    void Command16_Click();                      // "OK"
    void Command17_Click();                      // "Cancel"
    // Start-up: Net on (the transmitter follows the receiver).
    void resetNet();
    // Start-up: both frames hidden, the preset buttons' captions from the settings.
    void apply(const SettingsStore& settings);
    void Command15_Click(); // "Net"
    void Command2_Click();  // receive on 1200 Hz
    void Label55_Click();   // "RePlay"

private:
    MainState& m_state;
    Modem& m_modem;
    AudioPresets& m_frame7;
    PresetEntry& m_frame8;
    QPlainTextEdit& m_macrotext;
    QCheckBox& m_check1;
};

} // namespace tavrel
