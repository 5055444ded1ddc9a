// The mouse through the main window's logic on a virtual clock: hover
// areas and cursors, clicks, held buttons and their repeats, and drags.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "cab_driving.h"
#include "cab_knobs.h"
#include "cursor_shapes.h"
#include "inline_simulation.h"
#include "mouse_commands.h"
#include "pointer_targets.h"
#include "virtual_platform.h"
#include "window_logic.h"

namespace zt40 {
namespace {

using M = MouseMessage;

// An area's edges: on each edge the pointer is outside (bounds are strict,
// or inclusive in y where marked), one pixel in it is inside. `probeX` and
// `probeY` say where to cross the other axis (0: the middle).
struct AreaEdges {
    int target;
    int left, right, top, bottom;  // px
    bool inclusiveY = false;
    int probeX = 0, probeY = 0;
};

class MouseTest : public ::testing::Test {
protected:
    void SetUp() override { open(8000, 6000); }  // one design unit a pixel

    void open(int width, int height) {
        window = std::make_unique<MainWindowLogic>(
            platform,
            EngineParts{std::make_unique<InlineSimulation>(), nullptr,
                       std::make_unique<CabDriving>(sound)},
            ShellOptions{});
        window->onCreate();
        window->onSize(width, height);
        LocomotiveState& st = s();
        st.indicatorShown = st.trackTableShown = st.textHidden = false;
        st.trackAutomatic = st.injectorAutomatic = st.autoFiring = false;
        st.wheelSpeed = st.trainSpeed = 0.0;
        st.pistonX = 5500, st.valveHeadRearX = 5200, st.valveHeadFrontX = 5800;
        platform.posted.clear();
    }
    LocomotiveState& s() { return window->state(); }
    // The middle of a button of the bar, px.
    PixelArea button(const layout::BarButton& b) { return MouseLayout(s()).bar(b); }
    int xOf(const layout::BarButton& b) { return static_cast<int>((button(b).left + button(b).right) / 2); }
    int yOf(const layout::BarButton& b) { return static_cast<int>((button(b).top + button(b).bottom) / 2); }
    void mouse(M message, int x, int y, int wheel = 0) {
        window->onMouse(message, x, y, wheel);
        platform.deliverPosted(*window);  // a drag's next move waits for these
    }
    int targetAt(int x, int y) {
        mouse(M::move, x, y);
        return s().hoverTarget;
    }
    void click(int x, int y) {
        mouse(M::leftDown, x, y);
        mouse(M::leftUp, x, y);
    }
    // Lets time pass without the model: only the mouse's own timers and
    // repeat messages are delivered.
    void hold(int ms) {
        platform.killTimer(timer::mainTick);
        platform.killTimer(timer::calibration);
        platform.run(*window, ms);
    }

    void expectEdges(const AreaEdges& a) {
        const int mx = a.probeX ? a.probeX : (a.left + a.right) / 2;
        const int my = a.probeY ? a.probeY : (a.top + a.bottom) / 2;
        const auto at = [&](int x, int y) { return targetAt(x, y); };
        SCOPED_TRACE(testing::Message() << "target " << a.target);
        EXPECT_NE(at(a.left, my), a.target);
        EXPECT_EQ(at(a.left + 1, my), a.target);
        EXPECT_NE(at(a.right, my), a.target);
        EXPECT_EQ(at(a.right - 1, my), a.target);
        const int outside = a.inclusiveY ? 1 : 0;  // inclusive bounds are inside themselves
        EXPECT_NE(at(mx, a.top - outside), a.target);
        EXPECT_EQ(at(mx, a.top + 1 - outside), a.target);
        EXPECT_NE(at(mx, a.bottom + outside), a.target);
        EXPECT_EQ(at(mx, a.bottom - 1 + outside), a.target);
    }

