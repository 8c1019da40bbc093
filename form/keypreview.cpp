#include "form/keypreview.h"

#include "details/sessionclock.h"
#include "devices/keydevices.h"
#include "devices/keydevicesource.h"
#include "form/main_window.h"
#include "keys/keytext.h"
#include "keys/nativekeys.h"
#include "keys/windowskeys.h"
#include "text/codepages.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <qpa/qwindowsysteminterface.h>

namespace {

bool isDeadKey(int key)
{
    return key >= Qt::Key_Dead_Grave && key <= Qt::Key_Dead_Longsolidusoverlay;
}

} // namespace

KeyPreview::KeyPreview(Form1 *form)
    : QObject(form)
    , m_form(form)
    , m_devices(new KeyDeviceSource(form))
    , m_nativeKeys(readNativeKeys(this))
{
    qApp->installEventFilter(this);
}

bool KeyPreview::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (m_typingAltCode
        || (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::InputMethod
            && type != QEvent::ShortcutOverride))
        return false;
    // A key press is delivered to the focus widget first and then travels up
    // through its parents while nobody accepts it; it counts once, at the first of
    // those deliveries.
    QWidget *target = m_form->focusWidget() ? m_form->focusWidget() : m_form;
    if (type != QEvent::InputMethod && forOtherWindow(watched))
        return redirect(static_cast<QKeyEvent *>(event), target);
    if (type != QEvent::KeyRelease && type != QEvent::InputMethod
        && scanAtMenu(watched, *static_cast<QKeyEvent *>(event)))
        return leaveMenu(static_cast<QKeyEvent *>(event), static_cast<QWidget *>(watched));
    if (watched != target || target->window() != m_form || type == QEvent::ShortcutOverride)
        return false;
    if (type == QEvent::InputMethod) {
        const auto &commit = *static_cast<QInputMethodEvent *>(event);
        // An input method commits from inside the window system's handling of the
        // key that ends the composition, while the keys the window system read
        // before it (the dead key's release among them) may still wait in Qt's
        // queue: under load they all come in one batch. They are older than the
        // commit, so they go first, in order, and the dead key is known.
        if (!commit.commitString().isEmpty())
            QWindowSystemInterface::flushWindowSystemEvents();
        committed(commit);
        return false;
    }
    const auto *key = static_cast<QKeyEvent *>(event);
    return type == QEvent::KeyPress ? keyPress(*key) : keyRelease(*key, target);
}

bool KeyPreview::forOtherWindow(QObject *watched) const
{
    if (!watched->isWidgetType())
        return false;
    const QWidget *window = static_cast<QWidget *>(watched)->window();
    // A modal window (the port's failure message, the run-time error report) is
    // the operator's to answer, and a pop-up menu the operator's to move through;
    // both keep their keys (all but a scanner's at the form's menu: scanAtMenu).
    return window != m_form && !QApplication::activeModalWidget()
        && !QApplication::activePopupWidget() && window->windowType() != Qt::Popup;
}

bool KeyPreview::scanAtMenu(QObject *watched, const QKeyEvent &event) const
{
    if (!watched->isWidgetType())
        return false;
    const auto *menu = qobject_cast<const QMenu *>(static_cast<QWidget *>(watched)->window());
    if (!menu || !menu->parentWidget() || menu->parentWidget()->window() != m_form)
        return false;
    // Arrows, Escape and Enter work the menu; a key that types anything else is a
    // scanner's (an operator choosing an entry does not type).
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        return false;
    default:
        return !platformKeyText(
            event.key(), event.modifiers(), event.text(), event.nativeScanCode())
                    .isEmpty();
    }
}

bool KeyPreview::leaveMenu(QKeyEvent *event, QWidget *menu)
{
    // The shortcut check comes first: taken here, the press itself follows.
    if (event->type() == QEvent::ShortcutOverride)
        return redirect(event, menu);
    // A scan that comes while the log's menu is open is no choice of an entry: the
    // menu closes, choosing nothing, and the scan goes on in the scan box, where
    // its closing Enter commits it.
    menu->window()->close();
    QWidget *box = m_form->findChild<QWidget *>(QStringLiteral("txtSkaner"));
    QWidget *target = box ? box : m_form;
    target->setFocus(Qt::OtherFocusReason);
    return redirect(event, target);
}

