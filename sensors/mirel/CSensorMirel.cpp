#include "sensors/mirel/CSensorMirel.h"

#include "sensors/interface/SensorExports.h"

VUG_SENSOR_PLUGIN(CSensorMirel)

CSensorMirel::CSensorMirel()
    : SerialSensor({"Мирел 1,2,3,4 (12 бит)", "Mirel 1,2,3,4 (12 bit)", QUuid("{22cb2660-21f2-4c55-9d5e-6a65c172f127}"), 0x1FBF},
                   AdditionalInput::PgOrGsr, 0)
{
}
