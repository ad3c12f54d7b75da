#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace vantrel {

// A table as a spreadsheet reads it: UTF-8 with a byte-order mark, CRLF line
// ends, the captions, then one line of cells(row) for each row. No field the
// results write holds a comma, a quote or a line break, so none is quoted.
template <std::size_t N, typename Rows, typename Cells>
std::string csvTable(const std::array<const char*, N>& captions, const Rows& rows, Cells cells) {
    std::string csv = "\xEF\xBB\xBF";
    const auto line = [&csv](const auto& fields) {
        for (std::size_t column = 0; column < N; ++column) {
            if (column != 0)
                csv += ',';
            csv += fields[column];
        }
        csv += "\r\n";
    };
    line(captions);
    for (const auto& row : rows)
        line(cells(row));
    return csv;
}

} // namespace vantrel
