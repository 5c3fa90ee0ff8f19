#include "DefMertValuation.h"

#include "resources/VugResources.h"

#include <algorithm>

namespace {

// One row of the standard table: a single entry, or a family
// whose entries all get the row's picture.
struct StandardRow {
    DefMertValuation::Family family;
    const char *name;
    const char *uid;
    qint16 channel;
    qint32 kind;
    const char *picture;
    const char *description;
};

const StandardRow standardRows[] = {
    {nullptr, QT_TRANSLATE_NOOP("DefMertValuation", "Канал КГР\nАмплитуда\nрежим-1"),
     "{6BC758B1-4A20-4CBE-AD79-4ACCD2CD7B78}", 0, 2, "MetrVal_GSR_ampl_mode1.png",
     QT_TRANSLATE_NOOP("DefMertValuation", "Амплитуда первой волны по каналу <b>КГР</b> (кожно-гальваническая реакция) в "
                                           "режиме 1: измерение от предшествующей волны.")},
    {nullptr, QT_TRANSLATE_NOOP("DefMertValuation", "Канал КГР\nАмплитуда\nрежим-2"),
     "{79A8C7E7-4909-450C-B2FB-DD69B2783CB0}", 0, 2, "MetrVal_GSR_ampl_mode2.png",
     QT_TRANSLATE_NOOP("DefMertValuation", "Амплитуда первой волны по каналу <b>КГР</b> (кожно-гальваническая реакция) в "
                                           "режиме 2: измерение от предшествующей полуволны.")},
    {nullptr, QT_TRANSLATE_NOOP("DefMertValuation", "Канал КГР\nАмплитуда\nрежим-3"),
     "{134CB664-9903-4DFB-A350-E8B9E2948A27}", 0, 2, "MetrVal_GSR_ampl_mode3.png",
     QT_TRANSLATE_NOOP("DefMertValuation", "Амплитуда первой волны по каналу <b>КГР</b> (кожно-гальваническая реакция) в "
                                           "режиме 3: измерение до последующей полуволны.")},
    {&DefMertValuation::lengthUpBreathStart, nullptr, nullptr, 0, 0, "MetrVal_RG_length.png", nullptr},
    {nullptr, QT_TRANSLATE_NOOP("DefMertValuation", "Канал ВД\nПериод (начало вопроса)\n2 цикла"),
     "{F0FCF1B4-ABC3-4CA8-888F-ED25FF02FB07}", 3, 1, "MetrVal_RG_period2.png",
     QT_TRANSLATE_NOOP("DefMertValuation", "Период по каналу <b>ВД</b> (верхнее дыхание). Число циклов измерения: <b>2</b>.")},
    {nullptr, QT_TRANSLATE_NOOP("DefMertValuation", "Канал ВД\nПериод (начало вопроса)\n2.5 цикла"),
     "{0806411A-AD7A-4F77-993C-9A53E301179E}", 3, 1, "MetrVal_RG_period25.png",
     QT_TRANSLATE_NOOP("DefMertValuation", "Период по каналу <b>ВД</b> (верхнее дыхание). Число циклов измерения: "
                                           "<b>2.5</b>.")},
    {nullptr, QT_TRANSLATE_NOOP("DefMertValuation", "Канал ВД\nПериод (начало вопроса)\n3 цикла"),
     "{82D923FD-FCC7-4280-B558-688B24588F32}", 3, 1, "MetrVal_RG_period3.png",
     QT_TRANSLATE_NOOP("DefMertValuation", "Период по каналу <b>ВД</b> (верхнее дыхание). Число циклов измерения: <b>3</b>.")},
    {&DefMertValuation::lengthUpBreathEnd, nullptr, nullptr, 0, 0, "MetrVal_RG_length.png", nullptr},
    {nullptr, QT_TRANSLATE_NOOP("DefMertValuation", "Канал ВД\nПериод (конец вопроса)\n2 цикла"),
     "{D70AC23B-DE94-4B11-BB6A-A221A1F9918B}", 3, 1, "MetrVal_RG_period2.png",
     QT_TRANSLATE_NOOP("DefMertValuation", "Период по каналу <b>ВД</b> (верхнее дыхание). Число циклов измерения: <b>2</b>.")},
    {nullptr, QT_TRANSLATE_NOOP("DefMertValuation", "Канал ВД\nПериод (конец вопроса)\n2.5 цикла"),
     "{6022D88F-D778-40D6-8670-F67C0746C5D8}", 3, 1, "MetrVal_RG_period25.png",
     QT_TRANSLATE_NOOP("DefMertValuation", "Период по каналу <b>ВД</b> (верхнее дыхание). Число циклов измерения: "
                                           "<b>2.5</b>.")},
    {nullptr, QT_TRANSLATE_NOOP("DefMertValuation", "Канал ВД\nПериод (конец вопроса)\n3 цикла"),
     "{86E5D2BB-9974-49A9-B103-847E8512CB43}", 3, 1, "MetrVal_RG_period3.png",
     QT_TRANSLATE_NOOP("DefMertValuation", "Период по каналу <b>ВД</b> (верхнее дыхание). Число циклов измерения: <b>3</b>.")},
    {nullptr, QT_TRANSLATE_NOOP("DefMertValuation", "Канал ВД\nАмплитуда\nmin"),
     "{714E1803-32BF-43EB-B3F3-EE0C0938FC86}", 3, 2, "MetrVal_RG_ampl_min.png",
     QT_TRANSLATE_NOOP("DefMertValuation", "Минимальная амплитуда по каналу <b>ВД</b> (верхнее дыхание). Измерение "
                                           "производится на всём интервале анализа.")},
    {&DefMertValuation::lengthLowBreathStart, nullptr, nullptr, 0, 0, "MetrVal_RG_length.png", nullptr},
    {nullptr, QT_TRANSLATE_NOOP("DefMertValuation", "Канал НД\nПериод (начало вопроса)\n2 цикла"),
     "{597A6598-DF4B-47FB-BED0-73AD57C2F07B}", 2, 1, "MetrVal_RG_period2.png",
     QT_TRANSLATE_NOOP("DefMertValuation", "Период по каналу <b>НД</b> (нижнее дыхание). Число циклов измерения: <b>2</b>.")},
    {nullptr, QT_TRANSLATE_NOOP("DefMertValuation", "Канал НД\nПериод (начало вопроса)\n2.5 цикла"),
     "{2D3CB20D-BA97-4651-8EB9-7FDC80F71D04}", 2, 1, "MetrVal_RG_period25.png",
     QT_TRANSLATE_NOOP("DefMertValuation", "Период по каналу <b>НД</b> (нижнее дыхание). Число циклов измерения: <b>2.5</b>.")},
    {nullptr, QT_TRANSLATE_NOOP("DefMertValuation", "Канал НД\nПериод (начало вопроса)\n3 цикла"),
     "{11B9A33A-27A3-4B81-91C9-1CD2E6EB2124}", 2, 1, "MetrVal_RG_period3.png",
     QT_TRANSLATE_NOOP("DefMertValuation", "Период по каналу <b>НД</b> (нижнее дыхание). Число циклов измерения: <b>3</b>.")},
    {&DefMertValuation::lengthLowBreathEnd, nullptr, nullptr, 0, 0, "MetrVal_RG_length.png", nullptr},
    {nullptr, QT_TRANSLATE_NOOP("DefMertValuation", "Канал НД\nПериод (конец вопроса)\n2 цикла"),
     "{3A726F51-222D-4948-B46B-AA7B3DBC790F}", 2, 1, "MetrVal_RG_period2.png",
     QT_TRANSLATE_NOOP("DefMertValuation", "Период по каналу <b>НД</b> (нижнее дыхание). Число циклов измерения: <b>2</b>.")},
    {nullptr, QT_TRANSLATE_NOOP("DefMertValuation", "Канал НД\nПериод (конец вопроса)\n2.5 цикла"),
     "{513B800F-3AE7-4BEE-8210-CF9E7F6C21FC}", 2, 1, "MetrVal_RG_period25.png",
     QT_TRANSLATE_NOOP("DefMertValuation", "Период по каналу <b>НД</b> (нижнее дыхание). Число циклов измерения: <b>2.5</b>.")},
    {nullptr, QT_TRANSLATE_NOOP("DefMertValuation", "Канал НД\nПериод (конец вопроса)\n3 цикла"),
     "{7AEC6EB4-7AA4-4E8E-9B62-B2E83ED6E0F8}", 2, 1, "MetrVal_RG_period3.png",
     QT_TRANSLATE_NOOP("DefMertValuation", "Период по каналу <b>НД</b> (нижнее дыхание). Число циклов измерения: <b>3</b>.")},
    {nullptr, QT_TRANSLATE_NOOP("DefMertValuation", "Канал НД\nАмплитуда\nmin"),
     "{A8B5F996-6299-4A45-BCAB-7F9C4D7BA90B}", 2, 2, "MetrVal_RG_ampl_min.png",
     QT_TRANSLATE_NOOP("DefMertValuation", "Минимальная амплитуда по каналу <b>НД</b> (нижнее дыхание). Измерение "
                                           "производится на всём интервале анализа.")},
    {&DefMertValuation::pulseAD, nullptr, nullptr, 0, 0, "MetrVal_AD_period_count.png", nullptr},
    {nullptr, QT_TRANSLATE_NOOP("DefMertValuation", "Канал АД\nПодъем\nрежим 1"),
     "{F3C678E3-1114-45F3-B00A-8C7D2E7F1ACE}", 7, 2, "MetrVal_AD_up_mode1.png",
     QT_TRANSLATE_NOOP("DefMertValuation", "Подъём по каналу <b>АД</b> (артериальное давление) в режиме 1: измерение от "
                                           "начала вопроса.")},
    {nullptr, QT_TRANSLATE_NOOP("DefMertValuation", "Канал АД\nПодъем\nрежим 2"),
     "{33E31326-45F6-47CE-8408-E26C05770DD0}", 7, 2, "MetrVal_AD_up_mode2.png",
     QT_TRANSLATE_NOOP("DefMertValuation", "Подъём по каналу <b>АД</b> (артериальное давление) в режиме 2: измерение между "
                                           "минимальным и максимальным значениями огибающей амплитуды.")},
    {nullptr, QT_TRANSLATE_NOOP("DefMertValuation", "Канал АД\nАмплитуда\nmin"),
     "{23406892-9FD5-4387-94B5-91EE5761CD32}", 7, 2, "MetrVal_AD_ampl_min.png",
     QT_TRANSLATE_NOOP("DefMertValuation", "Минимальная амплитуда по каналу <b>АД</b> (артериальное давление). Измерение "
                                           "производится на всём интервале анализа.")},
    {&DefMertValuation::pulsePG, nullptr, nullptr, 0, 0, "MetrVal_PG_freq.png", nullptr},
    {nullptr, QT_TRANSLATE_NOOP("DefMertValuation", "Канал ПГ\nСпад\nрежим 1"),
     "{DD4D168E-B792-41E6-9999-E47B63BC34E6}", 4, 2, "MetrVal_PG_down_mode1.png",
     QT_TRANSLATE_NOOP("DefMertValuation", "Спад по каналу <b>ПГ</b> (плетизмограмма) в режиме 1.")},
    {nullptr, QT_TRANSLATE_NOOP("DefMertValuation", "Канал ПГ\nСпад\nрежим 2"),
     "{66AF6B44-B57F-440D-9FF4-E0E0C84EAF78}", 4, 2, "MetrVal_PG_down_mode2.png",
     QT_TRANSLATE_NOOP("DefMertValuation", "Спад по каналу <b>ПГ</b> (плетизмограмма) в режиме 2.")},
    {nullptr, QT_TRANSLATE_NOOP("DefMertValuation", "Канал ПГ\nАмплитуда\nmin"),
     "{4BCE510A-2F38-4C2E-A83B-13A9B23AB80D}", 4, 2, "MetrVal_PG_ampl_min.png",
     QT_TRANSLATE_NOOP("DefMertValuation", "Минимальная амплитуда по каналу <b>ПГ</b> (плетизмограмма). Измерение "
                                           "производится на всём интервале анализа.")},
    {&DefMertValuation::pulsePGExtra, nullptr, nullptr, 0, 0, "MetrVal_PG_freq.png", nullptr},
    {nullptr, QT_TRANSLATE_NOOP("DefMertValuation", "Канал ПГ(доп)\nСпад\nрежим 1"),
     "{D2242112-BADE-47D0-ACCF-84D12A6412CB}", 9, 2, "MetrVal_PG_down_mode1.png",
     QT_TRANSLATE_NOOP("DefMertValuation", "Спад по каналу <b>ПГдоп</b> (плетизмограмма) в режиме 1.")},
    {nullptr, QT_TRANSLATE_NOOP("DefMertValuation", "Канал ПГ(доп)\nСпад\nрежим 2"),
     "{0B2C3ACD-FD64-44A3-99BD-0C9F5353ED10}", 9, 2, "MetrVal_PG_down_mode2.png",
     QT_TRANSLATE_NOOP("DefMertValuation", "Спад по каналу <b>ПГдоп</b> (плетизмограмма) в режиме 2.")},
    {nullptr, QT_TRANSLATE_NOOP("DefMertValuation", "Канал ПГ(доп)\nАмплитуда\nmin"),
     "{83629888-CA08-41BD-A8B6-840E80DA96A2}", 9, 2, "MetrVal_PG_ampl_min.png",
     QT_TRANSLATE_NOOP("DefMertValuation", "Минимальная амплитуда по каналу <b>ПГдоп</b> (плетизмограмма). Измерение "
                                           "производится на всём интервале анализа.")},
};

struct BasicRow {
    int number;  // the fourth group of the identifier
    const char *name;
    qint16 channel;
    qint32 kind;
    const char *description;
};

const BasicRow basicRows[] = {
    {0x00, QT_TRANSLATE_NOOP("DefMertValuation", "Дых. (н) A1"), 2, 2,
     QT_TRANSLATE_NOOP("DefMertValuation", "Измерение амплитуды первой волны")},
    {0x01, QT_TRANSLATE_NOOP("DefMertValuation", "Дых. (н) A2"), 2, 2,
     QT_TRANSLATE_NOOP("DefMertValuation", "Измерение амплитуды второй волны")},
    {0x02, QT_TRANSLATE_NOOP("DefMertValuation", "Дых. (н) A3"), 2, 2,
     QT_TRANSLATE_NOOP("DefMertValuation", "Измерение амплитуды третьей волны")},
    {0x03, QT_TRANSLATE_NOOP("DefMertValuation", "Дых. (н) Дл. 2.5 ц."), 2, 1,
     QT_TRANSLATE_NOOP("DefMertValuation", "Измерение длины 2.5 циклов")},
    {0x12, QT_TRANSLATE_NOOP("DefMertValuation", "Дых. (в) А1"), 3, 2,
     QT_TRANSLATE_NOOP("DefMertValuation", "Измерение амплитуды первой волны")},
    {0x13, QT_TRANSLATE_NOOP("DefMertValuation", "Дых. (в) А2"), 3, 2,
     QT_TRANSLATE_NOOP("DefMertValuation", "Измерение амплитуды вотрой волны")},
    {0x14, QT_TRANSLATE_NOOP("DefMertValuation", "Дых. (в) А3"), 3, 2,
     QT_TRANSLATE_NOOP("DefMertValuation", "Измерение амплитуды третьей волны")},
    {0x15, QT_TRANSLATE_NOOP("DefMertValuation", "Дых. (в) Дл. 2.5 ц."), 3, 1,
     QT_TRANSLATE_NOOP("DefMertValuation", "Измерение длины 2.5 циклов")},
    {0x04, QT_TRANSLATE_NOOP("DefMertValuation", "КГР  А+"), 0, 2,
     QT_TRANSLATE_NOOP("DefMertValuation", "???")},
    {0x05, QT_TRANSLATE_NOOP("DefMertValuation", "КГР Ап"), 0, 2,
     QT_TRANSLATE_NOOP("DefMertValuation", "???")},
    {0x06, QT_TRANSLATE_NOOP("DefMertValuation", "КГР Д+"), 0, 1,
     QT_TRANSLATE_NOOP("DefMertValuation", "???")},
    {0x07, QT_TRANSLATE_NOOP("DefMertValuation", "КГР Дп"), 0, 1,
     QT_TRANSLATE_NOOP("DefMertValuation", "???")},
    {0x08, QT_TRANSLATE_NOOP("DefMertValuation", "ПГ Аmin"), 4, 2,
     QT_TRANSLATE_NOOP("DefMertValuation", "Измерение минимальной амплитуды")},
    {0x09, QT_TRANSLATE_NOOP("DefMertValuation", "ПГ Амах"), 4, 2,
     QT_TRANSLATE_NOOP("DefMertValuation", "Измерение максимальной амплитуды")},
    {0x0A, QT_TRANSLATE_NOOP("DefMertValuation", "ПГ ЧСС"), 4, 1,
     QT_TRANSLATE_NOOP("DefMertValuation", "Измерение частоты сердечных сокращений")},
    {0x0B, QT_TRANSLATE_NOOP("DefMertValuation", "ПГ sist"), 4, 2,
     QT_TRANSLATE_NOOP("DefMertValuation", "Измерение систолической амплитуды пульсовой волны")},
    {0x0C, QT_TRANSLATE_NOOP("DefMertValuation", "ПГ diast"), 4, 2,
     QT_TRANSLATE_NOOP("DefMertValuation", "Измерение диастолической амплитуды пульсовой волны")},
    {0x0D, QT_TRANSLATE_NOOP("DefMertValuation", "ПГ Амin"), 9, 2,
     QT_TRANSLATE_NOOP("DefMertValuation", "Измерение минимальной амплитуды")},
    {0x0E, QT_TRANSLATE_NOOP("DefMertValuation", "ПГ Амах"), 9, 2,
     QT_TRANSLATE_NOOP("DefMertValuation", "Измерение максимальной амплитуды")},
    {0x0F, QT_TRANSLATE_NOOP("DefMertValuation", "ПГ ЧСС"), 9, 1,
     QT_TRANSLATE_NOOP("DefMertValuation", "Измерение частоты сердечных сокращений")},
    {0x10, QT_TRANSLATE_NOOP("DefMertValuation", "ПГ sist"), 9, 2,
     QT_TRANSLATE_NOOP("DefMertValuation", "Измерение систолической амплитуды пульсовой волны")},
    {0x11, QT_TRANSLATE_NOOP("DefMertValuation", "ПГ diast"), 9, 2,
     QT_TRANSLATE_NOOP("DefMertValuation", "Измерение диастолической амплитуды пульсовой волны")},
};

QString translated(const char *text)
{
    return QCoreApplication::translate("DefMertValuation", text);
}

Inspection::_MetricParam entry(const QUuid &uid, const char *name, qint16 channel, qint32 kind,
                               const char *description, bool automatic)
{
    Inspection::_MetricParam param;
    param.Name = translated(name);
    param.uid = uid;
    param.nKodChannel = channel;
    param.eMet = kind;
    param.sDescription = translated(description);
    param.bAuto = automatic;
    return param;
}

QUuid basicUid(int number)
{
    return QUuid(QStringLiteral("{0FEFDF8E-D8C8-4E62-00%1-01FED91F9301}").arg(number, 2, 16, QLatin1Char('0')));
}

DefMertValuation::Params withAuto(const DefMertValuation::Params &list, bool automatic)
{
    DefMertValuation::Params result;
    for (const Inspection::_MetricParam &param : list) {
        if (param.bAuto == automatic)
            result.append(param);
    }
    return result;
}

}  // namespace

