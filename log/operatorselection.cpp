#include "log/operatorselection.h"

#include <algorithm>

void OperatorSelection::reset()
{
    m_selection.clear();
    m_current = -1;
    m_anchor = -1;
}

OperatorSelection::Outcome OperatorSelection::click(qsizetype row, Qt::KeyboardModifiers modifiers)
{
    if (row < 0) {
        // A click below the last line drops the selection, as in any list.
        if ((modifiers & (Qt::ShiftModifier | Qt::ControlModifier)) || m_selection.isEmpty())
            return Outcome::Nothing;
        m_selection.clear();
        return Outcome::Changed;
    }
    if ((modifiers & Qt::ControlModifier) && !(modifiers & Qt::ShiftModifier))
        return toggle(row);
    return moveTo(row, modifiers);
}

OperatorSelection::Outcome OperatorSelection::rightClick(qsizetype row)
{
    if (row < 0 || m_selection.contains(row))
        return Outcome::Nothing;
    return moveTo(row, Qt::NoModifier);
}

OperatorSelection::Outcome OperatorSelection::drag(
    qsizetype row, Qt::KeyboardModifiers modifiers, qsizetype count)
{
    if ((modifiers & Qt::ControlModifier) || m_anchor < 0 || count == 0)
        return Outcome::Nothing;
    return moveTo(std::clamp<qsizetype>(row, 0, count - 1), Qt::ShiftModifier);
}

OperatorSelection::Outcome OperatorSelection::key(
    int key, Qt::KeyboardModifiers modifiers, qsizetype count, qsizetype top, qsizetype pageRows)
{
    const qsizetype last = count - 1;
    const qsizetype from = m_current >= 0 ? m_current : top;
    qsizetype to = from;
    switch (key) {
    case Qt::Key_Up:
        to = m_current >= 0 ? from - 1 : from;
        break;
    case Qt::Key_Down:
        to = m_current >= 0 ? from + 1 : from;
        break;
    case Qt::Key_PageUp:
        to = from - pageRows;
        break;
    case Qt::Key_PageDown:
        to = from + pageRows;
        break;
    case Qt::Key_Home:
        to = 0;
        break;
    case Qt::Key_End:
        to = last;
        break;
    case Qt::Key_Space:
        if (last < 0)
            return Outcome::Nothing;
        if (modifiers & Qt::ControlModifier)
            return toggle(from);
        return moveTo(from, modifiers);
    default:
        return Outcome::NotMine;
    }
    if (last < 0)
        return Outcome::Nothing;
    return moveTo(std::clamp<qsizetype>(to, 0, last), modifiers);
}

OperatorSelection::Outcome OperatorSelection::selectAll(qsizetype count)
{
    if (count == 0)
        return Outcome::Nothing;
    m_selection.clear();
    m_selection.select(0, count - 1);
    return Outcome::Changed;
}

OperatorSelection::Outcome OperatorSelection::moveTo(qsizetype row, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::ShiftModifier) {
        if (m_anchor < 0)
            m_anchor = m_current >= 0 ? m_current : row;
        if (!(modifiers & Qt::ControlModifier))
            m_selection.clear();
        m_selection.select(m_anchor, row);
    } else if (!(modifiers & Qt::ControlModifier)) {
        m_selection.clear();
        m_selection.select(row, row);
        m_anchor = row;
    }
    m_current = row;
    return Outcome::Moved;
}

OperatorSelection::Outcome OperatorSelection::toggle(qsizetype row)
{
    m_selection.toggle(row);
    m_anchor = row;
    m_current = row;
    return Outcome::Changed;
}
