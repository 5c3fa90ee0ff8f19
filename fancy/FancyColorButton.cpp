#include "fancy/FancyColorButton.h"

#include "fancy/FancyTabWidget.h"
#include "fancy/PanelStyle.h"

#include <QColorDialog>
#include <QMouseEvent>

namespace Fancy {

namespace {
// Without content the zone would be laid out 0 pixels high and could not be clicked.
constexpr int kZoneHeight = 8;
}  // namespace

FancyColorButton::FancyColorButton(FancyTabWidget *owner)
    : m_owner(owner)
{
    setMinimumHeight(kZoneHeight);
}

void FancyColorButton::mousePressEvent(QMouseEvent *event)
{
    if (!(event->modifiers() & Qt::ShiftModifier))
        return;
    const QColor colour = QColorDialog::getColor(PanelStyle::requestedPanelColor(), m_owner, QString(),
                                                 QColorDialog::ColorDialogOptions());
    if (colour.isValid())
        PanelStyle::setPanelColor(colour);
}

} // namespace Fancy
