#pragma once
// Frame7, shown in place of the band buttons when radio control is off: five receive-frequency
// presets and Net; Frame8 enters a preset.

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>

namespace tavrel {

class AudioPresets : public QGroupBox {
    Q_OBJECT
public:
    explicit AudioPresets(QWidget* parent = nullptr);

    std::array<QPushButton*, 5> preset{}; // Command10..Command14
    QPushButton* Command15;               // "Net"
    QLabel* Label14;                      // "Receive"
    QLabel* Label50;                      // receive audio frequency
    QLabel* Label17;                      // "Transmit"
    QLabel* Label51;                      // transmit audio frequency
};

class PresetEntry : public QGroupBox {
    Q_OBJECT
public:
    explicit PresetEntry(QWidget* parent = nullptr);

    QLabel* Label54; // "Enter audio preset"
    QLineEdit* Text5;
    QPushButton* Command16; // "OK"
    QPushButton* Command17; // "Cancel"
};

} // namespace tavrel
