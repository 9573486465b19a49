#pragma once

#include <cerrno>

#include "core/files/atomic_file.h"

namespace tavel::testing {

// While it lives, every flush of a new file to disk fails with EIO and the descriptors the
// flushes were given are counted, so a test can see they were still closed.
class FailingSync {
 public:
  FailingSync() {
    calls = 0;
    testing_hooks::SyncFile = [](int) {
      ++calls;
      errno = EIO;
      return -1;
    };
  }
  ~FailingSync() { testing_hooks::SyncFile = nullptr; }
  FailingSync(const FailingSync&) = delete;
  FailingSync& operator=(const FailingSync&) = delete;

  static inline int calls = 0;
};

}  // namespace tavel::testing
