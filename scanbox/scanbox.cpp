#include "scanbox/scanbox.h"

#include "scanbox/scanboxaccessible.h"

#include <QAccessible>
#include <QClipboard>
#include <QGuiApplication>

#include <algorithm>
#include <cstdlib>

namespace {

// Operator edits kept for undo; the program's own appends are not edits.
constexpr qsizetype UndoLimit = 1000;

} // namespace

ScanBox::ScanBox(QWidget *parent)
    : QWidget(parent)
{
    static const bool accessible = (QAccessible::installFactory(&ScanBoxAccessible::create), true);
    Q_UNUSED(accessible);

    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAttribute(Qt::WA_MacShowFocusRect);
    setCursor(Qt::IBeamCursor);
    setBackgroundRole(QPalette::Base);
    setSizePolicy(QSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed, QSizePolicy::LineEdit));
    updateAdvances();
}

ScanBox::~ScanBox() = default;

void ScanBox::setText(const QString &text)
{
    const QString old = m_text;
    m_text = text;
    m_cursor = m_anchor = m_text.size();
    m_undo.clear();
    m_redo.clear();
    m_first = 0;
    m_shift = 0;
    scrollToCursor();
    restartBlink();
    update();
    if (QAccessible::isActive()) {
        QAccessibleTextUpdateEvent changed(this, 0, old, m_text);
        QAccessible::updateAccessibility(&changed);
    }
}

void ScanBox::clear()
{
    setText(QString());
}

void ScanBox::insert(const QString &text)
{
    const qsizetype start = std::min(m_anchor, m_cursor);
    replace(start, std::abs(m_cursor - m_anchor), text, false);
}

void ScanBox::operatorInsert(const QString &text)
{
    const qsizetype start = std::min(m_anchor, m_cursor);
    replace(start, std::abs(m_cursor - m_anchor), text, true);
}

void ScanBox::replace(qsizetype start, qsizetype length, const QString &text, bool byOperator)
{
    if (length == 0 && text.isEmpty())
        return;
    QString removed = m_text.mid(start, length);
    if (start == m_text.size())
        m_text.append(text); // the receive path's case: no copy of what is there
    else
        m_text.replace(start, length, text);
    if (byOperator) {
        m_redo.clear();
        m_undo.append({ start, removed, text });
        if (m_undo.size() > UndoLimit)
            m_undo.removeFirst();
    }
    m_cursor = m_anchor = start + text.size();
    scrollToCursor();
    restartBlink();
    update();
    if (QAccessible::isActive()) {
        if (!removed.isEmpty()) {
            QAccessibleTextRemoveEvent gone(this, int(start), removed);
            QAccessible::updateAccessibility(&gone);
        }
        if (!text.isEmpty()) {
            QAccessibleTextInsertEvent added(this, int(start), text);
            QAccessible::updateAccessibility(&added);
        }
    }
}

void ScanBox::setCursorPosition(int position)
{
    moveCursor(std::clamp<qsizetype>(position, 0, m_text.size()), false);
}

void ScanBox::cursorForward(bool mark, int steps)
{
    qsizetype position = m_cursor;
    for (int i = 0; i < steps; ++i)
        position = step(position, 1);
    moveCursor(position, mark);
}

void ScanBox::cursorBackward(bool mark, int steps)
{
    qsizetype position = m_cursor;
    for (int i = 0; i < steps; ++i)
        position = step(position, -1);
    moveCursor(position, mark);
}

void ScanBox::home(bool mark)
{
    moveCursor(0, mark);
}

void ScanBox::end(bool mark)
{
    moveCursor(m_text.size(), mark);
}

void ScanBox::moveCursor(qsizetype position, bool mark)
{
    const bool hadSelection = hasSelectedText();
    m_cursor = position;
    if (!mark)
        m_anchor = position;
    scrollToCursor();
    restartBlink();
    update();
    if (QAccessible::isActive()) {
        QAccessibleTextCursorEvent moved(this, int(m_cursor));
        QAccessible::updateAccessibility(&moved);
        if (hadSelection || hasSelectedText()) {
            QAccessibleTextSelectionEvent selected(
                this, selectionStart(), selectionStart() + selectionLength());
            QAccessible::updateAccessibility(&selected);
        }
    }
}

qsizetype ScanBox::step(qsizetype position, int direction) const
{
    position = std::clamp<qsizetype>(position + direction, 0, m_text.size());
    // Never between the two halves of a character outside the basic plane.
    if (position > 0 && position < m_text.size() && m_text.at(position).isLowSurrogate()
        && m_text.at(position - 1).isHighSurrogate())
        position += direction;
    return position;
}

QString ScanBox::selectedText() const
{
    return m_text.mid(selectionStart(), selectionLength());
}

int ScanBox::selectionStart() const
{
    return hasSelectedText() ? int(std::min(m_anchor, m_cursor)) : -1;
}

int ScanBox::selectionLength() const
{
    return int(std::abs(m_cursor - m_anchor));
}

void ScanBox::setSelection(int start, int length)
{
    const qsizetype from = std::clamp<qsizetype>(start, 0, m_text.size());
    const qsizetype to = std::clamp<qsizetype>(qsizetype(start) + length, 0, m_text.size());
    m_anchor = from;
    moveCursor(to, true);
}

void ScanBox::selectAll()
{
    m_anchor = 0;
    moveCursor(m_text.size(), true);
}

void ScanBox::deselect()
{
    moveCursor(m_cursor, false);
}

void ScanBox::copy() const
{
    if (hasSelectedText())
        QGuiApplication::clipboard()->setText(selectedText());
}

void ScanBox::cut()
{
    if (!hasSelectedText())
        return;
    copy();
    operatorInsert(QString());
}

void ScanBox::paste()
{
    const QString clip = QGuiApplication::clipboard()->text();
    if (!clip.isEmpty() || hasSelectedText())
        operatorInsert(clip);
}

void ScanBox::del()
{
    if (hasSelectedText())
        operatorInsert(QString());
    else if (m_cursor < m_text.size())
        replace(m_cursor, step(m_cursor, 1) - m_cursor, QString(), true);
}

void ScanBox::backspace()
{
    if (hasSelectedText()) {
        operatorInsert(QString());
    } else if (m_cursor > 0) {
        const qsizetype from = step(m_cursor, -1);
        replace(from, m_cursor - from, QString(), true);
    }
}

void ScanBox::undo()
{
    replay(m_undo, m_redo, false);
}

void ScanBox::redo()
{
    replay(m_redo, m_undo, true);
}

void ScanBox::replay(QList<Edit> &from, QList<Edit> &to, bool forward)
{
    if (from.isEmpty())
        return;
    const Edit edit = from.takeLast();
    const QString &now = forward ? edit.removed : edit.inserted;
    // The program's appends never touch what lies before them, so an edit still
    // finds its text where it left it; anything else forgets the history.
    if (QStringView(m_text).mid(edit.position, now.size()) != now) {
        from.clear();
        return;
    }
    replace(edit.position, now.size(), forward ? edit.inserted : edit.removed, false);
    to.append(edit);
}
