// Questions of a test and its presentation plan.
#include "InspectionTest.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

InspectionOrder planEntry(int theme, int group)
{
    InspectionOrder entry;
    entry.Theme = qint16(theme);
    entry.Group = qint16(group);
    return entry;
}

bool isGroupHeader(const InspectionOrder &entry) { return entry.Theme < 0 && entry.Group >= 0; }

bool isHeadEntry(const InspectionOrder &entry) { return entry.Theme < 0 && entry.Group < 0; }

// More presentations than any examination holds; the tree cannot show tens of thousands.
constexpr int kMaxPresentations = 99;

QString planText(const char *text)
{
    return QCoreApplication::translate("Inspection", text);
}

// Stored plans come from files: an index that names no question yields a
// shared empty question instead of reading outside the lists. One template for
// both constness, so a written test still detaches from its copies.
template <typename Test>
auto themeAt(Test &test, int index) -> decltype(test.themis[index])
{
    static InspectionTheme empty;
    if (index >= 10000) {
        if (index - 10000 < test.themisNULL.size())
            return test.themisNULL[index - 10000];
    } else if (index >= 0 && index < test.themis.size()) {
        return test.themis[index];
    }
    empty = InspectionTheme();
    return empty;
}

}  // namespace

InspectionTheme &InspectionTest::theme(int index) { return themeAt(*this, index); }

const InspectionTheme &InspectionTest::theme(int index) const { return themeAt(*this, index); }

int InspectionTest::indexOfThemeType(int type) const
{
    for (int i = 0; i < themis.size(); ++i) {
        if (themis[i].Type == type)
            return i;
    }
    return -1;
}

int InspectionTest::countThemesOfType(int type) const
{
    return int(std::count_if(themis.begin(), themis.end(),
                             [type](const InspectionTheme &t) { return t.Type == type; }));
}

// Both lists: a question changed to P stays among the regular ones.
int InspectionTest::countThemesOfSubType(int subType) const
{
    auto ofSubType = [subType](const InspectionTheme &t) { return t.SubType == subType; };
    return int(std::count_if(themis.begin(), themis.end(), ofSubType)
               + std::count_if(themisNULL.begin(), themisNULL.end(), ofSubType));
}

int InspectionTest::countPictureThemes() const
{
    auto withPicture = [](const InspectionTheme &t) { return t.hasPicture(); };
    return int(std::count_if(themis.begin(), themis.end(), withPicture)
               + std::count_if(themisNULL.begin(), themisNULL.end(), withPicture));
}

void InspectionTest::addTheme(const QString &text, int kind, int group, int position)
{
    InspectionTheme added(text, kind);
    QVector<InspectionTheme> &list = added.isNull() ? themisNULL : themis;
    if (QuestionKind::isInternational(added.SubType))
        added.Number = qint16(1 + countThemesOfSubType(added.SubType));
    list.append(added);
    const int entryTheme = added.isNull() ? 9999 + themisNULL.size() : themis.size() - 1;

    if (orders.isEmpty()) {
        orders = {planEntry(-1, -1), planEntry(-1, 1), planEntry(entryTheme, 1)};
        return;
    }
    for (int i = 1; i < orders.size(); ++i) {
        if (!isGroupHeader(orders[i]))
            continue;
        const int g = orders[i].Group;
        i = insertPlanEntry(i, planEntry(entryTheme, g), g == group ? position : -1);
    }
}

void InspectionTest::addPresentation()
{
    // One head entry per plan: a test of null questions only has one already.
    if (orders.isEmpty())
        orders.append(planEntry(-1, -1));
    const int g = qMax(lastGroup(), 0) + 1;
    orders.append(planEntry(-1, g));
    for (int i = 0; i < themisNULL.size(); ++i)
        orders.append(planEntry(10000 + i, g));
    for (int i = 0; i < themis.size(); ++i)
        orders.append(planEntry(i, g));
}

// Inserts a question's entry into the group whose header stands at headerIndex
// and returns where it went. Null entries stay ahead of the ordinary ones, and
// a position counts from the group's first entry.
int InspectionTest::insertPlanEntry(int headerIndex, const InspectionOrder &entry, int position)
{
    int groupEnd = headerIndex + 1;
    while (groupEnd < orders.size() && orders[groupEnd].Theme >= 0)
        ++groupEnd;
    int nullEnd = headerIndex + 1;
    while (nullEnd < groupEnd && orders[nullEnd].Theme >= 10000)
        ++nullEnd;

    const bool isNull = entry.Theme >= 10000;
    const int first = isNull ? headerIndex + 1 : nullEnd;
    const int last = isNull ? nullEnd : groupEnd;
    const int at = position >= 0 ? qBound(first, headerIndex + 1 + position, last) : last;
    orders.insert(at, entry);
    return at;
}

