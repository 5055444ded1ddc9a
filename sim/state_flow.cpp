#include "state_flow.h"

#include <cstring>

namespace zt40 {

namespace {

struct FieldCopier {
    SimulationBlock& mainCopy;
    SimulationBlock& simulationCopy;
    TwoWayMemory& memory;

    template <class T>
    void in(T ModelInputs::*field) const {
        std::memcpy(&(simulationCopy.*field), &(mainCopy.*field), sizeof(T));
    }
    template <class T>
    void out(T ModelResults::*field) const {
        std::memcpy(&(mainCopy.*field), &(simulationCopy.*field), sizeof(T));
    }
    void both(double SharedValues::*field, double TwoWayMemory::*last) const {
        if (mainCopy.*field != memory.*last) {
            simulationCopy.*field = mainCopy.*field;
        } else {
            mainCopy.*field = simulationCopy.*field;
        }
        memory.*last = mainCopy.*field;
    }
    void request(bool SharedValues::*field) const {
        if (!(mainCopy.*field)) return;
        simulationCopy.*field = true;
        mainCopy.*field = false;
    }
};

struct TwoWayRecorder {
    const SimulationBlock& mainCopy;
    TwoWayMemory& memory;

    template <class T>
    void in(T ModelInputs::*) const {}
    template <class T>
    void out(T ModelResults::*) const {}
    void both(double SharedValues::*field, double TwoWayMemory::*last) const { memory.*last = mainCopy.*field; }
    void request(bool SharedValues::*) const {}
};

}  // namespace

void exchangeFields(SimulationBlock& mainCopy, SimulationBlock& simulationCopy, TwoWayMemory& memory) {
    visitSimulationFlow(FieldCopier{mainCopy, simulationCopy, memory});
}

void rememberTwoWayFields(const SimulationBlock& mainCopy, TwoWayMemory& memory) {
    visitSimulationFlow(TwoWayRecorder{mainCopy, memory});
}

}  // namespace zt40
