#include "base/Message.h"

#include <cstring>

namespace pt4 {

std::string Fill(const std::string& templ, const std::vector<std::string>& args) {
  std::string out;
  out.reserve(templ.size());
  for (std::size_t i = 0; i < templ.size(); ++i) {
    const char c = templ[i];
    if (c == '%' && i + 1 < templ.size() && templ[i + 1] >= '1' && templ[i + 1] <= '9') {
      const auto n = static_cast<std::size_t>(templ[i + 1] - '1');
      if (n < args.size()) {
        out += args[n];
        ++i;
        continue;
      }
    }
    out += c;
  }
  return out;
}

std::string English(const Phrase& p) {
  switch (p.kind()) {
    case Phrase::Kind::Verbatim:
      return p.text();
    case Phrase::Kind::Errno:
      return std::strerror(p.err());
    case Phrase::Kind::Template:
      break;
  }
  std::vector<std::string> args;
  args.reserve(p.args().size());
  for (const Phrase& a : p.args()) args.push_back(English(a));
  return Fill(p.text(), args);
}

std::string English(const Message& m) {
  std::string out;
  for (const Phrase& p : m) {
    if (!out.empty()) out += ' ';
    out += English(p);
  }
  return out;
}

Error Error::About(const std::string& where) const {
  Message m = message_;
  if (m.empty()) return Error(kind_, Message{where});
  m.front() = Tr("pt4::File", "%1: %2").With(where, std::move(m.front()));
  return Error(kind_, std::move(m));
}

}  // namespace pt4
