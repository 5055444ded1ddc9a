#include "frame_handover.h"

namespace zt40 {

void handOverToFrame(LocomotiveState& mainRecord, LocomotiveState& frameCopy) {
    // What the last frame decided.
    mainRecord.reverserMoved = frameCopy.reverserMoved;
    mainRecord.pistonX = frameCopy.pistonX;
    mainRecord.valveHeadRearX = frameCopy.valveHeadRearX;
    mainRecord.valveHeadFrontX = frameCopy.valveHeadFrontX;
    mainRecord.handleX = frameCopy.handleX;
    mainRecord.handleY = frameCopy.handleY;
    mainRecord.handleOf = frameCopy.handleOf;
    mainRecord.valvesEngaged = frameCopy.valvesEngaged;
    mainRecord.simHold = frameCopy.simHold;
    mainRecord.valveKnock = frameCopy.valveKnock;

    // The whole record for the next frame; its one-shot events for that frame only.
    frameCopy = mainRecord;
    mainRecord.sandIntoSlip = false;
    mainRecord.sandTooShort = false;
}

}  // namespace zt40
