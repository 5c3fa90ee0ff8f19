#include "app/vugVorkel.h"
#include "data/Inspection.h"
#include "data/SettingsStore.h"
#include "data/SpravDB.h"
#include "editor/InspectionEditFancy.h"
#include "editor/InspectionTreeView.h"
#include "fancy/FontScale.h"
#include "polygram/InspectionPoligrammeFancy.h"
#include "polygram/ListTestDockWindow.h"
#include "polygram/drawG.h"
#include "polygram/drawPanelG.h"
#include "recording/InspectionRecordFancy.h"
#include "scoring/metric/InspectionAnalysisMetrFancy.h"
#include "scoring/metric/InspectionAnalysisStatFancy.h"
#include "scoring/metric/StatResultTable.h"
#include "scoring/metric/_QTreeView.h"
#include "scoring/metric/ValuationMetrAutoParamDlg.h"
#include "scoring/metric/ValuationMetrSpravParamDlg.h"
#include "scoring/points/FragmentPanel.h"
#include "scoring/points/PointsPanelOptions.h"
#include "scoring/points/_QDockWidget.h"
#include "subjects/PersonePropertyDlg.h"
#include "subjects/PersoneSearchDlg.h"
#include "tests/polygram/PolygramFixture.h"
#include "tests/polygram/RecordingPaintDevice.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QPainter>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeView>

#include <functional>
#include <memory>

using Fancy::FontScale;

namespace {

// A text, or what a row of texts needs, against the room shown for it.
struct Fit {
    QString what;
    int needed;
    int room;
    // The room reached its limit: the screen's edge, or a column's least width.
    bool limited = false;
};

// What a place shows, and its sizes given in pixels beside those at scale 1.0.
struct Probe {
    QList<Fit> fits;
    QVector<int> sizes;
    QVector<int> todays;
    std::shared_ptr<QWidget> keep;  // the window the fits were read from
};

int advance(const QWidget *widget, const QString &text)
{
    return widget->fontMetrics().horizontalAdvance(text);
}

std::shared_ptr<QWidget> shown(QWidget *window)
{
    std::shared_ptr<QWidget> kept(window);
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        qFatal("a window was not shown");
    return kept;
}

// A line edit's text lies inside two pixels of margin on each side.
Fit dateFit(const QDateEdit *edit, const QString &text)
{
    const QLineEdit *line = edit->findChild<QLineEdit *>();
    return {text, advance(line, text) + 4, line->contentsRect().width()};
}

// The item views draw a cell's text inside the focus frame's margin.
int cellMargins(const QWidget *view)
{
    return 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
}

// A dialog grows no further than the screen.
Fit onScreen(const QWidget *dialog)
{
    return {dialog->windowTitle(), dialog->width(), FontScale::screenWidth(dialog)};
}

// Every item of the window's combo boxes, which were 150 pixels wide.
void addCombos(Probe &probe, const QWidget *window)
{
    for (const QComboBox *combo : window->findChildren<QComboBox *>()) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        const QRect field =
            combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
        for (int i = 0; i < combo->count(); ++i)
            probe.fits << Fit{combo->itemText(i), advance(combo, combo->itemText(i)), field.width()};
        probe.sizes << combo->width();
        probe.todays << 150;
    }
}

QString makeSubject(const QString &path)
{
    Inspection subject(path);
    return subject.saveTestStruct(nullptr) == StoreResult::Ok ? path : QString();
}

struct Place {
    const char *name;
    std::function<Probe(const QString &folder)> probe;
};

