#include "serial/systemports.h"

#include "serial/devicenotices.h"
#include "serial/windowsports.h"
#include "threads/detachedthread.h"

#include <mutex>
#include <utility>

namespace {

// What the device manager said last, shared with the thread that asks it. The
// thread holds it too, so the program may end while it asks.
struct Descriptions
{
    std::mutex lock;
    QList<ListedPort> ports;
    bool asking = false;
    bool again = false;
};

// Asks the device manager on a thread of its own; asked again meanwhile, it asks
// once more when done.
void askInBackground(const std::shared_ptr<Descriptions> &descriptions)
{
    {
        const std::lock_guard guard(descriptions->lock);
        if (descriptions->asking) {
            descriptions->again = true;
            return;
        }
        descriptions->asking = true;
    }
    const bool started = runDetached([descriptions] {
        for (;;) {
            QList<ListedPort> ports = describedPorts();
            const std::lock_guard guard(descriptions->lock);
            descriptions->ports = std::move(ports);
            if (!std::exchange(descriptions->again, false)) {
                descriptions->asking = false;
                return;
            }
        }
    });
    if (!started) {
        // No thread to be had: the ports go without descriptions until the next look.
        const std::lock_guard guard(descriptions->lock);
        descriptions->asking = false;
    }
}

// Each port with what the device manager told of the port of that name.
void describe(QList<ListedPort> &listed, const QList<ListedPort> &described)
{
    for (ListedPort &port : listed) {
        for (const ListedPort &known : described) {
            if (known.name.compare(port.name, Qt::CaseInsensitive) == 0) {
                port.description = known.description;
                port.identity = known.identity;
                break;
            }
        }
    }
}

} // namespace

QList<ListedPort> listedPorts(const DeviceTree &tree)
{
    Q_UNUSED(tree);
    QList<ListedPort> listed = windowsPorts();
    describe(listed, describedPorts());
    return listed;
}

struct SystemPorts::Private
{
    std::shared_ptr<Descriptions> descriptions = std::make_shared<Descriptions>();
};

SystemPorts::SystemPorts(QObject *parent, const DeviceTree &tree)
    : QObject(parent)
    , d(std::make_unique<Private>())
{
    Q_UNUSED(tree);
    auto *notices = new DeviceNotices(this);
    connect(
        notices, &DeviceNotices::portsChanged, this, [this] { askInBackground(d->descriptions); });
    askInBackground(d->descriptions);
}

SystemPorts::~SystemPorts() = default;

QList<MappedPort> SystemPorts::mapping()
{
    QList<ListedPort> listed = windowsPorts();
    {
        const std::lock_guard guard(d->descriptions->lock);
        describe(listed, d->descriptions->ports);
    }
    // Asked again after every look as well: Wine sends no notices, and a driver
    // may fill in its description after it has announced its port.
    askInBackground(d->descriptions);
    return numberByComName(listed);
}
