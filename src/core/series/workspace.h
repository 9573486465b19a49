#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/platform/prompts.h"
#include "core/series/graph_settings.h"
#include "core/series/history.h"
#include "core/series/series.h"

namespace tavel {

// Told when series appear and go, so the frame can give each series its window whoever
// created it (a command, a file reader).
class WorkspaceObserver {
 public:
  virtual ~WorkspaceObserver() = default;
  virtual void SeriesCreated(Series&) {}
  // Called while the series still exists, after it left DataWindows.
  virtual void SeriesDestroyed(Series&) {}
};

// The frame's registries without the windows: the shared settings, every series in
// DataWindows order and the table of series numbers in use. One per program.
class Workspace {
 public:
  explicit Workspace(Prompts& prompts) : prompts_(prompts), history_(*this) {}
  ~Workspace();
  Workspace(const Workspace&) = delete;
  Workspace& operator=(const Workspace&) = delete;

  GraphSettings Settings;
  // Every open series; after SortDataWindows in ascending series number.
  std::vector<Series*> DataWindows;
  std::array<bool, MaxSeries + 1> SeriesNumberUsed{};  // [1..MaxSeries]
  bool UseGivenSeriesNumber = false;
  std::int32_t GivenSeriesNumber = 0;

  Prompts& prompts() const { return prompts_; }
  History& history() { return history_; }

  // The settings' Version when the graph file was last written or read.
  std::uint64_t SavedSettingsVersion = 0;
  bool SettingsModified() const { return Settings.Version != SavedSettingsVersion; }
  // Whether closing everything now would lose a change: of a series or of the settings.
  bool AnythingUnsaved() const;
  // After the graph file was written or read: it holds every series and the settings.
  void MarkAllSaved();
  void SetObserver(WorkspaceObserver* observer) { observer_ = observer; }

  // A new series of Settings.NextDataSize empty rows, appended to DataWindows. Callers check
  // the series limit first and call SortDataWindows afterwards.
  Series& CreateSeries();
  // Removes the series from DataWindows, releases its number and frees it.
  void DestroySeries(Series& series);
  void DestroyAllSeries();

  // The lowest free series number, marked used; 7777 and a beep when none is free.
  std::int32_t AllocateSeriesNumber();
  void SortDataWindows();

  Series* FindSeries(std::int32_t seriesNumber) const;
  // The "Next" button's choice: the next used series number above `current`, wrapping around
  // to the lowest; `current` itself when it is the only one, 0 when none is used.
  std::int32_t NextUsedSeriesNumber(std::int32_t current) const;
  // The lowest used series number, 0 when none is used.
  std::int32_t LowestUsedSeriesNumber() const { return NextUsedSeriesNumber(MaxSeries); }
  bool SeriesLimitReached() const { return DataWindows.size() >= MaxSeries; }

 private:
  Prompts& prompts_;
  History history_;
  WorkspaceObserver* observer_ = nullptr;
  std::vector<std::unique_ptr<Series>> owned_;
};

constexpr std::int32_t kNoSeriesNumber = 7777;

}  // namespace tavel
