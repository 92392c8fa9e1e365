#include "state/area_identifier.h"

#include <gtest/gtest.h>

#include "state/chosen_area.h"

namespace tarnwick {
namespace {

TEST(AreaIdentifier, AnAirportByItsIcaoIdentASectorByItsNameInFileNameCharacters) {
    EXPECT_EQ(AreaIdentifier(kAreaKindAirport, "Seattle Tacoma Intl  (KSEA)"), "KSEA");
    EXPECT_EQ(AreaIdentifier(kAreaKindAirport, "Aero (Club) Field  (K0S9) "), "K0S9") << "the last brackets";
    EXPECT_EQ(AreaIdentifier(kAreaKindSector, "Seattle Center (ZSE)"), "Seattle-Center-ZSE")
        << "a sector's title is its name, brackets and all";
    EXPECT_EQ(AreaIdentifier(kAreaKindSector, "Z\xFCrich/Kloten: \"LSZH\" "), "Z\xFCrich-Kloten-LSZH")
        << "accented letters kept, every other run one hyphen, none at the ends";
    EXPECT_EQ(AreaIdentifier(kAreaKindAirport, "No ident  ()"), "No-ident") << "an empty ident: the title";
    EXPECT_EQ(AreaIdentifier(kAreaKindAirport, "(../..)"), "") << "nothing usable";
    EXPECT_EQ(AreaIdentifier(kAreaKindSector,
                             "a\xD7"
                             "b\xF7"
                             "c"),
              "a-b-c")
        << "\xD7 and \xF7 are not letters";
    EXPECT_EQ(AreaIdentifier("", ""), "");
}

}  // namespace
}  // namespace tarnwick
