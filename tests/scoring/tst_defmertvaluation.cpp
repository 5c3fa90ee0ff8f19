// The built-in metric parameter catalogue: its two tables, their identifiers
// (stored in subject files, so they never change), the family look-ups and
// the pictures.
#include "resources/VugResources.h"
#include "scoring/metric/DefMertValuation.h"
#include "tests/support/TestHome.h"

#include <QGuiApplication>
#include <QImage>
#include <QSet>
#include <QtTest>

namespace {

using Params = DefMertValuation::Params;

// A run of the standard table, positions counted from 1.
struct Block {
    int first;
    int count;
    DefMertValuation::Family family;
    qint16 channel;
    qint32 kind;
    const char *heading;  // the first two lines of the names
    const char *picture;
};

const Block blocks[] = {
    {1, 3, nullptr, 0, 2, "Канал КГР\nАмплитуда\n", "GSR_ampl_mode"},
    {4, 26, &DefMertValuation::lengthUpBreathStart, 3, 4, "Канал ВД\nДлина (начало вопроса)\n", "RG_length"},
    {30, 3, nullptr, 3, 1, "Канал ВД\nПериод (начало вопроса)\n", "RG_period"},
    {33, 26, &DefMertValuation::lengthUpBreathEnd, 3, 4, "Канал ВД\nДлина (конец вопроса)\n", "RG_length"},
    {59, 3, nullptr, 3, 1, "Канал ВД\nПериод (конец вопроса)\n", "RG_period"},
    {62, 1, nullptr, 3, 2, "Канал ВД\nАмплитуда\n", "RG_ampl_min"},
    {63, 26, &DefMertValuation::lengthLowBreathStart, 2, 4, "Канал НД\nДлина (начало вопроса)\n", "RG_length"},
    {89, 3, nullptr, 2, 1, "Канал НД\nПериод (начало вопроса)\n", "RG_period"},
    {92, 26, &DefMertValuation::lengthLowBreathEnd, 2, 4, "Канал НД\nДлина (конец вопроса)\n", "RG_length"},
    {118, 3, nullptr, 2, 1, "Канал НД\nПериод (конец вопроса)\n", "RG_period"},
    {121, 1, nullptr, 2, 2, "Канал НД\nАмплитуда\n", "RG_ampl_min"},
    {122, 16, &DefMertValuation::pulseAD, 7, 5, "Канал АД\nЧСС\n", "AD_period_count"},
    {138, 2, nullptr, 7, 2, "Канал АД\nПодъем\n", "AD_up_mode"},
    {140, 1, nullptr, 7, 2, "Канал АД\nАмплитуда\n", "AD_ampl_min"},
    {141, 16, &DefMertValuation::pulsePG, 4, 5, "Канал ПГ\nЧСС\n", "PG_freq"},
    {157, 2, nullptr, 4, 2, "Канал ПГ\nСпад\n", "PG_down_mode"},
    {159, 1, nullptr, 4, 2, "Канал ПГ\nАмплитуда\n", "PG_ampl_min"},
    {160, 16, &DefMertValuation::pulsePGExtra, 9, 5, "Канал ПГ(доп)\nЧСС\n", "PG_freq"},
    {176, 2, nullptr, 9, 2, "Канал ПГ(доп)\nСпад\n", "PG_down_mode"},
    {178, 1, nullptr, 9, 2, "Канал ПГ(доп)\nАмплитуда\n", "PG_ampl_min"},
};

const DefMertValuation::Family families[] = {
    &DefMertValuation::lengthUpBreathStart, &DefMertValuation::lengthUpBreathEnd,
    &DefMertValuation::lengthLowBreathStart, &DefMertValuation::lengthLowBreathEnd,
    &DefMertValuation::pulseAD, &DefMertValuation::pulsePG, &DefMertValuation::pulsePGExtra,
};

QVector<QUuid> storedIdentifiers()
{
    QFile file(QStringLiteral(VUG_SCORING_TEST_DATA "/metric_catalogue_ids.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QVector<QUuid> ids;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (!line.trimmed().isEmpty())
            ids.append(QUuid(line.trimmed()));
    }
    return ids;
}

Params standardEntries()
{
    DefMertValuation catalogue;
    catalogue.init();
    catalogue.fillStandard();
    return catalogue.entries;
}

Params basicEntries()
{
    Params list;
    DefMertValuation::fillBasic(list);
    return list;
}

}  // namespace

class TstDefMertValuation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initVugResources(); }
    void identifiersAreTheStoredOnes();
    void standardTableInOrder();
    void firstEntry();
    void familyEntriesCountUp();
    void familyLookups();
    void basicTable();
    void fillingTwiceGivesOneSet();
    void autoAndManualSplit();
    void findWritesToItsListAlone();
    void picturesAreResources();
};

