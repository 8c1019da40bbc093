#pragma once

#include "logstore/lineselection.h"
#include "logstore/pageblocks.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

// The lines of the event log, kept compactly. Nearly every line is a character
// line, "KeyAscii=" and a code from 0 to 255, and it is kept as that code alone:
// a byte a line, and a bit that tells it from any other line. Any other text is
// kept whole in a side list, its bit set; a text of Latin-1 characters (a scan's digits) is kept in one
// byte a character. Storage grows in fixed blocks, so appending never moves what is
// already stored, and the blocks come from the system, so clearing gives them back.
class EventLines
{
public:
    EventLines();
    ~EventLines();

    void append(const QString &line);
    // Appends the character line of a code without any text.
    void appendCode(quint8 code);
    void clear();

    qsizetype size() const { return m_size; }
    QString at(qsizetype row) const;
    // A line's length, and characters of it, without the rest of the line.
    qsizetype length(qsizetype row) const;
    QString mid(qsizetype row, qsizetype position, qsizetype count) const;
    QStringList all() const;
    // The lines of the rows in the ranges, one text line each, joined by "\n".
    QString join(const LineSelection &rows) const;
    // The code of a character line, or -1 for any other line.
    int code(qsizetype row) const;
    // The lines that are not character lines, in order: how many, and the row
    // and the text of each.
    qsizetype otherCount() const { return m_otherTexts.size(); }
    qsizetype otherRow(qsizetype index) const { return m_otherRows[std::size_t(index)]; }
    QString otherLine(qsizetype index) const;

    // The code that line would be stored as, or -1 when it must be kept whole.
    // Only the exact text that the code gives back counts ("KeyAscii=07" does not).
    static int characterCode(const QString &line);
    // "KeyAscii=<code>": the one place that writes a character line (one of 0 to
    // 255 is shared, not built).
    static QString characterLine(int code);

private:
    // Makes sure the next line has a slot, then fills it.
    void makeRoom();
    void store(quint8 code, bool other)
    {
        const std::size_t inBlock = std::size_t(m_size & (BlockSize - 1));
        codes(m_size)[inBlock] = code;
        if (other)
            marks(m_size)[inBlock >> 3] |= quint8(1u << (inBlock & 7));
        ++m_size;
    }

    static constexpr int BlockBits = 16;
    static constexpr qsizetype BlockSize = qsizetype(1) << BlockBits;
    static constexpr int Other = -1;

    // The blocks that hold a row's code and its mark: set for a line kept whole.
    quint8 *codes(qsizetype row) const
    {
        return static_cast<quint8 *>(m_codes.block(std::size_t(row >> BlockBits)));
    }
    quint8 *marks(qsizetype row) const
    {
        return static_cast<quint8 *>(m_marks.block(std::size_t(row >> BlockBits)));
    }
    // The row's code, or Other.
    int slot(qsizetype row) const
    {
        const std::size_t inBlock = std::size_t(row & (BlockSize - 1));
        if ((marks(row)[inBlock >> 3] >> (inBlock & 7)) & 1)
            return Other;
        return codes(row)[inBlock];
    }

    PageBlocks m_codes { std::size_t(BlockSize) };
    // Fresh pages read as zeros: a block's lines start as character lines.
    PageBlocks m_marks { std::size_t(BlockSize) / 8 };
    qsizetype m_size = 0;
    qsizetype otherIndex(qsizetype row) const;

    std::vector<qsizetype> m_otherRows; // ascending
    // Latin-1 bytes, or where a character is past Latin-1 (m_wide) UTF-16 units.
    QList<QByteArray> m_otherTexts;
    std::vector<bool> m_wide;
};
