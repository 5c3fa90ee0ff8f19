#include "data/Inspection.h"
#include "data/InspectionMedia.h"
#include "data/TemporaryVideo.h"
#include "data/SpravDB.h"
#include "recording/media/MMRecorder.h"
#include "recording/media/RecorderFactory.h"
#include "subjects/PersonePropertyDlg.h"
#include "subjects/PreTestConversationDlg.h"
#include "subjects/PhotoTiling.h"
#include "subjects/PreTestCanversationDockWindow.h"
#include "tests/support/FakeRecorder.h"
#include "tests/support/Ffprobe.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/SyntheticCapture.h"
#include "tests/support/TestHome.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QMenu>
#include <QStandardPaths>
#include <QTabWidget>

namespace {

QStringList entriesOf(QMenu *menu)
{
    QStringList entries;
    for (QAction *action : menu->actions())
        entries << (action->isSeparator() ? QString("-") : action->text() + (action->isEnabled() ? "" : " (off)"));
    return entries;
}

QAction *entry(QMenu *menu, const QString &text)
{
    for (QAction *action : menu->actions()) {
        if (action->text().startsWith(text))
            return action;
    }
    return nullptr;
}

QImage picture(QColor colour, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QStringList mediaFiles(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

}  // namespace

class TestPreTestDock : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void videoAndSpeechFilesAreNamedFromTheirStarts();
    void speechFileThatCannotStartSoundsTheTone();
    void anotherRecordingsVideoIsLeftAlone();
    void subjectChangeEndsTheRecordingUnderItsSubject();
    void closingTheDockKeepsTheRecording();
    void renamedOrDeletedSubjectLeavesNoOrphanVideo_data();
    void renamedOrDeletedSubjectLeavesNoOrphanVideo();
    void recorderErrorEndsTheRecording();
    void menuFollowsTheState();
    void commentEntryOpensThePreTestTab();
    void playerEntryOpensThePlayerOnlyWhileIdle();
    void tilingOfPhotos();
    void mediaRecorderWritesVideoAndSpeech();

private:
    Inspection *subject(const QString &name);
    void start(PreTestCanversationDockWindow &dock);
    QDateTime now;
    FakeRecorder *recorder = nullptr;
    QTemporaryDir dir;
    std::vector<std::unique_ptr<Inspection>> subjects;
};

void TestPreTestDock::init()
{
    now = QDateTime(QDate(2026, 3, 4), QTime(10, 20, 30));
    SpravDB::sPathFileSprav = dir.filePath(QStringLiteral("svorkel.sqmz"));
    RecorderFactory::install([this](int) {
        recorder = new FakeRecorder;
        recorder->setFrame(64, 48);
        return std::unique_ptr<VideoRecorder>(recorder);
    });
}

void TestPreTestDock::cleanup()
{
    RecorderFactory::install({});
    QDir(dir.filePath("__1__")).removeRecursively();
}

Inspection *TestPreTestDock::subject(const QString &name)
{
    subjects.push_back(std::make_unique<Inspection>(dir.filePath(name)));
    subjects.back()->saveTestStruct(nullptr);
    return subjects.back().get();
}

void TestPreTestDock::start(PreTestCanversationDockWindow &dock)
{
    dock.setClock([this] { return now; });
    dock.onStartRecord();
    QVERIFY(dock.isRecording());
}

void TestPreTestDock::videoAndSpeechFilesAreNamedFromTheirStarts()
{
    Inspection *s = subject("Иванов.qmz");
    PreTestCanversationDockWindow dock;
    dock.onChangedPersone(s->path, s);
    start(dock);
    const QString folder = InspectionMedia::mediaFolder(*s);
    QCOMPARE(QFileInfo(recorder->path()).path(), folder);
    now = now.addSecs(5);
    dock.startRecordSpeech();
    QVERIFY(dock.isRecordingSpeech());
    now = now.addSecs(5);
    dock.stopRecordSpeech();
    QVERIFY(!dock.isRecordingSpeech());
    now = now.addSecs(5);
    dock.startRecordSpeech();
    dock.stopRecord();
    QVERIFY(!dock.isRecording());
    QCOMPARE(mediaFiles(folder), (QStringList{"Иванов.04032026102030.avi", "Иванов.04032026102035.aac",
                                              "Иванов.04032026102045.aac"}));
}

void TestPreTestDock::speechFileThatCannotStartSoundsTheTone()
{
    Inspection *s = subject("Иванов.qmz");
    PreTestCanversationDockWindow dock;
    dock.onChangedPersone(s->path, s);
    dock.startRecordSpeech();  // no recording: nothing
    start(dock);
    dock.startRecordSpeech();
    dock.stopRecordSpeech();
    dock.startRecordSpeech();  // the same second: the name is taken
    QVERIFY(!dock.isRecordingSpeech());
    QCOMPARE(recorder->audioFiles().size(), 1);
    now = now.addSecs(1);
    recorder->setAudioFileResult(-5);
    dock.startRecordSpeech();
    QVERIFY(!dock.isRecordingSpeech());
    dock.stopRecord();
}

// Another recording's video in the folder is neither renamed nor taken; a
// final name that is taken leaves this one under its own name, told.
void TestPreTestDock::anotherRecordingsVideoIsLeftAlone()
{
    Inspection *s = subject("Иванов.qmz");
    const TemporaryVideo other(InspectionMedia::mediaFolder(*s), TemporaryVideo::Kind::PreTest);
    QFile crashed(other.path());
    QVERIFY(crashed.open(QIODevice::WriteOnly) && crashed.write("other") == 5);
    crashed.close();
    PreTestCanversationDockWindow dock;
    dock.onChangedPersone(s->path, s);
    start(dock);
    dock.stopRecord();
    QCOMPARE(mediaFiles(InspectionMedia::mediaFolder(*s)), QStringList{"Иванов.04032026102030.avi"});
    QVERIFY(crashed.open(QIODevice::ReadOnly) && crashed.readAll() == "other");

    start(dock);
    const QString own = recorder->path();
    MessageBoxAnswerer answers({QMessageBox::Ok});
    dock.stopRecord();
    QCOMPARE(answers.asked().size(), 1);
    QVERIFY2(answers.asked()[0].contains(own), qPrintable(answers.asked()[0]));
    QVERIFY(QFile::exists(own));
}

void TestPreTestDock::subjectChangeEndsTheRecordingUnderItsSubject()
{
    Inspection *first = subject("Иванов.qmz");
    QDir().mkpath(dir.filePath("Отдел"));
    Inspection *second = subject("Отдел/Петров.qmz");
    PreTestCanversationDockWindow dock;
    dock.onChangedPersone(first->path, first);
    start(dock);
    dock.startRecordSpeech();
    dock.onChangedPersone(first->path, first);  // announced again: goes on
    QVERIFY(dock.isRecordingSpeech());
    dock.onChangedPersone(second->path, second);
    QVERIFY(!dock.isRecording());
    QCOMPARE(mediaFiles(InspectionMedia::mediaFolder(*first)),
             (QStringList{"Иванов.04032026102030.aac", "Иванов.04032026102030.avi"}));
    QVERIFY(!QFileInfo::exists(dir.filePath("Отдел/__1__")) || mediaFiles(dir.filePath("Отдел/__1__")).isEmpty());

    start(dock);
    dock.onChangedPersone(dir.filePath("Отдел"), nullptr);  // a folder chosen
    QVERIFY(!dock.isRecording());
    QVERIFY(QFile::exists(dir.filePath("Отдел/__1__/Петров.04032026102030.avi")));
}

void TestPreTestDock::closingTheDockKeepsTheRecording()
{
    Inspection *s = subject("Иванов.qmz");
    {
        PreTestCanversationDockWindow dock;
        dock.onChangedPersone(s->path, s);
        start(dock);
    }
    QCOMPARE(mediaFiles(InspectionMedia::mediaFolder(*s)), QStringList{"Иванов.04032026102030.avi"});
}

void TestPreTestDock::renamedOrDeletedSubjectLeavesNoOrphanVideo_data()
{
    QTest::addColumn<QString>("video");  // where the video ends up; empty when its folder went
    QTest::newRow("subject renamed") << "Группа/__1__/Сидоров.04032026102030.avi";
    QTest::newRow("folder renamed") << "Группа 2/__1__/Иванов.04032026102030.avi";
    QTest::newRow("subject deleted") << "Trash/files/Иванов.04032026102030.avi";
    QTest::newRow("folder deleted") << QString();
    QTest::newRow("media folder replaced by another program") << "Группа/__1__/Иванов.04032026102030.avi";
    QTest::newRow("folder renamed by another program: told where the video is")
        << "Группа 2/__1__/Иванов.04032026102030.avi";
}

// The subject dock renames or deletes files first and announces afterwards:
// the recording follows a rename and goes on; after a deletion its video
// follows the subject into the Trash, and a deleted folder is not made again.
void TestPreTestDock::renamedOrDeletedSubjectLeavesNoOrphanVideo()
{
    QFETCH(QString, video);
    const QString folder = dir.filePath("Группа");
    QDir(dir.path()).mkpath("Группа");
    Inspection *s = subject("Группа/Иванов.qmz");
    const QString oldPath = s->path;
    PreTestCanversationDockWindow dock;
    dock.onChangedPersone(oldPath, s);
    start(dock);
    const QString tag = QTest::currentDataTag();
    if (tag == "subject renamed") {
        const QString newPath = folder + "/Сидоров.qmz";
        QVERIFY(QFile::rename(oldPath, newPath));
        dock.followRename(oldPath, newPath);
        s->path = newPath;
        dock.onChangedPersone(newPath, s);
        QVERIFY(dock.isRecording());
    } else if (tag == "folder renamed") {
        QVERIFY(QDir(dir.path()).rename("Группа", "Группа 2"));
        dock.followRename(folder, folder + " 2");
    } else if (tag == "subject deleted") {
        QVERIFY(InspectionMedia::moveToTrash(oldPath));
    } else if (tag.startsWith("media folder")) {
        QVERIFY(QDir(folder).rename("__1__", "old") && QDir(folder).mkdir("__1__"));
    } else if (tag.startsWith("folder renamed by another")) {
        QVERIFY(QDir(dir.path()).rename("Группа", "Группа 2"));
    } else {
        QVERIFY(QDir(folder).removeRecursively());
    }
    MessageBoxAnswerer answers({QMessageBox::Ok});
    dock.onChangedPersone(QString(), nullptr);
    QVERIFY(!dock.isRecording());
    QStringList videos;
    const auto files = QDir::Files | QDir::Hidden;
    for (QDirIterator it(dir.path(), {"*.avi"}, files, QDirIterator::Subdirectories); it.hasNext();)
        videos << QDir(dir.path()).relativeFilePath(it.next());
    videos = videos.filter(QRegularExpression("^Группа"));
    const bool trashed = video.startsWith("Trash/");
    QCOMPARE(answers.asked().value(0).contains(dir.filePath(video)), tag.endsWith("told where the video is"));
    QCOMPARE(videos, video.isEmpty() || trashed ? QStringList() : QStringList{video});
    if (trashed)
        QVERIFY(QFile::exists(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + '/' + video));
    if (video.isEmpty())
        QVERIFY(!QFileInfo::exists(folder));
    QDir(folder).removeRecursively();
    QDir(folder + " 2").removeRecursively();
}

void TestPreTestDock::recorderErrorEndsTheRecording()
{
    Inspection *s = subject("Иванов.qmz");
    PreTestCanversationDockWindow dock;
    dock.show();
    dock.onChangedPersone(s->path, s);
    start(dock);
    MessageBoxAnswerer answers({QMessageBox::Ok});
    recorder->setFailure(QStringLiteral("Камера не найдена: видео не записывается."));
    QTRY_VERIFY(!dock.isRecording());
    QCOMPARE(answers.asked(), QStringList{"Камера не найдена: видео не записывается."});
}

void TestPreTestDock::menuFollowsTheState()
{
    PreTestCanversationDockWindow dock;
    QScopedPointer<QMenu> menu(dock.createContextMenu());
    const QStringList none{"Начать запись (off)", "Завершить запись (off)", "-",
                           "Начать запись разговора\t F12 (off)", "Завершить запись разговора\t Ctrl+F12 (off)",
                           "-", "Управление предтестовой беседой... (off)", "-",
                           "Комментарий к предтестовой беседе... (off)"};
    QCOMPARE(entriesOf(menu.data()), none);

    Inspection *s = subject("Иванов.qmz");
    dock.onChangedPersone(s->path, s);
    menu.reset(dock.createContextMenu());
    QCOMPARE(entriesOf(menu.data()),
             (QStringList{"Начать запись", "Завершить запись (off)", "-", "Начать запись разговора\t F12 (off)",
                          "Завершить запись разговора\t Ctrl+F12 (off)", "-",
                          "Управление предтестовой беседой...", "-", "Комментарий к предтестовой беседе..."}));
    dock.setClock([this] { return now; });
    entry(menu.data(), "Начать запись")->trigger();
    QVERIFY(dock.isRecording());
    menu.reset(dock.createContextMenu());
    QCOMPARE(entriesOf(menu.data()),
             (QStringList{"Начать запись (off)", "Завершить запись", "-", "Начать запись разговора\t F12",
                          "Завершить запись разговора\t Ctrl+F12 (off)", "-",
                          "Управление предтестовой беседой... (off)", "-", "Комментарий к предтестовой беседе..."}));
    entry(menu.data(), "Начать запись разговора")->trigger();
    menu.reset(dock.createContextMenu());
    QVERIFY(!entry(menu.data(), "Начать запись разговора")->isEnabled());
    QVERIFY(entry(menu.data(), "Завершить запись разговора")->isEnabled());
    entry(menu.data(), "Завершить запись разговора")->trigger();
    QVERIFY(!dock.isRecordingSpeech());
    entry(menu.data(), "Завершить запись")->trigger();
    QVERIFY(!dock.isRecording());
}

void TestPreTestDock::commentEntryOpensThePreTestTab()
{
    Inspection *s = subject("Иванов.qmz");
    PreTestCanversationDockWindow dock;
    dock.onChangedPersone(s->path, s);
    int tab = -1;
    QTimer::singleShot(0, [&tab] {
        auto *dialog = qobject_cast<PersonePropertyDlg *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        tab = dialog->tabs()->currentIndex();
        dialog->reject();
    });
    dock.onComments();
    QCOMPARE(tab, int(PersonePropertyDlg::PreTestTab));
}

void TestPreTestDock::playerEntryOpensThePlayerOnlyWhileIdle()
{
    Inspection *s = subject("Иванов.qmz");
    PreTestCanversationDockWindow dock;
    dock.onChangedPersone(s->path, s);
    QWidget *parentOfPlayer = nullptr;
    QTimer::singleShot(0, [&parentOfPlayer] {
        if (auto *player = qobject_cast<PreTestConversationDlg *>(QApplication::activeModalWidget())) {
            parentOfPlayer = player->parentWidget();
            player->close();
        }
    });
    entry(QScopedPointer<QMenu>(dock.createContextMenu()).data(), "Управление предтестовой беседой")->trigger();
    QCOMPARE(parentOfPlayer, &dock);

    // During a recording the player, which deletes recordings, does not open.
    start(dock);
    QWidget *opened = nullptr;
    QTimer::singleShot(0, [&opened] { opened = QApplication::activeModalWidget(); });
    dock.onMMPlayer();
    QCoreApplication::processEvents();
    QVERIFY(!opened);
    dock.onStopRecord();
}

void TestPreTestDock::tilingOfPhotos()
{
    // One photo: the whole area, drawn at its own aspect ratio.
    const QImage one = PhotoTiling::tiled({picture(Qt::red, QSize(400, 300))}, QSize(600, 600));
    QCOMPARE(one.size(), QSize(600, 600));
    QCOMPARE(one.pixel(300, 200), QColor(Qt::red).rgb());
    QCOMPARE(one.pixel(300, 500), QColor(Qt::white).rgb());
    QCOMPARE(one.pixel(0, 0), QColor(Qt::black).rgb());  // framed

    // Three photos side by side in a wide area.
    const QVector<QImage> three{picture(Qt::red, QSize(300, 400)), picture(Qt::green, QSize(300, 400)),
                                picture(Qt::blue, QSize(300, 400))};
    const QSize cell = PhotoTiling::cellSize(3, 0.75, QSize(900, 300));
    QVERIFY2(cell.width() * 3 <= 900 && cell.height() <= 300 && cell.width() > 150,
             qPrintable(QStringLiteral("%1x%2").arg(cell.width()).arg(cell.height())));
    const QImage wide = PhotoTiling::tiled(three, QSize(900, 300));
    const int w = QImage(three[0]).scaled(cell, Qt::KeepAspectRatio).width();
    QCOMPARE(wide.pixel(w / 2, 100), QColor(Qt::red).rgb());
    QCOMPARE(wide.pixel(w + w / 2, 100), QColor(Qt::green).rgb());
    QCOMPARE(wide.pixel(2 * w + w / 2, 100), QColor(Qt::blue).rgb());

    // None, or a first photo without height: nothing to draw, no division by zero.
    QVERIFY(PhotoTiling::tiled({}, QSize(600, 600)).isNull());
    QVERIFY(PhotoTiling::tiled({QImage(QSize(10, 0), QImage::Format_RGB32), picture(Qt::red, QSize(4, 3))},
                               QSize(600, 600)).isNull());
    QVERIFY(PhotoTiling::tiled({picture(Qt::red, QSize(4, 3))}, QSize(0, 600)).isNull());
}

void TestPreTestDock::mediaRecorderWritesVideoAndSpeech()
{
    RecorderFactory::install([](int quality) {
        auto sources = std::make_unique<SyntheticCapture>();
        sources->setRealTime(3000);
        return std::unique_ptr<VideoRecorder>(new MMRecorder(quality, std::move(sources)));
    });
    Inspection *s = subject("Иванов.qmz");
    PreTestCanversationDockWindow dock;
    dock.resize(400, 300);
    dock.show();
    dock.onChangedPersone(s->path, s);
    dock.setClock([this] { return now; });
    const qint64 background = dock.picture()->pixmap(Qt::ReturnByValue).cacheKey();
    auto choose = [&dock](const QString &text) {
        QScopedPointer<QMenu> menu(dock.createContextMenu());
        QAction *action = entry(menu.data(), text);
        QVERIFY(action && action->isEnabled());
        action->trigger();
    };
    choose("Начать запись");
    QTRY_VERIFY_WITH_TIMEOUT(dock.picture()->pixmap(Qt::ReturnByValue).cacheKey() != background, 5000);
    // The live picture: the moving test picture under the clock's text.
    const QImage live = dock.picture()->pixmap(Qt::ReturnByValue).toImage();
    QCOMPARE(live.size(), dock.picture()->size());
    QTest::qWait(1500);
    now = now.addSecs(2);
    choose("Начать запись разговора");
    QVERIFY(dock.isRecordingSpeech());
    QTest::qWait(2000);
    choose("Завершить запись разговора");
    QVERIFY(!dock.isRecordingSpeech());
    choose("Завершить запись");
    QVERIFY(!dock.isRecording());
    const QString folder = InspectionMedia::mediaFolder(*s);
    const QJsonObject video = Ffprobe::formatAndStreams(folder + "/Иванов.04032026102030.avi");
    QCOMPARE(video.value("format").toObject().value("format_name").toString(), QStringLiteral("avi"));
    QCOMPARE(Ffprobe::streamOf(video, "video").value("codec_name").toString(), QStringLiteral("mpeg4"));
    QCOMPARE(Ffprobe::streamOf(video, "audio").value("codec_name").toString(), QStringLiteral("aac"));
    const QJsonObject speech = Ffprobe::formatAndStreams(folder + "/Иванов.04032026102032.aac");
    const QJsonObject sound = Ffprobe::streamOf(speech, "audio");
    QCOMPARE(sound.value("codec_name").toString(), QStringLiteral("aac"));
    QCOMPARE(sound.value("sample_rate").toString(), QStringLiteral("22050"));
    QCOMPARE(sound.value("channels").toInt(), 1);
}

VUG_TEST_MAIN(TestPreTestDock, QApplication)
#include "tst_pretestdock.moc"
