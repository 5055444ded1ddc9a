#pragma once
// Timers, posted messages and the keys a driver holds, on a virtual clock:
// they fire, arrive and type when the caller lets time pass, in the order a
// message loop would see them. The headless runner and the tests drive the
// engine (or the window's logic) with it, as fast as the machine allows and
// the same every time.

#include <algorithm>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>

#include "engine_host.h"
#include "held_keys.h"

namespace zt40 {

class VirtualTimers {
public:
    struct Timer {
        int period;
        std::int64_t due;
    };
    struct Posted {
        bool timer;
        int id;
    };

    void set(int id, int periodMs) { timers[id] = {periodMs, now + periodMs}; }
    void kill(int id) { timers.erase(id); }
    void postTimer(int id) { posted.push_back({true, id}); }
    void postUser(int offset) { posted.push_back({false, offset}); }
    bool timerRuns(int id) const { return timers.count(id) != 0; }
    int period(int id) const { return timers.at(id).period; }

    // Lets `ms` pass: posted messages first, then each timer and each
    // message of the held keys when it is due.
    template <class Target>
    void run(Target& target, std::int64_t ms) {
        const std::int64_t end = now + ms;
        for (int guard = 0; guard < 10000000; ++guard) {
            if (!runNextUntil(target, end)) break;
        }
        deliverPosted(target);
        now = end;
    }

    // Delivers what is posted and then the next timer or key message that
    // falls due; false when nothing is scheduled any more.
    template <class Target>
    bool runNext(Target& target) {
        return runNextUntil(target, std::nullopt);
    }

    template <class Target>
    void deliverPosted(Target& target) {
        for (int guard = 0; !posted.empty() && guard < 100000; ++guard) {
            const Posted p = posted.front();
            posted.pop_front();
            if (p.timer) target.onTimer(p.id);
            else target.onUser(p.id);
        }
    }

    std::int64_t now = 0;  // ms
    std::map<int, Timer> timers;
    std::map<int, int> fired;
    std::deque<Posted> posted;
    // The driver's hands on the keyboard: what is held is typed in with
    // the timers, on the same clock.
    HeldKeys keys;

private:
    // The next timer or key message due no later than `limit`: delivered
    // after what is posted; false when there is none. A key message due
    // with a timer comes first.
    template <class Target>
    bool runNextUntil(Target& target, std::optional<std::int64_t> limit) {
        deliverPosted(target);
        int due = 0;
        std::int64_t at = 0;
        for (const auto& [id, t] : timers) {
            if (due == 0 || t.due < at) at = t.due, due = id;
        }
        const std::optional<std::int64_t> keyAt = keys.nextAt();
        if (keyAt && (due == 0 || *keyAt <= at) && (!limit || *keyAt <= *limit)) {
            now = std::max(now, *keyAt);
            if (const auto event = keys.take()) target.onKey(event->message, event->virtualKey);
            return true;
        }
        if (due == 0 || (limit && at > *limit)) return false;
        now = at;
        timers[due].due = now + timers[due].period;
        ++fired[due];
        target.onTimer(due);
        return true;
    }
};

// The engine's host on the virtual clock: the cursor is noted, the dialogs
// counted, the workshop kept.
class VirtualClock : public EngineHost, public VirtualTimers {
public:
    void setTimer(int id, int periodMs) override { set(id, periodMs); }
    void killTimer(int id) override { kill(id); }
    void postTimer(int id) override { VirtualTimers::postTimer(id); }
    void postUser(int offset) override { VirtualTimers::postUser(offset); }
    std::int64_t tickCount() override { return now; }
    void setCursor(CursorShape shape) override { cursor = shape; }
    bool setCursorPosition(int x, int y) override {
        cursorX = x, cursorY = y;
        return true;
    }
    void openDataDialog() override { ++dataDialogs; }
    void openAutoControlDialog() override { ++autoControlDialogs; }
    void workshop(Damage damage) override { workshopDamage = damage; }

    CursorShape cursor = CursorShape::standard;
    int cursorX = -1, cursorY = -1;
    int dataDialogs = 0, autoControlDialogs = 0;
    Damage workshopDamage = Damage::none;
};

}  // namespace zt40
