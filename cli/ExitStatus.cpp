#include "cli/ExitStatus.h"

#include <algorithm>
#include <vector>

namespace pt4::cli {

const KindRow& RowOf(ErrorKind kind) {
  for (const KindRow& row : kKindRows) {
    if (row.kind == kind) return row;
  }
  return kKindRows[0];  // every kind has its row: the table test sees to it
}

const char* ResultName(int status) {
  for (const ExitRow& row : kExitRows) {
    if (row.status == status) return row.result;
  }
  return "error";
}

std::string ExitStatusHelp(std::size_t width) {
  // Each status stays on one line with the first word of its meaning.
  std::vector<std::string> words{"Exit", "status:"};
  const auto add = [&](const std::string& status, const std::string& meaning) {
    std::size_t at = 0;
    for (std::size_t end; at <= meaning.size(); at = end + 1) {
      end = std::min(meaning.find(' ', at), meaning.size());
      const std::string word = meaning.substr(at, end - at);
      words.push_back(at == 0 ? status + " " + word : word);
    }
  };
  for (const ExitRow& row : kExitRows) add(std::to_string(row.status), std::string(row.help) + ",");
  add("128+n", "for signal n.");
  std::string text, line;
  for (const std::string& word : words) {
    if (!line.empty() && line.size() + 1 + word.size() > width) {
      text += line + "\n";
      line.clear();
    }
    line += (line.empty() ? "" : " ") + word;
  }
  return text + line + "\n";
}

}  // namespace pt4::cli
