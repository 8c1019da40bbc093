#include "testcodes/owncode.h"

#include "codes/readtext.h"
#include "errors/runtimeerror.h"
#include "keys/keytext.h"
#include "text/codepages.h"
#include "text/notation.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
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

bool isControl(char32_t ch)
{
    return ch < 0x20 || ch == 0x7f;
}

// The character a spelling's captured part stands for: a name, a caret's
// letter, a number in hex or octal.
QChar spelledCharacter(int form, const QString &part)
{
    bool number = false;
    int code = -1;
    switch (form) {
    case 0:
        return namedCharacter(part);
    case 1:
        code = part.at(0).unicode() ^ 0x40; // ^] is 0x5D - 0x40, ^? is DEL
        break;
    case 2:
        code = part.toInt(&number, 16);
        break;
    default:
        code = part.toInt(&number, 8);
        break;
    }
    return code >= 0 && isControl(char32_t(code)) ? QChar(code) : QChar();
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

std::optional<Spelling> spelledControl(const QString &text, const QStringList &literal)
{
    // One pattern a form: names in <>, {} or [], a caret and a letter, a number in
    // hex (\x1D, \u001D) or octal (\035).
    static const QRegularExpression forms[] = {
        QRegularExpression(
            QStringLiteral(R"(<([A-Za-z]{2,4})>|\{([A-Za-z]{2,4})\}|\[([A-Za-z]{2,4})\])")),
        QRegularExpression(QStringLiteral(R"(\^([@A-Z\[\\\]^_?]))")),
        QRegularExpression(QStringLiteral(R"(\\x([0-9A-Fa-f]{2})|\\u00([0-9A-Fa-f]{2}))")),
        QRegularExpression(QStringLiteral(R"(\\([0-3][0-7]{2}))")),
    };
    std::optional<Spelling> first;
    qsizetype at = text.size();
    for (int form = 0; form < 4; ++form) {
        for (const QRegularExpressionMatch &match : forms[form].globalMatch(text)) {
            if (match.capturedStart() >= at)
                break;
            QString part;
            for (int group = 1; group <= match.lastCapturedIndex() && part.isEmpty(); ++group)
                part = match.captured(group);
            const QChar meant = spelledCharacter(form, part);
            if (!meant.isNull() && !literal.contains(match.captured())) {
                first = Spelling { match.captured(), meant };
                at = match.capturedStart();
                break;
            }
        }
    }
    return first;
}

} // namespace OwnCode

OwnCodeDialog::OwnCodeDialog(const ExpectedCode &code, QWidget *parent)
    : QDialog(parent)
    , m_content(new QLineEdit(OwnCode::shown(code.content), this))
    , m_identifier(new QLineEdit(QString::fromLatin1(code.symbologyId), this))
    , m_error(new QLabel(this))
    , m_yes(new QPushButton(QStringLiteral("Да"), this))
    , m_no(new QPushButton(QStringLiteral("Нет, так и написано"), this))
    , m_code(code)
{
    setWindowTitle(QStringLiteral("Свой код"));
    m_error->setTextFormat(Qt::PlainText);
    m_error->setWordWrap(true);
    m_error->setObjectName(QStringLiteral("error"));
    m_error->hide();
    m_yes->setObjectName(QStringLiteral("spelledYes"));
    m_no->setObjectName(QStringLiteral("spelledNo"));
    for (QPushButton *button : { m_yes, m_no }) {
        button->setAutoDefault(false);
        button->hide();
    }
    m_content->setObjectName(QStringLiteral("ownContent"));
    m_identifier->setObjectName(QStringLiteral("ownIdentifier"));
    m_content->setAccessibleName(QStringLiteral("Содержимое своего кода"));
    m_identifier->setAccessibleName(QStringLiteral("Идентификатор символики своего кода"));
    m_identifier->setPlaceholderText(QStringLiteral("любой, например ]d2"));
    m_content->setMinimumWidth(m_content->fontMetrics().averageCharWidth() * 48);
    // A scanner's keys are taken before the line edit drops the control
    // characters among them and the dialog takes its Enter for OK.
    m_content->installEventFilter(this);
    connect(m_content, &QLineEdit::textEdited, this,
        [this](const QString &text) { untrapped([&] { contentEdited(text); }); });
    connect(m_yes, &QPushButton::clicked, this,
        [this] { untrapped([this] { answerSpelling(true); }); });
    connect(m_no, &QPushButton::clicked, this,
        [this] { untrapped([this] { answerSpelling(false); }); });
    layOut();
}

