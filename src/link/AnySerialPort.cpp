#include "AnySerialPort.h"

#include "DeviceText.h"
#include "NetworkDevice.h"

bool AnySerialPort::open(const PortSettings& settings) {
    m_current->close();
    m_refused = DeviceText::problem(settings.device);
    if (m_refused) {
        m_refusedName = DeviceText::shown(settings.device.trimmed());
        return false;
    }
    m_current = NetworkDevice::isNetwork(settings.device) ? static_cast<SerialPort*>(&m_network)
                                                          : &m_serial;
    return m_current->open(settings);
}
