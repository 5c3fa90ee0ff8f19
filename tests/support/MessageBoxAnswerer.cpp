#include "MessageBoxAnswerer.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QApplication>
#include <QPointer>

MessageBoxAnswerer::MessageBoxAnswerer(QList<QMessageBox::StandardButton> answers)
{
    for (QMessageBox::StandardButton answer : answers)
        m_answers.enqueue(answer);
    connect(&m_timer, &QTimer::timeout, this, &MessageBoxAnswerer::poll);
    m_timer.start(5);
}

void MessageBoxAnswerer::poll()
{
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    m_asked.append(box->text());
    m_defaults.append(box->standardButton(box->defaultButton()));
    const QPointer<QMessageBox> asking(box);
    if (whileAsking)
        whileAsking();
    // A box that closed by itself meanwhile takes no answer.
    if (!asking || !asking->isVisible())
        return;
    QMessageBox::StandardButton answer = QMessageBox::No;
    if (m_answers.isEmpty())
        ++m_unexpected;
    else
        answer = m_answers.dequeue();
    if (QAbstractButton *button = box->button(answer))
        button->click();
    else
        box->reject();
}
