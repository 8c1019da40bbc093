#include "log/readwindow.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int Gap = 8;
// Narrower than this, the analysis's lines wrap too often to read.
constexpr int MinimumColumns = 60;

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
    m_text->setObjectName(QStringLiteral("ReadWindowText"));
    m_text->setReadOnly(true);
    // Read-only, but selectable: the operator copies from it with the mouse and
    // its context menu, and a screen reader follows its caret.
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_text->setAccessibleName(QStringLiteral("Разбор чтения"));
    // Columns of hex and names line up in a fixed-pitch font.
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
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

// Beside the tool's other windows (the form, the test codes), to their right,
// else to their left, as wide as the room there allows, so that it covers none
// of them.
void ReadWindow::place()
{
    QRect taken;
    const QWidget *form = parentWidget() ? parentWidget()->window() : nullptr;
    for (const QWidget *widget : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = widget->windowType();
        if (widget != this && widget->isVisible() && (type == Qt::Window || type == Qt::Dialog))
            taken |= widget->frameGeometry();
    }
    if (taken.isNull())
        return;
    const QScreen *screen = form ? form->screen() : this->screen();
    const QRect room = screen->availableGeometry();
    const int frame = frameGeometry().width() - width();
    const int least = QFontMetrics(m_text->font()).horizontalAdvance(QLatin1Char('0')) * MinimumColumns;
    const int right = room.right() + 1 - (taken.right() + 1 + Gap) - frame;
    const int left = taken.left() - Gap - room.left() - frame;
    const int top = std::clamp(taken.top(), room.top(), std::max(room.top(), room.bottom() + 1 - height()));
    if (right >= std::min(width(), least)) {
        resize(std::min(width(), right), height());
        move(taken.right() + 1 + Gap, top);
    } else if (left >= std::min(width(), least)) {
        resize(std::min(width(), left), height());
        move(taken.left() - Gap - frame - width(), top);
    } else {
        move(std::max(room.left(), room.right() + 1 - width() - frame), top);
    }
}

QString ReadWindow::text() const
{
    return m_text->toPlainText();
}