void DefMertValuation::init()
{
    destroy();  // a new catalogue holds nothing, as a freed one
}

void DefMertValuation::destroy()
{
    pictures.clear();
    entries.clear();
}

void DefMertValuation::fillStandard()
{
    entries.clear();
    for (const StandardRow &row : standardRows) {
        const Params rowEntries =
            row.family ? row.family(nullptr, nullptr)
                       : Params{entry(QUuid(QLatin1String(row.uid)), row.name, row.channel, row.kind,
                                      row.description, true)};
        for (const Inspection::_MetricParam &param : rowEntries) {
            entries.append(param);
            pictures.insert(param.uid, VugImages::path(QLatin1String(row.picture)));
        }
    }
}

void DefMertValuation::fillBasic(Params &list)
{
    list.clear();
    for (const BasicRow &row : basicRows)
        list.append(entry(basicUid(row.number), row.name, row.channel, row.kind, row.description, false));
}

DefMertValuation::Params DefMertValuation::autoParams(const Params &list)
{
    return withAuto(list, true);
}

DefMertValuation::Params DefMertValuation::manualParams(const Params &list)
{
    return withAuto(list, false);
}

Inspection::_MetricParam *DefMertValuation::find(Params &list, const QUuid &uid)
{
    for (Inspection::_MetricParam &param : list) {  // non-const access detaches
        if (param.uid == uid)
            return &param;
    }
    return nullptr;
}