void OwnCodeDialog::layOut()
{
    auto *help = new QLabel(this);
    help->setTextFormat(Qt::PlainText);
    help->setWordWrap(true);
    help->setTextInteractionFlags(Qt::TextSelectableByMouse);
    help->setText(QStringLiteral(
        "Содержимое своей этикетки — как его должен прислать сканер, без префикса и "
        "окончания. Буквы, и русские тоже, — как есть: в коде они байты UTF-8. "
        "Управляющий символ — его имя в «»: «GS», «RS», «EOT», «CR», «LF», «HT» (кавычки "
        "можно скопировать отсюда).\n"
        "Пока это окно открыто, сканер в режиме клавиатуры печатает в него: отсканируйте "
        "этикетку в поле содержимого, управляющие символы придут с именами, а Enter или "
        "Tab сканера закончат скан, не закрывая окна. Свой код не сохраняется: после "
        "выхода из программы его нет."));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(
        buttons, &QDialogButtonBox::accepted, this, [this] { untrapped([this] { accept(); }); });
    connect(
        buttons, &QDialogButtonBox::rejected, this, [this] { untrapped([this] { reject(); }); });
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Содержимое:"), m_content);
    form->addRow(QStringLiteral("Идентификатор:"), m_identifier);
    auto *answers = new QHBoxLayout;
    answers->addWidget(m_yes);
    answers->addWidget(m_no);
    answers->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(help);
    layout->addLayout(form);
    layout->addWidget(m_error);
    layout->addLayout(answers);
    layout->addWidget(buttons);
}

bool OwnCodeDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_content || event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        // A scanner's suffix: the scan is over, the operator checks it and says OK.
        say(QStringLiteral("Скан закончен клавишей ")
            + (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab ? QStringLiteral("Tab")
                                                                          : QStringLiteral("Enter"))
            + QStringLiteral(": проверьте содержимое и нажмите OK."));
        return true;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Escape:
        return false; // the operator's editing and Cancel
    default:
        break;
    }
    if (key->matches(QKeySequence::SelectAll) || key->matches(QKeySequence::Copy)
        || key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Cut)
        || key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo))
        return false;
    // Control characters typed (Ctrl+] for GS) by their names, as the window
    // shows them, where the line edit would drop them.
    const QString typed
        = platformKeyText(key->key(), key->modifiers(), key->text(), key->nativeScanCode());
    const QList<uint> characters = typed.toUcs4();
    if (!std::any_of(characters.begin(), characters.end(), [](uint ch) { return isControl(ch); }))
        return false;
    m_content->insert(OwnCode::shown(typed.toUtf8()));
    contentEdited(m_content->text());
    return true;
}

void OwnCodeDialog::contentEdited(const QString &text)
{
    // "]d2" at the start of a scan is the scanner's identifier, not the label's.
    static const QRegularExpression leading(QStringLiteral("^\\][A-Za-z][A-Za-z0-9]"));
    const QRegularExpressionMatch match = leading.match(text);
    if (!match.hasMatch())
        return;
    const int cursor = m_content->cursorPosition();
    m_identifier->setText(match.captured());
    m_content->setText(text.mid(3));
    m_content->setCursorPosition(std::max(0, cursor - 3));
    say(QStringLiteral("Начало скана ") + match.captured()
        + QStringLiteral(" — идентификатор символики: он перенесён в своё поле и будет "
                         "проверяться отдельно."));
}

void OwnCodeDialog::say(const QString &text, bool asking)
{
    m_error->setText(text);
    m_error->show();
    m_yes->setVisible(asking);
    m_no->setVisible(asking);
    adjustSize(); // the wrapped texts keep their lines
}

void OwnCodeDialog::answerSpelling(bool meant)
{
    if (!m_asked)
        return;
    if (meant)
        m_content->setText(m_content->text().replace(
            m_asked->written, OwnCode::shown(QString(m_asked->meant).toUtf8())));
    else
        m_literal << m_asked->written;
    m_asked.reset();
    accept();
}

void OwnCodeDialog::accept()
{
    QString error;
    const std::optional<QByteArray> content = OwnCode::content(m_content->text(), &error);
    const std::optional<QByteArray> identifier
        = content ? OwnCode::identifier(m_identifier->text(), &error) : std::nullopt;
    if (!identifier) {
        say(error);
        (content ? m_identifier : m_content)->setFocus();
        return;
    }
    // Other tools' ways of writing GS and the like are asked about, not taken as
    // the letters they are.
    m_asked = OwnCode::spelledControl(m_content->text(), m_literal);
    if (m_asked) {
        const QString name = Notation::controlName(quint8(m_asked->meant.unicode()));
        const bool separator = QStringList { "FS", "GS", "RS", "US" }.contains(name);
        say(QStringLiteral("«") + m_asked->written + QStringLiteral("» — это ")
                + (separator ? QStringLiteral("разделитель ")
                             : QStringLiteral("управляющий символ "))
                + name + QStringLiteral("?"),
            true);
        return;
    }
    m_code = { *content, *identifier };
    QDialog::accept();
}
