#include "sensors/mirel14/CSensorMirel14.h"

#include "sensors/interface/SensorExports.h"

VUG_COUNTING_SENSOR_PLUGIN(CSensorMirel14)

CSensorMirel14::CSensorMirel14()
    : MirelSensor({"Мирел 5,7 (12 бит)", "Mirel 5,7 (12 bit)", QUuid("{c583e7e6-fb07-423e-b4b3-9126439a6b5e}"), 0x1FBF}, 50)
{
}

qint16 CSensorMirel14::sample(quint16 word) const
{
    return qint16(((qint16(word) / 4) & 0x0FFF) - 2048);
}
