#pragma once
// The Hamlib part of the radio settings window: every rig the installed Hamlib knows, searchable
// by maker, model or number; the choice of the rig's USB data mode for the band buttons; and the
// "Test" button with its answer.

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace tavrel {

class HamlibPicker : public QGroupBox {
    Q_OBJECT
public:
    explicit HamlibPicker(QWidget* parent = nullptr);

    // Selects the rig with this Hamlib model number and shows it; no row is selected for a number
    // Hamlib does not know.
    void selectModel(int number);
    // 0 when no rig is selected.
    int selectedModel() const;
    // Shows only the rigs whose maker, model or number hold every word of the text.
    void filter(const QString& text);

    QLineEdit* rigsearch;
    QTreeWidget* riglist; // maker, model, number
    QCheckBox* hamdata;   // band buttons set the rig's USB data mode
    QPushButton* rigtest;
    QLabel* rigtestresult;

signals:
    void modelChosen(int number);
};

} // namespace tavrel
