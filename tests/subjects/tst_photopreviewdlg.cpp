#include "data/GenericSettings.h"
#include "recording/media/MMRecorder.h"
#include "recording/media/RecorderFactory.h"
#include "subjects/PhotoPreViewDlg.h"
#include "tests/support/FakeRecorder.h"
#include "tests/support/SyntheticCapture.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>

namespace {

// Red top row over blue, with a green square at the top left.
QImage testCard(QSize size)
{
    QImage card(size, QImage::Format_RGB32);
    card.fill(Qt::blue);
    QPainter painter(&card);
    painter.fillRect(0, 0, size.width(), 1, Qt::red);
    painter.fillRect(10, 10, 40, 40, Qt::green);
    return card;
}

}  // namespace

class TestPhotoPreViewDlg : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void showsFramesAndStopsTheRecorder();
    void largeFrameIsNotCopiedPastTheBuffer();
    void okBeforeTheFirstFrameGivesNoImage();
    void cancelIsRejected();
    void mediaRecorderGivesAnUprightPhoto();

private:
    FakeRecorder *recorder = nullptr;
    QStringList finalCalls;
};

void TestPhotoPreViewDlg::init()
{
    GenericSettings settings;
    settings.load();
    settings.sVideoDeviceName = QStringLiteral("Камера");
    settings.sAudioDeviceName = QStringLiteral("Микрофон");
    settings.save();
    finalCalls.clear();
    RecorderFactory::install([this](int quality) {
        recorder = new FakeRecorder;
        recorder->setLevel(quality);
        recorder->whenDestroyed = [this](const QStringList &calls) { finalCalls = calls; };
        return std::unique_ptr<VideoRecorder>(recorder);
    });
}

void TestPhotoPreViewDlg::cleanup() { RecorderFactory::install({}); }

void TestPhotoPreViewDlg::showsFramesAndStopsTheRecorder()
{
    const QImage card = testCard(QSize(640, 480));
    {
        PhotoPreViewDlg dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Фото"));
        QCOMPARE(dialog.size(), QSize(300, 300));
        recorder->setImage(card);
        dialog.show();
        QTRY_VERIFY(!dialog.image.isNull());
        QCOMPARE(dialog.image.format(), QImage::Format_RGB32);
        QCOMPARE(dialog.image, card);
        auto *label = dialog.findChild<QLabel *>();
        QCOMPARE(label->pixmap(Qt::ReturnByValue).size(), label->size());
        QCOMPARE(recorder->calls(), QStringList{"start |Камера|Микрофон"});

        // The picture follows the camera.
        const QImage next = testCard(QSize(320, 240)).mirrored();
        recorder->setImage(next);
        QTRY_COMPARE(dialog.image, next);
        QTimer::singleShot(0, &dialog, &QDialog::accept);
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    }
    QCOMPARE(finalCalls, (QStringList{"start |Камера|Микрофон", "stop"}));
}

void TestPhotoPreViewDlg::largeFrameIsNotCopiedPastTheBuffer()
{
    PhotoPreViewDlg dialog;
    const QImage large = testCard(QSize(2560, 1440));
    QVERIFY(large.sizeInBytes() > PhotoPreViewDlg::FrameBufferBytes);
    recorder->setImage(large);
    dialog.show();
    QTest::qWait(350);
    QVERIFY(dialog.image.isNull());
    recorder->setImage(testCard(QSize(640, 480)));
    QTRY_VERIFY(!dialog.image.isNull());
}

void TestPhotoPreViewDlg::okBeforeTheFirstFrameGivesNoImage()
{
    PhotoPreViewDlg dialog;
    QTimer::singleShot(0, &dialog, &QDialog::accept);
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QVERIFY(dialog.image.isNull());
}

void TestPhotoPreViewDlg::cancelIsRejected()
{
    PhotoPreViewDlg dialog;
    recorder->setImage(testCard(QSize(640, 480)));
    QTimer::singleShot(300, &dialog, &QDialog::reject);
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
}

void TestPhotoPreViewDlg::mediaRecorderGivesAnUprightPhoto()
{
    SyntheticCapture *sources = nullptr;
    RecorderFactory::install([&sources](int quality) {
        auto made = std::make_unique<SyntheticCapture>();
        sources = made.get();
        return std::unique_ptr<VideoRecorder>(new MMRecorder(quality, std::move(made)));
    });
    const QImage card = testCard(QSize(640, 480));
    PhotoPreViewDlg dialog;
    dialog.show();
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            sources->present(card, QVideoSurfaceFormat::TopToBottom);
            return !dialog.image.isNull();
        }(),
        5000);
    QCOMPARE(dialog.image.pixel(320, 0), QColor(Qt::red).rgb());
    QCOMPARE(dialog.image.pixel(20, 20), QColor(Qt::green).rgb());
    QCOMPARE(dialog.image.pixel(320, 479), QColor(Qt::blue).rgb());
    QCOMPARE(dialog.image, card);
}

VUG_TEST_MAIN(TestPhotoPreViewDlg, QApplication)
#include "tst_photopreviewdlg.moc"
