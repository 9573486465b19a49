#include "core/files/recovery_file.h"

#include <signal.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <system_error>

#include "core/series/workspace.h"

namespace tavel {

namespace {

constexpr std::string_view kFirstLine = "Tavel Graphics recovery 1";
constexpr std::string_view kPrefix = "recovery-";
constexpr std::string_view kExtension = ".tvr";

void AppendLine(std::string& out, std::initializer_list<long long> numbers, std::string_view head) {
  out += head;
  for (const long long n : numbers) out += " " + std::to_string(n);
  out += '\n';
}

// Reads the header lines: a word and numbers, then the strings whose lengths they give.
class HeaderReader {
 public:
  explicit HeaderReader(std::string_view text) : rest_(text) {}

  bool Line(std::string& word, std::vector<long long>& numbers) {
    const auto end = rest_.find('\n');
    if (end == std::string_view::npos) return false;
    std::string_view line = rest_.substr(0, end);
    rest_.remove_prefix(end + 1);
    ++line_;
    numbers.clear();
    const auto space = line.find(' ');
    word = std::string(line.substr(0, space));
    line.remove_prefix(space == std::string_view::npos ? line.size() : space);
    while (!line.empty()) {
      if (line.front() != ' ') return false;
      line.remove_prefix(1);
      long long n = 0;
      const auto [p, ec] = std::from_chars(line.data(), line.data() + line.size(), n);
      if (ec != std::errc() || n < 0) return false;
      numbers.push_back(n);
      line.remove_prefix(static_cast<std::size_t>(p - line.data()));
    }
    return true;
  }
  bool Take(long long length, std::string& out) {
    if (length < 0 || static_cast<unsigned long long>(length) > rest_.size()) return false;
    out = std::string(rest_.substr(0, static_cast<std::size_t>(length)));
    rest_.remove_prefix(static_cast<std::size_t>(length));
    return true;
  }
  bool EndOfRecord() {
    if (rest_.empty() || rest_.front() != '\n') return false;
    rest_.remove_prefix(1);
    return true;
  }
  std::string_view Rest() const { return rest_; }
  int LineNumber() const { return line_; }

 private:
  std::string_view rest_;
  int line_ = 0;
};

bool ProcessRunning(long pid) {
  if (pid <= 0) return false;
  return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

}  // namespace

std::filesystem::path RecoveryFolder() {
  if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && *state == '/')
    return std::filesystem::path(state) / "tavel";
  const char* home = std::getenv("HOME");
  return std::filesystem::path(home != nullptr ? home : "/tmp") / ".local" / "state" / "tavel";
}

std::filesystem::path RecoveryPath(const std::filesystem::path& folder, long pid) {
  return folder / (std::string(kPrefix) + std::to_string(pid) + std::string(kExtension));
}

std::vector<std::filesystem::path> OrphanedRecoveryFiles(const std::filesystem::path& folder) {
  std::vector<std::pair<std::filesystem::file_time_type, std::filesystem::path>> found;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name.size() <= kPrefix.size() + kExtension.size() || !name.starts_with(kPrefix) ||
        !name.ends_with(kExtension) || !entry.is_regular_file(error)) {
      continue;
    }
    const std::string_view digits(name.data() + kPrefix.size(),
                                  name.size() - kPrefix.size() - kExtension.size());
    long pid = 0;
    const auto [p, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), pid);
    if (ec != std::errc() || p != digits.data() + digits.size() || ProcessRunning(pid)) continue;
    found.emplace_back(entry.last_write_time(error), entry.path());
  }
  std::sort(found.begin(), found.end());
  std::vector<std::filesystem::path> paths;
  for (auto& [time, path] : found) paths.push_back(std::move(path));
  return paths;
}

std::string RecoveryFileText(Workspace& workspace, const std::vector<RecoveredText>& texts) {
  const std::string graph = GraphFileText(workspace);
  std::string out;
  out.reserve(graph.size() + 4096);
  out += kFirstLine;
  out += '\n';
  const std::string& name = workspace.Settings.GraphFileName;
  AppendLine(out, {static_cast<long long>(name.size()), workspace.SettingsModified() ? 1 : 0},
             "settings");
  out += name + '\n';
  for (const Series* s : workspace.DataWindows) {
    AppendLine(out,
               {s->SeriesNumber, s->Modified() ? 1 : 0, s->FileNameInCaption ? 1 : 0,
                static_cast<long long>(s->FileName.size()),
                static_cast<long long>(s->CaptionFileName.size())},
               "series");
    out += s->FileName + s->CaptionFileName + '\n';
  }
  for (const RecoveredText& t : texts) {
    AppendLine(out,
               {t.modified ? 1 : 0, static_cast<long long>(t.path.size()),
                static_cast<long long>(t.text.size())},
               "text");
    out += t.path + t.text + '\n';
  }
  AppendLine(out, {static_cast<long long>(graph.size())}, "graph");
  out += graph;
  return out;
}

