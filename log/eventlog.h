#pragma once

#include "details/eventdetails.h"
#include "log/copyjob.h"
#include "log/linewidths.h"
#include "log/operatorselection.h"
#include "logstore/eventlines.h"

#include <QAbstractScrollArea>
#include <QList>
#include <QPointer>

class QAction;
class QTimer;
class ReadWindow;

class LogAnnouncer;

// The event log: an unsorted list of text lines that only ever grows at the end
// until it is cleared. Adding lines never touches the operator's selection and
// never scrolls it, unless the operator asked it to show new lines. A scanner
// left running fills it with millions of lines, so its cost must not grow with
// its length: the lines are stored compactly, adding one costs the same at any
// length, and only the lines in view are painted. Its rows are counted in
// qsizetype, past what a scroll bar's int can hold: the log keeps its own top
// row, and the vertical bar stands for it (exactly while the rows fit the bar's
// range, in proportion beyond, its ends always the first and the last page);
// wheel, arrows and keys still move by rows. Across, the same holds for pixels:
// a scan of hundreds of millions of digits is wider than an int counts, and the
// horizontal bar stands for the log's own left edge.
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
    // A key typed in keyboard mode, what made it, and when it came (a moment of
    // SessionClock; see EventTimes).
    void AddKeyLine(quint8 code, const KeyOrigin &origin, qint64 micros);
    // A carriage return armed the commit at that moment; the next scan line ends there.
    void noteCarriageReturn(qint64 micros) { m_details.noteCarriageReturn(micros); }
    // A carriage return came from the port, which the log shows no line for: it
    // ends the port's read.
    void notePortReturn(qint64 micros);
    // The scan box committed.
    void AddScanLine(const QString &text);
    void Clear();
    // Repaints the visible lines at once, before the caller goes on.
    void Refresh();

    qsizetype count() const { return m_lines.size(); }
    // How many of the lines are character lines; as cheap at any length as count().
    qsizetype characterLineCount() const { return count() - m_lines.otherCount(); }
    QString item(qsizetype index) const { return m_lines.at(index); }
    QStringList items() const { return m_lines.all(); }

    // The operator's selection, and the line that has the keyboard focus (-1: none).
    bool isSelected(qsizetype row) const { return m_selection.selection().contains(row); }
    qsizetype selectedCount() const { return m_selection.selection().count(); }
    qsizetype currentRow() const { return m_selection.current(); }
    void selectAll();
    // The selected lines in order, one text line each, joined by "\n".
    QString selectedText() const { return m_lines.join(m_selection.selection()); }
    // Puts the selected lines on the clipboard: at once for a few, over as many
    // turns of the event loop as it takes for millions (see CopyJob).
    void copy();
    // The selected lines as tab-separated rows under a header row: time of day,
    // gap in milliseconds, text, hex value, explanation.
    QString selectedTextWithDetails();
    void copyWithDetails();
    // A copy still being written, if any, is given up; clearing does it too.
    void cancelCopy();
    bool isCopying() const { return m_copy != nullptr; }

    // A line explained in plain text: its tooltip and accessible description.
    QString lineDetails(qsizetype row) const { return m_details.describe(row, m_lines); }
    ScanSummary scanSummary(qsizetype row) const { return m_details.scanSummary(row); }
    // The full analysis of the read a line belongs to (empty: none), and the
    // window that shows it, as "Разобрать чтение…" opens it.
    QString readAnalysis(qsizetype row) const { return m_details.readAnalysis(row, m_lines); }
    void showReadAnalysis(qsizetype row);

    // While on, readEnded is emitted for every read that ends from then on.
    void setReportingReads(bool on);
    // More entries of the context menu, after the log's own.
    void addMenuAction(QAction *action) { m_menuActions.append(action); }

    // The line shown at the top, the line at a height of the viewport (-1 where
    // there is none), and where a line is drawn in the viewport.
    qsizetype topRow() const { return m_top; }
    qsizetype rowAt(int y) const;
    QRect rowRect(qsizetype row) const;
    // Changes whenever the log is cleared, so that whoever holds a row number can
    // tell that it no longer names the same line.
    quint64 generation() const { return m_generation; }

    // "Показывать новые строки": while on, the last line is kept in view as lines
    // come. Off at every start.
    void setFollowing(bool following);

    // The most the vertical bar's range holds (INT_MAX); tests set it low to reach
    // the far side of it with a few thousand lines.
    static int scrollLimit() { return s_scrollLimit; }
    static void setScrollLimitForTesting(int limit);

signals:
    // A read ended: its codes as the scanner sent them (a port's carriage return
    // included), at most MaxReportedCodes of them, each with its moment on the
    // session clock in microseconds.
    void readEnded(const QByteArray &codes, const QList<qint64> &micros, ReadMode mode);

public:
    static constexpr qsizetype MaxReportedCodes = 65536;

protected:
    // What is shown, and where.
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    // Tooltips over lines, and the wheel over the scroll bar.
    bool viewportEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // The operator's keys, mouse and focus.
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // A line was stored at that row: its place repainted while in view, tools
    // told, the scroll bars brought up to date once per turn of the event loop.
    void added(qsizetype row);
    // The rest of adding a character or key line, stored by then.
    // handled: when it was handled, if later than it came (-1: at once).
    void addedCode(qsizetype row, quint8 code, qint64 micros, ReadMode mode, qint64 handled = -1);
    void reportEndedReads();
    void wakeReadTimer();
    void startCopy(bool withDetails);
    void updateMetrics();
    void updateScrollBars();
    // The top row for the last page, and the vertical bar's value for a top row and back.
    qsizetype lastTop() const;
    int barValue(qsizetype top) const;
    qsizetype barRow(int value) const;
    // Brings a row to the top (as near as the lines allow), the bar following.
    void scrollToRow(qsizetype top);
    void shiftView(qint64 dx, qsizetype rows);
    qint64 lastLeft() const;
    void barAction(int action);
    // Scrolls by rows for a wheel over a bar whose units are many rows; false if
    // the bar is left to do it.
    bool wheelRows(QWheelEvent *event);
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
    qsizetype m_top = 0;
    qint64 m_left = 0;
    // Set while the log moves the bar itself: the bar's value then follows the top
    // row, not the other way round.
    bool m_movingBar = false;
    int m_wheelDelta = 0; // of a notch, not yet scrolled
    bool m_following = false;
    LogAnnouncer *m_announcer;
    static int s_scrollLimit;
    bool m_scrollBarsPending = false;
    quint64 m_generation = 0;
    QTimer *m_readTimer = nullptr; // while reads are reported
    bool m_readCheckDue = false; // the timer is due at once
    ReadWindow *m_readWindow = nullptr; // made when first asked for
    QList<QPointer<QAction>> m_menuActions;
    QPointer<CopyJob> m_copy;
};
