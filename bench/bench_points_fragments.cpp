// The points window's two fragment lists refilled for a presentation of 15
// questions at auto scale in 260-pixel lists, at the narrowest and the widest
// unfold, beside drawing the same fragments with the polygram painter alone
// into one image. Run under xvfb-run or with QT_QPA_PLATFORM=offscreen.
#include "bench/BenchHome.h"
#include "BenchExamination.h"
#include "scoring/points/FragmentPanel.h"
#include "scoring/points/FragmentPicture.h"
#include "scoring/points/InspectionAnalysisBallFancy.h"
#include "scoring/points/_QDockWidget.h"
#include "scoring/points/_QListView.h"
#include "scoring/points/_QTreeViewExpand.h"

#include "data/ChannelBindings.h"
#include "data/ChannelUI.h"
#include "polygram/drawG.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>

namespace {

constexpr int kRuns = 9;
constexpr int kQuestions = 15;
constexpr int kListHeight = 260;

// One test of 15 questions, 20 s each, presented five times, with a 10-s
// analysis interval.
Inspection examination()
{
    BenchTestShape shape;
    shape.questions = kQuestions;
    shape.presentations = 5;
    shape.ticks = 400 * kQuestions * shape.presentations;
    shape.interval.nIALength = 10;
    Inspection inspection;
    inspection.appendTest(recordedTest(0, shape));
    // The display settings a test read from its file takes: curves drawn.
    Inspection::_Test &test = inspection.tests[0];
    bindChannelSettings(test, false);
    for (int code = 0; code < ChannelCode::Count; ++code) {
        test.channel(code).Amplify = 40;
        test.channel(code).Offset = 250;
    }
    return inspection;
}

double median(const std::function<void()> &step)
{
    QVector<double> times;
    QElapsedTimer timer;
    for (int run = 0; run < kRuns; ++run) {
        timer.start();
        step();
        QCoreApplication::processEvents();  // the lists' repaint
        times << timer.nsecsElapsed() / 1e6;
    }
    std::sort(times.begin(), times.end());
    return times[kRuns / 2];
}

// The panel's list made 260 pixels high inside.
void fitList(InspectionAnalysisBallFancy &window, int panel)
{
    _QListView *list = window.fragmentPanel(panel)->list();
    _QDockWidget *dock = window.fragmentPanel(panel)->dock();
    const int frame = list->height() - list->contentsRect().height();
    dock->setFixedHeight(dock->height() - list->height() + kListHeight + frame);
    for (int wait = 0; wait < 50 && list->contentsRect().height() != kListHeight; ++wait)
        QCoreApplication::processEvents();
}

// The fragments of presentation 1 drawn with the painter alone, side by side
// in one image of the lists' height.
void painterAlone(InspectionTest &test, int unfold, int unit)
{
    FragmentOptions options;
    options.unfold = unfold;
    QVector<FragmentPicture::Span> spans;
    int width = 0;
    for (int quest = 0; quest < kQuestions; ++quest) {
        spans << FragmentPicture::span(test, *test.findLabel(1, quest), test.labelAfter(1, quest), options);
        width += spans.last().right + 1;
    }
    QImage image(width, 5 * unit, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    drawG painterOfTest(&test, unfold);
    painterOfTest.setRenderHints(painter);
    int left = 0;
    for (const FragmentPicture::Span &span : qAsConst(spans)) {
        const QRect area(left, 0, span.right + 1, image.height());
        painterOfTest.fillQuestionIntervals(painter, area, span.endTick, 0, test.labels);
        painterOfTest.fillReactionShades(painter, area, span.endTick, 0, test.labels);
        painterOfTest.drawLabels(painter, area, span.endTick, 0, test.labels);
        for (int code = 0; code < ChannelCode::Count; ++code)
            if (*test.channel(code).Enable)
                painterOfTest.drawChannelCurve(painter, area, span.endTick, 0, code, code != ChannelCode::PG, false);
        left += span.right + 1;
    }
}

}  // namespace

int main(int argc, char *argv[])
{
    BenchHome home;
    QApplication app(argc, argv);
    initChannelsUI();
    QTextStream out(stdout);

    Inspection inspection = examination();
    int enabled = 0;
    for (int code = 0; code < ChannelCode::Count; ++code)
        enabled += *inspection.tests[0].channel(code).Enable;
    InspectionAnalysisBallFancy window;
    window.resize(1600, 1000);
    window.show();
    window.onModeInput_0();
    window.onChangedPersone(QString(), &inspection);
    if (!window.panelOptions(1).bVisiblePanel)
        window.onShowView2();
    window.splitDockWidget(window.fragmentPanel(0)->dock(), window.fragmentPanel(1)->dock(), Qt::Horizontal);
    fitList(window, 0);
    fitList(window, 1);
    QAbstractItemModel *model = window.navigatorTree()->model();
    window.navigatorTree()->selectionModel()->setCurrentIndex(model->index(1, 1, model->index(0, 0)),
                                                              QItemSelectionModel::ClearAndSelect);
    const int images = window.fragmentPanel(0)->list()->model()->rowCount();
    const int unit = window.fragmentPanel(0)->list()->model()->index(0, 0).data(Qt::DecorationRole)
                         .value<QPixmap>().height() / 5;

    const auto row = [&out](const QString &what, double ms) {
        out << QStringLiteral("%1  median %2 ms\n").arg(what, -52).arg(ms, 8, 'f', 2);
    };
    out << QStringLiteral("%1 images per list, %2 pixels high, %3 channels shown\n").arg(images).arg(unit * 5).arg(enabled);
    for (int unfold : {4000, 1000}) {
        for (int panel = 0; panel < 2; ++panel)
            window.fragmentPanel(panel)->selectUnfold(unfold);
        for (bool analysisOnly : {true, false}) {
            for (int panel = 0; panel < 2; ++panel) {
                if (window.panelOptions(panel).bShowAsIA != analysisOnly)
                    window.fragmentPanel(panel)->onShowAsIA();
            }
            const QString what = QStringLiteral("both lists, unfold %1 ms, %2")
                                     .arg(unfold)
                                     .arg(analysisOnly ? QStringLiteral("analysis interval")
                                                       : QStringLiteral("whole reaction"));
            row(what, median([&window] {
                    window.updateImageList(0);
                    window.updateImageList(1);
                }));
        }
        row(QStringLiteral("painter alone, one list's fragments, unfold %1 ms").arg(unfold),
            median([&inspection, unfold, unit] { painterAlone(inspection.tests[0], unfold, unit); }));
    }
    return 0;
}
