#pragma once

#include <QWidget>

namespace Fancy {

// Thin panel bar painted as a tool bar by the application style; its state
// lives in dynamic properties that styles read when they polish it.
class StyledBar : public QWidget
{
    Q_OBJECT

public:
    explicit StyledBar(QWidget *parent = nullptr);
    ~StyledBar() override;

    void setSingleRow(bool singleRow);
    bool isSingleRow() const;

    void setLightColored(bool light);
    bool isLightColored() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace Fancy
