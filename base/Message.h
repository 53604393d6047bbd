// A text for the user kept as its sentences: each an English template with
// %1..%9 and its arguments. English is one join of them; a window puts each
// template into the user's language first. An argument is a value shown as it
// is (a path, a number), a system error number (its text in the reader's
// locale), or a template of its own.
//
// Templates are written Tr("context", "text"): the translation tools read that
// as a text to translate in that context.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace pt4 {

class Phrase {
 public:
  enum class Kind { Verbatim, Errno, Template };
  Phrase(std::string value) : text_(std::move(value)) {}  // NOLINT: a value reads as itself
  Phrase(const char* value) : text_(value) {}             // NOLINT
  static Phrase Template(const char* context, const char* text) {
    Phrase p(text);
    p.kind_ = Kind::Template;
    p.context_ = context;
    return p;
  }
  static Phrase SystemError(int err) {
    Phrase p(std::string{});
    p.kind_ = Kind::Errno;
    p.err_ = err;
    return p;
  }
  // The arguments of a template, in the order of %1, %2...
  template <typename... A>
  Phrase With(A&&... args) && {
    (args_.emplace_back(std::forward<A>(args)), ...);
    return std::move(*this);
  }

  Kind kind() const { return kind_; }
  const std::string& text() const { return text_; }
  const char* context() const { return context_; }
  int err() const { return err_; }
  const std::vector<Phrase>& args() const { return args_; }

 private:
  Kind kind_ = Kind::Verbatim;
  std::string text_;
  const char* context_ = "";
  int err_ = 0;
  std::vector<Phrase> args_;
};

inline Phrase Tr(const char* context, const char* text) {
  return Phrase::Template(context, text);
}
inline Phrase SysError(int err) {
  return Phrase::SystemError(err);
}

// Sentences, joined by one space.
using Message = std::vector<Phrase>;

// "%1".."%9" of `templ` replaced by `args`, in one pass: an argument that holds
// a "%2" of its own is left as it is.
std::string Fill(const std::string& templ, const std::vector<std::string>& args);
std::string English(const Phrase& p);
std::string English(const Message& m);

// What a failure means to whoever must react to it. The kind alone decides
// pt4cli's exit status and the "kind" of its JSON error; the window shows the
// sentences whatever the kind, and leaves only for a privilege failure.
enum class ErrorKind {
  Usage,      // a request that cannot be carried out as given (a command line, an image
              // whose bits the chosen mask would drop)
  File,       // a file named by the user or needed by the program: missing, unreadable,
              // damaged, or not to be created (an image, the chip file, a trace, a log)
  Port,       // the port refused, or an access to it failed
  Privilege,  // rights given for the port that could not be given up: nothing may run
};

// The one error type of everything below the windows: its kind and the user's
// sentences, with the cause (errno, a DLL's error) kept as an argument so that
// a window can say it in the user's language. what() is the English.
class Error : public std::runtime_error {
 public:
  Error(ErrorKind kind, Message m)
      : std::runtime_error(English(m)), kind_(kind), message_(std::move(m)) {}
  ErrorKind Kind() const noexcept { return kind_; }
  const Message& Words() const noexcept { return message_; }
  // The same error told about `where` (a file's path): "where: first sentence...".
  Error About(const std::string& where) const;

 private:
  ErrorKind kind_;
  Message message_;
};

inline Error FileError(Message m) {
  return Error(ErrorKind::File, std::move(m));
}
inline Error PortError(Message m) {
  return Error(ErrorKind::Port, std::move(m));
}

}  // namespace pt4
