#pragma once
// A fresh folder under the system's temporary folder, removed afterwards.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tarnwick::testing {

class TempFolder {
   public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string String() const { return path_.string(); }
    std::filesystem::path Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;
    std::filesystem::path Write(const std::string& name, const std::string& text) const;

   private:
    std::filesystem::path path_;
};

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values);

}  // namespace tarnwick::testing
