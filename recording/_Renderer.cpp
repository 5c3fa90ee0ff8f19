#include "_Renderer.h"

#include "AlignmentPlot.h"
#include "data/DefChannel.h"
#include "data/GenericSettings.h"
#include "polygram/drawG.h"

#include <QEventLoop>
#include <QPainter>
#include <QStandardItemModel>
#include <QTimer>

_Renderer::_Renderer(const AlignmentPlot *plot, int frameLimit, const QString &pluginFolder)
    : m_plot(plot)
    , m_pluginFolder(pluginFolder.isEmpty() ? SensorPlugin::programFolder() : pluginFolder)
    , m_session(frameLimit)
{
}

void _Renderer::setCurrentChannel(int code, int *gain, int *shift, bool *inverse)
{
    m_session.setCurrentChannel(code, gain, shift, inverse);
}

QString _Renderer::pluginPath() const
{
    GenericSettings settings;
    settings.load();
    return SensorPlugin::pathInFolder(m_pluginFolder, settings.sNameDriverDll);
}

void _Renderer::thread_execute()
{
    const QString failure = m_session.start(pluginPath());
    if (!failure.isEmpty()) {
        emit error(failure);
        m_ended = true;
        emit finished();
        return;
    }
    announceChannels();
    {
        drawG painter(&m_session.drawnTest(), 1000);
        runFrames(painter);
    }
    m_session.finish();
    m_ended = true;
    emit finished();
}

void _Renderer::announceChannels()
{
    auto *model = new QStandardItemModel(this);
    for (int code : m_session.listedCodes()) {
        auto *item = new QStandardItem(DefChannel::channelName(code, false));
        item->setData(code, Qt::UserRole + 1);
        model->appendRow(item);
    }
    m_model = model;
    emit updatelist(model);
}

void _Renderer::runFrames(drawG &painter)
{
    for (int n = 0; !m_stop && n < m_session.frameLimit(); ++n) {
        // A monotonic deadline: a wall clock set back would stall the loop.
        const QDeadlineTimer deadline(FrameMs, Qt::PreciseTimer);
        if (!m_session.readFrame(n)) {
            emit error(tr("Прибор не отвечает: юстировка остановлена."));
            return;
        }
        m_framesRead = n + 1;
        const int code = m_session.currentChannel();
        if (code >= 0 && n != 0) {
            m_session.sendChanges(code);
            drawFrame(painter, code, n);
        }
        waitUntil(deadline);
    }
}

void _Renderer::drawFrame(drawG &draw, int code, int n)
{
    const QSize size = m_plot->pictureSize();
    if (size.isEmpty())
        return;
    const int w = size.width();
    const int h = size.height();
    QImage picture(size, QImage::Format_RGB32);
    QPainter painter(&picture);
    draw.setRenderHints(painter);
    drawHalf(painter, draw, QRect(QPoint(0, 0), QPoint(w / 2 - 1, h - 1)), code, n, false);
    drawHalf(painter, draw, QRect(QPoint(w / 2, 0), QPoint(w / 2 + w / 2 - 1, h - 1)), code, n, true);
    painter.fillRect(QRect(QPoint(w / 2 - 6, 0), QPoint(w / 2 + 3, h - 1)), Qt::darkGray);
    painter.fillRect(QRect(QPoint(0, 0), QPoint(w - 1, 1)), Qt::darkGray);
    painter.fillRect(QRect(QPoint(0, h - 2), QPoint(w - 1, h - 1)), Qt::darkGray);
    painter.setPen(Qt::black);
    painter.drawText(10, 20, tr("Смещение АЦП"));
    painter.drawText(w / 2 + 10, 20, tr("Усиление АЦП"));
    painter.end();
    emit frameDrawn(picture);
}

// Left the baseline at a coarse scale, right the deviation at a fine one.
void _Renderer::drawHalf(QPainter &painter, drawG &draw, const QRect &area, int code, int n, bool deviation)
{
    Inspection::_Channel &record = m_session.drawnTest().channel(code);
    if (deviation)
        m_session.showDeviation(code);
    else
        m_session.showBaseline(code);
    painter.fillRect(area, Qt::white);
    record.Offset = 250.0;
    record.Amplify = deviation ? 4096.0 : 400.0;
    if (deviation)
        draw.drawAlignmentBackground(painter, area, code);
    else
        draw.drawChannelBand(painter, area, code, true, true);
    draw.drawTimeGrid(painter, area, n, 0);
    draw.drawChannelCurve(painter, area, n, 0, code, false, false);
}

void _Renderer::waitUntil(const QDeadlineTimer &deadline)
{
    while (!m_stop && !deadline.hasExpired()) {
        QEventLoop loop;
        QTimer::singleShot(1, &loop, &QEventLoop::quit);
        loop.exec();
    }
}
