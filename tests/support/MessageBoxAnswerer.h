#pragma once

#include <QMessageBox>

#include <functional>
#include <QObject>
#include <QQueue>
#include <QStringList>
#include <QTimer>

// Answers the modal message boxes a test provokes, in order, and records what
// each one asked. A box that appears with no answer left is answered No (or
// closed) and counted as unexpected; one that closes by itself while the hook
// runs is not answered.
class MessageBoxAnswerer : public QObject
{
    Q_OBJECT
public:
    explicit MessageBoxAnswerer(QList<QMessageBox::StandardButton> answers = {});

    void enqueue(QMessageBox::StandardButton answer) { m_answers.enqueue(answer); }
    const QStringList &asked() const { return m_asked; }
    // The default button of each box asked, in order.
    const QList<QMessageBox::StandardButton> &defaults() const { return m_defaults; }
    int unexpected() const { return m_unexpected; }
    int remaining() const { return m_answers.size(); }

    // Runs while a box is shown; a hook may act inside the open question.
    std::function<void()> whileAsking;

private slots:
    void poll();

private:
    QQueue<QMessageBox::StandardButton> m_answers;
    QStringList m_asked;
    QList<QMessageBox::StandardButton> m_defaults;
    int m_unexpected = 0;
    QTimer m_timer;
};
