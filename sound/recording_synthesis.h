#pragma once
// Synthesis of the four recordings: a chuffing exhaust, a hissing throttle,
// a blowing safety valve and a metallic knock, each at its rate and length.
// Deterministic: the same samples on every machine and every build.

#include "recordings.h"

namespace zt40 {

Pcm synthesiseRecording(RecordingId id);

}  // namespace zt40
