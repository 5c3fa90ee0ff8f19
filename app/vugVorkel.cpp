#include "vugVorkel.h"



#include "app/DataFolderCheck.h"
#include "app/DiagnisticsDlg.h"
#include "app/SettingsDlg.h"
#include "data/GenericSettings.h"
#include "data/Inspection.h"
#include "data/SpravDB.h"
#include "data/WholeFile.h"
#include "data/WindowLayout.h"

#include "editor/InspectionEditFancy.h"
#include "editor/PendingRecordingPrompt.h"
#include "fancy/FancyActionBar.h"
#include "fancy/FancyTabWidget.h"
#include "fancy/FontScale.h"
#include "polygram/InspectionPoligrammeFancy.h"
#include "recording/AlignmentDlg.h"
#include "recording/InspectionRecordFancy.h"
#include "resources/VugResources.h"
#include "scoring/metric/InspectionAnalysisMetrFancy.h"
#include "scoring/metric/InspectionAnalysisStatFancy.h"
#include "scoring/points/InspectionAnalysisBallFancy.h"
#include "sensors/interface/SensorPlugin.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QStatusBar>
#include <QTimer>

namespace {

const char kGroup[] = "mainwindow";

struct ModeTab {
    const char *caption;
    const char *icon;
};

const ModeTab kModeTabs[] = {
    {QT_TRANSLATE_NOOP("vugVorkel", "Опросник\n(Alt+1)"), "Action-StartInspection.png"},
    {QT_TRANSLATE_NOOP("vugVorkel", "Полиграммы\n(Alt+2)"), "analyzer_mode.png"},
    {QT_TRANSLATE_NOOP("vugVorkel", "Бал.оценка\n(Alt+3)"), "Map-Marker-Ball-Right-Azure-icon.png"},
    {QT_TRANSLATE_NOOP("vugVorkel", "Метр.оценка\n(Alt+4)"), "Rulers-icon.png"},
    {QT_TRANSLATE_NOOP("vugVorkel", "Результат\n(Alt+5)"), "Apps-math-icon.png"},
};

QString boldValue(const QString &caption, const QString &value)
{
    return caption + QStringLiteral("<b>") + value.toHtmlEscaped() + QStringLiteral("</b>");
}

}  // namespace

vugVorkel::vugVorkel(QWidget *parent)
    : QMainWindow(parent)
{
    initVugResources();
    {
        // The main window takes its geometry before its state.
        const WindowLayout layout = WindowLayout::load(QLatin1String(kGroup));
        if (layout.geometry.isEmpty())
            resize(800, 400);
        else
            restoreGeometry(layout.geometry);
        if (!layout.state.isEmpty())
            restoreState(layout.state, 0);
    }

    GenericSettings generic;
    generic.load();
    SpravDB::sPathFileSprav = generic.sPathFileSprav;

    Fancy::FontScale::apply(generic.fontK);

    // The title is there the moment the window maps; the tabs follow.
    setWindowTitle(tr("Компьютерный полиграф - Воркел"));
    QTimer::singleShot(500, this, &vugVorkel::onInitialize);
}

vugVorkel::~vugVorkel()
{
    WindowLayout::save(QLatin1String(kGroup), *this);
}

