#include "scoring/metric/DefMertValuation.h"
#include "scoring/metric/ValuationMetrAutoParamDlg.h"
#include "scoring/metric/ValuationMetrEditParamDlg.h"
#include "scoring/metric/ValuationMetrSpravParamDlg.h"
#include "tests/data/SpravFixtures.h"
#include "tests/support/MessageBoxAnswerer.h"
#include "tests/support/TestHome.h"

#include "app/services/SettingsFields.h"
#include "data/ChannelUI.h"
#include "data/DefChannel.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTimer>
#include <QTreeView>

#include <functional>

// The parameter edit, reference book and automatic parameter dialogs, offscreen,
// with a reference book in a temporary folder.

namespace {

constexpr int kUidRole = Qt::UserRole + 1;

Inspection::_MetricParam customParam(const QString &name, double weight)
{
    Inspection::_MetricParam param;
    param.Name = name;
    param.uid = QUuid::createUuid();
    param.nKodChannel = 4;
    param.eMet = 2;
    param.dK = weight;
    param.sDescription = QStringLiteral("описание ") + name;
    return param;
}

// Answers the next edit dialog: the change is made in it, then OK.
void answerEditDialog(const std::function<void(ValuationMetrEditParamDlg &)> &change)
{
    QTimer::singleShot(0, [change] {
        auto *dialog = qobject_cast<ValuationMetrEditParamDlg *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        change(*dialog);
        dialog->accept();
        if (dialog->isVisible())
            dialog->reject();
    });
}

QStandardItemModel *modelOf(const QTreeView *table)
{
    return static_cast<QStandardItemModel *>(table->model());
}

QStringList rowTexts(const QTreeView *table)
{
    QStringList rows;
    const QStandardItemModel *model = modelOf(table);
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < 5; ++column)
            cells << model->item(row, column)->text();
        cells << (model->item(row, 0)->checkState() == Qt::Checked ? QStringLiteral("x") : QStringLiteral("-"));
        rows << cells.join('|');
    }
    return rows;
}

QVector<Inspection::_MetricParam> storedCustom()
{
    QVector<Inspection::_MetricParam> params;
    SpravDB().readMetricVal(params);
    return params;
}

// The names in the reference book's rows, read by the sqlite3 command.
int sqliteRows(const QString &path)
{
    QProcess sqlite;
    sqlite.start(QStringLiteral("sqlite3"), {path, QStringLiteral("SELECT count(*) FROM metricval")});
    sqlite.waitForFinished();
    return sqlite.readAllStandardOutput().trimmed().toInt();
}

QStandardItem *leaf(const QStandardItemModel *model, const QString &group, const QString &sub, const QString &name)
{
    const QList<QStandardItem *> groups = model->findItems(group);
    for (int s = 0; !groups.isEmpty() && s < groups.first()->rowCount(); ++s) {
        QStandardItem *subGroup = groups.first()->child(s);
        for (int p = 0; subGroup->text() == sub && p < subGroup->rowCount(); ++p) {
            if (subGroup->child(p)->text() == name)
                return subGroup->child(p);
        }
    }
    return nullptr;
}

}  // namespace