const QVector<Place> &places()
{
    static const QVector<Place> all = {
        {"questionnaire", [](const QString &folder) {
             auto *dialog = new PersonePropertyDlg(nullptr, makeSubject(folder + "/Иванов Иван.qmz"));
             Probe probe{{}, {dialog->width()}, {800}, shown(dialog)};
             const auto *birthday = dialog->findChild<QDateEdit *>(QStringLiteral("Birthday"));
             probe.fits << dateFit(birthday, QStringLiteral("не указана")) << dateFit(birthday, QStringLiteral("12.03.1985"));
             const QTabBar *tabs = dialog->tabs()->tabBar();
             probe.fits << Fit{"tabs", tabs->sizeHint().width(), tabs->width(),
                               dialog->width() == FontScale::screenWidth(dialog)}
                        << onScreen(dialog);
             probe.sizes << birthday->width();
             probe.todays << 120;
             return probe;
         }},
        {"search dates", [](const QString &) {
             static PersoneSearchDlg::_Conditions conditions;
             auto *dialog = new PersoneSearchDlg(nullptr, &conditions);
             Probe probe{{}, {}, {}, shown(dialog)};
             for (const QDateEdit *edit : dialog->findChildren<QDateEdit *>()) {
                 probe.fits << dateFit(edit, QStringLiteral("01.01.2000"));
                 probe.sizes << edit->width();
                 probe.todays << 120;
             }
             return probe;
         }},
        {"progress table", [](const QString &) {
             const drawPanelG::ProgressColumns columns = drawPanelG::progressColumns();
             QFont bold = QApplication::font();
             bold.setBold(true);
             const int code = QFontMetrics(bold).horizontalAdvance(QStringLiteral("04К"));
             return Probe{{{"code", code, columns.text - columns.code}, {"presentation", code, columns.group}},
                          {columns.code, columns.text, columns.firstGroupEnd, columns.group},
                          {10, 50, 40, 50},
                          nullptr};
         }},
        {"captions over marks", [](const QString &) {
             PolygramFixture fixture;
             fixture.test.ia.nIALength = 10;
             *fixture.test.samples(ChannelCode::GSR_C) = QVector<qint16>(1000, 3);
             const QFontMetrics metrics(QApplication::font());
             // One and a half captions of scale 1.0 apart, at a tick a pixel.
             const int apart = int(1.5 * metrics.horizontalAdvance("Пульс max=0000") / FontScale::factor());
             drawG::Labels marks(2);
             for (int i = 0; i < 2; ++i) {
                 marks[i].Group = 1;
                 marks[i].TickQStart = 100 + i * apart;
                 marks[i].TickQEnd = 160 + i * apart;
             }
             drawG polygram(&fixture.test, 1000);
             RecordingPaintDevice device;
             QPainter painter(&device);
             polygram.drawValueCaptions(painter, QRect(0, 0, 1000, 400), 1000, 0, marks);
             painter.end();
             const RecordedText &left = device.texts()[0];
             const RecordedText &right = device.texts()[1];
             const bool under = right.pos.y() >= left.pos.y() + metrics.lineSpacing();
             const int end = int(left.pos.x()) + metrics.horizontalAdvance(left.text);
             return Probe{{{left.text, end, under ? end : int(right.pos.x())}}, {}, {}, nullptr};
         }},
        {"metric results", [](const QString &folder) {
             static Inspection examination;
             examination.path = folder + "/Петров.qmz";
             auto *window = new InspectionAnalysisMetrFancy;
             window->onChangedPersone(examination.path, &examination);
             Probe probe{{}, {}, {400, 50, 100, 100}, shown(window)};
             const QHeaderView *header = window->resultsTree()->header();
             for (int column = 0; column < 4; ++column) {
                 const QString title = header->model()->headerData(column, Qt::Horizontal).toString();
                 probe.fits << Fit{title, advance(header, title), header->sectionSize(column)};
                 probe.sizes << header->sectionSize(column);
             }
             return probe;
         }},
        {"statistics", [](const QString &folder) {
             static Inspection examination;
             examination.path = folder + "/Сидоров.qmz";
             auto *window = new InspectionAnalysisStatFancy;
             window->resize(1266, 600);  // a 1366 pixels wide screen less the mode bar
             Probe probe{{}, {}, {600}, shown(window)};
             window->onChangedPersone(examination.path, &examination);
             window->action_Calc();
             const QHeaderView *header = window->tree()->header();
             const int last = StatResultTable::MetricColumn;
             probe.fits << Fit{"value columns", header->sectionPosition(last) + header->sectionSize(last),
                               header->viewport()->width(), header->sectionSize(0) == qRound(600 / FontScale::factor())};
             probe.sizes << header->sectionSize(0);
             return probe;
         }},
        {"book parameters", [](const QString &) {
             auto *dialog = new ValuationMetrSpravParamDlg(nullptr, {});
             Probe probe{{}, {}, {450, 250}, shown(dialog)};
             const auto *table = dialog->findChild<QTreeView *>();
             const QString weight = table->model()->index(0, 4).data().toString();
             probe.fits << Fit{weight, advance(table, weight) + cellMargins(table), table->columnWidth(4),
                               table->maximumWidth() == FontScale::screenWidth(dialog) * 2 / 3};
             probe.sizes << table->maximumWidth() << table->maximumHeight();
             return probe;
         }},
        {"automatic parameters", [](const QString &) {
             auto *dialog = new ValuationMetrAutoParamDlg(nullptr, {});
             Probe probe{{}, {}, {250, 350}, shown(dialog)};
             auto *tree = dialog->findChild<QTreeView *>();
             const int width = tree->viewport()->width();
             tree->expandAll();
             tree->resizeColumnToContents(0);
             probe.fits << Fit{"widest entry", tree->columnWidth(0), width,
                               tree->width() == FontScale::screenWidth(dialog) / 2}
                         << onScreen(dialog);
             probe.sizes << tree->width() << tree->height();
             return probe;
         }},
        {"fragment combos", [](const QString &) {
             static PointsPanelOptions options;
             auto *window = new QMainWindow;
             auto *panel = new FragmentPanel(QStringLiteral("Фрагмент"), QStringLiteral("Fragment"), options, window);
             window->addDockWidget(Qt::BottomDockWidgetArea, panel->dock());
             Probe probe{{}, {}, {}, shown(window)};
             addCombos(probe, window);
             return probe;
         }},
        {"recording combos", [](const QString &) {
             auto *window = new QMainWindow;
             window->setCentralWidget(new InspectionRecordFancy(window));
             Probe probe{{}, {}, {}, shown(window)};
             addCombos(probe, window);
             return probe;
         }},
        {"editor", [](const QString &) {
             auto *editor = new InspectionEditFancy;
             editor->resize(1270, 700);  // a 1366 pixels wide screen less the mode bar
             Probe probe{{}, {}, {}, shown(editor)};
             const QTreeView *tree = editor->treeView();
             const QString name = QStringLiteral("Новый тест");
             const int needed = advance(tree, name) + tree->indentation() + cellMargins(tree);
             // The docks give up their room once the window is laid out.
             if (!QTest::qWaitFor([tree, needed] { return tree->viewport()->width() >= needed; }))
                 qWarning("the tree did not get its room");
             probe.fits << Fit{name, needed, tree->viewport()->width()};
             return probe;
         }},
        {"status bar", [](const QString &folder) {
             static Inspection examination;
             examination.path = folder + "/Новый обследуемый0.qmz";
             auto *window = new vugVorkel;
             window->onInitialize();
             window->resize(1366, 768);
             window->onChangePersone(folder + "/" + QString(20, QLatin1Char('x')) + "/Новый обследуемый0.qmz",
                                     &examination);
             Probe probe{{}, {}, {}, shown(window)};
             // The subject's name and the count of tests before a long path.
             for (const QLabel *label : window->findChildren<QLabel *>()) {
                 if (label->text().startsWith("Испытуемый") || label->text().startsWith("Количество"))
                     probe.fits << Fit{label->text(), label->sizeHint().width(), label->width()};
             }
             return probe;
         }},
        {"review", [](const QString &) {
             auto *window = new InspectionPoligrammeFancy;
             auto *list = window->findChild<ListTestDockWindow *>()->findChild<QListWidget *>();
             const QString name = QStringLiteral("Новый тест (11.12.2026 13:37)");
             list->addItem(name);
             window->resize(1270, 700);
             Probe probe{{}, {}, {}, shown(window)};
             probe.fits << Fit{name, advance(list, name) + cellMargins(list), list->viewport()->width()};
             addCombos(probe, window);
             probe.sizes << list->width();
             probe.todays << 256;
             return probe;
         }},
    };
    return all;
}

}  // namespace

