#include "AnySerialPort.h"

bool AnySerialPort::open(const PortSettings& settings) {
    m_current->close();
    m_current = NetworkDevice::isNetwork(settings.device) ? static_cast<SerialPort*>(&m_network)
                                                          : &m_serial;
    return m_current->open(settings);
}
