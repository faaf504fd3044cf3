#include "desktop/quorvanel_doc.h"

#include "desktop/output_commands.h"
#include "engine/calculate.h"
#include "fileio/design_file.h"
#include "framework/message_service.h"
#include "framework/utf8_text.h"

namespace qv {
namespace {

const DocumentType kDesignFileType{QStringLiteral("Quorvanel Design (*.qvd)"),
                                   FromUtf8View(kDesignFileExtension)};

}  // namespace

CQuorvanelDoc::CQuorvanelDoc(QObject* parent) : CDocument(kDesignFileType, parent) {}

bool CQuorvanelDoc::OnNewDocument() {
  if (!CDocument::OnNewDocument()) {
    return false;
  }
  // The derived fields keep what the last calculation left; the next one sets them again.
  const FilterSpec defaults;
  const std::int32_t effectiveOrder = specification_.effectiveOrder;
  const double fcenter = specification_.fcenter;
  specification_ = defaults;
  specification_.effectiveOrder = effectiveOrder;
  specification_.fcenter = fcenter;
  calculated_ = false;
  return true;
}

bool CQuorvanelDoc::OnCalculate() {
  // Each calculation starts from the records of a new document, as each run of the command-line
  // tool does: the curves otherwise keep points of the previous design (the phase at 0 Hz), and
  // the same design would not always draw the same graphs.
  calculated_ = false;
  design_ = FilterDesign{};
  responses_ = ResponseSet{};
  const CalculateOutcome outcome = Calculate(specification_, scale_, design_, responses_);
  if (!outcome.Succeeded()) {
    AfxMessageBox(FromUtf8View(outcome.message));
    return false;
  }
  calculated_ = true;
  UpdateAllViews();
  return true;
}

std::optional<QString> CQuorvanelDoc::ReadDocument(std::istream& in) {
  const bool wasCalculated = calculated_;
  calculated_ = false;
  const LoadOutcome outcome = LoadDesignFile(in, specification_);
  switch (outcome) {
    case LoadOutcome::Empty:
      // Nothing was read: the design stays what it was, graphs included.
      calculated_ = wasCalculated;
      return std::nullopt;
    case LoadOutcome::VersionMismatch:
      AfxMessageBox(FromUtf8View(LoadOutcomeMessage(outcome)));
      RejectOpenedFile();
      return std::nullopt;
    case LoadOutcome::EndedEarly:
      return FromUtf8View(LoadOutcomeMessage(outcome));
    case LoadOutcome::Loaded:
      OnCalculate();
      return std::nullopt;
  }
  return std::nullopt;
}

bool CQuorvanelDoc::WriteDocument(std::ostream& out) const {
  return StoreDesignFile(out, specification_);
}

OutputSource CQuorvanelDoc::Output() const {
  return {specification_, scale_, design_, responses_, calculated_, GetTitle()};
}

void CQuorvanelDoc::OnGenerateCCode() { GenerateCCodeCommand(Output(), DialogParent()); }

void CQuorvanelDoc::OnGenerateVhdlCode() { GenerateVhdlCodeCommand(Output(), DialogParent()); }
void CQuorvanelDoc::OnGenerateVerilogCode() {
  GenerateVerilogCodeCommand(Output(), DialogParent());
}

void CQuorvanelDoc::OnExportGraph() { ExportGraphCommand(Output(), DialogParent()); }

void CQuorvanelDoc::OnExportCoefficients() { ExportCoefficientsCommand(Output(), DialogParent()); }

}  // namespace qv