void vugVorkel::onInitialize()
{
    if (tabWidget)
        return;  // runs once
    qApp->installEventFilter(this);
    offerDefaultsForUnusableSettings();
    GenericSettings settings;
    settings.load();
    if (DataFolderCheck::ensure(this, settings, &DataFolderCheck::chooseWithDialog) == DataFolderCheck::Quit) {
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return;
    }
    WholeFile::removeLeftovers(settings.sRootFolder);
    PendingRecordingPrompt::offerRecoveryCopies(this, settings.sRootFolder);

    tabWidget = new Fancy::FancyTabWidget(this);
    actionBar = new Fancy::FancyActionBar(tabWidget);
    tabWidget->addCornerWidget(actionBar);
    setCentralWidget(tabWidget);
    tabWidget->show();

    createModeTabs();
    connect(tabWidget, &Fancy::FancyTabWidget::currentChanged, this, &vugVorkel::currentTabChanged);
    createActionBar();

    tabWidget->setCurrentIndex(0);
    tabWidget->setSelectionWidgetVisible(true);
    setObjectName(QStringLiteral("MainWindow"));
    createMenus();
    createStatusLabels();

    auto *editor = findPage<InspectionEditFancy>(QStringLiteral("InspectionEditFancy"));
    connect(editor, &InspectionEditFancy::notifyDefViewPoligramme, this, &vugVorkel::onDefViewPoligramme);
    connect(editor, &InspectionEditFancy::notifyDefRecordPoligramme, this, &vugVorkel::onDefRecordPoligramme);
    updateRecordingActions();

    // Widgets show their context menus through customContextMenuRequested.
    for (QWidget *widget : QApplication::allWidgets())
        widget->setContextMenuPolicy(Qt::CustomContextMenu);
}

void vugVorkel::offerDefaultsForUnusableSettings()
{
    const auto offered = [this](const QString &question) {
        return QMessageBox::question(this, tr("Воркел"), question, QMessageBox::Yes | QMessageBox::No)
               == QMessageBox::Yes;
    };
    GenericSettings settings;
    settings.load();
    bool changed = false;
    const QFileInfo root(settings.sRootFolder);
    if (root.exists() && !root.isDir()
        && offered(tr("Корневая папка «%1» — это файл, а не папка.\nИспользовать папку по умолчанию «%2»?")
                       .arg(QDir::toNativeSeparators(settings.sRootFolder),
                            QDir::toNativeSeparators(GenericSettings::defaultRootFolder())))) {
        settings.sRootFolder = GenericSettings::defaultRootFolder();
        QDir().mkpath(settings.sRootFolder);
        changed = true;
    }
    const QString refusal = SensorPlugin::nameRefusal(settings.sNameDriverDll);
    if (!refusal.isEmpty()
        && offered(refusal + QLatin1Char('\n') + tr("Использовать демонстрационный сенсорный блок?"))) {
        settings.sNameDriverDll = SensorPlugin::demoFileName();
        changed = true;
    }
    if (changed)
        settings.save();
}

void vugVorkel::createModeTabs()
{
    auto *editor = new InspectionEditFancy;
    auto *review = new InspectionPoligrammeFancy;
    auto *points = new InspectionAnalysisBallFancy;
    auto *metric = new InspectionAnalysisMetrFancy;
    auto *statistics = new InspectionAnalysisStatFancy;
    QWidget *const pages[] = {editor, review, points, metric, statistics};
    for (int index = 0; index < 5; ++index) {
        tabWidget->insertModeTab(index, pages[index], VugImages::icon(QString::fromLatin1(kModeTabs[index].icon)),
                                 tr(kModeTabs[index].caption));
        if (index == 0)
            tabWidget->enableTab(0, true);
    }

    const auto changed = &InspectionEditFancy::notifyChangePersone;
    connect(editor, changed, this, &vugVorkel::onChangePersone);
    connect(editor, changed, review, &InspectionPoligrammeFancy::onChangedPersone);
    connect(review, &InspectionPoligrammeFancy::notifyPlayPoligramme, this, &vugVorkel::onLocalPlayPoligramme);
    connect(editor, changed, points, &InspectionAnalysisBallFancy::onChangedPersone);
    connect(points, &InspectionAnalysisBallFancy::notifyPlayPoligrammeFromBall, this, &vugVorkel::onLocalPlayPoligramme);
    connect(points, &InspectionAnalysisBallFancy::notifyShowPoligrammeFromBall, this, &vugVorkel::onLocalShowPoligramme);
    connect(editor, changed, metric, &InspectionAnalysisMetrFancy::onChangedPersone);
    connect(metric, &InspectionAnalysisMetrFancy::notifyPlayPoligrammeFromMetr, this, &vugVorkel::onLocalPlayPoligramme);
    connect(metric, &InspectionAnalysisMetrFancy::notifyShowPoligrammeFromMetr, this, &vugVorkel::onLocalShowPoligramme);
    connect(editor, changed, statistics, &InspectionAnalysisStatFancy::onChangedPersone);
}

