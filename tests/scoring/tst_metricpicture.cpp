#include "MetricFixtures.h"

#include "scoring/metric/InspectionAnalysisMetrFancy.h"
#include "scoring/metric/MetricMeasure.h"
#include "scoring/metric/_QLabel.h"
#include "scoring/metric/_QTreeView.h"
#include "data/ChannelSearchSeries.h"
#include "data/SettingsStore.h"
#include "tests/data/StoreFixtures.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QtMath>

#include <memory>

namespace {

const QUuid kVorkel16(QStringLiteral("{05209770-FCC0-4EBD-99C3-0A64CAFB2B1E}"));
constexpr int kQuestionStart = 200;
constexpr int kQuestionLength = 40;

// A subject file with one recorded test of two questions presented twice,
// the skin-galvanic channel a step at 250 and the pulse channel a wave of
// period 20 samples, and one parameter of the given kind.
struct Subject {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Обследуемый.qmz"));
    Inspection examination;
    QUuid uid;

    explicit Subject(int kind, int code = 0)
    {
        examination.path = path;
        Inspection::_Test test = MetricFixtures::presentedTest(2, 2);
        for (int i = 0; i < test.labels.size(); ++i) {
            test.labels[i].TickQStart = kQuestionStart + 400 * i;
            test.labels[i].TickQEnd = kQuestionStart + 400 * i + kQuestionLength;
        }
        test.ia.nIALength = 5;
        test.dataGSR.resize(2000);
        test.dataPG.resize(2000);
        for (int i = 0; i < 2000; ++i) {
            test.dataGSR[i] = qint16(i % 400 < 250 ? 100 : 1100);
            test.dataPG[i] = qint16(1000 * std::sin(2 * M_PI * i / 20.0));
        }
        for (int c : {0, 4}) {
            test.channel(c).Amplify = 1.0;
            test.channel(c).Offset = 0.0;
        }
        examination.appendTest(test);
        examination.saveTestStruct(&examination.tests[0]);
        examination.saveRecording(&examination.tests[0]);
        Inspection::_MetricParam param = MetricFixtures::param(1.0);
        param.eMet = kind;
        param.nKodChannel = qint16(code);
        param.Name = QStringLiteral("Параметр");
        uid = param.uid;
        examination.metricParams.append(param);
        examination.saveMetricParams();
    }

    Inspection::_MetricValuation stored(int group, int quest) const
    {
        Inspection fresh;
        fresh.load(path);
        fresh.loadRecording(fresh.test(0), true);
        return fresh.tests[0].valuationMetric.value(group).value(quest).value(uid);
    }
};

struct Window {
    InspectionAnalysisMetrFancy window;
    explicit Window(Subject &subject) { window.onChangedPersone(subject.path, &subject.examination); }

    QModelIndex cell(int quest, int group) const
    {
        const QAbstractItemModel *model = window.resultsTree()->model();
        return model->index(group - 1, 4, model->index(quest, 0, model->index(0, 0)));
    }
    void show(int quest, int group) { window.resultsTree()->setCurrentIndex(cell(quest, group)); }
    void click(int x, int y) { QTest::mouseClick(window.picture(), Qt::LeftButton, {}, QPoint(x, y)); }
};

} // namespace

class TestMetricPicture : public QObject
{
    Q_OBJECT

private slots:
    void init() { QFile::remove(SettingsStore::filePath()); }

    void panelUnitsAndChannelValues()
    {
        Inspection::_Test test = MetricFixtures::presentedTest(1, 1);
        test.channel(0).Offset = 0.0;
        test.channel(0).Amplify = 1.0;
        QCOMPARE(MetricMeasure::valueToPanelY(test, 0, 1000, 1), 549.7314453125);
        QCOMPARE(MetricMeasure::valueToPanelY(test, 0, 549.7314453125, -1), 1000.0);
        bool inverted = true;
        test.channel(0).Inverse = &inverted;
        QCOMPARE(MetricMeasure::valueToPanelY(test, 0, 1000, 1), 550.2685546875);
        QCOMPARE(MetricMeasure::valueToPanelY(test, 0, 550.2685546875, -1), 1000.0);
        QCOMPARE(MetricMeasure::valueToPanelY(test, 13, 1000, 1), 1000.0);
        test.channel(0).Amplify = 0.0;  // drawn as 1, never divided by zero
        test.channel(0).Inverse = nullptr;
        QCOMPARE(MetricMeasure::valueToPanelY(test, 0, 1000, 1), 549.7314453125);
    }

