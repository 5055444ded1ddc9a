#pragma once
// The simulation speed the driver chooses: STOP, 1:10, 1:5, 1:2, real time,
// 2:1, 5:1 and 10:1, held in the record as its code (-4 .. 3). One table
// says what each speed means for the model, the timers, the sound and the
// display. A faster or slower simulation runs more or fewer sub-steps of
// the same length, so the model's numerics do not change with the speed.

#include <array>
#include <cstdint>
#include <string_view>

namespace zt40 {

class SimSpeed {
public:
    static constexpr std::int8_t stopCode = -4;
    static constexpr std::int8_t slowestCode = -3;  // 1:10
    static constexpr std::int8_t realTimeCode = 0;
    static constexpr std::int8_t fastestCode = 3;  // 10:1

    // Codes beyond the table count as its nearest end (faster than 10:1 as
    // 10:1, slower than STOP as STOP).
    constexpr explicit SimSpeed(std::int8_t code) : code_(code) {}

    constexpr std::int8_t code() const { return code_; }
    constexpr bool stopped() const { return code_ <= stopCode; }
    constexpr bool slowMotion() const { return code_ < realTimeCode; }  // STOP included
    constexpr bool fastMotion() const { return code_ > realTimeCode; }
    constexpr bool fastest() const { return code_ >= fastestCode; }
    // Sub-steps of one exchange; none at STOP.
    constexpr int subSteps() const { return entry().subSteps; }
    // Simulated seconds per real second; 1 at STOP, where the arithmetic
    // of the tick still needs a factor.
    constexpr double factor() const { return entry().factor; }
    // The automatic control's timer period, ms: a tenth of a simulated
    // second at every speed.
    constexpr int autoControlPeriod() const { return entry().autoControlPeriod; }
    // While the valves float the control steps faster, every 30 ms of
    // simulated time, to have the gear and the lever where they belong
    // before the valves are caught; a period fixed on the clock would race
    // through the floating phase at 1:10 and crawl through it at 10:1.
    constexpr int autoControlFloatingPeriod() const { return autoControlPeriod() * 3 / 10; }
    // The engine is heard only between 1:10 and real time.
    constexpr bool engineHeard() const { return code_ >= slowestCode && code_ <= realTimeCode; }
    // The step length is calibrated against the clock between 1:10 and 2:1.
    constexpr bool calibrated() const { return code_ >= slowestCode && code_ <= 1; }
    // Milliseconds of simulated time as milliseconds of real time, in whole
    // milliseconds as the calibration has always counted them.
    constexpr std::int64_t onRealTimeScale(std::int64_t simulatedMs) const {
        switch (code_) {
            case -3: return simulatedMs * 10;
            case -2: return simulatedMs * 5;
            case -1: return simulatedMs * 2;
            case 1: return simulatedMs / 2;
            default: return simulatedMs;
        }
    }
    // As the button bar shows it: "STOP", "1:10" … "10:1".
    constexpr std::string_view label() const { return entry().label; }

    constexpr SimSpeed faster() const { return SimSpeed(fastest() ? code_ : static_cast<std::int8_t>(code_ + 1)); }
    constexpr SimSpeed slower() const { return SimSpeed(stopped() ? code_ : static_cast<std::int8_t>(code_ - 1)); }

private:
    struct Entry {
        int subSteps;
        double factor;
        int autoControlPeriod;  // ms
        std::string_view label;
    };
    static constexpr std::array<Entry, 8> table{{
        {0, 1.0, 100, "STOP"},
        {10, 0.1, 1000, "1:10"},
        {20, 0.2, 500, "1:5"},
        {50, 0.5, 200, "1:2"},
        {100, 1.0, 100, "1:1"},
        {200, 2.0, 50, "2:1"},
        {500, 5.0, 20, "5:1"},
        {1000, 10.0, 10, "10:1"},
    }};
    constexpr const Entry& entry() const {
        const int clamped = code_ < stopCode ? stopCode : code_ > fastestCode ? fastestCode : code_;
        return table[static_cast<std::size_t>(clamped - stopCode)];
    }

    std::int8_t code_;
};

}  // namespace zt40
