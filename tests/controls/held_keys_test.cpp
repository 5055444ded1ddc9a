#include "held_keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "key_names.h"
#include "virtual_keys.h"

namespace zt40 {
namespace {

// Every message the keyboard gives until it falls silent, as text.
std::vector<std::string> typed(HeldKeys& keys) {
    std::vector<std::string> messages;
    for (int guard = 0; keys.nextAt() && guard < 10000; ++guard) {
        const auto event = keys.take();
        if (!event) continue;
        const KeyEvent& e = *event;
        const char* kind = e.message == KeyMessage::keyDown      ? "down"
                           : e.message == KeyMessage::keyUp      ? "up"
                           : e.message == KeyMessage::sysKeyDown ? "sysdown"
                                                                 : "sysup";
        messages.push_back(std::to_string(e.at) + " " + kind + " " + std::to_string(e.virtualKey));
    }
    return messages;
}

int count(const std::vector<std::string>& messages, const std::string& what) {
    int n = 0;
    for (const std::string& m : messages) n += m.find(what) != std::string::npos;
    return n;
}

TEST(HeldKeys, AHeldKeyRepeatsAfterTheDelayAtTheRate) {
    // Held two seconds: the press, then one repeat at 500 ms and every 33 ms after it.
    for (int key : {vk::shift, vk::right, int{'X'}}) {
        HeldKeys keys;
        keys.press(key, 1000, 2000);
        const auto messages = typed(keys);
        const std::string code = " " + std::to_string(key);
        EXPECT_EQ(messages.front(), "1000 down" + code);
        EXPECT_EQ(messages[1], "1500 down" + code);
        EXPECT_EQ(messages[2], "1533 down" + code);
        EXPECT_EQ(count(messages, "down"), 47) << key;  // 1 + 1 + 1500 / 33
        EXPECT_EQ(messages.back(), "3000 up" + code);
        EXPECT_FALSE(keys.held(key));
    }
    // A tap gives one press; a key let go exactly as its repeat falls due does not repeat.
    HeldKeys tap;
    tap.press(vk::space, 0, 100);
    EXPECT_EQ(typed(tap), (std::vector<std::string>{"0 down 32", "100 up 32"}));
    HeldKeys edge;
    edge.press(vk::left, 0, 500);
    EXPECT_EQ(typed(edge), (std::vector<std::string>{"0 down 37", "500 up 37"}));
    // Presses laid out ahead of time; one on a key still down is no press.
    HeldKeys ahead;
    ahead.press(vk::tab, 2000, 100);
    ahead.press(vk::tab, 1000, 300);
    ahead.press(vk::tab, 1200, 100);
    EXPECT_EQ(typed(ahead), (std::vector<std::string>{"1000 down 9", "1300 up 9", "2000 down 9", "2100 up 9"}));
}

TEST(HeldKeys, TwoHandsOnTheKeyboard) {
    // Shift held while Right is pressed: the window repeats Shift on its
    // own, the desktop repeats only the key pressed last, and a key let go
    // early ends at once.
    HeldKeys keys;
    keys.press(vk::right, 0, 3000);
    keys.press(vk::shift, 200, 5000);
    keys.press(vk::space, 1000, 5000);  // takes the desktop's repeat from Right
    keys.release(vk::space, 1200);
    const auto messages = typed(keys);
    EXPECT_EQ(count(messages, "down 39"), 1 + 1 + 500 / 33);    // Right until Space came
    EXPECT_EQ(count(messages, "down 16"), 1 + 1 + 4500 / 33);   // Shift all along
    EXPECT_EQ(count(messages, "down 32"), 1);                  // Space let go before its delay
    EXPECT_EQ(count(messages, "up "), 3);
    EXPECT_NE(std::find(messages.begin(), messages.end(), "1200 up 32"), messages.end());

    // Control pressed while Shift is held takes the window's repeat; letting
    // either go ends it, as in the window.
    HeldKeys modifiers;
    modifiers.press(vk::shift, 0, 3000);
    modifiers.press(vk::control, 1000, 1000);
    const auto both = typed(modifiers);
    EXPECT_EQ(count(both, "down 16"), 1 + 1 + 500 / 33);
    EXPECT_EQ(count(both, "down 17"), 1 + 1 + 500 / 33);
    EXPECT_EQ(both.back(), "3000 up 16");

    // Alt and what is pressed with it take the system-key path; Alt does not repeat.
    HeldKeys alt;
    alt.press(vk::menu, 0, 2000);
    alt.press('I', 100, 100);
    EXPECT_EQ(typed(alt),
              (std::vector<std::string>{"0 sysdown 18", "100 sysdown 73", "200 sysup 73", "2000 sysup 18"}));
}

TEST(HeldKeys, KeysByTheirNames) {
    const struct {
        const char* name;
        int key;
    } cases[] = {{"Shift", vk::shift}, {"Strg", vk::control}, {"ctrl", vk::control}, {"links", vk::left},
                 {"Right", vk::right}, {"Num+", vk::add}, {"Num-", vk::subtract}, {"Num*", vk::multiply},
                 {"Num/", vk::divide}, {"BildAuf", vk::pageUp}, {"PageDown", vk::pageDown}, {"Einfg", vk::insert},
                 {"Return", vk::enter}, {"Space", vk::space}, {"Back", vk::backspace}, {"t", 'T'}, {"U", 'U'}};
    for (const auto& c : cases) EXPECT_EQ(virtualKeyNamed(c.name), c.key) << c.name;
    for (const char* unknown : {"", "Bild", "Shift+", "ä", "F1"}) EXPECT_FALSE(virtualKeyNamed(unknown)) << unknown;
}

}  // namespace
}  // namespace zt40
