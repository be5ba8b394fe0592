#pragma once

#include <cstddef>
#include <vector>

namespace marlume::chart {

// A fixed number of the latest values: once full, each new value takes the place of the oldest, so
// memory stays the same however long the program runs. Indexed from the oldest kept value.
template <typename Value> class RingBuffer final {
public:
    explicit RingBuffer(std::size_t capacity)
        : m_values(capacity > 0 ? capacity : 1)
    {
    }

    void push(const Value& value)
    {
        m_values[(m_first + m_size) % m_values.size()] = value;
        if (m_size < m_values.size())
            ++m_size;
        else
            m_first = (m_first + 1) % m_values.size();
    }
    void clear()
    {
        m_first = 0;
        m_size = 0;
    }

    [[nodiscard]] std::size_t size() const { return m_size; }
    [[nodiscard]] std::size_t capacity() const { return m_values.size(); }
    [[nodiscard]] bool empty() const { return m_size == 0; }
    [[nodiscard]] const Value& operator[](std::size_t index) const
    {
        return m_values[(m_first + index) % m_values.size()];
    }
    [[nodiscard]] Value& operator[](std::size_t index)
    {
        return m_values[(m_first + index) % m_values.size()];
    }
    [[nodiscard]] const Value& back() const { return (*this)[m_size - 1]; }
    [[nodiscard]] Value& back() { return (*this)[m_size - 1]; }

private:
    std::vector<Value> m_values;
    std::size_t m_first = 0;
    std::size_t m_size = 0;
};

} // namespace marlume::chart
