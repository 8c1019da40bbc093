#include "scanbox.h"

#include "scanboxaccessible.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QStyleHints>
#include <QStyleOptionFrame>

#include <algorithm>
#include <cstdlib>

namespace {

// QLineEdit's own margins around its text, in pixels.
constexpr int HorizontalMargin = 2;
constexpr int VerticalMargin = 1;
// Operator edits kept for undo; the program's own appends are not edits.
constexpr qsizetype UndoLimit = 1000;

bool isTypedText(const QString &text)
{
    if (text.isEmpty())
        return false;
    return std::all_of(text.cbegin(), text.cend(),
        [](QChar ch) { return ch.category() != QChar::Other_Control && ch.unicode() != 0x7F; });
}

// What a shortcut looks like after a menu entry, as QLineEdit's menu shows it.
QString shortcutText(QKeySequence::StandardKey key)
{
    if (QCoreApplication::testAttribute(Qt::AA_DontShowShortcutsInContextMenus)
        || !QGuiApplication::styleHints()->showShortcutsInContextMenus())
        return {};
    return u'\t' + QKeySequence(key).toString(QKeySequence::NativeText);
}

} // namespace

ScanBox::ScanBox(QWidget *parent)
    : QWidget(parent)
{
    static const bool accessible = (QAccessible::installFactory(&ScanBoxAccessible::create), true);
    Q_UNUSED(accessible);

    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAttribute(Qt::WA_MacShowFocusRect);
    setAttribute(Qt::WA_KeyCompression);
    setCursor(Qt::IBeamCursor);
    setBackgroundRole(QPalette::Base);
    setSizePolicy(QSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed, QSizePolicy::LineEdit));
    updateAdvances();
}

ScanBox::~ScanBox() = default;

void ScanBox::setText(const QString &text)
{
    const QString old = m_text;
    m_text = text;
    m_cursor = m_anchor = m_text.size();
    m_undo.clear();
    m_redo.clear();
    m_first = 0;
    m_shift = 0;
    scrollToCursor();
    restartBlink();
    update();
    if (QAccessible::isActive()) {
        QAccessibleTextUpdateEvent changed(this, 0, old, m_text);
        QAccessible::updateAccessibility(&changed);
    }
}

void ScanBox::clear()
{
    setText(QString());
}

void ScanBox::insert(const QString &text)
{
    const qsizetype start = std::min(m_anchor, m_cursor);
    replace(start, std::abs(m_cursor - m_anchor), text, false);
}

void ScanBox::operatorInsert(const QString &text)
{
    const qsizetype start = std::min(m_anchor, m_cursor);
    replace(start, std::abs(m_cursor - m_anchor), text, true);
}

void ScanBox::replace(qsizetype start, qsizetype length, const QString &text, bool byOperator)
{
    if (length == 0 && text.isEmpty())
        return;
    QString removed = m_text.mid(start, length);
    if (start == m_text.size())
        m_text.append(text); // the receive path's case: no copy of what is there
    else
        m_text.replace(start, length, text);
    if (byOperator) {
        m_redo.clear();
        m_undo.append({ start, removed, text });
        if (m_undo.size() > UndoLimit)
            m_undo.removeFirst();
    }
    m_cursor = m_anchor = start + text.size();
    scrollToCursor();
    restartBlink();
    update();
    if (QAccessible::isActive()) {
        if (!removed.isEmpty()) {
            QAccessibleTextRemoveEvent gone(this, int(start), removed);
            QAccessible::updateAccessibility(&gone);
        }
        if (!text.isEmpty()) {
            QAccessibleTextInsertEvent added(this, int(start), text);
            QAccessible::updateAccessibility(&added);
        }
    }
}

void ScanBox::setCursorPosition(int position)
{
    moveCursor(std::clamp<qsizetype>(position, 0, m_text.size()), false);
}

void ScanBox::cursorForward(bool mark, int steps)
{
    qsizetype position = m_cursor;
    for (int i = 0; i < steps; ++i)
        position = step(position, 1);
    moveCursor(position, mark);
}

