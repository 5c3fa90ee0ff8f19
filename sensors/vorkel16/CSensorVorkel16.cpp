#include "sensors/vorkel16/CSensorVorkel16.h"

#include "sensors/interface/SensorExports.h"

VUG_SENSOR_PLUGIN(CSensorVorkel16)

CSensorVorkel16::CSensorVorkel16()
    : SerialSensor({"Воркел16 (16 бит)", "Vorkel16 (16 bit)", QUuid("{05209770-fcc0-4ebd-99c3-0a64cafb2b1e}"), 0x1FFF},
                   AdditionalInput::PgOrGsr, 1)
{
}
