#include "sensors/vorkel/CSensorVorkel.h"

#include "sensors/interface/SensorExports.h"

VUG_SENSOR_PLUGIN(CSensorVorkel)

CSensorVorkel::CSensorVorkel()
    : SerialSensor({"Воркел12 (12 бит)", "Vorkel12 (12 bit)", QUuid("{11111111-f249-4b67-abf7-839b8b6fb8a0}"), 0x1FFF},
                   AdditionalInput::PgOrGsr, 0)
{
}
