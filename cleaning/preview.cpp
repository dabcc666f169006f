#include "cleaning/preview.h"

#include <string>
#include <utility>
#include <vector>

namespace trwk {

namespace {

// Runs the cleaner on a context over the recorder's services, sharing the given state.
void runTracked(RunRecorder& recorder, CleaningContext& base, CleanCatalogue& catalogue, RunState& state,
                PathValues& paths, std::vector<std::string>& keepList, const FamilyCleaner& cleaner,
                const std::function<void()>& repainted) {
  Session session(recorder.platform(), base.session.programFolder);
  CleaningContext context{session, catalogue, state, paths, keepList};
  context.takeHooks(base);
  ItemTracker tracker(state, catalogue);
  auto refresh = context.refresh;
  context.refresh = [&] {
    tracker.observe();
    if (refresh) refresh();
    if (repainted) repainted();
  };
  recorder.track(&tracker);
  try {
    cleaner(context);
  } catch (...) {
    recorder.track(nullptr);
    throw;
  }
  recorder.track(nullptr);
}

}  // namespace

Plan previewCleaning(CleaningContext& context, const FamilyCleaner& cleaner,
                     const PreviewProgress& progress) {
  RunRecorder recorder(context.session.platform, context.session.programFolder, RecordMode::Preview);
  // The preview works on copies: the ticks a cleaner unticks, the progress bar, the stamp.
  CleanCatalogue catalogue = context.catalogue;
  catalogue.onUserDefChanged = nullptr;
  RunState state = context.state;
  state.automaticClose = false;
  PathValues paths = context.paths;
  std::vector<std::string> keepList = context.ieKeepList;

  CleaningContext hooks{context.session, catalogue, state, paths, keepList};
  hooks.takeHooks(context);
  // The main window's bar and status stay as they are; the preview has its own.
  hooks.refresh = nullptr;
  hooks.closeMainWindow = [] {};
  hooks.recordStatistics = [](const std::string&, const std::string&) {};

  auto tell = [&] {
    if (progress.onProgress) progress.onProgress(state, recorder.plan());
  };
  recorder.onEntries = [&](std::size_t) { tell(); };
  recorder.stopped = progress.stopped;
  runTracked(recorder, hooks, catalogue, state, paths, keepList, cleaner, tell);
  return std::move(recorder.plan());
}

RunReport cleanPlanned(CleaningContext& context, const FamilyCleaner& cleaner, const Plan& plan) {
  RunRecorder recorder(context.session.platform, context.session.programFolder, RecordMode::Planned, &plan);
  runTracked(recorder, context, context.catalogue, context.state, context.paths, context.ieKeepList, cleaner,
             nullptr);
  recorder.finishPlanned();
  return std::move(recorder.report());
}

RunReport cleanCounted(CleaningContext& context, const FamilyCleaner& cleaner) {
  RunRecorder recorder(context.session.platform, context.session.programFolder, RecordMode::Counted);
  runTracked(recorder, context, context.catalogue, context.state, context.paths, context.ieKeepList, cleaner,
             nullptr);
  return std::move(recorder.report());
}

}  // namespace trwk
