#include "sensors/serial/SerialLink.h"

SerialLink::~SerialLink()
{
    close();
}

bool SerialLink::open(int index)
{
    close();
    UsbSerial::openByIndex(index, &m_handle);
    return isOpen();
}

void SerialLink::close()
{
    if (!m_handle)
        return;
    UsbSerial::close(m_handle);
    m_handle = nullptr;
}
