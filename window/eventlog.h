#pragma once

#include "eventdetails.h"
#include "eventlines.h"
#include "linewidths.h"
#include "operatorselection.h"

#include <QAbstractScrollArea>

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
    // The line "KeyAscii=<code>" of a byte from the port, added without building
    // its text, at a moment of SessionClock taken by the caller: the bytes of one
    // notification share one moment.
    void AddCharacterLine(quint8 code);
    void AddCharacterLine(quint8 code, qint64 micros);
    // A key typed in keyboard mode, and what made it.
    void AddKeyLine(quint8 code, const KeyOrigin &origin = {});
    // A carriage return armed the commit at that moment; the next scan line ends there.
    void noteCarriageReturn(qint64 micros) { m_details.noteCarriageReturn(micros); }
    // The scan box committed.
    void AddScanLine(const QString &text);
    void Clear();
    // Repaints the visible lines at once, before the caller goes on.
    void Refresh();

    qsizetype count() const { return m_lines.size(); }
    // How many of the lines are character lines; as cheap at any length as count().
    qsizetype characterLineCount() const { return count() - m_lines.otherLines().size(); }
    QString item(qsizetype index) const { return m_lines.at(index); }
    QStringList items() const { return m_lines.all(); }

    // The operator's selection, and the line that has the keyboard focus (-1: none).
    bool isSelected(qsizetype row) const { return m_selection.selection().contains(row); }
    qsizetype selectedCount() const { return m_selection.selection().count(); }
    qsizetype currentRow() const { return m_selection.current(); }
    void selectAll();
    // The selected lines in order, one text line each, joined by "\n".
    QString selectedText() const { return m_lines.join(m_selection.selection()); }
    // Puts the selected lines on the clipboard.
    void copy();
    // The selected lines as tab-separated rows under a header row: time of day,
    // gap in milliseconds, text, hex value, explanation.
    QString selectedTextWithDetails() const;
    void copyWithDetails();

    // A line explained in plain text: its tooltip and accessible description.
    QString lineDetails(qsizetype row) const { return m_details.describe(row, m_lines); }
    ScanSummary scanSummary(qsizetype row) const { return m_details.scanSummary(row, m_lines); }

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
    bool viewportEvent(QEvent *event) override;

private:
    void added(qsizetype row);
    void updateMetrics();
    void updateScrollBars();
    // Lines that fit the viewport whole; at least one.
    int pageRows() const;
    // Shows what a step of the operator changed.
    void apply(OperatorSelection::Outcome outcome);
    // The current line moved: shown, and told to accessibility tools.
    void currentChanged();
    void ensureVisible(qsizetype row);
    void selectionChanged();

    EventLines m_lines;
    EventDetails m_details;
    OperatorSelection m_selection;
    LineWidths m_widths;
    // The current line as last shown; a step that leaves it is not announced again.
    qsizetype m_announcedCurrent = -1;
    int m_rowHeight = 1;
    bool m_scrollBarsPending = false;
    quint64 m_generation = 0;
};
