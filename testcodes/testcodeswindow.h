#pragma once

#include "readmode.h"

#include <QByteArray>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class SymbolView;

// The test codes: one code of the set at a time, drawn large for a scanner to read
// off the screen, with its name and exact content, and the verdict on the read
// that came after it. The window never takes the keyboard, so that a scanner in
// keyboard mode goes on typing into the main window; it writes no file and keeps
// nothing once closed.
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

public slots:
    // A complete read, in either mode: judged against the code shown while the
    // window is open, ignored while it is hidden.
    void readArrived(const QByteArray &read, ReadMode mode);
    void showPrevious();
    void showNext();

private:
    void setVerdict(const QString &text);
    void fitSide();

    int m_index = 0;
    SymbolView *m_view;
    QLabel *m_position;
    QLabel *m_name;
    QPlainTextEdit *m_content;
    QLabel *m_details;
    QLabel *m_reveals;
    QLabel *m_verdict;
    QPushButton *m_previous;
    QPushButton *m_next;
    QWidget *m_side;
};
