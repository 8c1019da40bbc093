#include "testcodes/testcodeswindow.h"

#include "codes/readtext.h"
#include "errors/runtimeerror.h"
#include "log/windowplace.h"
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
    // Scroll bars that come and go as the text changes change the box's children
    // while a screen reader counts them, and Qt 6.4's scroll area answers a child
    // past the end with a stray pointer: the bars stay as they are.
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int margins = 2 * (text->frameWidth() + int(text->document()->documentMargin()));
    text->setFixedHeight(text->fontMetrics().lineSpacing() * lines + margins);
    return text;
}

// The verdict shows whole, without scrolling, for a match with its additions
// plus up to three faults of about three lines each in the side column; the
// tally for a few kinds of fault and warning and the time between reads.
constexpr int verdictLines = 12;
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
    // Beside the main window, never kept above it; the analysis of a read, when
    // it opens, leaves the symbol and the verdict in view.
    WindowPlace::detachFromParent(this);
    WindowPlace::keepInView(m_view);
    WindowPlace::keepInView(m_verdict);
    nameWidgets();
    layOut();
    connect(
        m_previous, &QPushButton::clicked, this, [this] { untrapped([this] { showPrevious(); }); });
    connect(m_next, &QPushButton::clicked, this, [this] { untrapped([this] { showNext(); }); });
    connect(m_own, &QPushButton::clicked, this, [this] { untrapped([this] { enterOwnCode(); }); });
    showCode(0);
}

// Names for tests (objectName) and for screen readers (accessible names), fonts,
// and buttons that leave the keyboard to the main window.
void TestCodesWindow::nameWidgets()
{
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
}

// The symbol at the top left, the texts and buttons in a column beside it.
void TestCodesWindow::layOut()
{
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
    for (QWidget *widget : std::initializer_list<QWidget *> { m_position, m_name, contentCaption,
             m_content, m_details, m_reveals, verdictCaption, m_verdict, tallyCaption, m_tally })
        info->addWidget(widget);
    info->addStretch(1);
    // On a low screen the texts scroll; the buttons stay in view below them.
    auto *scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    // Its bars never come and go (see scrollingText).
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    scroll->setWidgetResizable(true);
    scroll->setWidget(m_info);
    auto *side = new QVBoxLayout(m_side);
    side->setContentsMargins({});
    side->addWidget(scroll, 1);
    side->addLayout(m_buttons);
    side->addWidget(m_own);
    m_side->setFixedWidth(m_side->fontMetrics().averageCharWidth() * sideChars);
    // The symbol keeps its own size at the top: the room under it is where the
    // analysis of a read may go.
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_view, 1, Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(m_side);
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
    m_view->setFixedSize(view);
    // Buttons side by side where their captions fit so, else one above the other.
    const bool stacked
        = m_previous->sizeHint().width() + m_next->sizeHint().width() + m_buttons->spacing() > side;
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

// Beside the main window (right, else left, else below), so that the log and the
// boxes stay in view; within the screen the main window is on, sized to the room
// there. Where no room beside it holds every symbol, the main window moves to the
// edge of the screen nearer it first, leaving the whole other side.
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
    const QSize frame = main->frameGeometry().size() - main->size();
    QRect anchor = main->frameGeometry();
    if (placeBeside(anchor, available, frame))
        return;
    anchor.moveLeft(anchor.center().x() <= available.center().x()
            ? available.left()
            : available.right() + 1 - anchor.width());
    main->move(anchor.topLeft());
    if (placeBeside(anchor, available, frame))
        return;
    // A screen too small for some symbol: the largest room, with a notice in the
    // symbol's place where it does not fit.
    const QList<QRect> rooms = WindowPlace::freeRooms(available, { anchor }, anchor);
    const auto room
        = std::max_element(rooms.begin(), rooms.end(), [](const QRect &a, const QRect &b) {
              return a.width() * a.height() < b.width() * b.height();
          });
    if (room == rooms.end())
        return;
    fitInto(room->size() - frame);
    WindowPlace::moveFrame(this, WindowPlace::placeIn(*room, size() + frame, anchor).topLeft(),
        WindowPlace::inset(parentWidget()->window()));
}

bool TestCodesWindow::placeBeside(const QRect &anchor, const QRect &available, QSize frame)
{
    for (const QRect &room : WindowPlace::freeRooms(available, { anchor }, anchor)) {
        // Lower than half the screen, the texts would have too little room.
        if (room.height() * 2 < available.height())
            continue;
        if (fitInto(room.size() - frame)) {
            WindowPlace::moveFrame(this, WindowPlace::placeIn(room, size() + frame, anchor).topLeft(),
                WindowPlace::inset(parentWidget()->window()));
            return true;
        }
    }
    return false;
}
