#pragma once

#include "readmode.h"

#include <QByteArray>
#include <QWidget>

class QBoxLayout;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QShowEvent;
class SymbolView;

// The test codes: one code of the set at a time, drawn large for a scanner to read
// off the screen, with its name and exact content, and the verdict on the read
// that came after it. The window never takes the keyboard, so that a scanner in
// keyboard mode goes on typing into the main window; it writes no file and keeps
// nothing once closed. It keeps one size for every code, fitted to the screen
// beside the main window when it is first shown.
class TestCodesWindow : public QWidget
{
    Q_OBJECT

public:
    explicit TestCodesWindow(QWidget *parent = nullptr);

    int currentIndex() const { return m_index; }
    // Any index: it is taken round the set.
    void showCode(int index);
    // The verdict as shown, also the window's accessible description.
    QString verdict() const;
    // Fixes the window's size for `room` (logical pixels, frame not counted): the
    // most each symbol gets up to a comfortable size, the texts beside them
    // scrolling when they need more height. Shows the current code afresh.
    // False when some symbol cannot be drawn in that room.
    bool fitInto(QSize room);

public slots:
    // A complete read, in either mode: judged against the code shown while the
    // window is open, ignored while it is hidden.
    void readArrived(const QByteArray &read, ReadMode mode);
    void showPrevious();
    void showNext();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void setVerdict(const QString &text);
    void placeBesideParent();

    bool m_fitted = false;
    int m_index = 0;
    SymbolView *m_view;
    QLabel *m_position;
    QLabel *m_name;
    QPlainTextEdit *m_content;
    QLabel *m_details;
    QLabel *m_reveals;
    QPlainTextEdit *m_verdict;
    QPushButton *m_previous;
    QPushButton *m_next;
    QBoxLayout *m_buttons;
    QWidget *m_info;
    QWidget *m_side;
};
