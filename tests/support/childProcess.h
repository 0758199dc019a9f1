// Runs a piece of a test in a forked child and reports how the child ended
// and the exact bytes it wrote to stderr: fatal reports end the process, and
// their messages are checked byte for byte.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace kel::test {

struct ChildEnd {
  int exitStatus;      // -1 when the child did not exit normally
  int signal;          // the terminating signal, or 0
  std::string stderrBytes;
};

// A child whose `run` returns exits with status 0.
template <typename Run>
ChildEnd runInChild(Run run) {
  std::fflush(nullptr);
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) std::abort();
  const pid_t pid = fork();
  if (pid < 0) std::abort();
  if (pid == 0) {
    dup2(pipeEnds[1], 2);
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    run();
    std::fflush(nullptr);
    _exit(0);
  }
  ::close(pipeEnds[1]);
  ChildEnd end{-1, 0, {}};
  char chunk[4096];
  for (ssize_t got; (got = read(pipeEnds[0], chunk, sizeof chunk)) != 0;) {
    if (got > 0) end.stderrBytes.append(chunk, static_cast<std::size_t>(got));
  }
  ::close(pipeEnds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) end.exitStatus = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) end.signal = WTERMSIG(status);
  return end;
}

// What a fatal report writes to stderr for `message`.
inline std::string fatalReport(const std::string& message) {
  return "HashTablePure: " + message + "\n";
}

// Runs `run` in a child, which must end with status 1 after writing exactly
// the fatal report of `message`.
template <typename Run>
void expectFatal(Run run, const std::string& message) {
  const ChildEnd end = runInChild(run);
  EXPECT_EQ(end.exitStatus, 1);
  EXPECT_EQ(end.stderrBytes, fatalReport(message));
}

// The counter check's message, in Shift_JIS.
inline std::string counterMismatch(int counter, int entries) {
  return "dump_to_restart: counter(" + std::to_string(counter) + ")!=\x8e\xc0\x8d\xdb\x90\x94(" +
         std::to_string(entries) + ")";
}

}  // namespace kel::test
