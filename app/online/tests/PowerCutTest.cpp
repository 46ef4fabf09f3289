// A refresh cut short at any moment leaves the old document or the new one
// on disk, never a part of one.
#include "services/ConfigDocument.h"
#include "services/tests/CompanionFolder.h"

#include <chrono>
#include <csignal>
#include <random>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

std::string Copy(const std::string& Marker)
{
    // Long enough that a write takes more than one system call's worth of moments.
    std::string Entries;
    for (int Index = 0; Index < 2000; ++Index)
        Entries += "<entry id=\"service_" + std::to_string(Index) + "\" link=\"http://127.0.0.1/" + Marker + "\"/>";
    return "<zentavo marker=\"" + Marker +
           "\"><library><popup><shopwindow elapse=\"60\"/></popup><connection/></library><services>" + Entries +
           "</services><system><link url=\"http://127.0.0.1/\"><config document=\"sysConf.xml\"/></link>"
           "</system></zentavo>";
}

class PowerCutTest : public TCompanionFolder
{
};

TEST_F(PowerCutTest, TheDocumentOnDiskIsAlwaysTheOldOrTheNewOne)
{
    Install({"connection.so"});
    // The size each copy has once the clock has written it.
    std::vector<std::string> Written;
    for (const char* Marker : {"a", "b"}) {
        WriteFile(std::string(Marker) + ".xml", Copy(Marker));
        TConfigDocument Document;
        Document.LoadFromFile(std::string(Marker) + ".xml");
        Document.SaveToFile("sysConf.xml");
        Written.push_back(ReadFile("sysConf.xml"));
    }
    std::mt19937 Random(20261209);
    std::uniform_int_distribution<int> Moment(30000, 200000);
    const int Cuts = 200;
    int Replaced = 0;
    for (int Cut = 0; Cut < Cuts; ++Cut) {
        const std::string Before = ReadFile("sysConf.xml");
        char Program[] = ZENTAVO_REFRESH_LOOP;
        char* Arguments[] = {Program, FFolder.data(), nullptr};
        pid_t Child = 0;
        ASSERT_EQ(posix_spawn(&Child, Program, nullptr, nullptr, Arguments, environ), 0);
        std::this_thread::sleep_for(std::chrono::microseconds(Moment(Random)));
        kill(Child, SIGKILL);
        int Status = 0;
        waitpid(Child, &Status, 0);
        ASSERT_TRUE(WIFSIGNALED(Status)) << "the loop ended by itself at cut " << Cut;
        const std::string After = ReadFile("sysConf.xml");
        // Whole and readable: the clock writes attributes in an order of its own run.
        TConfigDocument OnDisk;
        ASSERT_NO_THROW(OnDisk.LoadFromFile()) << "cut " << Cut;
        const std::string Marker = TConfigDocument::Attribute(OnDisk.Element("zentavo"), "marker");
        ASSERT_TRUE(Marker == "a" || Marker == "b") << "cut " << Cut;
        ASSERT_EQ(After.size(), Written[Marker == "a" ? 0 : 1].size()) << "cut " << Cut;
        ASSERT_EQ(OnDisk.Services().size(), 2000u) << "cut " << Cut;
        ASSERT_EQ(TConfigDocument::Attribute(OnDisk.Services().back(), "link"), "http://127.0.0.1/" + Marker);
        Replaced += After != Before;
    }
    // Not a test of the timing, only that the cuts fell inside writes at all.
    EXPECT_GT(Replaced, 10);
    std::cout << Replaced << " of " << Cuts << " cuts found a newer document\n";
}

} // namespace
