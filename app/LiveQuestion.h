#pragma once

#include <QMessageBox>
#include <QTimer>

#include <functional>

// A yes/no question about a running recording whose text is made again while
// it is open, so that what it says stays true until the examiner answers, and
// which gives way when what it asks about is over.
class LiveQuestion : public QMessageBox
{
    Q_OBJECT
public:
    static constexpr int RefreshMs = 250;

    enum Answer { Yes, No, GaveWay };

    LiveQuestion(QWidget *parent, const QString &title, std::function<QString()> text,
                 QMessageBox::StandardButton defaultButton);

    // Runs the question modally.
    Answer ask();
    // Closes the open question unanswered: ask() returns GaveWay.
    void giveWay();

private:
    void refresh();

    std::function<QString()> m_text;
    QTimer m_refresh;
    bool m_gaveWay = false;
};
