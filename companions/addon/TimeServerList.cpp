#include "TimeServerList.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string_view>
#include <system_error>
#include <vector>

namespace AddOn {

namespace {

// Offered after the machine's own servers: the NTP Pool, two large public
// services and the Brazilian NTP.br servers.
constexpr const char* PublicServers[] = {"pool.ntp.org",  "time.cloudflare.com", "time.google.com",
                                         "time.nist.gov", "a.st1.ntp.br",        "b.st1.ntp.br",
                                         "c.st1.ntp.br",  "pool.ntp.br"};

std::string Trimmed(std::string_view Text)
{
    const auto IsSpace = [](char Character) {
        return Character == ' ' || Character == '\t' || Character == '\r' || Character == '\n';
    };
    while (!Text.empty() && IsSpace(Text.front()))
        Text.remove_prefix(1);
    while (!Text.empty() && IsSpace(Text.back()))
        Text.remove_suffix(1);
    return std::string(Text);
}

std::vector<std::string> Words(const std::string& Text)
{
    std::vector<std::string> Result;
    std::istringstream Stream(Text);
    std::string Word;
    while (Stream >> Word)
        Result.push_back(Word);
    return Result;
}

std::vector<std::string> Lines(const std::filesystem::path& Path)
{
    std::vector<std::string> Result;
    std::ifstream File(Path);
    std::string Line;
    while (std::getline(File, Line))
        Result.push_back(Line);
    return Result;
}

// The files of Folder ending in Extension, in the order their names sort
// (the order systemd and chrony read drop-ins in).
std::vector<std::filesystem::path> DropIns(const std::filesystem::path& Folder, const std::string& Extension)
{
    std::vector<std::filesystem::path> Files;
    std::error_code Error;
    for (std::filesystem::directory_iterator Entry(Folder, Error), End; !Error && Entry != End;
         Entry.increment(Error))
        if (Entry->path().extension() == Extension && Entry->is_regular_file(Error))
            Files.push_back(Entry->path());
    std::sort(Files.begin(), Files.end());
    return Files;
}

// A host name, an address or "host:port": printable, no spaces, not an option.
bool IsServerName(const std::string& Name)
{
    if (Name.empty() || Name.size() > 255 || Name.front() == '-')
        return false;
    return std::all_of(Name.begin(), Name.end(), [](char Character) {
        return Character > ' ' && Character < 0x7f && Character != '#';
    });
}

// systemd-timesyncd: NTP= and FallbackNTP= of the [Time] section, each
// assignment adding to its list and an empty one clearing it.
void AddTimesyncd(const std::filesystem::path& Etc, std::vector<std::string>& Servers)
{
    std::vector<std::filesystem::path> Files = {Etc / "systemd/timesyncd.conf"};
    for (const std::filesystem::path& DropIn : DropIns(Etc / "systemd/timesyncd.conf.d", ".conf"))
        Files.push_back(DropIn);
    std::vector<std::string> Primary, Fallback;
    for (const std::filesystem::path& File : Files) {
        bool InTime = false;
        for (const std::string& Raw : Lines(File)) {
            const std::string Line = Trimmed(Raw);
            if (Line.empty() || Line.front() == '#' || Line.front() == ';')
                continue;
            if (Line.front() == '[') {
                InTime = Line == "[Time]";
                continue;
            }
            const std::size_t Equals = Line.find('=');
            if (!InTime || Equals == std::string::npos)
                continue;
            const std::string Key = Trimmed(std::string_view(Line).substr(0, Equals));
            std::vector<std::string>* List = Key == "NTP"           ? &Primary
                                             : Key == "FallbackNTP" ? &Fallback
                                                                    : nullptr;
            if (List == nullptr)
                continue;
            const std::vector<std::string> Values = Words(Line.substr(Equals + 1));
            if (Values.empty())
                List->clear();
            List->insert(List->end(), Values.begin(), Values.end());
        }
    }
    Servers.insert(Servers.end(), Primary.begin(), Primary.end());
    Servers.insert(Servers.end(), Fallback.begin(), Fallback.end());
}

// chrony and ntp: the name after "server", "pool" or "peer"; ntp's local
// reference clocks (127.127.x.y) are no servers.
void AddDirectives(const std::vector<std::filesystem::path>& Files, std::vector<std::string>& Servers)
{
    for (const std::filesystem::path& File : Files)
        for (const std::string& Line : Lines(File)) {
            const std::vector<std::string> Fields = Words(Line);
            if (Fields.size() < 2 || (Fields[0] != "server" && Fields[0] != "pool" && Fields[0] != "peer"))
                continue;
            if (Fields[1].rfind("127.127.", 0) == 0)
                continue;
            Servers.push_back(Fields[1]);
        }
}

std::string Lowered(std::string Text)
{
    std::transform(Text.begin(), Text.end(), Text.begin(),
                   [](unsigned char Character) { return static_cast<char>(std::tolower(Character)); });
    return Text;
}

} // namespace

std::string TimeServers(const std::string& EtcFolder)
{
    const std::filesystem::path Etc(EtcFolder);
    std::vector<std::string> Servers;
    AddTimesyncd(Etc, Servers);
    std::vector<std::filesystem::path> Chrony = {Etc / "chrony/chrony.conf", Etc / "chrony.conf"};
    for (const std::filesystem::path& DropIn : DropIns(Etc / "chrony/sources.d", ".sources"))
        Chrony.push_back(DropIn);
    AddDirectives(Chrony, Servers);
    AddDirectives({Etc / "ntp.conf", Etc / "ntpsec/ntp.conf"}, Servers);
    Servers.insert(Servers.end(), std::begin(PublicServers), std::end(PublicServers));

    std::set<std::string> Seen;
    std::string Text;
    for (const std::string& Server : Servers) {
        if (!IsServerName(Server) || !Seen.insert(Lowered(Server)).second)
            continue;
        if (!Text.empty())
            Text += '\n';
        Text += Server;
    }
    return Text;
}

std::string EtcFolder()
{
    if (const char* Value = std::getenv("ZENTAVO_ETC_DIR"); Value != nullptr && *Value != '\0')
        return Value;
    return "/etc";
}

} // namespace AddOn
