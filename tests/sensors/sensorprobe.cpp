// sensorprobe <plug-in file> <frames>: binds the plug-in twice, reads the given
// number of frames from the first device and then as many from the second, and
// prints each frame as one line of 13 numbers. Entries a device leaves alone keep
// the marker 12345. Exit code 2 when the plug-in cannot be bound.
#include "sensors/interface/SensorFrame.h"
#include "sensors/interface/SensorPlugin.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

namespace {

const qint16 untouched = 12345;

void printFrames(ISensorBase *device, int count, QTextStream &out)
{
    for (int i = 0; i < count; ++i) {
        SensorFrame frame;
        frame.fill(untouched);
        if (!device->readFrame(frame.data()))
            out << "failed";
        for (qint16 value : frame)
            out << value << ' ';
        out << '\n';
    }
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return 1;
    SensorPlugin first;
    SensorPlugin second;
    if (!first.bind(args[1]))
        return 2;
    QTextStream out(stdout);
    const int count = args[2].toInt();
    printFrames(first.device(), count, out);
    if (!second.bind(args[1]))
        return 2;
    printFrames(second.device(), count, out);
    return 0;
}
