#pragma once

#include "CameraPicture.h"
#include "PanelState.h"
#include "data/Inspection.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QVector>

#include <array>

class DefChannel;
class GenericSettings;
class QImage;
class QPainter;
class QSize;

// Paints the movable semi-transparent panels over a polygram: readouts,
// countdown and text banners, the examination progress table, the camera and
// second-monitor pictures and the channel set-up table. The caller opens the
// painter and passes the cursor (in the painted area) and whether the panels
// may be dragged; positions are shared by every panel painter of the process
// and kept in the settings group "TransparentPanels".
class drawPanelG : public QObject
{
    Q_OBJECT
public:
    explicit drawPanelG(Inspection::_Test *test);
    ~drawPanelG() override;

    void drawReadoutsPanel(QPainter *painter, const QPoint &cursor, bool pressed, int gsr, int pulse, int cuff,
                           int position, const GenericSettings &settings);
    QString channelStatusText(int value, const QRect &rect, const QPoint &cursor, int position, QColor &colour) const;
    void drawCountdown(QPainter *painter, const QPoint &cursor, const QRect &area, int seconds);
    void drawTextPanel(QPainter *painter, const QPoint &cursor, bool show, const QRect &area, const QString &text);
    void drawInspectionPanel(QPainter *painter, const QPoint &cursor, bool pressed, bool collapse, int position);
    // pixels: a frame of 4-byte ARGB32 pixels of the size mode gives, left as
    // it is; serial tells one frame from the next, the picture being made once for each.
    void drawVideoPanel(QPainter *painter, const QPoint &cursor, bool pressed, const uchar *pixels, quint64 serial,
                        int level, int mode);
    // The camera panel's two halves: where it lies this frame (its hit rect
    // and drag), and its picture and level meter there.
    QRect placeVideoPanel(const QPoint &cursor, bool pressed, int mode);
    void paintVideoPanel(QPainter *painter, const QRect &rect, bool hot, const uchar *pixels, quint64 serial,
                         int level, int mode);
    // What the camera panel placed at rect paints over.
    static QRect videoPanelBounds(const QRect &rect);
    void drawPixmapPanel(QPainter *painter, const QPoint &cursor, bool pressed, const QImage &picture);
    void drawChannelStatusPanel(QPainter *painter, const QPoint &cursor, bool pressed, int selectedCode,
                                const QSize &area, const DefChannel &saved, bool extended);
    static void drawPanelFrame(QPainter *painter, const QRect &rect, bool checked);

    void dragPanel(bool pressed, QPoint &anchor, QPoint &position, const QRect &rect, const QPoint &cursor, int id);

    static void resetHitRects();
    static bool panelAt(const QPoint &point, int which);
    static void setCameraScale(double scale);
    static void setSecondMonitorScale(double scale);
    // A cell of the channel set-up table as last drawn; null when the channel has no row.
    static QRect channelCell(PanelState::Cell cell, int code);
    // Where the countdown banner goes in area when the occupied rectangles are taken.
    static QRect countdownRect(const QRect &area, const QVector<QRect> &occupied);

    // The progress table's columns: where a row's code and text start, where the
    // first presentation's column ends after the text, and a presentation's width.
    struct ProgressColumns {
        int code;
        int text;
        int firstGroupEnd;
        int group;
    };
    static ProgressColumns progressColumns();

    // Drag identifiers.
    enum { ReadoutsId = 19, ProgressId = 2, SetupTableId = 7, CameraId = 8, SecondMonitorId = 9 };

private:
    void readPositions();
    void writePositions() const;
    // The drag rule on a shared panel after it was drawn at rect.
    void settlePanel(PanelState::Panel panel, const QRect &rect, const QPoint &cursor, bool pressed, int id);
    // The first of the fonts, largest first, in which text fits width; -1 when none.
    int fittingFont(QPainter *painter, const QString &text, int width) const;
    // backed: the words sit on the paper, not on what was drawn under the banner.
    void drawBanner(QPainter *painter, const QRect &rect, const QString &text, const QColor &fill,
                    const QColor &pen, bool backed) const;
    static void drawBacking(QPainter *painter, const QRect &rect);
    int boldAdvance(QPainter *painter, const QString &text);
    static QVector<QRect> occupiedRects(const QRect &area);
    static QRect textBannerRect(const QRect &area);

    Inspection::_Test *test;
    int dragId = 0;
    QList<QFont> fonts;
    QFont appFont;
    QFont appFontBold;
    QFont smallFont;
    QFont plainFont;
    QFont boldFont;
    CameraPicture m_camera;
    QHash<QString, int> m_boldAdvances;
    int m_advanceDpi = 0;
    // What the settings held at construction, to write only what changed.
    std::array<QPoint, PanelState::PanelCount> m_readPositions;
    bool m_storedAsRead = false;
};
