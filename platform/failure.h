#pragma once
// A run-time failure with the classic numbers the run log reports.
#include <stdexcept>
#include <string>

namespace trwk {

namespace fail {
inline constexpr int kInvalidCall = 5;
inline constexpr int kSubscript = 9;
inline constexpr int kTypeMismatch = 13;
inline constexpr int kFileNotFound = 53;
inline constexpr int kFileAlreadyOpen = 55;
inline constexpr int kFileExists = 58;
inline constexpr int kDiskFull = 61;
inline constexpr int kPermissionDenied = 70;
inline constexpr int kPathFileAccess = 75;
inline constexpr int kPathNotFound = 76;
}  // namespace fail

// The standard description of a failure number ("File not found" for 53).
std::string failureDescription(int number);

class Failure : public std::runtime_error {
 public:
  explicit Failure(int number) : Failure(number, failureDescription(number)) {}
  Failure(int number, const std::string& description)
      : std::runtime_error(description), number_(number) {}
  int number() const { return number_; }
  std::string description() const { return what(); }

 private:
  int number_;
};

}  // namespace trwk
