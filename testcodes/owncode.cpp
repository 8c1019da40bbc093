#include "testcodes/owncode.h"

#include "codes/readtext.h"
#include "errors/runtimeerror.h"
#include "text/codepages.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

// The character ReadText::visibleText names so, or a null QChar.
QChar namedCharacter(QStringView name)
{
    for (int code = 0; code < 256; ++code) {
        const QChar ch = CodePages::fromCp1251(quint8(code));
        if (code != 0x20 && !ch.isNull()
            && name.compare(ReadText::nameOf(quint8(code)), Qt::CaseInsensitive) == 0)
            return ch;
    }
    return {};
}

} // namespace

namespace OwnCode {

QString shown(const QByteArray &content)
{
    return ReadText::visibleText(QString::fromUtf8(content));
}

std::optional<QByteArray> content(const QString &text, QString *error)
{
    QByteArray bytes;
    qsizetype from = 0;
    while (from < text.size()) {
        const qsizetype open = text.indexOf(u'«', from);
        bytes += QStringView(text).mid(from, open < 0 ? -1 : open - from).toUtf8();
        if (open < 0)
            break;
        const qsizetype close = text.indexOf(u'»', open + 1);
        if (close < 0) {
            *error = QStringLiteral("Кавычка « не закрыта: имя управляющего символа пишется "
                                    "между « и », например «GS».");
            return std::nullopt;
        }
        const QStringView name = QStringView(text).mid(open + 1, close - open - 1);
        const QChar named = namedCharacter(name);
        if (named.isNull()) {
            *error = QStringLiteral("Нет управляющего символа с именем «") + name.toString()
                + QStringLiteral("». Имена: «GS», «RS», «EOT», «CR», «LF», «HT» и другие "
                                 "из таблицы ASCII (от «NUL» до «US», «DEL»), «NBSP», «SHY».");
            return std::nullopt;
        }
        bytes += QString(named).toUtf8();
        from = close + 1;
    }
    if (bytes.isEmpty()) {
        *error = QStringLiteral("Введите содержимое этикетки.");
        return std::nullopt;
    }
    return bytes;
}

std::optional<QByteArray> identifier(const QString &text, QString *error)
{
    const QString id = text.trimmed();
    const auto letter = [](QChar c) { return c.isLetter() && c.unicode() < 128; };
    if (id.isEmpty())
        return QByteArray();
    if (id.size() == 3 && id[0] == u']' && letter(id[1]) && (letter(id[2]) || id[2].isDigit()))
        return id.toLatin1();
    *error = QStringLiteral("Идентификатор символики — знак ], латинская буква и цифра или "
                            "буква, например ]d2, ]C1, ]Q1; или оставьте поле пустым.");
    return std::nullopt;
}

} // namespace OwnCode

OwnCodeDialog::OwnCodeDialog(const ExpectedCode &code, QWidget *parent)
    : QDialog(parent)
    , m_content(new QLineEdit(OwnCode::shown(code.content), this))
    , m_identifier(new QLineEdit(QString::fromLatin1(code.symbologyId), this))
    , m_error(new QLabel(this))
    , m_code(code)
{
    setWindowTitle(QStringLiteral("Свой код"));
    auto *help = new QLabel(this);
    help->setTextFormat(Qt::PlainText);
    help->setWordWrap(true);
    help->setTextInteractionFlags(Qt::TextSelectableByMouse);
    help->setText(QStringLiteral(
        "Содержимое своей этикетки — как его должен прислать сканер, без префикса и "
        "окончания. Буквы, и русские тоже, — как есть: в коде они байты UTF-8. "
        "Управляющий символ — его имя в «»: «GS», «RS», «EOT», «CR», «LF», «HT» (кавычки "
        "можно скопировать отсюда).\n"
        "Пока это окно открыто, сканер в режиме клавиатуры печатает в него. Свой код не "
        "сохраняется: после выхода из программы его нет."));
    m_error->setTextFormat(Qt::PlainText);
    m_error->setWordWrap(true);
    m_error->setObjectName(QStringLiteral("error"));
    m_error->hide();
    m_content->setObjectName(QStringLiteral("ownContent"));
    m_identifier->setObjectName(QStringLiteral("ownIdentifier"));
    m_content->setAccessibleName(QStringLiteral("Содержимое своего кода"));
    m_identifier->setAccessibleName(QStringLiteral("Идентификатор символики своего кода"));
    m_identifier->setPlaceholderText(QStringLiteral("любой, например ]d2"));
    m_content->setMinimumWidth(m_content->fontMetrics().averageCharWidth() * 48);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { untrapped([this] { accept(); }); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { untrapped([this] { reject(); }); });
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Содержимое:"), m_content);
    form->addRow(QStringLiteral("Идентификатор:"), m_identifier);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(help);
    layout->addLayout(form);
    layout->addWidget(m_error);
    layout->addWidget(buttons);
}

void OwnCodeDialog::accept()
{
    QString error;
    const std::optional<QByteArray> content = OwnCode::content(m_content->text(), &error);
    const std::optional<QByteArray> identifier
        = content ? OwnCode::identifier(m_identifier->text(), &error) : std::nullopt;
    if (!identifier) {
        m_error->setText(error);
        m_error->show();
        adjustSize(); // the wrapped texts keep their lines
        (content ? m_identifier : m_content)->setFocus();
        return;
    }
    m_code = { *content, *identifier };
    QDialog::accept();
}
