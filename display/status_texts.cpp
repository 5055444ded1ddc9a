#include "status_texts.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "text_format.h"
#include "numeric.h"
#include "sim_speed.h"

namespace zt40 {

std::string simSpeedText(int simSpeedCode) {
    return std::string(SimSpeed(truncateTo<std::int8_t>(simSpeedCode)).label());
}

std::array<std::string, statusLineCount> statusLines(const LocomotiveState& c, double coalRate, double coalTotal) {
    const double minutes = std::floor(c.simTime / 60.0);
    const double seconds = (c.simTime / 60.0 - minutes) * 60.0;
    return {
        formatText("Steigung=%i %%o Strecke=%1.3f Meter", c.gradient, c.distance),
        // The main valve's opening in millimetres, under the name the driver knows.
        formatText("Hauptventil=%i %% Füllung=%0.1f %%", c.regulator, -c.reverser * 0.5),
        formatText("Geschw. Schiene=%1.1f km/h Rad=%1.1f km/h", c.trainSpeed * 3.6, c.wheelSpeed * 3.6),
        formatText("Zylindertemp %1.1f °C Feuer %i %%", c.cylinderWallTemp - 273.0, c.fireSetpoint),
        formatText("Zeit= %3.0f : %5.2f min : sec.hsec", minutes, seconds),
        formatText("Wasser=%1.2f l Sand=%1.1f s", c.tankWater, c.sandSeconds),
        formatText("Kohleverbr.=%1.1f kg/min Insgesamt=%1.1f kg", coalRate * 60.0, coalTotal),
    };
}

}  // namespace zt40
