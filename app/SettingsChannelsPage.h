#pragma once

#include "data/InspectionChannel.h"

#include <QItemSelection>
#include <QWidget>

class DefChannel;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QStandardItem;
class QStandardItemModel;
class QTreeView;

// The "Каналы" page: order, visibility, colours, line width, inversion and
// contrast of the thirteen channel types, changed at once in the shared
// display table through the dialog's channel definitions.
class SettingsChannelsPage : public QWidget
{
    Q_OBJECT
public:
    SettingsChannelsPage(DefChannel &channels, QWidget *parent);

    QTreeView *channelList() const { return m_list; }
    QStandardItemModel *channelModel() const { return m_model; }
    QCheckBox *invertBox() const { return m_invert; }  // for tests
    QCheckBox *contrastBox() const { return m_contrast; }  // for tests
    QLineEdit *penWidthField() const { return m_penWidth; }  // for tests
    QPushButton *signalColorButton() const { return m_color1; }  // for tests
    QPushButton *tubeColorButton() const { return m_color2; }  // for tests

    // The style that makes a colour button a swatch of colour.
    static QString swatchStyle(const QColor &color);

public slots:
    void onColor1();
    void onColor2();
    void onItemChanged(QStandardItem *item);
    void onSelectionChcnge(const QItemSelection &selected, const QItemSelection &deselected);
    void onInvert();
    void onContrast();
    void action_Up();
    void action_Down();
    void customSlot(const QString &text);

private:
    QWidget *buildParameterGroup();
    // Fills the rows in display order; the items stay, so the current row and
    // the item that is signalling survive.
    void fillList();
    void showChannel(const InspectionChannel &channel);
    void moveChannel(int step);
    // The channel of the current row, or null.
    InspectionChannel *selectedChannel();
    InspectionChannel *channelAtRow(int row);
    // Lets the examiner pick one of the selected channel's colours anew; a new
    // signal colour brings its lighter band colour with it.
    void recolour(QColor *InspectionChannel::*colour);

    DefChannel &m_channels;
    QTreeView *m_list = nullptr;
    QStandardItemModel *m_model = nullptr;
    QCheckBox *m_invert = nullptr;
    QCheckBox *m_contrast = nullptr;
    QPushButton *m_color1 = nullptr;
    QPushButton *m_color2 = nullptr;
    QLineEdit *m_penWidth = nullptr;
    bool m_filling = false;
};
