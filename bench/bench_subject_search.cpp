// The subject search over 1 000 and 10 000 subject files of ten recorded
// tests each, with every condition switched on and none met, beside its floor:
// SQLite reading the rows the search needs (structures, questionnaire,
// pre-test text) of the same files, every byte touched. The search runs
// through the dock as the examiner starts it; a zero timer measures the
// longest gap between two event batches. Sizes interleaved over three rounds;
// medians. The files beyond the first are hard links of it, so ten thousand
// cost the disk one.
#include "bench/BenchFloor.h"
#include "bench/BenchHome.h"
#include "BenchExamination.h"
#include "data/GenericSettings.h"
#include "data/SettingsStore.h"
#include "resources/VugResources.h"
#include "subjects/PersoneSearchDockWindow.h"
#include "subjects/PersoneSearchMatch.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <unistd.h>

namespace {

const int kSizes[] = {1000, 10000};
constexpr int kTests = 10;
constexpr int kRounds = 3;

void makeStore(const QString &root, int files)
{
    BenchTestShape shape;
    shape.ticks = 1200;  // one minute per test
    shape.presentations = 3;
    const QString first = root + QStringLiteral("/Образец.qmz");
    {
        Inspection inspection;
        inspection.path = first;
        for (int n = 0; n < kTests; ++n) {
            inspection.tests.append(recordedTest(n, shape));
            inspection.tests.last().Comments = QStringLiteral("Примечание к тесту %1").arg(n);
            inspection.saveTestStruct(&inspection.tests.last(), false);
            inspection.saveRecording(&inspection.tests.last());
        }
        InspectionPerson person;
        person.Sex = 1;
        person.Birthday = QDate(1980, 6, 1);
        person.Comments = QStringLiteral("Обычное примечание анкеты");
        person.Tags = QStringLiteral("{11111111-2222-3333-4444-555555555555}\t");
        inspection.savePerson(person);
        inspection.preTestText = QStringLiteral("Текст предтестовой беседы");
        inspection.savePreTestConversation();
    }
    for (int i = 1; i < files; ++i) {
        const QString folder = root + QStringLiteral("/Папка%1").arg(i % 20);
        QDir().mkpath(folder);
        const QString file = folder + QStringLiteral("/Обследуемый %1.qmz").arg(i);
        if (::link(QFile::encodeName(first).constData(), QFile::encodeName(file).constData()) != 0)
            qFatal("the store was not made");
    }
}

void setAllConditions(PersoneSearchDlg::_Conditions &c, const QString &root)
{
    c.bUseSearch = c.bUseSex = c.bUseBirth = c.bUseInspection = c.bUseTags = c.bUseRootFolder = true;
    c.sSearch = QStringLiteral("не встречается нигде");
    c.iSex = 1;
    c.dateBirthFrom = QDate(1970, 1, 1);
    c.dateBirthTo = QDate(1990, 1, 1);
    c.dateInspectionFrom = QDateTime(QDate(2000, 1, 1), QTime());
    c.dateInspectionTo = QDateTime(QDate(2100, 1, 1), QTime());
    c.sTags = QStringLiteral("{11111111-2222-3333-4444-555555555555}\t{aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee}\t");
    c.sRootFolder = root;
}

// Seconds the floor takes over every file below the folder.
double floorSeconds(const QString &folder)
{
    double seconds = 0;
    for (const QString &file : subjectFilesBelow(folder))
        seconds += BenchFloor::readSeconds(file, "SELECT test_id, data_type, data FROM inspection "
                                                 "WHERE data_type IN (1, 16, 64)");
    return seconds;
}

}  // namespace

int main(int argc, char *argv[])
{
    BenchHome home;
    QApplication app(argc, argv);
    initVugResources();
    QTextStream out(stdout);

    GenericSettings settings;
    settings.load();
    QVector<QString> roots;
    for (int files : kSizes) {
        roots.append(settings.sRootFolder + QStringLiteral("/Все %1").arg(files));
        QDir().mkpath(roots.last());
        makeStore(roots.last(), files);
    }

    PersoneSearchDockWindow dock;
    // In the program the search starts from a window already on the screen:
    // the process's first window costs nothing to the search.
    dock.show();
    QElapsedTimer shown;
    shown.start();
    while (shown.elapsed() < 5000 && !dock.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QTimer answer;
    answer.callOnTimeout([] {
        if (auto *dialog = qobject_cast<PersoneSearchDlg *>(QApplication::activeModalWidget()))
            dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    });
    answer.start(1);
    QElapsedTimer sinceBatch;
    qint64 longestGap = 0;
    QTimer batches;
    batches.callOnTimeout([&] {
        longestGap = std::max(longestGap, sinceBatch.elapsed());
        sinceBatch.restart();
    });
    batches.start(0);

    QVector<QVector<double>> searches(roots.size()), floors(roots.size());
    QVector<qint64> gaps(roots.size());
    for (int round = 0; round < kRounds; ++round) {
        for (int i = 0; i < roots.size(); ++i) {
            setAllConditions(*PersoneSearchDockWindow::conditions(), roots[i]);
            QElapsedTimer clock;
            clock.start();
            sinceBatch.start();
            longestGap = 0;
            dock.onSearch();
            searches[i].append(clock.nsecsElapsed() / 1e9);
            gaps[i] = std::max(gaps[i], longestGap);
            if (dock.listView()->model()->rowCount() != 0)
                qFatal("the search found what is not there");
            floors[i].append(floorSeconds(roots[i]));
        }
    }
    out << "files   search s   floor s   ratio   longest gap ms\n";
    for (int i = 0; i < roots.size(); ++i) {
        const double search = BenchFloor::median(searches[i]);
        const double floor = BenchFloor::median(floors[i]);
        out << QStringLiteral("%1 %2 %3 %4x %5\n")
                   .arg(kSizes[i], 5)
                   .arg(search, 10, 'f', 3)
                   .arg(floor, 9, 'f', 3)
                   .arg(search / floor, 6, 'f', 1)
                   .arg(gaps[i], 8);
    }
    out << "medians of " << kRounds << " interleaved rounds (dialog included in the search)\n";
    return 0;
}
