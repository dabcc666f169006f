#pragma once
// Runs the steps of a procedure so that one failed step is logged and the next runs.
#include <cstdint>
#include <exception>
#include <new>
#include <string>
#include <utility>

#include "foundation/run_log.h"
#include "platform/failure.h"

namespace trwk {

class Trap {
 public:
  Trap(RunLog& log, std::string procedure) : log_(&log), procedure_(std::move(procedure)) {}
  // A trap without a log swallows failures silently (the plugin creator's writes).
  explicit Trap(std::string procedure) : log_(nullptr), procedure_(std::move(procedure)) {}

  std::int16_t step = 0;

  void checkpoint(int by = 1) { step = static_cast<std::int16_t>(step + by); }

  // Runs f; a failure is logged with the current step and false returned.
  template <class F>
  bool run(F&& f) noexcept {
    try {
      std::forward<F>(f)();
      return true;
    } catch (const Failure& e) {
      report(e.number(), e.description());
    } catch (const std::bad_alloc&) {
      report(7, failureDescription(7));
    } catch (const std::exception& e) {
      report(fail::kInvalidCall, e.what());
    } catch (...) {
      report(fail::kInvalidCall, failureDescription(fail::kInvalidCall));
    }
    return false;
  }

  void report(int number, const std::string& description) noexcept {
    ++failures_;
    if (log_) log_->writeRunLog(procedure_, step, static_cast<std::int16_t>(number), description);
  }

  int failures() const { return failures_; }
  const std::string& procedure() const { return procedure_; }

 private:
  RunLog* log_;
  std::string procedure_;
  int failures_ = 0;
};

}  // namespace trwk