bool KeyPreview::redirect(QKeyEvent *event, QWidget *target)
{
    // A scanner does not know which window is in front: a key aimed at another
    // window of the tool (the analysis of a read, a copy's progress, the test
    // codes) counts as the form's and types into the form, and presses none of
    // that window's buttons (Enter, space, Escape would). Its shortcut check is
    // taken too, so that no shortcut of that window fires in its stead.
    event->accept();
    if (event->type() == QEvent::ShortcutOverride)
        return true;
    QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->nativeScanCode(),
        event->nativeVirtualKey(), event->nativeModifiers(), event->text(), event->isAutoRepeat(),
        event->count());
    copy.setTimestamp(event->timestamp()); // the key's moment, as for the form's own
    QCoreApplication::sendEvent(target, &copy);
    return true;
}

bool KeyPreview::keyPress(const QKeyEvent &event)
{
    // Held Alt repeats; only the operator's own press starts an Alt code.
    if (event.key() == Qt::Key_Alt && event.isAutoRepeat())
        return false;
    // On Windows the key's messages say what it typed, when, and how, and its
    // message's own time ties it to its raw press (Qt's stamp is Qt's moment, on
    // another clock). A press with no message is tied to no device.
    if (m_nativeKeys) {
        const auto key = m_nativeKeys->take(event.nativeScanCode());
        // An Alt code's character comes with Alt's release: its device is its digits'.
        if (!key || key->altCode < 0)
            m_lastDevice = key ? m_devices->deviceOf(key->scanCode, key->stampMs) : KeyDevices::Unknown;
        if (key) {
            for (char32_t ch : key->text.toUcs4()) {
                KeyOrigin origin = windowsKeyOrigin(*key, event.modifiers(), ch);
                origin.device = m_lastDevice;
                type(ch, origin, key->stampMs);
            }
            return false;
        }
    } else {
        // Every press is asked about, so that the raw event of each is taken by its own key.
        m_lastDevice = m_devices->deviceOf(event.nativeScanCode(), event.timestamp());
    }
    // The digits of an Alt code go no further.
    if (AltCode::Needed
        && m_altCode.press(
            event.key(), event.modifiers() | keypadModifier(event.nativeVirtualKey())))
        return true;
    if (isDeadKey(event.key()))
        m_deadKey = event.nativeScanCode();
    // A key that types no character (arrows, function keys, modifiers, a dead key)
    // is no key press for the form. Each character typed is one key press.
    const QString typed
        = platformKeyText(event.key(), event.modifiers(), event.text(), event.nativeScanCode());
    // A key that types by itself ends whatever a dead key began.
    if (!typed.isEmpty())
        m_deadKey = 0;
    for (char32_t ch : typed.toUcs4()) {
        KeyOrigin origin { event.nativeScanCode(), event.modifiers(), QString::fromUcs4(&ch, 1) };
        origin.device = m_lastDevice;
        type(ch, origin, event.timestamp());
    }
    return false;
}

bool KeyPreview::keyRelease(const QKeyEvent &event, QWidget *target)
{
    // An input method takes the press of a dead key and lets its release through:
    // the release tells which key began what it composes next.
    if (isDeadKey(event.key()))
        m_deadKey = event.nativeScanCode();
    if (!AltCode::Needed || event.isAutoRepeat())
        return false;
    const std::optional<AltCode::Typed> typed = m_altCode.release(event.key());
    if (!typed)
        return false;
    KeyOrigin origin { 0, {}, typed->text, typed->code, typed->leadingZero };
    origin.device = m_lastDevice;
    type(typed->text.at(0).unicode(), origin, event.timestamp());
    // The character goes on to the focused control as a key that types it would,
    // already counted above.
    QKeyEvent character(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, typed->text);
    m_typingAltCode = true;
    QCoreApplication::sendEvent(target, &character);
    m_typingAltCode = false;
    return false;
}

void KeyPreview::committed(const QInputMethodEvent &event)
{
    // Text being composed (the preedit) is not typed yet; the commit string is.
    for (char32_t ch : event.commitString().toUcs4()) {
        KeyOrigin origin;
        origin.typed = QString::fromUcs4(&ch, 1);
        origin.composed = true;
        origin.deadKeyScanCode = std::exchange(m_deadKey, 0);
        type(ch, origin, 0); // an input method's text carries no stamp
    }
}

void KeyPreview::type(char32_t ch, const KeyOrigin &origin, quint64 stampMs)
{
    m_origin = origin;
    m_moment = m_times.moment(stampMs);
    short KeyAscii = CodePages::loggedCode(ch);
    m_form->Form_KeyPress(KeyAscii);
    m_moment = -1;
}

qint64 KeyPreview::moment() const
{
    return m_moment >= 0 ? m_moment : SessionClock::now();
}