    void pictureSizeByScaleAndInterval()
    {
        Subject subject(1);
        Window w(subject);
        for (int scale : {20, 60, 100}) {
            w.window.onScale20Action();
            if (scale == 60)
                w.window.onScale60Action();
            if (scale == 100)
                w.window.onScale100Action();
            const QPixmap shown = w.window.drawDiagram(0, 1, 0, 0);
            QCOMPARE(shown.height(), scale * 550 / 100);
            QCOMPARE(shown.width(), 100);  // the analysis interval alone
        }
        w.window.onShowIAAction();
        QCOMPARE(w.window.drawDiagram(0, 1, 0, 0).width(), 100 + kQuestionLength + 100);
        QVERIFY(w.window.drawDiagram(0, 3, 0, 0).isNull());
        QVERIFY(w.window.drawDiagram(7, 1, 0, 0).isNull());
    }

    void clicksAndStepsPlaceTheCorners()
    {
        Subject subject(1);
        Window w(subject);
        w.window.onScale100Action();
        w.show(0, 1);
        _QLabel *label = w.window.picture();
        QVERIFY(label->isLoaded());
        QCOMPARE(label->size(), QSize(100, 550));
        // The picture starts at the question's end mark: pixel 10 is 50 samples after the start mark.
        w.click(10, 300);
        QCOMPARE(label->clickCount() % 2, 1);
        w.click(30, 100);
        QCOMPARE(label->corners().x1, 10.0 + kQuestionLength);
        QCOMPARE(label->corners().x2, 30.0 + kQuestionLength);
        QCOMPARE(label->corners().y2, 300.0);  // a horizontal segment stays at the first height
        QCOMPARE(label->currentValue(), 20);
        label->moveCorners(0, -1, 0, 0);
        label->moveCorners(0, 0, 0, -1);
        QCOMPARE(label->corners().y1, 298.0);
        QCOMPARE(label->corners().y2, 298.0);
        w.window.moveByKey(Qt::ControlModifier, Qt::Key_Right);
        QCOMPARE(label->corners().x2, 31.0 + kQuestionLength);
        w.window.moveByKey(Qt::AltModifier, Qt::Key_Right);
        QCOMPARE(label->corners().x2, 31.0 + kQuestionLength);
        w.window.moveByKey(Qt::NoModifier, Qt::Key_Escape);
        QCOMPARE(label->corners().x1, 0.0);
        QCOMPARE(label->clickCount(), 0);

        // Without the interval alone the picture starts at the start mark.
        w.window.onShowIAAction();
        w.click(10, 300);
        QCOMPARE(label->corners().x1, 10.0);

        Subject vertical(2);
        Window v(vertical);
        v.window.onScale100Action();
        v.show(0, 1);
        v.click(10, 100);
        v.click(80, 300);
        QCOMPARE(v.window.picture()->corners().x2, v.window.picture()->corners().x1);
        v.window.onMoveLeftAction2();
        QCOMPARE(v.window.picture()->corners().x1, 9.0 + kQuestionLength);
    }

    void spaceStoresWhatTheReadoutShowsAndMovesOn()
    {
        Subject subject(2);
        subject.examination.tests[0].channel(0).Amplify = 1000.0;  // 1000 values span half the panel
        Window w(subject);
        w.window.onScale20Action();
        w.show(1, 1);
        QVERIFY(subject.examination.tests[0].valuationMetric.isEmpty());  // only shown
        w.click(5, int(MetricMeasure::valueToPanelY(subject.examination.tests[0], 0, 100, 1) * 0.2));
        w.click(5, int(MetricMeasure::valueToPanelY(subject.examination.tests[0], 0, 1100, 1) * 0.2));
        const int shown = w.window.picture()->currentValue();
        QVERIFY2(qAbs(shown - 100) <= 5, qPrintable(QString::number(shown)));  // distance 1000 / 10
        w.window.moveByKey(Qt::NoModifier, Qt::Key_Space);
        const Inspection::_MetricValuation stored = subject.stored(1, 1);
        QCOMPARE(stored.nValue, shown);
        QCOMPARE(stored.iGroup, 1);
        QCOMPARE(stored.iQuest, 1);
        QCOMPARE(stored.ptStart_x, 5.0 + kQuestionLength);
        QCOMPARE(w.window.resultsTree()->currentIndex(), w.cell(1, 2));
        QCOMPARE(w.cell(1, 1).data().toString(), QString::number(shown));

        // The same clicks at another scale store the same value.
        w.window.onScale100Action();
        w.show(1, 2);
        w.click(5, int(MetricMeasure::valueToPanelY(subject.examination.tests[0], 0, 100, 1)));
        w.click(5, int(MetricMeasure::valueToPanelY(subject.examination.tests[0], 0, 1100, 1)));
        QVERIFY(qAbs(w.window.picture()->currentValue() - shown) <= 5);
    }