void ScanBox::cursorBackward(bool mark, int steps)
{
    qsizetype position = m_cursor;
    for (int i = 0; i < steps; ++i)
        position = step(position, -1);
    moveCursor(position, mark);
}

void ScanBox::home(bool mark)
{
    moveCursor(0, mark);
}

void ScanBox::end(bool mark)
{
    moveCursor(m_text.size(), mark);
}

void ScanBox::moveCursor(qsizetype position, bool mark)
{
    const bool hadSelection = hasSelectedText();
    m_cursor = position;
    if (!mark)
        m_anchor = position;
    scrollToCursor();
    restartBlink();
    update();
    if (QAccessible::isActive()) {
        QAccessibleTextCursorEvent moved(this, int(m_cursor));
        QAccessible::updateAccessibility(&moved);
        if (hadSelection || hasSelectedText()) {
            QAccessibleTextSelectionEvent selected(
                this, selectionStart(), selectionStart() + selectionLength());
            QAccessible::updateAccessibility(&selected);
        }
    }
}

qsizetype ScanBox::step(qsizetype position, int direction) const
{
    position = std::clamp<qsizetype>(position + direction, 0, m_text.size());
    // Never between the two halves of a character outside the basic plane.
    if (position > 0 && position < m_text.size() && m_text.at(position).isLowSurrogate()
        && m_text.at(position - 1).isHighSurrogate())
        position += direction;
    return position;
}

QString ScanBox::selectedText() const
{
    return m_text.mid(selectionStart(), selectionLength());
}

int ScanBox::selectionStart() const
{
    return hasSelectedText() ? int(std::min(m_anchor, m_cursor)) : -1;
}

int ScanBox::selectionLength() const
{
    return int(std::abs(m_cursor - m_anchor));
}

void ScanBox::setSelection(int start, int length)
{
    const qsizetype from = std::clamp<qsizetype>(start, 0, m_text.size());
    const qsizetype to = std::clamp<qsizetype>(qsizetype(start) + length, 0, m_text.size());
    m_anchor = from;
    moveCursor(to, true);
}

void ScanBox::selectAll()
{
    m_anchor = 0;
    moveCursor(m_text.size(), true);
}

void ScanBox::deselect()
{
    moveCursor(m_cursor, false);
}

void ScanBox::copy() const
{
    if (hasSelectedText())
        QGuiApplication::clipboard()->setText(selectedText());
}

void ScanBox::cut()
{
    if (!hasSelectedText())
        return;
    copy();
    operatorInsert(QString());
}

void ScanBox::paste()
{
    const QString clip = QGuiApplication::clipboard()->text();
    if (!clip.isEmpty() || hasSelectedText())
        operatorInsert(clip);
}

void ScanBox::del()
{
    if (hasSelectedText())
        operatorInsert(QString());
    else if (m_cursor < m_text.size())
        replace(m_cursor, step(m_cursor, 1) - m_cursor, QString(), true);
}

void ScanBox::backspace()
{
    if (hasSelectedText()) {
        operatorInsert(QString());
    } else if (m_cursor > 0) {
        const qsizetype from = step(m_cursor, -1);
        replace(from, m_cursor - from, QString(), true);
    }
}

void ScanBox::undo()
{
    if (m_undo.isEmpty())
        return;
    const Edit edit = m_undo.takeLast();
    // The program's appends never touch what lies before them, so an edit still
    // finds its text where it made it; anything else forgets the history.
    if (QStringView(m_text).mid(edit.position, edit.inserted.size()) != edit.inserted) {
        m_undo.clear();
        return;
    }
    replace(edit.position, edit.inserted.size(), edit.removed, false);
    m_redo.append(edit);
}

void ScanBox::redo()
{
    if (m_redo.isEmpty())
        return;
    const Edit edit = m_redo.takeLast();
    if (QStringView(m_text).mid(edit.position, edit.removed.size()) != edit.removed) {
        m_redo.clear();
        return;
    }
    replace(edit.position, edit.removed.size(), edit.inserted, false);
    m_undo.append(edit);
}

