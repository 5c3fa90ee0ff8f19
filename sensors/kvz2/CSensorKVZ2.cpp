#include "sensors/kvz2/CSensorKVZ2.h"

#include "sensors/interface/SensorExports.h"

VUG_SENSOR_PLUGIN(CSensorKVZ2)

CSensorKVZ2::CSensorKVZ2()
    : SerialSensor({"КВЗ (12 бит)", "KVZ2 (12 bit)", QUuid("{fb4ed8c1-4ddc-488b-b653-557c6e67db3f}"), 0x1FBF},
                   AdditionalInput::PgOrGsr, 0)
{
}
