#pragma once

#include "sensors/serial/UsbSerial.h"

// The handle a device object holds. It never outlives the object and is never
// opened twice: open() and the destructor close a held handle first, so a failed
// handshake cannot keep the unit from the next recording or the diagnostics.
class SerialLink
{
public:
    SerialLink() = default;
    ~SerialLink();
    SerialLink(const SerialLink &) = delete;
    SerialLink &operator=(const SerialLink &) = delete;

    // True when a handle results.
    bool open(int index = 0);
    void close();
    bool isOpen() const { return m_handle != nullptr; }
    UsbSerial::Handle handle() const { return m_handle; }

private:
    UsbSerial::Handle m_handle = nullptr;
};
