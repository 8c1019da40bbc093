#include "scanbox/scanboxaccessible.h"

#include "scanbox/scanbox.h"

ScanBoxAccessible::ScanBoxAccessible(ScanBox *box)
    : QAccessibleWidget(box, QAccessible::EditableText)
{
}

QAccessibleInterface *ScanBoxAccessible::create(const QString &className, QObject *object)
{
    if (className == QLatin1String("ScanBox") && object && object->isWidgetType())
        return new ScanBoxAccessible(static_cast<ScanBox *>(object));
    return nullptr;
}

ScanBox *ScanBoxAccessible::box() const
{
    return static_cast<ScanBox *>(widget());
}

void *ScanBoxAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString ScanBoxAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return box()->text();
    return QAccessibleWidget::text(t);
}

void ScanBoxAccessible::setText(QAccessible::Text t, const QString &text)
{
    if (t == QAccessible::Value)
        box()->setText(text);
    else
        QAccessibleWidget::setText(t, text);
}

QAccessible::State ScanBoxAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = true;
    state.selectableText = true;
    return state;
}

void ScanBoxAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !box()->hasSelectedText())
        return;
    *startOffset = box()->selectionStart();
    *endOffset = *startOffset + box()->selectionLength();
}

int ScanBoxAccessible::selectionCount() const
{
    return box()->hasSelectedText() ? 1 : 0;
}

void ScanBoxAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void ScanBoxAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        box()->deselect();
}

void ScanBoxAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        box()->setSelection(startOffset, endOffset - startOffset);
}

int ScanBoxAccessible::cursorPosition() const
{
    return box()->cursorPosition();
}

void ScanBoxAccessible::setCursorPosition(int position)
{
    box()->setCursorPosition(position);
}

QString ScanBoxAccessible::text(int startOffset, int endOffset) const
{
    if (startOffset < 0 || endOffset < startOffset)
        return {};
    return box()->text().mid(startOffset, endOffset - startOffset);
}

int ScanBoxAccessible::characterCount() const
{
    return int(box()->text().size());
}

QRect ScanBoxAccessible::characterRect(int offset) const
{
    const QRect local = box()->characterRect(offset);
    return local.isValid() ? QRect(box()->mapToGlobal(local.topLeft()), local.size()) : QRect();
}

int ScanBoxAccessible::offsetAtPoint(const QPoint &point) const
{
    const QPoint local = box()->mapFromGlobal(point);
    return box()->rect().contains(local) ? int(box()->positionAt(local)) : -1;
}

void ScanBoxAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    box()->setCursorPosition(endIndex);
    box()->setCursorPosition(startIndex);
}

QString ScanBoxAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    // One run without attributes of its own over the whole text.
    *startOffset = 0;
    *endOffset = characterCount();
    Q_UNUSED(offset);
    return {};
}

void ScanBoxAccessible::deleteText(int startOffset, int endOffset)
{
    replaceText(startOffset, endOffset, QString());
}

void ScanBoxAccessible::insertText(int offset, const QString &text)
{
    replaceText(offset, offset, text);
}

void ScanBoxAccessible::replaceText(int startOffset, int endOffset, const QString &text)
{
    box()->setSelection(startOffset, endOffset - startOffset);
    box()->insert(text);
}
