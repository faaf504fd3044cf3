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
  FilterSpec& spec = calculation_.spec;
  const FilterSpec defaults;
  const std::int32_t effectiveOrder = spec.effectiveOrder;
  const double fcenter = spec.fcenter;
  spec = defaults;
  spec.effectiveOrder = effectiveOrder;
  spec.fcenter = fcenter;
  keptChunks_ = {};
  calculated_ = false;
  return true;
}

bool CQuorvanelDoc::OnCalculate() {
  calculated_ = false;
  calculation_ = Calculate(calculation_.spec);
  if (!calculation_.Succeeded()) {
    AfxMessageBox(FromUtf8View(calculation_.outcome.message));
    return false;
  }
  calculated_ = true;
  UpdateAllViews();
  return true;
}

std::optional<QString> CQuorvanelDoc::ReadDocument(std::istream& in) {
  const bool wasCalculated = calculated_;
  calculated_ = false;
  const LoadOutcome outcome = LoadDesignFile(in, calculation_.spec, keptChunks_);
  switch (outcome) {
    case LoadOutcome::Empty:
      // Nothing was read: the design stays what it was, graphs included.
      calculated_ = wasCalculated;
      return std::nullopt;
    case LoadOutcome::VersionMismatch:
      AfxMessageBox(FromUtf8View(LoadOutcomeMessage(outcome)));
      RejectOpenedFile();
      return std::nullopt;
    case LoadOutcome::Damaged:
      // Nothing was taken from the file: the design stays whole, graphs included, and keeps
      // its name, so that Save never writes over the file it could not read.
      AfxMessageBox(FromUtf8View(LoadOutcomeMessage(outcome)));
      RejectOpenedFile();
      calculated_ = wasCalculated;
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
  return StoreDesignFile(out, calculation_.spec, keptChunks_);
}

OutputSource CQuorvanelDoc::Output() const { return {calculation_, calculated_, GetTitle()}; }

void CQuorvanelDoc::OnGenerateCCode() { GenerateCCodeCommand(Output(), DialogParent()); }

void CQuorvanelDoc::OnGenerateVhdlCode() { GenerateVhdlCodeCommand(Output(), DialogParent()); }
void CQuorvanelDoc::OnGenerateVerilogCode() {
  GenerateVerilogCodeCommand(Output(), DialogParent());
}

void CQuorvanelDoc::OnExportGraph() { ExportGraphCommand(Output(), DialogParent()); }

void CQuorvanelDoc::OnExportCoefficients() { ExportCoefficientsCommand(Output(), DialogParent()); }

}  // namespace qv
