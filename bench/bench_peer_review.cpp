// Our side of bench/peer_compare.py: the review screen as a window of its own
// with the one-hour, 13-channel noisy test, at the sweep given, on the fill
// path the program itself chooses (an explicit QT_NO_CPU_FEATURE is kept).
// It prints where the horizontal scroll bar's trough lies on the screen, so
// the driver pages it by clicks as a user does. With --edf FILE it writes the
// same samples as EDF for the peer viewer and exits.
#include "app/RasterFillChoice.h"
#include "polygram/InspectionPoligrammeFancy.h"
#include "polygram/PoligrammeView.h"
#include "polygram/RenderPath.h"
#include "polygram/_QAbstractScrollArea.h"
#include "tests/polygram/PolygramFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QScrollBar>
#include <QTimer>

#include <cstdio>

VUG_CHOOSE_RASTER_FILLS_BEFORE_LIBRARIES;

namespace {

QByteArray field(const QByteArray &text, int width)
{
    return text.leftJustified(width, ' ', true);
}

// EDF: a 256-byte header, 256 bytes per signal, then one-second records of
// little-endian 16-bit samples, signal after signal.
bool writeEdf(const Inspection::_Test &test, const QString &path)
{
    constexpr int kRate = 20;
    const int count = ChannelCode::Count;
    const int records = test.samples(0)->size() / kRate;
    QByteArray header = field("0", 8) + field("X X X X", 80) + field("Startdate 01-JAN-2026 X X X", 80)
                        + field("01.01.26", 8) + field("09.00.00", 8) + field(QByteArray::number(256 * (count + 1)), 8)
                        + field("", 44) + field(QByteArray::number(records), 8) + field("1", 8)
                        + field(QByteArray::number(count), 4);
    const auto each = [&](const QByteArray &text, int width) {
        for (int code = 0; code < count; ++code)
            header += field(text.isEmpty() ? "ch" + QByteArray::number(code + 1) : text, width);
    };
    each("", 16);
    each(" ", 80);
    each("uV", 8);
    each("-32768", 8);
    each("32767", 8);
    each("-32768", 8);
    each("32767", 8);
    each(" ", 80);
    each(QByteArray::number(kRate), 8);
    each(" ", 32);
    QByteArray data;
    data.reserve(records * count * kRate * 2);
    for (int r = 0; r < records; ++r)
        for (int code = 0; code < count; ++code)
            for (int i = 0; i < kRate; ++i) {
                const qint16 v = test.samples(code)->at(r * kRate + i);
                data.append(char(v & 0xff)).append(char((v >> 8) & 0xff));
            }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(header) == header.size() && file.write(data) == data.size();
}

}  // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    RenderPath::decide();
    PolygramFixture fixture;
    fixture.fillOneHour();
    fixture.addNoise(150);
    fixture.test.recorded = true;
    const QStringList args = app.arguments();
    if (args.size() > 2 && args[1] == QLatin1String("--edf"))
        return writeEdf(fixture.test, args[2]) ? 0 : 1;
    const int sweepIndex = args.size() > 1 ? args[1].toInt() : 0;

    Inspection inspection;
    inspection.appendTest(fixture.test);
    InspectionPoligrammeFancy screen;
    screen.setWindowTitle(QStringLiteral("vug-review"));
    screen.setGeometry(0, 0, 1920, 1080);
    screen.showMaximized();
    screen.onChangedPersone(QString(), &inspection);
    screen.showTest(0, -1, -1);
    QComboBox *selector = screen.sweepSelector();
    const int index = sweepIndex < 0 ? selector->count() - 1 : sweepIndex;
    emit selector->activated(index);
    selector->setCurrentIndex(index);
    QTimer::singleShot(1500, &screen, [&screen] {
        QScrollBar *bar = screen.scrollArea()->horizontalScrollBar();
        const QPoint left = bar->mapToGlobal(QPoint(0, bar->height() / 2));
        std::printf("sweep %d trough %d %d %d pages %d fills %s view %d\n", screen.view()->sweep(), left.x(),
                    left.y(), bar->width(), bar->maximum() / qMax(1, bar->pageStep()) + 1,
                    RasterFillChoice::avx2Fills() ? "avx2" : "sse2", screen.view()->width());
        std::fflush(stdout);
    });
    return app.exec();
}
