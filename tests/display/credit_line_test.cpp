// The credit line names the sources' date the German way.
#include "credit_line.h"

#include <gtest/gtest.h>

namespace zt40 {
namespace {

TEST(CreditLine, NamesTheBuildDateInGermanForm) {
    EXPECT_EQ(germanDate({2026, 12, 8}), "8. Dezember 2026");
    EXPECT_EQ(germanDate({2027, 3, 31}), "31. M\xc3\xa4rz 2027");
    const CalendarDate built = buildDate();
    EXPECT_GE(built.year, 2020);
    EXPECT_EQ(std::string(creditLine()), "ZT 40 \xc2\xb7 Programmstand vom " + germanDate(built));
}

}  // namespace
}  // namespace zt40
