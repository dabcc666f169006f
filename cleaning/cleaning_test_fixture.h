#pragma once
// What a cleaner test works with: a sandbox whose files can be made to fail, an
// in-memory registry, a session in the sandbox and an empty cleaning context.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cleaning/cleaning_context.h"
#include "testing/fault_files.h"
#include "testing/memory_registry.h"
#include "testing/sandbox.h"

namespace trwk::testing {

class CleaningTest : public ::testing::Test {
 protected:
  Sandbox box;
  FaultFiles files{box.files()};
  MemoryRegistry registry;
  Session session{{files, registry, box.desktop(), box.clock, box.random, box.ui}, box.root()};
  CleanCatalogue catalogue;
  RunState state;
  PathValues paths;
  std::vector<std::string> keep;
  CleaningContext context{session, catalogue, state, paths, keep};

  std::string log() { return files.fileExists(session.log.path()) ? files.readAll(session.log.path()) : ""; }
};

}  // namespace trwk::testing
