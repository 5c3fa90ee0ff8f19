#pragma once

#include <QListWidget>

// The review screen's list of tests: it asks for the room of a list at scale
// 1.0, grown with the font, so that a test's name and date read whole.
class ListTestWidget : public QListWidget
{
    Q_OBJECT
public:
    using QListWidget::QListWidget;

    QSize sizeHint() const override;
};
