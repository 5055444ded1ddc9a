#include "auto_control_dialog.h"

#include <gtest/gtest.h>

namespace zt40 {
namespace {

TEST(AutoControlDialog, EditsTakeValuesInRangeAndPutBackTheRest) {
    AutoControlSettings record;
    AutoControlDialogModel dialog(record);
    EXPECT_EQ(dialog.editText(AutoSetting::chestPressure), "14,0");

    dialog.editConfirmed(AutoSetting::speed, "40");
    dialog.editConfirmed(AutoSetting::speed, "75");  // beyond the trackbar
    EXPECT_EQ(dialog.position(AutoSetting::speed), 40);
    EXPECT_EQ(dialog.editText(AutoSetting::speed), "40");
    EXPECT_DOUBLE_EQ(dialog.speedSetting(), 40 / 3.6);

    // Decimal comma or point, truncated to tenths of a bar.
    for (const char* text : {"12,5", "12.57"}) {
        dialog.editConfirmed(AutoSetting::chestPressure, "8");
        dialog.editConfirmed(AutoSetting::chestPressure, text);
        EXPECT_DOUBLE_EQ(dialog.chestPressureSetting(), 1250000.0) << text;
        EXPECT_EQ(dialog.editText(AutoSetting::chestPressure), "12,5") << text;
    }
    // 2,3 bar is 23 tenths, though 2.3 × 10 falls a hair short of 23.
    dialog.editConfirmed(AutoSetting::backPressure, "2,3");
    EXPECT_EQ(dialog.position(AutoSetting::backPressure), 23);

    // Nothing readable counts as 0 where 0 is in range; no infinity or NaN gets in.
    dialog.editConfirmed(AutoSetting::power, "abc");
    EXPECT_EQ(dialog.powerSetting(), 0.0);
    dialog.editConfirmed(AutoSetting::power, "50");
    for (const char* text : {"nan", "-inf", "1e999"}) {
        dialog.editConfirmed(AutoSetting::power, text);
        dialog.editConfirmed(AutoSetting::speed, text);
        EXPECT_DOUBLE_EQ(dialog.powerSetting(), 100 / 36.0) << text;
        EXPECT_EQ(dialog.editText(AutoSetting::power), "50,0") << text;
        EXPECT_EQ(dialog.position(AutoSetting::speed), 40) << text;
    }
    // Below its range the chest pressure is refused, and "0" with it.
    dialog.editConfirmed(AutoSetting::chestPressure, "0");
    EXPECT_DOUBLE_EQ(dialog.chestPressureSetting(), 1250000.0);
}

TEST(AutoControlDialog, PresetsAndCaptionsFollowTheMode) {
    AutoControlSettings record;
    AutoControlDialogModel dialog(record);
    EXPECT_STREQ(dialog.title(), "Automatische Steuerung Aus");

    dialog.chooseMode(AutoControlMode::power);
    EXPECT_TRUE(record.controlOn);
    EXPECT_STREQ(dialog.groupCaptions().speedGroup, "deaktiviert");
    dialog.preset(AutoPreset::gentle);  // power mode: chest pressure and cut-off only
    EXPECT_DOUBLE_EQ(dialog.chestPressureSetting(), 800000.0);
    EXPECT_EQ(dialog.minCutoffSetting(), 60);
    EXPECT_EQ(dialog.powerSetting(), 0.0);
    EXPECT_EQ(dialog.backPressureSetting(), 0.0);

    dialog.chooseMode(AutoControlMode::speed);
    EXPECT_STREQ(dialog.groupCaptions().powerGroup, "Maximale Leistung in kg/m²h");
    dialog.preset(AutoPreset::gentle);  // 2.2222 × 36 = 79.9992 still shows 80
    EXPECT_EQ(dialog.position(AutoSetting::power), 80);
    EXPECT_EQ(dialog.editText(AutoSetting::power), "40,0");
    EXPECT_EQ(dialog.editText(AutoSetting::backPressure), "5,0");
    EXPECT_EQ(dialog.position(AutoSetting::chestPressure), 80);

    dialog.chooseMode(AutoControlMode::off);  // title only; the groups keep their captions
    EXPECT_FALSE(record.controlOn);
    EXPECT_STREQ(dialog.title(), "Automatische Steuerung Aus");
    EXPECT_STREQ(dialog.groupCaptions().powerGroup, "Maximale Leistung in kg/m²h");

    dialog.requestReverse();
    dialog.requestForward();
    EXPECT_TRUE(record.forwardRequest);
    EXPECT_FALSE(record.reverseRequest);
}

TEST(AutoControlDialog, RampsLeadTheControlAndReopeningTakesWhereTheyStand) {
    AutoControlSettings record;
    record.controlOn = true;
    record.backPressure = 800000.0;
    {
        AutoControlDialogModel dialog(record);
        EXPECT_TRUE(record.dialogOpen);
        dialog.trackbarMoved(AutoSetting::backPressure, 0);
        int ticks = 0;
        for (; record.backPressure > 0.0; ++ticks) dialog.tick();
        EXPECT_EQ(ticks, 16);  // 50 000 Pa per tick down
        dialog.trackbarMoved(AutoSetting::backPressure, 80);
        for (ticks = 0; record.backPressure < 800000.0; ++ticks) dialog.tick();
        EXPECT_EQ(ticks, 80);  // 10 000 Pa per tick up
        EXPECT_EQ(dialog.selection(AutoSetting::backPressure).from, 77);

        dialog.editConfirmed(AutoSetting::speed, "61");
        for (int i = 0; i < 20; ++i) dialog.tick();
        dialog.trackbarMoved(AutoSetting::speed, 0);
        for (int i = 0; i < 3; ++i) dialog.tick();
        dialog.close();
        EXPECT_FALSE(record.dialogOpen);
    }
    // The speed was still on its way down: the new setting is where it stood.
    AutoControlDialogModel reopened(record);
    EXPECT_EQ(reopened.position(AutoSetting::speed), 17);

    // Switched off, the settings reach the control at the next tick.
    record.controlOn = false;
    reopened.editConfirmed(AutoSetting::speed, "61");
    reopened.tick();
    EXPECT_DOUBLE_EQ(record.targetSpeed, 61 / 3.6);
    AutoControlDialogModel again(record);
    EXPECT_EQ(again.position(AutoSetting::speed), 61);
}

}  // namespace
}  // namespace zt40
