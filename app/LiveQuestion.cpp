#include "app/LiveQuestion.h"

LiveQuestion::LiveQuestion(QWidget *parent, const QString &title, std::function<QString()> text,
                           QMessageBox::StandardButton defaultButton)
    : QMessageBox(QMessageBox::Question, title, text(), QMessageBox::Yes | QMessageBox::No, parent)
    , m_text(std::move(text))
{
    setDefaultButton(defaultButton);
    m_refresh.setInterval(RefreshMs);
    connect(&m_refresh, &QTimer::timeout, this, &LiveQuestion::refresh);
}

LiveQuestion::Answer LiveQuestion::ask()
{
    m_gaveWay = false;
    m_refresh.start();
    const int result = exec();
    m_refresh.stop();
    if (m_gaveWay)
        return GaveWay;
    return result == QMessageBox::Yes ? Yes : No;
}

void LiveQuestion::giveWay()
{
    if (!isVisible())
        return;
    m_gaveWay = true;
    done(QMessageBox::No);
}

void LiveQuestion::refresh()
{
    const QString now = m_text();
    if (now != text())
        setText(now);
}
