#include "recording/media/MMRecorder.h"
#include "tests/support/Ffprobe.h"
#include "tests/support/SyntheticCapture.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int Rate = 22050;

// A recorder on the test's thread, its sources in the test's hand.
struct Bench {
    explicit Bench(int quality, int rate = Rate, int channels = 1)
        : microphoneRate(rate)
        , microphoneChannels(channels)
    {
        auto owned = std::make_unique<SyntheticCapture>();
        capture = owned.get();
        capture->setMicrophone(true, SyntheticCapture::monoFormat(rate, channels));
        recorder = std::make_unique<MMRecorder>(quality, std::move(owned));
    }

    // The capture start on the test's thread, so every read is the test's.
    void begin(const QString &path)
    {
        recorder->prepare(path, QStringLiteral("Cam"), QStringLiteral("Mic"));
        recorder->onStartedThread();
    }

    void end() { recorder->onFinishedThread(); }

    // Frames and sound of the given seconds, 40 ms at a time.
    void record(double seconds, int amplitude = 3000, QSize frameSize = QSize(640, 480))
    {
        const QAudioFormat format = SyntheticCapture::monoFormat(microphoneRate, microphoneChannels);
        const int chunk = microphoneRate / 25;
        for (int i = 0; i < int(seconds * 25); ++i) {
            capture->present(SyntheticCapture::movingPicture(i, frameSize));
            capture->feed(SyntheticCapture::tone(chunk, amplitude, qint64(i) * chunk, format));
            for (int read = 0; read < 4; ++read)
                recorder->onAudioReadyRead();
        }
    }

    // The recorder's clock in seconds and its level.
    QPair<double, double> readings()
    {
        int width = 0;
        int height = 0;
        QPair<double, double> values(-1, -1);
        recorder->takeFrame(&width, &height, nullptr, 0, &values.first, &values.second);
        return values;
    }

    double seconds() { return readings().first; }
    double level() { return readings().second; }

    SyntheticCapture *capture = nullptr;
    std::unique_ptr<MMRecorder> recorder;
    int microphoneRate;
    int microphoneChannels;
};

} // namespace

class TestMMRecorder : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void levelIsMeanMagnitudeSquaredOverTenThousand();
    void soundIsDroppedUntilTheFirstFrame();
    void blocksOf2048BytesAreTakenAndTheRestWaits();
    void qualityOutsideTheRangeWritesNothingWhileTheClockRuns();
    void secondRecorderSharesTheFirstOnesFrames();
    void framesOfOtherSizesAreScaledAndOnlyBottomUpOnesMirrored();
    void soundBufferNeverOverflowsWithoutAFrameHolder();
    void writtenFileIsWhatFfprobeExpects();
    void noisyFramesKeepEachQualitysBitRate();
    void clockFollowsTheFramesInTheFile();
    void microphoneOfAnotherFormatIsConverted();
    void speechFileTakesTheRecordingsSound();
    void unwritableOutputsAreReportedAndRemoved();
    void noMicrophoneIsReportedAndLeavesNoFile();
    void recordsOnItsOwnThread();
    void machineDevicesStartAndStopWithoutHanging();

private:
    QString record(int quality, double seconds = 10.0);
    QTemporaryDir m_dir;
};

void TestMMRecorder::init() { QVERIFY(m_dir.isValid()); }

QString TestMMRecorder::record(int quality, double seconds)
{
    const QString path = m_dir.filePath(QStringLiteral("q%1.avi").arg(quality));
    Bench bench(quality);
    bench.begin(path);
    bench.record(seconds);
    bench.end();
    return bench.recorder->wroteFile() ? path : QString();
}

void TestMMRecorder::levelIsMeanMagnitudeSquaredOverTenThousand()
{
    Bench bench(3);
    bench.begin(QString());
    QByteArray sound(2000, '\0');
    auto *samples = reinterpret_cast<qint16 *>(sound.data());
    for (int i = 0; i < 1000; ++i)
        samples[i] = i % 2 ? 1000 : -1000;
    bench.capture->feed(sound);
    bench.recorder->onAudioReadyRead();
    QCOMPARE(bench.level(), 100.0);
    bench.end();
}

void TestMMRecorder::soundIsDroppedUntilTheFirstFrame()
{
    Bench bench(1);
    bench.begin(m_dir.filePath(QStringLiteral("early.avi")));
    bench.capture->feed(SyntheticCapture::tone(2205, 1000, 0, SyntheticCapture::monoFormat()));
    bench.recorder->onAudioReadyRead();
    QCOMPARE(bench.recorder->bufferedBytes(), 0);
    QCOMPARE(bench.seconds(), 0.0);
    QVERIFY(bench.level() > 0.0);
    bench.end();
    QVERIFY(!bench.recorder->wroteFile());
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("early.avi"))));
}

