#include "sensors/sentak/CSensorSentak.h"

#include "sensors/interface/SensorExports.h"

VUG_SENSOR_PLUGIN(CSensorSentak)

CSensorSentak::CSensorSentak()
    : SerialSensor({"Сентак (12 бит)", "Sentak (12 bit)", QUuid("{22222222-f249-4b67-abf7-839b8b6fb8a0}"), 0x15FF},
                   AdditionalInput::None, 0)
{
}
