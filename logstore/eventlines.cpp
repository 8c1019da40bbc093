#include "logstore/eventlines.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

const QLatin1String Prefix("KeyAscii=");

// Every character line there can be, built once and shared: reading a line back
// copies no characters.
const std::array<QString, 256> &characterLines()
{
    static const std::array<QString, 256> lines = [] {
        std::array<QString, 256> built;
        for (int code = 0; code < 256; ++code)
            built[std::size_t(code)] = Prefix + QString::number(code);
        return built;
    }();
    return lines;
}

} // namespace

EventLines::EventLines() = default;
EventLines::~EventLines() = default;

int EventLines::characterCode(const QString &line)
{
    const qsizetype digits = line.size() - Prefix.size();
    if (digits < 1 || digits > 3 || !line.startsWith(Prefix))
        return -1;
    if (digits > 1 && line.at(Prefix.size()) == u'0')
        return -1;
    int code = 0;
    for (qsizetype i = Prefix.size(); i < line.size(); ++i) {
        const char16_t ch = line.at(i).unicode();
        if (ch < u'0' || ch > u'9')
            return -1;
        code = code * 10 + (ch - u'0');
    }
    return code <= 255 ? code : -1;
}

QString EventLines::characterLine(int code)
{
    if (code >= 0 && code < 256)
        return characterLines()[std::size_t(code)];
    return Prefix + QString::number(code);
}

void EventLines::append(const QString &line)
{
    const int code = characterCode(line);
    if (code >= 0) {
        appendCode(quint8(code));
        return;
    }
    makeRoom();
    const bool wide
        = std::any_of(line.begin(), line.end(), [](QChar ch) { return ch.unicode() > 255; });
    const QByteArray text = wide
        ? QByteArray(reinterpret_cast<const char *>(line.utf16()), line.size() * 2)
        : line.toLatin1();
    // Running out of memory here must leave the lines as they were.
    m_otherRows.push_back(m_size);
    try {
        m_wide.push_back(wide);
        try {
            m_otherTexts.append(text);
        } catch (...) {
            m_wide.pop_back();
            throw;
        }
    } catch (...) {
        m_otherRows.pop_back();
        throw;
    }
    store(0, true);
}

void EventLines::appendCode(quint8 code)
{
    makeRoom();
    store(code, false);
}

void EventLines::makeRoom()
{
    // Each column grows apart, so that running out of memory in between leaves
    // both as they may go on.
    const std::size_t block = std::size_t(m_size >> BlockBits);
    if (block == m_codes.size())
        m_codes.grow();
    if (block == m_marks.size())
        m_marks.grow();
}

void EventLines::clear()
{
    m_codes.clear();
    m_marks.clear();
    m_size = 0;
    m_otherRows.clear();
    m_otherRows.shrink_to_fit();
    m_otherTexts = QList<QByteArray>();
    m_wide = {};
}

int EventLines::code(qsizetype row) const
{
    if (row < 0 || row >= m_size)
        return -1;
    const int stored = slot(row);
    return stored;
}

QString EventLines::at(qsizetype row) const
{
    if (row < 0 || row >= m_size)
        return {};
    const int stored = slot(row);
    if (stored != Other)
        return characterLines()[stored];
    return otherLine(otherIndex(row));
}

qsizetype EventLines::otherIndex(qsizetype row) const
{
    const auto found = std::lower_bound(m_otherRows.begin(), m_otherRows.end(), row);
    return qsizetype(found - m_otherRows.begin());
}

QString EventLines::otherLine(qsizetype index) const
{
    return mid(m_otherRows[std::size_t(index)], 0, -1);
}

qsizetype EventLines::length(qsizetype row) const
{
    if (row < 0 || row >= m_size)
        return 0;
    const int stored = slot(row);
    if (stored != Other)
        return characterLines()[stored].size();
    const qsizetype index = otherIndex(row);
    return m_otherTexts.at(index).size() / (m_wide[std::size_t(index)] ? 2 : 1);
}

QString EventLines::mid(qsizetype row, qsizetype position, qsizetype count) const
{
    if (row < 0 || row >= m_size)
        return {};
    const int stored = slot(row);
    if (stored != Other)
        return characterLines()[stored].mid(position, count);
    const qsizetype index = otherIndex(row);
    const QByteArray &text = m_otherTexts.at(index);
    const bool wide = m_wide[std::size_t(index)];
    const qsizetype length = text.size() / (wide ? 2 : 1);
    position = std::clamp<qsizetype>(position, 0, length);
    count = count < 0 ? length - position : std::min(count, length - position);
    if (!wide)
        return QString::fromLatin1(text.constData() + position, count);
    return QString(reinterpret_cast<const QChar *>(text.constData()) + position, count);
}

QStringList EventLines::all() const
{
    QStringList lines;
    lines.reserve(m_size);
    for (qsizetype row = 0; row < m_size; ++row)
        lines.append(at(row));
    return lines;
}

QString EventLines::join(const LineSelection &rows) const
{
    QString text;
    bool first = true;
    for (const LineSelection::Range &range : rows.ranges()) {
        for (qsizetype row = range.first; row <= range.last; ++row) {
            if (!std::exchange(first, false))
                text += u'\n';
            text += at(row);
        }
    }
    return text;
}
