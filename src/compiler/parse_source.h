// Internal to the parser: one source being read, with the record the parser
// is in, so that every recorded code can name its file and line.
#pragma once

#include <exception>
#include <string>

#include "compiler/compiler.h"
#include "compiler/numeric.h"
#include "compiler/skipped_fields.h"
#include "sources/text_format.h"

namespace scenario {

struct Compiler::Source {
  // The compiler's source_ points at the source for as long as it exists.
  Source(Compiler& owner, SourceFile which, std::string name, std::string bytes)
      : owner(owner),
        unwinding(std::uncaught_exceptions()),
        which(which),
        name(std::move(name)),
        bytes(std::move(bytes)),
        reader(this->bytes),
        skipped(owner.recorded_warnings, which) {
    owner.source_ = this;
    skipped.file_start(this->bytes);
  }
  ~Source() {
    if (owner.source_ != this) return;
    owner.source_ = nullptr;
    if (std::uncaught_exceptions() > unwinding) owner.failed_at_ = {which, record_line, record_column};
  }
  Source(const Source&) = delete;
  Source& operator=(const Source&) = delete;

  Compiler& owner;
  int unwinding;
  SourceFile which;
  std::string name;
  std::string bytes;
  FieldReader reader;
  SkippedFields skipped;
  int record_line = 0;  // line and column of the keyword field of the record being read
  int record_column = 0;

  // The field just read is the keyword field of the record being read.
  void mark_record() {
    record_line = reader.field_line();
    record_column = reader.field_column();
  }

  std::int32_t i32() { return reader.read_i32(); }
  std::int16_t i16() { return reader.read_i16(); }
  std::uint8_t u8() { return reader.read_u8(); }
  // A 16-bit parameter of a marking routine, read as a 32-bit number.
  std::int16_t param16(const char* what) { return narrow16(reader.read_i32(), what); }
};

}  // namespace scenario

namespace scenario {

// Thrown by end_parse once the code is recorded: the parse of the file being
// read ends, and that file is deleted.
struct ParseEnded {
  SourceFile file;
};

}  // namespace scenario
