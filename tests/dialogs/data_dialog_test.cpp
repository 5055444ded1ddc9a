#include "data_dialog_rules.h"

#include <gtest/gtest.h>

#include <memory>

namespace zt40 {
namespace {


// An engine in service: warm cylinders, a train on, plausible machine values.
std::unique_ptr<LocomotiveState> engineInService() {
    auto s = std::make_unique<LocomotiveState>();
    s->trainWeight = 300;
    s->ambientTemp = 293;
    s->cylinderWallTemp = 400.0;
    s->valveLead = 2.0;
    s->exhaustEnd = 86.0;
    s->expansionEnd = 91.0;
    s->blastPipeArea = 0.012;
    s->portArea = 0.01;
    s->waterQuality = 57;
    s->targetWaterLevel = 329;
    s->boilerPower = 742500.0;
    s->superheaterPower = 8000000.0;
    s->frictionFactor = 0.3;
    s->maxGradient = 40;
    return s;
}

class DataDialogTest : public ::testing::Test {
protected:
    // Opens the dialog, types `text` into `field` and applies.
    void applyTyped(DataField field, const std::string& text) {
        DataDialogSession dialog(*s, random);
        DataTexts typed = dialog.shown();
        textOf(typed, field) = text;
        dialog.apply(typed);
    }

