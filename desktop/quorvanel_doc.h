// The one document of the desktop application: the specification that the form edits and the
// design file stores, the designed filter with its scale and curves, and the calculated flag
// that says whether they belong to the specification.
#pragma once

#include "analysis/responses.h"
#include "framework/document.h"
#include "records/filter_spec.h"
#include "view/graph_source.h"

namespace qv {

struct OutputSource;

class CQuorvanelDoc : public CDocument, public GraphSource {
  Q_OBJECT

 public:
  explicit CQuorvanelDoc(QObject* parent);

  [[nodiscard]] const FilterSpec& GetSpec() const override { return specification_; }
  // The form writes its values here; nothing else changes the specification from outside.
  [[nodiscard]] FilterSpec& EditSpec() { return specification_; }
  [[nodiscard]] const FilterDesign& GetDesign() const { return design_; }
  [[nodiscard]] const DisplayScale& GetScale() const override { return scale_; }
  [[nodiscard]] const ResponseSet& GetResponses() const override { return responses_; }
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

  FilterDesign design_;
  FilterSpec specification_;
  DisplayScale scale_;
  ResponseSet responses_;
  bool calculated_ = false;
};

}  // namespace qv
