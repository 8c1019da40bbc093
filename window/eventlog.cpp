#include "eventlog.h"

#include <QAbstractListModel>
#include <QStringList>

class EventLogModel : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : int(m_lines.size());
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_lines.size())
            return {};
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
            return m_lines.at(index.row());
        return {};
    }

    void append(const QString &line)
    {
        const int row = int(m_lines.size());
        beginInsertRows({}, row, row);
        m_lines.append(line);
        endInsertRows();
    }

    void clear()
    {
        beginResetModel();
        m_lines.clear();
        endResetModel();
    }

    const QStringList &lines() const { return m_lines; }

private:
    QStringList m_lines;
};

EventLog::EventLog(QWidget *parent)
    : QListView(parent)
    , m_model(new EventLogModel(this))
{
    setModel(m_model);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

EventLog::~EventLog() = default;

void EventLog::AddItem(const QString &item)
{
    m_model->append(item);
}

void EventLog::Clear()
{
    m_model->clear();
}

void EventLog::Refresh()
{
    viewport()->repaint();
}

qsizetype EventLog::count() const
{
    return m_model->lines().size();
}

QString EventLog::item(qsizetype index) const
{
    return m_model->lines().value(index);
}

QStringList EventLog::items() const
{
    return m_model->lines();
}
