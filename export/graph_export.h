// The picture of the six graphs of a calculated design, written as a 1024 x 700 GIF file.
#pragma once

#include "analysis/responses.h"
#include "records/filter_spec.h"

namespace qv {

// Results of ExportGraphs; the failures share their numbers and messages with the other
// output writers.
enum GraphExportCode : int {
  kGraphExported = 0,
  kGraphFileNotCreated = -10,  // "The Output file cannot be created!\n"
  kGraphFileNotClosed = -12,   // "The Output file cannot be closed!\n"
};

// Takes a calculated design: its specification, display scale and responses, and the path
// of the output file (NUL-terminated). Draws the summary, the six graphs and the footer into a
// 1024 x 700 palette picture of 15 colours and writes it as a GIF87a file.
// The file is created or replaced whole (OutputFile). Returns kGraphExported;
// kGraphFileNotCreated when the path cannot be opened for writing (or is null, or the picture
// cannot be allocated); kGraphFileNotClosed when writing, closing or the replacement fails. On
// both failures the file at `path` is as it was.
int ExportGraphs(const FilterSpec& spec, const DisplayScale& scale, const ResponseSet& responses,
                 const char* path);

}  // namespace qv
