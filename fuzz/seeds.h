#pragma once
// The seed inputs of every fuzz target, made at run time by the writers of the tests and
// by the core classes themselves (fresh tables, saved records, an old-format UUT table),
// so that no binary corpus needs to be kept and the seeds follow the formats as they change.

#include <string>
#include <vector>

namespace veld::fuzz {

struct Seed {
  std::string name;  // a file name: letters, digits, '-', '_' and '.'
  std::string bytes;
};

// The targets, by the names of their binaries (fuzz_NAME, fuzz_replay_NAME) and corpora.
const std::vector<std::string>& TargetNames();

// The seeds of one target; empty for a name that is not a target. Seeds of the tables are
// made in a scratch root of their own, so VELD_ROOT is as it was afterwards.
std::vector<Seed> SeedsFor(const std::string& target);

}  // namespace veld::fuzz
