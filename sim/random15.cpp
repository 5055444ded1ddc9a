#include "random15.h"

#include <chrono>

#include "numeric.h"

namespace zt40 {

std::uint32_t clockSeed(int utcSecond, int utcMillisecond) {
    return truncateTo<std::uint32_t>(utcSecond * utcMillisecond / 1.832);
}

std::uint32_t clockSeedNow() {
    using namespace std::chrono;
    const auto sinceEpoch = duration_cast<milliseconds>(system_clock::now().time_since_epoch());
    const auto millisecond = static_cast<int>(sinceEpoch.count() % 1000);
    const auto second = static_cast<int>((sinceEpoch.count() / 1000) % 60);
    return clockSeed(second, millisecond);
}

}  // namespace zt40
