#include "testcodeswindow.h"

#include "readcompare.h"
#include "readtext.h"
#include "runtimeerror.h"
#include "symbol.h"
#include "symbolview.h"
#include "testcodeset.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <new>

namespace {

const QString waiting = QStringLiteral("Ожидаю чтение: прочитайте код с экрана сканером.");

// The content as UTF-8 text, each control character by the name the read
// analysis gives it, so that nothing invisible hides in it.
QString contentText(const QByteArray &content)
{
    QString shown;
    for (const QChar ch : QString::fromUtf8(content)) {
        if (ch.unicode() < 32 || ch.unicode() == 127)
            shown += u'«' + ReadText::controlName(quint8(ch.unicode())) + u'»';
        else
            shown += ch;
    }
    return shown;
}

QLabel *plainLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

TestCodesWindow::TestCodesWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowDoesNotAcceptFocus)
    , m_view(new SymbolView(this))
    , m_position(plainLabel(this))
    , m_name(plainLabel(this))
    , m_content(new QPlainTextEdit(this))
    , m_details(plainLabel(this))
    , m_reveals(plainLabel(this))
    , m_verdict(plainLabel(this))
    , m_previous(new QPushButton(QStringLiteral("◀ Предыдущий"), this))
    , m_next(new QPushButton(QStringLiteral("Следующий ▶"), this))
    , m_side(new QWidget(this))
{
    setWindowTitle(QStringLiteral("Тестовые коды"));
    // A scanner in keyboard mode types into the window that has the keyboard: this
    // one must leave it to the main window, whose log records the keys.
    setAttribute(Qt::WA_ShowWithoutActivating);

    m_view->setObjectName(QStringLiteral("symbolView"));
    m_position->setObjectName(QStringLiteral("position"));
    m_name->setObjectName(QStringLiteral("codeName"));
    m_content->setObjectName(QStringLiteral("content"));
    m_details->setObjectName(QStringLiteral("details"));
    m_reveals->setObjectName(QStringLiteral("reveals"));
    m_verdict->setObjectName(QStringLiteral("verdict"));
    m_previous->setObjectName(QStringLiteral("previous"));
    m_next->setObjectName(QStringLiteral("next"));

    QFont bold = m_name->font();
    bold.setBold(true);
    m_name->setFont(bold);
    m_content->setReadOnly(true);
    m_content->setWordWrapMode(QTextOption::WrapAnywhere);
    m_content->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_content->setFixedHeight(m_content->fontMetrics().lineSpacing() * 6);
    m_content->setAccessibleName(QStringLiteral("Содержимое кода"));
    m_verdict->setAccessibleName(QStringLiteral("Итог сравнения"));
    for (QPushButton *button : { m_previous, m_next }) {
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::NoFocus);
    }

    auto *contentCaption = plainLabel(this);
    contentCaption->setText(QStringLiteral("Содержимое:"));
    auto *verdictCaption = plainLabel(this);
    verdictCaption->setText(QStringLiteral("Итог сравнения с последним чтением:"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_previous);
    buttons->addWidget(m_next);
    auto *side = new QVBoxLayout;
    side->addWidget(m_position);
    side->addWidget(m_name);
    side->addWidget(contentCaption);
    side->addWidget(m_content);
    side->addWidget(m_details);
    side->addWidget(m_reveals);
    side->addWidget(verdictCaption);
    side->addWidget(m_verdict);
    side->addStretch(1);
    side->addLayout(buttons);
    m_side->setLayout(side);
    m_side->setFixedWidth(m_side->fontMetrics().averageCharWidth() * 36);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_side);

    connect(m_previous, &QPushButton::clicked, this, [this] { untrapped([this] { showPrevious(); }); });
    connect(m_next, &QPushButton::clicked, this, [this] { untrapped([this] { showNext(); }); });
    showCode(0);
}

void TestCodesWindow::showCode(int index)
{
    const QList<TestCode> &set = testCodeSet();
    m_index = int(((index % set.size()) + set.size()) % set.size());
    const TestCode &code = set.at(m_index);
    m_view->setSymbol(Symbol::make(code));
    m_view->setAccessibleName(code.name);
    m_position->setText(QStringLiteral("Код %1 из %2")
                            .arg(QString::number(m_index + 1), QString::number(set.size())));
    m_name->setText(code.name);
    m_content->setPlainText(contentText(code.content));
    m_details->setText(
        QStringLiteral("%1 байт. Идентификатор символики: %2 (сканер "
                       "присылает его первым, если так настроен).")
            .arg(QString::number(code.content.size()), QString::fromLatin1(code.symbologyId)));
    m_reveals->setText(QStringLiteral("Что выявляет: ") + code.reveals);
    setVerdict(waiting);
}

QString TestCodesWindow::verdict() const
{
    return m_verdict->text();
}

void TestCodesWindow::readArrived(const QByteArray &read, ReadMode mode)
{
    if (!isVisible())
        return;
    try {
        const QStringList differences = compareReads(testCodeSet().at(m_index).content, read, mode);
        if (differences.isEmpty())
            setVerdict(QStringLiteral("Совпало байт в байт."));
        else
            setVerdict(
                QStringLiteral("Не совпало:\n• ") + differences.join(QStringLiteral("\n• ")));
    } catch (const std::bad_alloc &) {
        setVerdict(QStringLiteral("Чтение не удалось сравнить: не хватило памяти."));
    } catch (...) {
        setVerdict(QStringLiteral("Чтение не удалось сравнить."));
    }
}

void TestCodesWindow::showPrevious()
{
    showCode(m_index - 1);
}

void TestCodesWindow::showNext()
{
    showCode(m_index + 1);
}

void TestCodesWindow::setVerdict(const QString &text)
{
    m_verdict->setText(text);
    setAccessibleDescription(text);
    fitSide();
}

// Wrapped labels give a top-level window no height of their own: the side column
// asks for the height its texts need at its width, so that none is cut off.
void TestCodesWindow::fitSide()
{
    m_side->setMinimumHeight(m_side->layout()->totalHeightForWidth(m_side->width()));
}
