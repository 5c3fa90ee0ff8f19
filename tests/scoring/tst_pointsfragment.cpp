#include "PointsTreeFixtures.h"
#include "scoring/points/FragmentListFill.h"
#include "scoring/points/FragmentPicture.h"
#include "scoring/points/InspectionAnalysisBallFancy.h"
#include "scoring/points/_QTreeViewExpand.h"
#include "data/ChannelUI.h"
#include "data/SettingsStore.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QDockWidget>
#include <QImage>
#include <QListView>

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

// The key of each image of the window's first fragment list.
QList<QuestKey> imageKeys(InspectionAnalysisBallFancy &window)
{
    QList<QuestKey> keys;
    QAbstractItemModel *model = window.findChild<QDockWidget *>("m_pDiagramme")->findChild<QListView *>()->model();
    for (int row = 0; model && row < model->rowCount(); ++row) {
        QuestKey key;
        key.fromJson(model->index(row, 0).data(QuestKey::Role).toJsonObject());
        keys << key;
    }
    return keys;
}

int pixelsOf(const QImage &image, const QColor &colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == colour.rgb();
    return count;
}

QList<int> questsOf(const QList<QuestKey> &keys)
{
    QList<int> quests;
    for (const QuestKey &key : keys)
        quests << key.iQuest;
    return quests;
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

    // The row of the image's own channel group is bold and in the group's colour.
    void overlayEmphasisesTheImagesGroup()
    {
        using namespace QuestionKind;
        Inspection::_Test test = kindsTest({Neutral, Control, Test}, 1);
        const auto inkOfRow = [&test](int channelGroup, int row) {
            QPixmap picture(300, 250);
            picture.fill(Qt::white);
            FragmentPicture::drawBallOverlay(picture, channelGroup, ball(1, 2, 2, 2, 2), &test, 1, 2, 0,
                                             FragmentOptions());
            const QImage image = picture.toImage();
            const int h = QFontMetrics(QApplication::font()).height();
            return image.copy(0, 10 + row * h, 200, h);
        };
        const QImage boldRow = inkOfRow(0, 0);
        const QImage plainRow = inkOfRow(2, 0);
        QVERIFY(pixelsOf(boldRow, QColor(128, 64, 0)) > 0);
        QCOMPARE(pixelsOf(plainRow, QColor(128, 64, 0)), 0);
        QVERIFY(markedPixels(boldRow) > markedPixels(plainRow));
        QVERIFY(pixelsOf(inkOfRow(2, 2), QColor(0, 0, 200)) > 0);
    }

    void aTreeCellFillsTheVisibleList()
    {
        QFile::remove(SettingsStore::filePath());
        using namespace QuestionKind;
        Inspection examination;
        examination.appendTest(kindsTest({Neutral, Control, Test, Neutral}, 2));
        Inspection::_Test &test = examination.tests[0];
        putBall(test.valuationBall_012, ball(2, 3, 1, 1, 1, false));  // question 3 out of use in presentation 2
        InspectionAnalysisBallFancy window;
        window.resize(1200, 900);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.onModeInput_0();
        window.onChangedPersone(QString(), &examination);
        _QTreeViewExpand *tree = window.navigatorTree();
        QAbstractItemModel *model = tree->model();

        // A navigator cell: every question of its presentation, none current.
        const QModelIndex navigatorCell = model->index(1, 2, model->index(0, 0));
        tree->selectionModel()->setCurrentIndex(navigatorCell, QItemSelectionModel::ClearAndSelect);
        QCOMPARE(questsOf(imageKeys(window)), QList<int>({0, 1, 2}));
        QCOMPARE(imageKeys(window).first().iParam, 1);
        QListView *list = window.findChild<QDockWidget *>("m_pDiagramme")->findChild<QListView *>();
        QVERIFY(!list->currentIndex().isValid());
        const QModelIndex image = list->model()->index(0, 0);
        QVERIFY(image.data(FragmentListFill::PlainPictureRole).value<QPixmap>().toImage()
                != image.data(Qt::DecorationRole).value<QPixmap>().toImage());
        QCOMPARE(test.valuationBall_012.size(), 1);  // nothing inserted
        QCOMPARE(test.valuationBall_012[2].size(), 1);

        // An expert cell makes its own question current.
        window.onModeInput_1();
        model = tree->model();
        const QModelIndex expertCell = model->index(1, 1, model->index(2, 0, model->index(0, 0)));
        tree->selectionModel()->setCurrentIndex(expertCell, QItemSelectionModel::ClearAndSelect);
        QCOMPARE(questsOf(imageKeys(window)), QList<int>({0, 1, 2, 3}));
        QCOMPARE(list->currentIndex().row(), 2);

        // Several cells: one image each.
        tree->selectionModel()->select(model->index(0, 2, model->index(0, 0, model->index(0, 0))),
                                       QItemSelectionModel::Select);
        QCOMPARE(imageKeys(window).size(), 2);
    }

    // A test read from its subject file takes the shared display settings, so
    // its fragments draw the channel curves, not only marks and frame.
    void aTestReadFromItsFileDrawsItsCurves()
    {
        QFile::remove(SettingsStore::filePath());
        initChannelsUI();
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("subject.qmz"));
        {
            Inspection source(path);
            BenchTestShape shape;
            shape.questions = 3;
            shape.presentations = 2;
            shape.ticks = 2400;
            source.appendTest(recordedTest(1, shape));
            Inspection::_Test &test = source.tests[0];
            for (int code = 0; code < ChannelCode::Count; ++code) {
                test.channel(code).Amplify = 40;
                test.channel(code).Offset = 250;
            }
            QCOMPARE(source.saveTestStruct(&test, false), StoreResult::Ok);
            QCOMPARE(source.saveRecording(&test), StoreResult::Ok);
        }
        Inspection examination;
        QCOMPARE(examination.load(path), StoreResult::Ok);
        InspectionAnalysisBallFancy window;
        window.resize(1200, 900);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.onModeInput_0();
        window.onChangedPersone(path, &examination);
        QAbstractItemModel *model = window.navigatorTree()->model();
        const QModelIndex skinCell = model->index(0, 2, model->index(0, 0));
        window.navigatorTree()->selectionModel()->setCurrentIndex(skinCell, QItemSelectionModel::ClearAndSelect);
        QCOMPARE(imageKeys(window).size(), 3);
        QCOMPARE(imageKeys(window).first().iParam, 0);
        QListView *list = window.findChild<QDockWidget *>("m_pDiagramme")->findChild<QListView *>();
        const QModelIndex image = list->model()->index(0, 0);
        const QImage plain = image.data(FragmentListFill::PlainPictureRole).value<QPixmap>().toImage();
        QVERIFY(pixelsOf(plain, channelsUI()[ChannelCode::GSR].rgbColor) > 20);
    }
};

VUG_TEST_MAIN(TestPointsFragment, QApplication)
#include "tst_pointsfragment.moc"