class TestFontScale : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void textFitsItsPlace_data();
    void textFitsItsPlace();

private:
    QTemporaryDir m_dir;
};

void TestFontScale::init()
{
    QFile::remove(SettingsStore::filePath());
    SpravDB::sPathFileSprav = m_dir.filePath(QStringLiteral("svorkel.sqmz"));
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
}

void TestFontScale::textFitsItsPlace_data()
{
    QTest::addColumn<int>("place");
    QTest::addColumn<double>("scale");
    for (int place = 0; place < places().size(); ++place) {
        for (double scale : {1.0, 1.5, 2.0})
            QTest::addRow("%s at %.1f", places()[place].name, scale) << place << scale;
    }
}

// Every text reads whole at the scales the settings offer; at 1.0 the sizes
// given in pixels are those the windows always had.
void TestFontScale::textFitsItsPlace()
{
    QFETCH(int, place);
    QFETCH(double, scale);
    FontScale::apply(scale);
    const Probe probe = places()[place].probe(m_dir.path());
    QVERIFY(!probe.fits.isEmpty());
    for (const Fit &fit : probe.fits) {
        QVERIFY2(fit.needed <= fit.room || fit.limited,
                 qPrintable(QStringLiteral("%1: %2 > %3").arg(fit.what).arg(fit.needed).arg(fit.room)));
    }
    if (scale == 1.0)
        QCOMPARE(probe.sizes, probe.todays);
}

VUG_TEST_MAIN(TestFontScale, QApplication)
#include "tst_fontscale.moc"