    std::unique_ptr<LocomotiveState> s = engineInService();
    Random15 random{7};
};

TEST_F(DataDialogTest, ShowsTheFileUnitsWithADecimalComma) {
    const DataTexts expected = {"300",        "20",         "127,000000", "3,600000", "154,800000",
                                "163,800000", "12,000000",  "10,000000",  "57",       "125",
                                "11000,000000", "8000,000000", "0,300000", "40"};
    EXPECT_EQ(dataTextsOf(*s), expected);
}

TEST_F(DataDialogTest, TypedTextsStoreInTheRecordsUnits) {
    applyTyped(DataField::frictionFactor, "0,25");
    EXPECT_DOUBLE_EQ(s->frictionFactor, 0.25);
    s->frictionFactor = 0.3;
    applyTyped(DataField::frictionFactor, "0.25");
    EXPECT_DOUBLE_EQ(s->frictionFactor, 0.25);
    applyTyped(DataField::trainWeight, "1,5");
    EXPECT_EQ(s->trainWeight, 1);
    applyTyped(DataField::ambientTemp, " 25");
    EXPECT_EQ(s->ambientTemp, 298);
    applyTyped(DataField::valveLead, "9");
    EXPECT_DOUBLE_EQ(s->valveLead, 5.0);
    applyTyped(DataField::blastPipeArea, "15,5");
    EXPECT_DOUBLE_EQ(s->blastPipeArea, 0.0155);
    applyTyped(DataField::targetWaterLevel, "200");
    EXPECT_EQ(s->targetWaterLevel, 254);
    applyTyped(DataField::boilerPower, "6000");
    EXPECT_DOUBLE_EQ(s->boilerPower, 405000.0);
    applyTyped(DataField::superheaterPower, "5000");
    EXPECT_DOUBLE_EQ(s->superheaterPower, 5000000.0);
}

TEST_F(DataDialogTest, ImplausibleValuesTakeTheirDefaultsWithoutWrapping) {
    applyTyped(DataField::cylinderWallTemp, "10");  // below the air around
    EXPECT_DOUBLE_EQ(s->cylinderWallTemp, 293.0);
    // Eight-bit fields are checked on the whole typed value.
    for (const char* typed : {"150", "300", "-200", "99999999999"}) {
        s->waterQuality = 57;
        applyTyped(DataField::waterQuality, typed);
        EXPECT_EQ(s->waterQuality, 100) << typed;
    }
    for (const char* typed : {"120", "260", "-255"}) {
        s->maxGradient = 12;
        applyTyped(DataField::maxGradient, typed);
        EXPECT_EQ(s->maxGradient, 40) << typed;
    }
    // An infinity or a NaN reads as nothing readable, which is 0.
    applyTyped(DataField::superheaterPower, "inf");
    EXPECT_EQ(s->superheaterPower, 1e-99);
    applyTyped(DataField::blastPipeArea, "nan");
    EXPECT_DOUBLE_EQ(s->blastPipeArea, 0.012);
    applyTyped(DataField::frictionFactor, "1e999");
    EXPECT_DOUBLE_EQ(s->frictionFactor, 0.25);
    s->cylinderWallTemp = 400.0;
    applyTyped(DataField::cylinderWallTemp, "-nan");
    EXPECT_DOUBLE_EQ(s->cylinderWallTemp, 293.0);
    // Numbers beyond 32 bits saturate before the offsets are added.
    applyTyped(DataField::trainWeight, "99999999999");
    EXPECT_EQ(s->trainWeight, 0);
    applyTyped(DataField::targetWaterLevel, "-99999999999");
    EXPECT_EQ(s->targetWaterLevel, 329);
    applyTyped(DataField::ambientTemp, "99999999999");
    EXPECT_GE(s->ambientTemp, 253);
    EXPECT_LE(s->ambientTemp, 303);
}

TEST_F(DataDialogTest, OnlyTheFieldsTheUserChangedAreApplied) {
    DataDialogSession dialog(*s, random);
    EXPECT_TRUE(s->dataDialogOpen);
    // Meanwhile the cylinders warm, the weight keys and the track do their work.
    s->cylinderWallTemp = 450.0;
    s->trainWeight = 500;
    s->frictionFactor = 0.2;
    DataTexts typed = dialog.shown();
    textOf(typed, DataField::maxGradient) = "25";
    EXPECT_FALSE(dialog.apply(typed));
    EXPECT_DOUBLE_EQ(s->cylinderWallTemp, 450.0);
    EXPECT_EQ(s->trainWeight, 500);
    EXPECT_DOUBLE_EQ(s->frictionFactor, 0.2);
    EXPECT_EQ(s->maxGradient, 25);
    EXPECT_TRUE(s->resetSpaces);
    EXPECT_FALSE(s->stateDefaulted);
    // Applied once, a text is not applied again over what the run did since.
    s->maxGradient = 30;
    textOf(typed, DataField::frictionFactor) = "0,35";
    dialog.apply(typed);
    EXPECT_EQ(s->maxGradient, 30);
    EXPECT_DOUBLE_EQ(s->frictionFactor, 0.35);
}

TEST_F(DataDialogTest, CancelLeavesTheRecordAndReloadShowsIt) {
    const DataTexts before = dataTextsOf(*s);
    {
        DataDialogSession dialog(*s, random);
        DataTexts typed = dialog.shown();
        textOf(typed, DataField::trainWeight) = "1200";
        s->frictionFactor = 0.2;  // the track walk, while the dialog is open
        EXPECT_EQ(textOf(dialog.reload(), DataField::frictionFactor), "0,200000");
        EXPECT_EQ(textOf(dialog.shown(), DataField::trainWeight), "300");
        dialog.close();
    }
    s->frictionFactor = 0.3;
    EXPECT_EQ(dataTextsOf(*s), before);
    EXPECT_FALSE(s->dataDialogOpen);
    EXPECT_FALSE(s->resetSpaces);
}

TEST_F(DataDialogTest, ARunOnDefaultsShowsWhatWasStoredAndKeepsItsFlag) {
    s->stateDefaulted = true;
    DataDialogSession dialog(*s, random);
    DataTexts typed = dialog.shown();
    textOf(typed, DataField::waterQuality) = "150";
    EXPECT_TRUE(dialog.apply(typed));
    EXPECT_EQ(textOf(dialog.shown(), DataField::waterQuality), "100");
    EXPECT_TRUE(s->stateDefaulted);
}

}  // namespace
}  // namespace zt40
