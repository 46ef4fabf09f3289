#include "CompanionFolder.h"

#include "TemporaryHome.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

void CopyFrom(const std::string& Folder, const char* Name, const std::string& Target)
{
    std::filesystem::copy_file(std::filesystem::path(Folder) / Name, std::filesystem::path(Target),
                               std::filesystem::copy_options::overwrite_existing);
}

} // namespace

void TCompanionFolder::SetUp()
{
    FPrevious = std::filesystem::current_path().string();
    FFolder = Zentavo::Testing::MakeScratchFolder("companions");
    std::filesystem::current_path(FFolder);
}

void TCompanionFolder::TearDown()
{
    std::filesystem::current_path(FPrevious);
}

void TCompanionFolder::Install(std::initializer_list<const char*> Names)
{
    for (const char* Name : Names)
        CopyFrom(ZENTAVO_COMPANION_DIR, Name, FFolder + "/" + Name);
}

void TCompanionFolder::InstallHollow(std::initializer_list<const char*> Names)
{
    for (const char* Name : Names)
        CopyFrom(ZENTAVO_HOLLOW_DIR, Name, FFolder + "/" + Name);
}

void TCompanionFolder::InstallThrowing(const char* Name)
{
    CopyFrom(ZENTAVO_THROWING_DIR, "throwing.so", FFolder + "/" + Name);
}

std::vector<std::string> TCompanionFolder::Log() const
{
    std::vector<std::string> Lines;
    std::ifstream File(FFolder + "/companion.log");
    for (std::string Line; std::getline(File, Line);)
        Lines.push_back(Line);
    return Lines;
}

void TCompanionFolder::WriteFile(const std::string& Name, const std::string& Content) const
{
    std::ofstream File(FFolder + "/" + Name, std::ios::binary);
    File << Content;
}

std::string TCompanionFolder::ReadFile(const std::string& Name) const
{
    std::ifstream File(FFolder + "/" + Name, std::ios::binary);
    std::ostringstream Content;
    Content << File.rdbuf();
    return Content.str();
}
