#pragma once
// The operator's layout of the main window: how much of the height the modem display takes from
// the receive history, and the size of the receive and transmit text. Both live in the settings
// file and come back at the next start.

#include "core/MainState.h"

#include <QFont>
#include <QObject>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QSplitter;
class QWidget;

namespace tavrel {

// A stored share, held to what leaves both parts usable; nothing for an empty or unreadable item.
std::optional<int> displayShareFrom(const std::string& item);
// A stored text size, held to what stays readable and fits; nothing for an empty or unreadable item.
std::optional<int> textSizeFrom(const std::string& item);
// One step bigger (+1) or smaller (-1), held to the same range.
int steppedTextSize(int size, int step);

class LayoutMemory : public QObject {
    Q_OBJECT
public:
    // `texts`: the receive history, the receive line and the transmit window.
    LayoutMemory(MainState& state, QSplitter& splitter, std::vector<QWidget*> texts,
                 QObject* parent = nullptr);

    // Program start: the stored layout, over the list just read.
    void restore();
    // After a re-apply: a settings window that saved its older copy of the list took the layout
    // back; the layout on screen is written again.
    void reapplied();
    // +1 bigger, -1 smaller, 0 back to the system's size; remembered at once.
    void zoom(int step);

    int textSize() const { return m_textSize; }
    int displayShare() const; // from the splitter as it stands; 0 before it has a height
signals:
    // The layout could not be written.
    void saveFailed(const QString& message);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void applyShare(int percent);
    void applyTextSize(int points);
    void save();
    std::string shareItem() const;
    std::string sizeItem() const;

    MainState& m_state;
    QSplitter& m_splitter;
    std::vector<QWidget*> m_texts;
    int m_systemSize;
    int m_textSize;
    bool m_sizeChosen = false;                 // false: the system's size, kept as an empty item
    int m_chosenShare = 0;                     // the display's share as restored or last dragged; 0: none yet
    std::string m_writtenShare, m_writtenSize; // the items as last read or written
};

} // namespace tavrel
