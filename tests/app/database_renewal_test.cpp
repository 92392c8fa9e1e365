#include "app/database_renewal.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/recording_message_boxes.h"
#include "support/temp_folder.h"

namespace tarnwick {
namespace {

using testing::RecordingMessageBoxes;

void Touch(const std::filesystem::path& path) { std::ofstream(path) << "x"; }

TEST(CreateNewDatabaseFiles, OkDeletesTheProgramFilesLeavesAndEnds) {
    testing::TempFolder folder;
    Touch(folder.Path() / "atc_settings.tcs");
    Touch(folder.Path() / "WORLD_AIRPORTS.DAT");  // copied from Windows
    Touch(folder.Path() / "notes.txt");
    RecordingMessageBoxes boxes;
    int left = 0;
    EXPECT_EQ(CreateNewDatabaseFiles(boxes, folder.String(), [&] { ++left; }), RenewalOutcome::EndProgram);
    EXPECT_EQ(left, 1);
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "atc_settings.tcs"));
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "WORLD_AIRPORTS.DAT"));
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "notes.txt"));
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].Text, kRenewDatabasesQuestion);
    EXPECT_EQ(boxes.shown[0].Buttons, MessageButtons::OkCancel);
    EXPECT_EQ(boxes.shown[1].Text, kDatabasesDeletedNotice);
    EXPECT_EQ(boxes.shown[1].Icon, MessageIcon::Information);

    // Nothing left to delete and a session that fails to leave: the same end.
    EXPECT_EQ(CreateNewDatabaseFiles(boxes, folder.String(), [] { throw std::runtime_error("gone"); }),
              RenewalOutcome::EndProgram);
    EXPECT_EQ(boxes.shown.back().Text, kDatabasesDeletedNotice);
}

TEST(CreateNewDatabaseFiles, CancelChangesNothing) {
    testing::TempFolder folder;
    Touch(folder.Path() / "atc_settings.tcs");
    Touch(folder.Path() / "world_airspaces.dat");
    RecordingMessageBoxes boxes;
    boxes.answers.push_back(MessageAnswer::Cancel);
    bool left = false;
    EXPECT_EQ(CreateNewDatabaseFiles(boxes, folder.String(), [&] { left = true; }),
              RenewalOutcome::Cancelled);
    EXPECT_FALSE(left);
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(ProgramFilesIn(folder.String()).size(), 2u);
}

}  // namespace
}  // namespace tarnwick