void TestMMRecorder::blocksOf2048BytesAreTakenAndTheRestWaits()
{
    Bench bench(1);
    bench.begin(m_dir.filePath(QStringLiteral("blocks.avi")));
    bench.capture->present(SyntheticCapture::movingPicture(0));
    const QByteArray sound = SyntheticCapture::tone(2205, 1000, 0, SyntheticCapture::monoFormat());
    bench.capture->feed(sound.left(314));
    bench.recorder->onAudioReadyRead();
    QCOMPARE(bench.recorder->bufferedBytes(), 314);
    QCOMPARE(bench.seconds(), 0.0);
    bench.capture->feed(sound.mid(314));
    bench.recorder->onAudioReadyRead();
    QCOMPARE(bench.recorder->bufferedBytes(), 314);
    // The first block gave no sound frame, the second one did.
    QCOMPARE(bench.seconds(), double(1024 * 1000 / Rate) / 1000.0);
    bench.end();
}

void TestMMRecorder::qualityOutsideTheRangeWritesNothingWhileTheClockRuns()
{
    const QString path = m_dir.filePath(QStringLiteral("q3.avi"));
    Bench bench(3);
    bench.begin(path);
    bench.record(2.0, 1000);
    QVERIFY(bench.seconds() > 1.9);
    QVERIFY(bench.level() > 0.0);
    bench.end();
    QVERIFY(!QFile::exists(path));
    QVERIFY(!bench.recorder->wroteFile());
    QVERIFY(bench.recorder->failure().isEmpty());
}

void TestMMRecorder::secondRecorderSharesTheFirstOnesFrames()
{
    Bench first(3);
    first.begin(QString());
    first.capture->present(SyntheticCapture::movingPicture(0));
    Bench second(3);
    second.begin(QString());
    QVERIFY(second.capture->cameraAsked().isEmpty());
    int width = 0;
    int height = 0;
    QByteArray pixels(640 * 480 * 4, '\0');
    QCOMPARE(second.recorder->takeFrame(&width, &height, pixels.data(), pixels.size(), nullptr, nullptr), 640 * 480 * 4);
    QCOMPARE(QImage(reinterpret_cast<const uchar *>(pixels.constData()), 640, 480, QImage::Format_RGB32),
             SyntheticCapture::movingPicture(0));
    second.end();
    first.end();
}

void TestMMRecorder::framesOfOtherSizesAreScaledAndOnlyBottomUpOnesMirrored()
{
    Bench bench(3);
    bench.begin(QString());
    QImage image(1920, 1080, QImage::Format_RGB32);
    image.fill(Qt::blue);
    for (int y = 0; y < 540; ++y)
        std::fill_n(reinterpret_cast<quint32 *>(image.scanLine(y)), 1920, qRgb(255, 0, 0));
    int width = 0;
    int height = 0;
    QByteArray pixels(640 * 480 * 4, '\0');
    const auto *first = reinterpret_cast<const quint32 *>(pixels.constData());
    for (const QSize size : {QSize(1920, 1080), QSize(322, 241)}) {
        bench.capture->present(image.scaled(size), QVideoSurfaceFormat::TopToBottom);
        QCOMPARE(bench.recorder->takeFrame(&width, &height, pixels.data(), pixels.size(), nullptr, nullptr),
                 640 * 480 * 4);
        QCOMPARE(QSize(width, height), QSize(640, 480));
        QCOMPARE(first[0], qRgb(255, 0, 0));
        bench.capture->present(image.scaled(size), QVideoSurfaceFormat::BottomToTop);
        bench.recorder->takeFrame(&width, &height, pixels.data(), pixels.size(), nullptr, nullptr);
        QCOMPARE(first[0], qRgb(0, 0, 255));
    }
    // A buffer too small is left alone.
    pixels.fill('x');
    QCOMPARE(bench.recorder->takeFrame(&width, &height, pixels.data(), 1000, nullptr, nullptr), 640 * 480 * 4);
    QCOMPARE(pixels.at(0), 'x');
    bench.end();
}

void TestMMRecorder::soundBufferNeverOverflowsWithoutAFrameHolder()
{
    auto first = std::make_unique<Bench>(3);
    first->begin(QString());
    Bench second(3);
    second.begin(QString());
    // The holder goes with the recorder that made it.
    first->end();
    first.reset();
    const QByteArray sound(MMRecorder::ReadBytes, '\x01');
    for (int i = 0; i < 300; ++i) {
        second.capture->feed(sound);
        second.recorder->onAudioReadyRead();
    }
    QCOMPARE(second.recorder->bufferedBytes(), MMRecorder::BufferBytes);
    second.end();
}

