#include "ui/app/recovery_keeper.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <chrono>
#include <cstdlib>
#include <exception>
#include <system_error>

#include "core/files/atomic_file.h"
#include "core/files/file_bytes.h"
#include "core/files/recovery_file.h"
#include "core/platform/quiet_prompts.h"
#include "core/series/workspace.h"
#include "ui/app/main_frame.h"
#include "ui/text/text_window.h"

namespace tavel {

namespace {

constexpr char kRestoreQuestion[] =
    "Tavel Graphics did not end normally last time. Restore the windows it had open?";

// Below this many rows the file is written at once: a thread would cost more than it saves.
constexpr std::int64_t kRowsForThread = 20000;

int termPipe[2] = {-1, -1};

void OnTermination(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(termPipe[1], &byte, 1);
}

std::vector<RecoveredText> TextWindowsOf(const TMDIMainF& frame) {
  std::vector<RecoveredText> texts;
  for (QWidget* window : frame.TextWindows) {
    const auto* text = qobject_cast<const TTextF*>(window);
    if (text == nullptr) continue;
    texts.push_back({text->FilePath().toStdString(), text->Lines().join('\n').toStdString(),
                     text->Modified()});
  }
  return texts;
}

}  // namespace

RecoveryKeeper::RecoveryKeeper(TMDIMainF& frame, std::filesystem::path folder, long pid)
    : frame_(frame), folder_(std::move(folder)), path_(RecoveryPath(folder_, pid)) {
  timer_.setInterval(kIntervalMs);
  connect(&timer_, &QTimer::timeout, this, [this] {
    try {
      Keep(false);
    } catch (const std::exception& e) {
      // Once: a disk that is full now will be full in half a minute too.
      timer_.stop();
      frame_.prompts().ReportError(e.what());
    }
  });
  timer_.start();
}

RecoveryKeeper::~RecoveryKeeper() {
  timer_.stop();
  if (writing_.valid()) writing_.wait();
}

std::string RecoveryKeeper::StateKey() const {
  const Workspace& ws = frame_.workspace();
  std::string key = std::to_string(ws.Settings.Version) + "/" +
                    std::to_string(ws.SavedSettingsVersion);
  for (const Series* s : ws.DataWindows) {
    key += ";" + std::to_string(s->SeriesNumber) + ":" + std::to_string(s->Version) + ":" +
           std::to_string(s->SavedVersion);
  }
  for (QWidget* window : frame_.TextWindows) {
    if (const auto* text = qobject_cast<const TTextF*>(window)) {
      key += ";t" + std::to_string(reinterpret_cast<std::uintptr_t>(text)) + ":" +
             std::to_string(text->Memo1->document()->revision()) + ":" +
             (text->Modified() ? "1" : "0");
    }
  }
  return key;
}

void RecoveryKeeper::Finish() {
  if (!writing_.valid()) return;
  std::future<void> done = std::move(writing_);
  try {
    done.get();
  } catch (...) {
    writtenKey_.clear();  // written again at the next tick
    throw;
  }
}

void RecoveryKeeper::Keep(bool wait) {
  if (writing_.valid()) {
    if (!wait && writing_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return;
    Finish();
  }
  if (!frame_.AnythingUnsaved()) {
    Remove();
    return;
  }
  const std::string key = StateKey();
  if (key == writtenKey_) return;
  Workspace& ws = frame_.workspace();
  std::int64_t rows = 0;
  for (const Series* s : ws.DataWindows) rows += s->MaxIndex;
  static QuietPrompts quiet;
  auto job = [copy = std::shared_ptr<Workspace>(CopyForRecovery(ws, quiet)),
              texts = TextWindowsOf(frame_), folder = folder_, path = path_] {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    WriteFileAtomically(path.string(), RecoveryFileText(*copy, texts));
  };
  writtenKey_ = key;
  if (wait || rows < kRowsForThread) {
    try {
      job();
    } catch (...) {
      writtenKey_.clear();
      throw;
    }
    return;
  }
  writing_ = std::async(std::launch::async, std::move(job));
}

void RecoveryKeeper::Remove() {
  if (writing_.valid()) {
    writing_.wait();
    try {
      Finish();
    } catch (...) {
      // The file is going anyway.
    }
  }
  writtenKey_.clear();
  std::error_code error;
  std::filesystem::remove(path_, error);
}

void RecoveryKeeper::OfferRestore() {
  // The newest only: restoring one replaces every series, so two cannot be had at once. Older
  // files wait for the next start.
  const std::vector<std::filesystem::path> orphans = OrphanedRecoveryFiles(folder_);
  if (orphans.empty()) return;
  const std::filesystem::path& newest = orphans.back();
  Prompts& prompts = frame_.prompts();
  if (prompts.AskYesNo(kRestoreQuestion)) {
    const auto bytes = ReadWholeFile(newest.string());
    std::string why = "it cannot be read";
    auto contents = bytes ? ParseRecoveryText(*bytes, &why) : std::nullopt;
    if (contents) {
      frame_.RestoreRecovery(std::move(*contents));
    } else {
      prompts.ErrorBox("The recovery file " + newest.string() + " cannot be restored (" + why +
                       ").");
    }
  }
  std::error_code error;
  std::filesystem::remove(newest, error);
}

void RecoveryKeeper::WatchTermination(RecoveryKeeper* keeper) {
  if (termPipe[0] < 0 && ::pipe2(termPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(termPipe[0], QSocketNotifier::Read, keeper);
  connect(notifier, &QSocketNotifier::activated, keeper, [keeper] {
    try {
      keeper->Keep(true);
    } catch (...) {
      // Ending as asked matters more than the file now.
    }
    std::_Exit(128 + SIGTERM);
  });
  struct sigaction action {};
  action.sa_handler = OnTermination;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
}

}  // namespace tavel
