#include "core/series/workspace.h"

#include <algorithm>

namespace tavel {

Workspace::~Workspace() {
  observer_ = nullptr;
  DataWindows.clear();
  owned_.clear();
}

Series& Workspace::CreateSeries() {
  std::int32_t number = 0;
  std::int32_t printerColor = kPrinterDefault;
  if (UseGivenSeriesNumber) {
    UseGivenSeriesNumber = false;
    number = GivenSeriesNumber;
    if (number >= 1 && number <= MaxSeries) SeriesNumberUsed[static_cast<std::size_t>(number)] = true;
    printerColor = kPrinterBlack;  // the graph file reader sets the stored colour
  } else {
    number = AllocateSeriesNumber();
  }
  // A series of a huge file may not fit in memory: the number must not stay taken then.
  try {
    owned_.reserve(owned_.size() + 1);
    DataWindows.reserve(DataWindows.size() + 1);
    owned_.push_back(
        std::make_unique<Series>(*this, number, Settings.NextDataSize, printerColor));
  } catch (...) {
    if (number >= 1 && number <= MaxSeries) {
      SeriesNumberUsed[static_cast<std::size_t>(number)] = false;
    }
    throw;
  }
  Series& series = *owned_.back();
  series.Version = history_.NextVersion();
  series.MarkSaved();
  DataWindows.push_back(&series);
  if (observer_) observer_->SeriesCreated(series);
  return series;
}

void Workspace::DestroySeries(Series& series) {
  const auto listed = std::find(DataWindows.begin(), DataWindows.end(), &series);
  if (listed != DataWindows.end()) DataWindows.erase(listed);
  if (series.SeriesNumber >= 1 && series.SeriesNumber <= MaxSeries) {
    SeriesNumberUsed[static_cast<std::size_t>(series.SeriesNumber)] = false;
  }
  if (observer_) observer_->SeriesDestroyed(series);
  history_.SeriesDestroyed(series);
  const auto owner = std::find_if(owned_.begin(), owned_.end(),
                                  [&](const auto& p) { return p.get() == &series; });
  if (owner != owned_.end()) owned_.erase(owner);
}

bool Workspace::AnythingUnsaved() const {
  return SettingsModified() ||
         std::any_of(DataWindows.begin(), DataWindows.end(),
                     [](const Series* s) { return s->Modified(); });
}

void Workspace::MarkAllSaved() {
  SavedSettingsVersion = Settings.Version;
  for (Series* s : DataWindows) s->MarkSaved();
}

void Workspace::DestroyAllSeries() {
  while (!DataWindows.empty()) DestroySeries(*DataWindows.back());
}

std::int32_t Workspace::AllocateSeriesNumber() {
  for (std::int32_t n = 1; n <= MaxSeries; ++n) {
    if (!SeriesNumberUsed[static_cast<std::size_t>(n)]) {
      SeriesNumberUsed[static_cast<std::size_t>(n)] = true;
      return n;
    }
  }
  prompts_.Beep();
  return kNoSeriesNumber;
}

void Workspace::SortDataWindows() {
  std::stable_sort(DataWindows.begin(), DataWindows.end(),
                   [](const Series* a, const Series* b) { return a->SeriesNumber < b->SeriesNumber; });
}

Series* Workspace::FindSeries(std::int32_t seriesNumber) const {
  for (Series* s : DataWindows) {
    if (s->SeriesNumber == seriesNumber) return s;
  }
  return nullptr;
}

std::int32_t Workspace::NextUsedSeriesNumber(std::int32_t current) const {
  // One round over the numbers at most: with no number in use there is no next one.
  std::int32_t m = current;
  for (std::int32_t step = 0; step < MaxSeries; ++step) {
    m = m >= MaxSeries || m < 1 ? 1 : m + 1;
    if (SeriesNumberUsed[static_cast<std::size_t>(m)]) return m;
  }
  return 0;
}

}  // namespace tavel
