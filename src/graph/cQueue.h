#pragma once
#include <cstdint>
#include <deque>
#include <variant>

// One history item: a signed 32-bit sample, or empty (what Peek gives on an empty queue).
using QueueItem = std::variant<std::monostate, int32_t>;

// The value of an item in arithmetic: an empty item counts as 0.
inline int32_t ItemValue(const QueueItem& item) {
    const int32_t* value = std::get_if<int32_t>(&item);
    return value ? *value : 0;
}

// A first-in-first-out list of items, oldest (item 1) first.
class cQueue {
public:
    using List = std::deque<QueueItem>;

    int32_t Count() const { return static_cast<int32_t>(m_items.size()); }
    void Add(const QueueItem& item) { m_items.push_back(item); }
    // The oldest item, or an empty one when the queue is empty.
    QueueItem Peek() const;
    // The oldest item, removed. Raises AppError 9 (subscript out of range) on an empty queue.
    QueueItem Pop();
    // The list itself, so that readers fetch item k (at index k - 1) without copying.
    const List& Contents() const { return m_items; }
    void Flush() { m_items = List(); }

private:
    List m_items;
};