class TestMetricParamDialogs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Russian));
        initChannelsUI();
    }

    void init()
    {
        QVERIFY(m_dir.isValid());
        QFile::remove(m_dir.filePath(QStringLiteral("sprav.sqmz")));
        SpravDB::sPathFileSprav = m_dir.filePath(QStringLiteral("sprav.sqmz"));
    }

    void newAndExistingParameter()
    {
        ValuationMetrEditParamDlg fresh(nullptr, nullptr);
        QVERIFY(!fresh.param.uid.isNull());
        QVERIFY(ValuationMetrEditParamDlg(nullptr, nullptr).param.uid != fresh.param.uid);
        QCOMPARE(fresh.coefficientEdit()->text(), QStringLiteral("1"));
        QCOMPARE(fresh.coefficientEdit()->width(), 50);
        QCOMPARE(fresh.channelBox()->count(), 13);
        DefChannel channels;
        QCOMPARE(fresh.channelBox()->itemData(0).toInt(), int(channels.findByPosition(0)->Kod));
        QCOMPARE(fresh.channelBox()->itemText(0), DefChannel::channelName(channels.findByPosition(0)->Kod, true));
        QStringList kinds;
        for (int k = 0; k < fresh.kindBox()->count(); ++k)
            kinds << QString::number(fresh.kindBox()->itemData(k).toInt()) + fresh.kindBox()->itemText(k);
        QCOMPARE(kinds, QStringList({"1По оси X", "2По оси Y", "4Длина сигнала", "5Частота"}));
        QVERIFY(fresh.channelBox()->isEnabled() && fresh.kindBox()->isEnabled());
        QVERIFY(!(fresh.windowFlags() & Qt::WindowContextHelpButtonHint));

        // An empty name keeps the dialog open without a message.
        fresh.show();
        MessageBoxAnswerer none;
        fresh.accept();
        QVERIFY(fresh.isVisible());
        QCOMPARE(none.asked().size(), 0);
        fresh.nameEdit()->setText(QStringLiteral("Новый"));
        fresh.channelBox()->setCurrentIndex(fresh.channelBox()->findData(7));
        fresh.kindBox()->setCurrentIndex(3);
        fresh.descriptionEdit()->setText(QStringLiteral("своё"));
        fresh.accept();
        QCOMPARE(fresh.result(), int(QDialog::Accepted));
        QCOMPARE(fresh.param.Name, QStringLiteral("Новый"));
        QCOMPARE(fresh.param.nKodChannel, qint16(7));
        QCOMPARE(fresh.param.eMet, 5);
        QCOMPARE(fresh.param.dK, 1.0);
        QCOMPARE(fresh.param.sDescription, QStringLiteral("своё"));
        QVERIFY(fresh.param.bEnable);

        // An existing parameter of a kind the box does not offer keeps channel, kind and uid.
        Inspection::_MetricParam stored = customParam(QStringLiteral("Старый"), -2.5);
        stored.eMet = 3;
        ValuationMetrEditParamDlg edit(nullptr, &stored);
        QCOMPARE(edit.coefficientEdit()->text(), QStringLiteral("-2.5"));
        QVERIFY(!edit.channelBox()->isEnabled() && !edit.kindBox()->isEnabled() && edit.nameEdit()->isEnabled());
        QCOMPARE(edit.channelBox()->currentData().toInt(), 4);
        QCOMPARE(edit.descriptionEdit()->text(), stored.sDescription);
        edit.nameEdit()->setText(QStringLiteral("Переименован"));
        edit.accept();
        QCOMPARE(edit.result(), int(QDialog::Accepted));
        QCOMPARE(edit.param.uid, stored.uid);
        QCOMPARE(edit.param.nKodChannel, qint16(4));
        QCOMPARE(edit.param.eMet, 3);
        QCOMPARE(edit.param.Name, QStringLiteral("Переименован"));
        QVERIFY(edit.param.bEnable);
    }

    void automaticParameterKeepsItsFirstLine()
    {
        Inspection::_MetricParam automatic = customParam(QStringLiteral("Канал КГР\nАмплитуда\nрежим-1"), 1.0);
        automatic.bAuto = true;
        automatic.sDescription = QStringLiteral("A\nB");
        const auto edited = [&automatic](const QString &text) {
            ValuationMetrEditParamDlg dialog(nullptr, &automatic);
            [&] {
                QCOMPARE(dialog.descriptionEdit()->text(), QStringLiteral("B"));
                QVERIFY(!dialog.nameEdit()->isEnabled());
            }();
            dialog.descriptionEdit()->setText(text);
            dialog.accept();
            return dialog.param;
        };
        QCOMPARE(edited(QStringLiteral("C")).sDescription, QStringLiteral("A\nC"));
        QCOMPARE(edited(QString()).sDescription, QStringLiteral("A"));
        QCOMPARE(edited(QStringLiteral("C")).Name, automatic.Name);
        automatic.sDescription = QStringLiteral("A");
        ValuationMetrEditParamDlg oneLine(nullptr, &automatic);
        QCOMPARE(oneLine.descriptionEdit()->text(), QString());
    }

    void coefficientIsCheckedWithAPoint_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("kept");
        QTest::addColumn<double>("value");
        QTest::newRow("1.5") << "1.5" << true << 1.5;
        QTest::newRow("-100") << "-100" << true << -100.0;
        QTest::newRow("1,5") << "1,5" << false << 0.0;
        QTest::newRow("500") << "500" << false << 0.0;
        QTest::newRow("1.555") << "1.555" << false << 0.0;
        QTest::newRow("empty") << "" << false << 0.0;
    }

    void coefficientIsCheckedWithAPoint()
    {
        QFETCH(QString, typed);
        QFETCH(bool, kept);
        QFETCH(double, value);
        Inspection::_MetricParam stored = customParam(QStringLiteral("П"), 1.5);
        ValuationMetrEditParamDlg dialog(nullptr, &stored);
        QCOMPARE(dialog.coefficientEdit()->text(), QStringLiteral("1.5"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.nameEdit()->setFocus();
        dialog.coefficientEdit()->setText(typed);
        dialog.accept();
        QCOMPARE(dialog.isVisible(), !kept);
        QCOMPARE(SettingsFields::isMarked(dialog.coefficientEdit()), !kept);
        if (kept) {
            QCOMPARE(dialog.param.dK, value);
        } else {
            QCOMPARE(dialog.param.dK, 1.5);
            QCOMPARE(QApplication::focusWidget(), dialog.coefficientEdit());
        }
    }

    void aTypedCommaStaysToBeRefused()
    {
        ValuationMetrEditParamDlg dialog(nullptr, nullptr);
        dialog.nameEdit()->setText(QStringLiteral("П"));
        dialog.coefficientEdit()->clear();
        QTest::keyClicks(dialog.coefficientEdit(), QStringLiteral("1,5"));
        QCOMPARE(dialog.coefficientEdit()->text(), QStringLiteral("1,5"));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(SettingsFields::isMarked(dialog.coefficientEdit()));
        dialog.coefficientEdit()->clear();
        QTest::keyClicks(dialog.coefficientEdit(), QStringLiteral("1.5"));
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.param.dK, 1.5);
    }

    void referenceBookTables()
    {
        QVector<Inspection::_MetricParam> basic;
        DefMertValuation::fillBasic(basic);
        Inspection::_MetricParam own = customParam(QStringLiteral("Свой"), 0.5);
        own.bAuto = true;
        QVERIFY(SpravDB().writeMetricVal({own, customParam(QStringLiteral("Другой"), 2.0)}) == SpravDB::Result::Done);
        Inspection::_MetricParam heldOff = basic[2];
        heldOff.bEnable = false;
        Inspection::_MetricParam heldOn = basic[1];
        heldOn.bEnable = true;
        Inspection::_MetricParam ownOn = own;
        ownOn.bEnable = true;
        ValuationMetrSpravParamDlg dialog(nullptr, {heldOff, heldOn, ownOn});
        QVERIFY(!(dialog.windowFlags() & Qt::WindowContextHelpButtonHint));
        const QStringList standard = rowTexts(dialog.standardTable());
        QCOMPARE(standard.size(), basic.size());
        QCOMPARE(standard[1].section('|', -1), QStringLiteral("x"));
        QCOMPARE(standard[2].section('|', -1), QStringLiteral("-"));
        QCOMPARE(standard.filter(QStringLiteral("|x")).size(), 1);
        QCOMPARE(modelOf(dialog.standardTable())->horizontalHeaderItem(2)->text(), QStringLiteral("Кнал"));
        QCOMPARE(rowTexts(dialog.customTable()),
                 QStringList({"1|Свой|ПГ|По оси Y(А)|0.50|x", "2|Другой|ПГ|По оси Y|2.00|-"}));

        // "Выбрать все" and "Отменить все" touch the standard rows only.
        dialog.onSelectAll();
        QCOMPARE(rowTexts(dialog.standardTable()).filter(QStringLiteral("|x")).size(), basic.size());
        modelOf(dialog.customTable())->item(1, 0)->setCheckState(Qt::Checked);
        dialog.onUnselectAll();
        QCOMPARE(rowTexts(dialog.standardTable()).filter(QStringLiteral("|x")).size(), 0);
        QCOMPARE(rowTexts(dialog.customTable()).filter(QStringLiteral("|x")).size(), 2);
        modelOf(dialog.standardTable())->item(3, 0)->setCheckState(Qt::Checked);
        modelOf(dialog.standardTable())->item(0, 0)->setCheckState(Qt::Checked);
        const auto chosen = dialog.selectedParams();
        QStringList names;
        for (const auto &param : chosen) {
            names << param.Name;
            QVERIFY(param.bEnable);
        }
        QCOMPARE(names, QStringList({basic[0].Name, basic[3].Name, QStringLiteral("Свой"), QStringLiteral("Другой")}));
        QCOMPARE(chosen[2].sDescription, own.sDescription);
    }

    void customParametersAreWrittenAtOnce()
    {
        const QString path = SpravDB::sPathFileSprav;
        {
            ValuationMetrSpravParamDlg dialog(nullptr, {});
            QCOMPARE(modelOf(dialog.customTable())->rowCount(), 0);
            answerEditDialog([](ValuationMetrEditParamDlg &edit) {
                edit.nameEdit()->setText(QStringLiteral("Первый"));
                edit.coefficientEdit()->setText(QStringLiteral("-0.75"));
            });
            dialog.onAdd();
            answerEditDialog([](ValuationMetrEditParamDlg &edit) { edit.nameEdit()->setText(QStringLiteral("Второй")); });
            dialog.onAdd();
            QCOMPARE(sqliteRows(path), 2);
            QCOMPARE(rowTexts(dialog.customTable()).size(), 2);
            QVERIFY(rowTexts(dialog.customTable())[1].startsWith(QStringLiteral("2|Второй|")));

            // Edit the first; the dialog is cancelled, the reference book keeps it.
            dialog.customTable()->setCurrentIndex(modelOf(dialog.customTable())->index(0, 1));
            answerEditDialog([](ValuationMetrEditParamDlg &edit) {
                edit.nameEdit()->setText(QStringLiteral("Первый правленый"));
                edit.coefficientEdit()->setText(QStringLiteral("3"));
            });
            dialog.onEdit();
            dialog.reject();
        }
        const auto stored = storedCustom();
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored[0].Name, QStringLiteral("Первый правленый"));
        QCOMPARE(stored[0].dK, 3.0);
        QCOMPARE(stored[1].Name, QStringLiteral("Второй"));
        QCOMPARE(SpravFixtures::count(path, QStringLiteral("metricval")), 2);

        ValuationMetrSpravParamDlg dialog(nullptr, {});
        dialog.customTable()->setCurrentIndex(modelOf(dialog.customTable())->index(1, 0));
        dialog.onDelete();
        dialog.customTable()->setCurrentIndex(modelOf(dialog.customTable())->index(0, 0));
        dialog.onDelete();
        QCOMPARE(sqliteRows(path), 0);
        QCOMPARE(modelOf(dialog.customTable())->rowCount(), 0);
        QCOMPARE(modelOf(dialog.customTable())->columnCount(), 5);
        // Nothing current: nothing happens.
        dialog.onDelete();
        dialog.onEdit();
        QCOMPARE(sqliteRows(path), 0);
    }

    void aRefusedWriteKeepsTheOldRowsAndIsTold()
    {
        const QString path = SpravDB::sPathFileSprav;
        QVERIFY(SpravDB().writeMetricVal({customParam(QStringLiteral("Один"), 1.0)}) == SpravDB::Result::Done);
        // One id left: the rewrite's second insert fails.
        QVERIFY(SpravFixtures::execute(
            path, {"UPDATE sqlite_sequence SET seq = 9223372036854775806 WHERE name = 'metricval'"}));
        ValuationMetrSpravParamDlg dialog(nullptr, {});
        MessageBoxAnswerer answers({QMessageBox::Ok});
        answerEditDialog([](ValuationMetrEditParamDlg &edit) { edit.nameEdit()->setText(QStringLiteral("Лишний")); });
        dialog.onAdd();
        QCOMPARE(answers.asked().size(), 1);
        QCOMPARE(answers.unexpected(), 0);
        QCOMPARE(rowTexts(dialog.customTable()).size(), 1);
        QCOMPARE(storedCustom().size(), 1);
        QCOMPARE(storedCustom().first().Name, QStringLiteral("Один"));
    }

    void automaticParameterTree()
    {
        DefMertValuation catalogue;
        catalogue.fillStandard();
        Inspection::_MetricParam heldOff = catalogue.entries[0];
        heldOff.bEnable = false;
        Inspection::_MetricParam heldOn = catalogue.entries[5];
        heldOn.bEnable = true;
        ValuationMetrAutoParamDlg dialog(nullptr, {heldOff, heldOn});
        QVERIFY(!(dialog.windowFlags() & Qt::WindowContextHelpButtonHint));
        const auto *model = static_cast<QStandardItemModel *>(dialog.tree()->model());
        QStringList groups;
        for (int g = 0; g < model->rowCount(); ++g)
            groups << model->item(g)->text();
        QCOMPARE(groups, QStringList({"Канал КГР", "Канал ВД", "Канал НД", "Канал АД", "Канал ПГ", "Канал ПГ(доп)"}));
        QStringList subs;
        for (int s = 0; s < model->item(1)->rowCount(); ++s)
            subs << model->item(1)->child(s)->text();
        QCOMPARE(subs, QStringList({"Длина (начало вопроса)", "Период (начало вопроса)", "Длина (конец вопроса)",
                                    "Период (конец вопроса)", "Амплитуда"}));
        int leaves = 0;
        for (int g = 0; g < model->rowCount(); ++g) {
            QVERIFY(!model->item(g)->isCheckable());
            for (int s = 0; s < model->item(g)->rowCount(); ++s)
                leaves += model->item(g)->child(s)->rowCount();
        }
        QCOMPARE(leaves, 178);
        DefChannel channels;
        QCOMPARE(model->item(0)->foreground().color(), *channels.findByCode(0)->Color);
        QCOMPARE(model->item(1)->foreground().color(), *channels.findByCode(3)->Color);

        const QStandardItem *first = leaf(model, "Канал КГР", "Амплитуда", "режим-1");
        QVERIFY(first);
        QCOMPARE(first->checkState(), Qt::Unchecked);
        QCOMPARE(first->data(kUidRole).toUuid(), catalogue.entries[0].uid);
        QCOMPARE(first->data(kUidRole + 1).toString(), catalogue.entries[0].sDescription);
        QCOMPARE(first->data(kUidRole + 2).toString(), catalogue.picturePath(catalogue.entries[0].uid));
        QStandardItem *tick = leaf(model, "Канал НД", "Амплитуда", "min");
        tick->setCheckState(Qt::Checked);
        const auto checked = dialog.checkedParams();
        QCOMPARE(checked.size(), 2);
        QCOMPARE(checked[0].uid, heldOn.uid);  // "Канал ВД" comes before "Канал НД"
        QCOMPARE(checked[1].uid, tick->data(kUidRole).toUuid());
        QVERIFY(checked[0].bEnable && checked[1].bEnable && checked[1].bAuto);
        QCOMPARE(dialog.checkedParams().size(), 2);

        // Selection shows description and picture; an emptied one clears both.
        dialog.tree()->selectionModel()->select(first->index(), QItemSelectionModel::ClearAndSelect);
        QCOMPARE(dialog.descriptionLabel()->text(), catalogue.entries[0].sDescription);
        QVERIFY(!dialog.pictureLabel()->pixmap(Qt::ReturnByValue).isNull());
        dialog.tree()->selectionModel()->select(model->item(0)->index(), QItemSelectionModel::ClearAndSelect);
        QCOMPARE(dialog.descriptionLabel()->text(), QString());
        QVERIFY(dialog.pictureLabel()->pixmap(Qt::ReturnByValue).isNull());
        dialog.tree()->selectionModel()->select(first->index(), QItemSelectionModel::ClearAndSelect);
        dialog.tree()->selectionModel()->clearSelection();
        QCOMPARE(dialog.descriptionLabel()->text(), QString());
        QVERIFY(dialog.pictureLabel()->pixmap(Qt::ReturnByValue).isNull());
    }

private:
    QTemporaryDir m_dir;
};

VUG_TEST_MAIN(TestMetricParamDialogs, QApplication)
#include "tst_metricparamdialogs.moc"
