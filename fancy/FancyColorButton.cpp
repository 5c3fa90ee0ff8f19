#include "fancy/FancyColorButton.h"

#include "fancy/FancyTabWidget.h"
#include "fancy/PanelStyle.h"

#include <QColorDialog>
#include <QMouseEvent>

namespace Fancy {

FancyColorButton::FancyColorButton(FancyTabWidget *owner)
    : m_owner(owner)
{
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
