#pragma once

#include <QtGlobal>

#include <array>

// A fixed array whose elements are numbered from 1, as programs, vials and
// reagents are everywhere in the program and on the instrument.
template<typename T, int Count> class Numbered
{
public:
    static constexpr int size() { return Count; }

    T &operator[](int number)
    {
        Q_ASSERT(number >= 1 && number <= Count);
        return m_items[std::size_t(number - 1)];
    }
    const T &operator[](int number) const
    {
        Q_ASSERT(number >= 1 && number <= Count);
        return m_items[std::size_t(number - 1)];
    }

    auto begin() { return m_items.begin(); }
    auto end() { return m_items.end(); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

    friend bool operator==(const Numbered &, const Numbered &) = default;

private:
    std::array<T, Count> m_items{};
};
