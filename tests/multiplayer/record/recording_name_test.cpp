#include "multiplayer/record/recording_name.h"

#include <gtest/gtest.h>

#include "state/chosen_area.h"

namespace tarnwick {
namespace {

TEST(RecordingName, DateTimeAndAreaWithoutSpacesOrBrackets) {
    std::tm evening{};
    evening.tm_year = 126;
    evening.tm_mon = 11;
    evening.tm_mday = 8;
    evening.tm_hour = 18;
    evening.tm_min = 43;
    EXPECT_EQ(DefaultRecordingName(evening, kAreaKindAirport, "Seattle Tacoma Intl  (KSEA)"),
              "Tarnwick-2026-12-08-1843-KSEA.jsonl");
    EXPECT_EQ(DefaultRecordingName(evening, kAreaKindSector, "Z\xFCrich/Kloten: \"LSZH\" "),
              "Tarnwick-2026-12-08-1843-Z\xFCrich-Kloten-LSZH.jsonl");
    EXPECT_EQ(DefaultRecordingName(evening, kAreaKindAirport, ""), "Tarnwick-2026-12-08-1843.jsonl");
    evening.tm_hour = 7;
    evening.tm_min = 5;
    EXPECT_EQ(DefaultRecordingName(evening, kAreaKindAirport, "X  (K1)"),
              "Tarnwick-2026-12-08-0705-K1.jsonl");
}

}  // namespace
}  // namespace tarnwick