std::optional<RecoveryContents> ParseRecoveryText(std::string_view text, std::string* why) {
  HeaderReader reader(text);
  const auto refuse = [&](const std::string& reason) -> std::optional<RecoveryContents> {
    if (why != nullptr) *why = "line " + std::to_string(reader.LineNumber()) + ": " + reason;
    return std::nullopt;
  };
  if (!text.starts_with(std::string(kFirstLine) + '\n')) return refuse("not a recovery file");
  std::string word;
  std::vector<long long> n;
  reader.Line(word, n);
  RecoveryContents contents;
  bool settingsSeen = false;
  while (true) {
    if (!reader.Line(word, n)) return refuse("the file ends too early");
    if (word == "settings" && n.size() == 2 && !settingsSeen) {
      settingsSeen = true;
      contents.settingsModified = n[1] != 0;
      if (!reader.Take(n[0], contents.graphFileName) || !reader.EndOfRecord())
        return refuse("a name longer than the file");
    } else if (word == "series" && n.size() == 5) {
      RecoveredSeries s;
      s.number = static_cast<std::int32_t>(std::min<long long>(n[0], MaxSeries + 1));
      s.modified = n[1] != 0;
      s.fileNameInCaption = n[2] != 0;
      if (!reader.Take(n[3], s.fileName) || !reader.Take(n[4], s.captionFileName) ||
          !reader.EndOfRecord()) {
        return refuse("a name longer than the file");
      }
      contents.series.push_back(std::move(s));
    } else if (word == "text" && n.size() == 3) {
      RecoveredText t;
      t.modified = n[0] != 0;
      if (!reader.Take(n[1], t.path) || !reader.Take(n[2], t.text) || !reader.EndOfRecord())
        return refuse("a text longer than the file");
      contents.texts.push_back(std::move(t));
    } else if (word == "graph" && n.size() == 1) {
      if (static_cast<unsigned long long>(n[0]) != reader.Rest().size())
        return refuse("the graph is not the rest of the file");
      std::string graphWhy;
      auto graph = ParseGraphFileText(reader.Rest(), &graphWhy);
      if (!graph) return refuse("in the graph: " + graphWhy);
      contents.graph = std::move(*graph);
      return contents;
    } else {
      return refuse("not a line of a recovery file");
    }
  }
}

void ApplyRecovery(Workspace& workspace, RecoveryContents&& contents) {
  ApplyGraphFile(workspace, std::move(contents.graph), contents.graphFileName);
  for (const RecoveredSeries& r : contents.series) {
    Series* s = workspace.FindSeries(r.number);
    if (s == nullptr) continue;
    s->FileName = r.fileName;
    s->CaptionFileName = r.captionFileName;
    s->FileNameInCaption = r.fileNameInCaption;
    if (r.modified) s->MarkUnsaved();
  }
  if (contents.settingsModified) workspace.Settings.Version = workspace.history().NextVersion();
}

std::unique_ptr<Workspace> CopyForRecovery(Workspace& workspace, Prompts& prompts) {
  auto copy = std::make_unique<Workspace>(prompts);
  copy->Settings = workspace.Settings;
  copy->SavedSettingsVersion = workspace.SavedSettingsVersion;
  for (const Series* s : workspace.DataWindows) {
    copy->UseGivenSeriesNumber = true;
    copy->GivenSeriesNumber = s->SeriesNumber;
    copy->Settings.NextDataSize = 0;
    Series& c = copy->CreateSeries();
    c.SetMaxIndex(s->MaxIndex);
    static_cast<SeriesFields&>(c) = *s;
    c.SavedVersion = s->SavedVersion;
    c.Cells = s->Cells;
  }
  copy->Settings.NextDataSize = workspace.Settings.NextDataSize;
  return copy;
}

}  // namespace tavel
