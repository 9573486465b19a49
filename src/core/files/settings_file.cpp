#include "core/files/settings_file.h"

#include <algorithm>
#include <string_view>
#include <optional>
#include <string>
#include <vector>

#include "core/files/atomic_file.h"
#include "core/files/file_bytes.h"
#include "core/series/number_text.h"

namespace tavel {

std::filesystem::path SettingsFilePath(const std::filesystem::path& executable) {
  std::filesystem::path path = executable;
  path.replace_extension(".cfg");
  return path;
}

namespace {

// Four short lines; far more is no settings file.
constexpr std::uint64_t kSettingsFileLimit = 64 * 1024;

std::vector<std::string> ReadLines(std::string_view text) {
  std::vector<std::string> lines;
  while (lines.size() < 4 && !text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string line(text.substr(0, end));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return lines;
}

}  // namespace

SettingsLoad LoadSettings(const std::filesystem::path& path, GraphSettings& settings) {
  settings.SettingsReserved = 0;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return SettingsLoad::NoFile;

  const auto fail = [&] {
    settings.MaxDataIndex = 10;
    settings.BarWidth = 1;
    settings.SettingsReserved = 0;
    settings.PrinterOptions = 0;
    return SettingsLoad::Failed;
  };

  // Read as the data files are: a pipe cannot stall the start, nor a link to /dev/zero fill
  // the memory; either is refused as unreadable.
  const auto text = ReadWholeFile(path.string(), kSettingsFileLimit);
  if (!text) return fail();
  const auto lines = ReadLines(*text);
  if (lines.size() < 3) return fail();
  const auto maxDataIndex = ParseInteger(lines[0]);
  const auto barWidth = ParseInteger(lines[1]);
  const auto reserved = ParseInteger(lines[2]);
  if (!maxDataIndex || !barWidth || !reserved) return fail();
  std::int32_t printerOptions = 0;
  if (lines.size() > 3 && !lines[3].empty()) {
    const auto parsed = ParseInteger(lines[3]);
    if (!parsed) return fail();
    printerOptions = *parsed;
  }

  settings.MaxDataIndex =
      *maxDataIndex < 1 || *maxDataIndex > MaxDataIndexLimit ? 10 : *maxDataIndex;
  settings.BarWidth = *barWidth < 1 || *barWidth > BarWidthLimit ? 1 : *barWidth;
  settings.SettingsReserved = *reserved;
  // Graph files carry this value and their reader refuses what lies outside these, so a value
  // kept here unchecked would make every graph saved afterwards unreadable.
  settings.PrinterOptions =
      printerOptions < 0 || printerOptions > PrinterOptionsLimit ? 0 : printerOptions;
  try {
    WriteSettingsFile(path, settings);
  } catch (const FileWriteError&) {
    return fail();
  }
  return SettingsLoad::Loaded;
}

void WriteSettingsFile(const std::filesystem::path& path, const GraphSettings& settings) {
  std::string content;
  for (const std::int32_t value : {settings.MaxDataIndex, settings.BarWidth,
                                   settings.SettingsReserved, settings.PrinterOptions}) {
    content += std::to_string(value);
    content += "\r\n";
  }
  WriteFileAtomically(path, content);
}

}  // namespace tavel