QSize ScanBox::sizeHint() const
{
    // QLineEdit's: seventeen 'x' wide, one line high, with the frame around it.
    ensurePolished();
    const QFontMetrics fm(font());
    const int height = std::max(fm.height(), 14) + 2 * VerticalMargin;
    const int width = fm.horizontalAdvance(QLatin1Char('x')) * 17 + 2 * HorizontalMargin;
    QStyleOptionFrame option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(width, height), this);
}

QSize ScanBox::minimumSizeHint() const
{
    ensurePolished();
    const QFontMetrics fm(font());
    const int height = fm.height() + 2 * VerticalMargin;
    const int width = fm.maxWidth() + 2 * HorizontalMargin;
    QStyleOptionFrame option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(width, height), this);
}

void ScanBox::initStyleOption(QStyleOptionFrame *option) const
{
    option->initFrom(this);
    option->rect = contentsRect();
    option->lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, option, this);
    option->midLineWidth = 0;
    option->state |= QStyle::State_Sunken;
    option->features = QStyleOptionFrame::None;
}

QRect ScanBox::lineRect() const
{
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    const int lineHeight = QFontMetrics(font()).height();
    const int top = contents.top() + (contents.height() - lineHeight + 1) / 2;
    return QRect(contents.left() + HorizontalMargin, top, contents.width() - 2 * HorizontalMargin,
        lineHeight);
}

void ScanBox::updateAdvances()
{
    // Measured once a character, as the log measures its lines: a long scan is
    // never shaped as a whole, only the part in view is.
    const QFontMetricsF fm(font());
    for (int code = 0; code < 256; ++code)
        m_latin1Advance[std::size_t(code)] = fm.horizontalAdvance(QChar(code));
    m_otherAdvance.clear();
}

qreal ScanBox::advance(qsizetype position) const
{
    const char16_t code = m_text.at(position).unicode();
    if (code < 256)
        return m_latin1Advance[code];
    char32_t ch = code;
    if (QChar::isHighSurrogate(code) && position + 1 < m_text.size()
        && m_text.at(position + 1).isLowSurrogate())
        ch = QChar::surrogateToUcs4(code, m_text.at(position + 1).unicode());
    else if (QChar::isLowSurrogate(code) && position > 0
        && m_text.at(position - 1).isHighSurrogate())
        return 0; // counted with its first half
    auto known = m_otherAdvance.constFind(ch);
    if (known == m_otherAdvance.cend())
        known = m_otherAdvance.insert(
            ch, QFontMetricsF(font()).horizontalAdvance(QString::fromUcs4(&ch, 1)));
    return *known;
}

qsizetype ScanBox::viewEnd() const
{
    const qreal width = lineRect().width();
    qreal x = -m_shift;
    qsizetype position = m_first;
    while (position < m_text.size() && x < width)
        x += advance(position++);
    return step(position - 1, 1);
}

void ScanBox::scrollToCursor()
{
    const qreal width = std::max(1, lineRect().width());
    m_first = std::min(m_first, m_text.size());
    // Text ending short of the right edge while some is scrolled out at the
    // left: bring its end to the right edge, as QLineEdit does.
    qreal x = -m_shift;
    qsizetype position = m_first;
    while (position < m_text.size() && x <= width)
        x += advance(position++);
    if (position == m_text.size() && x < width && (m_first > 0 || m_shift > 0)) {
        qreal filled = 0;
        position = m_text.size();
        while (position > 0 && filled < width)
            filled += advance(--position);
        m_first = position;
        m_shift = std::max<qreal>(0, filled - width);
    }

    if (m_cursor <= m_first) {
        m_first = m_cursor;
        m_shift = 0;
        return;
    }
    x = -m_shift;
    position = m_first;
    while (position < m_cursor && x <= width)
        x += advance(position++);
    if (position == m_cursor && x <= width)
        return;
    // The caret is past the right edge: it goes to the right edge.
    qreal behind = 0;
    position = m_cursor;
    while (position > 0 && behind < width)
        behind += advance(--position);
    m_first = position;
    m_shift = std::max<qreal>(0, behind - width);
}

