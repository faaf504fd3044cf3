// The picture of the six graphs of a calculated design, written as a 1024 x 700 GIF file.
#pragma once

#include "analysis/responses.h"
#include "codegen/output_codes.h"
#include "records/filter_spec.h"

namespace qv {

// Takes a calculated design: its specification, display scale and responses, and the path
// of the output file (NUL-terminated). Draws the summary, the six graphs and the footer into a
// 1024 x 700 palette picture of 15 colours and writes it as a GIF87a file.
// The file is created or replaced whole (OutputFile). Returns Ok; NotCreated when the path
// cannot be opened for writing (or is null, or the picture cannot be allocated); NotClosed when
// writing, closing or the replacement fails. On both failures the file at `path` is as it was.
[[nodiscard]] OutputCode ExportGraphs(const FilterSpec& spec, const DisplayScale& scale,
                                      const ResponseSet& responses, const char* path);

}  // namespace qv
