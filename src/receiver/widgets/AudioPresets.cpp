#include "receiver/widgets/AudioPresets.h"

#include "core/Controls.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tavrel {

AudioPresets::AudioPresets(QWidget* parent) : QGroupBox(parent) {
    setObjectName("Frame7");
    setTitle(tr("Audio presets"));
    static const char* const names[5] = {"Command10", "Command11", "Command12", "Command13", "Command14"};
    auto* row = new QHBoxLayout;
    for (int i = 0; i < 5; ++i) {
        preset[i] = namedButton(this, names[i], QString());
        preset[i]->setToolTip(tr("Left click tunes, right click sets"));
        row->addWidget(preset[i]);
    }
    Command15 = namedButton(this, "Command15", tr("Net"));
    row->addWidget(Command15);
    Label14 = namedLabel(this, "Label14", tr("Receive"));
    Label50 = namedLabel(this, "Label50", QStringLiteral("1200"));
    Label17 = namedLabel(this, "Label17", tr("Transmit"));
    Label51 = namedLabel(this, "Label51", QStringLiteral("1200"));
    auto* freqs = new QHBoxLayout;
    freqs->addWidget(Label14);
    freqs->addWidget(Label50);
    freqs->addSpacing(12);
    freqs->addWidget(Label17);
    freqs->addWidget(Label51);
    freqs->addStretch(1);
    auto* v = new QVBoxLayout(this);
    v->addLayout(row);
    v->addLayout(freqs);
}

PresetEntry::PresetEntry(QWidget* parent) : QGroupBox(parent) {
    setObjectName("Frame8");
    setTitle(tr("Enter audio preset"));
    Label54 = namedLabel(this, "Label54", tr("Enter audio preset"));
    Text5 = named<QLineEdit>(this, "Text5");
    Command16 = namedButton(this, "Command16", tr("OK"));
    Command17 = namedButton(this, "Command17", tr("Cancel"));
    auto* g = new QGridLayout(this);
    g->addWidget(Label54, 0, 0, 1, 2);
    g->addWidget(Text5, 1, 0, 1, 2);
    g->addWidget(Command16, 2, 0);
    g->addWidget(Command17, 2, 1);
}

} // namespace tavrel
