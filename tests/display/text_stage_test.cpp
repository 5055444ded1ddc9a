// What the text stage decides: formats, the help box and its place, the
// warnings with their latches, and the track table's rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "frame_rules.h"
#include "help_texts.h"
#include "status_texts.h"
#include "text_format.h"
#include "text_stage.h"
#include "sim_speed.h"
#include "track_table.h"
#include "warnings.h"

namespace zt40 {
namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

class TextStageTest : public ::testing::Test {
protected:
    void SetUp() override {
        copy = std::make_unique<LocomotiveState>();
        copy->displayScale = 5.0;
        copy->clientWidth = 1600;
        copy->clientHeight = 1170;
    }
    std::array<std::string, 3> help(int item) { return helpLines(item, *copy, rules, means); }
    TextStage stage() {
        return composeTextStage(*copy, rules, memory, means, TextLayer(referenceCell, copy->clientWidth, copy->clientHeight));
    }
    // The first lines of the frame's warning boxes, in drawing order.
    std::vector<std::string> warnings() {
        std::vector<std::string> firstLines;
        for (const TextBox& box : stage().warnings) firstLines.push_back(box.lines[0]);
        return firstLines;
    }
    bool warns(const std::string& first) {
        const auto shown = warnings();
        return std::find(shown.begin(), shown.end(), first) != shown.end();
    }
    std::unique_ptr<LocomotiveState> copy;
    FrameState rules;
    DisplayMemory memory;
    AverageMeans means{};
};

TEST_F(TextStageTest, FormatsPrintAsTheCLibraryAndBoxesCountCharacters) {
    EXPECT_EQ(simSpeedText(SimSpeed::stopCode), "STOP");
    EXPECT_EQ(simSpeedText(-1), "1:2");
    EXPECT_EQ(simSpeedText(0), "1:1");
    EXPECT_EQ(simSpeedText(3), "10:1");
    EXPECT_EQ(formatText("Bremse=%i %%", 40), "Bremse=40 %");
    EXPECT_EQ(formatText("%1.1f", infinity), "inf");
    const std::string longLine = formatText("%1.1f", 1.23e100);  // no buffer to overrun
    EXPECT_EQ(longLine.size(), 103u);

    // "Ø", "°", "²" and "ü" are one character each: 8 px.
    EXPECT_EQ(characterCount("Ø°²ü"), 4u);
    const TextBox box{100, 200, {"Ø=1", "Füllung", ""}};
    const TextExtent o = outlineOf(box);
    EXPECT_EQ(o.left, 90);
    EXPECT_EQ(o.top, 195);
    EXPECT_EQ(o.right, 100 + 8 * 7);
    EXPECT_EQ(o.bottom, 200 + 37);  // two lines
}

TEST_F(TextStageTest, StatusLinesPrintTheDriversValues) {
    copy->regulator = 12;  // mm of main valve
    copy->reverser = -90;
    copy->trainSpeed = 10.0;
    copy->wheelSpeed = 10.0;
    copy->simTime = 125.5;
    const auto lines = statusLines(*copy, 0.05, 12.0);
    EXPECT_EQ(lines[1], "Hauptventil=12 % Füllung=45.0 %");
    EXPECT_EQ(lines[2], "Geschw. Schiene=36.0 km/h Rad=36.0 km/h");
    EXPECT_EQ(lines[4], "Zeit=   2 :  5.50 min : sec.hsec");
    EXPECT_EQ(lines[6], "Kohleverbr.=3.0 kg/min Insgesamt=12.0 kg");
}

TEST_F(TextStageTest, HelpBoxStaysInsideTheWindow) {
    const std::array<std::string, 3> lines{"Tachometer", "Geschw.=36.0 km/h", ""};  // 17 characters
    TextBox box = placeHelpBox(lines, 1590, 300, copy->clientWidth);
    EXPECT_EQ(outlineOf(box).right, copy->clientWidth);
    EXPECT_EQ(box.y, 340);
    box = placeHelpBox(lines, 20, 300, copy->clientWidth);
    EXPECT_EQ(box.x, 10);
    EXPECT_EQ(placeHelpBox(lines, 500, 0, copy->clientWidth).x, 500 - 3 * 17);

    // Only after the hover delay; the regulator's feel at once, at its own place.
    copy->hoverTarget = hover::speedometer;
    EXPECT_FALSE(stage().help);
    copy->hoverHintVisible = true;
    EXPECT_TRUE(stage().help);
    copy->hoverHintVisible = false;
    copy->hoverTarget = hover::regulatorMode;
    copy->regulatorLighter = true;
    const auto feel = stage().help;
    ASSERT_TRUE(feel);
    EXPECT_EQ(feel->lines[2], "leichtgängig");
    EXPECT_EQ(feel->y, 550 / 5 + 40);
}

TEST_F(TextStageTest, HelpItemsShowWhatTheyShould) {
    copy->trackAutomatic = true;
    EXPECT_EQ(lineCount({0, 0, help(hover::gradientBand)}), 2);
    copy->trackAutomatic = false;
    EXPECT_EQ(lineCount({0, 0, help(hover::gradientBand)}), 3);
    EXPECT_TRUE(help(0)[0].empty());
    const std::array<std::string, 3> dialog{"Dialog öffnen um", "Daten zu verändern", "Taste [L]"};
    EXPECT_EQ(help(hover::dataButton), dialog);
    EXPECT_EQ(help(hover::autoControlButton), dialog);

    // Just after a stop there is no tractive effort to divide out; at creep
    // speed the figure stops where the indicator diagram's line stops.
    means.wheelPower = 800.0f;
    EXPECT_EQ(help(hover::powerColumn)[2], "Zugkraft Ø=0.0 kN");
    copy->wheelSpeed = -10.0;
    EXPECT_EQ(help(hover::powerColumn)[2], "Zugkraft Ø=80.0 kN");
    copy->wheelSpeed = 1e-12;
    const double reach = (2700.0 + 4 * 1170 * 5.0) / 11.1111;  // kN: 4 window heights above the zero line
    EXPECT_EQ(help(hover::powerColumn)[2], formatText("Zugkraft Ø=%1.1f kN", reach));
    means.wheelPower = -800.0f;  // braking
    EXPECT_EQ(help(hover::powerColumn)[2], formatText("Zugkraft Ø=%1.1f kN", -reach));
    copy->wheelSpeed = -10.0;

    // Water per km: infinite at a standstill, and after a slip at one.
    copy->waterPerKm = 40.0;
    EXPECT_EQ(help(hover::waterColumn)[1], "= unendlich l/km");
    copy->trainSpeed = 0.5;
    EXPECT_EQ(help(hover::waterColumn)[1], " = 40.00 l/km (Rot)");
    copy->waterPerKm = infinity;
    means.waterPerKm = std::numeric_limits<float>::infinity();
    EXPECT_EQ(help(hover::waterColumn)[1], "= unendlich l/km");
    EXPECT_EQ(help(hover::waterColumn)[2], "Ø= unendlich l/km (Blau)");
}

// The first line of every help item, with the values below.
TEST_F(TextStageTest, EveryHelpItemOpensWithItsOwnLine) {
    copy->pilotValve = 7;
    copy->reverser = -90;
    copy->brake = 40;
    copy->gradient = -5;
    copy->cylinderWallTemp = 373.0;
    copy->sandSeconds = 1800.0;
    copy->tankWater = 12000.0;
    copy->fireRate = 50;
    copy->fireSetpoint = 30;
    copy->autoFiring = true;
    copy->injectorRate = 20;
    copy->blowerSetting = 25;
    const char* firstLines[] = {
        "Regler=7",
        "Steuerung=45.0 %",
        "Bremse=40 %",
        "Steigung=-5 Promille",
        "Geschwindigkeit der Simulation",
        "Temperaturmanipulation 100.0°C",
        "Sand ein/aus 1800.0 Sec",
        "Entwässerung ein/aus",
        "Wasser tanken 12000.0",
        "Text und/oder",
        "Gewicht erhöhen erniedrigen",
        "Kesseldruckmanometer",
        "Pyrometer Schieberkasten",
        "Bremsmanometer  ",
        "Schieberkastenmanometer",
        "Tachometer",
        "Steuerskala",
        "Ausgestoßene Masse am Blasrohr",
        "Abgegebene und Bremsleistung",
        "Feuerleist.= 50 % entsp. 0.0 kg/min Kohle (Rot)",
        "Beschleunigung",
        "Feuerbüchse L=30 % Status: Auto",
        "Sound Ein/Aus",
        "Zylinder Arbeitsraum hinten",
        "Zylinder Arbeitsraum vorne",
        "Schieber innen",
        "Schieber Auslass",
        "Wasserstand mit drei Marken für Niedrigwasser",
        "Injektor= 20 l/min Status: Manuell",
        "Hilfsbläser= 25 %",
        "Indikatordiagramm",
        "Dialog öffnen um",
        "Streckenfunktion",
        "Momentaner Wasserverbrauch",
        "Drossel für Gegendruckbremse",
        "Wassereinspritzung in den Zylinder",
        "Absperrschieber",
        "Absperrschieber",
        "Schalldämpfer der Gegendruckbremse",
        "Drossel für Gegendruckbremse",
        "Blasrohr mit Hilfsbläser",
        "Saugrohr zum Ansaugen",
        "Reglerbedienung für Maus",
        "Dialog öffnen um",
    };
    for (int item = 1; item <= 44; ++item) EXPECT_EQ(help(item)[0], firstLines[item - 1]) << "item " << item;
}

TEST_F(TextStageTest, HiddenTextsShowNothing) {
    copy->hoverTarget = hover::regulatorMode;
    copy->wheelSlip = true;
    copy->textHidden = true;
    const TextStage hidden = stage();
    EXPECT_FALSE(hidden.shown);
    EXPECT_FALSE(hidden.help);
    EXPECT_TRUE(hidden.warnings.empty());
}

TEST_F(TextStageTest, WarningsInTheirOrderPrimingInLitresOrMillilitres) {
    EXPECT_EQ(primingText(0.5), "Wasserübereißen 500 ml/s");
    EXPECT_EQ(primingText(1.5), "Wasserübereißen 1.500 l/s");

    copy->wheelSpeed = 22.0;
    copy->wheelSlip = true;
    copy->sandingOn = true;
    copy->fireShortfall = 5;
    copy->trueWaterDepth = 480.0;
    rules.shownWarning = Warning::priming;
    rules.shownWarningFrames = 50;
    copy->primingRate = 0.5;
    const std::vector<std::string> expected{"Langsamer fahren !", "Schleudern!", "Kein Sand mehr vorhanden !",
                                            "Unvollständige Verbrennung", "Wasserübereißen 500 ml/s", "GEFAHR !!!"};
    EXPECT_EQ(warnings(), expected);
}

TEST_F(TextStageTest, LatchesKeepWarningsUntilTheCauseHasGone) {
    // Boiler limit: shown above 70, kept down to 65.
    means.heatingSurfaceLoad = 68.0f;
    EXPECT_FALSE(warns("Gefahr von Kesselschäden!"));
    means.heatingSurfaceLoad = 71.0f;
    EXPECT_TRUE(warns("Gefahr von Kesselschäden!"));
    means.heatingSurfaceLoad = 65.0f;
    EXPECT_TRUE(warns("Gefahr von Kesselschäden!"));
    means.heatingSurfaceLoad = 64.9f;
    EXPECT_TRUE(warns("Gefahr von Kesselschäden!"));  // drawn once more, then let go
    EXPECT_FALSE(warns("Gefahr von Kesselschäden!"));

    // The safety valve's warning outlasts the valve until the pressure is down.
    copy->safetyValveOpen = true;
    copy->boilerSteam.pressure = 1500000.0;
    EXPECT_TRUE(warns("Überdruck im Kessel"));
    copy->safetyValveOpen = false;
    EXPECT_TRUE(warns("Überdruck im Kessel"));
    copy->boilerSteam.pressure = 1390000.0;
    EXPECT_FALSE(warns("Überdruck im Kessel"));

    // Too short a cut-off at speed: the hint after 100 frames, gone at once with the cause.
    copy->trainSpeed = 20.0;
    copy->wheelSpeed = 20.0;
    copy->valvesEngaged = true;
    copy->reverser = -40;
    for (int i = 0; i < 100; ++i) ASSERT_FALSE(warns("Füllung auf min. 25 % erhöhen,")) << i;
    EXPECT_TRUE(warns("Füllung auf min. 25 % erhöhen,"));
    copy->reverser = -60;
    EXPECT_FALSE(warns("Füllung auf min. 25 % erhöhen,"));
    EXPECT_EQ(memory.equalizeCounter, 0);
}

TEST(TrackTableTexts, RowsAroundTheTrainWithItsMarker) {
    LocomotiveState copy{};
    copy.clientWidth = 1000;
    copy.distance = 250.0;
    copy.trackAutomatic = true;
    TrackTableSnapshot snapshot;
    snapshot.rowCount = 4;
    snapshot.rows[0] = {0.0, 0.25f, 0, true, false, false, false};
    snapshot.rows[1] = {200.0, 0.2f, 5, false, false, false, true};
    snapshot.rows[2] = {300.0, 0.25f, -3, false, false, true, false};
    snapshot.rows[3] = {400.0, 0.25f, 0, false, false, false, false};
    const auto texts = trackTableTexts(snapshot, copy);
    ASSERT_EQ(texts.size(), 4u * 3 + 3);
    constexpr Rgb blue{0, 0, 255}, green{0, 255, 0}, red{255, 0, 0};
    const auto is = [](const TableText& t, int x, int y, const std::string& text, Rgb c) {
        return t.x == x && t.y == y && t.text == text && t.colour.r == c.r && t.colour.g == c.g && t.colour.b == c.b;
    };
    EXPECT_TRUE(is(texts[0], 650, 5, "Weg = 0.00", blue));
    EXPECT_TRUE(is(texts[4], 780, 21, "µ = 0.200", green));
    // The marker: both arrowheads inside the window, the distance between them.
    EXPECT_TRUE(is(texts[6], 640, 37, "<-----", red));
    EXPECT_TRUE(is(texts[7], 692, 37, " 250.0 m = Aktuelle Position ", red));
    EXPECT_EQ(texts[8].text.back(), '>');
    EXPECT_EQ(texts[8].x + 8 * static_cast<int>(texts[8].text.size()), 1000 - 8);
    EXPECT_GE(texts[8].x, 692 + 8 * 29);
    EXPECT_TRUE(is(texts[11], 860, 53, "Steigung = -3", green));
    EXPECT_TRUE(is(texts[12], 650, 69, "Weg = 400.00", black));

    // By hand, no marker; without a current point (the list failed), no rows.
    copy.trackAutomatic = false;
    EXPECT_EQ(trackTableTexts(snapshot, copy).size(), 4u * 3);
    EXPECT_TRUE(trackTableTexts(takeTrackTableSnapshot(LocomotiveState{}), copy).empty());
}

}  // namespace
}  // namespace zt40
