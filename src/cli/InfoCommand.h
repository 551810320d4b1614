#pragma once
// pagevane-cli --info: what each PDF holds (page count, page sizes, whether it needs a
// password and whether the given one opens it).

#include <iosfwd>
#include <string>
#include <vector>

// Prints one report per file to `out`. Returns 0 when every file opened, 1 otherwise.
int RunInfo(const std::vector<std::string>& files, const std::string& password, bool passwordGiven,
            std::ostream& out);
