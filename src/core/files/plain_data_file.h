#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/csv_file.h"

namespace tavel {

class Workspace;

// Whether a text's lines are a table with one consistent separator (a semicolon, a tab or a
// comma in every line, as often), which the CSV reader reads; otherwise blanks separate.
bool LooksLikeCsv(std::string_view text);

// Opens plain text as people write it, for data files that are not ".prn": comment lines
// (first non-blank character '#', '%', '!', ';' or '@', or beginning with "//") are skipped;
// what follows a line's last number is a remark; a first line of names gives the series
// titles; a line holding only "&", or two or more blank lines in a row, end a block, and each
// block's Y columns become series of their own. Decimal commas are read when every number
// with a decimal mark uses a comma. A text with one consistent separator goes to the CSV
// reader. A file with no number at all fails with noNumbers set.
CsvOpenResult OpenPlainDataFile(Workspace& workspace, const std::string& path);

// What the window shows once after a file was read (and the command line prints): the cells
// that held no number, the lines skipped, the lines shorter than their block.
std::vector<std::string> ReadingNotes(const CsvOpenResult& result, const std::string& path);

namespace testing_hooks {
// A text this large is read in two parts at once; tests lower it to check the parts agree.
extern std::size_t PlainTextTwoPartBytes;
// When not 0, the rows the first block of each part has room for, however long the text is;
// tests make it small to check rows that outgrow it.
extern std::size_t PlainTextRoomRows;
}  // namespace testing_hooks

}  // namespace tavel
