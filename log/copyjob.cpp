#include "log/copyjob.h"

#include "details/eventdetails.h"
#include "details/linedetails.h"
#include "errors/runtimeerror.h"
#include "log/largepages.h"
#include "logstore/eventlines.h"

#include <QApplication>
#include <QClipboard>
#include <QLocale>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <new>

CopyJob::CopyJob(const EventLines &lines, const EventDetails &details, const LineSelection &rows,
    bool withDetails, QWidget *parent)
    : QObject(parent)
    , m_lines(lines)
    , m_details(details)
    , m_rows(rows)
    , m_total(rows.count())
{
    if (withDetails) {
        m_detailRows.emplace(details, lines);
        m_length = LineDetails::tsvHeader().size();
    }
    if (!m_rows.isEmpty())
        m_next = m_rows.ranges().front().first;
}

CopyJob::~CopyJob()
{
    delete m_progress;
}

bool CopyJob::write(qint64 ns)
{
    QElapsedTimer timer;
    timer.start();
    if (!m_measured) {
        if (!pass(timer, ns))
            return false;
        // A line break before every row with details (the header comes first),
        // between the rows without.
        m_length += m_detailRows ? m_total : std::max<qsizetype>(0, m_total - 1);
        m_measured = true;
        if (m_length > 0) {
            m_text.reserve(m_length);
            adviseLargePages(m_text.data(), std::size_t(m_length) * sizeof(QChar));
        }
        if (m_detailRows)
            m_text += LineDetails::tsvHeader();
        m_range = 0;
        if (!m_rows.isEmpty())
            m_next = m_rows.ranges().front().first;
    }
    const bool whole = pass(timer, ns);
    Q_ASSERT(!whole || m_text.size() == m_length);
    return whole;
}

bool CopyJob::pass(const QElapsedTimer &timer, qint64 ns)
{
    const auto &ranges = m_rows.ranges();
    while (m_range < ranges.size()) {
        // The clock is read once every thousand lines.
        const qsizetype until = std::min(ranges[m_range].last, m_next + 1023);
        for (; m_next <= until; ++m_next) {
            if (!m_measured) {
                m_length += m_detailRows ? m_detailRows->length(m_next) : m_lines.length(m_next);
                continue;
            }
            if (m_written++ > 0 || m_detailRows)
                m_text += u'\n';
            if (m_detailRows)
                m_detailRows->append(m_text, m_next);
            else
                m_text += m_lines.at(m_next);
        }
        if (m_next > ranges[m_range].last && ++m_range < ranges.size())
            m_next = ranges[m_range].first;
        if (timer.nsecsElapsed() >= ns)
            break;
    }
    return m_range >= ranges.size();
}

QString CopyJob::text()
{
    write(std::numeric_limits<qint64>::max());
    return m_text;
}

void CopyJob::start()
{
    m_started.start();
    slice();
}

void CopyJob::slice()
{
    if (m_ended)
        return;
    try {
        if (write(SliceNs)) {
            QGuiApplication::clipboard()->setText(m_text);
            end();
            return;
        }
    } catch (const std::bad_alloc &) {
        // Millions of lines may not fit in memory as one text; the clipboard
        // keeps what it had and the log goes on.
        QApplication::beep();
        end();
        return;
    }
    if (m_started.elapsed() >= ProgressAfterMs)
        untrapped([this] { showProgress(); });
    QTimer::singleShot(0, this, [this] { untrapped([this] { slice(); }); });
}

void CopyJob::showProgress()
{
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    const QString label = QStringLiteral("Копирование: ") + russian.toString(m_written)
        + QStringLiteral(" из ") + russian.toString(m_total) + QStringLiteral(" строк");
    if (!m_progress) {
        m_progress = new QProgressDialog(
            label, QStringLiteral("Отмена"), 0, 1000, qobject_cast<QWidget *>(parent()));
        m_progress->setWindowTitle(QStringLiteral("Копирование"));
        // Not modal, and never the keyboard's: the scanner goes on typing into the
        // form, and its Enter, space or Escape must not press "Отмена".
        m_progress->setWindowModality(Qt::NonModal);
        m_progress->setWindowFlag(Qt::WindowDoesNotAcceptFocus);
        m_progress->setAttribute(Qt::WA_ShowWithoutActivating);
        auto *cancelButton = new QPushButton(QStringLiteral("Отмена"), m_progress);
        cancelButton->setFocusPolicy(Qt::NoFocus);
        cancelButton->setAutoDefault(false);
        cancelButton->setDefault(false);
        m_progress->setCancelButton(cancelButton);
        m_progress->setAutoReset(false);
        m_progress->setAutoClose(false);
        m_progress->setMinimumDuration(0);
        connect(m_progress, &QProgressDialog::canceled, this, &CopyJob::cancel);
        m_progress->show();
    }
    m_progress->setLabelText(label);
    m_progress->setValue(int(1000 * m_written / std::max<qsizetype>(1, m_total)));
}

void CopyJob::cancel()
{
    end();
}

void CopyJob::end()
{
    if (m_ended)
        return;
    m_ended = true;
    m_text = QString();
    delete m_progress;
    emit finished();
    deleteLater();
}
