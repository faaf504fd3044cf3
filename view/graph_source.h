// What the graph view reads of its document: the records of the design and the mark that says
// whether they belong to the specification. The document implements it, so the view depends on
// this narrow interface and never on the document that owns the records.
#pragma once

#include "analysis/responses.h"
#include "design/scheme_check.h"
#include "records/filter_spec.h"

namespace qv {

class GraphSource {
 public:
  [[nodiscard]] virtual const FilterSpec& GetSpec() const = 0;
  [[nodiscard]] virtual const DisplayScale& GetScale() const = 0;
  [[nodiscard]] virtual const ResponseSet& GetResponses() const = 0;
  // The design against its tolerance scheme (not checked when it has none).
  [[nodiscard]] virtual const SchemeCheck& GetSchemeCheck() const = 0;
  // False while the records do not describe a calculated design: nothing is drawn then.
  [[nodiscard]] virtual bool IsCalculated() const = 0;

 protected:
  GraphSource() = default;
  GraphSource(const GraphSource&) = default;
  GraphSource& operator=(const GraphSource&) = default;
  ~GraphSource() = default;
};

}  // namespace qv
