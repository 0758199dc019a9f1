// kelht's text input (build's lines and listings): lines, tab-separated
// fields, numbers and keys. A malformed line ends the command with its
// number, before anything is written.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace kelht {

// A Failure when reading `in` failed, rather than reached its end: the input
// cannot be read (a folder, for one). `input` names it ("-": standard input).
void requireRead(const std::istream& in, const std::string& input);

// The next line of `in`, without its line end and a trailing carriage
// return; false at the end (see requireRead).
bool readLine(std::istream& in, const std::string& input, std::string& line);

std::vector<std::string> split(const std::string& line, char separator);

// Ends the command: "INPUT: line N: why", exit status 2.
[[noreturn]] void malformed(const std::string& input, long line, const std::string& why);

// A decimal 32-bit integer; `what` names the field in the message.
int32_t integerField(const std::string& input, long line, const std::string& text, const char* what);

// A string key from its text: escaped as kelht prints keys (and, with
// cp932, UTF-8 text stored as Shift_JIS), or a CSV field taken as it is.
std::string stringKeyField(const std::string& input, long line, const std::string& text, bool escaped,
                           bool cp932);

}  // namespace kelht
