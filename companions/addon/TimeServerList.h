#pragma once

#include <string>

namespace AddOn {

// The time servers this machine's time service is configured with, read from
// the configuration below EtcFolder (systemd-timesyncd, chrony, ntp), then
// well-known public ones; no name twice, one per line.
std::string TimeServers(const std::string& EtcFolder);

// The configuration root: ZENTAVO_ETC_DIR (for tests) or /etc.
std::string EtcFolder();

} // namespace AddOn
