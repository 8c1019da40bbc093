#pragma once

#include "logstore/lineselection.h"

#include <Qt>

// What the operator has selected in the log and where the keyboard focus is, and
// how clicks and keys with their modifiers change them, as in any list box. It
// knows nothing of pixels: the log tells it which row a click hit, which row is at
// the top and how many rows a page holds.
class OperatorSelection
{
public:
    // What a step did, so that the log knows what to show.
    enum class Outcome {
        NotMine, // a key this model has no use for
        Nothing,
        Changed, // the selection or the current line changed
        Moved, // changed, and the current line must be brought into view
    };

    const LineSelection &selection() const { return m_selection; }
    // The line that has the keyboard focus (-1: none), and where Shift ranges start.
    qsizetype current() const { return m_current; }
    qsizetype anchor() const { return m_anchor; }

    void reset();
    void setCurrent(qsizetype row) { m_current = row; }

    // A left click on a row of the count lines there are, or below the last (row -1).
    Outcome click(qsizetype row, Qt::KeyboardModifiers modifiers);
    // A right click: the context menu acts on the line under the mouse unless it
    // is part of the selection already.
    Outcome rightClick(qsizetype row);
    // The mouse dragged with the left button held to a row (clamped to the lines).
    Outcome drag(qsizetype row, Qt::KeyboardModifiers modifiers, qsizetype count);
    // A navigation key; from no current line the keys start at the top row.
    Outcome key(int key, Qt::KeyboardModifiers modifiers, qsizetype count, qsizetype top,
        qsizetype pageRows);
    Outcome selectAll(qsizetype count);

private:
    Outcome moveTo(qsizetype row, Qt::KeyboardModifiers modifiers);
    Outcome toggle(qsizetype row);

    LineSelection m_selection;
    qsizetype m_current = -1;
    qsizetype m_anchor = -1;
};