void TstDefMertValuation::identifiersAreTheStoredOnes()
{
    const QVector<QUuid> stored = storedIdentifiers();
    QCOMPARE(stored.size(), 200);
    QVector<QUuid> ids;
    for (const Inspection::_MetricParam &param : standardEntries() + basicEntries())
        ids.append(param.uid);
    QCOMPARE(ids, stored);
    QCOMPARE(QSet<QUuid>(ids.begin(), ids.end()).size(), 200);
}

void TstDefMertValuation::standardTableInOrder()
{
    DefMertValuation catalogue;
    catalogue.init();
    catalogue.fillStandard();
    QCOMPARE(catalogue.entries.size(), 178);
    int position = 1;
    for (const Block &block : blocks) {
        QCOMPARE(block.first, position);
        const Params family = block.family ? block.family(nullptr, nullptr) : Params();
        if (block.family)
            QCOMPARE(family.size(), block.count);
        for (int i = 0; i < block.count; ++i, ++position) {
            const Inspection::_MetricParam &entry = catalogue.entries[position - 1];
            QVERIFY2(entry.Name.startsWith(QString::fromUtf8(block.heading)), qPrintable(entry.Name));
            QCOMPARE(entry.Name.count(QLatin1Char('\n')), 2);
            QCOMPARE(entry.nKodChannel, block.channel);
            QCOMPARE(entry.eMet, block.kind);
            QVERIFY(entry.bAuto);
            QVERIFY(!entry.bEnable);
            QCOMPARE(entry.dK, 1.0);
            QVERIFY(entry.sDescription.contains(QLatin1String("<b>")));
            QVERIFY(catalogue.picturePath(entry.uid).contains(QLatin1String(block.picture)));
            if (block.family) {
                QCOMPARE(entry.uid, family[i].uid);
                QCOMPARE(entry.Name, family[i].Name);
            }
        }
    }
    QCOMPARE(position, 179);
}

void TstDefMertValuation::firstEntry()
{
    DefMertValuation catalogue;
    catalogue.init();
    catalogue.fillStandard();
    const Inspection::_MetricParam &entry = catalogue.entries.first();
    QCOMPARE(entry.Name, QStringLiteral("Канал КГР\nАмплитуда\nрежим-1"));
    QCOMPARE(entry.uid, QUuid(QStringLiteral("{6BC758B1-4A20-4CBE-AD79-4ACCD2CD7B78}")));
    QCOMPARE(entry.nKodChannel, qint16(0));
    QCOMPARE(entry.eMet, 2);
    QCOMPARE(catalogue.picturePath(entry.uid), VugImages::path(QStringLiteral("MetrVal_GSR_ampl_mode1.png")));
    // Entries of one kind on two channels are told apart by their texts.
    QCOMPARE(catalogue.entries[156].Name, QStringLiteral("Канал ПГ\nСпад\nрежим 1"));
    QVERIFY(catalogue.entries[156].sDescription != catalogue.entries[175].sDescription);
}

