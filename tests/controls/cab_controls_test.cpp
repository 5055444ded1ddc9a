// Every control's ends, worked through the keys and through the mouse
// alike: at its end a control stays, one step short of it a step stops on
// it, whichever way it is worked.

#include "cab_controls.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cab_layout.h"
#include "key_handler.h"
#include "mouse_commands.h"
#include "pointer_targets.h"
#include "virtual_keys.h"

namespace zt40 {
namespace {

using M = MouseMessage;

// The driver's keys and mouse, fresh for each move.
struct Hands {
    KeyHandler keys;
    MouseCommands mouse;
    SilentSound sound;
    bool changed = false;

    void key(KeyMessage message, int virtualKey, LocomotiveState& s) {
        keys.handle(message, virtualKey, s, changed, false, sound);
    }
    void mouseAt(M message, int wheel, LocomotiveState& s) { mouse.command(message, wheel, s, changed, sound); }
};

// One way of working a control: a key, or the mouse's messages.
using Work = std::function<void(Hands&, LocomotiveState&)>;

struct Limits {
    std::string control;
    double low, high, step;  // the ends, and one step of the control
    std::function<double(const LocomotiveState&)> get;
    std::function<void(LocomotiveState&, double)> set;
    Work raise[2], lower[2];  // by key, by mouse; empty where there is none
};

Work key(int virtualKey) {
    return [virtualKey](Hands& hands, LocomotiveState& s) {
        hands.key(KeyMessage::keyDown, virtualKey, s);
        hands.key(KeyMessage::keyUp, virtualKey, s);
    };
}

// The mouse at a design point (one unit a pixel) or a bar button's middle.
void at(LocomotiveState& s, layout::Point p) { s.mouseX = p.x, s.mouseY = p.y; }
layout::Point middle(const layout::Rect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
layout::Point middle(const layout::BarButton& b) {
    return {layout::barLeft + (b.left + b.right) / 2, (b.top + b.bottom) / 2};
}

Work press(layout::Point p, M down, int wheel = 0) {
    return [=](Hands& hands, LocomotiveState& s) {
        at(s, p);
        hands.mouseAt(down, wheel, s);
        if (down != M::wheel) hands.mouseAt(down == M::rightDown ? M::rightUp : M::leftUp, 0, s);
    };
}

// The regulator lever dragged `pull` px to the left from a grip.
Work pullLever(int pull) {
    return [=](Hands& hands, LocomotiveState& s) {
        at(s, middle(layout::regulatorGrip));
        hands.mouseAt(M::leftDown, 0, s);
        s.mouseX -= pull;
        hands.mouseAt(M::move, 0, s);
        hands.mouseAt(M::leftUp, 0, s);
    };
}

// The reversing wheel turned two steps from its knob at the top, towards
// backward gear (+1) or forward.
Work turnWheel(int direction) {
    return [=](Hands& hands, LocomotiveState& s) {
        const layout::Point c = layout::anchor;
        at(s, {c.x, c.y - 200});
        hands.mouseAt(M::leftDown, 0, s);
        s.handleOf = drag::reverserWheel;
        s.handleX = c.x, s.handleY = c.y - 200;
        at(s, {c.x - direction * 62, c.y - 190});  // a little under 0.3 rad
        hands.mouseAt(M::move, 0, s);
        hands.mouseAt(M::leftUp, 0, s);
    };
}

// `field` is a member of the record's header or simulation block.
template <class Field, class Block>
Limits limits(std::string control, double low, double high, double step, Field Block::*field,
              Work raiseByKey, Work raiseByMouse, Work lowerByKey, Work lowerByMouse) {
    return {std::move(control),
            low,
            high,
            step,
            [field](const LocomotiveState& s) { return static_cast<double>(s.*field); },
            [field](LocomotiveState& s, double v) { s.*field = static_cast<Field>(v); },
            {std::move(raiseByKey), std::move(raiseByMouse)},
            {std::move(lowerByKey), std::move(lowerByMouse)}};
}

std::vector<Limits> everyControl() {
    using namespace layout;
    const auto wheel = [](const HandWheel& w) { return w.centre; };
    return {
        limits("regulator", 0, 115, 1, &LocomotiveState::pilotValve, key(vk::shift), pullLever(5), key(vk::control),
               pullLever(-5)),
        limits("reverser", -160, 160, 1, &LocomotiveState::reverser, key(vk::left), turnWheel(+1), key(vk::right),
               turnWheel(-1)),
        limits("gradient", -100, 100, 1, &LocomotiveState::gradient, key(vk::up), press({3000, 3000}, M::rightDown),
               key(vk::down), press({3000, 3000}, M::leftDown)),
        limits("brake handle", 0, 29, 1, &LocomotiveState::brakeCommand, key(vk::add),
               press(middle(brakeHandleGrip), M::wheel, -120), key(vk::subtract),
               press(middle(brakeHandleGrip), M::wheel, 120)),
        limits("blower", 0, 100, 1, &LocomotiveState::blowerSetting, key('V'), press(wheel(blowerWheel), M::rightDown),
               key('C'), press(wheel(blowerWheel), M::leftDown)),
        limits("throttle", 0, 100, 1, &LocomotiveState::counterPressureThrottle, key('K'),
               press(wheel(throttleWheel), M::rightDown), key('J'), press(wheel(throttleWheel), M::leftDown)),
        limits("water injection", 0, 100, 1, &LocomotiveState::cylinderWaterInjection, key('M'),
               press(wheel(injectionWheel), M::rightDown), key('N'), press(wheel(injectionWheel), M::leftDown)),
        limits("firing", 0, 100, 1, &LocomotiveState::fireSetpoint, key('F'), press(middle(firingGrip), M::rightDown),
               key('D'), press(middle(firingGrip), M::leftDown)),
        limits("injector", 0, 250, 1, &LocomotiveState::injectorRate, key('X'), press(injectorCentre, M::rightDown),
               key('Y'), press(injectorCentre, M::leftDown)),
        limits("train weight", 0, 3000, 10, &LocomotiveState::trainWeight, key(vk::pageUp),
               press(middle(weightPlusButton), M::leftDown), key(vk::pageDown),
               press(middle(weightMinusButton), M::rightDown)),
        limits("tank", 0, 12000, 10, &LocomotiveState::tankWater, key(vk::insert),
               press(middle(waterButton), M::leftDown), nullptr, nullptr),
        limits("cylinder walls", 290, 773, 50, &LocomotiveState::cylinderWallTemp, key(vk::tab),
               press(middle(temperatureButton), M::rightDown), key(vk::backspace),
               press(middle(temperatureButton), M::leftDown)),
    };
}

class CabControlLimits : public ::testing::Test {
protected:
    void SetUp() override {
        s->displayScale = 1.0;  // one design unit a pixel
        s->clientWidth = 8000;
        s->ambientTemp = 290;
        s->regulator = 100;  // the main valve open: no pressure point in the way
    }
    double after(const Work& work, const Limits& c, double start) {
        c.set(*s, start);
        Hands hands;
        work(hands, *s);
        return c.get(*s);
    }
    std::unique_ptr<LocomotiveState> s = std::make_unique<LocomotiveState>();
};

TEST_F(CabControlLimits, EveryControlStopsAtItsEndsByKeyAndByMouse) {
    for (const Limits& c : everyControl()) {
        for (int way = 0; way < 2; ++way) {
            SCOPED_TRACE(c.control + (way == 0 ? " by key" : " by mouse"));
            const double near = c.step > 1 ? c.step - 1 : c.step;  // less than a step from the end where steps are long
            if (c.raise[way]) {
                EXPECT_EQ(after(c.raise[way], c, c.high), c.high);
                EXPECT_EQ(after(c.raise[way], c, c.high - near), c.high);
            }
            if (c.lower[way]) {
                EXPECT_EQ(after(c.lower[way], c, c.low), c.low);
                EXPECT_EQ(after(c.lower[way], c, c.low + near), c.low);
            }
        }
    }
}

TEST_F(CabControlLimits, ASettingBeyondItsEndMovesBackFromWhereItStands) {
    // A train heavier than the buttons couple, typed into the data dialog.
    const Limits weight = everyControl()[9];
    ASSERT_EQ(weight.control, "train weight");
    EXPECT_EQ(after(weight.lower[0], weight, 4000), 3990);
    EXPECT_EQ(after(weight.lower[1], weight, 4000), 3990);
    EXPECT_EQ(after(weight.raise[0], weight, 4000), 4000);
    EXPECT_EQ(after(weight.raise[1], weight, 4000), 4000);
}

TEST(BrakeValve, TheHandleSettlesAndNotchesByItsZones) {
    using namespace cab::brakeValve;
    const struct {
        int command, settled, on, off;
    } zones[] = {{0, 0, 9, 0}, {4, 0, 9, 0}, {5, 9, 19, 0}, {14, 9, 19, 0},
                 {15, 19, 29, 9}, {24, 19, 29, 9}, {25, 29, 29, 19}, {29, 29, 29, 19}};
    for (const auto& z : zones) {
        SCOPED_TRACE(z.command);
        EXPECT_EQ(settled(z.command), z.settled);
        EXPECT_EQ(notchOn(z.command), z.on);
        EXPECT_EQ(notchOff(z.command), z.off);
    }
}

}  // namespace
}  // namespace zt40
