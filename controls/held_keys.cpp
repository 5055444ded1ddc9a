#include "held_keys.h"

#include <algorithm>

#include "virtual_keys.h"

namespace zt40 {

namespace {

bool repeatedByTheWindow(int virtualKey) { return virtualKey == vk::shift || virtualKey == vk::control; }

}  // namespace

void HeldKeys::press(int virtualKey, std::int64_t at, std::int64_t holdMs) {
    const Press press{at, virtualKey, std::max<std::int64_t>(holdMs, 0)};
    presses_.insert(std::upper_bound(presses_.begin(), presses_.end(), press,
                                     [](const Press& a, const Press& b) { return a.at < b.at; }),
                    press);
}

void HeldKeys::release(int virtualKey, std::int64_t at) {
    for (Held& key : held_) {
        if (key.virtualKey == virtualKey) key.releaseAt = std::min(key.releaseAt, at);
    }
    for (Press& press : presses_) {
        if (press.virtualKey == virtualKey && press.at <= at) press.holdMs = std::min(press.holdMs, at - press.at);
    }
}

bool HeldKeys::held(int virtualKey) const {
    return std::any_of(held_.begin(), held_.end(), [&](const Held& key) { return key.virtualKey == virtualKey; });
}

bool HeldKeys::altDown() const { return held(vk::menu); }

std::optional<std::int64_t> HeldKeys::nextAt() const {
    std::optional<std::int64_t> next;
    const auto consider = [&](std::int64_t at) {
        if (!next || at < *next) next = at;
    };
    if (!presses_.empty()) consider(presses_.front().at);
    for (const Held& key : held_) consider(key.releaseAt);
    if (modifier_.virtualKey != 0) consider(modifier_.at);
    if (typed_.virtualKey != 0) consider(typed_.at);
    return next;
}

std::optional<KeyEvent> HeldKeys::take() {
    // At the same moment: presses first, then releases, then repeats, so
    // that a key let go as its repeat falls due does not repeat.
    const std::optional<std::int64_t> at = nextAt();
    if (!at) return std::nullopt;
    if (!presses_.empty() && presses_.front().at == *at) return takePress();
    for (std::size_t i = 0; i < held_.size(); ++i) {
        if (held_[i].releaseAt == *at) return takeRelease(i);
    }
    if (modifier_.virtualKey != 0 && modifier_.at == *at) return takeRepeat(modifier_, KeyMessage::keyDown);
    return takeRepeat(typed_, altDown() ? KeyMessage::sysKeyDown : KeyMessage::keyDown);
}

std::optional<KeyEvent> HeldKeys::takePress() {
    const Press press = presses_.front();
    presses_.erase(presses_.begin());
    if (held(press.virtualKey)) return std::nullopt;  // a key cannot go down twice
    // Alt and every key pressed with it go the system-key way.
    const KeyEvent event{press.at,
                         press.virtualKey == vk::menu || altDown() ? KeyMessage::sysKeyDown : KeyMessage::keyDown,
                         press.virtualKey};
    held_.push_back({press.virtualKey, press.at + press.holdMs});
    // Alt never repeats; a new key takes the desktop's repeat from the one before.
    if (repeatedByTheWindow(press.virtualKey)) modifier_ = {press.virtualKey, press.at + keyRepeatDelayMs};
    else if (press.virtualKey != vk::menu) typed_ = {press.virtualKey, press.at + keyRepeatDelayMs};
    return event;
}

KeyEvent HeldKeys::takeRelease(std::size_t index) {
    const Held key = held_[index];
    const KeyEvent event{key.releaseAt, altDown() ? KeyMessage::sysKeyUp : KeyMessage::keyUp, key.virtualKey};
    held_.erase(held_.begin() + static_cast<std::ptrdiff_t>(index));
    // The window stops repeating when either Shift or Control goes up.
    if (repeatedByTheWindow(key.virtualKey)) modifier_ = {};
    if (typed_.virtualKey == key.virtualKey) typed_ = {};
    return event;
}

KeyEvent HeldKeys::takeRepeat(Repeat& repeat, KeyMessage message) {
    const KeyEvent event{repeat.at, message, repeat.virtualKey};
    repeat.at += keyRepeatIntervalMs;
    return event;
}

}  // namespace zt40
