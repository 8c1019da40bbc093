#pragma once

#include <QtGlobal>

#include <vector>

// The selected lines of the log as sorted, disjoint, non-adjacent ranges of rows,
// so that selecting all of millions of lines costs one range.
class LineSelection
{
public:
    struct Range
    {
        qsizetype first;
        qsizetype last; // inclusive
    };

    void clear() { m_ranges.clear(); }
    bool isEmpty() const { return m_ranges.empty(); }
    const std::vector<Range> &ranges() const { return m_ranges; }

    bool contains(qsizetype row) const;
    qsizetype count() const;

    // first and last may come in either order.
    void select(qsizetype first, qsizetype last);
    void deselect(qsizetype first, qsizetype last);
    void toggle(qsizetype row);

private:
    std::vector<Range> m_ranges;
};
