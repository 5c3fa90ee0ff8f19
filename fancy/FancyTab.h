#pragma once

#include <QIcon>
#include <QObject>
#include <QPropertyAnimation>
#include <QString>

class QWidget;

namespace Fancy {

// One mode tab of the tab bar; its "fader" is the hover highlight strength,
// animated towards 40 while hovered and back to 0 when the mouse leaves.
class FancyTab : public QObject
{
    Q_OBJECT
    Q_PROPERTY(float fader READ fader WRITE setFaderValue)

public:
    FancyTab(QWidget *tabbar, const QIcon &icon, const QString &text);

    QIcon icon() const { return m_icon; }
    QString text() const { return m_text; }

    QString toolTip() const { return m_toolTip; }
    void setToolTip(const QString &toolTip) { m_toolTip = toolTip; }

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }

    float fader() const { return m_fader; }
    void setFaderValue(float value);

    void startHoverFade();
    void startLeaveFade();

    const QPropertyAnimation &animator() const { return m_animator; }

private:
    void fadeTo(float value, int duration);

    QIcon m_icon;
    QString m_text;
    QString m_toolTip;
    bool m_enabled = false;
    QPropertyAnimation m_animator;
    QWidget *m_tabbar;
    float m_fader = 0;
};

} // namespace Fancy
