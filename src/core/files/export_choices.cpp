#include "core/files/export_choices.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "core/files/atomic_file.h"
#include "core/files/file_bytes.h"

namespace tavel {
namespace {

// Far beyond any picture the dialog makes; a file of a few lines.
constexpr double kLargestLength = 1e6;
constexpr int kLargestDpi = 100000;
constexpr std::uint64_t kLargestFile = 4096;

bool ReadFlag(std::string_view value, bool& flag) {
  if (value != "0" && value != "1") return false;
  flag = value == "1";
  return true;
}

bool ReadLength(std::string_view value, double& length) {
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), length);
  return error == std::errc() && end == value.data() + value.size() && std::isfinite(length) &&
         length > 0 && length <= kLargestLength;
}

bool ReadDpi(std::string_view value, int& dpi) {
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), dpi);
  return error == std::errc() && end == value.data() + value.size() && dpi >= 1 &&
         dpi <= kLargestDpi;
}

}  // namespace

std::filesystem::path ExportChoicesPath(const std::filesystem::path& settingsFile) {
  return settingsFile.parent_path() / "tavel-export.cfg";
}

std::string ExportChoicesText(const ExportChoices& c) {
  char text[256];
  std::snprintf(text, sizeof text,
                "units=%s\nwidth=%.17g\nheight=%.17g\ndpi=%d\ndpi-chosen=%d\npaper=%d\nsmooth=%d\n",
                c.millimetres ? "mm" : "px", c.width, c.height, c.dpi, c.dpiChosen ? 1 : 0,
                c.paper ? 1 : 0, c.smooth ? 1 : 0);
  return text;
}

std::optional<ExportChoices> ParseExportChoices(std::string_view text) {
  ExportChoices c;
  bool width = false, height = false;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const std::string_view name = line.substr(0, equals), value = line.substr(equals + 1);
    bool ok = true;
    if (name == "units") {
      ok = value == "mm" || value == "px";
      c.millimetres = value == "mm";
    } else if (name == "width") {
      ok = width = ReadLength(value, c.width);
    } else if (name == "height") {
      ok = height = ReadLength(value, c.height);
    } else if (name == "dpi") {
      ok = ReadDpi(value, c.dpi);
    } else if (name == "dpi-chosen") {
      ok = ReadFlag(value, c.dpiChosen);
    } else if (name == "paper") {
      ok = ReadFlag(value, c.paper);
    } else if (name == "smooth") {
      ok = ReadFlag(value, c.smooth);
    }
    if (!ok) return std::nullopt;
  }
  if (!width || !height) return std::nullopt;
  return c;
}

std::optional<ExportChoices> ReadExportChoices(const std::filesystem::path& path) {
  const std::optional<std::string> text = ReadWholeFile(path.string(), kLargestFile);
  if (!text) return std::nullopt;
  return ParseExportChoices(*text);
}

void WriteExportChoices(const std::filesystem::path& path, const ExportChoices& choices) {
  WriteFileAtomically(path, ExportChoicesText(choices));
}

}  // namespace tavel
