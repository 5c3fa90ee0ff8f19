#include "PointsWindowFixtures.h"
#include "scoring/points/MatrixBallDlg.h"
#include "scoring/points/PointsPanelOptions.h"
#include "scoring/points/WeightingBallDlg.h"
#include "data/ActivePopupMenu.h"
#include "data/SettingsStore.h"
#include "tests/support/MenuActions.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QMenu>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

#include <climits>

// The reaction matrix of a test and the weighting dialog: cell sizes and
// frames, packing and order of the grid, the menu and the settings, and when
// the points window opens the matrix.

using namespace PointsTreeFixtures;
using namespace PointsWindowFixtures;

namespace {

// Three questions (neutral, control, test) presented twice, 10-s analysis.
Inspection::_Test matrixTest()
{
    BenchTestShape shape;
    shape.questions = 3;
    shape.presentations = 2;
    shape.ticks = 600 * 3 * 2;
    shape.kind = [](int q) { return q; };
    shape.interval.nIALength = 10;
    Inspection::_Test test = recordedTest(1, shape);
    test.labels[1].TickQEnd = test.labels[1].TickQStart + 290;  // the longest question
    return test;
}

QImage cell(MatrixBallDlg &dialog, int row, int column)
{
    return dialog.table()->model()->index(row, column).data(Qt::DecorationRole).value<QPixmap>().toImage();
}

QImage picture(MatrixBallDlg &dialog, Inspection::_Test &test, int presentation, int quest)
{
    return dialog.renderFragment(*test.findLabel(presentation, quest)).toImage();
}


int storedUnfold()
{
    auto settings = SettingsStore::open();
    return settings->value(QStringLiteral("MatrixBallDlg_v1/iUnfold")).toInt();
}

// The dialogs that a call opens modally, each closed at once.
QStringList modalsDuring(const std::function<void()> &call)
{
    QStringList opened;
    const auto closeModal = [&opened] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            opened << QString::fromLatin1(dialog->metaObject()->className())
                    + (dialog->isMaximized() || dialog->windowState() & Qt::WindowMaximized ? "+max" : "");
            dialog->reject();
        }
    };
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, closeModal);
    poll.start(20);
    call();
    QTest::qWait(60);
    // Once more, whether the poll's timer came round meanwhile or not.
    closeModal();
    return opened;
}

}  // namespace

