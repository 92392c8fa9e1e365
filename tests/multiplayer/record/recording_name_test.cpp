#include "multiplayer/record/recording_name.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(RecordingName, DateTimeAndAreaInCharactersEveryFileSystemTakes) {
    std::tm evening{};
    evening.tm_year = 126;
    evening.tm_mon = 11;
    evening.tm_mday = 8;
    evening.tm_hour = 21;
    evening.tm_min = 5;
    EXPECT_EQ(DefaultRecordingName(evening, "Seattle Tacoma Intl  (KSEA)"),
              "Tarnwick 2026-12-08 2105 Seattle Tacoma Intl (KSEA).jsonl");
    EXPECT_EQ(DefaultRecordingName(evening, "Z\xFCrich/Kloten: \"LSZH\" "),
              "Tarnwick 2026-12-08 2105 Z\xFCrich Kloten LSZH.jsonl");
    EXPECT_EQ(DefaultRecordingName(evening, ""), "Tarnwick 2026-12-08 2105.jsonl");
}

}  // namespace
}  // namespace tarnwick
