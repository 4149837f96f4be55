#pragma once
// The main window's fixed colour scheme: light grey grounds for its labels and frames, the
// system's button face for the QSO and control buttons. Start-up applies it on every run, which
// also takes back the colours the lookups and the transmit path gave some of these controls.

class QWidget;

namespace tavrel {

// Applies the scheme to the controls found by name under `root`.
void setcolours(QWidget& root);

} // namespace tavrel
