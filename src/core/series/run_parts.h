#pragma once

#include <exception>
#include <system_error>
#include <thread>

namespace tavel {

// Runs body(0) here and body(1) on a helper thread when parts is 2, and returns when both are
// done. The caller decides the parts from the data alone, never from the processor, so the
// outcome is the same on every machine; when no thread can be had the second part runs after
// the first, with the same result. What either part throws reaches the caller (the first
// part's when both throw), after both have finished.
template <typename Body>
void RunParts(int parts, const Body& body) {
  if (parts == 1) {
    body(0);
    return;
  }
  std::exception_ptr second;
  std::thread helper;
  try {
    helper = std::thread([&body, &second] {
      try {
        body(1);
      } catch (...) {
        second = std::current_exception();
      }
    });
  } catch (const std::system_error&) {
  }
  std::exception_ptr first;
  try {
    body(0);
  } catch (...) {
    first = std::current_exception();
  }
  if (helper.joinable()) {
    helper.join();
  } else if (!first) {
    try {
      body(1);
    } catch (...) {
      second = std::current_exception();
    }
  }
  if (first) std::rethrow_exception(first);
  if (second) std::rethrow_exception(second);
}

}  // namespace tavel
