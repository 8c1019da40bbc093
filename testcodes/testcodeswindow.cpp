#include "testcodes/testcodeswindow.h"

#include "codes/readtext.h"
#include "errors/runtimeerror.h"
#include "testcodes/owncode.h"
#include "testcodes/symbol.h"
#include "testcodes/symbolview.h"
#include "testcodes/testcodeset.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <new>

namespace {

const QString waiting = QStringLiteral("Ожидаю чтение: прочитайте код с экрана сканером.");
const QString ownName = QStringLiteral("Свой код");

QLabel *plainLabel(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// A read-only text of so many lines that scrolls when it holds more, so that a
// long content, verdict or tally never makes the window grow.
QPlainTextEdit *scrollingText(QWidget *parent, int lines = 6)
{
    auto *text = new QPlainTextEdit(parent);
    text->setReadOnly(true);
    const int margins = 2 * (text->frameWidth() + int(text->document()->documentMargin()));
    text->setFixedHeight(text->fontMetrics().lineSpacing() * lines + margins);
    return text;
}

// The verdict shows whole, without scrolling, for a match with its additions
// plus up to three faults of about four lines each in the side column; the
// tally for a few kinds of fault and warning and the time between reads.
constexpr int verdictLines = 16;
constexpr int tallyLines = 6;

// The side column's width in average characters: the texts need at least the
// first, are easiest to read at the second.
constexpr int sideMinChars = 24;
constexpr int sideChars = 36;

} // namespace

TestCodesWindow::TestCodesWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowDoesNotAcceptFocus)
    , m_view(new SymbolView(this))
    , m_position(plainLabel(this))
    , m_name(plainLabel(this))
    , m_content(scrollingText(this))
    , m_details(plainLabel(this))
    , m_reveals(plainLabel(this))
    , m_verdict(scrollingText(this, verdictLines))
    , m_tally(scrollingText(this, tallyLines))
    , m_previous(new QPushButton(QStringLiteral("◀ Предыдущий"), this))
    , m_next(new QPushButton(QStringLiteral("Следующий ▶"), this))
    , m_own(new QPushButton(QStringLiteral("Свой код…"), this))
    , m_info(new QWidget(this))
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
    m_tally->setObjectName(QStringLiteral("tally"));
    m_own->setObjectName(QStringLiteral("ownCode"));

    QFont bold = m_name->font();
    bold.setBold(true);
    m_name->setFont(bold);
    m_content->setWordWrapMode(QTextOption::WrapAnywhere);
    m_content->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_content->setFixedHeight(m_content->fontMetrics().lineSpacing() * 6);
    m_content->setAccessibleName(QStringLiteral("Содержимое кода"));
    m_verdict->setAccessibleName(QStringLiteral("Итог сравнения"));
    m_tally->setAccessibleName(QStringLiteral("Счёт чтений"));
    m_own->setToolTip(QStringLiteral("Содержимое своей этикетки, чтобы сравнивать чтения с ним"));
    for (QPushButton *button : { m_previous, m_next, m_own }) {
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::NoFocus);
    }

    auto *contentCaption = plainLabel(this);
    contentCaption->setText(QStringLiteral("Содержимое:"));
    auto *verdictCaption = plainLabel(this);
    verdictCaption->setText(QStringLiteral("Итог сравнения с последним чтением:"));
    auto *tallyCaption = plainLabel(this);
    tallyCaption->setText(QStringLiteral("Все чтения этого кода:"));

    m_buttons = new QHBoxLayout;
    m_buttons->addWidget(m_previous);
    m_buttons->addWidget(m_next);
    auto *info = new QVBoxLayout(m_info);
    info->setContentsMargins({});
    info->addWidget(m_position);
    info->addWidget(m_name);
    info->addWidget(contentCaption);
    info->addWidget(m_content);
    info->addWidget(m_details);
    info->addWidget(m_reveals);
    info->addWidget(verdictCaption);
    info->addWidget(m_verdict);
    info->addWidget(tallyCaption);
    info->addWidget(m_tally);
    info->addStretch(1);
    // On a low screen the texts scroll; the buttons stay in view below them.
    auto *scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(true);
    scroll->setWidget(m_info);
    auto *side = new QVBoxLayout(m_side);
    side->setContentsMargins({});
    side->addWidget(scroll, 1);
    side->addLayout(m_buttons);
    side->addWidget(m_own);
    m_side->setFixedWidth(m_side->fontMetrics().averageCharWidth() * sideChars);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_side);

    connect(
        m_previous, &QPushButton::clicked, this, [this] { untrapped([this] { showPrevious(); }); });
    connect(m_next, &QPushButton::clicked, this, [this] { untrapped([this] { showNext(); }); });
    connect(m_own, &QPushButton::clicked, this, [this] { untrapped([this] { enterOwnCode(); }); });
    showCode(0);
}

