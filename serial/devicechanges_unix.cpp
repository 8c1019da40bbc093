#include "serial/devicechanges.h"

class DeviceChanges::Filter
{
};

DeviceChanges::DeviceChanges(QObject *parent)
    : QObject(parent)
{
}

DeviceChanges::~DeviceChanges() = default;
