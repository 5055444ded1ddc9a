#pragma once
// A scenario run as the tests read it: its CSV, and the rows by column name.

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "scenario.h"

namespace zt40 {

inline std::string run(std::string_view text) {
    ScenarioError error{};
    const auto scenario = parseScenario(text, error);
    EXPECT_TRUE(scenario) << error.line << ": " << error.message;
    std::ostringstream csv;
    if (scenario) {
        EXPECT_EQ(runScenario(*scenario, csv), "");
    }
    return csv.str();
}

using Row = std::map<std::string, double>;

inline std::vector<Row> rowsOf(const std::string& csv) {
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line);
    std::vector<std::string> names;
    std::istringstream header(line);
    for (std::string name; std::getline(header, name, ',');) names.push_back(name);
    std::vector<Row> rows;
    while (std::getline(lines, line)) {
        std::istringstream values(line);
        auto& row = rows.emplace_back();
        std::string value;
        for (const std::string& name : names) {
            std::getline(values, value, ',');
            row[name] = std::stod(value);
        }
    }
    return rows;
}

}  // namespace zt40
