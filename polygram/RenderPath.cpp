#include "polygram/RenderPath.h"


#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QSurfaceFormat>

namespace {

struct Choice {
    bool decided = false;
    bool software = true;
    bool forced = false;
    QString renderer;
};

Choice &choice()
{
    static Choice c;
    return c;
}

QString probeRenderer()
{
    QOffscreenSurface surface;
    surface.create();
    QOpenGLContext context;
    if (!surface.isValid() || !context.create() || !context.makeCurrent(&surface))
        return QString();
    const auto *name = reinterpret_cast<const char *>(context.functions()->glGetString(GL_RENDERER));
    const QString renderer = name ? QString::fromLatin1(name) : QString();
    context.doneCurrent();
    return renderer;
}

bool namesSoftwareRasteriser(const QString &renderer)
{
    if (renderer.isEmpty())
        return true;
    for (const char *word : {"llvmpipe", "softpipe", "swrast", "software rasterizer"})
        if (renderer.contains(QLatin1String(word), Qt::CaseInsensitive))
            return true;
    return false;
}

}  // namespace

namespace RenderPath {

void decide()
{
    Choice &c = choice();
    c.decided = true;
    c.renderer = probeRenderer();
    const QByteArray forced = qgetenv("VUG_SOFTWARE_GL");
    c.forced = forced == "0" || forced == "1";
    c.software = c.forced ? forced == "1" : namesSoftwareRasteriser(c.renderer);
    // Multisampling only where the GPU does it; a software rasteriser pays for
    // every sample on every presentation.
    QSurfaceFormat format = QSurfaceFormat::defaultFormat();
    format.setSamples(c.software ? 0 : 4);
    QSurfaceFormat::setDefaultFormat(format);
}

bool software()
{
    const Choice &c = choice();
    return c.decided ? c.software : false;
}

QString rendererName()
{
    return choice().renderer;
}

QString description()
{
    const Choice &c = choice();
    const QString renderer = c.renderer.isEmpty() ? QStringLiteral("нет OpenGL") : c.renderer;
    const QString path = c.software ? QStringLiteral("растровая отрисовка") : QStringLiteral("OpenGL");
    return QStringLiteral("%1 (%2%3)").arg(path, renderer, c.forced ? QStringLiteral(", задано VUG_SOFTWARE_GL") : QString());
}

}  // namespace RenderPath
