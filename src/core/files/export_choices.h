#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tavel {

// The Export Graph dialog's last choices, kept between runs in a small file of its own beside
// the settings file, so the settings file stays as it always was.
struct ExportChoices {
  bool millimetres = false;
  double width = 0, height = 0;  // in the unit chosen
  int dpi = 96;
  bool dpiChosen = false;  // a resolution the user set, recorded in the picture
  bool paper = false;
  bool smooth = false;
  friend bool operator==(const ExportChoices&, const ExportChoices&) = default;
};

// "tavel-export.cfg" in the settings file's folder.
std::filesystem::path ExportChoicesPath(const std::filesystem::path& settingsFile);

// One "name=value" line per choice. Reading takes lines in any order and ignores names it does
// not know; a value that is not one (a size not above zero, a resolution beyond all reason, a
// flag other than 0 or 1) gives nothing, and the dialog starts from its defaults; what is in
// range but beyond the dialog's limits the dialog itself brings within them.
std::string ExportChoicesText(const ExportChoices& choices);
std::optional<ExportChoices> ParseExportChoices(std::string_view text);

// The file read (nothing when missing or damaged) and written through the one safe replace
// (throws FileWriteError).
std::optional<ExportChoices> ReadExportChoices(const std::filesystem::path& path);
void WriteExportChoices(const std::filesystem::path& path, const ExportChoices& choices);

}  // namespace tavel
