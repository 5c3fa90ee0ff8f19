#include "DefMertValuation.h"

// The length and rate families: one entry per duration or count from 5 up.

namespace {

const char *const lengthUpBreathStartIds[] = {
    "{A3CBF58C-70FE-492D-9B86-28B770A485EF}", "{5CFD3F11-303E-4E79-9E54-364A39A7D26A}", "{1A8B2EE2-0FFB-498C-BA0E-6662C2F87DBA}",
    "{D389BE26-F04B-489E-B53A-47858D4E9425}", "{D06F17EB-C0F5-4D6F-8A2D-C15F587D02B5}", "{9C07ACB7-3601-4EA0-B6E7-74A3A3B2F2A3}",
    "{F8B19E96-35B6-4589-9C96-967788F9CE1F}", "{B4E9634A-B0BC-4802-A343-12D8903685DE}", "{ED93B7C0-2341-4478-AFB6-CDA6AB1097B2}",
    "{3796D1FE-FAE1-454C-BB7D-311BF3319991}", "{9FC209FE-73FA-4B50-9D7E-F2D8DF069388}", "{50F41A4F-C78D-40A0-A8DB-19C22656D978}",
    "{47035D26-F94F-41BC-AF3D-6A6E1DAB58CD}", "{C07A2F92-29C7-4EE6-BB44-C3051BA0F008}", "{EA953B56-DA06-47CC-90CC-5A39B360C00C}",
    "{0CA405AE-149B-4135-9E48-E854F5B134E3}", "{E73077FF-73BC-45EA-ADED-C26BC82F2F37}", "{7C6A29D8-2415-45C6-ACFD-7D7B34D7A8F5}",
    "{4AB8DE3A-C8B0-4D1E-9CEC-4501D82A4EA8}", "{1D02DC62-E995-4975-B1C9-40178B63FF96}", "{2F971069-2B28-40B5-A8B6-E01F75DF0516}",
    "{EB85F1DA-B409-443D-BD85-CE0C3638AB62}", "{62B17564-2A1D-432F-9107-0FB5FDDE3A7A}", "{6D391704-4820-426C-B265-244BF16246EC}",
    "{6CA4079D-52B9-45EC-ACE6-E443733B6BB2}", "{BF5EFFFB-6280-4895-B190-1A8D23A2279D}",
};
const char *const lengthUpBreathEndIds[] = {
    "{8CBE9E4C-CE55-4EBF-A152-D0D90CC16CB2}", "{03F00DD5-B4DA-4F0E-B924-4AAE8FD63E19}", "{1CE68DC0-C9C4-46C0-8AA9-D67AD7CE0E7F}",
    "{332D0369-EE21-4B8F-85B4-31F645B9F4A2}", "{950AEFCB-5920-423B-9F8F-3DC403D349B9}", "{CC1B915F-4636-4A98-B85A-AD50755605CB}",
    "{84E9D544-5112-4C71-A9F1-2D4EE56DC57A}", "{5398DD95-77DD-4026-ADC7-B857932342DE}", "{400592CD-10C4-4AE8-9B9B-3B1CAE9FB666}",
    "{BDDF53A1-1CBE-462E-A715-804AB0EAF4AC}", "{A8D125C7-5966-4CED-B263-E83E9DCB3164}", "{1EC4116B-7B12-4E3F-B3B8-32F3191804B7}",
    "{3B73E2BA-24E5-48D9-A2E2-6D3C5A48E9E3}", "{8DAC3303-DACF-4849-895F-5D021F3AD672}", "{89D32CAC-61E9-4EF7-83E4-D49D15C3515F}",
    "{F572F098-C874-4FF2-9CE2-7996BC443CA5}", "{8DF340EF-C079-47EE-A5A1-408321A069B8}", "{1C3E0A01-74F4-4965-A305-566B52B09A14}",
    "{D47582E1-DC6B-4EC3-B110-039B58954C30}", "{F6C61E3C-E065-43B7-A9D7-2CAF53B185FC}", "{5F5EC16A-FFDA-45B8-A1E1-3DC8888F84A8}",
    "{A6DF2844-1E0D-499C-979E-332BD6862C5E}", "{D179DE95-AEAC-4118-BC27-3CB8B14F44DC}", "{A0C0BD8C-D459-4A82-B289-9F2A6212AEAA}",
    "{BD9031F0-75F9-401B-BF0B-F97ACBB16F94}", "{B2C05491-E0EF-49B6-9980-DF80E0A92FF9}",
};
const char *const lengthLowBreathStartIds[] = {
    "{1C842D46-CE69-4637-9D7D-62AD7834269F}", "{413D1C75-5A72-4608-93BD-C87E4E91E42B}", "{1C14CDD6-65FF-4149-89AB-C47A49D528B5}",
    "{76EFDB18-D8C5-42DC-B13D-1EF3B4D4E4E9}", "{9DDF7FEA-E870-40A4-9C95-568E9744006E}", "{A914C045-6D68-4345-B6BD-2AEF761EA32E}",
    "{821364EF-EE91-44AB-AC00-BFC326BE1CC6}", "{07C6A654-8302-4C9A-B72A-91100D30896B}", "{6B36B148-C130-4577-8A83-82D0F2082149}",
    "{2A28C1CA-ABEF-4D9C-A518-D159596F1FF4}", "{77A67118-D2E1-4BFC-AE90-8BC03396C795}", "{B18C4D96-9B1D-47C9-B1E3-B2C0FB141FE5}",
    "{41326E10-382E-4821-B31D-A5B39BECB448}", "{67451797-E701-4074-9E23-4CC6B531C294}", "{E610D91A-57C2-4666-838B-848F7AF490F8}",
    "{81135D66-7C4C-4EB9-91D8-4B0BE04C0919}", "{3E2CAA5A-8599-49DA-9B09-FC23BC5B787E}", "{05D9C9BC-6344-4A88-A722-EE4F781BC160}",
    "{18062940-7C99-446A-9962-F826263BC1EE}", "{6C4E2315-08BA-43E8-B252-6E3F4632051D}", "{7B048B00-D986-4685-A4BB-6FA56BB1A8A5}",
    "{A54F660B-49C1-4428-B40F-340985695E83}", "{65DF61CB-218E-477D-A923-5BE932CFDCC7}", "{55447298-7C94-4C9E-80BC-16FB0D2B97BB}",
    "{68B5AAE0-8DEF-404C-96FF-5BB93BA2F261}", "{53002328-FC42-4DD5-B269-F7E615342F39}",  // 30 s: ours, fixed for good
};
const char *const lengthLowBreathEndIds[] = {
    "{FA574D85-1A08-487E-90FD-249BFA5249B9}", "{D59BC292-7428-45BB-8AF9-2439C089868B}", "{26EE617E-C37C-4114-B134-3A0ACEE793D5}",
    "{86780C42-B979-4FC6-944F-6C8C253E2313}", "{9677464E-6484-4464-BC9F-90B96C28311A}", "{62822481-6CD8-4D23-A531-3926F6D54AA1}",
    "{5FC5FDF9-26BF-49D7-B57D-8A10952DC2B9}", "{5A7B9194-C10B-43B1-B044-6949A8746A72}", "{EA69F61C-24CC-4740-BEC8-6FC26A7C07B4}",
    "{E7603BFC-3F2C-4979-A212-70E096686911}", "{22C92034-CDFA-40A8-9297-D5B1FD5C05E2}", "{EAC6846B-36A0-4BC1-B2F3-7B809C8E2AED}",
    "{12697CB8-EA72-4AF2-9D90-A271E09C6197}", "{7868A586-0057-45ED-855F-BE2862716677}", "{BEE10A2F-4F56-421C-8760-491D94ADC2D7}",
    "{DC1303F2-3545-4C55-846D-084A1F35E5C6}", "{22803328-8E03-4506-95BB-09DFD5C43D7D}", "{97DBB551-60A5-46BB-94B6-EBFAFEC67B24}",
    "{35A324BF-B5B3-405D-9B42-C166EEAB5292}", "{2F0B5CF7-807C-4C48-956E-35D57152D271}", "{87071103-61D9-48AD-859B-2BEC53185FA2}",
    "{EC8AA3D9-399F-4775-8549-B3C702E2CB14}", "{97F285C0-00C9-4330-9EC1-FD390495989E}", "{757B9E02-65DB-40D7-8A9B-2B69E4E3A27E}",
    "{C757DCEF-0D55-4FF0-918B-158C7298F998}", "{E82C6A2A-0AB2-4EE8-977A-F3C715349EF9}",  // 30 s: ours, fixed for good
};
const char *const pulseADIds[] = {
    "{DCF92484-6710-45EA-9672-DBD99B16E20F}", "{C0CB90D5-9C24-48F8-977A-A123A0AE63C2}", "{47B10686-0E00-4EAD-82E7-9C63D01D8764}",
    "{2788EF17-66B2-407E-8D48-6B78A00FCD3B}", "{5319271A-8268-4A35-A8B5-6C218AA1F259}", "{E0B1A47D-C951-406F-9E9D-E1192C7AB9C3}",
    "{94A7D56A-1A84-4335-B574-D2873D959B88}", "{4987913C-A6D7-48B2-8DAD-469FC6C39048}", "{A36FA6CA-27CC-466C-B398-8407F4E75088}",
    "{6005CB6E-0494-4D67-8E7A-6740FB6955F0}", "{A94C9122-6FFA-4092-A7CA-991C5347189D}", "{42E0CBA8-6B63-4069-BE5E-2ACBC381D690}",
    "{57784BF5-0BF9-422F-9205-5CDAE2D27BF0}", "{1CF0CC99-54D3-41A1-AFAD-994580E69C90}", "{62617B3E-A5F0-4B6F-A788-2FCDA5BFD684}",
    "{268327BD-402B-4812-8808-A1228C7D9440}",
};
const char *const pulsePGIds[] = {
    "{DBDC1329-3122-466D-9194-E02372D86888}", "{E82B4E65-32C9-46B5-BA4F-A3E5236A481A}", "{AE1A4168-2122-479E-BFCA-DB5C69B8D799}",
    "{A7ED5E31-8AFF-475D-AA2B-8B4DB5B6F7AE}", "{9BF7A20C-650B-4F62-863E-8FF6D5215CD6}", "{4289412B-EDE2-4D15-B611-13C364378E8C}",
    "{5CDE07D8-D503-40FC-83F8-DFCB1CB134B9}", "{54A0F3E8-98EC-465D-80B4-86C6C482ABA2}", "{48E97085-315B-4B1F-A719-83CFFAE158A6}",
    "{B0964598-4045-43DA-AE2F-97C6BA6D012C}", "{5DA60365-6262-4105-BC64-DE410263D2D8}", "{74DEE06C-DD8A-4DD6-98ED-11A90D9C23BE}",
    "{25DABBD4-D583-4EAF-8351-1519A7E68D02}", "{6C96CFA9-0408-4C17-A732-9BB3D776335D}", "{7386FD22-587C-435B-8BAC-2BA36C78EDFC}",
    "{73687AA9-4E55-4D58-B274-CBBFE03019FE}",
};
const char *const pulsePGExtraIds[] = {
    "{B4A0D82C-08FD-40AB-A28C-E1A9B4A2AC93}", "{DAB65C45-F124-42C7-9E86-76A8BA142827}", "{7747CF15-3B25-4007-B8B3-5206926FA364}",
    "{5A20D807-56C2-47CE-96F1-C838276C0393}", "{C3B1C174-EFCF-4A46-BD42-10157A33B490}", "{16E0E35D-F6CD-43FA-9460-6B9309401CEF}",
    "{5C903A4E-C703-46A6-8FB3-66A0038F0573}", "{7D06BD19-5B80-46F6-BB35-617F03600B9A}", "{6B8CD84E-874E-4EF9-BB27-093016BF1E96}",
    "{3B25D5CB-D247-4763-AF0C-D282F03ED085}", "{7FC49F81-3029-4BB3-B432-6A6800E43C9E}", "{A9FE7BE8-8BDF-4B59-85A7-9CE737ED036C}",
    "{9B7D2BF9-259D-4F9C-90BD-995EA5820C36}", "{A1B0BC2C-D740-4CCF-87F1-E1A7B8856403}", "{C150FC7B-941D-4227-ABD6-C270F491901D}",
    "{9C1F3E5F-7AE1-476F-B0AB-8D13D3CC31E4}",
};

struct FamilyRule {
    const char *const *ids;
    int count;
    qint16 channel;
    qint32 kind;
    const char *name;
    const char *description;
};

template <int N>
FamilyRule familyRule(const char *const (&ids)[N], qint16 channel, qint32 kind, const char *name,
                      const char *description)
{
    return {ids, N, channel, kind, name, description};
}

constexpr int firstValue = 5;

DefMertValuation::Params familyEntries(const FamilyRule &family)
{
    DefMertValuation::Params list;
    for (int i = 0; i < family.count; ++i) {
        const QString value = QString::number(firstValue + i);
        Inspection::_MetricParam entry;
        entry.Name = QCoreApplication::translate("DefMertValuation", family.name).arg(value);
        entry.uid = QUuid(QLatin1String(family.ids[i]));
        entry.nKodChannel = family.channel;
        entry.eMet = family.kind;
        entry.sDescription = QCoreApplication::translate("DefMertValuation", family.description).arg(value);
        entry.bAuto = true;
        list.append(entry);
    }
    return list;
}

void familyLookup(const FamilyRule &family, const QUuid &uid, int *value)
{
    for (int i = 0; i < family.count; ++i) {
        if (QUuid(QLatin1String(family.ids[i])) == uid) {
            *value = firstValue + i;
            return;
        }
    }
}

DefMertValuation::Params family(const FamilyRule &rule, const QUuid *uid, int *value)
{
    if (!uid && !value)
        return familyEntries(rule);
    if (uid && value)
        familyLookup(rule, *uid, value);
    return {};
}

const char upBreathDescription[] = QT_TRANSLATE_NOOP(
    "DefMertValuation",
    "Длина по каналу <b>ВД</b> (верхнее дыхание). Измерение производится на длине <b>%1 сек.</b> (T=%1 сек.)");

}  // namespace

