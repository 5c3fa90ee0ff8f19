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
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeView>

#include <functional>
#include <memory>

using Fancy::FontScale;

namespace {

// What a text, or a row of texts, needs against its room; limited: the room reached the
// screen's edge or a column's least width.
struct Fit { QString what; int needed, room; bool limited = false; };

int advance(const QWidget *widget, const QString &text) { return widget->fontMetrics().horizontalAdvance(text); }

// What a place shows, and its sizes given in pixels beside those at scale 1.0.
struct Probe {
    QString folder;
    QList<Fit> fits;
    QVector<int> sizes, todays;
    std::unique_ptr<QWidget> window;
    void size(int now, int today) { sizes << now, todays << today; }
    // A width of 1266 or 1270: a 1366 pixels wide screen less the mode bar.
    template <class Window> Window *show(Window *shown, int width = 0, int height = 0)
    {
        window.reset(shown);
        if (width > 0)
            shown->resize(width, height);
        shown->show();
        if (!QTest::qWaitForWindowExposed(shown))
            qFatal("a window was not shown");
        return shown;
    }
    // A line edit's text lies inside two pixels of margin on each side.
    void date(const QDateEdit *edit, const QString &text)
    {
        fits << Fit{text, advance(edit, text) + 4, edit->findChild<QLineEdit *>()->contentsRect().width()};
    }
    void onScreen(const QWidget *dialog) { fits << Fit{"", dialog->width(), FontScale::screenWidth(dialog)}; }
    // Every item of the window's combo boxes, which were 150 pixels wide.
    void combos()
    {
        for (const QComboBox *combo : window->findChildren<QComboBox *>()) {
            QStyleOptionComboBox option;
            option.initFrom(combo);
            const QStyle::SubControl field = QStyle::SC_ComboBoxEditField;
            const int room = combo->style()->subControlRect(QStyle::CC_ComboBox, &option, field, combo).width();
            for (int i = 0; i < combo->count(); ++i)
                fits << Fit{combo->itemText(i), advance(combo, combo->itemText(i)), room};
            size(combo->width(), 150);
        }
    }
};

// The item views draw a cell's text inside the focus frame's margin.
int cellNeeds(const QWidget *view, const QString &text)
{
    return advance(view, text) + 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
}

Inspection *examination(const QString &path) { static Inspection kept; kept.path = path; return &kept; }

const QVector<QPair<const char *, std::function<void(Probe &)>>> places = {
    {"questionnaire", [](Probe &probe) {
         Inspection subject(probe.folder + "/Иванов Иван.qmz");
         const bool made = subject.saveTestStruct(nullptr) == StoreResult::Ok;
         auto *dialog = probe.show(new PersonePropertyDlg(nullptr, made ? probe.folder + "/Иванов Иван.qmz" : QString()));
         const auto *birthday = dialog->findChild<QDateEdit *>(QStringLiteral("Birthday"));
         const QTabBar *tabs = dialog->tabs()->tabBar();
         const bool edge = dialog->width() == FontScale::screenWidth(dialog);
         probe.date(birthday, "не указана"), probe.date(birthday, "12.03.1985"), probe.onScreen(dialog);
         probe.fits << Fit{"tabs", tabs->sizeHint().width(), tabs->width(), edge};
         probe.size(dialog->width(), 800), probe.size(birthday->width(), 120);
     }},
    {"search dates", [](Probe &probe) {
         static PersoneSearchDlg::_Conditions conditions;
         for (const QDateEdit *edit : probe.show(new PersoneSearchDlg(nullptr, &conditions))->findChildren<QDateEdit *>())
             probe.date(edit, "01.01.2000"), probe.size(edit->width(), 120);
     }},
    {"progress table", [](Probe &probe) {
         const drawPanelG::ProgressColumns columns = drawPanelG::progressColumns();
         QFont bold = QApplication::font();
         bold.setBold(true);
         const int code = QFontMetrics(bold).horizontalAdvance(QStringLiteral("04К"));
         probe.fits = {{"code", code, columns.text - columns.code}, {"presentation", code, columns.group}};
         probe.sizes = {columns.code, columns.text, columns.firstGroupEnd, columns.group};
         probe.todays = {10, 50, 40, 50};
     }},
    {"captions over marks", [](Probe &probe) {
         PolygramFixture fixture;
         fixture.test.ia.nIALength = 10;
         *fixture.test.samples(ChannelCode::GSR_C) = QVector<qint16>(1000, 3);
         const QFontMetrics metrics(QApplication::font());
         // One and a half captions of scale 1.0 apart, at a tick a pixel.
         const int apart = int(1.5 * metrics.horizontalAdvance("Пульс max=0000") / FontScale::factor());
         drawG::Labels marks(2);
         for (int i : {0, 1})
             marks[i].Group = 1, marks[i].TickQStart = 100 + i * apart, marks[i].TickQEnd = 160 + i * apart;
         RecordingPaintDevice device;
         QPainter painter(&device);
         drawG(&fixture.test, 1000).drawValueCaptions(painter, QRect(0, 0, 1000, 400), 1000, 0, marks);
         painter.end();
         const RecordedText &left = device.texts()[0], &right = device.texts()[1];
         const bool under = right.pos.y() >= left.pos.y() + metrics.lineSpacing();
         const int end = int(left.pos.x()) + metrics.horizontalAdvance(left.text);
         probe.fits << Fit{left.text, end, under ? end : int(right.pos.x())};
     }},
    {"metric results", [](Probe &probe) {
         auto *window = new InspectionAnalysisMetrFancy;
         window->onChangedPersone(probe.folder + "/Петров.qmz", examination(probe.folder + "/Петров.qmz"));
         const QHeaderView *header = probe.show(window)->resultsTree()->header();
         const int todays[] = {400, 50, 100, 100};
         for (int column = 0; column < 4; ++column) {
             const QString title = header->model()->headerData(column, Qt::Horizontal).toString();
             probe.fits << Fit{title, advance(header, title), header->sectionSize(column)};
             probe.size(header->sectionSize(column), todays[column]);
         }
     }},
    {"statistics", [](Probe &probe) {
         auto *window = probe.show(new InspectionAnalysisStatFancy, 1266, 600);
         window->onChangedPersone(probe.folder + "/Сидоров.qmz", examination(probe.folder + "/Сидоров.qmz"));
         window->action_Calc();
         const QHeaderView *header = window->tree()->header();
         const int last = StatResultTable::MetricColumn, end = header->sectionPosition(last) + header->sectionSize(last);
         const bool least = header->sectionSize(0) == qRound(600 / FontScale::factor());
         probe.fits << Fit{"value columns", end, header->viewport()->width(), least};
         probe.size(header->sectionSize(0), 600);
     }},
    {"book parameters", [](Probe &probe) {
         auto *dialog = probe.show(new ValuationMetrSpravParamDlg(nullptr, {}));
         const auto *table = dialog->findChild<QTreeView *>();
         const QString weight = table->model()->index(0, 4).data().toString();
         const bool edge = table->maximumWidth() == FontScale::screenWidth(dialog) * 2 / 3;
         probe.fits << Fit{weight, cellNeeds(table, weight), table->columnWidth(4), edge};
         probe.size(table->maximumWidth(), 450), probe.size(table->maximumHeight(), 250);
     }},
    {"automatic parameters", [](Probe &probe) {
         auto *dialog = probe.show(new ValuationMetrAutoParamDlg(nullptr, {}));
         auto *tree = dialog->findChild<QTreeView *>();
         const int width = tree->viewport()->width();
         tree->expandAll();
         tree->resizeColumnToContents(0);
         const bool edge = tree->width() == FontScale::screenWidth(dialog) / 2;
         probe.fits << Fit{"widest entry", tree->columnWidth(0), width, edge};
         probe.onScreen(dialog);
         probe.size(tree->width(), 250), probe.size(tree->height(), 350);
     }},
    {"fragment combos", [](Probe &probe) {
         static PointsPanelOptions options;
         auto *window = new QMainWindow;
         window->addDockWidget(Qt::BottomDockWidgetArea, (new FragmentPanel("Фрагмент", "Fragment", options, window))->dock());
         probe.show(window);
         probe.combos();
     }},
    {"recording combos", [](Probe &probe) {
         auto *window = new QMainWindow;
         window->setCentralWidget(new InspectionRecordFancy(window));
         probe.show(window);
         probe.combos();
     }},
    {"editor", [](Probe &probe) {
         const QTreeView *tree = probe.show(new InspectionEditFancy, 1270, 700)->treeView();
         const QString name = QStringLiteral("Новый тест");
         const int needed = cellNeeds(tree, name) + tree->indentation();
         // The docks give up their room once the window is laid out.
         if (!QTest::qWaitFor([tree, needed] { return tree->viewport()->width() >= needed; }))
             qWarning("the tree did not get its room");
         probe.fits << Fit{name, needed, tree->viewport()->width()};
     }},
    {"status bar", [](Probe &probe) {
         auto *window = new vugVorkel;
         window->onInitialize();
         const QString name = "/Новый обследуемый0.qmz";
         window->onChangePersone(probe.folder + "/" + QString(20, 'x') + name, examination(probe.folder + name));
         // The subject's name and the count of tests before a long path.
         for (const QLabel *label : probe.show(window, 1366, 768)->findChildren<QLabel *>())
             if (label->text().startsWith("Испытуемый") || label->text().startsWith("Количество"))
                 probe.fits << Fit{label->text(), label->sizeHint().width(), label->width()};
     }},
    {"review", [](Probe &probe) {
         auto *window = new InspectionPoligrammeFancy;
         auto *list = window->findChild<ListTestDockWindow *>()->findChild<QListWidget *>();
         const QString name = QStringLiteral("Новый тест (11.12.2026 13:37)");
         list->addItem(name);
         probe.show(window, 1270, 700);
         probe.combos();
         probe.fits << Fit{name, cellNeeds(list, name), list->viewport()->width()};
         probe.size(list->width(), 256);
     }},
};

}  // namespace

