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

bool LiveQuestion::askYes()
{
    m_refresh.start();
    const bool yes = exec() == QMessageBox::Yes;
    m_refresh.stop();
    return yes;
}

void LiveQuestion::refresh()
{
    const QString now = m_text();
    if (now != text())
        setText(now);
}
