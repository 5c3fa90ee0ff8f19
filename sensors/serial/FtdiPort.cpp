#include "sensors/serial/FtdiPort.h"

#include <QThread>
#include <QtDebug>

#include <ftdi.h>

#include <algorithm>
#include <climits>

using namespace UsbSerial;

namespace {

// The FTDI devices on the bus (libftdi's default vendor and product ids).
struct DeviceList
{
    explicit DeviceList(ftdi_context *context) { count = ftdi_usb_find_all(context, &first, 0, 0); }
    ~DeviceList() { ftdi_list_free(&first); }
    DeviceList(const DeviceList &) = delete;
    DeviceList &operator=(const DeviceList &) = delete;

    libusb_device *at(int index) const
    {
        ftdi_device_list *entry = first;
        for (int i = 0; entry && i < index; ++i)
            entry = entry->next;
        return entry ? entry->dev : nullptr;
    }

    ftdi_device_list *first = nullptr;
    int count = 0;
};

struct ContextDeleter
{
    void operator()(ftdi_context *context) const { ftdi_free(context); }
};
using Context = std::unique_ptr<ftdi_context, ContextDeleter>;

}  // namespace

Status FtdiPort::open(int index, std::unique_ptr<SerialPort> *port)
{
    Context context(ftdi_new());
    if (!context)
        return DeviceNotOpened;
    const DeviceList devices(context.get());
    libusb_device *device = index >= 0 ? devices.at(index) : nullptr;
    if (!device)
        return DeviceNotFound;
    if (ftdi_usb_open_dev(context.get(), device) < 0) {
        // Mostly missing access rights: the udev rule in packaging/ grants them.
        qWarning("cannot open FTDI device %d: %s", index, ftdi_get_error_string(context.get()));
        return DeviceNotOpened;
    }
    context->usb_read_timeout = int(DefaultTimeoutMs);
    context->usb_write_timeout = int(DefaultTimeoutMs);
    // The chip holds a short reply back until its latency timer runs out (16 ms
    // by default, a third of a tick); a frame must come back well within one.
    if (ftdi_set_latency_timer(context.get(), LatencyTimerMs) < 0)
        qWarning("cannot set the latency timer of FTDI device %d: %s", index, ftdi_get_error_string(context.get()));
    port->reset(new FtdiPort(context.release()));
    return Ok;
}

Status FtdiPort::countDevices(quint32 *count)
{
    Context context(ftdi_new());
    if (!context)
        return IoError;
    const DeviceList devices(context.get());
    *count = quint32(std::max(devices.count, 0));
    return devices.count < 0 ? IoError : Ok;
}

FtdiPort::FtdiPort(ftdi_context *context)
    : m_context(context)
{
}

FtdiPort::~FtdiPort()
{
    ftdi_usb_close(m_context);
    ftdi_free(m_context);
}

Status FtdiPort::statusOf(int result) const
{
    return result < 0 ? IoError : Ok;
}

Status FtdiPort::write(const quint8 *bytes, quint32 count, quint32 *countWritten)
{
    const int written = ftdi_write_data(m_context, bytes, int(count));
    *countWritten = written > 0 ? quint32(written) : 0;
    return statusOf(written);
}

int FtdiPort::receive(quint8 *buffer, quint32 max, int waitMs)
{
    const int taken = ftdi_read_data(m_context, buffer, int(max));
    // The chip answers an empty poll at once; pause a little before the next one.
    if (taken == 0 && waitMs > 0)
        QThread::msleep(1);
    return taken;
}

void FtdiPort::readFinished(quint32, quint32)
{
}

Status FtdiPort::resetDevice()
{
    return statusOf(ftdi_usb_reset(m_context));
}

Status FtdiPort::setBaudRate(quint32 baudRate)
{
    return statusOf(ftdi_set_baudrate(m_context, int(baudRate)));
}

Status FtdiPort::setDataCharacteristics(quint8 wordLength, quint8 stopBits, quint8 parity)
{
    if ((wordLength != Bits7 && wordLength != Bits8) || (stopBits != StopBits1 && stopBits != StopBits2)
        || parity > ParitySpace)
        return InvalidParameter;
    return statusOf(ftdi_set_line_property(m_context, ftdi_bits_type(wordLength),
                                           ftdi_stopbits_type(stopBits), ftdi_parity_type(parity)));
}

Status FtdiPort::purge(quint32 mask)
{
    if ((mask & PurgeRx) && ftdi_tciflush(m_context) < 0)
        return IoError;
    if ((mask & PurgeTx) && ftdi_tcoflush(m_context) < 0)
        return IoError;
    return Ok;
}

Status FtdiPort::setTimeouts(quint32 readTimeoutMs, quint32 writeTimeoutMs)
{
    // Each USB transfer waits at most as long as the whole call may.
    m_context->usb_read_timeout = int(std::clamp<quint32>(readTimeoutMs, 1, INT_MAX));
    m_context->usb_write_timeout = int(std::clamp<quint32>(writeTimeoutMs, 1, INT_MAX));
    return Ok;
}

Status FtdiPort::furtherCall()
{
    return Ok;
}