class TestFontScale : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void textFitsItsPlace_data()
    {
        QTest::addColumn<int>("place");
        QTest::addColumn<double>("scale");
        for (int place = 0; place < places.size(); ++place)
            for (double scale : {1.0, 1.5, 2.0})
                QTest::addRow("%s at %.1f", places[place].first, scale) << place << scale;
    }

    // Every text reads whole at the scales the settings offer; at 1.0 the sizes
    // given in pixels are those the windows always had.
    void textFitsItsPlace()
    {
        QFETCH(int, place);
        QFETCH(double, scale);
        QFile::remove(SettingsStore::filePath());
        SpravDB::sPathFileSprav = m_dir.filePath(QStringLiteral("svorkel.sqmz"));
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
        FontScale::apply(scale);
        Probe probe{m_dir.path(), {}, {}, {}, {}};
        places[place].second(probe);
        QVERIFY(!probe.fits.isEmpty());
        for (const Fit &fit : probe.fits)
            QVERIFY2(fit.needed <= fit.room || fit.limited,
                     qPrintable(QStringLiteral("%1: %2 > %3").arg(fit.what).arg(fit.needed).arg(fit.room)));
        if (scale == 1.0)
            QCOMPARE(probe.sizes, probe.todays);
    }
};

VUG_TEST_MAIN(TestFontScale, QApplication)
#include "tst_fontscale.moc"
