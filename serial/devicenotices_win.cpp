#include "serial/devicenotices.h"

#include <windows.h>
#include <dbt.h>

namespace {

// The interface class of serial ports: GUID_DEVINTERFACE_COMPORT.
const GUID ComPortInterface
    = { 0x86e0d1e0, 0x8089, 0x11d0, { 0x9c, 0xe4, 0x08, 0x00, 0x3e, 0x30, 0x1f, 0x73 } };

LRESULT CALLBACK noticeProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DEVICECHANGE) {
        if (auto *notices
            = reinterpret_cast<DeviceNotices *>(GetWindowLongPtrW(window, GWLP_USERDATA)))
            notices->deviceChanged(wParam, reinterpret_cast<const void *>(lParam));
        return TRUE; // a removal is never vetoed
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

const wchar_t *windowClass()
{
    static const wchar_t *const name = [] {
        WNDCLASSW kind {};
        kind.lpfnWndProc = noticeProcedure;
        kind.hInstance = GetModuleHandleW(nullptr);
        kind.lpszClassName = L"OrvatekDeviceNotices";
        RegisterClassW(&kind);
        return kind.lpszClassName;
    }();
    return name;
}

} // namespace

DeviceNotices::DeviceNotices(QObject *parent)
    : QObject(parent)
{
    // A message-only window: never shown, reached by the notices registered for it.
    const HWND window = CreateWindowExW(0, windowClass(), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
        GetModuleHandleW(nullptr), nullptr);
    if (!window)
        return;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_window = window;
    DEV_BROADCAST_DEVICEINTERFACE_W filter {};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = ComPortInterface;
    m_ports = RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

DeviceNotices::~DeviceNotices()
{
    for (void *notice : std::as_const(m_handles))
        UnregisterDeviceNotification(notice);
    if (m_ports)
        UnregisterDeviceNotification(m_ports);
    if (m_window)
        DestroyWindow(static_cast<HWND>(m_window));
}

void DeviceNotices::watch(void *handle)
{
    if (!m_window || m_handles.contains(handle))
        return;
    DEV_BROADCAST_HANDLE filter {};
    filter.dbch_size = sizeof filter;
    filter.dbch_devicetype = DBT_DEVTYP_HANDLE;
    filter.dbch_handle = handle;
    if (void *notice = RegisterDeviceNotificationW(
            static_cast<HWND>(m_window), &filter, DEVICE_NOTIFY_WINDOW_HANDLE))
        m_handles.insert(handle, notice);
}

void DeviceNotices::forget(void *handle)
{
    if (void *notice = m_handles.take(handle))
        UnregisterDeviceNotification(notice);
}

void DeviceNotices::deviceChanged(unsigned long long event, const void *header) noexcept
{
    const auto *told = static_cast<const DEV_BROADCAST_HDR *>(header);
    if (!told)
        return;
    try {
        switch (event) {
        case DBT_DEVICEARRIVAL:
            if (told->dbch_devicetype != DBT_DEVTYP_HANDLE)
                emit portsChanged();
            break;
        case DBT_DEVICEQUERYREMOVE:
        case DBT_DEVICEREMOVEPENDING:
        case DBT_DEVICEREMOVECOMPLETE:
            if (told->dbch_devicetype == DBT_DEVTYP_HANDLE) {
                void *handle = reinterpret_cast<const DEV_BROADCAST_HANDLE *>(told)->dbch_handle;
                if (m_handles.contains(handle))
                    emit removed(handle);
            } else if (event == DBT_DEVICEREMOVECOMPLETE) {
                emit portsChanged();
            }
            break;
        default:
            break;
        }
    } catch (...) {
        // Nothing may unwind through Windows' dispatch of the message; the failing
        // read still tells of a removal.
    }
}