void TestMMRecorder::writtenFileIsWhatFfprobeExpects()
{
    const QString path = record(1);
    QVERIFY(!path.isEmpty());
    const QJsonObject probed = Ffprobe::formatAndStreams(path);
    QCOMPARE(probed.value("format").toObject().value("format_name").toString(), QStringLiteral("avi"));
    const QJsonObject video = Ffprobe::streamOf(probed, "video");
    QCOMPARE(video.value("codec_name").toString(), QStringLiteral("mpeg4"));
    QCOMPARE(video.value("width").toInt(), 640);
    QCOMPARE(video.value("height").toInt(), 480);
    QCOMPARE(video.value("pix_fmt").toString(), QStringLiteral("yuv420p"));
    QCOMPARE(video.value("r_frame_rate").toString(), QStringLiteral("25/1"));
    const QJsonObject audio = Ffprobe::streamOf(probed, "audio");
    QCOMPARE(audio.value("codec_name").toString(), QStringLiteral("aac"));
    QCOMPARE(audio.value("sample_rate").toString(), QStringLiteral("22050"));
    QCOMPARE(audio.value("channels").toInt(), 1);
    QVERIFY2(qAbs(video.value("duration").toString().toDouble() - 10.0) < 0.1, qPrintable(video.value("duration").toString()));
    QVERIFY2(qAbs(audio.value("duration").toString().toDouble() - 10.0) < 0.1, qPrintable(audio.value("duration").toString()));
    QCOMPARE(video.value("start_time").toString().toDouble(), audio.value("start_time").toString().toDouble());

    const QJsonArray frames = Ffprobe::videoFrames(path);
    QVERIFY(frames.size() >= 249);
    for (int i = 0; i < frames.size(); ++i)
        QCOMPARE(frames.at(i).toObject().value("key_frame").toInt(), i % 12 == 0 ? 1 : 0);
}

void TestMMRecorder::noisyFramesKeepEachQualitysBitRate()
{
    const double asked[3] = {245760, 491520, 2457600};
    QVector<double> bitRates;
    for (int quality = 0; quality < 3; ++quality) {
        const QString path = record(quality);
        QVERIFY(!path.isEmpty());
        bitRates.append(Ffprobe::streamBytes(path, QStringLiteral("v")) * 8 / 10.0);
    }
    const QString measured = QStringLiteral("%1, %2, %3 bit/s").arg(bitRates[0]).arg(bitRates[1]).arg(bitRates[2]);
    for (int quality = 0; quality < 3; ++quality)
        QVERIFY2(qAbs(bitRates[quality] / asked[quality] - 1.0) <= 0.25, qPrintable(measured));
    QVERIFY2(bitRates[0] < bitRates[1] && bitRates[1] < bitRates[2], qPrintable(measured));
}

void TestMMRecorder::clockFollowsTheFramesInTheFile()
{
    const QString path = m_dir.filePath(QStringLiteral("clock.avi"));
    Bench bench(0);
    bench.begin(path);
    QVector<double> clocks;
    for (int second = 0; second < 10; ++second) {
        bench.record(1.0);
        clocks.append(bench.seconds());
    }
    bench.end();
    QVERIFY(bench.recorder->wroteFile());
    const QJsonArray frames = Ffprobe::videoFrames(path);
    // The clock stands where the last frame written so far ends.
    const double lastFrame = frames.last().toObject().value("pts_time").toString().toDouble();
    QVERIFY2(qAbs(clocks.last() - lastFrame) <= 0.045, qPrintable(QString::number(clocks.last() - lastFrame)));
    for (int i = 0; i < clocks.size(); ++i)
        QVERIFY2(qAbs(clocks[i] - (i + 1)) <= 0.1, qPrintable(QString::number(clocks[i])));
}

void TestMMRecorder::microphoneOfAnotherFormatIsConverted()
{
    const QString path = m_dir.filePath(QStringLiteral("stereo.avi"));
    Bench bench(0, 44100, 2);
    bench.begin(path);
    bench.record(10.0, 1000);
    QVERIFY(qAbs(bench.level() - 40.5) < 3.0);
    bench.end();
    QVERIFY(bench.recorder->wroteFile());
    const QJsonObject audio = Ffprobe::streamOf(Ffprobe::formatAndStreams(path), "audio");
    QCOMPARE(audio.value("sample_rate").toString(), QStringLiteral("22050"));
    QCOMPARE(audio.value("channels").toInt(), 1);
    QVERIFY(qAbs(audio.value("duration").toString().toDouble() - 10.0) < 0.1);
}

