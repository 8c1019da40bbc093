#pragma once

#include <QListView>

class EventLogModel;

// The event log: an unsorted list of text lines that only ever grows at the end
// until it is cleared. Adding lines never scrolls it and never touches the
// operator's selection.
class EventLog : public QListView
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
    QString item(qsizetype index) const;
    QStringList items() const;

private:
    EventLogModel *m_model;
};
