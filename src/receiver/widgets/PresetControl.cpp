#include "receiver/widgets/PresetControl.h"

#include "core/Controls.h"
#include "core/Numeric.h"
#include "core/QtText.h"
#include "modem/Modem.h"
#include "receiver/widgets/AudioPresets.h"
#include "receiver/widgets/ReceiverControls.h"

#include <QCheckBox>
#include <QPlainTextEdit>

namespace tavrel {

PresetControl::PresetControl(MainState& state, Modem& modem, AudioPresets& frame7, PresetEntry& frame8,
                             ReceiverControls& receiver, QPlainTextEdit& macrotext, QCheckBox& check1)
    : QObject(&frame7), m_state(state), m_modem(modem), m_frame7(frame7), m_frame8(frame8),
      m_macrotext(macrotext), m_check1(check1) {
    for (int i = 0; i < 5; ++i)
        onMouseDown(frame7.preset[static_cast<size_t>(i)],
                    [this, i](int button) { presetMouseDown(i, button); });
    onClick(frame8.Command16, [this] { Command16_Click(); });
    onClick(frame8.Command17, [this] { Command17_Click(); });
    onClick(frame7.Command15, [this] { Command15_Click(); });
    onClick(receiver.Command2, [this] { Command2_Click(); });
    onClick(receiver.Label55, [this] { Label55_Click(); });
}

void PresetControl::presetMouseDown(int index, int button) {
    const Item item = kPresetItems[index];
    if (button == 1) {
        // A preset that holds no frequency (empty, or not starting with a number) tunes nowhere.
        const std::string& text = m_state.item(item);
        if (numberValue(text) > 0) m_modem.setRxFreq(wholeNumber32(text));
    } else if (button == 2) {
        // Text5 keeps what it last held.
        m_state.macroEditItem = item;
        m_frame8.setVisible(true);
        m_frame8.Text5->setFocus();
    }
}

void PresetControl::Command16_Click() {
    const Item item = m_state.macroEditItem;
    // The macro editor shares macroEditItem: its text goes in first, a preset then replaces it.
    QString macro = m_macrotext.toPlainText();
    macro.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    m_state.settings[item] = toBytes(macro);
    for (int i = 0; i < 5; ++i) {
        if (kPresetItems[i] != item) continue;
        m_state.settings[item] = toBytes(m_frame8.Text5->text());
        m_frame7.preset[static_cast<size_t>(i)]->setText(m_frame8.Text5->text());
    }
    // Not saved: the entry stays open with the frequency, for another try.
    if (auto failure = m_state.saveSettings()) {
        m_state.tell(*failure);
        return;
    }
    m_frame8.setVisible(false);
}

void PresetControl::Command17_Click() {
    m_frame8.setVisible(false);
}

void PresetControl::resetNet() {
    m_check1.setChecked(true);
    m_state.netOn = 1;
}

void PresetControl::apply(const SettingsStore& settings) {
    m_frame7.setVisible(false);
    m_frame8.setVisible(false);
    for (size_t i = 0; i < m_frame7.preset.size(); ++i)
        m_frame7.preset[i]->setText(toQString(settings[kPresetItems[i]]));
}

void PresetControl::Command15_Click() {
    m_state.netOn = m_state.netOn + 1;
    if (m_state.netOn == 2) m_state.netOn = 0;
    m_check1.setChecked(m_state.netOn == 1);
}

void PresetControl::Command2_Click() {
    m_modem.setRxFreq(1200);
}

void PresetControl::Label55_Click() {
    m_modem.Replay(99);
}

} // namespace tavrel
