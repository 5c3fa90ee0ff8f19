#include "recording/media/SoundOutput.h"

#include <QAudioDeviceInfo>
#include <QCoreApplication>

namespace {

const char kSinkVariable[] = "QT_GSTREAMER_PLAYBIN_AUDIOSINK";
// Synchronised: an unsynchronised sink lets the video race to its end.
const char kSilentSink[] = "fakesink sync=true";

} // namespace

bool SoundOutput::prepareSink()
{
    const QByteArray chosen = qgetenv(kSinkVariable);
    if (!chosen.isEmpty())
        return chosen.trimmed().startsWith("fakesink");
    if (!QAudioDeviceInfo::defaultOutputDevice().isNull())
        return false;
    qputenv(kSinkVariable, kSilentSink);
    return true;
}

QString SoundOutput::silentNote()
{
    return QCoreApplication::translate("SoundOutput", "нет устройства вывода звука: видео идёт без звука");
}