void vugVorkel::createActionBar()
{
    auto *settings = new QAction(VugImages::icon(QStringLiteral("EditorSettings.png")), tr("Настройки - F4"), this);
    actionPlay = new QAction(VugImages::icon(QStringLiteral("Actions-media-playback-start-icon.png")),
                             tr("Воспроизведение полиграммы"), this);
    actionRecord = new QAction(VugImages::icon(QStringLiteral("Actions-media-record-icon.png")),
                               tr("Запись полиграммы - F5"), this);
    actionBar->insertActionButton(1, settings);
    actionBar->insertActionButton(2, actionPlay);
    actionBar->insertActionButton(3, actionRecord);
    settings->setShortcut(QKeySequence(tr("F4")));
    actionRecord->setShortcut(QKeySequence(tr("F5")));
    connect(settings, &QAction::triggered, this, &vugVorkel::action_Settings);
    connect(actionPlay, &QAction::triggered, this, &vugVorkel::action_PlayRecording);
    connect(actionRecord, &QAction::triggered, this, &vugVorkel::action_StartRecording);
}

void vugVorkel::createMenus()
{
    QMenu *file = menuBar()->addMenu(tr("&Файл"));
    file->addAction(tr("&Выход"), this, &QWidget::close);

    QMenu *service = menuBar()->addMenu(tr("Се&рвис"));
    actionAlignment = service->addAction(tr("Юстировка каналов..."), this, &vugVorkel::action_AlignmentChannals);

    QMenu *help = menuBar()->addMenu(tr("&Справка"));
    actionDiagnostics = help->addAction(tr("Диагностика системы..."), this, &vugVorkel::action_DiagnisticsSystem);
    help->addSeparator();
    help->addAction(tr("О программе..."), this, &vugVorkel::action_About);
}

void vugVorkel::createStatusLabels()
{
    labelPersone = new QLabel;
    labelPath = new QLabel;
    labelTests = new QLabel;
    // A long path gives way first: the subject and the count of tests read whole.
    labelPath->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    QStatusBar *status = tabWidget->bottomStatusBar();
    status->addWidget(labelPersone, 0);
    status->addWidget(new QLabel(QStringLiteral("   ")), 0);
    status->addWidget(labelTests, 0);
    status->addWidget(new QLabel(QStringLiteral("   ")), 0);
    status->addWidget(labelPath, 0);
    status->setAutoFillBackground(true);
}

void vugVorkel::setStatusBarVisible(bool visible)
{
    if (tabWidget)
        tabWidget->bottomStatusBar()->setVisible(visible);
}

QString vugVorkel::subjectText() const { return labelPersone ? labelPersone->text() : QString(); }
QString vugVorkel::testsText() const { return labelTests ? labelTests->text() : QString(); }
QString vugVorkel::pathText() const { return labelPath ? labelPath->text() : QString(); }

void vugVorkel::updateRecordingActions()
{
    const bool examination = pInspect != nullptr;
    if (tabWidget) {
        for (int index = 1; index < 5; ++index)
            tabWidget->enableTab(index, examination);
    }
    if (actionPlay)
        actionPlay->setEnabled(examination);
    if (actionRecord)
        actionRecord->setEnabled(examination);
    const bool unitFree = !recordingScreen();
    if (actionAlignment)
        actionAlignment->setEnabled(unitFree);
    if (actionDiagnostics)
        actionDiagnostics->setEnabled(unitFree);
}