QString DefMertValuation::picturePath(const QUuid &uid)
{
    return pictures[uid];
}

int DefMertValuation::testsMeasuring(const Inspection &examination, const ParamPick &of)
{
    const auto measures = [&of](const Inspection::_Test &test) {
        for (const auto &questions : test.valuationMetric) {
            for (const auto &values : questions) {
                const QList<QUuid> uids = values.keys();
                if (std::any_of(uids.cbegin(), uids.cend(), of))
                    return true;
            }
        }
        return false;
    };
    return int(std::count_if(examination.tests.cbegin(), examination.tests.cend(), measures));
}

bool DefMertValuation::dropMeasurements(Inspection::_Test &test, const ParamPick &of)
{
    bool dropped = false;
    MetricValuationMap &groups = test.valuationMetric;
    for (auto group = groups.begin(); group != groups.end();) {
        for (auto questions = group->begin(); questions != group->end();) {
            for (auto value = questions->begin(); value != questions->end();) {
                const bool goes = of(value.key());
                dropped = dropped || goes;
                value = goes ? questions->erase(value) : std::next(value);
            }
            questions = questions->isEmpty() ? group->erase(questions) : std::next(questions);
        }
        group = group->isEmpty() ? groups.erase(group) : std::next(group);
    }
    return dropped;
}
