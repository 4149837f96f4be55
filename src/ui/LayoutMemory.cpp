#include "ui/LayoutMemory.h"

#include "core/Numeric.h"

#include <QEvent>
#include <QSplitter>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace tavrel {

namespace {
constexpr int kMinShare = 10, kMaxShare = 90;
constexpr int kMinSize = 6, kMaxSize = 36;
} // namespace

std::optional<int> displayShareFrom(const std::string& item) {
    if (!holdsNumber(item)) return std::nullopt;
    return std::clamp<int>(wholeNumber16(item), kMinShare, kMaxShare);
}

std::optional<int> textSizeFrom(const std::string& item) {
    if (!holdsNumber(item)) return std::nullopt;
    return std::clamp<int>(wholeNumber16(item), kMinSize, kMaxSize);
}

int steppedTextSize(int size, int step) {
    return std::clamp(size + step, kMinSize, kMaxSize);
}

LayoutMemory::LayoutMemory(MainState& state, QSplitter& splitter, std::vector<QWidget*> texts,
                           QObject* parent)
    : QObject(parent), m_state(state), m_splitter(splitter), m_texts(std::move(texts)) {
    const QFont f = m_texts.empty() ? QFont() : m_texts.front()->font();
    m_systemSize = f.pointSize() > 0 ? f.pointSize() : 10;
    m_textSize = m_systemSize;
    // The share is remembered when the operator lets go of the handle, not at every pixel.
    for (int i = 1; i < m_splitter.count(); ++i)
        m_splitter.handle(i)->installEventFilter(this);
    // What grows or shrinks with the window is shared out as the operator shared it.
    connect(&m_splitter, &QSplitter::splitterMoved, this, [this] {
        if (const int share = displayShare()) {
            m_splitter.setStretchFactor(0, 100 - share);
            m_splitter.setStretchFactor(1, share);
        }
    });
}

int LayoutMemory::displayShare() const {
    const QList<int> sizes = m_splitter.sizes();
    if (sizes.size() < 2 || sizes[0] + sizes[1] <= 0) return 0;
    return static_cast<int>(std::lround(100.0 * sizes[1] / (sizes[0] + sizes[1])));
}

void LayoutMemory::restore() {
    m_writtenShare = m_state.item(Item::DisplayShare);
    m_writtenSize = m_state.item(Item::TextSize);
    if (const auto share = displayShareFrom(m_writtenShare)) {
        m_chosenShare = *share;
        applyShare(*share);
    }
    if (const auto size = textSizeFrom(m_writtenSize)) {
        m_sizeChosen = true;
        applyTextSize(*size);
    }
}

void LayoutMemory::reapplied() {
    if (m_state.item(Item::DisplayShare) != m_writtenShare || m_state.item(Item::TextSize) != m_writtenSize)
        save();
}

void LayoutMemory::zoom(int step) {
    m_sizeChosen = step != 0;
    applyTextSize(step == 0 ? m_systemSize : steppedTextSize(m_textSize, step));
    save();
}

void LayoutMemory::applyShare(int percent) {
    // Proportions work before the window has its final height: the splitter scales them.
    m_splitter.setSizes({10 * (100 - percent), 10 * percent});
    m_splitter.setStretchFactor(0, 100 - percent);
    m_splitter.setStretchFactor(1, percent);
}

void LayoutMemory::applyTextSize(int points) {
    m_textSize = points;
    for (QWidget* w : m_texts) {
        QFont f = w->font();
        f.setPointSize(points);
        w->setFont(f);
    }
}

// The share the operator chose, not what the window's other rows leave of it just now.
std::string LayoutMemory::shareItem() const {
    return m_chosenShare > 0 ? std::to_string(m_chosenShare) : m_writtenShare;
}

std::string LayoutMemory::sizeItem() const {
    return m_sizeChosen ? std::to_string(m_textSize) : std::string();
}

// Only the two layout items change: the file may hold a settings window's save that this window
// has not read yet, and that must not be written over.
void LayoutMemory::save() {
    const SettingsRead read = loadSettings(m_state.settings.file());
    if (read.error) {
        emit saveFailed(QString::fromStdString("The window layout was not saved: " + *read.error));
        return;
    }
    SettingsList list = read.missing || read.damage ? m_state.settings.list() : read.list;
    const std::string share = shareItem(), size = sizeItem();
    list[Item::DisplayShare] = share;
    list[Item::TextSize] = size;
    if (auto failure = m_state.settings.saveQuietly(list)) {
        emit saveFailed(QString::fromStdString("The window layout was not saved. " + *failure));
        return;
    }
    m_state.settings[Item::DisplayShare] = share;
    m_state.settings[Item::TextSize] = size;
    m_writtenShare = share;
    m_writtenSize = size;
}

bool LayoutMemory::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::MouseButtonRelease && displayShare() > 0) {
        m_chosenShare = std::clamp(displayShare(), kMinShare, kMaxShare);
        save();
    }
    return QObject::eventFilter(watched, e);
}

} // namespace tavrel
