#pragma once

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

class EventLog;

// What accessibility tools (a screen reader, AT-SPI) see of the log: a list whose
// children are its lines, each a list item named by its text and marked selected
// as the operator selected it. Line items are made only when a tool asks for them.
// Of a log longer than an int can count, tools see the window of lines that the
// log places around its current line (EventLog::accessibleFirstRow).
class EventLogAccessible : public QAccessibleWidget
{
public:
    explicit EventLogAccessible(EventLog *log);
    ~EventLogAccessible() override;

    // The factory that QAccessible consults for every object it is asked about.
    static QAccessibleInterface *create(const QString &className, QObject *object);
    // Installs that factory; done once at start, later calls do nothing.
    static void install();

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;
    QAccessible::State state() const override;

private:
    EventLog *log() const;
    // The item of a row, or null when the row is outside the window shown to tools.
    QAccessibleInterface *rowItem(qsizetype row) const;

    mutable QHash<qsizetype, QAccessible::Id> m_children;
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
