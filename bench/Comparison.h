// vantor_bench --compare: one random file in one folder, and in turn, round
// after round, a plain copy with cat, openssl enc -aes-256-ctr where it is
// installed, the tool's enc and dec as a person runs them, the application's
// enc and dec operations with each kernel this processor runs, and the
// engine alone with that kernel on every processor, memory to memory.
// Reports medians and, for the whole-process runs, the median ratio to cat
// of the same round.
#pragma once

#include <cstdint>
#include <filesystem>

namespace vantor::bench {

int compare(const std::filesystem::path& tool, std::uint64_t bytes, int rounds);

}  // namespace vantor::bench
