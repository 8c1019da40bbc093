#include "logstore/lineselection.h"

#include <algorithm>
#include <utility>

namespace {

// The first range that ends at or after row.
auto firstEndingFrom(std::vector<LineSelection::Range> &ranges, qsizetype row)
{
    return std::lower_bound(ranges.begin(), ranges.end(), row,
        [](const LineSelection::Range &range, qsizetype r) { return range.last < r; });
}

} // namespace

bool LineSelection::contains(qsizetype row) const
{
    const auto found = std::lower_bound(m_ranges.begin(), m_ranges.end(), row,
        [](const Range &range, qsizetype r) { return range.last < r; });
    return found != m_ranges.end() && found->first <= row;
}

qsizetype LineSelection::count() const
{
    qsizetype total = 0;
    for (const Range &range : m_ranges)
        total += range.last - range.first + 1;
    return total;
}

void LineSelection::select(qsizetype first, qsizetype last)
{
    if (first > last)
        std::swap(first, last);
    // Ranges that overlap or touch the new one merge with it.
    auto begin = firstEndingFrom(m_ranges, first - 1);
    auto end = begin;
    while (end != m_ranges.end() && end->first <= last + 1) {
        first = std::min(first, end->first);
        last = std::max(last, end->last);
        ++end;
    }
    const auto at = m_ranges.erase(begin, end);
    m_ranges.insert(at, Range { first, last });
}

void LineSelection::deselect(qsizetype first, qsizetype last)
{
    if (first > last)
        std::swap(first, last);
    auto begin = firstEndingFrom(m_ranges, first);
    auto end = begin;
    std::vector<Range> kept;
    while (end != m_ranges.end() && end->first <= last) {
        if (end->first < first)
            kept.push_back({ end->first, first - 1 });
        if (end->last > last)
            kept.push_back({ last + 1, end->last });
        ++end;
    }
    const auto at = m_ranges.erase(begin, end);
    m_ranges.insert(at, kept.begin(), kept.end());
}

void LineSelection::toggle(qsizetype row)
{
    if (contains(row))
        deselect(row, row);
    else
        select(row, row);
}
