// The one document of the desktop application: the specification that the form edits and the
// design file stores, the designed filter with its scale and curves, and the calculated flag
// that says whether they belong to the specification.
#pragma once

#include "engine/calculate.h"
#include "fileio/extension_block.h"
#include "framework/document.h"
#include "records/filter_spec.h"
#include "view/graph_source.h"

namespace qv {

struct OutputSource;

class CQuorvanelDoc : public CDocument, public GraphSource {
  Q_OBJECT

 public:
  explicit CQuorvanelDoc(QObject* parent);

  [[nodiscard]] const FilterSpec& GetSpec() const override { return calculation_.spec; }
  // The form writes its values here; nothing else changes the specification from outside.
  [[nodiscard]] FilterSpec& EditSpec() { return calculation_.spec; }
  [[nodiscard]] const FilterDesign& GetDesign() const { return calculation_.design; }
  [[nodiscard]] const DisplayScale& GetScale() const override { return calculation_.scale; }
  [[nodiscard]] const ResponseSet& GetResponses() const override { return calculation_.responses; }
  [[nodiscard]] bool IsCalculated() const override { return calculated_; }
  void ClearCalculated() { calculated_ = false; }

  // "Calculate Filter": runs the whole calculation on the specification. A refusal shows its
  // message in a stop box; success updates every view, then marks the design calculated.
  // Returns true on success.
  bool OnCalculate();

  // The Output menu.
  void OnGenerateCCode();
  void OnGenerateVhdlCode();
  void OnGenerateVerilogCode();
  void OnExportGraph();
  void OnExportCoefficients();

 protected:
  bool OnNewDocument() override;
  std::optional<QString> ReadDocument(std::istream& in) override;
  bool WriteDocument(std::ostream& out) const override;

 private:
  [[nodiscard]] OutputSource Output() const;

  // The last calculation, its specification the one the form edits.
  Calculation calculation_;
  bool calculated_ = false;
  // What the opened file held that this version does not know, saved again with the design.
  KeptChunks keptChunks_;
};

}  // namespace qv
