#include "log/readwindow.h"

#include "log/windowplace.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Narrower than this, the analysis's lines wrap too often to read.
constexpr int MinimumColumns = 60;
// Fewer lines than this show too little of an analysis to be worth a window.
constexpr int MinimumLines = 12;
constexpr int ResizableFrame = 8;

} // namespace

ReadWindow::ReadWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowDoesNotAcceptFocus)
    , m_text(new QPlainTextEdit(this))
{
    // The scanner goes on typing into the form while the analysis is read: the
    // window never takes the keyboard (and keys sent its way count as the form's).
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QStringLiteral("Разбор чтения"));
    setObjectName(QStringLiteral("ReadWindow"));
    WindowPlace::detachFromParent(this);
    m_text->setObjectName(QStringLiteral("ReadWindowText"));
    m_text->setReadOnly(true);
    // Read-only, but selectable: the operator copies from it with the mouse and
    // its context menu, and a screen reader follows its caret.
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_text->setAccessibleName(QStringLiteral("Разбор чтения"));
    // Columns of hex and names line up in a fixed-pitch font.
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Scroll bars that come and go change the box's children while a screen reader
    // counts them, and Qt 6.4's scroll area answers a child past the end with a
    // stray pointer: the bars stay as they are.
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_text);
    // Room for a marking code of 85 characters and its names on one line, and for
    // the whole analysis of one, as far as the screen allows.
    const QFontMetrics metrics(m_text->font());
    resize(metrics.horizontalAdvance(QLatin1Char('0')) * 100 + 40, metrics.lineSpacing() * 32 + 40);
}

void ReadWindow::showAnalysis(const QString &title, const QString &text)
{
    setWindowTitle(title);
    // Plain text: what the scanner sent is never taken as markup.
    m_text->setPlainText(text);
    if (!isVisible())
        place();
    show();
    raise();
}

// Beside the tool's other windows, to the right of the main window, else to its
// left, else below, as large as the room there allows: it covers neither the main
// window nor what the test codes window keeps in view (its symbol and verdict).
void ReadWindow::place()
{
    const QWidget *form = parentWidget() ? parentWidget()->window() : nullptr;
    const QRect anchor = form ? form->frameGeometry() : QRect();
    const QScreen *screen = form ? form->screen() : this->screen();
    // Not framed yet: the main window's frame stands for its own, with room for
    // the wider borders and grip a window manager gives a window that can be
    // resized (the main window cannot).
    const QSize frame
        = form ? form->frameGeometry().size() - form->size() + QSize(ResizableFrame, ResizableFrame)
               : QSize();
    const QSize wanted = size() + frame;
    const QFontMetrics metrics(m_text->font());
    const QSize least = QSize(metrics.horizontalAdvance(QLatin1Char('0')) * MinimumColumns,
                            metrics.lineSpacing() * MinimumLines)
        + frame;
    const QList<QRect> rooms = WindowPlace::freeRooms(
        screen->availableGeometry(), WindowPlace::keptInView(this), anchor);
    if (rooms.isEmpty())
        return;
    // The first room that holds the least readable window; else the largest.
    auto room = std::find_if(rooms.begin(), rooms.end(), [&](const QRect &free) {
        return free.width() >= least.width() && free.height() >= least.height();
    });
    if (room == rooms.end())
        room = std::max_element(rooms.begin(), rooms.end(), [](const QRect &a, const QRect &b) {
            return qint64(a.width()) * a.height() < qint64(b.width()) * b.height();
        });
    const QRect placed = WindowPlace::placeIn(*room, wanted, anchor);
    resize((placed.size() - frame).expandedTo(QSize(1, 1)));
    WindowPlace::moveFrame(this, placed.topLeft(), form ? WindowPlace::inset(form) : QPoint());
}

QString ReadWindow::text() const
{
    return m_text->toPlainText();
}