class TestPointsMatrix : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QFile::remove(SettingsStore::filePath());
    }

    void cellSizesAndFrames()
    {
        Inspection::_Test test = matrixTest();
        MatrixBallDlg dialog(&test);
        QCOMPARE(MatrixBallDlg::maxQuestInterval(test), 290);
        QCOMPARE(dialog.windowFlags() & Qt::WindowContextHelpButtonHint, Qt::WindowFlags());
        QCOMPARE(picture(dialog, test, 1, 0).size(), QSize(200 + 290, 500));
        dialog.onShowQuest();
        QCOMPARE(picture(dialog, test, 1, 0).size(), QSize(200, 500));
        dialog.setScale(60);
        QCOMPARE(picture(dialog, test, 2, 2).height(), 300);
        QCOMPARE(picture(dialog, test, 1, 0).pixelColor(2, 2), QColor(0, 127, 0));
        QCOMPARE(picture(dialog, test, 1, 1).pixelColor(2, 2), QColor(0, 0, 127));
        QCOMPARE(picture(dialog, test, 1, 2).pixelColor(2, 2), QColor(127, 0, 0));
        QCOMPARE(picture(dialog, test, 1, 2).pixelColor(200 - 3, 300 - 3), QColor(127, 0, 0));
        QCOMPARE(cell(dialog, 1, 2), picture(dialog, test, 2, 2));
    }

    void gridPacksByQuestionOrFollowsTheRecording()
    {
        Inspection::_Test test = matrixTest();
        test.labels[3].Theme = 7;  // presentation 2 has no mark of its first question
        MatrixBallDlg dialog(&test);
        dialog.onShowAsLabel();  // by question
        QCOMPARE(dialog.table()->model()->rowCount(), 2);
        QCOMPARE(dialog.table()->model()->columnCount(), 3);
        QCOMPARE(cell(dialog, 0, 0), picture(dialog, test, 1, 0));
        QCOMPARE(cell(dialog, 1, 0), picture(dialog, test, 2, 1));
        QCOMPARE(cell(dialog, 1, 1), picture(dialog, test, 2, 2));
        QVERIFY(cell(dialog, 1, 2).isNull());

        // Recorded order: question 1 was asked before question 0 in presentation 1.
        test.labels[3].Theme = 0;
        test.labels.swapItemsAt(0, 1);
        dialog.onShowAsLabel();
        QCOMPARE(cell(dialog, 0, 0), picture(dialog, test, 1, 1));
        QCOMPARE(cell(dialog, 0, 1), picture(dialog, test, 1, 0));
        QCOMPARE(dialog.table()->model()->index(0, 0).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight));

        // All three kinds off: only questions of other kinds stay.
        test.themis[1] = InspectionTheme(test.themis[1].Theme, 10000);
        dialog.onShowQuestC();
        dialog.onShowQuestP();
        dialog.onShowQuestN();
        QCOMPARE(cell(dialog, 0, 0), picture(dialog, test, 1, 1));
        QVERIFY(cell(dialog, 0, 1).isNull());
        QCOMPARE(cell(dialog, 1, 0), picture(dialog, test, 2, 1));

        Inspection::_Test unrecorded(QStringLiteral("пустой"));
        MatrixBallDlg empty(&unrecorded);
        QCOMPARE(empty.table()->model()->rowCount(), 0);
    }

    void menuChoicesAndSettings()
    {
        Inspection::_Test test = matrixTest();
        {
            MatrixBallDlg dialog(&test);
            QScopedPointer<QMenu> menu(dialog.buildMenu());
            QCOMPARE(menu->actions().size(), 13);  // separators, two submenus and six flags
            actionInMenus(menu.data(), "Развертка 3 сек.")->trigger();
            QCOMPARE(dialog.unfold(), 3000);
            menu.reset(dialog.buildMenu());
            QVERIFY(actionInMenus(menu.data(), "Развертка 3 сек.")->isChecked());
            QVERIFY(!actionInMenus(menu.data(), "Развертка 1 сек.")->isChecked());
            QVERIFY(actionInMenus(menu.data(), "Масштаб 100%")->isChecked());
            QVERIFY(!actionInMenus(menu.data(), "Показать вопросы")->isChecked());
            actionInMenus(menu.data(), "Развертка 3.5 сек.")->trigger();
            QCOMPARE(dialog.unfold(), 3500);

            // The pop-up is marked while it runs.
            quintptr whileOpen = 0;
            QTimer::singleShot(100, [&whileOpen] {
                whileOpen = activePopupMenuId;
                if (QWidget *popup = QApplication::activePopupWidget())
                    popup->close();
            });
            dialog.show();
            dialog.onImageListMenu(QPoint(5, 5));
            QVERIFY(whileOpen != 0);
            QCOMPARE(activePopupMenuId, quintptr(0));
        }
        QCOMPARE(storedUnfold(), 3500);
        MatrixBallDlg again(&test);
        QCOMPARE(again.unfold(), 3500);
    }

    // A damaged stored scale falls back to the default instead of dividing by
    // zero or drawing pictures past any memory; the panels read theirs alike.
    void damagedStoredScalesFallBack_data()
    {
        QTest::addColumn<int>("scale");
        QTest::addColumn<int>("unfold");
        QTest::newRow("zero") << 0 << 0;
        QTest::newRow("negative") << -5 << -1000;
        QTest::newRow("absurd") << 1000000 << 1;
        QTest::newRow("largest") << INT_MAX << INT_MAX;
    }
    void damagedStoredScalesFallBack()
    {
        QFETCH(int, scale);
        QFETCH(int, unfold);
        auto settings = SettingsStore::open();
        for (const char *group : {"MatrixBallDlg_v1", "InspectionAnalysisBallFancy_v3"}) {
            settings->setValue(QLatin1String(group) + "/iScale", scale);
            settings->setValue(QLatin1String(group) + "/iUnfold", unfold);
        }
        settings->sync();
        Inspection::_Test test = matrixTest();
        MatrixBallDlg dialog(&test);
        QCOMPARE(dialog.scale(), 100);
        QCOMPARE(dialog.unfold(), 1000);
        QCOMPARE(picture(dialog, test, 1, 0).height(), 500);
        PointsPanelOptions panel;
        settings->beginGroup(QStringLiteral("InspectionAnalysisBallFancy_v3"));
        panel.read(*settings, QString());
        QCOMPARE(panel.iScale, -1);
        QCOMPARE(panel.iUnfold, 1000);
    }

    void everyWayOfClosingWritesTheSettings_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("Close") << 0;
        QTest::newRow("Escape") << 1;
        QTest::newRow("window's close button") << 2;
    }
    void everyWayOfClosingWritesTheSettings()
    {
        QFETCH(int, way);
        Inspection::_Test test = matrixTest();
        const int unfold = 1250 + 250 * way;
        {
            MatrixBallDlg dialog(&test);
            dialog.setUnfold(unfold);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            if (way == 0)
                dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Close)->click();
            else if (way == 1)
                QTest::keyClick(&dialog, Qt::Key_Escape);
            else
                dialog.close();
            QVERIFY(!dialog.isVisible());
        }
        QCOMPARE(storedUnfold(), unfold);
    }

    void pointsWindowOpensTheMatrixOfTheCurrentTest()
    {
        Subject subject;
        Window w(subject.examination);
        QAction *matrix = nullptr;
        for (QAction *action : w.window.findChild<QToolBar *>(QStringLiteral("BallToolBar"))->actions())
            matrix = action->text() == QStringLiteral("Матрица реакций") ? action : matrix;
        QVERIFY(matrix && matrix->isEnabled());
        QCOMPARE(modalsDuring([matrix] { matrix->trigger(); }), QStringList({"MatrixBallDlg+max"}));

        w.window.navigatorTree()->setCurrentIndex(QModelIndex());
        QCOMPARE(modalsDuring([matrix] { matrix->trigger(); }), QStringList());
        w.selectExpertCell(1);
        subject.examination.tests.clear();  // the test has gone
        QCOMPARE(modalsDuring([matrix] { matrix->trigger(); }), QStringList());
    }

    void weightingDialogListsRecordedTests()
    {
        Inspection examination;
        BenchTestShape shape;
        shape.questions = 2;
        shape.presentations = 3;
        shape.ticks = 600;
        examination.appendTest(recordedTest(1, shape));
        Inspection::_Test unrecorded(QStringLiteral("не записан"));
        examination.appendTest(unrecorded);
        shape.presentations = 5;
        examination.appendTest(recordedTest(2, shape));
        WeightingBallDlg dialog(nullptr, &examination);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Весовые коэффициенты параметров"));
        QCOMPARE(dialog.size(), QSize(700, 500));
        auto *model = qobject_cast<QStandardItemModel *>(dialog.tree()->model());
        QStringList headers;
        for (int column = 0; column < model->columnCount(); ++column)
            headers << model->headerData(column, Qt::Horizontal).toString();
        QCOMPARE(headers, QStringList({"", "I", "II", "III", "IV", "V"}));
        QCOMPARE(model->rowCount(), 2);
        QCOMPARE(model->item(0)->data(QuestKey::Role).toInt(), 0);
        QCOMPARE(model->item(1)->data(QuestKey::Role).toInt(), 2);
        QCOMPARE(model->item(0)->flags(), Qt::NoItemFlags);
        QCOMPARE(model->item(0)->child(2, 0)->text(), QStringLiteral("ДЫХ (дых.в/дых.н)"));
        QCOMPARE(model->item(0)->child(1, 3)->text(), QStringLiteral("1.0"));
        QVERIFY(!model->item(0)->child(1, 4));
        QCOMPARE(model->item(1)->child(1, 5)->text(), QStringLiteral("1.0"));

        dialog.show();
        dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        QVERIFY(dialog.isVisible());
        dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel)->click();
        QVERIFY(!dialog.isVisible());

        Inspection none;
        none.appendTest(unrecorded);
        WeightingBallDlg empty(nullptr, &none);
        QCOMPARE(empty.tree()->model()->columnCount(), 1);
        QCOMPARE(empty.tree()->model()->rowCount(), 0);
    }
};

VUG_TEST_MAIN(TestPointsMatrix, QApplication)
#include "tst_pointsmatrix.moc"