    // After a refused measurement the readout reads what the file holds, as the table does.
    void aRefusedMeasurementShowsTheStoredValue()
    {
        Subject subject(2);
        subject.examination.tests[0].channel(0).Amplify = 1000.0;
        Window w(subject);
        w.window.onScale20Action();
        w.show(1, 1);
        const int stored = w.window.picture()->currentValue();
        StoreFixtures::failWritesAfter(subject.path, int(InspectionDataType::MetricValuation), 0);
        w.click(5, int(MetricMeasure::valueToPanelY(subject.examination.tests[0], 0, 100, 1) * 0.2));
        w.click(5, int(MetricMeasure::valueToPanelY(subject.examination.tests[0], 0, 1100, 1) * 0.2));
        QVERIFY(w.window.picture()->currentValue() != stored);
        MessageBoxAnswerer answers({QMessageBox::Ok});
        w.window.moveByKey(Qt::NoModifier, Qt::Key_Space);
        QCOMPARE(answers.asked().size(), 1);
        QVERIFY(answers.asked()[0].contains("измерения теста"));
        QCOMPARE(w.window.resultsTree()->currentIndex(), w.cell(1, 1));
        QCOMPARE(w.window.picture()->currentValue(), stored);
        QCOMPARE(w.cell(1, 1).data().toString(), QString::number(subject.stored(1, 1).nValue));
    }

    void lengthAndRateOfTheChannel()
    {
        Subject length(4);
        Window w(length);
        w.window.onShowIAAction();
        w.show(0, 1);
        // The step of 1000 lies at 250, inside 200 + 30 ... 200 + 80.
        w.click(30, 10);
        w.click(80, 10);
        QCOMPARE(w.window.picture()->currentValue(), 1000);
        w.click(80, 10);
        w.click(30, 10);  // the second corner left of the first
        QCOMPARE(w.window.picture()->currentValue(), 0);

        Subject rate(5, 4);
        Window r(rate);
        r.window.onShowIAAction();
        r.show(0, 1);
        r.click(0, 10);
        r.click(140, 10);
        const int perMinute = r.window.picture()->currentValue();
        QVERIFY2(qAbs(perMinute - 60) <= 3, qPrintable(QString::number(perMinute)));  // one wave a second
        r.window.moveByKey(Qt::NoModifier, Qt::Key_Space);
        QCOMPARE(rate.stored(1, 0).nValue, perMinute);
    }

    void shiftShowsThePlaceOnThePolygram()
    {
        Subject subject(1, 4);
        Window w(subject);
        QSignalSpy spy(&w.window, &InspectionAnalysisMetrFancy::notifyShowPoligrammeFromMetr);
        w.show(1, 2);
        w.window.moveByKey(Qt::ShiftModifier, Qt::Key_Shift);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.first(), QVariantList({0, kQuestionStart + 400 * 3, 4}));
        w.window.moveByKey(Qt::ShiftModifier, Qt::Key_Left);
        QCOMPARE(spy.size(), 1);
        w.show(0, 1);  // row 0, column 4
        w.window.resultsTree()->setCurrentIndex(w.window.resultsTree()->model()->index(0, 0));
        w.window.moveByKey(Qt::ShiftModifier, Qt::Key_Shift);
        QCOMPARE(spy.size(), 1);
    }

    void searchSeriesOfTwelveAndSixteenBitUnits()
    {
        Inspection::_Test test = MetricFixtures::presentedTest(1, 1);
        test.dataPG = {100, -200, 300, 400};
        QCOMPARE(channelSearchSeries(test, 4, SeriesFilter::None, 0, 0), QVector<qint16>({100, -200, 300, 400}));
        QCOMPARE(channelSearchSeries(test, 4, SeriesFilter::None, 0, 10000), QVector<qint16>({10100, 9800, 10300, 10400}));
        Inspection::_Test wide = test;
        wide.idsensor = kVorkel16;
        wide.dataPG = {1600, -3200, 4800, 6400};
        QCOMPARE(channelSearchSeries(wide, 4, SeriesFilter::None, 0, 0), QVector<qint16>({100, -200, 300, 400}));
        test.dataPG = QVector<qint16>(40, 500);
        wide.dataPG = QVector<qint16>(40, 8000);
        QCOMPARE(channelSearchSeries(wide, 4, SeriesFilter::LowPassA, 10, 0),
                 channelSearchSeries(test, 4, SeriesFilter::LowPassA, 10, 0));
        QVERIFY(channelSearchSeries(test, 13, SeriesFilter::None, 0, 0).isEmpty());
        // The filtered output of sample "shift" fills the first place: a 0 there is a false minimum.
        const QVector<qint16> shifted = channelSearchSeries(test, 4, SeriesFilter::LowPassA, 10, 10000);
        QVERIFY(shifted.first() != 0);
        QCOMPARE(shifted.count(0), 10);
        // A window past the end of the recording reads what exists.
        Inspection::_MetricParam param = MetricFixtures::param(1.0);
        param.eMet = 5;
        param.nKodChannel = 4;
        QCOMPARE(MetricMeasure::measuredValue(test, param, 30, QPointF(0, 0), QPointF(500, 0)), 0);
    }
};

VUG_TEST_MAIN(TestMetricPicture, QApplication)
#include "tst_metricpicture.moc"
