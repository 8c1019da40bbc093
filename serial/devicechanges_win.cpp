#include "serial/devicechanges.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <windows.h>

#include <dbt.h>

// Windows broadcasts a serial port's arrival and removal (DBT_DEVTYP_PORT) to
// every top-level window; the program's windows are such windows.
class DeviceChanges::Filter : public QAbstractNativeEventFilter
{
public:
    explicit Filter(DeviceChanges *owner)
        : m_owner(owner)
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~Filter() override
    {
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeNativeEventFilter(this);
    }
    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        const MSG *msg = static_cast<const MSG *>(message);
        if (type == "windows_generic_MSG" && msg->message == WM_DEVICECHANGE
            && (msg->wParam == DBT_DEVICEARRIVAL || msg->wParam == DBT_DEVICEREMOVECOMPLETE))
            // Told once the event has been handled: the map may change meanwhile.
            QMetaObject::invokeMethod(m_owner, &DeviceChanges::changed, Qt::QueuedConnection);
        return false;
    }

private:
    DeviceChanges *m_owner;
};

DeviceChanges::DeviceChanges(QObject *parent)
    : QObject(parent)
    , m_filter(QCoreApplication::instance() ? std::make_unique<Filter>(this) : nullptr)
{
}

DeviceChanges::~DeviceChanges() = default;
