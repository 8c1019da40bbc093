#include "readwindow.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QVBoxLayout>

ReadWindow::ReadWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_text(new QPlainTextEdit(this))
{
    setWindowTitle(QStringLiteral("Разбор чтения"));
    setObjectName(QStringLiteral("ReadWindow"));
    m_text->setObjectName(QStringLiteral("ReadWindowText"));
    m_text->setReadOnly(true);
    // Read-only, but the caret still moves, so that keys select text and a
    // screen reader follows it.
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
    show();
    raise();
    activateWindow();
}

QString ReadWindow::text() const
{
    return m_text->toPlainText();
}
