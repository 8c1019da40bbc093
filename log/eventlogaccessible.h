#pragma once

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

class EventLog;

// What accessibility tools (a screen reader, AT-SPI) see of the log: a list whose
// children are its lines, each a list item named by its text and marked selected
// as the operator selected it. Line items are made only when a tool asks for them.
// Tools count a list's children in int: of a log longer than the scroll limit
// they see a window of that many lines. It holds the current line (or, with none,
// the top line) and moves, centred on it, only when that line leaves it, so that
// a child's index keeps naming one line meanwhile.
class EventLogAccessible : public QAccessibleWidget
{
public:
    explicit EventLogAccessible(EventLog *log);
    ~EventLogAccessible() override;

    // The factory that QAccessible consults for every object it is asked about;
    // the log installs it.
    static QAccessibleInterface *create(const QString &className, QObject *object);
    // The index among the log's children that tools know a row by, or -1 when the
    // row is outside the window or no tool is listening.
    static int childIndex(EventLog *log, qsizetype row);
    // The log was cleared: every line item made so far names no line any more.
    void dropItems() const;

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;
    QAccessible::State state() const override;

private:
    EventLog *log() const;
    // The first row of the window shown to tools.
    qsizetype firstRow() const;
    // The item of a row, or null when the row is outside the window shown to tools.
    QAccessibleInterface *rowItem(qsizetype row) const;

    mutable QHash<qsizetype, QAccessible::Id> m_children;
    mutable qsizetype m_first = 0;
};

// One line of the log.
class EventLogItemAccessible : public QAccessibleInterface
{
public:
    EventLogItemAccessible(EventLog *log, qsizetype row);

    qsizetype row() const { return m_row; }

    bool isValid() const override;
    QObject *object() const override { return nullptr; }
    QWindow *window() const override;
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString &) override { }
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override;

private:
    QPointer<EventLog> m_log;
    qsizetype m_row;
    quint64 m_generation;
};