void InspectionTest::renumberThemes(int subType)
{
    // Every question of the sub-kind gets a distinct number 1, 2, 3, ... in the
    // order of its present number; ties keep their list order.
    QVector<InspectionTheme *> matching;
    for (QVector<InspectionTheme> *list : {&themis, &themisNULL}) {
        for (InspectionTheme &t : *list) {
            if (t.SubType == subType)
                matching.append(&t);
        }
    }
    std::stable_sort(matching.begin(), matching.end(),
                     [](const InspectionTheme *a, const InspectionTheme *b) { return a->Number < b->Number; });
    for (int i = 0; i < matching.size(); ++i)
        matching[i]->Number = qint16(i + 1);
}

void InspectionTest::renumberAllThemes()
{
    QSet<int> subTypes;
    for (const QVector<InspectionTheme> *list : {&themis, &themisNULL}) {
        for (const InspectionTheme &t : *list)
            subTypes.insert(t.SubType);
    }
    for (int subType : subTypes)
        renumberThemes(subType);
}

int InspectionTest::lastGroup() const
{
    return orders.isEmpty() ? 0 : orders.last().Group;
}

InspectionOrder *InspectionTest::findOrder(int group, int theme)
{
    for (InspectionOrder &entry : orders) {
        if (entry.Group == group && entry.Theme == theme)
            return &entry;
    }
    return nullptr;
}

InspectionOrder *InspectionTest::swapOrderThemes(int group, int themeA, int themeB)
{
    InspectionOrder *a = findOrder(group, themeA);
    InspectionOrder *b = findOrder(group, themeB);
    if (a && b)
        std::swap(a->Theme, b->Theme);
    return b;
}

InspectionOrder *InspectionTest::orderTheme(int group, int n)
{
    const int index = indexOfOrder(group, n);
    return index < 0 ? nullptr : &orders[index];
}

int InspectionTest::indexOfOrder(int group, int n) const
{
    for (int i = 0; i < orders.size(); ++i) {
        if (orders[i].Theme >= 0 && orders[i].Group == group && n-- == 0)
            return i;
    }
    return -1;
}

QString InspectionTest::planFault() const
{
    if (orders.isEmpty())
        return QString();
    if (!isHeadEntry(orders[0]))
        return planText("план предъявлений не начинается с заголовка");
    QVector<bool> held;  // null questions first, then the regular ones
    int group = 0;
    int heldCount = 0;
    bool regularHeld = false;
    auto incomplete = [&] { return group > 0 && heldCount != held.size(); };
    for (int i = 1; i < orders.size(); ++i) {
        const InspectionOrder &entry = orders[i];
        if (isGroupHeader(entry)) {
            if (incomplete())
                return planText("предъявление %1 содержит не все вопросы").arg(group);
            if (entry.Group != group + 1)
                return planText("предъявления пронумерованы с пропуском или не по порядку");
            if (entry.Group > kMaxPresentations)
                return planText("предъявлений больше %1").arg(kMaxPresentations);
            ++group;
            held.fill(false, themisNULL.size() + themis.size());
            heldCount = 0;
            regularHeld = false;
            continue;
        }
        if (group == 0 || entry.Group != group)
            return planText("вопрос стоит вне своего предъявления");
        const bool isNull = entry.Theme >= 10000;
        const int index = isNull ? entry.Theme - 10000 : entry.Theme;
        if (index >= (isNull ? themisNULL.size() : themis.size()))
            return planText("план называет несуществующий вопрос");
        if (isNull && regularHeld)
            return planText("нулевой вопрос стоит после обычных в предъявлении %1").arg(group);
        bool &slot = held[isNull ? index : themisNULL.size() + index];
        if (slot)
            return planText("вопрос повторяется в предъявлении %1").arg(group);
        slot = true;
        ++heldCount;
        regularHeld = regularHeld || !isNull;
    }
    if (incomplete())
        return planText("предъявление %1 содержит не все вопросы").arg(group);
    return QString();
}
