#include "SavingNotice.h"

#include <QApplication>
#include <QStatusBar>

SavingNotice::SavingNotice()
    : m_text(QApplication::translate("SavingNotice", "Запись сохраняется в файл обследуемого…"))
{
    QWidgetList windows = QApplication::topLevelWidgets();
    if (QWidget *active = QApplication::activeWindow())
        windows = {active};
    for (QWidget *window : qAsConst(windows)) {
        for (QStatusBar *bar : window->findChildren<QStatusBar *>()) {
            if (!bar->isVisible())
                continue;
            bar->showMessage(m_text);
            // The save holds the event loop: the message is painted now or not at all.
            bar->repaint();
            m_bars.append(bar);
        }
    }
}

SavingNotice::~SavingNotice()
{
    for (const QPointer<QStatusBar> &bar : qAsConst(m_bars)) {
        if (bar && bar->currentMessage() == m_text)
            bar->clearMessage();
    }
}
