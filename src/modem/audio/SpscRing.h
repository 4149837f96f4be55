#pragma once
// Lock-free single-producer/single-consumer ring of trivially copyable items.
//
// One thread calls push(), one other thread calls pop(); neither ever blocks or allocates after
// construction. Capacity is a power of two; a full ring refuses the item (push() returns false) and
// the producer decides what to do with it.

#include <atomic>
#include <cstddef>
#include <memory>
#include <type_traits>

namespace tavrel {

template <typename T> class SpscRing {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    // Holds at least `capacity` items (rounded up to a power of two, at least 2).
    explicit SpscRing(std::size_t capacity) {
        std::size_t n = 2;
        while (n < capacity)
            n *= 2;
        m_mask = n - 1;
        m_items = std::make_unique<T[]>(n);
    }
    SpscRing(const SpscRing&) = delete;
    SpscRing& operator=(const SpscRing&) = delete;

    std::size_t capacity() const { return m_mask + 1; }

    // Producer side.
    bool push(const T& item) {
        const std::size_t head = m_head.load(std::memory_order_relaxed);
        if (head - m_tail.load(std::memory_order_acquire) > m_mask) return false;
        m_items[head & m_mask] = item;
        m_head.store(head + 1, std::memory_order_release);
        return true;
    }
    // Free places as the producer sees them (may grow meanwhile, never shrink).
    std::size_t freeSpace() const {
        return capacity() - (m_head.load(std::memory_order_relaxed) - m_tail.load(std::memory_order_acquire));
    }

    // Consumer side.
    bool pop(T& item) {
        const std::size_t tail = m_tail.load(std::memory_order_relaxed);
        if (tail == m_head.load(std::memory_order_acquire)) return false;
        item = m_items[tail & m_mask];
        m_tail.store(tail + 1, std::memory_order_release);
        return true;
    }

private:
    std::unique_ptr<T[]> m_items;
    std::size_t m_mask = 0;
    alignas(64) std::atomic<std::size_t> m_head{0};
    alignas(64) std::atomic<std::size_t> m_tail{0};
};

} // namespace tavrel
