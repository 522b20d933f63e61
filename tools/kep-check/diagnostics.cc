#include "diagnostics.h"

#include <algorithm>

namespace kep::check {

namespace {

const char* severity_name(Severity s) {
  switch (s) {
    case Severity::kError:
      return "error";
    case Severity::kWarning:
      return "warning";
    case Severity::kNote:
      return "note";
  }
  return "";
}

std::string counted(int n, const char* what) {
  return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

}  // namespace

Diagnostic& Diagnostics::add(Severity severity, int file_order,
                             std::string path, std::size_t line,
                             std::string message) {
  all_.push_back(Diagnostic{
      severity, file_order, std::move(path), line, std::move(message), {}});
  return all_.back();
}

void Diagnostics::note(Diagnostic& to, std::string path, std::size_t line,
                       std::string message) {
  to.notes.push_back(Diagnostic{Severity::kNote,
                                to.file_order,
                                std::move(path),
                                line,
                                std::move(message),
                                {}});
}

int Diagnostics::errors() const {
  return static_cast<int>(std::count_if(
      all_.begin(), all_.end(),
      [](const Diagnostic& d) { return d.severity == Severity::kError; }));
}

int Diagnostics::warnings() const {
  return static_cast<int>(std::count_if(
      all_.begin(), all_.end(),
      [](const Diagnostic& d) { return d.severity == Severity::kWarning; }));
}

std::vector<Diagnostic> Diagnostics::sorted() const {
  std::vector<Diagnostic> out = all_;
  std::stable_sort(out.begin(), out.end(),
                   [](const Diagnostic& a, const Diagnostic& b) {
                     if (a.file_order != b.file_order)
                       return a.file_order < b.file_order;
                     return a.line < b.line;
                   });
  return out;
}

std::string format_diagnostic(const Diagnostic& d) {
  std::string text = d.path;
  if (d.line > 0) text += ":" + std::to_string(d.line);
  text += ": ";
  text += severity_name(d.severity);
  text += ": ";
  text += d.message;
  return text;
}

void Diagnostics::print(std::ostream& out, const char* program) const {
  for (const Diagnostic& d : sorted()) {
    out << format_diagnostic(d) << '\n';
    for (const Diagnostic& n : d.notes) out << format_diagnostic(n) << '\n';
  }
  out << program << ": " << counted(errors(), "error") << ", "
      << counted(warnings(), "warning") << '\n';
}

}  // namespace kep::check
