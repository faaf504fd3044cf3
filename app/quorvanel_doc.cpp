#include "app/quorvanel_doc.h"

#include "app/design_file.h"
#include "design/calculate.h"
#include "framework/message_service.h"

namespace qv {
namespace {

const DocumentType kDesignFileType{QStringLiteral("Quorvanel Design (*.qvd)"),
                                   QString::fromUtf8(kDesignFileExtension.data(),
                                                     static_cast<qsizetype>(kDesignFileExtension.size()))};

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

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
  const CalculateOutcome outcome = Calculate(specification_, scale_, design_, responses_);
  if (!outcome.Succeeded()) {
    AfxMessageBox(QString::fromStdString(outcome.message));
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
      AfxMessageBox(ToQString(LoadOutcomeMessage(outcome)));
      return std::nullopt;
    case LoadOutcome::EndedEarly:
      return ToQString(LoadOutcomeMessage(outcome));
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

void CQuorvanelDoc::OnExportGraph() { ExportGraphCommand(Output(), DialogParent()); }

}  // namespace qv
