#include "support/wine_prefix_fixture.h"

#include <fstream>

namespace tarnwick::testing {

namespace fs = std::filesystem;

fs::path MakeWinePrefix(const fs::path& prefix) {
    fs::create_directories(prefix / "drive_c" / "windows");
    fs::create_directories(prefix / "dosdevices");
    fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
    fs::create_directory_symlink("/", prefix / "dosdevices" / "z:");
    return prefix;
}

void PutSimulatorExe(const fs::path& folder, const std::string& name) {
    fs::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary);
}

void WriteSimulatorRegistry(const fs::path& prefix, const std::string& windowsFolder) {
    std::string escaped;
    for (char c : windowsFolder) {
        if (c == '\\' || c == '"') escaped += '\\';
        escaped += c;
    }
    std::ofstream out(prefix / "system.reg", std::ios::binary);
    out << "WINE REGISTRY Version 2\n"
           ";; All keys relative to \\\\Machine\n\n#arch=win32\n\n"
           "[Software\\\\Microsoft\\\\DirectX] 1700000000\n#time=1da0000000000\n"
           "\"Version\"=\"4.09.00.0904\"\n\n"
           "[Software\\\\Microsoft\\\\Microsoft Games\\\\Flight Simulator\\\\8.0] 1700000000\n"
           "#time=1da0000000000\n"
           "\"EXE Path\"=\""
        << escaped << "\"\n\"Installed\"=dword:00000001\n\n";
}

}  // namespace tarnwick::testing
