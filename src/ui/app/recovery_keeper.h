#pragma once

#include <QObject>
#include <QTimer>
#include <filesystem>
#include <future>
#include <string>

namespace tavel {

class TMDIMainF;

// Keeps the unsaved work of the running program in its recovery file, so that a crash, a kill
// or a power cut loses at most the last half minute: every 30 s while something is unsaved
// (the writing runs on a thread of its own, from a copy), at once on SIGTERM, and gone after a
// clean exit. At start it offers to restore what programs that did not end cleanly left.
class RecoveryKeeper : public QObject {
  Q_OBJECT

 public:
  static constexpr int kIntervalMs = 30000;

  RecoveryKeeper(TMDIMainF& frame, std::filesystem::path folder, long pid);
  ~RecoveryKeeper() override;

  const std::filesystem::path& Path() const { return path_; }
  // Writes the recovery file now when something is unsaved and changed since the last write;
  // removes it when nothing is unsaved. `wait` keeps the caller until the file is written.
  void Keep(bool wait);
  // After a clean exit: nothing is left to recover.
  void Remove();
  // For each recovery file of a program that is no longer running: asks whether to restore
  // its windows, restores them when asked to, and removes the file either way.
  void OfferRestore();
  // Writes at once when the process is asked to end (SIGTERM), then ends it.
  static void WatchTermination(RecoveryKeeper* keeper);

 private:
  std::string StateKey() const;
  void Finish();

  TMDIMainF& frame_;
  std::filesystem::path folder_;
  std::filesystem::path path_;
  QTimer timer_;
  std::string writtenKey_;
  std::future<void> writing_;
};

}  // namespace tavel
