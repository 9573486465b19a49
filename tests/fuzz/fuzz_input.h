#pragma once

// What the file readers' fuzz targets share: each input is written to one temporary file that
// the reader then opens by name, as the program opens the user's files.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include <unistd.h>

#include "core/files/data_file.h"
#include "core/series/series.h"
#include "core/series/workspace.h"

namespace tavel::fuzz {

// The target's file, made once, removed when the run ends (libFuzzer may end a timed run
// without the exit handlers, so build.sh names a TMPDIR it removes). Without TMPDIR in memory
// where the system offers it: opening and truncating a file on disk for every input would slow
// the run several times.
inline const std::string& InputPath() {
  static const std::string path = [] {
    std::error_code error;
    const char* const tmpdir = std::getenv("TMPDIR");
    const std::filesystem::path folder =
        tmpdir != nullptr && *tmpdir != '\0'               ? std::filesystem::path(tmpdir)
        : std::filesystem::is_directory("/dev/shm", error) ? std::filesystem::path("/dev/shm")
                                                           : std::filesystem::temp_directory_path();
    std::string name = (folder / "tavel_fuzz_XXXXXX").string();
    const int fd = ::mkstemp(name.data());
    if (fd < 0) std::abort();
    ::close(fd);
    std::atexit([] { ::unlink(InputPath().c_str()); });
    return name;
  }();
  return path;
}

// False when the file could not be written whole (the input is then skipped).
inline bool WriteInput(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(InputPath().c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

// A broken promise of the reader is a crash libFuzzer reports with the input.
inline void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// What a data file reader promises after opening beside one series already open: the limit
// kept, the new series numbered upwards, each with as many cells as rows.
inline void CheckCreatedSeries(const Workspace& workspace, const DataFileOpenResult& result) {
  Check(workspace.DataWindows.size() <= static_cast<std::size_t>(MaxSeries));
  Check(workspace.DataWindows.size() == result.created.size() + 1);
  for (std::size_t i = 0; i < result.created.size(); ++i) {
    const Series& series = *result.created[i];
    if (i > 0) Check(result.created[i - 1]->SeriesNumber < series.SeriesNumber);
    Check(series.Cells.RowCount() == series.MaxIndex);
    Check(series.Points.size() == static_cast<std::size_t>(series.MaxIndex));
  }
}

}  // namespace tavel::fuzz