void TestCodesWindow::showCode(int index)
{
    const QList<TestCode> &set = testCodeSet();
    m_index = int(((index % set.size()) + set.size()) % set.size());
    const TestCode &code = set.at(m_index);
    m_ownShown = false;
    m_view->setSymbol(Symbol::make(code));
    m_view->setAccessibleName(code.name);
    m_position->setText(QStringLiteral("Код %1 из %2")
                            .arg(QString::number(m_index + 1), QString::number(set.size())));
    m_name->setText(code.name);
    m_details->setText(
        QStringLiteral("%1 байт. Идентификатор символики: %2 (сканер "
                       "присылает его первым, если так настроен).")
            .arg(QString::number(code.content.size()), QString::fromLatin1(code.symbologyId)));
    m_reveals->setText(QStringLiteral("Что выявляет: ") + code.reveals);
    restart({ code.content, code.symbologyId }, waiting);
}

void TestCodesWindow::showOwnCode(const ExpectedCode &code)
{
    m_ownShown = true;
    m_ownCode = code;
    m_view->setText(QStringLiteral("Прочитайте свою этикетку сканером."));
    m_view->setAccessibleName(ownName);
    m_position->setText(QStringLiteral("Не из набора: введён оператором"));
    m_name->setText(ownName);
    // The identifier is the operator's text: joined, never a format.
    m_details->setText(ReadText::plural(code.content.size(), "байт", "байта", "байт")
        + (code.symbologyId.isEmpty()
                ? QStringLiteral(". Идентификатор символики не задан: годится любой.")
                : QStringLiteral(". Идентификатор символики: ")
                    + QString::fromLatin1(code.symbologyId) + u'.'));
    m_reveals->setText(QStringLiteral("Чтения сравниваются с ним, как с тестовыми кодами. "
                                      "Он не сохраняется: после выхода из программы его нет."));
    restart(code, QStringLiteral("Ожидаю чтение: прочитайте свою этикетку сканером."));
}

void TestCodesWindow::restart(const ExpectedCode &code, const QString &waiting)
{
    m_expected = code;
    m_content->setPlainText(OwnCode::shown(code.content));
    m_lastRead.reset();
    m_reads.clear();
    setVerdict(waiting);
}

QString TestCodesWindow::verdict() const
{
    return m_verdict->toPlainText();
}

QString TestCodesWindow::tally() const
{
    return m_tally->toPlainText();
}

