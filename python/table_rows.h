#pragma once
// A run's rows kept as columns, for the module to hand out as arrays.

#include <string>
#include <vector>

#include "scenario.h"

namespace zt40 {

struct Table {
    std::vector<std::string> names;
    std::vector<std::vector<double>> columns;  // one per name, each a value per row
};

class TableRows final : public RowSink {
public:
    void columns(const std::vector<std::string>& names) override {
        table.names = names;
        table.columns.assign(names.size(), {});
    }
    void row(const std::vector<double>& values) override {
        for (std::size_t i = 0; i < values.size() && i < table.columns.size(); ++i) {
            table.columns[i].push_back(values[i]);
        }
    }

    Table table;
};

}  // namespace zt40