void TestMMRecorder::speechFileTakesTheRecordingsSound()
{
    Bench bench(0);
    const QString speech = m_dir.filePath(QStringLiteral("speech.m4a"));
    QVERIFY(bench.recorder->openAudioFile(speech) >= 0);
    QVERIFY(bench.recorder->isRecording());
    bench.begin(m_dir.filePath(QStringLiteral("withspeech.avi")));
    bench.record(3.0);
    bench.end();
    bench.recorder->closeOutput();
    QVERIFY(!bench.recorder->isRecording());
    const QJsonObject probed = Ffprobe::formatAndStreams(speech);
    const QJsonObject audio = Ffprobe::streamOf(probed, "audio");
    QCOMPARE(audio.value("codec_name").toString(), QStringLiteral("aac"));
    QCOMPARE(audio.value("sample_rate").toString(), QStringLiteral("22050"));
    QCOMPARE(audio.value("channels").toInt(), 1);
    QVERIFY2(qAbs(probed.value("format").toObject().value("duration").toString().toDouble() - 3.0) < 0.15,
             qPrintable(probed.value("format").toObject().value("duration").toString()));

    // Without a recording output it gets no sound.
    Bench silent(3);
    const QString empty = m_dir.filePath(QStringLiteral("silent.m4a"));
    QVERIFY(silent.recorder->openAudioFile(empty) >= 0);
    silent.begin(QString());
    silent.record(1.0);
    silent.end();
    silent.recorder->closeOutput();
    QVERIFY(Ffprobe::streamBytes(empty, QStringLiteral("a")) == 0);
    QVERIFY(silent.recorder->openAudioFile(m_dir.filePath(QStringLiteral("no/such/dir.m4a"))) < 0);
    QVERIFY(!silent.recorder->isRecording());
}

void TestMMRecorder::unwritableOutputsAreReportedAndRemoved()
{
    const QString plain = m_dir.filePath(QStringLiteral("plain"));
    QFile file(plain);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const QString full = m_dir.filePath(QStringLiteral("x.avi"));
    QVERIFY(QFile::link(QStringLiteral("/dev/full"), full));
    for (const QString &path : {plain + QStringLiteral("/x.avi"), full}) {
        Bench bench(2);
        bench.begin(path);
        bench.record(3.0);
        QVERIFY(bench.seconds() > 2.9);
        bench.end();
        QVERIFY2(!bench.recorder->failure().isEmpty(), qPrintable(path));
        QVERIFY(!bench.recorder->wroteFile());
    }
    QVERIFY(QFileInfo(plain).isFile());
    QVERIFY(!QFileInfo::exists(full));
}

void TestMMRecorder::noMicrophoneIsReportedAndLeavesNoFile()
{
    const QString path = m_dir.filePath(QStringLiteral("nomic.avi"));
    Bench bench(1);
    bench.capture->setMicrophone(false);
    bench.begin(path);
    bench.capture->present(SyntheticCapture::movingPicture(0));
    bench.end();
    QVERIFY(!bench.recorder->failure().isEmpty());
    QVERIFY(!bench.recorder->wroteFile());
    QVERIFY(!QFile::exists(path));
}

void TestMMRecorder::recordsOnItsOwnThread()
{
    const QString path = m_dir.filePath(QStringLiteral("thread.avi"));
    auto owned = std::make_unique<SyntheticCapture>();
    owned->setRealTime(3000);
    MMRecorder recorder(1, std::move(owned));
    recorder.start(path, QStringLiteral("Cam"), QStringLiteral("Mic"));
    double seconds = 0;
    double level = 0;
    int width = 0;
    int height = 0;
    const auto latestSeconds = [&] {
        recorder.takeFrame(&width, &height, nullptr, 0, &seconds, &level);
        return seconds;
    };
    // However long its thread takes to get there on a busy machine.
    QTRY_VERIFY_WITH_TIMEOUT(latestSeconds() > 1.5, 30000);
    recorder.stop();
    recorder.takeFrame(&width, &height, nullptr, 0, &seconds, nullptr);
    QCOMPARE(QSize(width, height), QSize(640, 480));
    QVERIFY2(seconds > 1.5, qPrintable(QString::number(seconds)));
    QVERIFY(level > 0.0);
    QVERIFY(recorder.wroteFile());
    const QJsonObject video = Ffprobe::streamOf(Ffprobe::formatAndStreams(path), "video");
    QVERIFY(qAbs(video.value("duration").toString().toDouble() - seconds) < 0.1);
}

// Whatever camera and microphone this machine has, or none: a stop soon
// after the start returns, and a file is kept only when it was written.
void TestMMRecorder::machineDevicesStartAndStopWithoutHanging()
{
    const QString path = m_dir.filePath(QStringLiteral("machine.avi"));
    QElapsedTimer clock;
    clock.start();
    {
        MMRecorder recorder(1);
        recorder.start(path, QStringLiteral("Нет такой"), QStringLiteral("Нет такого"));
        QTest::qWait(300);
        recorder.stop();
        QCOMPARE(QFile::exists(path), recorder.wroteFile());
    }
    QVERIFY(clock.elapsed() < 10000);
}

QTEST_MAIN(TestMMRecorder)
#include "tst_mmrecorder.moc"