qsizetype ScanBox::positionAt(const QPoint &point) const
{
    const QRect line = lineRect();
    const qreal target = point.x() - line.left();
    if (target < 0)
        return m_shift > 0 ? m_first : step(m_first, -1);
    // Past the right edge: the first character out of view, so a drag scrolls.
    const qreal limit = std::min<qreal>(target, line.width() + 1);
    qreal x = -m_shift;
    qsizetype position = m_first;
    while (position < m_text.size()) {
        const qreal width = advance(position);
        if (limit < x + width / 2)
            break;
        x += width;
        position = step(position, 1);
    }
    return position;
}

QRect ScanBox::characterRect(qsizetype position) const
{
    if (position < m_first || position >= m_text.size())
        return {};
    const QRect line = lineRect();
    qreal x = -m_shift;
    for (qsizetype at = m_first; at < position; ++at) {
        x += advance(at);
        if (x > line.width())
            return {};
    }
    return QRectF(line.left() + x, line.top(), advance(position), line.height()).toAlignedRect();
}

void ScanBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);

    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this);
    painter.setClipRect(contents);
    const QRect line = lineRect();
    const QFontMetricsF fm(font());
    const qsizetype first = m_first;
    QString visible = m_text.mid(first, viewEnd() - first);
    // Line breaks that a paste brought show as spaces, as in QLineEdit.
    for (QChar &ch : visible) {
        if (ch == u'\n' || ch == u'\r' || ch == QChar::LineSeparator
            || ch == QChar::ParagraphSeparator)
            ch = u' ';
    }
    const qreal left = line.left() - m_shift;
    const qreal baseline = line.top() + fm.ascent();
    auto xOf = [&](qsizetype position) {
        return left
            + fm.horizontalAdvance(
                visible.left(std::clamp<qsizetype>(position - first, 0, visible.size())));
    };
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(QPointF(left, baseline), visible);

    if (hasSelectedText()) {
        const qsizetype start = std::min(m_anchor, m_cursor);
        const qsizetype stop = std::max(m_anchor, m_cursor);
        const qreal from = start <= first ? contents.left() : xOf(start);
        const qreal to = stop >= first + visible.size() ? contents.right() + 1 : xOf(stop);
        if (to > from) {
            const QRectF selected(from, line.top(), to - from, line.height());
            painter.fillRect(selected, palette().brush(QPalette::Highlight));
            painter.save();
            painter.setClipRect(selected, Qt::IntersectClip);
            painter.setPen(palette().color(QPalette::HighlightedText));
            painter.drawText(QPointF(left, baseline), visible);
            painter.restore();
        }
    }

    if (m_caretShown && hasFocus()) {
        const int width = style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, this);
        painter.fillRect(QRectF(xOf(m_cursor), line.top(), std::max(1, width), line.height()),
            palette().color(QPalette::Text));
    }
}

