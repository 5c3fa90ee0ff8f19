// sensorprobe <plug-in file> <frames>: binds the plug-in twice, reads the given
// number of frames from the first device and then as many from the second, and
// prints each frame as one line of 13 numbers. Entries a device leaves alone keep
// the marker 12345. Exit code 2 when the plug-in cannot be bound.
// sensorprobe <plug-in file> <frames> <threads>: each thread reads the given number
// of frames from a device of its own, all at once; then one more frame is printed.
#include "sensors/interface/SensorFrame.h"
#include "sensors/interface/SensorPlugin.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>
#include <QThread>

#include <memory>
#include <vector>

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

// Every thread binds its own device, as the acquisition thread and the GUI thread do.
bool readConcurrently(const QString &file, int count, int threads)
{
    std::vector<std::unique_ptr<SensorPlugin>> plugins;
    std::vector<std::unique_ptr<QThread>> readers;
    for (int i = 0; i < threads; ++i) {
        plugins.push_back(std::make_unique<SensorPlugin>());
        if (!plugins.back()->bind(file))
            return false;
        ISensorBase *device = plugins.back()->device();
        readers.emplace_back(QThread::create([device, count] {
            SensorFrame frame{};
            for (int n = 0; n < count; ++n)
                device->readFrame(frame.data());
        }));
    }
    for (auto &reader : readers)
        reader->start();
    for (auto &reader : readers)
        reader->wait();
    return true;
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3 && args.size() != 4)
        return 1;
    SensorPlugin first;
    SensorPlugin second;
    if (!first.bind(args[1]))
        return 2;
    QTextStream out(stdout);
    const int count = args[2].toInt();
    if (args.size() == 4) {
        if (!readConcurrently(args[1], count, args[3].toInt()))
            return 2;
        printFrames(first.device(), 1, out);
        return 0;
    }
    printFrames(first.device(), count, out);
    if (!second.bind(args[1]))
        return 2;
    printFrames(second.device(), count, out);
    return 0;
}
