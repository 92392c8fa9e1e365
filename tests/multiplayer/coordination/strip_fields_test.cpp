#include <gtest/gtest.h>

#include <string>

#include "multiplayer/coordination/strip_fields.h"

namespace tarnwick::coordination {
namespace {

TEST(StripFieldsText, FieldsAreSetFromWhatAControllerTypesOrRefusedAsTheyWere) {
    StripFields fields;
    EXPECT_EQ(SetStripField(fields, StripField::Altitude, "5000"), "");
    EXPECT_EQ(SetStripField(fields, StripField::Heading, "360"), "");
    EXPECT_EQ(SetStripField(fields, StripField::Scratchpad, "ILS16R"), "");
    EXPECT_EQ(fields.AssignedAltitude, 5000);
    EXPECT_EQ(StripFieldText(fields, StripField::Heading), "360");

    const StripFields before = fields;
    EXPECT_EQ(SetStripField(fields, StripField::Altitude, "-300"),
              "the altitude \"-300\" is not a whole number");
    EXPECT_EQ(SetStripField(fields, StripField::Altitude, "5k"), "the altitude \"5k\" is not a whole number");
    EXPECT_EQ(SetStripField(fields, StripField::Speed, "99999999999"),
              "the speed \"99999999999\" is not a whole number");
    EXPECT_EQ(SetStripField(fields, StripField::Heading, "0"), "the heading 0 is not between 1 and 360");
    EXPECT_EQ(SetStripField(fields, StripField::Route, std::string(129, 'R')),
              "the route is 129 bytes, at most 128 are allowed");
    EXPECT_EQ(SetStripField(fields, StripField::Remarks, "a\tb"),
              "the remarks holds the control byte 9 at 1");
    EXPECT_EQ(fields, before) << "a refused value changes nothing";

    EXPECT_EQ(SetStripField(fields, StripField::Altitude, ""), "");
    EXPECT_EQ(SetStripField(fields, StripField::Scratchpad, ""), "");
    EXPECT_FALSE(IsSet(fields, StripField::Altitude)) << "an empty value unsets";
    EXPECT_FALSE(IsSet(fields, StripField::Scratchpad));
    EXPECT_EQ(StripProblem(fields), "");

    for (StripField field : kStripFields) EXPECT_EQ(StripFieldNamed(StripFieldName(field)), field);
    EXPECT_FALSE(StripFieldNamed("Altitude").has_value());
}

}  // namespace
}  // namespace tarnwick::coordination
