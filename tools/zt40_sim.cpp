// zt40-sim: drives the locomotive model through a scenario without a
// window and writes CSV to standard output; with --config it starts from a
// saved configuration file, and with --screenshot it also draws the window
// as it stands at the end of the run into a PNG.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "scenario.h"

#ifdef ZT40_SCREENSHOT
#include <QGuiApplication>

#include "screenshot.h"
#endif

namespace {

constexpr const char* usage = "usage: zt40-sim [--screenshot PICTURE.png] [--config FILE] SCENARIO\n";

// The scenario's text, at most `zt40::maxScenarioBytes` of it; false with
// the reason in `problem` otherwise.
bool readScenario(const char* path, std::string& text, std::string& problem) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        problem = std::string("cannot read ") + path;
        return false;
    }
    text.resize(zt40::maxScenarioBytes + 1);
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(file.gcount()));
    if (file.bad()) {
        problem = std::string("cannot read ") + path;
        return false;
    }
    if (text.size() > zt40::maxScenarioBytes) {
        problem = std::string(path) + " is larger than " + std::to_string(zt40::maxScenarioBytes) +
                  " bytes; a scenario is a short text";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    const char* picture = nullptr;        // PNG file, or none
    const char* configuration = nullptr;  // configuration file to start from, or none
    int next = 1;
    for (; next + 1 < argc; next += 2) {
        if (std::strcmp(argv[next], "--screenshot") == 0 && !picture) picture = argv[next + 1];
        else if (std::strcmp(argv[next], "--config") == 0 && !configuration) configuration = argv[next + 1];
        else break;
    }
    if (next != argc - 1) {
        std::cerr << usage;
        return 2;
    }
    const char* scenarioFile = argv[next];
    std::string text;
    std::string problem;
    if (!readScenario(scenarioFile, text, problem)) {
        std::cerr << "zt40-sim: " << problem << "\n";
        return 2;
    }
    std::error_code status;
    if (configuration && !std::filesystem::is_regular_file(configuration, status)) {
        std::cerr << "zt40-sim: " << configuration << " is no configuration file\n";
        return 2;
    }
    zt40::ScenarioError error{};
    const auto scenario = zt40::parseScenario(text, error);
    if (!scenario) {
        std::cerr << scenarioFile << ":" << error.line << ": " << error.message << "\n";
        return 1;
    }

#ifdef ZT40_SCREENSHOT
    // Offscreen unless told otherwise: the picture needs fonts, not a display.
    if (picture && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgumentCount = 1;
    std::unique_ptr<QGuiApplication> application;
    std::unique_ptr<zt40::ImageScreen> screen;
    if (picture) {
        application = std::make_unique<QGuiApplication>(qtArgumentCount, argv);  // the program's name alone
        screen = std::make_unique<zt40::ImageScreen>(zt40::scenarioWindowWidth, zt40::scenarioWindowHeight);
    }
#else
    if (picture) {
        std::cerr << "zt40-sim: built without Qt, no pictures\n";
        return 2;
    }
    zt40::ScenarioScreen* screen = nullptr;
#endif
    if (const std::string failure = zt40::runScenario(*scenario, std::cout, screen ? &*screen : nullptr,
                                                      configuration ? configuration : "");
        !failure.empty()) {
        std::cerr << scenarioFile << ": " << failure << "\n";
        return 1;
    }
#ifdef ZT40_SCREENSHOT
    if (screen && !screen->save(QString::fromLocal8Bit(picture))) {
        std::cerr << "zt40-sim: cannot write " << picture << "\n";
        return 1;
    }
#endif
    return std::cout.good() ? 0 : 1;
}
