#pragma once
// The bounded first-in-first-out store of the program: it keeps the newest items, and when full a
// new item pushes the oldest out. Items are numbered in the order they came (the first ever is 0),
// so a reader can hold its place while newer items arrive, and one that fell behind learns how
// much it missed. Allocates only when built; not thread-safe.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavrel {

template <typename T> class HistoryRing {
public:
    explicit HistoryRing(std::size_t capacity, const T& fill = T{}) : m_items(capacity, fill) {}

    std::size_t capacity() const { return m_items.size(); }
    std::size_t size() const { return static_cast<std::size_t>(m_end - m_begin); }
    // Number of the oldest item held, and one past the newest.
    uint64_t begin() const { return m_begin; }
    uint64_t end() const { return m_end; }

    void push(const T& item) {
        if (!m_items.empty()) pushSlot() = item;
    }
    // Room for one more item, made as push does, handed back to be written in place: it still
    // holds what the slot held before. Only for a capacity above 0.
    T& pushSlot() {
        T& slot = m_items[m_end % m_items.size()];
        ++m_end;
        if (m_end - m_begin > m_items.size()) ++m_begin;
        return slot;
    }
    // Item number n, for begin() <= n < end().
    const T& at(uint64_t n) const { return m_items[n % m_items.size()]; }

private:
    std::vector<T> m_items;
    uint64_t m_begin = 0;
    uint64_t m_end = 0;
};

} // namespace tavrel
