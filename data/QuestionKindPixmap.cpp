#include "QuestionKindPixmap.h"

#include "QuestionKindName.h"
#include "resources/VugResources.h"

#include <QGuiApplication>
#include <QPainter>

namespace {

// A font set in pixels has no point size; doubling must then go by pixels.
QFont doubledFont(QFont font)
{
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * 2);
    else if (font.pixelSize() > 0)
        font.setPixelSize(font.pixelSize() * 2);
    return font;
}

}  // namespace

QPixmap addQuestionPixmap(int kind)
{
    initVugResources();
    QPixmap pixmap(VugImages::path(QStringLiteral("addQuest_Ru.png")));
    QPainter painter(&pixmap);
    painter.setFont(doubledFont(QGuiApplication::font()));
    painter.drawText(QRect(QPoint(0, 0), QPoint(pixmap.width() - 1, pixmap.height() - 1)),
                     Qt::AlignCenter, questionKindName(kind));
    return pixmap;
}