void TstDefMertValuation::familyEntriesCountUp()
{
    const Params up = DefMertValuation::lengthUpBreathStart();
    QCOMPARE(up.size(), 26);
    QCOMPARE(up.first().Name, QStringLiteral("Канал ВД\nДлина (начало вопроса)\n5 сек"));
    QCOMPARE(up.last().Name, QStringLiteral("Канал ВД\nДлина (начало вопроса)\n30 сек"));
    QCOMPARE(up[3].sDescription, QStringLiteral("Длина по каналу <b>ВД</b> (верхнее дыхание). Измерение производится "
                                                "на длине <b>8 сек.</b> (T=8 сек.)"));
    QCOMPARE(DefMertValuation::lengthUpBreathEnd()[3].sDescription, up[3].sDescription);
    QVERIFY(DefMertValuation::lengthLowBreathEnd()[0].sDescription.endsWith(
        QStringLiteral("(T=5 сек.). Начиная от конца впороса.")));
    const Params pulse = DefMertValuation::pulsePGExtra();
    QCOMPARE(pulse.size(), 16);
    QCOMPARE(pulse.last().Name, QStringLiteral("Канал ПГ(доп)\nЧСС\n20 цикл"));
    QCOMPARE(pulse.last().sDescription, QStringLiteral("ЧСС по каналу <b>ПГдоп</b> (плетизмограмма). Измерение "
                                                       "производится по <b>20</b> циклу(циклам)."));
}

void TstDefMertValuation::familyLookups()
{
    for (DefMertValuation::Family family : families) {
        const Params entries = family(nullptr, nullptr);
        for (int i = 0; i < entries.size(); ++i) {
            int value = -1;
            QVERIFY(family(&entries[i].uid, &value).isEmpty());
            QCOMPARE(value, 5 + i);
        }
        // Another family's entry, or a missing pointer, leaves the int alone.
        const QUuid foreign = DefMertValuation::pulseAD(nullptr, nullptr).first().uid;
        int value = -1;
        if (family != &DefMertValuation::pulseAD) {
            QVERIFY(family(&foreign, &value).isEmpty());
            QCOMPARE(value, -1);
        }
        QVERIFY(family(nullptr, &value).isEmpty());
        QCOMPARE(value, -1);
        QVERIFY(family(&entries[0].uid, nullptr).isEmpty());
    }
    // The 30-second entries of lower breathing: identifiers fixed by this program.
    int start = -1;
    int end = -1;
    const QUuid startId(QStringLiteral("{53002328-FC42-4DD5-B269-F7E615342F39}"));
    const QUuid endId(QStringLiteral("{E82C6A2A-0AB2-4EE8-977A-F3C715349EF9}"));
    DefMertValuation::lengthLowBreathStart(&startId, &start);
    DefMertValuation::lengthLowBreathEnd(&endId, &end);
    QCOMPARE(start, 30);
    QCOMPARE(end, 30);
    int other = -1;
    DefMertValuation::lengthLowBreathStart(&endId, &other);
    QCOMPARE(other, -1);
}

void TstDefMertValuation::basicTable()
{
    const Params basic = basicEntries();
    QCOMPARE(basic.size(), 22);
    const QVector<QUuid> stored = storedIdentifiers().mid(178);
    for (int i = 0; i < basic.size(); ++i) {
        QCOMPARE(basic[i].uid, stored.value(i));
        QVERIFY(!basic[i].bAuto);
        QVERIFY(!basic[i].bEnable);
        QCOMPARE(basic[i].dK, 1.0);
        QVERIFY(!basic[i].sDescription.isEmpty());
    }
    QCOMPARE(basic[0].uid, QUuid(QStringLiteral("{0FEFDF8E-D8C8-4E62-0000-01FED91F9301}")));
    QCOMPARE(basic[14].uid, QUuid(QStringLiteral("{0FEFDF8E-D8C8-4E62-000A-01FED91F9301}")));
    // The names' letters as examiners' files hold them: Latin A below, Cyrillic А above.
    QCOMPARE(basic[0].Name, QStringLiteral("Дых. (н) ") + QChar(0x41) + QLatin1Char('1'));
    QCOMPARE(basic[4].Name, QStringLiteral("Дых. (в) ") + QChar(0x410) + QLatin1Char('1'));
    QCOMPARE(basic[8].Name, QStringLiteral("КГР  А+"));
    QCOMPARE(basic[12].Name, QStringLiteral("ПГ ") + QChar(0x410) + QLatin1String("min"));
    QCOMPARE(basic[17].Name, QStringLiteral("ПГ ") + QChar(0x410) + QChar(0x43C) + QLatin1String("in"));
    QCOMPARE(basic[13].Name, basic[18].Name);
    QCOMPARE(basic[13].nKodChannel, qint16(4));
    QCOMPARE(basic[18].nKodChannel, qint16(9));
    // Heart rate, systole and diastole say what they measure, not what the entry before does.
    for (int i : {14, 15, 16, 19, 20, 21}) {
        QVERIFY(basic[i].sDescription != basic[i - 1].sDescription);
        QCOMPARE(basic[i].sDescription, basic[i < 19 ? i + 5 : i - 5].sDescription);
    }
}

