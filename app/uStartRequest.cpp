#include "app/uStartRequest.h"

namespace qn3 {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Past the program's name: quotation marks only keep blanks in it.
size_t SkipProgramName(std::string_view line, LeadByteTest isLeadByte) {
  bool quoted = false;
  size_t i = 0;
  while (i < line.size()) {
    const size_t n = CharLength(line, i, isLeadByte);
    if (n == 1 && line[i] == '"') quoted = !quoted;
    else if (n == 1 && !quoted && IsBlank(line[i])) break;
    i += n;
  }
  return i;
}

// One argument from i on; i ends on the blank after it or at the end.
std::string ReadArgument(std::string_view line, size_t& i, LeadByteTest isLeadByte) {
  std::string arg;
  bool quoted = false;
  while (i < line.size()) {
    const size_t n = CharLength(line, i, isLeadByte);
    const char c = line[i];
    if (n == 2) {
      arg.append(line.substr(i, 2));
      i += 2;
    } else if (c == '\\') {
      // A backslash is below every lead byte, so the run is whole characters.
      size_t run = 0;
      for (; i < line.size() && line[i] == '\\'; ++i) ++run;
      const bool beforeMark = i < line.size() && line[i] == '"';
      arg.append(beforeMark ? run / 2 : run, '\\');
      if (beforeMark && run % 2 == 1) arg += line[i++];
    } else if (c == '"') {
      if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
        arg += '"';
        i += 2;
      } else {
        quoted = !quoted;
        ++i;
      }
    } else if (!quoted && IsBlank(c)) {
      break;
    } else {
      arg += c;
      ++i;
    }
  }
  return arg;
}

}  // namespace

std::vector<std::string> SplitArguments(std::string_view commandLine, LeadByteTest isLeadByte) {
  std::vector<std::string> args;
  size_t i = SkipProgramName(commandLine, isLeadByte);
  for (;;) {
    while (i < commandLine.size() && IsBlank(commandLine[i])) ++i;
    if (i >= commandLine.size()) return args;
    args.push_back(ReadArgument(commandLine, i, isLeadByte));
  }
}

TStartRequest ParseStartRequest(std::string_view commandLine, LeadByteTest isLeadByte) {
  const std::vector<std::string> args = SplitArguments(commandLine, isLeadByte);
  if (args.empty()) return {};
  if (args.size() == 2 && (SameTextAscii(args[0], "/open") || SameTextAscii(args[0], "-open")))
    return {TStartKind::Open, args[1]};
  return {TStartKind::Usage, {}};
}

std::string QuoteArgument(std::string_view argument, LeadByteTest isLeadByte) {
  std::string out = "\"";
  size_t run = 0;  // backslashes just written
  for (size_t i = 0; i < argument.size();) {
    const size_t n = CharLength(argument, i, isLeadByte);
    const char c = argument[i];
    if (n == 1 && c == '"') out.append(run + 1, '\\');
    run = n == 1 && c == '\\' ? run + 1 : 0;
    out.append(argument.substr(i, n));
    i += n;
  }
  // Before the closing mark a run of backslashes is doubled too.
  out.append(run, '\\');
  return out + '"';
}

}  // namespace qn3
