#pragma once

#include "details/eventtimes.h"
#include "details/keyorigin.h"
#include "keys/altcode.h"

#include <QObject>

class QInputMethodEvent;
class QKeyEvent;
class QWidget;
class Form1;

// The form's key preview: an application event filter that sees every key press
// and every text an input method commits to a control of the form before the
// control does (and every key aimed at another window of the tool, which it
// hands to the form instead), and hands each character typed to
// Form1::Form_KeyPress once. It keeps what typing needs between events (an Alt
// code being typed, the dead key just let go) and what made the character being
// handled.
class KeyPreview : public QObject
{
    Q_OBJECT

public:
    explicit KeyPreview(Form1 *form);

    // What made the character that Form_KeyPress is handling.
    const KeyOrigin &origin() const { return m_origin; }
    // When it came: the window system's stamp of its key, as a moment of
    // SessionClock, so that a busy window's thread changes no gap; now, for a
    // key the form is handed by another caller.
    qint64 moment() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // True for a key aimed at a window of the tool other than the form that
    // counts as the form's.
    bool forOtherWindow(QObject *watched) const;
    // Hands the key to the form's focus widget instead; true: it goes no further.
    bool redirect(QKeyEvent *event, QWidget *target);
    // True when the key must go no further.
    bool keyPress(const QKeyEvent &event);
    bool keyRelease(const QKeyEvent &event, QWidget *target);
    void committed(const QInputMethodEvent &event);
    void type(char32_t ch, const KeyOrigin &origin, quint64 stampMs);

    Form1 *m_form;
    AltCode m_altCode;
    bool m_typingAltCode = false;
    EventTimes m_times;
    qint64 m_moment = -1; // while a character is handed on
    // The code of the dead key pressed or let go since the last character; 0: none.
    quint32 m_deadKey = 0;
    KeyOrigin m_origin;
};
