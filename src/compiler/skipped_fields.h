// Internal to the parser: the warnings for what it skips without a code. The
// parser tells the log what it decided at each keyword field (a rule read
// it, it matched nothing, it was a discarded dash field); the log groups a
// field that matched nothing with the numbers skipped after it, and never
// changes what the parser reads.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/compiler.h"

namespace scenario {

class FieldReader;

class SkippedFields {
 public:
  // `part` names the part of the file being read in messages, e.g. "the
  // train file".
  SkippedFields(std::vector<RecordedWarning>& out, SourceFile file) : out_(out), file_(file) {}
  ~SkippedFields();
  SkippedFields(const SkippedFields&) = delete;
  SkippedFields& operator=(const SkippedFields&) = delete;

  // `keywords` are the part's keywords as the writers write them, for a
  // suggestion when a field is one or two letters from one of them.
  void set_part(std::string part, std::vector<std::string_view> keywords) {
    part_ = std::move(part);
    keywords_ = std::move(keywords);
  }

  // A rule matched the keyword field `keyword` and read its values.
  void record_read(std::string_view keyword);
  // A record that this compile skips by design (a curve without a track
  // plan): its numbers, read as keyword fields, are not warned about.
  void record_skipped_by_design();
  // The keyword field last read matched no rule.
  void unmatched(std::string_view field, const FieldReader& r);
  // The keyword field last read was a dash field, discarded.
  void discarded(std::string_view field, const FieldReader& r);
  // The last field of the file, which is never interpreted.
  void last_field(std::string_view field, const FieldReader& r);
  // A text the compile stores (a station name, a board text).
  void stored_text(std::string_view text, const FieldReader& r);
  // The file's first bytes.
  void file_start(std::string_view bytes);
  // A train file in which no field holds "[generale]".
  void no_generale();
  // Ends the group being built, if any.
  void flush();

 private:
  struct Group {
    RecordedWarning warning;
    std::string field;  // the unmatched keyword, empty for numbers alone
    std::string after;  // the record the numbers follow, if any
    int numbers = 0;
  };
  RecordedWarning at(const FieldReader& r, WarningKind kind) const;
  void number(const FieldReader& r);

  std::vector<RecordedWarning>& out_;
  SourceFile file_;
  std::string part_;
  std::vector<std::string_view> keywords_;
  std::optional<Group> open_;
  std::string last_record_;  // keyword of the last record read, until a field that is not its number
  bool absorbing_ = false;   // numbers of a record skipped by design
};

// True for a field that is one whole decimal integer, as a number field would
// read it.
bool looks_like_number(std::string_view field);

}  // namespace scenario