DefMertValuation::Params DefMertValuation::lengthUpBreathStart(const QUuid *uid, int *value)
{
    return family(familyRule(lengthUpBreathStartIds, 3, 4,
                             QT_TRANSLATE_NOOP("DefMertValuation", "Канал ВД\nДлина (начало вопроса)\n%1 сек"),
                             upBreathDescription),
                  uid, value);
}

DefMertValuation::Params DefMertValuation::lengthUpBreathEnd(const QUuid *uid, int *value)
{
    return family(familyRule(lengthUpBreathEndIds, 3, 4,
                             QT_TRANSLATE_NOOP("DefMertValuation", "Канал ВД\nДлина (конец вопроса)\n%1 сек"),
                             upBreathDescription),
                  uid, value);
}

DefMertValuation::Params DefMertValuation::lengthLowBreathStart(const QUuid *uid, int *value)
{
    return family(familyRule(lengthLowBreathStartIds, 2, 4,
                             QT_TRANSLATE_NOOP("DefMertValuation", "Канал НД\nДлина (начало вопроса)\n%1 сек"),
                             QT_TRANSLATE_NOOP("DefMertValuation",
                                               "Длина по каналу <b>НД</b> (нижнее дыхание). Измерение производится "
                                               "на длине <b>%1 сек.</b> (T=%1 сек.)")),
                  uid, value);
}

