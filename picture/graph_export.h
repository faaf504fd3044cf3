// The picture of the six graphs of a calculated design, written as a 1024 x 700 GIF file.
#pragma once

#include "analysis/responses.h"
#include "codegen/output_codes.h"
#include "design/scheme_check.h"
#include "records/filter_spec.h"

namespace qv {

// Takes a calculated design: its specification, display scale and responses, the check
// against its tolerance scheme, and the path of the output file (NUL-terminated). Draws the
// summary, the six graphs and the footer into a 1024 x 700 palette picture of 15 colours and
// writes it as a GIF87a file. With a scheme the summary's second column gives the verdict and
// the magnitude graph the scheme's mask (in the palette's blue); so does a fixed-point cascade
// its structure.
// The file is created or replaced whole (OutputFile). Returns Ok; NotCreated when the path
// cannot be opened for writing (or is null, or the picture cannot be allocated); NotClosed when
// writing, closing or the replacement fails. On both failures the file at `path` is as it was.
[[nodiscard]] OutputCode ExportGraphs(const FilterSpec& spec, const DisplayScale& scale,
                                      const ResponseSet& responses, const SchemeCheck& scheme,
                                      const char* path);

}  // namespace qv
