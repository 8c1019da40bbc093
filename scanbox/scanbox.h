#pragma once

#include "text/advances.h"

#include <QBasicTimer>
#include <QList>
#include <QWidget>

class QMenu;
class QStyleOptionFrame;

// The scan box: a one-line text box that looks and edits like QLineEdit but lays
// out only the characters in view. A scanner that never ends its reads with a
// carriage return piles its digits up here without end, and QLineEdit lays out
// its whole text on every change and every blink of the caret; here appending,
// painting and the idle caret cost the same at ten characters or ten million,
// and the text takes two bytes a character. The methods are QLineEdit's names.
class ScanBox : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)

public:
    explicit ScanBox(QWidget *parent = nullptr);
    ~ScanBox() override;

    QString text() const { return m_text; }
    void setText(const QString &text);
    void clear();
    // Replaces the selection, or inserts at the caret, as QLineEdit::insert does.
    void insert(const QString &text);

    int cursorPosition() const { return int(m_cursor); }
    void setCursorPosition(int position);
    void cursorForward(bool mark, int steps = 1);
    void cursorBackward(bool mark, int steps = 1);
    void home(bool mark);
    void end(bool mark);

    bool hasSelectedText() const { return m_anchor != m_cursor; }
    QString selectedText() const;
    int selectionStart() const;
    int selectionLength() const;
    void setSelection(int start, int length);
    void selectAll();
    void deselect();

    void copy() const;
    void cut();
    void paste();
    void del();
    void backspace();
    void undo();
    void redo();
    bool isUndoAvailable() const { return !m_undo.isEmpty(); }
    bool isRedoAvailable() const { return !m_redo.isEmpty(); }

    // QLineEdit's context menu, in Qt's own (translated) words.
    QMenu *createStandardContextMenu();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // For accessibility tools: where a character is drawn (empty when out of
    // view) and which position a point of the box is nearest to.
    QRect characterRect(qsizetype position) const;
    qsizetype positionAt(const QPoint &point) const;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

private:
    // One edit by the operator, kept for undo.
    struct Edit
    {
        qsizetype position;
        QString removed;
        QString inserted;
    };

    // Undoes (forward: redoes) the last edit of from, which then goes to to.
    void replay(QList<Edit> &from, QList<Edit> &to, bool forward);
    void initStyleOption(QStyleOptionFrame *option) const;
    QRect lineRect() const;
    qreal advance(qsizetype position) const { return m_advances.at(m_text, position); }
    // The most characters the view holds: one a pixel of its width and a few more.
    // Zero-width characters take no room, and a walk that only stopped at the
    // edge would cross every one of them.
    qsizetype viewLimit() const;
    qsizetype viewEnd() const;
    qsizetype step(qsizetype position, int direction) const;
    void replace(qsizetype start, qsizetype length, const QString &text, bool byOperator);
    void operatorInsert(const QString &text);
    void moveCursor(qsizetype position, bool mark);
    void scrollToCursor();
    void restartBlink();
    void updateAdvances();
    bool isWordCharacter(qsizetype position) const;
    qsizetype wordBoundary(qsizetype position, int direction) const;
    void selectWordAt(qsizetype position);
    void copyToSelectionClipboard() const;

    QString m_text;
    qsizetype m_cursor = 0;
    qsizetype m_anchor = 0;
    // The view: the first character in it, and how many pixels of that one are
    // scrolled out at the left.
    qsizetype m_first = 0;
    qreal m_shift = 0;
    TextAdvances m_advances;
    QList<Edit> m_undo;
    QList<Edit> m_redo;
    QBasicTimer m_blink;
    bool m_caretShown = false;
    bool m_dragging = false;
};
