// The review screen at 1920 x 1080 on the real display (run under xvfb-run:
// Mesa's llvmpipe) with a one-hour, 13-channel test: the whole hour scrolled
// by page steps at sweeps 1000 and 4000 and the thirteen sweeps zoomed through
// at three places, each frame the view and the strip repainted and finished.
// Beside it the floor (two OpenGL widgets of the same sizes only clearing)
// and the strip drawn afresh every frame. Also counts settings-file writes.
#include "data/GenericSettings.h"
#include "data/SettingsStore.h"
#include "polygram/ContextPoligrammePicture.h"
#include "polygram/ContextPoligrammeWidget.h"
#include "polygram/InspectionPoligrammeFancy.h"
#include "polygram/PoligrammeView.h"
#include "polygram/SweepTable.h"
#include "polygram/_QAbstractScrollArea.h"
#include "tests/polygram/PolygramFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>
#include <QPainter>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextStream>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace {

// An OpenGL widget that only clears: what llvmpipe costs at a size.
class ClearWidget : public QOpenGLWidget
{
protected:
    void paintGL() override
    {
        context()->functions()->glClearColor(1, 1, 1, 1);
        context()->functions()->glClear(GL_COLOR_BUFFER_BIT);
    }
};

void finish(QOpenGLWidget *widget)
{
    widget->makeCurrent();
    widget->context()->functions()->glFinish();
    widget->doneCurrent();
}

// Milliseconds from asking both widgets for a new picture until the window
// shows it, finished.
double frame(QOpenGLWidget *view, QOpenGLWidget *strip, const std::function<void()> &extra = {})
{
    bool viewShown = false;
    bool stripShown = false;
    const QMetaObject::Connection viewSwap =
        QObject::connect(view, &QOpenGLWidget::frameSwapped, [&viewShown] { viewShown = true; });
    const QMetaObject::Connection stripSwap =
        QObject::connect(strip, &QOpenGLWidget::frameSwapped, [&stripShown] { stripShown = true; });
    QElapsedTimer timer;
    timer.start();
    view->update();
    if (extra)
        extra();
    strip->update();
    while (!(viewShown && stripShown) && timer.elapsed() < 10000)
        QCoreApplication::processEvents();
    finish(view);
    finish(strip);
    const double ms = timer.nsecsElapsed() / 1e6;
    QObject::disconnect(viewSwap);
    QObject::disconnect(stripSwap);
    return ms;
}

QString figures(const char *name, QVector<double> times)
{
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    const double p95 = times[qMin(times.size() - 1, int(times.size() * 0.95))];
    return QString::asprintf("%-34s frames %3d  median %7.2f ms  95%% %7.2f ms  max %7.2f ms\n", name,
                             int(times.size()), median, p95, times.last());
}

// The last-modified times of every settings file.
QMap<QString, QDateTime> settingsFiles()
{
    QMap<QString, QDateTime> files;
    QDir folder(QFileInfo(SettingsStore::filePath()).absolutePath());
    for (const QFileInfo &file : folder.entryInfoList(QDir::Files))
        files[file.fileName()] = file.lastModified();
    return files;
}

