#pragma once

#include <QFrame>

class _QAbstractScrollArea;
class ContextPoligrammeWidget;

// The review screen's central frame: the scroll area with the polygram view
// over the overview strip, in a splitter.
class _FrameWidget : public QFrame
{
    Q_OBJECT
public:
    explicit _FrameWidget(QWidget *parent = nullptr);

    _QAbstractScrollArea *scrollArea() const { return m_scrollArea; }
    ContextPoligrammeWidget *strip() const { return m_strip; }

public slots:
    void onUpdateConextView();

private:
    _QAbstractScrollArea *m_scrollArea;
    ContextPoligrammeWidget *m_strip;
};
