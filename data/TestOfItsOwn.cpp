#include "TestOfItsOwn.h"

#include "Inspection.h"
#include "InspectionMedia.h"

namespace TestOfItsOwn {

void takeNewId(InspectionTest &test)
{
    test.id = QUuid::createUuid();
    test.foreignId.clear();
}

bool separate(const Inspection &subject, InspectionTest &test)
{
    InspectionTest before;
    before.id = test.id;
    before.foreignId = test.foreignId;
    before.name = test.name;
    takeNewId(test);
    return InspectionMedia::moveTestVideo(subject, before, subject, test) != InspectionMedia::VideoMove::Stayed;
}

}  // namespace TestOfItsOwn
