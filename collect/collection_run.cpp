#include "collect/collection_run.h"

#include <string_view>
#include <system_error>

#include "app/shell.h"
#include "collect/keyword_sources.h"
#include "collect/pass_lines.h"
#include "platform/ui_thread.h"

namespace collect {
namespace {

std::shared_ptr<CollectionRun>& liveRun() {
  // UI thread only. Never destroyed: the shutdown hook may run late.
  static auto* const live = new std::shared_ptr<CollectionRun>;
  return *live;
}

// UI thread. Marks run stopped and aborts its request; no effect on null.
void stopRun(const std::shared_ptr<CollectionRun>& run) {
  if (run == nullptr) return;
  run->stopped = true;
  run->cancel.cancel();
}

// UI thread. Makes run the live pass, stopping the one it replaces.
void replaceLiveRun(const std::shared_ptr<CollectionRun>& run) {
  std::shared_ptr<CollectionRun>& live = liveRun();
  if (live != run) stopRun(live);
  live = run;
}

using Source = void (*)(std::string_view, const KeywordFilter&, const KeywordSink&,
                        fetch::FetchCancel*);

// Collection thread. Runs one source for the current keyword and appends
// what it accepted in one call on the UI thread, unless the pass has been
// stopped by the time that call runs.
void expandWith(Source source, CollectionRun& run) {
  if (run.stopped) return;
  text::Text accepted;
  const KeywordSink collectLine = [&](std::string_view keyword) {
    accepted += keywordLine(keyword);
  };
  source(run.currentKeyword, run.filter, collectLine, &run.cancel);
  if (accepted.empty()) return;
  platform::runOnUiThread([&] {
    if (!run.stopped) app::appendToBox(app::Box::KeywordList, accepted);
  });
}

// UI thread. Steps 1 to 5 of a pass start; the window state comes first.
void beginPass() {
  app::setWindowState(app::WindowState::Collecting);
  auto run = std::make_shared<CollectionRun>();
  run->filter.mustContain = app::readBoxText(app::Box::MustContain);
  run->filter.mustNotContain = app::readBoxText(app::Box::MustNotContain);
  replaceLiveRun(run);
  app::processPendingEvents();
  // A Stop (and maybe a new Start) handled just now supersedes this pass.
  if (run->stopped) return;
  // If no thread can be made, the window stays Collecting until Stop.
  startThread([run] { runCollectionRound(run); }, run->collectorThread);
}

// Collection thread, at the end of its pass.
void handOver(const std::shared_ptr<CollectionRun>& run) {
  platform::runOnUiThread([&] {
    if (liveRun() == run && !run->stopped) beginPass();
  });
}

}  // namespace

void startCollection() {
  if (!platform::onUiThread()) {
    platform::runOnUiThread(beginPass);
    return;
  }
  beginPass();
}

void stopCollection() {
  stopCollectionAtShutdown();
  app::setWindowState(app::WindowState::Idle);
}

void stopCollectionAtShutdown() {
  std::shared_ptr<CollectionRun>& live = liveRun();
  stopRun(live);
  live.reset();
}

void runCollectionRound(const std::shared_ptr<CollectionRun>& run) {
  if (run->stopped) return;
  const text::Text passText = app::readBoxText(app::Box::KeywordList);
  size_t position = 0;
  std::string_view line;
  while (!run->stopped && nextPassLine(passText, position, line)) {
    run->currentKeyword.assign(line);
    expandWith(collectRelatedSearches, *run);
    expandWith(collectSuggestions, *run);
  }
  if (!run->stopped) handOver(run);
}

bool startThread(std::function<void()> procedure, std::thread::id& collectorThread) {
  try {
    std::thread thread(std::move(procedure));
    collectorThread = thread.get_id();
    thread.detach();
    return true;
  } catch (const std::system_error&) {
    return false;
  }
}

std::shared_ptr<CollectionRun> liveCollectionRun() { return liveRun(); }

}  // namespace collect
