#include "status_texts.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "text_format.h"
#include "time_step.h"

namespace zt40 {

std::string simSpeedText(int simSpeedCode) {
    if (simSpeedCode <= simSpeedStop) return "STOP";
    constexpr int factors[] = {1, 2, 5, 10};
    const int factor = factors[std::min(std::abs(simSpeedCode), 3)];
    return simSpeedCode >= 0 ? formatText("%i:1", factor) : formatText("1:%i", factor);
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
