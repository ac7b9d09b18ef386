// The one table of current figures that scripts/bench prints at its end.
//
// Each benchmark adds its headline figures as rows of four cells (what was
// measured, Ostrel's figure, the peers' figures, the goal) to the file named
// by OSTREL_BENCH_SUMMARY, one tab-separated line a row. Without that
// variable the rows go nowhere and a benchmark prints only its own report.
#pragma once

#include <string>

namespace bench {

// printf-style formatting into a std::string, for the cells.
std::string Cell(const char* format, ...) __attribute__((format(printf, 1, 2)));

// COUNT with commas between thousands: "200,000".
std::string Thousands(long count);

// Appends one row; exits with status 1 and a message when the row cannot be
// written, so that a table with rows missing is never printed as complete.
void AddSummaryRow(const std::string& measurement, const std::string& ostrel, const std::string& peers,
                   const std::string& goal);

}  // namespace bench
