#include "PointsTreeFixtures.h"
#include "scoring/points/FragmentPicture.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QImage>

// The fragment picture of a question and its score overlay, on recorded tests
// of the benchmarks' builder; geometry as numbers, the overlay as pixels.

using namespace BallFixtures;
using namespace PointsTreeFixtures;

namespace {

// Pixels of the image that are not white, outside the close icon's square.
int markedPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255) && !(x >= image.width() - 20 && y >= 5 && y < 25))
                ++count;
    return count;
}

QImage overlaid(Inspection::_Test &test, int quest, int scale)
{
    FragmentOptions options;
    QPixmap picture(300, 250);
    picture.fill(Qt::white);
    FragmentPicture::drawBallOverlay(picture, 0, ball(1, quest, -1, 1, 0), &test, 1, quest, scale, options);
    return picture.toImage();
}

}  // namespace

class TestPointsFragment : public QObject
{
    Q_OBJECT

private slots:
    void spanFollowsTheMarksAndTheAnalysisInterval()
    {
        Inspection::_Test test = coefficientTest(2);
        test.ia.nIALength = 10.7;  // whole seconds count
        InspectionLabel &mark = test.labels[0];
        mark.TickQEnd = mark.TickQStart + 60;
        test.labels[1].TickQStart = mark.TickQEnd + 240;
        FragmentOptions options;
        options.unfold = 2000;
        options.analysisOnly = true;
        options.questionInterval = false;
        QCOMPARE(FragmentPicture::span(test, mark, &test.labels[1], options).right + 1, 100);
        QCOMPARE(FragmentPicture::span(test, mark, &test.labels[1], options).endTick, mark.TickQEnd + 200);
        options.questionInterval = true;
        QCOMPARE(FragmentPicture::span(test, mark, &test.labels[1], options).right + 1, 130);

        // The whole reaction runs to the next question, or past the analysis
        // interval, but never past the end of the recording.
        options = FragmentOptions();
        options.questionInterval = false;
        const InspectionLabel &next = test.labels[1];
        QCOMPARE(FragmentPicture::span(test, mark, &next, options).endTick, next.TickQStart);
        QCOMPARE(FragmentPicture::span(test, mark, &next, options).right, next.TickQStart - mark.TickQEnd);
        const InspectionLabel &last = test.labels.last();
        const int recorded = test.dataGSR.size();
        QCOMPARE(FragmentPicture::span(test, last, nullptr, options).endTick, recorded);
        QCOMPARE(FragmentPicture::span(test, last, nullptr, options).right, recorded - last.TickQEnd);
        test.ia.nIALength = 0;
        test.dataGSR.resize(1000);
        InspectionLabel early = test.labels[0];
        QCOMPARE(FragmentPicture::span(test, early, nullptr, options).endTick, early.TickQEnd + 100);

        // Overlapping marks moved in the review still give one pixel.
        InspectionLabel overlapped = next;
        overlapped.TickQStart = mark.TickQEnd - 30;
        QCOMPARE(FragmentPicture::span(test, mark, &overlapped, options).right, 0);
    }

    void pictureSizeAndMissingMarks()
    {
        Inspection::_Test test = coefficientTest(2);
        test.ia.nIALength = 2;
        FragmentOptions options;
        options.unit = 47;
        const QPixmap picture = FragmentPicture::renderFragment(&test, 1, 1, FragmentPicture::groupChannels(1), options);
        QCOMPARE(picture.height(), 235);
        options.unit = 100;
        QCOMPARE(FragmentPicture::renderFragment(&test, 2, 2, {}, options).height(), 500);
        QVERIFY(FragmentPicture::renderFragment(&test, 3, 0, {}, options).isNull());
        QVERIFY(FragmentPicture::renderFragment(nullptr, 1, 0, {}, options).isNull());
        QCOMPARE(FragmentPicture::groupChannels(2), QVector<int>({2, 3}));
        QVERIFY(FragmentPicture::groupChannels(3).isEmpty());
    }

    void overlayWritesScoresWhereTheScaleAllows()
    {
        using namespace QuestionKind;
        Inspection::_Test test = kindsTest({Neutral, Control, Test}, 1);
        // The close icon always, at (width - 20, 5).
        const QImage control101 = overlaid(test, 1, 1);
        QCOMPARE(QColor(control101.pixel(300 - 20 + 8, 5 + 2)), QColor(200, 40, 40));
        QCOMPARE(markedPixels(control101), 0);
        QVERIFY(markedPixels(overlaid(test, 2, 1)) > 0);
        QVERIFY(markedPixels(overlaid(test, 1, 0)) > 0);
        // A presentation without its mark gets nothing at all.
        QPixmap picture(100, 100);
        picture.fill(Qt::white);
        FragmentPicture::drawBallOverlay(picture, 0, ball(5, 2, 1, 1, 1), &test, 5, 2, 0, FragmentOptions());
        QCOMPARE(QColor(picture.toImage().pixel(100 - 20 + 8, 5 + 2)), QColor(Qt::white));
    }
};

VUG_TEST_MAIN(TestPointsFragment, QApplication)
#include "tst_pointsfragment.moc"
