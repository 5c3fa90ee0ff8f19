#include "sensors/interface/SensorPlugin.h"

#include "sensors/interface/SensorExports.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>

SensorPlugin::~SensorPlugin()
{
    release();
}

bool SensorPlugin::bind(const QString &filePath)
{
    release();
    // An empty name would reach the loader as the program itself.
    if (filePath.isEmpty())
        return false;
    m_library.setFileName(filePath);
    if (!m_library.load())
        return false;
    if (const auto create = reinterpret_cast<CreateObjectFunction>(m_library.resolve("_createObject")))
        m_device = create(1);
    m_lineErrors = reinterpret_cast<LineErrorsFunction>(m_library.resolve("_lineErrors"));
    if (!m_device)
        release();
    return m_device != nullptr;
}

bool SensorPlugin::release()
{
    if (m_library.isLoaded() && m_device) {
        if (const auto destroy = reinterpret_cast<DeleteObjectFunction>(m_library.resolve("_deleteObject")))
            destroy(1, m_device);
    }
    m_library.unload();
    m_device = nullptr;
    m_lineErrors = nullptr;
    return true;
}

QString SensorPlugin::filePattern()
{
    return QStringLiteral("vugSensor*.so");
}

QString SensorPlugin::programFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString SensorPlugin::demoFileName()
{
    return QStringLiteral("vugSensorDemo.so");
}

QString SensorPlugin::pathInFolder(const QString &folder, const QString &fileName)
{
    return nameRefusal(fileName).isEmpty() ? folder + QLatin1Char('/') + fileName : QString();
}

QString SensorPlugin::nameRefusal(const QString &fileName)
{
    // Settings written elsewhere may use either separator.
    if (!fileName.contains(QLatin1Char('/')) && !fileName.contains(QLatin1Char('\\')))
        return QString();
    return QCoreApplication::translate("SensorPlugin",
                                       "Модуль сенсорного блока «%1» указан с путём и не загружен: "
                                       "загружаются только модули из папки программы.")
        .arg(fileName);
}

QString SensorPlugin::loadFailure(const QString &fileName)
{
    return QCoreApplication::translate("SensorPlugin", "Не удалось загрузить модуль сенсорного блока «%1»").arg(fileName);
}

QString SensorPlugin::userLanguage()
{
    return QLocale().name().section(QLatin1Char('_'), 0, 0);
}

QString SensorPlugin::copiedOutOfLibrary(const QString &text)
{
    // A literal of the plug-in lives in its library and vanishes when it unloads.
    return QString(text.constData(), text.size());
}

QVector<SensorPlugin::Entry> SensorPlugin::discover(const QString &language, const QString &folder)
{
    QVector<Entry> found;
    const QStringList names = QDir(folder).entryList({filePattern()}, QDir::Files, QDir::Name);
    for (const QString &fileName : names) {
        SensorPlugin plugin;
        if (plugin.bind(pathInFolder(folder, fileName)))
            found.append({fileName, copiedOutOfLibrary(plugin.device()->name(language))});
    }
    return found;
}
