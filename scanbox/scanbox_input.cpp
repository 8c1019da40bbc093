// The scan box's keys, mouse, focus, context menu and input method.
#include "scanbox/scanbox.h"

#include "errors/runtimeerror.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QStyleHints>

#include <algorithm>

namespace {

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
        connect(action, &QAction::triggered, this,
            [this, slot] { untrapped([this, slot] { (this->*slot)(); }); });
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
