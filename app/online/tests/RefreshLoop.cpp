// Refreshes the configuration document in the folder it is given, forever,
// alternating between two downloaded copies: the power-cut test kills it at
// random moments.
#include "StandInWindow.h"

#include <filesystem>
#include <fstream>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    std::filesystem::current_path(argv[1]);
    TStandInWindow Window;
    Window.Document.LoadFromFile();
    // The other copy first, so that every run replaces the file.
    bool NextIsA = TConfigDocument::Attribute(Window.Document.Element("zentavo"), "marker") != "a";
    for (;; NextIsA = !NextIsA) {
        std::filesystem::remove("HTTPRequest.calls");
        std::ofstream("HTTPRequest.script") << (NextIsA ? "a.xml" : "b.xml");
        Window.UpdateSysConf();
        if (!Window.System.SysConfOk)
            return 1;
    }
}