    SilentSound sound;
    VirtualPlatform platform;
    std::unique_ptr<MainWindowLogic> window;
};

TEST_F(MouseTest, EveryAreaEndsStrictlyAtItsBounds) {
    const AreaEdges areas[] = {
        {hover::blastPipeValveDrawing, 5960, 6260, 3550, 3850}, {hover::silencer, 4675, 4775, 3000, 3300},
        {hover::throttleDrawing, 4500, 4800, 3600, 3750},       {hover::regulatorLever, 600, 1150, 950, 1100},
        // Up to where the blast-pipe valve, tested before them, covers them.
        {hover::blowerBlastPipe, 6035, 6185, 3300, 3551},       {hover::airSuctionPipe, 6259, 6600, 3625, 3775},
        {hover::reverserWheel, 1300, 1800, 1750, 2250},         {hover::brakeHandle, 1700, 2000, 1200, 1800},
        {hover::sandingLever, 1000, 1250, 1700, 2000},          {hover::drainCockLever, 1700, 1900, 2200, 2700},
        {hover::boilerGauge, 50, 450, 50, 450},                 {hover::steamChestPyrometer, 550, 950, 50, 450},
        {hover::brakeGauge, 1150, 1550, 50, 450},               {hover::steamChestGauge, 1250, 1650, 600, 1000},
        {hover::speedometer, 1700, 2100, 800, 1200},            {hover::cutOffScale, 1500, 1600, 1050, 1750},
        {hover::blastPipeMassColumn, 7700, 8000, 0, 2500},      {hover::powerColumn, 7300, 7600, 0, 2500},
        {hover::firingColumn, 6900, 7200, 0, 2500},             {hover::waterColumn, 6500, 6800, 0, 2500},
        {hover::accelerationColumn, 6100, 6400, 0, 2500},       {hover::firing, 350, 800, 1775, 2150},
        {hover::rearWorkingSpace, 5100, 5500, 4450, 5150},      {hover::frontWorkingSpace, 5500, 6100, 4450, 5150},
        {hover::valveSteamChest, 5200, 5800, 4030, 4330},       {hover::valveExhaust, 4940, 5200, 4030, 4330},
        {hover::valveExhaust, 5800, 6260, 4030, 4330},          {hover::waterGauges, 30, 170, 505, 960},
        {hover::waterGauges, 1023, 1163, 505, 960, false, 1155},  // the regulator lies over its lower left
        {hover::blowerWheel, 40, 200, 1420, 1580},              {hover::injector, 1460, 1660, 400, 600},
        {hover::throttleWheel, 1180, 1420, 1080, 1320},         {hover::injectionWheel, 1220, 1380, 1520, 1680},
        {hover::blastPipeLever, 1400, 1600, 2300, 2700},
    };
    for (const AreaEdges& a : areas) expectEdges(a);
    // The gradient band spans the whole width, even left of the window.
    EXPECT_EQ(targetAt(-40, 3000), hover::gradientBand);
    EXPECT_EQ(targetAt(3000, 2701), hover::gradientBand);
    EXPECT_EQ(targetAt(3000, 3700), hover::none);
}

// The bar's buttons, in pixels of the window's text cell from the bar's
// left edge: 8 x 16 at 1600 x 1200, five times that at 8000 x 6000.
TEST_F(MouseTest, TheButtonBarIsLaidOutInTheWindowsTextCellFromItsLeftEdge) {
    for (const auto& [width, height, bar, k] : {std::tuple{8000, 6000, 2150, 5}, std::tuple{1600, 1200, 430, 1}}) {
        open(width, height);
        const AreaEdges buttons[] = {
            {hover::speedButton, bar, bar + 192 * k, 36 * k, 60 * k},
            {hover::temperatureButton, bar, bar + 90 * k, 126 * k, 150 * k},
            {hover::waterButton, bar, bar + 108 * k, 96 * k, 120 * k},
            {hover::displayButton, bar, bar + 120 * k, 66 * k, 90 * k},
            {hover::soundButton, bar + 130 * k, bar + 192 * k, 66 * k, 90 * k},
            {hover::weightButtons, bar, bar + 24 * k, 6 * k, 30 * k},
            {hover::weightButtons, bar + 36 * k, bar + 60 * k, 6 * k, 30 * k},
            {hover::dataButton, bar + 130 * k, bar + 192 * k, 96 * k + 1, 120 * k - 1, true},
            {hover::trackModeButton, bar + 100 * k, bar + 192 * k, 126 * k + 1, 150 * k - 1, true},
            {hover::autoControlButton, bar, bar + 108 * k, 156 * k, 180 * k - 1, true},
        };
        SCOPED_TRACE(width);
        for (const AreaEdges& a : buttons) expectEdges(a);
    }
}

TEST_F(MouseTest, AreasShowOnlyWhileTheirDisplayOrTheStandstillAllowsThem) {
    // The weight, temperature and water buttons only while the engine stands.
    using namespace layout;
    s().wheelSpeed = 0.5;
    EXPECT_EQ(targetAt(xOf(weightMinusButton), yOf(weightMinusButton)), hover::none);
    EXPECT_EQ(targetAt(xOf(temperatureButton), yOf(temperatureButton)), hover::none);
    EXPECT_EQ(targetAt(xOf(waterButton), yOf(waterButton)), hover::none);
    s().wheelSpeed = 0.0005;
    EXPECT_EQ(targetAt(xOf(weightMinusButton), yOf(weightMinusButton)), hover::weightButtons);

    // The indicator diagram replaces the bar columns; the track table hides both.
    EXPECT_EQ(targetAt(7750, 1000), hover::blastPipeMassColumn);
    s().textHidden = true;  // the columns beside the text go with it
    EXPECT_EQ(targetAt(6950, 1000), hover::none);
    EXPECT_EQ(targetAt(7350, 1000), hover::powerColumn);
    s().indicatorShown = true;
    EXPECT_EQ(targetAt(7750, 2999), hover::indicatorDiagram);
    EXPECT_EQ(targetAt(4801, 10), hover::indicatorDiagram);
    s().trackTableShown = true;
    EXPECT_EQ(targetAt(7750, 1000), hover::none);
}

TEST_F(MouseTest, TheCursorShowsWhatTheMouseCanDoThere) {
    const struct {
        int x, y;
        CursorShape cursor;
    } places[] = {
        {800, 1000, CursorShape::grip},      {3000, 3000, CursorShape::plusMinus}, {2200, 100, CursorShape::weight},
        {100, 100, CursorShape::hint},       {1500, 500, CursorShape::plusMinus},  {3000, 2000, CursorShape::standard},
    };
    for (const auto& p : places) {
        mouse(M::move, p.x, p.y);
        EXPECT_EQ(platform.cursor, p.cursor) << p.x << "," << p.y;
    }
    // Where the automatic works a control, the mouse only names it.
    s().trackAutomatic = s().injectorAutomatic = true;
    mouse(M::move, 3000, 3000);
    EXPECT_EQ(platform.cursor, CursorShape::hint);
    mouse(M::move, 1500, 500);
    EXPECT_EQ(platform.cursor, CursorShape::hint);

    // Each drawing is 32 x 32 in three tones with its hotspot on the drawing.
    for (CursorShape shape : {CursorShape::standard, CursorShape::hint, CursorShape::grip, CursorShape::plusMinus,
                              CursorShape::weight}) {
        const CursorDrawing& d = cursorDrawing(shape);
        for (const char* row : d.rows) {
            ASSERT_EQ(std::strlen(row), 32u);
            EXPECT_EQ(std::strspn(row, "#-."), 32u);
        }
        EXPECT_NE(d.rows[d.hotY][d.hotX], '.');
    }
}

TEST_F(MouseTest, RestingOnAnAreaShowsItsHintAfterHalfASecond) {
    mouse(M::move, 100, 100);
    hold(499);
    EXPECT_FALSE(s().hoverHintVisible);
    hold(1);
    EXPECT_TRUE(s().hoverHintVisible);
    EXPECT_EQ(s().hoverTarget, hover::boilerGauge);
    mouse(M::move, 101, 100);  // any move withdraws it
    EXPECT_FALSE(s().hoverHintVisible);
}

TEST_F(MouseTest, ATooSmallWindowIgnoresTheMouse) {
    window->onSize(20, 400);
    s().pilotValve = 40;
    mouse(M::rightDown, 800, 1000);
    mouse(M::move, 3, 3);
    EXPECT_EQ(s().pilotValve, 40);
    EXPECT_EQ(s().hoverTarget, hover::none);
}

TEST_F(MouseTest, HoldingTheButtonOnTheBandStepsTheGradientAndRestsOnTheLevel) {
    s().gradient = 3;
    mouse(M::leftDown, 3000, 3000);
    EXPECT_EQ(s().gradient, 2);
    hold(80 * 10);  // one step every 80 ms, then the level holds
    EXPECT_EQ(s().gradient, 0);
    mouse(M::leftUp, 3000, 3000);
    mouse(M::leftDown, 3000, 3000);  // a new press goes on below the level
    hold(80 * 2);
    EXPECT_EQ(s().gradient, -3);
    mouse(M::leftUp, 3000, 3000);
    hold(200);
    EXPECT_EQ(s().gradient, -3);
}

TEST_F(MouseTest, ARightClickOrDoubleClickOnLeverOrWheelShutsTheRegulator) {
    for (const auto& [message, x, y] : {std::tuple{M::rightDown, 800, 1000}, std::tuple{M::rightDown, 1550, 2000},
                                       std::tuple{M::leftDoubleClick, 800, 1000}}) {
        s().pilotValve = 60;
        mouse(message, x, y);
        EXPECT_EQ(s().pilotValve, 0);
        mouse(message == M::rightDown ? M::rightUp : M::leftUp, x, y);
    }
}

TEST_F(MouseTest, ClicksSwitchLeversAndButtons) {
    const bool drains = s().drainCocksOpen, sanding = s().sandingOn, blast = s().blastPipeClosed;
    const bool track = s().trackAutomatic, text = s().textHidden, soundOn = s().soundOn;
    click(1800, 2450);
    click(1100, 1850);
    click(1500, 2500);
    click(xOf(layout::trackModeButton), yOf(layout::trackModeButton));
    click(xOf(layout::displayButton), yOf(layout::displayButton));
    click(xOf(layout::soundButton), yOf(layout::soundButton));
    EXPECT_NE(s().drainCocksOpen, drains);
    EXPECT_NE(s().sandingOn, sanding);
    EXPECT_NE(s().blastPipeClosed, blast);
    EXPECT_NE(s().trackAutomatic, track);
    EXPECT_NE(s().textHidden, text);
    EXPECT_NE(s().soundOn, soundOn);
    click(xOf(layout::dataButton), yOf(layout::dataButton));
    click(xOf(layout::autoControlButton), yOf(layout::autoControlButton));
    EXPECT_EQ(platform.dataDialogs, 1);
    EXPECT_EQ(platform.autoControlDialogs, 1);
}

TEST_F(MouseTest, DoubleClickOnTheInjectorSwitchesItsAutomaticAfterTheFirstClickStepped) {
    s().injectorRate = 100;
    mouse(M::leftDown, 1500, 500);
    mouse(M::leftUp, 1500, 500);
    mouse(M::leftDoubleClick, 1500, 500);
    mouse(M::leftUp, 1500, 500);
    EXPECT_TRUE(s().injectorAutomatic);
    EXPECT_EQ(s().injectorRate, 99);
}

TEST_F(MouseTest, TheWheelTurnsAHandWheelByItsKeyButNotInAutomatic) {
    s().fireSetpoint = 40;
    mouse(M::wheel, 500, 2000, 120);
    EXPECT_EQ(s().fireSetpoint, 41);
    mouse(M::wheel, 500, 2000, 0);  // a turn of nothing
    EXPECT_EQ(s().fireSetpoint, 41);
    s().autoFiring = true;
    mouse(M::wheel, 500, 2000, -120);
    EXPECT_EQ(s().fireSetpoint, 41);
    s().injectorAutomatic = true;
    s().injectorRate = 100;
    mouse(M::wheel, 1500, 500, 120);
    EXPECT_EQ(s().injectorRate, 100);
}

TEST_F(MouseTest, RepeatsActOnTheirControlWhereverThePointerIs) {
    s().blowerSetting = 10;
    mouse(M::rightDown, 100, 1500);
    EXPECT_EQ(s().blowerSetting, 11);
    mouse(M::move, 4000, 100);  // off the wheel, button still held
    hold(20 * 5);
    EXPECT_EQ(s().blowerSetting, 16);
    mouse(M::rightUp, 4000, 100);
    hold(100);
    EXPECT_EQ(s().blowerSetting, 16);

    // Filling the tanks stops when the engine starts to roll.
    s().tankWater = 5000.0;
    mouse(M::leftDown, xOf(layout::waterButton), yOf(layout::waterButton));
    hold(50 * 4);
    EXPECT_DOUBLE_EQ(s().tankWater, 5050.0);
    s().wheelSpeed = 1.0;
    hold(50 * 4);
    EXPECT_DOUBLE_EQ(s().tankWater, 5050.0);
}

TEST_F(MouseTest, AStiffRegulatorGivesPastThePressurePointOnlyToAJerk) {
    s().regulatorLighter = s().regulatorHeavier = true;  // "superschwergängig"
    s().pilotValve = 40;  // past the point of a shut main valve
    s().regulator = 0;
    s().steamChest.pressure = 50000.0;
    mouse(M::leftDown, 1000, 1000);
    for (int x = 999; x >= 990; --x) mouse(M::move, x, 1000);  // slow: a pixel a move
    mouse(M::move, 987, 1000);                                 // 3 px
    EXPECT_EQ(s().pilotValve, 40);
    mouse(M::move, 983, 1000);  // 4 px
    EXPECT_EQ(s().pilotValve, 41);
    mouse(M::leftUp, 983, 1000);
}

// A steady pull of 5 px a move past the point of a shut main valve: each
// stiffness gives a step a move, and without the simulation the lever runs
// free to fully open as below the point.
TEST_F(MouseTest, PastThePressurePointTheLeverGivesAsItsStiffness) {
    const struct {
        bool lighter, heavier;
        int opened;  // lever steps after 20 moves
    } modes[] = {{false, false, 115}, {true, false, 60}, {false, true, 60}, {true, true, 60}};
    for (const auto& mode : modes) {
        SCOPED_TRACE(testing::Message() << "lighter " << mode.lighter << ", heavier " << mode.heavier);
        s().regulatorLighter = mode.lighter;
        s().regulatorHeavier = mode.heavier;
        s().pilotValve = 40;
        s().regulator = 0;
        s().steamChest.pressure = 200000.0;
        mouse(M::leftDown, 1000, 1000);
        for (int move = 1; move <= 20; ++move) mouse(M::move, 1000 - 5 * move, 1000);
        mouse(M::leftUp, 900, 1000);
        EXPECT_EQ(s().pilotValve, mode.opened);
    }
}

TEST_F(MouseTest, ALongPullOpensTheLeverByTenAndNeverWrapsIt) {
    s().pilotValve = 100;
    s().regulator = 100;
    mouse(M::leftDown, 1000, 1000);
    mouse(M::move, 850, 1000);  // 150 px open
    EXPECT_EQ(s().pilotValve, 110);
    mouse(M::leftUp, 850, 1000);
    s().pilotValve = 20;
    s().regulator = 0;
    mouse(M::leftDown, 700, 1000);
    mouse(M::move, 850, 1000);  // 150 px shut
    EXPECT_EQ(s().pilotValve, 10);
}

TEST_F(MouseTest, ThePointerGoesOnTheKnobOnlyOnceAFrameHasShownIt) {
    mouse(M::leftDown, 1000, 1000);
    EXPECT_EQ(s().dragTarget, drag::regulatorLever);
    window->onTimer(timer::renderOnly);  // this frame shows the knob; the last one did not
    EXPECT_EQ(platform.cursorX, -1);
    EXPECT_EQ(s().dragTarget, drag::regulatorLever);

    window->onTimer(timer::renderOnly);
    const KnobPosition knob = regulatorKnob(s().displayScale, s().pilotValve);
    EXPECT_EQ(platform.cursorX, knob.x);
    EXPECT_EQ(platform.cursorY, knob.y);
    EXPECT_EQ(s().dragTarget, drag::none);
    // Moves count from where the pointer was put.
    const int before = s().pilotValve;
    mouse(M::move, knob.x - 5, knob.y);
    EXPECT_EQ(s().pilotValve, before + 5);
}

TEST_F(MouseTest, WhereThePointerCannotBeMovedDragsGoByItsOwnMoves) {
    platform.pointerMovable = false;
    s().brakeCommand = 9;
    mouse(M::leftDown, 1800, 1500);
    s().handleOf = drag::brakeHandle;
    s().handleX = 1900, s().handleY = 1300;
    window->onTimer(timer::renderOnly);
    hold(20);
    mouse(M::move, 1800, 1505);  // down: apply
    hold(20);
    mouse(M::move, 1800, 1510);
    EXPECT_EQ(s().brakeCommand, 11);
    mouse(M::leftUp, 1800, 1510);
    EXPECT_EQ(s().brakeCommand, 9);  // the handle settles in its notch
}

TEST_F(MouseTest, ALostGrabLetsGoOfTheDrag) {
    s().brakeCommand = 0;
    mouse(M::leftDown, 1800, 1500);
    hold(20);
    mouse(M::move, 1800, 1510);
    EXPECT_EQ(s().brakeCommand, 1);
    window->onKillFocus();
    EXPECT_FALSE(platform.timerRuns(timer::dragMove));
    EXPECT_EQ(s().brakeCommand, 0);
    EXPECT_FALSE(s().inputHeld);
    hold(20);
    mouse(M::move, 1800, 1530);
    EXPECT_EQ(s().brakeCommand, 0);
}

TEST_F(MouseTest, TheReversingWheelTurnsFromTheKnobAsLastDrawn) {
    // The wheel's centre lies at (1560, 2000); the knob as drawn at its top.
    s().reverser = 0;
    mouse(M::leftDown, 1560, 1800);
    hold(20);
    mouse(M::move, 1600, 1800);  // no knob drawn yet: nothing to measure from
    EXPECT_EQ(s().reverser, 0);
    s().handleOf = drag::reverserWheel;
    s().handleX = 1560, s().handleY = 1800;
    hold(20);
    mouse(M::move, 1622, 1810);  // a little under 0.3 rad clockwise on the screen
    EXPECT_EQ(s().reverser, -2);
    hold(20);
    mouse(M::move, 1560, 2000);  // on the centre: no angle
    EXPECT_EQ(s().reverser, -2);
}

TEST(ReverserTurn, NoAngleOnTheCentreOrBeyondTheRangeOfTheCosine) {
    EXPECT_EQ(reverserTurn(0, 0, 0, -200), 0);
    EXPECT_EQ(reverserTurn(30, -200, 0, 0), 0);
    // In line with the knob, where the cosine rounds past 1 or -1.
    EXPECT_EQ(reverserTurn(1, 5, 2, 10), 0);
    EXPECT_EQ(reverserTurn(1, 5, -2, -10), 0);
    EXPECT_EQ(reverserTurn(200, 0, 0, -200), -11);  // a quarter turn clockwise on the screen
    EXPECT_EQ(reverserTurn(-200, 0, 0, -200), 11);
}

}  // namespace
}  // namespace zt40