DefMertValuation::Params DefMertValuation::lengthLowBreathEnd(const QUuid *uid, int *value)
{
    return family(familyRule(lengthLowBreathEndIds, 2, 4,
                             QT_TRANSLATE_NOOP("DefMertValuation", "Канал НД\nДлина (конец вопроса)\n%1 сек"),
                             QT_TRANSLATE_NOOP("DefMertValuation",
                                               "Длина по каналу <b>НД</b> (нижнее дыхание). Измерение производится "
                                               "на длине <b>%1 сек.</b> (T=%1 сек.). Начиная от конца впороса.")),
                  uid, value);
}

DefMertValuation::Params DefMertValuation::pulseAD(const QUuid *uid, int *value)
{
    return family(familyRule(pulseADIds, 7, 5, QT_TRANSLATE_NOOP("DefMertValuation", "Канал АД\nЧСС\n%1 цикл"),
                             QT_TRANSLATE_NOOP("DefMertValuation",
                                               "ЧСС по каналу <b>АД</b> (артериальное давление). Измерение "
                                               "производится по <b>%1</b> циклу(циклам).")),
                  uid, value);
}

DefMertValuation::Params DefMertValuation::pulsePG(const QUuid *uid, int *value)
{
    return family(familyRule(pulsePGIds, 4, 5, QT_TRANSLATE_NOOP("DefMertValuation", "Канал ПГ\nЧСС\n%1 цикл"),
                             QT_TRANSLATE_NOOP("DefMertValuation",
                                               "ЧСС по каналу <b>ПГ</b> (плетизмограмма). Измерение производится "
                                               "по <b>%1</b> циклу(циклам).")),
                  uid, value);
}

DefMertValuation::Params DefMertValuation::pulsePGExtra(const QUuid *uid, int *value)
{
    return family(familyRule(pulsePGExtraIds, 9, 5,
                             QT_TRANSLATE_NOOP("DefMertValuation", "Канал ПГ(доп)\nЧСС\n%1 цикл"),
                             QT_TRANSLATE_NOOP("DefMertValuation",
                                               "ЧСС по каналу <b>ПГдоп</b> (плетизмограмма). Измерение производится "
                                               "по <b>%1</b> циклу(циклам).")),
                  uid, value);
}
