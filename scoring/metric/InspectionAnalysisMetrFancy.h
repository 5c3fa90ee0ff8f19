#pragma once

#include "CMathMetrics.h"
#include "DefMertValuation.h"

#include "fancy/FancyMainWindow.h"

#include <QMessageBox>
#include <QModelIndex>

#include <functional>

class QDockWidget;
class QMainWindow;
class QItemSelection;
class QMenu;
class QScrollArea;
class QStandardItem;
class QStandardItemModel;
class QTextEdit;
class QTreeView;
class _QHeaderView;
class _QLabel;
class _QTreeView;

// The metric window: measured parameters per question, weighted into one
// score per question and judged by Student's t within the test. The
// examination belongs to the editor; every change is saved into the subject
// file at once.
class InspectionAnalysisMetrFancy : public Fancy::FancyMainWindow
{
    Q_OBJECT
public:
    using Params = QVector<Inspection::_MetricParam>;

    explicit InspectionAnalysisMetrFancy(QWidget *parent = nullptr);
    // Writes the window's settings.
    ~InspectionAnalysisMetrFancy() override;

    // Reloads the examination's metric parameters and refills the tables.
    void reload();
    // The parameter table anew from the examination's list.
    void fillParamTable();
    // The results anew (refresh false) or their values recomputed in the
    // existing rows, keeping expansion and the current cell (refresh true).
    void fillResultsTree(bool refresh);
    // After a stored measurement: the same parameter in the next presentation,
    // the next question or the next shown parameter column.
    void selectNextCell();

    // The parameter changes behind the dialogs, each saved at once.
    void appendParam(const Inspection::_MetricParam &param);
    void replaceParam(const QUuid &uid, const Inspection::_MetricParam &param);
    // The chosen manual parameters, with the automatic ones kept behind them.
    void setManualParams(const Params &chosen);
    // The manual parameters kept first, then the ticked automatic ones.
    void setAutoParams(const Params &ticked);

    // The picture for the current results cell; a cell without a value leaves it as it is.
    void updateDiagram();
    void clearDiagram();
    // The channel around the question presentation; null without the test or its question mark.
    QPixmap drawDiagram(int testIndex, int group, int quest, int code);
    // Shift alone shows the cell's place on the polygram; Escape, the arrows
    // with Shift or Ctrl and Space work on the measurement window.
    void moveByKey(Qt::KeyboardModifiers modifiers, int key);

    QMenu *buildParamsMenu();
    // Remembers the test of the index for the commands of the menu.
    QMenu *buildDataMenu(const QModelIndex &index);
    QMenu *buildDiagramMenu();

    Inspection *inspection() const { return m_inspection; }
    _QTreeView *resultsTree() const { return m_tree; }  // for tests
    _QHeaderView *resultsHeader() const { return m_header; }  // for tests
    QTreeView *paramTable() const { return m_paramTable; }  // for tests
    QTextEdit *descriptionBox() const { return m_description; }  // for tests
    _QLabel *picture() const { return m_label; }
    int scale() const { return iScale; }
    bool showQuestText() const { return bShowQuestText; }  // for tests
    bool showIA() const { return bShowIA; }  // for tests

    // The value cell of a question's presentation for a parameter: its value
    // as text, green when positive, and [test, presentation, question, "{uid}"].
    static QStandardItem *makeValueCell(int test, int presentation, int quest, const QUuid &uid, qint32 value);
    // A parameter's z values for the question over all presentations.
    static double sumValues(const MetricZMap &z, int quest, const QUuid &uid);

public slots:
    void onChangedPersone(QString path, Inspection *inspection);
    void sectionHandleDoubleClicked(int section);
    void mySelectionChanged(const QItemSelection &selected, const QItemSelection &deselected);
    void onSelectionChangedParam(const QItemSelection &selected, const QItemSelection &deselected);
    void onContextMenuForParams(const QPoint &point);
    void onContextMenuForDigram(const QPoint &point);
    void onContextMenuForData(const QPoint &point);
    void onDoubleClickParams();
    void onCreateParamAction();
    void onEditParamAction();
    void onDeleteParamAction();
    void onDeleteAllParamAction();
    void onLoadFromSpravAction();
    void onLoadAutoAction();
    void onScale100Action();
    void onScale80Action();
    void onScale60Action();
    void onScale40Action();
    void onScale20Action();
    void onShowTextQuestAction();
    void onShowIAAction();
    void onParamItemChanged(QStandardItem *item);
    void onClearAllAction();
    void onClearTestAction();
    void onAutoCalcAllAction();
    void onAutoCalcTestAction();
    void onToExcelAction();
    void onMoveLeftAction();
    void onMoveRightAction();
    void onMoveTopAction();
    void onMoveBottomAction();
    void onMoveLeftAction2();
    void onMoveRightAction2();
    void onMoveTopAction2();
    void onMoveBottomAction2();

signals:
    // Declared for the main window's playback; the metric window never asks for it.
    void notifyPlayPoligrammeFromMetr(int iIndexTest, int iPos);
    void notifyShowPoligrammeFromMetr(int iIndexTest, int iPos, int iChannel);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void readSettings();
    QDockWidget *createDock(const QString &caption, const QString &name, QWidget *content, Qt::DockWidgetArea area);
    void createDiagramDock();
    void createParamsDock();
    void createResultsTree();

