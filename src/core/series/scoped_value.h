#pragma once

namespace tavel {

// Sets a value for the length of a scope and puts the old one back however the scope is
// left, an exception included.
template <typename T>
class ScopedValue {
 public:
  ScopedValue(T& target, T value) : target_(target), old_(target) { target_ = value; }
  ~ScopedValue() { target_ = old_; }
  ScopedValue(const ScopedValue&) = delete;
  ScopedValue& operator=(const ScopedValue&) = delete;

 private:
  T& target_;
  T old_;
};

// Counts a nesting level up for the length of a scope.
class ScopedCount {
 public:
  explicit ScopedCount(int& count) : count_(count) { ++count_; }
  ~ScopedCount() { --count_; }
  ScopedCount(const ScopedCount&) = delete;
  ScopedCount& operator=(const ScopedCount&) = delete;

 private:
  int& count_;
};

}  // namespace tavel
