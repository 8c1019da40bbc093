#pragma once

#include "eventlines.h"
#include "lineselection.h"

#include <QAbstractScrollArea>

#include <array>

// The event log: an unsorted list of text lines that only ever grows at the end
// until it is cleared. Adding lines never scrolls it and never touches the
// operator's selection. A scanner left running fills it with millions of lines,
// so its cost must not grow with its length: the lines are stored compactly,
// adding one costs the same at any length, and only the lines in view are painted.
class EventLog : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit EventLog(QWidget *parent = nullptr);
    ~EventLog() override;

    void AddItem(const QString &item);
    void Clear();
    // Repaints the visible lines at once, before the caller goes on.
    void Refresh();

    qsizetype count() const;
    // How many of the lines are character lines; as cheap at any length as count().
    qsizetype characterLineCount() const;
    QString item(qsizetype index) const;
    QStringList items() const;

    // The operator's selection, and the line that has the keyboard focus (-1: none).
    bool isSelected(qsizetype row) const;
    qsizetype selectedCount() const;
    qsizetype currentRow() const { return m_current; }
    void selectAll();
    // The selected lines in order, one text line each, joined by "\n".
    QString selectedText() const;
    // Puts the selected lines on the clipboard.
    void copy();

    // The line shown at the top, the line at a height of the viewport (-1 where
    // there is none), and where a line is drawn in the viewport.
    qsizetype topRow() const;
    qsizetype rowAt(int y) const;
    QRect rowRect(qsizetype row) const;
    // Changes whenever the log is cleared, so that whoever holds a row number can
    // tell that it no longer names the same line.
    quint64 generation() const { return m_generation; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void updateMetrics();
    void updateScrollBars();
    int textWidth(const QString &line) const;
    // Lines that fit the viewport whole; at least one.
    int pageRows() const;
    void moveCurrent(qsizetype row, Qt::KeyboardModifiers modifiers);
    void setCurrent(qsizetype row);
    void ensureVisible(qsizetype row);
    void selectionChanged();

    EventLines m_lines;
    LineSelection m_selection;
    qsizetype m_current = -1;
    qsizetype m_anchor = -1;
    int m_rowHeight = 1;
    int m_characterLineWidth = 0;
    // Advances of the Latin-1 characters in the log's font, for measuring long lines.
    std::array<qreal, 256> m_latin1Advance {};
    int m_widest = 0;
    bool m_scrollBarsPending = false;
    quint64 m_generation = 0;
};
