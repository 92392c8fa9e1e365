#include "app/database_renewal.h"

#include <array>
#include <exception>

#include "base/file_system.h"
#include "scenery/database_file.h"
#include "state/settings.h"
#include "state/work_folder.h"

namespace tarnwick {

std::vector<std::filesystem::path> ProgramFilesIn(std::string_view workFolder) {
    const std::filesystem::path folder = WorkFolderPath(workFolder);
    std::vector<std::filesystem::path> files;
    for (const char* name : {kSettingsFileName, kAirportsFileName, kAirspacesFileName}) {
        std::error_code error;
        const std::optional<std::filesystem::path> file = FindEntryNoCase(folder, name);
        if (file && !std::filesystem::is_directory(*file, error)) files.push_back(*file);
    }
    return files;
}

RenewalOutcome CreateNewDatabaseFiles(MessageBoxes& boxes, std::string_view workFolder,
                                      const std::function<void()>& leaveSession) {
    if (boxes.Show(kRenewDatabasesQuestion, MessageIcon::Information, MessageButtons::OkCancel) !=
        MessageAnswer::Ok) {
        return RenewalOutcome::Cancelled;
    }
    for (const std::filesystem::path& file : ProgramFilesIn(workFolder)) {
        std::error_code ignored;
        std::filesystem::remove(file, ignored);
    }
    try {
        if (leaveSession) leaveSession();
    } catch (const std::exception&) {
        // The program ends in a moment; the session goes with it.
    }
    boxes.Inform(kDatabasesDeletedNotice);
    return RenewalOutcome::EndProgram;
}

}  // namespace tarnwick
