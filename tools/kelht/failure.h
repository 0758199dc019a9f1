// How a command ends when it cannot do its work: the message goes to
// standard error after "kelht: " and the process exits with `status`.
#pragma once

#include <stdexcept>
#include <string>

namespace kelht {

// Exit statuses: 0 for a plain success; 1 when the answer is "no" (a file
// damaged or inconsistent, a key absent, two tables different); 2 when the
// command could not do its work (usage, a missing file, bad input).
constexpr int kAnswerNo = 1;
constexpr int kTrouble = 2;

struct Failure : std::runtime_error {
  Failure(int exitStatus, const std::string& message)
      : std::runtime_error(message), status(exitStatus) {}
  int status;
};

}  // namespace kelht