    // Forgets the examination's rows in both tables and the picture.
    void clearTables();
    void loadMarks();
    QStandardItemModel *resultsModel() const;
    void setResultsModel(QStandardItemModel *model);
    QStandardItemModel *newResultsModel() const;
    bool resultsShapeMatches() const;
    // Hides the columns of disabled parameters and colours each by its sign.
    void fitParamHeaders();
    void showParamColumns();
    void fillTestRows(QStandardItem *testRow, const Inspection::_Test &test, int testIndex, bool refresh);
    QList<QStandardItem *> makeTestRow(int testIndex, int columns) const;
    QList<QStandardItem *> makeQuestionRow(const Inspection::_Test &test, int quest, int columns) const;
    QList<QStandardItem *> makeGroupRow(int presentation) const;
    // A bold computed value in the row's colour.
    static QStandardItem *makeValueItem(const QString &text, const QBrush &background);
    // Two decimals.
    static QString valueText(double value);
    static bool readsAlready(const QStandardItem *parent, int row, int column, const QString &text);

    // The parameter of the parameter table's current row; null when none.
    QUuid currentParamUid() const;
    // The edit dialog on that parameter; its answer replaces the parameter.
    void editCurrentParam();
    Inspection::_Test *menuTest();
    bool askYes(const QString &question, QMessageBox::StandardButton byDefault = QMessageBox::No);
    // Applies a change of the parameter list and saves it; a refusal is
    // settled with the examiner (SaveRefusal): retried, or dropped and the
    // list put back. True when the change stays.
    bool changeParams(const std::function<void(Params &)> &change);
    // The same for a test's measured values.
    bool changeValues(Inspection::_Test *test, const std::function<void(Inspection::_Test &)> &change);
    // The picked parameters go, and their measurements in every test with
    // them, in one save; a refused save puts all back as changeParams does.
    void removeParams(const DefMertValuation::ParamPick &of);
    // A save settled with the examiner; a drop runs undo and, where another
    // program changed the file, reads the parameters and the tests' values
    // as it holds them. True unless dropped.
    bool settleSave(const std::function<StoreResult()> &save, const QString &edit, const QVector<QUuid> &tests,
                    const std::function<void()> &undo);
    // The tests of those ids still in the examination.
    QVector<Inspection::_Test *> testsOf(const QVector<QUuid> &ids) const;
    // A read of the subject; a refusal told (ReadRefusal). True when read.
    bool readInto(const QString &what, const std::function<StoreResult()> &read);
    bool readParams();
    bool clearTestValues(Inspection::_Test *test);
    // Measures the enabled automatic parameters on the test (its recording
    // loaded first when needed) and saves its values once.
    bool autoCalcTest(Inspection::_Test *test);
    // After a Yes to the question (its %0 the test's name): the work on the
    // menu's test, or on every recorded test; then the tables anew.
    // True unless refused.
    using TestWork = bool (InspectionAnalysisMetrFancy::*)(Inspection::_Test *);
    void runOnMenuTestAsked(const QString &question, TestWork work);
    void runOnEveryTestAsked(const QString &question, TestWork work);

    // The results cell a measurement belongs to, from its value data.
    struct CellKey {
        int test = -1;
        int group = -1;
        int quest = -1;
        QUuid uid;
        bool operator==(const CellKey &other) const
        {
            return test == other.test && group == other.group && quest == other.quest && uid == other.uid;
        }
    };
    CellKey currentCellKey() const;
    struct CellPlace {
        Inspection::_Test *test = nullptr;
        const Inspection::_Label *mark = nullptr;
        const Inspection::_MetricParam *param = nullptr;
    };
    CellPlace placeOf(const CellKey &key) const;
    void emitShowPlace();
    void storeMeasurement();
    void createCornerActions(QMainWindow *inner);
    void sizeDiagramDock();
    int pictureHeight() const;

    QDockWidget *m_diagramDock = nullptr;
    QScrollArea *m_diagramArea = nullptr;
    _QLabel *m_label = nullptr;
    CellKey m_shownKey;
    _QTreeView *m_tree = nullptr;
    _QHeaderView *m_header = nullptr;
    Inspection *m_inspection = nullptr;
    QTreeView *m_paramTable = nullptr;
    QTextEdit *m_description = nullptr;
    int iScale = 60;
    bool bShowQuestText = false;
    bool bShowIA = true;
    // The test under the results menu, by its index in the examination.
    int m_menuTest = -1;
    bool m_diagramDockSized = false;
};
