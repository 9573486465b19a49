// libFuzzer target for the settings file reader: the input is read as the ".cfg" file.
// Whatever it holds, the program goes on with values it can use: a file that was read gives
// MaxDataIndex 1..10000 and BarWidth 1..10, and one that failed gives the defaults.

#include <cstddef>
#include <cstdint>

#include "core/files/settings_file.h"
#include "core/series/graph_settings.h"
#include "fuzz_input.h"

using tavel::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!tavel::fuzz::WriteInput(data, size)) return 0;
  tavel::GraphSettings settings;
  settings.ResetGraphSettings();
  switch (tavel::LoadSettings(tavel::fuzz::InputPath(), settings)) {
    case tavel::SettingsLoad::Loaded:
      Check(settings.MaxDataIndex >= 1 && settings.MaxDataIndex <= 10000);
      Check(settings.BarWidth >= 1 && settings.BarWidth <= 10);
      // Graph files carry it, and their reader takes 0..7 only.
      Check(settings.PrinterOptions >= 0 && settings.PrinterOptions <= 7);
      break;
    case tavel::SettingsLoad::Failed:
      Check(settings.MaxDataIndex == 10 && settings.BarWidth == 1 && settings.PrinterOptions == 0);
      break;
    case tavel::SettingsLoad::NoFile:
      Check(false);  // the file was just written
      break;
  }
  return 0;
}