bool ScanBox::event(QEvent *event)
{
    // The box's own keys are not shortcuts of the window.
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key == QKeySequence::Copy || key == QKeySequence::Cut || key == QKeySequence::Paste
            || key == QKeySequence::Undo || key == QKeySequence::Redo
            || key == QKeySequence::SelectAll
            || ((key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == 0
                && (isTypedText(key->text()) || key->key() == Qt::Key_Home
                    || key->key() == Qt::Key_End || key->key() == Qt::Key_Left
                    || key->key() == Qt::Key_Right || key->key() == Qt::Key_Backspace
                    || key->key() == Qt::Key_Delete))) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void ScanBox::keyPressEvent(QKeyEvent *event)
{
    const bool mark = event->modifiers() & Qt::ShiftModifier;
    if (event == QKeySequence::Copy) {
        copy();
    } else if (event == QKeySequence::Cut) {
        cut();
    } else if (event == QKeySequence::Paste) {
        paste();
    } else if (event == QKeySequence::Undo) {
        undo();
    } else if (event == QKeySequence::Redo) {
        redo();
    } else if (event == QKeySequence::SelectAll) {
        selectAll();
    } else if (event == QKeySequence::MoveToPreviousWord
        || event == QKeySequence::SelectPreviousWord) {
        moveCursor(wordBoundary(m_cursor, -1), mark);
    } else if (event == QKeySequence::MoveToNextWord || event == QKeySequence::SelectNextWord) {
        moveCursor(wordBoundary(m_cursor, 1), mark);
    } else if (event == QKeySequence::DeleteStartOfWord && !hasSelectedText()) {
        const qsizetype from = wordBoundary(m_cursor, -1);
        replace(from, m_cursor - from, QString(), true);
    } else if (event == QKeySequence::DeleteEndOfWord && !hasSelectedText()) {
        replace(m_cursor, wordBoundary(m_cursor, 1) - m_cursor, QString(), true);
    } else if (event->key() == Qt::Key_Left) {
        if (hasSelectedText() && !mark)
            moveCursor(selectionStart(), false);
        else
            cursorBackward(mark);
    } else if (event->key() == Qt::Key_Right) {
        if (hasSelectedText() && !mark)
            moveCursor(selectionStart() + selectionLength(), false);
        else
            cursorForward(mark);
    } else if (event->key() == Qt::Key_Home) {
        home(mark);
    } else if (event->key() == Qt::Key_End) {
        end(mark);
    } else if (event->key() == Qt::Key_Backspace) {
        backspace();
    } else if (event->key() == Qt::Key_Delete) {
        del();
    } else if (isTypedText(event->text())
        && (event->modifiers() & ~Qt::ShiftModifier) != Qt::ControlModifier) {
        // Control held alone is a command; with Alt (AltGr on Windows) it types.
        operatorInsert(event->text());
    } else {
        // Enter, Escape, control characters: nothing for the box; the form may
        // have a use for them.
        event->ignore();
        return;
    }
    event->accept();
}

void ScanBox::mousePressEvent(QMouseEvent *event)
{
    const qsizetype position = positionAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton) {
        m_dragging = true;
        moveCursor(position, event->modifiers() & Qt::ShiftModifier);
    } else if (event->button() == Qt::MiddleButton
        && QGuiApplication::clipboard()->supportsSelection()) {
        const QString clip = QGuiApplication::clipboard()->text(QClipboard::Selection);
        moveCursor(position, false);
        if (!clip.isEmpty())
            operatorInsert(clip);
    } else {
        event->ignore();
    }
}

void ScanBox::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging && (event->buttons() & Qt::LeftButton))
        moveCursor(positionAt(event->position().toPoint()), true);
}

void ScanBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_dragging) {
        m_dragging = false;
        copyToSelectionClipboard();
    }
}

void ScanBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    selectWordAt(positionAt(event->position().toPoint()));
    copyToSelectionClipboard();
}

bool ScanBox::isWordCharacter(qsizetype position) const
{
    const QChar ch = m_text.at(position);
    return ch.isLetterOrNumber() || ch == u'_';
}

qsizetype ScanBox::wordBoundary(qsizetype position, int direction) const
{
    // Backwards to the start of this or the previous word; forwards past this
    // word and the gap after it, to the start of the next, as Ctrl+arrows go.
    if (direction < 0) {
        while (position > 0 && !isWordCharacter(position - 1))
            --position;
        while (position > 0 && isWordCharacter(position - 1))
            --position;
    } else {
        while (position < m_text.size() && isWordCharacter(position))
            ++position;
        while (position < m_text.size() && !isWordCharacter(position))
            ++position;
    }
    return position;
}

