// zt40-sim: drives the locomotive model through a scenario without a
// window and writes CSV to standard output.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "scenario.h"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::cerr << "usage: zt40-sim SCENARIO\n";
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
        std::cerr << "zt40-sim: cannot read " << argv[1] << "\n";
        return 2;
    }
    std::ostringstream text;
    text << file.rdbuf();
    zt40::ScenarioError error{};
    const auto scenario = zt40::parseScenario(text.str(), error);
    if (!scenario) {
        std::cerr << argv[1] << ":" << error.line << ": " << error.message << "\n";
        return 1;
    }
    if (const std::string problem = zt40::runScenario(*scenario, std::cout); !problem.empty()) {
        std::cerr << argv[1] << ": " << problem << "\n";
        return 1;
    }
    return std::cout.good() ? 0 : 1;
}
