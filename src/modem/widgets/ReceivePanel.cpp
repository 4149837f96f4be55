#include "modem/widgets/ReceivePanel.h"

#include "core/Controls.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace tavrel {

ReceivePanel::ReceivePanel(QWidget* parent) : QWidget(parent) {
    setObjectName("ReceivePanel");
    txtRXData = named<QPlainTextEdit>(this, "txtRXData");
    txtRXData->setReadOnly(true);
    txtRXData->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtRXData->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtrxdata1 = named<QLineEdit>(this, "txtrxdata1");
    txtrxdata1->setReadOnly(true);
    clearrx = namedButton(this, "clearrx", tr("Clear"));
    clearrx->setToolTip(tr("Clear the receive history"));

    const QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    txtRXData->setFont(mono);
    txtrxdata1->setFont(mono);

    auto* line = new QHBoxLayout;
    line->addWidget(txtrxdata1, 1);
    line->addWidget(clearrx);
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->addWidget(txtRXData, 1);
    v->addLayout(line);
}

} // namespace tavrel
