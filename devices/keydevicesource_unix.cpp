#include "devices/keydevicesource.h"

#include "devices/inputdevice.h"
#include "devices/keydevices.h"
#include "devices/rawkeymatcher.h"

#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QHash>
#include <QWidget>

#include <xcb/xcb.h>
#include <xcb/xinput.h>

#include <cstdlib>

namespace {

template<typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

} // namespace

// Under X: every key press also comes as a raw event of the input extension,
// asked for on the root window, with the slave device it came from (sourceid)
// and the same key code and server time as the key event the window gets.
class KeyDeviceSource::Private : public QAbstractNativeEventFilter
{
public:
    Private();
    ~Private() override;
    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override;
    quint16 numberOf(quint16 sourceId);
    static InputDevice queried(xcb_connection_t *connection, quint16 sourceId);

    xcb_connection_t *connection = nullptr;
    quint8 opcode = 0;
    bool wayland = false;
    RawKeyMatcher matcher;
    // The devices' numbers by their X ids, which X gives again to another device
    // once one is unplugged: forgotten when devices come or go.
    QHash<quint16, quint16> numbers;
};

KeyDeviceSource::Private::Private()
{
    // The offscreen platform may offer an X interface too, with no connection.
    const QString platform = QGuiApplication::platformName();
    wayland = platform.startsWith(QLatin1String("wayland"));
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (platform != QLatin1String("xcb") || !x11 || !x11->connection())
        return;
    connection = x11->connection();
    const xcb_query_extension_reply_t *extension = xcb_get_extension_data(connection, &xcb_input_id);
    if (!extension || !extension->present)
        return;
    opcode = extension->major_opcode;
    // Qt has announced the input extension's version 2 on this connection. Only
    // master devices: each press comes once, with its slave as its source.
    struct
    {
        xcb_input_event_mask_t head;
        uint32_t bits;
    } mask { { XCB_INPUT_DEVICE_ALL_MASTER, 1 }, XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS };
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_input_xi_select_events(connection, root, 1, &mask.head);
    xcb_flush(connection);
    qApp->installNativeEventFilter(this);
}

KeyDeviceSource::Private::~Private()
{
    if (opcode && qApp)
        qApp->removeNativeEventFilter(this);
}

bool KeyDeviceSource::Private::nativeEventFilter(const QByteArray &type, void *message, qintptr *)
{
    if (type != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7F) != XCB_GE_GENERIC)
        return false;
    const auto *generic = reinterpret_cast<const xcb_ge_generic_event_t *>(event);
    if (generic->extension != opcode)
        return false;
    if (generic->event_type == XCB_INPUT_RAW_KEY_PRESS) {
        const auto *raw = reinterpret_cast<const xcb_input_raw_key_press_event_t *>(event);
        // Called from Qt's event delivery, which nothing may unwind through: a
        // press whose device cannot be kept is tied to none.
        try {
            matcher.raw(raw->detail, raw->time, numberOf(raw->sourceid));
        } catch (...) {
        }
    } else if (generic->event_type == XCB_INPUT_HIERARCHY) {
        numbers.clear();
    }
    return false; // Qt sees the event as before
}

quint16 KeyDeviceSource::Private::numberOf(quint16 sourceId)
{
    const auto known = numbers.constFind(sourceId);
    if (known != numbers.constEnd())
        return *known;
    // Once a device: its keys are tied to a number at once, and its facts are
    // asked for on a thread of its own, over a connection of its own (the window's
    // thread waits for no X reply), then read from the device tree's files.
    const quint16 number = KeyDevices::askInBackground([display = qgetenv("DISPLAY"), sourceId] {
        xcb_connection_t *own = xcb_connect(display.constData(), nullptr);
        const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> closed(own, &xcb_disconnect);
        return queried(own, sourceId);
    });
    numbers.insert(sourceId, number);
    return number;
}

// What X and the device tree tell of the device, asked over connection (which
// may have failed: then nothing but the device's X id).
InputDevice KeyDeviceSource::Private::queried(xcb_connection_t *connection, quint16 sourceId)
{
    // A connection announces the input extension's version 2 before its requests.
    const Reply<xcb_input_xi_query_version_reply_t> version(
        xcb_connection_has_error(connection) ? nullptr
            : xcb_input_xi_query_version_reply(
                connection, xcb_input_xi_query_version(connection, 2, 0), nullptr),
        &std::free);
    if (!version || version->major_version < 2)
        return { QStringLiteral("X %1").arg(sourceId), {}, {}, {} };
    const Reply<xcb_input_xi_query_device_reply_t> device(
        xcb_input_xi_query_device_reply(
            connection, xcb_input_xi_query_device(connection, sourceId), nullptr),
        &std::free);
    QString name;
    if (device && xcb_input_xi_query_device_infos_length(device.get()) > 0) {
        xcb_input_xi_device_info_t *info
            = xcb_input_xi_query_device_infos_iterator(device.get()).data;
        name = QString::fromUtf8(
            xcb_input_xi_device_info_name(info), xcb_input_xi_device_info_name_length(info));
    }
    // The evdev node of a real device, which leads to its USB facts; virtual
    // devices (XTEST, Xvfb's own) have none.
    static const char Node[] = "Device Node";
    const Reply<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(connection,
        xcb_intern_atom(connection, 1, sizeof Node - 1, Node), nullptr), &std::free);
    QString node;
    if (atom && atom->atom != XCB_ATOM_NONE) {
        const Reply<xcb_input_xi_get_property_reply_t> property(
            xcb_input_xi_get_property_reply(connection,
                xcb_input_xi_get_property(
                    connection, sourceId, 0, atom->atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
                nullptr),
            &std::free);
        if (property && property->format == 8)
            node = QString::fromUtf8(
                static_cast<const char *>(xcb_input_xi_get_property_items(property.get())),
                qstrnlen(static_cast<const char *>(xcb_input_xi_get_property_items(property.get())),
                    property->num_items));
    }
    return linuxInputDevice(name, node);
}

KeyDeviceSource::KeyDeviceSource(QWidget *window)
    : QObject(window)
    , d(std::make_unique<Private>())
{
}

KeyDeviceSource::~KeyDeviceSource() = default;

quint16 KeyDeviceSource::deviceOf(quint32 nativeScanCode, quint64 timestamp)
{
    if (d->wayland)
        return KeyDevices::NotTold;
    return d->matcher.take(nativeScanCode, quint32(timestamp));
}
