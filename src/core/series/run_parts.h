#pragma once

#include <system_error>
#include <thread>

namespace tavel {

// Runs body(0) here and body(1) on a helper thread when parts is 2, and returns when both are
// done. The caller decides the parts from the data alone, never from the processor, so the
// outcome is the same on every machine; when no thread can be had the second part runs after
// the first, with the same result.
template <typename Body>
void RunParts(int parts, const Body& body) {
  if (parts == 1) {
    body(0);
    return;
  }
  std::thread helper;
  try {
    helper = std::thread([&body] { body(1); });
  } catch (const std::system_error&) {
  }
  body(0);
  if (helper.joinable()) {
    helper.join();
  } else {
    body(1);
  }
}

}  // namespace tavel
