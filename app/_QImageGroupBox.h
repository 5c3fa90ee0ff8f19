#pragma once

#include <QGroupBox>
#include <QPixmap>

// A group box with a small picture before its title.
class _QImageGroupBox : public QGroupBox
{
    Q_OBJECT

public:
    _QImageGroupBox(const QPixmap &picture, const QString &title, QWidget *parent = nullptr);

    const QPixmap &picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_picture;
    int m_pictureX = 10;
    int m_spaceBefore = 2;
    int m_spaceAfter = 2;
};
