#pragma once

#include <QStyleOptionViewItem>

class EventLines;
class LineWidths;
class QPainter;
class QWidget;

// Draws the log's lines as the style draws a list's items, but only the part of
// each line that is in view: the style lays out every character it is given, and
// a scan of millions of characters in view would cost that on every paint.
class LinePainter
{
public:
    // width: the view's; left: how many pixels of the lines are scrolled out at
    // the left of it.
    LinePainter(const QWidget *log, int width, const EventLines &lines, const LineWidths &widths,
        qint64 left);

    void draw(QPainter *painter, qsizetype row, int y, int height, bool selected, bool focused);

    // The style's options for a line of the log.
    static void initOption(QStyleOptionViewItem *option, const QWidget *log);

private:
    const QWidget *m_log;
    const EventLines &m_lines;
    const LineWidths &m_widths;
    qint64 m_left;
    int m_width;
    QStyleOptionViewItem m_option;
};
