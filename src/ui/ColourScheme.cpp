#include "ui/ColourScheme.h"

#include "core/Controls.h"

#include <QWidget>
#include <initializer_list>

namespace tavrel {

namespace {

void colourAll(QWidget& root, std::initializer_list<const char*> names, const QColor& c,
               void (*set)(QWidget*, const QColor&)) {
    for (const char* name : names)
        if (QWidget* w = root.findChild<QWidget*>(QString::fromLatin1(name))) set(w, c);
}

} // namespace

void setcolours(QWidget& root) {
    const QColor grey = colours::lightGrey;
    const QColor face = colours::buttonFace();
    // Labels and frames.
    colourAll(root, {"Label1",  "Label2",   "Label3",  "Label4",   "Label5",  "Label6",  "Label8",  "Label9",
                     "Label10", "Label11",  "Label12", "Label13",  "Label14", "Label15", "Label16", "Label19",
                     "Label20", "Label21",  "Label22", "Label23",  "Label24", "Label25", "Label27", "Label33",
                     "Label38", "Label39",  "Label40", "Label41",  "Label42", "Label43", "Label44", "label45",
                     "Label46", "sqlmode",  "lblimd",  "displayt", "Squelch", "Frame1",  "Frame3",  "zizoro",
                     "Label7",  "Label26",  "Label34", "Label28",  "Label29", "Label31", "Label35", "Label36",
                     "Label37", "Label30",  "Label18", "sqlspeed", "qsotot",  "Label32", "Label49", "Check1",
                     "Frame2",  "txrxfreq", "Label47"},
              grey, setBackColour);
    // The QSO and control buttons.
    colourAll(root,
              {"cq", "answer", "tover", "report", "qth", "stn", "weather", "qsl", "mtext1", "mtext2",
               "mtext3", "btu", "endqb", "abort", "modesel", "display"},
              face, setBackColour);
    // The display type's caption in black.
    colourAll(root, {"displayt"}, colours::black, setForeColour);
    // The squelch frame and the sideband lamp.
    colourAll(root, {"sqlset", "txrxusb"}, grey, setBackColour);
    // The lookup's button that sends the details to the log.
    colourAll(root, {"Command1"}, face, setBackColour);
}

} // namespace tavrel
