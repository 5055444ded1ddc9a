#include "help_texts.h"

#include <algorithm>
#include <cmath>

#include "cab_controls.h"
#include "indicator_panel.h"
#include "indicator_scale.h"
#include "numeric.h"
#include "text_format.h"

namespace zt40 {

namespace {

using Lines = std::array<std::string, 3>;

constexpr double pascalPerBar = 100000.0;
constexpr double kelvinAtZeroCelsius = 273.0;
constexpr double litresPerCubicMetre = 1000.0;
constexpr double gaugeTop = 454.0;  // mm on the depth scale: the top of the glass

double bar(double pascal) { return pascal / pascalPerBar; }
double celsius(double kelvin) { return kelvin - kelvinAtZeroCelsius; }
double minus(double value) { return -value; }

// Pressure and temperature of a steam space, as the cylinder and valve items show them.
std::string pressureAndTemperature(const GasSpace& space) {
    return formatText("Druck= %1.3f bar Temperatur= %1.1f°C", bar(space.pressure), celsius(space.temperature));
}

std::string volumeAndWater(const GasSpace& space) {
    return formatText("Volumen= %1.1f dm³ Wasser= %1.3f dm³", space.volume * litresPerCubicMetre,
                      space.waterMass);  // 1 kg of water is 1 dm³
}

std::string waterOnly(const GasSpace& space) { return formatText("Wasser= %1.3f dm³", space.waterMass); }

// Tractive effort from the power average, kN, bounded as the indicator
// diagram bounds its line; nothing pulls at standstill.
double averageTractiveEffort(double powerMean, const LocomotiveState& c) {
    if (c.wheelSpeed == 0.0) return 0.0;
    const double reach = meanTractiveForceReach(c);                        // kN
    return std::clamp(powerMean / std::fabs(c.wheelSpeed), -reach, reach);  // kN from kW over m/s
}

// Height of the indicator diagram's pressure and force scales at the pointer.
double indicatorScale(const LocomotiveState& copy, double millimetresPerUnit) {
    const double s = copy.displayScale;
    return (truncateTo<int>(indicator::zeroLineMm / s) - copy.mouseY) * s / millimetresPerUnit;
}

std::string regulatorFeel(const LocomotiveState& copy) {
    if (copy.regulatorLighter && copy.regulatorHeavier) return "superschwergängig";
    if (copy.regulatorLighter) return "leichtgängig";
    if (copy.regulatorHeavier) return "schwergängig";
    return "ausgeschaltet";
}

Lines waterConsumption(const LocomotiveState& copy, float waterPerKmMean) {
    // A standing train, or one that just slipped at a standstill, uses water without covering ground.
    Lines lines{"Momentaner Wasserverbrauch"};
    lines[1] = copy.trainSpeed == 0.0 || !std::isfinite(copy.waterPerKm)
                   ? "= unendlich l/km"
                   : formatText(" = %1.2f l/km (Rot)", copy.waterPerKm);
    lines[2] = std::isfinite(waterPerKmMean) ? formatText("Ø= %1.2f l/km (Blau)", waterPerKmMean)
                                             : "Ø= unendlich l/km (Blau)";
    return lines;
}

// The driver's controls and switches.
Lines controlItem(int item, const LocomotiveState& c) {
    switch (item) {
        case hover::regulatorLever: return {formatText("Regler=%i", c.pilotValve), "Tasten [Strg] [Shift]", "Regler schließen rechte Maus"};
        case hover::reverserWheel:
            return {formatText("Steuerung=%0.1f %%", minus(c.reverser) * 0.5), "Tasten [links] [rechts]",
                    "Regler schließen rechte Maus"};
        case hover::brakeHandle: return {formatText("Bremse=%i %%", c.brake), "Tasten [+] [-] Num-Block", ""};
        case hover::gradientBand:
            return {formatText("Steigung=%i Promille", c.gradient), formatText("Reibfaktor= %1.3f", c.frictionFactor),
                    cab::gradientByHand(c) ? "Tasten [Hoch] [Runter]" : ""};
        case hover::speedButton: return {"Geschwindigkeit der Simulation", "Tasten [/] [*] Num-Block", ""};
        case hover::temperatureButton:
            return {formatText("Temperaturmanipulation %1.1f°C", celsius(c.cylinderWallTemp)),
                    "Tasten [Tab] [Back]", "auch während der Fahrt"};
        case hover::sandingLever: return {formatText("Sand ein/aus %1.1f Sec", c.sandSeconds), "vorhanden Taste [Space]", ""};
        case hover::drainCockLever: return {"Entwässerung ein/aus", "Taste [Return]", ""};
        case hover::waterButton: return {formatText("Wasser tanken %1.1f", c.tankWater), "Liter vorhanden", "Taste [Einfg]"};
        case hover::displayButton: return {"Text und/oder", "Idikator anzeigen", "Taste [Alt]"};
        case hover::weightButtons: return {"Gewicht erhöhen erniedrigen", "Tasten [Bild auf] [Bild ab]", ""};
        default: return {};
    }
}

// The instruments and the panel's diagrams.
Lines instrumentItem(int item, const LocomotiveState& c, const FrameState& frame, const AverageMeans& means) {
    switch (item) {
        case hover::boilerGauge:
            return {"Kesseldruckmanometer", formatText("Druck=%1.2f bar", bar(c.boilerSteam.pressure)),
                    formatText("Temperatur=%1.1f °C", celsius(c.boilerSteam.temperature))};
        case hover::steamChestPyrometer:
            return {"Pyrometer Schieberkasten", formatText("Temperatur=%1.1f°C", celsius(c.steamChestPyrometer)), ""};
        case hover::brakeGauge: return {"Bremsmanometer  ", formatText("Bremse=%i %%", c.brake), ""};
        case hover::steamChestGauge: return {"Schieberkastenmanometer", formatText("Druck=%1.2f bar", bar(c.steamChest.pressure)), ""};
        case hover::speedometer: return {"Tachometer", formatText("Geschw.=%1.1f km/h", c.wheelSpeed * 3.6), ""};
        case hover::cutOffScale: return {"Steuerskala", formatText("Füllung=%0.1f %%", minus(c.reverser) * 0.5), ""};
        case hover::blastPipeMassColumn: {
            const double steam = c.blowerSteamFlow + (c.blastPipeClosed ? 0.0 : c.blastPipeFlow);  // kg/s
            return {"Ausgestoßene Masse am Blasrohr", formatText("Dampf=%1.1f kg/s (Rot)", steam),
                    formatText("Wasser= %1.3f kg/s (Blau)", c.blastPipeAuxFlow)};
        }
        case hover::powerColumn:
            return {"Abgegebene und Bremsleistung",
                    formatText("L=%1.1f kW (R) Ø=%1.1f kW (B)", c.wheelPower, means.wheelPower),
                    formatText("Zugkraft Ø=%1.1f kN", averageTractiveEffort(means.wheelPower, c))};
        case hover::firingColumn:
            return {formatText("Feuerleist.= %i %% entsp. %1.1f kg/min Kohle (Rot)", c.fireRate, frame.coalRate * 60.0),
                    formatText("Abgegebener Dampf = %1.1f kg/min", c.boilerSteamDraw * 60.0),
                    formatText("Heizflächenbel. Ø= %1.1f kg/m²h (Blau)", means.heatingSurfaceLoad)};
        case hover::accelerationColumn:
            return {"Beschleunigung", formatText("a=%1.3f m/s² (Rot)", c.acceleration),
                    formatText("Ø=%1.3f m/s² (Blau)", means.acceleration)};
        default: return {};
    }
}

// Fire, sound, the cut-away engine, water and the counter-pressure brake.
Lines engineItem(int item, const LocomotiveState& c, const AverageMeans& means) {
    switch (item) {
        case hover::firing:
            return {formatText(c.autoFiring ? "Feuerbüchse L=%i %% Status: Auto"
                                            : "Feuerbüchse L=%i %% Status: Manu",
                               c.fireSetpoint),
                    "Tasten [D] und [F] oder Auto / Manu. [G]", "oder Maus Linke Taste Doppelklick"};
        case hover::soundButton: return {"Sound Ein/Aus", "Taste [S]", c.soundOn ? "eingeschaltet" : "ausgeschaltet"};
        case hover::rearWorkingSpace:
            return {"Zylinder Arbeitsraum hinten", pressureAndTemperature(c.cylinder1SpaceB), volumeAndWater(c.cylinder1SpaceB)};
        case hover::frontWorkingSpace:
            return {"Zylinder Arbeitsraum vorne", pressureAndTemperature(c.cylinder1SpaceA), volumeAndWater(c.cylinder1SpaceA)};
        case hover::valveSteamChest: return {"Schieber innen", pressureAndTemperature(c.steamChest), waterOnly(c.steamChest)};
        case hover::valveExhaust: return {"Schieber Auslass", pressureAndTemperature(c.exhaustSpace), waterOnly(c.exhaustSpace)};
        case hover::waterGauges:
            return {"Wasserstand mit drei Marken für Niedrigwasser",
                    "mittlere für normale, die Anderen für Steilstrecken",
                    formatText("scheinbare %1.1f und wahre %1.1f Wasserhöhe in mm", gaugeTop - c.gaugeGlassLevel,
                               gaugeTop - c.trueWaterDepth)};
        case hover::injector:
            return {formatText(c.injectorAutomatic ? "Injektor= %i l/min Status: Automatik"
                                                   : "Injektor= %i l/min Status: Manuell",
                               c.injectorRate),
                    "Tasten [Y] und [X] oder Auto / Manu. [A]", "oder Maus Linke Taste Doppelklick"};
        case hover::blowerWheel: return {formatText("Hilfsbläser= %i %%", c.blowerSetting), "Tasten [C] und [V]", ""};
        case hover::indicatorDiagram:
            return {"Indikatordiagramm", formatText("entsprechender Druck= %1.1f bar", indicatorScale(c, indicator::mmPerBar)),
                    formatText("Zugkraft = %1.1fkN", indicatorScale(c, indicator::mmPerKilonewton))};
        case hover::dataButton:
        case hover::autoControlButton:  // says what the data button says
            return {"Dialog öffnen um", "Daten zu verändern", "Taste [L]"};
        case hover::trackModeButton: return {"Streckenfunktion", c.trackAutomatic ? "Status: Automatik" : "Status: Manuell", "Taste [T]"};
        case hover::waterColumn: return waterConsumption(c, means.waterPerKm);
        case hover::throttleWheel:
            return {"Drossel für Gegendruckbremse", "Tasten [J] und [K]",
                    formatText("Öffnung= %i %%", c.counterPressureThrottle)};
        case hover::injectionWheel:
            return {"Wassereinspritzung in den Zylinder", "zur Kühlung während des Gegendruckbetriebes",
                    formatText("Tasten [N] und [M] Öffnung= %i %%", c.cylinderWaterInjection)};
        case hover::blastPipeLever: return {"Absperrschieber", "für Blasrohr", "Taste [B]"};
        case hover::blastPipeValveDrawing: return {"Absperrschieber", "für Blasrohr", ""};
        case hover::silencer:
            return {"Schalldämpfer der Gegendruckbremse", "für geräuscharmen Luftaustritt",
                    formatText("durchfließende Masse=%1.1f kg/s", c.counterPressureThrottleFlow)};
        case hover::throttleDrawing: return {"Drossel für Gegendruckbremse", formatText("Öffnung= %i %%", c.counterPressureThrottle), ""};
        case hover::blowerBlastPipe:
            return {"Blasrohr mit Hilfsbläser", formatText("Masse=%1.1f kg/s", c.blastPipeClosed ? 0.0 : c.blastPipeFlow),
                    formatText("Masse vom Hilfsbläser=%1.1f kg/s", c.blowerSteamFlow)};
        case hover::airSuctionPipe:
            return {"Saugrohr zum Ansaugen", "von sauberer Luft",
                    formatText("Masse=%1.1f kg/s", c.blastPipeClosed ? c.blastPipeFlow : 0.0)};
        case hover::regulatorMode: return {"Reglerbedienung für Maus", "Simulation Druckpunkt", regulatorFeel(c)};
        default: return {};
    }
}

}  // namespace

std::array<std::string, 3> helpLines(int item, const LocomotiveState& copy, const FrameState& frame,
                                     const AverageMeans& means) {
    if (item <= hover::weightButtons) return controlItem(item, copy);
    if (item <= hover::accelerationColumn) return instrumentItem(item, copy, frame, means);
    return engineItem(item, copy, means);
}

}  // namespace zt40
