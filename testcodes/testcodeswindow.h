#pragma once

#include "analysis/readverdict.h"
#include "testcodes/readtally.h"

#include <QPointer>
#include <QWidget>

#include <optional>

class QBoxLayout;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QShowEvent;
class OwnCodeDialog;
class SymbolView;

// The test codes: one code of the set at a time, drawn large for a scanner to read
// off the screen, with its name and exact content, the verdict on the read that
// came after it and the tally of the reads since it was shown; or, in its place,
// a code the operator entered, read off their own label. The window never takes
// the keyboard, so that a scanner in keyboard mode goes on typing into the main
// window; it writes no file and keeps nothing once the program ends. It keeps one
// size for every code, fitted to the screen beside the main window when it is
// first shown.
class TestCodesWindow : public QWidget
{
    Q_OBJECT

public:
    explicit TestCodesWindow(QWidget *parent = nullptr);

    // The test code shown, or the last one shown before the operator's own.
    int currentIndex() const { return m_index; }
    // Any index: it is taken round the set.
    void showCode(int index);
    // The operator's own code in place of a test code, judged the same way.
    void showOwnCode(const ExpectedCode &code);
    bool showsOwnCode() const { return m_ownShown; }
    // The verdict as shown; it and the tally are the window's accessible
    // description.
    QString verdict() const;
    QString tally() const;
    // Fixes the window's size for `room` (logical pixels, frame not counted): the
    // most each symbol gets up to a comfortable size, the texts beside them
    // scrolling when they need more height. Shows the current code afresh.
    // False when some symbol cannot be drawn in that room.
    bool fitInto(QSize room);

public slots:
    // A complete read, in either mode: judged against the code shown while the
    // window is open, ignored while it is hidden.
    void readArrived(const ArrivedRead &read);
    void showPrevious();
    void showNext();
    // Asks for the operator's own code in a modal dialog, and shows it once given.
    void enterOwnCode();

protected:
    void showEvent(QShowEvent *event) override;

private:
    // A code shown afresh: its content, no verdict yet, the tally from nothing.
    void restart(const ExpectedCode &code, const QString &waiting);
    void setVerdict(const QString &text);
    void placeBesideParent();

    bool m_fitted = false;
    int m_index = 0;
    bool m_ownShown = false;
    ExpectedCode m_expected; // the code shown
    ExpectedCode m_ownCode; // the operator's, as last entered
    std::optional<ArrivedRead> m_lastRead; // judged since the code was shown
    ReadTally m_reads;
    QPointer<OwnCodeDialog> m_dialog;
    SymbolView *m_view;
    QLabel *m_position;
    QLabel *m_name;
    QPlainTextEdit *m_content;
    QLabel *m_details;
    QLabel *m_reveals;
    QPlainTextEdit *m_verdict;
    QPlainTextEdit *m_tally;
    QPushButton *m_previous;
    QPushButton *m_next;
    QPushButton *m_own;
    QBoxLayout *m_buttons;
    QWidget *m_info;
    QWidget *m_side;
};
