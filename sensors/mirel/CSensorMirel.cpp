#include "sensors/mirel/CSensorMirel.h"

#include "sensors/interface/SensorExports.h"

VUG_COUNTING_SENSOR_PLUGIN(CSensorMirel)

CSensorMirel::CSensorMirel()
    : MirelSensor({"Мирел 1,2,3,4 (12 бит)", "Mirel 1,2,3,4 (12 bit)", QUuid("{22cb2660-21f2-4c55-9d5e-6a65c172f127}"), 0x1FBF}, 1)
{
}

qint16 CSensorMirel::sample(quint16 word) const
{
    // The unit's zero reading stands for the bottom of the scale, kept symmetric.
    const int value = word & 0x0FFF;
    return qint16(value == 0 ? -2047 : value - 2048);
}
