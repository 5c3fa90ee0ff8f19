#include "WarningTone.h"

#include <QAudioDeviceInfo>
#include <QAudioOutput>
#include <QBuffer>
#include <QtMath>

namespace {

const int kSampleRate = 8000;
const int kFrequency = 500;
const int kSampleCount = 160;
const double kAmplitude = 120.0;

QAudioFormat toneFormat(QAudioFormat::SampleType type)
{
    QAudioFormat format;
    format.setSampleRate(kSampleRate);
    format.setChannelCount(1);
    format.setSampleSize(8);
    format.setCodec(QStringLiteral("audio/pcm"));
    format.setByteOrder(QAudioFormat::LittleEndian);
    format.setSampleType(type);
    return format;
}

}  // namespace

QByteArray warningToneSamples(QAudioFormat::SampleType type)
{
    const int offset = type == QAudioFormat::UnSignedInt ? 128 : 0;
    QByteArray samples(kSampleCount, '\0');
    for (int k = 0; k < kSampleCount; ++k)
        samples[k] = char(int(kAmplitude * qSin(2.0 * M_PI * kFrequency * k / kSampleRate)) + offset);
    return samples;
}

void playTone(QObject *parent)
{
    const QAudioDeviceInfo device = QAudioDeviceInfo::defaultOutputDevice();
    if (device.isNull())
        return;
    // PulseAudio takes 8-bit samples only unsigned; the tone is the same either way.
    QAudioFormat format = toneFormat(QAudioFormat::SignedInt);
    if (!device.isFormatSupported(format))
        format = toneFormat(QAudioFormat::UnSignedInt);
    if (!device.isFormatSupported(format))
        return;

    auto *output = new QAudioOutput(device, format, parent);
    auto *buffer = new QBuffer(output);
    buffer->setData(warningToneSamples(format.sampleType()));
    buffer->open(QIODevice::ReadOnly);
    // One output per beep: drop it once played, or every warning would keep a device open.
    QObject::connect(output, &QAudioOutput::stateChanged, output, [output](QAudio::State state) {
        if (state == QAudio::IdleState)
            output->stop();
        else if (state == QAudio::StoppedState)
            output->deleteLater();
    });
    output->start(buffer);
    if (output->state() == QAudio::StoppedState)
        output->deleteLater();
}