void ScanBox::selectWordAt(qsizetype position)
{
    if (m_text.isEmpty())
        return;
    const qsizetype at = std::min(position, m_text.size() - 1);
    const bool word = isWordCharacter(at);
    qsizetype start = at;
    qsizetype stop = at + 1;
    while (start > 0 && isWordCharacter(start - 1) == word)
        --start;
    while (stop < m_text.size() && isWordCharacter(stop) == word)
        ++stop;
    m_anchor = start;
    moveCursor(stop, true);
}

void ScanBox::copyToSelectionClipboard() const
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (clipboard->supportsSelection() && hasSelectedText())
        clipboard->setText(selectedText(), QClipboard::Selection);
}

void ScanBox::focusInEvent(QFocusEvent *event)
{
    // Tabbing into the box selects its text, as in QLineEdit.
    const Qt::FocusReason reason = event->reason();
    if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason
            || reason == Qt::ShortcutFocusReason)
        && !hasSelectedText())
        selectAll();
    restartBlink();
    update();
}

void ScanBox::focusOutEvent(QFocusEvent *event)
{
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
        deselect();
    m_blink.stop();
    m_caretShown = false;
    m_dragging = false;
    update();
}

void ScanBox::restartBlink()
{
    m_caretShown = true;
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (hasFocus() && flash >= 2)
        m_blink.start(flash / 2, this);
    else
        m_blink.stop();
}

void ScanBox::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_blink.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    m_caretShown = !m_caretShown;
    update(lineRect());
}

void ScanBox::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        updateAdvances();
        scrollToCursor();
        updateGeometry();
    }
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        m_caretShown = false;
    QWidget::changeEvent(event);
    update();
}

void ScanBox::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    scrollToCursor();
}

QMenu *ScanBox::createStandardContextMenu()
{
    // QLineEdit's menu in its own words, so that Qt's translations give the
    // operator the same Russian menu as every other text box.
    auto *menu = new QMenu(this);
    auto add = [&](const char *name, const char *caption, const QString &shortcut, bool enabled,
                   auto slot) {
        QAction *action
            = menu->addAction(QCoreApplication::translate("QLineEdit", caption) + shortcut);
        action->setObjectName(QLatin1String(name));
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, slot);
    };
    const bool selected = hasSelectedText();
    add("edit-undo", "&Undo", shortcutText(QKeySequence::Undo), isUndoAvailable(), &ScanBox::undo);
    add("edit-redo", "&Redo", shortcutText(QKeySequence::Redo), isRedoAvailable(), &ScanBox::redo);
    menu->addSeparator();
    add("edit-cut", "Cu&t", shortcutText(QKeySequence::Cut), selected, &ScanBox::cut);
    add("edit-copy", "&Copy", shortcutText(QKeySequence::Copy), selected, &ScanBox::copy);
    add("edit-paste", "&Paste", shortcutText(QKeySequence::Paste),
        !QGuiApplication::clipboard()->text().isEmpty(), &ScanBox::paste);
    add("edit-delete", "Delete", QString(), selected, &ScanBox::del);
    menu->addSeparator();
    add("select-all", "Select All", shortcutText(QKeySequence::SelectAll),
        !m_text.isEmpty() && selectionLength() != m_text.size(), &ScanBox::selectAll);
    return menu;
}

void ScanBox::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void ScanBox::inputMethodEvent(QInputMethodEvent *event)
{
    if (!event->commitString().isEmpty() || event->replacementLength() > 0)
        operatorInsert(event->commitString());
    event->accept();
}

QVariant ScanBox::inputMethodQuery(Qt::InputMethodQuery query) const
{
    switch (query) {
    case Qt::ImEnabled:
        return isEnabled();
    case Qt::ImCursorRectangle: {
        const QRect line = lineRect();
        QRect at = characterRect(m_cursor);
        return QRect(at.isValid() ? at.left() : line.right(), line.top(), 1, line.height());
    }
    case Qt::ImHints:
        return int(Qt::ImhNoPredictiveText);
    default:
        return QWidget::inputMethodQuery(query);
    }
}
