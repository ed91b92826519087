#pragma once

#include <cstddef>
#include <cstdint>

// The code that reads what others wrote, each as one call that takes any bytes: the fuzzers
// (fuzz/entry, libFuzzer with clang) and the corpus replay of the tests (tests/fuzz) run
// the same functions. Each returns 0; a finding is a crash or a sanitizer report.
namespace fuzz {

// JSON documents as the backup client reads the service's replies.
int json(const std::uint8_t* data, std::size_t size);
// Preferences files as the settings store reads them.
int plist(const std::uint8_t* data, std::size_t size);
// Downloaded archives through the restore's staging and checks, in the current sandbox's
// tmp/ (the fuzzer makes a scratch sandbox first; the documents are never touched).
int zip(const std::uint8_t* data, std::size_t size);
// The query file's named blocks.
int queries(const std::uint8_t* data, std::size_t size);
// The browser page's messages to the shell.
int pageMessages(const std::uint8_t* data, std::size_t size);

} // namespace fuzz
