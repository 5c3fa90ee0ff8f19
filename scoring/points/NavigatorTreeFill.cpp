#include "NavigatorTreeFill.h"

#include "QuestKey.h"
#include "SignBrushes.h"

#include <QCoreApplication>
#include <QStandardItem>

namespace {

const char kContext[] = "InspectionAnalysisBallFancy";
const QColor kCellShade(230, 230, 230);

const char *const kToolTips[] = {
    QT_TRANSLATE_NOOP("InspectionAnalysisBallFancy",
                      "Коэффициент информативности (Кинф) в данном случае характеризует степень информативности "
                      "физиологического показателя (канала: Дых, КГР, Кардио).Величина Кинфотражает относительный "
                      "вклад канала в общий балл, набранный значимым стимулом при экспертной оценке.Этот "
                      "коэфиициент несёт информацию о силе связи физиологического показателя со значимостью "
                      "стимула и отражает его «способность» (относительно других физиологических показателей) "
                      "«распознавать ложь» на проверочные вопросы.Приемлемый Кинф ≥ 0,3."),
    QT_TRANSLATE_NOOP("InspectionAnalysisBallFancy",
                      "Коэффициент информативности общий (Кобщ) отражает общую активность физиологического "
                      "показателя (канала), его способность к демонстрации реакции как на индифферентные "
                      "(нейтральные), так и на значимые (контрольные) стимулы служебного теста.Может отражать как "
                      "«степень шума» физиологического показателя (реакции фиксируются и на нейтральные и на "
                      "контрольные стимулы), так и степень его пассивности, в том числе по причине его "
                      "«задавленности» другим активными (шумящими) физиологическими показателями (каналами)."
                      "Приемлемая величина Кобщ составляет 0,3 или 0,4.Если Кобщ больше или меньше этих значений, "
                      "его оценку следует проводить совокупно с данными по коэффициенту специфичности (Кспециф)."),
    QT_TRANSLATE_NOOP("InspectionAnalysisBallFancy",
                      "Коэффициент специфичности (Кспециф) несёт информацию о степени способности физиологического "
                      "показателя (канала) «отличать» значимые (контрольные) стимулы от индифферентных "
                      "(нейтральных) вопросов. Его величина отражает степень силы реакций на контрольные стимулы по "
                      "сравнению с реагированием на нейтральные вопросы. Приемлемый Кспециф ≥ 0,3."),
};

}  // namespace

QString NavigatorTreeFill::toolTip(NavigatorSums::Coefficient kind)
{
    return QCoreApplication::translate(kContext, kToolTips[kind]);
}

QStringList NavigatorTreeFill::trailingHeaders() const
{
    return {QCoreApplication::translate(kContext, "Сумма баллов"), QCoreApplication::translate(kContext, "Кинф"),
            QCoreApplication::translate(kContext, "Кобщ"), QCoreApplication::translate(kContext, "Кспециф"),
            QString()};
}

QVector<int> NavigatorTreeFill::columnWidths() const
{
    QVector<int> widths(presentationColumns() + 6, 50);
    widths[0] = 300;
    widths[presentationColumns() + 1] = -1;
    for (int column = presentationColumns() + 2; column <= presentationColumns() + 4; ++column)
        widths[column] = 150;
    widths[presentationColumns() + 5] = -1;
    return widths;
}

void NavigatorTreeFill::fillTest(QStandardItem *row, int testIndex, const InspectionTest &test)
{
    const NavigatorSums sums(test, scaleMap(test));
    for (int channel = 0; channel < 3; ++channel) {
        QStandardItem *channelRow = childRow(row, channel);
        channelRow->setText(channelCaption(channel));
        makeInert(channelRow);
        channelRow->setForeground(QColor(Qt::black));
        for (int presentation = 1; presentation <= presentationColumns(); ++presentation) {
            if (presentation > test.presentationCount()) {
                clearCell(channelRow, presentation);
                continue;
            }
            const QuestKey key{testIndex, presentation, channel, -1};
            putCell(channelRow, presentation, pointsLook(test, presentation, sums.points(channel, presentation)), &key);
        }
        CellLook total;
        total.text = number(sums.total(channel));
        total.selectable = false;
        putCell(channelRow, presentationColumns() + 1, total);
        putCoefficients(channelRow, sums, channel);
    }
}

NavigatorTreeFill::CellLook NavigatorTreeFill::pointsLook(const InspectionTest &test, int presentation,
                                                          float points) const
{
    CellLook look;
    look.text = number(points);
    look.background = kCellShade;
    if (test.valuationBall_GroupsDisabled.contains(presentation))
        look.foreground = QColor(Qt::darkGray);
    else if (scale() == 1 || scale() == 2)
        look.foreground = signBrush(points);
    return look;
}

// A coefficient whose condition does not hold leaves its place empty, also
// where an earlier build wrote one.
void NavigatorTreeFill::putCoefficients(QStandardItem *channelRow, const NavigatorSums &sums, int channel) const
{
    for (auto kind : {NavigatorSums::Informativeness, NavigatorSums::Generality, NavigatorSums::Specificity}) {
        const int column = presentationColumns() + 2 + kind;
        if (!sums.has(kind)) {
            clearCell(channelRow, column);
            continue;
        }
        const float value = sums.coefficient(kind, channel);
        CellLook look;
        look.text = number(value, 2);
        look.selectable = false;
        const QColor color = NavigatorSums::bandColor(kind, value);
        if (color.isValid())
            look.foreground = color;
        look.toolTip = toolTip(kind);
        putCell(channelRow, column, look);
    }
}