void vugVorkel::onChangePersone(QString path, Inspection *inspection)
{
    if (inspection) {
        int recorded = 0;
        for (const Inspection::_Test &test : inspection->tests)
            recorded += test.recorded ? 1 : 0;
        labelPersone->setText(
            boldValue(tr("Испытуемый:"), QFileInfo(inspection->path).completeBaseName()));
        labelTests->setText(boldValue(tr("Количество предъявленных тестов:"), QString::number(recorded)));
        labelPath->setText(boldValue(tr("Путь к файлу:"), QFileInfo(path).path()));
    } else {
        labelPersone->clear();
        labelTests->clear();
        labelPath->clear();
    }
    pInspect = inspection;
    updateRecordingActions();
}

void vugVorkel::currentTabChanged(int index)
{
    if (index == 2 || index == 3)
        returnTabs = {index};
    tabWidget->setSelectionWidgetVisible(true);
}

void vugVorkel::onDefViewPoligramme(int index)
{
    if (!pInspect || !pInspect->test(index))
        return;
    tabWidget->setCurrentIndex(1);
    if (auto *review = findPage<InspectionPoligrammeFancy>(QStringLiteral("InspectionPoligrammeFancy")))
        review->showTest(index, -1, -1);
}

void vugVorkel::onLocalShowPoligramme(int iIndexTest, int iPos, int iChannel)
{
    if (!pInspect || !pInspect->test(iIndexTest))
        return;
    if (auto *review = findPage<InspectionPoligrammeFancy>(QStringLiteral("InspectionPoligrammeFancy")))
        review->showTest(iIndexTest, iPos, iChannel);
    returnTabs = {tabWidget->currentTab()};
    tabWidget->setCurrentIndex(1);
}

void vugVorkel::action_About()
{
    QMessageBox::about(this, tr("Воркел"),
                       tr("Компьютерный полиграф «Воркел»\nВерсия %1").arg(QCoreApplication::applicationVersion()));
}

void vugVorkel::action_Settings()
{
    GenericSettings before;
    before.load();
    SettingsDlg dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    GenericSettings after;
    after.load();
    askRestartAfterSettings(before, after);
}

QStringList vugVorkel::restartQuestions(const GenericSettings &before, const GenericSettings &after)
{
    // File names on this platform are case-sensitive, so a change of case is a change.
    QStringList questions;
    if (before.sRootFolder != after.sRootFolder)
        questions << tr("При изменении корневого каталога необходимо перезапустить программу. \nВыполнить перезапуск?");
    if (before.sPathFileSprav != after.sPathFileSprav)
        questions << tr("При изменении справочника необходимо перезапустить программу. \nВыполнить перезапуск?");
    if (before.fontK != after.fontK)
        questions << tr("При изменении шрифта необходимо перезапустить программу. \nВыполнить перезапуск?");
    return questions;
}

void vugVorkel::askRestartAfterSettings(const GenericSettings &before, const GenericSettings &after)
{
    for (const QString &question : restartQuestions(before, after)) {
        if (QMessageBox::question(this, tr("Воркел"), question, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
            if (restartProgram())
                return;
        }
    }
}

bool vugVorkel::restartProgram()
{
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (!QProcess::startDetached(QCoreApplication::applicationFilePath(), arguments)) {
        QMessageBox::warning(this, tr("Воркел"), tr("Не удалось перезапустить программу."));
        return false;
    }
    QCoreApplication::exit(0);
    return true;
}

void vugVorkel::action_DiagnisticsSystem()
{
    // The unit is in use while a recording screen exists.
    if (recordingScreen())
        return;
    DiagnisticsDlg dialog(this);
    dialog.setModal(true);
    dialog.exec();
}

void vugVorkel::action_AlignmentChannals()
{
    AlignmentDlg dialog(this);
    dialog.setModal(true);
    dialog.exec();
}

QWidget *vugVorkel::modesWidget() const
{
    return tabWidget;
}