QStringList changedFiles(const QMap<QString, QDateTime> &before, const QMap<QString, QDateTime> &after)
{
    QStringList changed;
    for (auto it = after.begin(); it != after.end(); ++it)
        if (before.value(it.key()) != it.value())
            changed << it.key();
    return changed;
}

}  // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir home;
    SettingsStore::setConfigFolder(home.path());
    QApplication app(argc, argv);
    GenericSettings settings;
    settings.load();
    settings.bShowTrasparentPanel_Inspection = settings.bShowTrasparentPanel_Quest = true;
    settings.bShowTrasparentPanel_Pulse = settings.bShowTrasparentPanel_GSR = true;
    settings.bShowTrasparentPanel_Pressure = true;
    settings.save();

    PolygramFixture fixture;
    fixture.fillOneHour();
    fixture.test.recorded = true;
    Inspection inspection;
    inspection.appendTest(fixture.test);

    InspectionPoligrammeFancy screen;
    screen.setGeometry(0, 0, 1920, 1080);
    screen.show();
    screen.onChangedPersone(QString(), &inspection);
    screen.showTest(0, -1, -1);
    for (int i = 0; i < 20; ++i)
        app.processEvents();
    _QAbstractScrollArea *area = screen.scrollArea();
    PoligrammeView *view = screen.view();
    ContextPoligrammeWidget *strip = screen.strip();
    QScrollBar *bar = area->horizontalScrollBar();
    const auto sweepTo = [&](int index) {
        emit screen.sweepSelector()->activated(index);
        screen.sweepSelector()->setCurrentIndex(index);
    };
    const auto scrollHour = [&](int index, const std::function<void()> &extra) {
        sweepTo(index);
        bar->setValue(0);
        QVector<double> times;
        for (int value = 0; value <= bar->maximum(); value += bar->pageStep()) {
            bar->setValue(value);
            times << frame(view, strip, extra);
        }
        return times;
    };
    const auto zoomThrough = [&](const std::function<void()> &extra) {
        QVector<double> times;
        for (int tick : {6000, 36000, 66000}) {
            for (int index = 0; index < SweepTable::Count; ++index) {
                sweepTo(index);
                bar->setValue(tick * 1000 / view->sweep());
                times << frame(view, strip, extra);
            }
        }
        return times;
    };

    QTextStream out(stdout);
    view->makeCurrent();
    const QString renderer =
        QString::fromLatin1(reinterpret_cast<const char *>(view->context()->functions()->glGetString(GL_RENDERER)));
    view->doneCurrent();
    out << QString::asprintf("view %d x %d, strip %d x %d, ", view->width(), view->height(), strip->width(),
                             strip->height())
        << renderer << "\n";
    const QMap<QString, QDateTime> before = settingsFiles();
    out << figures("scroll the hour, sweep 1000", scrollHour(0, {}));
    out << figures("scroll the hour, sweep 4000", scrollHour(12, {}));
    out << figures("zoom through 13 sweeps", zoomThrough({}));
    for (int i = 0; i < 5; ++i)
        app.processEvents();
    const QStringList written = changedFiles(before, settingsFiles());
    out << "settings files written meanwhile: " << written.size() << ' ' << written.join(QStringLiteral(", "))
        << '\n';

    // Baseline: the strip's whole test drawn afresh every frame.
    const auto freshStrip = [&] {
        QImage image(strip->size(), QImage::Format_ARGB32_Premultiplied);
        ContextPoligrammePicture picture;
        picture.test = area->test();
        picture.sweep = view->sweep();
        picture.position = view->visibleTicks();
        QPainter painter(&image);
        picture.paint(painter, strip->size());
    };
    out << figures("baseline: fresh strip, sweep 1000", scrollHour(0, freshStrip));
    out << figures("baseline: fresh strip, sweep 4000", scrollHour(12, freshStrip));
    out << figures("baseline: fresh strip, zoom", zoomThrough(freshStrip));

    // Baseline: two widgets of the same sizes that only clear.
    QWidget floor;
    floor.setGeometry(0, 0, 1920, 1080);
    auto *clearView = new ClearWidget;
    auto *clearStrip = new ClearWidget;
    clearView->setFixedSize(view->size());
    clearStrip->setFixedSize(strip->size());
    auto *layout = new QVBoxLayout(&floor);
    layout->addWidget(clearView);
    layout->addWidget(clearStrip);
    screen.hide();
    floor.show();
    for (int i = 0; i < 20; ++i)
        app.processEvents();
    QVector<double> clearing;
    for (int i = 0; i < 40; ++i)
        clearing << frame(clearView, clearStrip);
    out << figures("baseline: clearing only", clearing);
    return 0;
}
