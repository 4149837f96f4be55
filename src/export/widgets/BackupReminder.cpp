#include "export/widgets/BackupReminder.h"

#include "core/Controls.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tavrel {

BackupReminder::BackupReminder(QWidget* parent) : QGroupBox(parent) {
    setObjectName("bup");
    setTitle(tr("Please back up your log and setting files"));
    Text1 =
        namedLabel(this, "Text1", tr("You have not backed up your PSK Log or user settings for ten days"));
    Text1->setWordWrap(true);
    insdisk = namedLabel(this, "insdisk", tr("Please insert disk"));
    insdisk->setAlignment(Qt::AlignCenter);
    setBackColour(insdisk, colours::red);
    setForeColour(insdisk, Qt::white);
    Text2 = namedLabel(this, "Text2",
                       tr("Plug in a USB stick or another removable medium \nand click \n\"Back up now\""));
    Command4 = namedButton(this, "Command4", tr("Back up now"));
    Command5 = namedButton(this, "Command5", tr("Cancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command4);
    buttons->addWidget(Command5);
    auto* v = new QVBoxLayout(this);
    v->addWidget(Text1);
    v->addWidget(insdisk);
    v->addWidget(Text2);
    v->addLayout(buttons);
    setAutoFillBackground(true);
}

} // namespace tavrel
