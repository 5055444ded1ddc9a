#pragma once
// Synthesis of the recordings: the exhaust beats and the throttle of the
// blast pipe, the fittings' steam, the knock and the brake shoes, each at
// its rate and length. Deterministic: the same samples on every machine
// and every build.

#include "recordings.h"

namespace zt40 {

Pcm synthesiseRecording(RecordingId id);

}  // namespace zt40
