#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <vector>

// A test that runs in a fresh working folder of its own, holding copies of the
// stand-in companion libraries it asks for.
class TCompanionFolder : public testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Copies the working stand-ins (e.g. "lu.so") into the folder.
    void Install(std::initializer_list<const char*> Names);
    // Copies stand-ins of the same names that export nothing.
    void InstallHollow(std::initializer_list<const char*> Names);
    // Copies the stand-in whose export throws, under the name Name.
    void InstallThrowing(const char* Name);

    // The lines of companion.log, where stand-ins and fakes record their calls.
    std::vector<std::string> Log() const;
    void WriteFile(const std::string& Name, const std::string& Content) const;
    std::string ReadFile(const std::string& Name) const;

    std::string FFolder;

private:
    std::string FPrevious;
};