bool TestCodesWindow::fitInto(QSize room)
{
    m_fitted = true;
    const qreal ratio = devicePixelRatioF();
    const QMargins margins = layout()->contentsMargins();
    const int across = margins.left() + margins.right() + layout()->spacing();
    const int down = margins.top() + margins.bottom();
    const int character = m_side->fontMetrics().averageCharWidth();
    const int height = room.height() - down;
    // The view for a room: each symbol at the most it gets there up to `cap` and
    // its comfortable scale, the view as large as the largest needs.
    bool every = true;
    const auto viewIn = [&](int width, int cap) {
        QSize view(0, 0);
        for (const TestCode &code : testCodeSet()) {
            const Symbol symbol = Symbol::make(code);
            const int scale = std::min({ cap, SymbolView::comfortableScale(symbol, ratio),
                SymbolView::scaleIn(symbol, QSize(width, height), ratio) });
            if (scale == 0)
                every = false;
            else
                view = view.expandedTo(SymbolView::sizeAt(symbol, scale, ratio));
        }
        return view;
    };
    // The texts as wide as they read best, unless a symbol would then get fewer
    // than three pixels a module; larger symbols only in the room left.
    const int narrowest = sideMinChars * character;
    const QSize least = viewIn(room.width() - across - narrowest, 3);
    const int side = std::clamp(room.width() - across - least.width(), narrowest,
        std::max(narrowest, sideChars * character));
    // When some symbol does not fit, all the room goes to the notice.
    const QSize view = every ? viewIn(room.width() - across - side, INT_MAX)
                             : QSize(room.width() - across - side, height).expandedTo({ 0, 0 });
    m_side->setFixedWidth(side);
    // Buttons side by side where their captions fit so, else one above the other.
    const bool stacked = m_previous->sizeHint().width() + m_next->sizeHint().width()
            + m_buttons->spacing() > side;
    m_buttons->setDirection(stacked ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
    // The side column as high as the longest texts of any code need.
    int texts = 0;
    const int current = m_index;
    const bool own = m_ownShown;
    for (int index = 0; index < testCodeSet().size(); ++index) {
        showCode(index);
        texts = std::max(texts, m_info->layout()->totalHeightForWidth(side));
    }
    showCode(current);
    if (own)
        showOwnCode(m_ownCode);
    texts += 2 * m_side->layout()->spacing() + m_buttons->sizeHint().height()
        + m_own->sizeHint().height();
    setFixedSize(std::min(view.width() + side + across, room.width()),
        std::min(std::max(view.height(), texts) + down, room.height()));
    return every;
}

void TestCodesWindow::readArrived(const ArrivedRead &read)
{
    if (!isVisible())
        return;
    try {
        const ArrivedRead *previous = m_lastRead ? &*m_lastRead : nullptr;
        const ReadVerdict verdict = judgeRead(m_expected, read, previous);
        m_reads.add(verdict, read, previous);
        m_lastRead = read;
        setVerdict(verdict.text());
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

void TestCodesWindow::enterOwnCode()
{
    if (m_dialog)
        return;
    // Modal: the keys typed into it are the operator's, not a scanner's for the log.
    m_dialog = new OwnCodeDialog(m_ownCode, this);
    m_dialog->setAttribute(Qt::WA_DeleteOnClose);
    m_dialog->setWindowModality(Qt::ApplicationModal);
    connect(m_dialog, &QDialog::accepted, this,
        [this, dialog = m_dialog] { untrapped([&] { showOwnCode(dialog->code()); }); });
    // The keyboard goes back to the main window, as this one never takes it: else
    // the window system might leave it nowhere, and a scanner would type into the
    // void.
    connect(m_dialog, &QDialog::finished, this, [this] {
        untrapped([this] {
            if (QWidget *main = parentWidget())
                main->window()->activateWindow();
        });
    });
    m_dialog->show();
}

void TestCodesWindow::setVerdict(const QString &text)
{
    const QString tally = m_reads.text();
    m_verdict->setPlainText(text);
    m_tally->setPlainText(tally);
    setAccessibleDescription(text + u'\n' + tally);
}

void TestCodesWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_fitted)
        untrapped([this] { placeBesideParent(); });
}

// Beside the main window, on the side with more room, so that the log and the
// boxes stay in view; within the screen the main window is on. The size is fitted
// to the room there, or to the whole screen when a symbol would not fit beside it.
void TestCodesWindow::placeBesideParent()
{
    QWidget *main = parentWidget() ? parentWidget()->window() : nullptr;
    QScreen *screen = main ? main->screen() : this->screen();
    const QRect available = screen->availableGeometry();
    if (!main) {
        fitInto(available.size());
        return;
    }
    // This window is not framed yet: the main window's frame stands for its own.
    const QRect beside = main->frameGeometry();
    const QSize frame = beside.size() - main->size();
    const int right = available.right() - beside.right();
    const int left = beside.left() - available.left();
    if (!fitInto(QSize(std::max(left, right), available.height()) - frame))
        fitInto(available.size() - frame);
    const QSize outer = size() + frame;
    int x;
    if (right >= outer.width())
        x = beside.right() + 1;
    else if (left >= outer.width())
        x = beside.left() - outer.width();
    else
        x = right >= left ? available.right() + 1 - outer.width() : available.left();
    const int y = std::clamp(beside.top(), available.top(),
        std::max(available.top(), available.bottom() + 1 - outer.height()));
    move(std::max(x, available.left()), y);
}
