#include "keys/nativekeys.h"

#include "keys/windowskeys.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <windows.h>

namespace {

// The input language's code pages, as Windows composes Alt codes in them.
WindowsKeys::CodePages inputCodePages()
{
    const auto language = LANGID(quintptr(GetKeyboardLayout(0)) & 0xFFFF);
    const LCID locale = MAKELCID(language, SORT_DEFAULT);
    const auto page = [locale](LCTYPE type) {
        DWORD value = 0;
        const int got = GetLocaleInfoW(locale, type | LOCALE_RETURN_NUMBER,
            reinterpret_cast<LPWSTR>(&value), sizeof value / sizeof(wchar_t));
        return got > 0 ? int(value) : 0;
    };
    return { page(LOCALE_IDEFAULTANSICODEPAGE), page(LOCALE_IDEFAULTCODEPAGE) };
}

// Qt's event dispatcher hands every message it takes from the thread's queue to
// the application's native filters before TranslateMessage, and Qt's key mapper
// hands them the WM_CHAR it takes from the queue itself. The filter only looks.
class NativeKeyFilter : public QObject, public QAbstractNativeEventFilter
{
public:
    explicit NativeKeyFilter(QObject *owner)
        : QObject(owner)
        , m_keys(&inputCodePages)
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~NativeKeyFilter() override
    {
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeNativeEventFilter(this);
    }

    WindowsKeys *keys() { return &m_keys; }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "windows_generic_MSG")
            return false;
        const MSG *msg = static_cast<const MSG *>(message);
        if (msg->message < WM_KEYDOWN || msg->message > WM_SYSDEADCHAR)
            return false;
        // Called from Qt's event delivery, which nothing may unwind through: a key
        // whose facts cannot be kept is handled as Qt gives it.
        try {
            m_keys.message(
                { msg->message, quint64(msg->wParam), qint64(msg->lParam), quint32(msg->time) });
        } catch (...) {
        }
        return false;
    }

private:
    WindowsKeys m_keys;
};

} // namespace

WindowsKeys *readNativeKeys(QObject *owner)
{
    return (new NativeKeyFilter(owner))->keys();
}
