#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vantrel {

// The headless replay: starts the market, runs it for a number of ticks and
// writes one CSV row per tick, so the market can be studied or plotted
// without the window. Returns the process exit status.
int runMarketTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace vantrel
