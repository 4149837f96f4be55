#include "radio/widgets/PortBox.h"

#include "core/QtText.h"
#include "radio/PortNames.h"

#include <QComboBox>

namespace tavrel {

void fillPortBox(QComboBox& box, const std::vector<std::string>& devices) {
    box.setEditable(true);
    // A typed path is stored as typed, not added to the list.
    box.setInsertPolicy(QComboBox::NoInsert);
    const QString text = box.currentText();
    box.clear();
    for (const char* n : {"0", "1", "2", "3", "4"})
        box.addItem(QString::fromLatin1(n));
    for (const std::string& d : devices)
        box.addItem(toQString(d));
    box.setCurrentText(text);
}

void fillPortBox(QComboBox& box) {
    fillPortBox(box, availableSerialPorts());
}

} // namespace tavrel
