#pragma once
// A selection of curves or markers as it travels between the command
// language, the plot tabs and the plots: a vector of ints whose element 0 is
// the count and whose elements 1..count are the indices (C1 is index 0,
// marker M1 is 1). A count of 1 with element 1 equal to ALL_CURVES stands for
// every curve. A plain value type: copy it, pass it, never free it.
#include "core/curvedata.h"

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <vector>

class IdArray {
public:
    // The empty selection {0}.
    IdArray() : m_raw{0} {}
    // From the raw layout (count first). An empty list becomes {0}.
    IdArray(std::initializer_list<int> raw) : m_raw(raw)
    {
        if (m_raw.empty())
            m_raw.push_back(0);
    }
    static IdArray fromRaw(std::vector<int> raw)
    {
        IdArray a;
        if (!raw.empty())
            a.m_raw = std::move(raw);
        return a;
    }
    // {count, ids...} from a list of indices.
    static IdArray fromIds(const std::vector<int>& ids)
    {
        IdArray a;
        a.m_raw.reserve(ids.size() + 1);
        a.m_raw[0] = static_cast<int>(ids.size());
        a.m_raw.insert(a.m_raw.end(), ids.begin(), ids.end());
        return a;
    }
    // {1, ALL_CURVES}.
    static IdArray all() { return IdArray{1, ALL_CURVES}; }

    // Element 0: the number of indices that follow.
    int count() const { return m_raw[0]; }
    bool isEmpty() const { return count() <= 0; }
    // True when the first index stands for every curve.
    bool isAll() const { return count() >= 1 && m_raw.size() > 1 && m_raw[1] == ALL_CURVES; }
    // The i-th index (0-based, i < count()).
    int id(int i) const { return m_raw.at(static_cast<std::size_t>(i) + 1); }
    // The indices 1..count as a list.
    std::vector<int> ids() const
    {
        const std::size_t n = std::min<std::size_t>(count() > 0 ? count() : 0, m_raw.size() - 1);
        return std::vector<int>(m_raw.begin() + 1, m_raw.begin() + 1 + static_cast<std::ptrdiff_t>(n));
    }
    // The raw layout, count first; element access in the same layout.
    const std::vector<int>& raw() const { return m_raw; }
    int operator[](std::size_t i) const { return m_raw.at(i); }
    std::size_t size() const { return m_raw.size(); }

    // Equality compares the selection (count and its indices), not spare
    // elements beyond the count.
    bool operator==(const IdArray& o) const { return count() == o.count() && ids() == o.ids(); }

private:
    std::vector<int> m_raw;
};
