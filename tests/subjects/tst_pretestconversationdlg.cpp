#include "PreTestFolder.h"
#include "subjects/PreTestConversationDlg.h"
#include "subjects/_StyledItemDelegate_PreTestConversationDlg.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/TestHome.h"

#include <QApplication>
#include <QComboBox>
#include <QListView>
#include <QMediaPlaylist>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>

// The dialog offscreen: what it lists, how it labels and deletes, and its
// controls; playback itself is tried on the virtual X server.
class TestPreTestConversationDlg : public QObject
{
    Q_OBJECT
private slots:
    void listsOnlyThisSubjectsVideosInTimeOrder();
    void labelsReadTheStampBeforeTheExtension();
    void deleteAsksByStampAndRemovesOnlyThatFile();
    void emptyPlaylistPlaysNothing();
    void speedMuteAndDeleteButtons();

private:
    QStringList listed(PreTestConversationDlg &dialog) const;
};

QStringList TestPreTestConversationDlg::listed(PreTestConversationDlg &dialog) const
{
    QStringList names;
    QAbstractItemModel *model = dialog.playlistView->model();
    for (int row = 0; row < model->rowCount(); ++row)
        names << model->index(row, 0).data().toString();
    return names;
}

void TestPreTestConversationDlg::listsOnlyThisSubjectsVideosInTimeOrder()
{
    PreTestFolder folder;
    folder.putDecoys(VUG_SHORT_VIDEO);
    // Day first in the name: by name 01… would come before 07…, by time it is later.
    folder.put(QStringLiteral("Иван.01012027090000.avi"), VUG_SHORT_VIDEO);
    folder.put(QStringLiteral("Иван.07122026143005.avi"), VUG_SHORT_VIDEO);
    folder.put(QStringLiteral("Иван.08122026100000.AVI"), VUG_SHORT_VIDEO);
    PreTestConversationDlg dialog(&folder.inspection, nullptr);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Управление предтестовой беседой"));
    QVERIFY(!(dialog.windowFlags() & Qt::WindowContextHelpButtonHint));
    QCOMPARE(listed(dialog), (QStringList{"Иван.07122026143005.avi", "Иван.08122026100000.AVI",
                                          "Иван.01012027090000.avi"}));
    QCOMPARE(dialog.playlist->mediaCount(), 3);
}

void TestPreTestConversationDlg::labelsReadTheStampBeforeTheExtension()
{
    _StyledItemDelegate_PreTestConversationDlg delegate(nullptr);
    const QLocale locale;
    QCOMPARE(delegate.displayText(QStringLiteral("Иван.07122026143005.avi"), locale),
             QStringLiteral("07.12.2026 14:30:05"));
    QCOMPARE(delegate.displayText(QStringLiteral("Иванов И.И.07122026143005.avi"), locale),
             QStringLiteral("07.12.2026 14:30:05"));

    PreTestFolder folder(QStringLiteral("Иванов И.И"));
    folder.put(QStringLiteral("Иванов И.И.07122026143005.avi"), VUG_SHORT_VIDEO);
    PreTestConversationDlg dialog(&folder.inspection, nullptr);
    QCOMPARE(listed(dialog), QStringList{"Иванов И.И.07122026143005.avi"});
    QStyleOptionViewItem option;
    const QModelIndex first = dialog.playlistView->model()->index(0, 0);
    auto *shown = static_cast<_StyledItemDelegate_PreTestConversationDlg *>(dialog.playlistView->itemDelegate());
    QCOMPARE(shown->displayText(first.data(), locale), QStringLiteral("07.12.2026 14:30:05"));
}

void TestPreTestConversationDlg::deleteAsksByStampAndRemovesOnlyThatFile()
{
    PreTestFolder folder;
    folder.putDecoys(VUG_SHORT_VIDEO);
    folder.put(QStringLiteral("Иван.07122026143005.avi"), VUG_SHORT_VIDEO);
    folder.put(QStringLiteral("Иван.08122026100000.avi"), VUG_SHORT_VIDEO);
    PreTestConversationDlg dialog(&folder.inspection, nullptr);
    dialog.playlistView->setCurrentIndex(dialog.playlistView->model()->index(0, 0));
    {
        MessageBoxAnswerer answers({QMessageBox::No});
        dialog.deleteButton->click();
        QCOMPARE(answers.asked(),
                 QStringList{"Вы действительно хотите удалить предтестовую беседу '07122026143005' ?"});
    }
    QVERIFY(QFile::exists(folder.media("Иван.07122026143005.avi")));
    QCOMPARE(listed(dialog).size(), 2);
    {
        MessageBoxAnswerer answers({QMessageBox::Yes});
        dialog.deleteButton->click();
        QCOMPARE(answers.asked().size(), 1);
    }
    QVERIFY(!QFile::exists(folder.media("Иван.07122026143005.avi")));
    QCOMPARE(listed(dialog), QStringList{"Иван.08122026100000.avi"});
    // The decoys that share the stamp are untouched.
    QVERIFY(QFile::exists(folder.media("Иванов.07122026143005.avi")));
    QVERIFY(QFile::exists(folder.media("Иван[1].07122026143005.avi")));
    QVERIFY(QFile::exists(folder.media("Иван.07122026143005.aac")));
}

void TestPreTestConversationDlg::emptyPlaylistPlaysNothing()
{
    PreTestFolder folder;
    folder.putDecoys(VUG_SHORT_VIDEO);
    PreTestConversationDlg dialog(&folder.inspection, nullptr);
    QCOMPARE(dialog.playlistView->model()->rowCount(), 0);
    QVERIFY(dialog.playButton->isEnabled());
    dialog.playButton->click();
    QTest::qWait(200);
    QVERIFY(dialog.player->state() != QMediaPlayer::PlayingState);
    QVERIFY(dialog.deleteButton->isEnabled());
    MessageBoxAnswerer answers;
    dialog.deleteButton->click();  // no current row: no question
    QVERIFY(answers.asked().isEmpty());
}

void TestPreTestConversationDlg::speedMuteAndDeleteButtons()
{
    PreTestFolder folder;
    folder.put(QStringLiteral("Иван.07122026143005.avi"), VUG_SHORT_VIDEO);
    PreTestConversationDlg dialog(&folder.inspection, nullptr);
    QStringList speeds;
    for (int i = 0; i < dialog.speedCombo->count(); ++i)
        speeds << dialog.speedCombo->itemText(i);
    QCOMPARE(speeds, (QStringList{"0.5x", "1.0x", "2.0x"}));
    QCOMPARE(dialog.speedCombo->currentText(), QStringLiteral("1.0x"));
    dialog.speedCombo->setCurrentIndex(2);
    emit dialog.speedCombo->activated(2);
    QCOMPARE(dialog.player->playbackRate(), 2.0);

    const QIcon volume = dialog.style()->standardIcon(QStyle::SP_MediaVolume);
    const QIcon muted = dialog.style()->standardIcon(QStyle::SP_MediaVolumeMuted);
    QCOMPARE(dialog.muteButton->icon().pixmap(16).toImage(), volume.pixmap(16).toImage());
    dialog.muteButton->click();
    QCOMPARE(dialog.muteButton->icon().pixmap(16).toImage(), muted.pixmap(16).toImage());
    QVERIFY(dialog.player->isMuted());
    dialog.muteButton->click();
    QVERIFY(!dialog.player->isMuted());

}

VUG_TEST_MAIN(TestPreTestConversationDlg, QApplication)
#include "tst_pretestconversationdlg.moc"
