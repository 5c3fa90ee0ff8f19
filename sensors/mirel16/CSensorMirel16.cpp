#include "sensors/mirel16/CSensorMirel16.h"

#include "sensors/interface/SensorExports.h"

VUG_COUNTING_SENSOR_PLUGIN(CSensorMirel16)

CSensorMirel16::CSensorMirel16()
    : MirelSensor({"Мирел 5,7 (16 бит)", "Mirel 5,7 (16 bit)", QUuid("{a34f63ff-ac7a-46e1-bd4e-49fabaa572da}"), 0x1FBF}, 50)
{
}

qint16 CSensorMirel16::sample(quint16 word) const
{
    return qint16(quint16(4 * word - 32768));
}
