#include "app/RasterFillChoice.h"
#include "app/SplashPlayer.h"
#include "app/vugVorkel.h"
#include "data/ChannelUI.h"
#include "data/Diagnostics.h"
#include "data/LargeBlockHeap.h"
#include "data/ProcessLocale.h"
#include "data/SettingsStore.h"
#include "polygram/RenderPath.h"
#include "resources/VugResources.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSurfaceFormat>
#include <QTimer>
#include <QTranslator>

VUG_CHOOSE_RASTER_FILLS_BEFORE_LIBRARIES;

namespace {

void setDefaultSurfaceFormat()
{
    QSurfaceFormat format;
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);
    format.setColorSpace(QSurfaceFormat::sRGBColorSpace);
    QSurfaceFormat::setDefaultFormat(format);
}

// Loads a catalogue from Qt's translations folder, else from the one beside the
// program; installed either way, so missing texts simply stay untranslated.
void installTranslator(QTranslator &translator, const QString &name)
{
    if (!translator.load(name, QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        translator.load(name, QCoreApplication::applicationDirPath() + QStringLiteral("/translations"));
    QCoreApplication::installTranslator(&translator);
}

}  // namespace

int main(int argc, char *argv[])
{
    // QtGui has taken its fill routines by now.
    RasterFillChoice::forgetAddedVariables();
    LargeBlockHeap::keepLargeBlocks();
    // The channel display table is loaded before anything reads it, and saved at exit.
    initChannelsUI();
    setDefaultSurfaceFormat();

    QApplication app(argc, argv);
    QApplication::setAttribute(Qt::AA_ForceRasterWidgets, false);
    QCoreApplication::setApplicationVersion(QStringLiteral("2.0"));
    // What a window without a title of its own shows in its title bar.
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Воркел"));
    initVugResources();
    RenderPath::decide();

    {
        auto settings = SettingsStore::open();
        sLocale = settings->value(QStringLiteral("Generic/Locale"), QStringLiteral("ru")).toString();
    }
    QLocale::setDefault(QLocale(sLocale));

    QTranslator qtTranslator;
    installTranslator(qtTranslator, QStringLiteral("qt_") + sLocale);
    QTranslator programTranslator;
    installTranslator(programTranslator, QStringLiteral("vugvorkel_") + sLocale);
    qCDebug(vugApp).noquote() << QStringLiteral("QLocale=") + QLocale().name().section(QLatin1Char('_'), 0, 0);

    vugVorkel window;
    window.setWindowIcon(VugImages::icon(QStringLiteral("AppIcon.ico")));
    window.show();
    // The window is up before the video's set-up, which on a first start builds
    // GStreamer's plug-in registry for seconds.
    auto *splash = new SplashPlayer;
    QTimer::singleShot(0, splash, [splash] { splash->play(); });
    const int result = app.exec();
    delete splash;
    return result;
}