void TstDefMertValuation::fillingTwiceGivesOneSet()
{
    DefMertValuation catalogue;
    catalogue.init();
    catalogue.fillStandard();
    const Params once = catalogue.entries;
    catalogue.fillStandard();
    QCOMPARE(catalogue.entries.size(), 178);
    QCOMPARE(catalogue.pictures.size(), 178);
    QCOMPARE(catalogue.entries.last().uid, once.last().uid);

    Params list = {Inspection::_MetricParam()};
    DefMertValuation::fillBasic(list);
    DefMertValuation::fillBasic(list);
    QCOMPARE(list.size(), 22);

    catalogue.destroy();
    QVERIFY(catalogue.entries.isEmpty());
    QVERIFY(catalogue.pictures.isEmpty());
}

void TstDefMertValuation::autoAndManualSplit()
{
    const Params standard = standardEntries();
    const Params basic = basicEntries();
    QCOMPARE(DefMertValuation::autoParams(standard).size(), 178);
    QVERIFY(DefMertValuation::manualParams(standard).isEmpty());
    QVERIFY(DefMertValuation::autoParams(basic).isEmpty());
    QCOMPARE(DefMertValuation::manualParams(basic).size(), 22);

    const Params mixed = {basic[3], standard[7], basic[1], standard[2]};
    const Params automatic = DefMertValuation::autoParams(mixed);
    const Params manual = DefMertValuation::manualParams(mixed);
    QCOMPARE(automatic.size(), 2);
    QCOMPARE(automatic[0].uid, standard[7].uid);
    QCOMPARE(automatic[1].uid, standard[2].uid);
    QCOMPARE(manual[0].uid, basic[3].uid);
    QCOMPARE(manual[1].uid, basic[1].uid);
}

void TstDefMertValuation::findWritesToItsListAlone()
{
    Params empty;
    QVERIFY(!DefMertValuation::find(empty, QUuid::createUuid()));

    Params list = basicEntries();
    const Params copy = list;
    Inspection::_MetricParam *found = DefMertValuation::find(list, copy[5].uid);
    QVERIFY(found);
    QCOMPARE(found, &list[5]);
    found->bEnable = true;
    QVERIFY(list[5].bEnable);
    QVERIFY(!copy[5].bEnable);
    QVERIFY(!DefMertValuation::find(list, QUuid::createUuid()));

    list.append(list[5]);  // duplicates: the first one
    QCOMPARE(DefMertValuation::find(list, copy[5].uid), &list[5]);
}

void TstDefMertValuation::picturesAreResources()
{
    DefMertValuation catalogue;
    catalogue.init();
    catalogue.fillStandard();
    QSet<QString> paths;
    for (const Inspection::_MetricParam &entry : catalogue.entries)
        paths.insert(catalogue.picturePath(entry.uid));
    QCOMPARE(paths.size(), 16);
    for (const QString &path : paths) {
        QVERIFY2(path.startsWith(VugImages::path(QStringLiteral("MetrVal_"))), qPrintable(path));
        QVERIFY2(!QImage(path).isNull(), qPrintable(path));
    }
    // No picture: an empty path, entered for the identifier.
    const QUuid basic = basicEntries().first().uid;
    QCOMPARE(catalogue.picturePath(basic), QString());
    QCOMPARE(catalogue.pictures.size(), 179);
    QVERIFY(catalogue.pictures.contains(basic));
}

VUG_TEST_MAIN(TstDefMertValuation, QGuiApplication)
#include "tst_defmertvaluation.moc"
