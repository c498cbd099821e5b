#include "graph/cQueue.h"
#include "base/AppError.h"

QueueItem cQueue::Peek() const {
    return m_items.empty() ? QueueItem() : m_items.front();
}

QueueItem cQueue::Pop() {
    if (m_items.empty())
        throw AppError(9, "", "Subscript out of range");
    QueueItem head = m_items.front();
    m_items.pop_front();
    return head;
}
