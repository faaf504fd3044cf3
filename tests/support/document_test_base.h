// The set-up that the document's widget tests share: scripted message boxes and file dialogs,
// a new document and a temporary directory for its files, made afresh for every test function.
#pragma once

#include <QObject>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>

#include "desktop/quorvanel_doc.h"
#include "framework/file_name.h"
#include "tests/support/scripted_services.h"

namespace qv::testing {

class DocumentTestBase : public QObject {
 protected:
  // Called from the test's init() slot.
  void CreateDocument() {
    messages_ = new ScriptedMessages;
    dialogs_ = new ScriptedFileDialogs;
    doc_ = new CQuorvanelDoc(nullptr);
    dir_ = new QTemporaryDir;
    doc_->OnFileNew();
  }

  // Calculates `spec` in the document; the test function fails when it is refused.
  void Calculated(const FilterSpec& spec) {
    doc_->EditSpec() = spec;
    QVERIFY(doc_->OnCalculate());
  }

  // The document's records as the output writers read them.
  [[nodiscard]] Calculation Document() const {
    Calculation records;
    records.spec = doc_->GetSpec();
    records.scale = doc_->GetScale();
    records.design = doc_->GetDesign();
    records.responses = doc_->GetResponses();
    return records;
  }

  // Called from the test's cleanup() slot.
  void DestroyDocument() {
    // QTemporaryDir cannot remove a file whose name is not UTF-8.
    std::filesystem::remove_all(FileNameBytes(dir_->path()));
    delete dir_;
    delete doc_;
    delete dialogs_;
    delete messages_;
  }

  ScriptedMessages* messages_ = nullptr;
  ScriptedFileDialogs* dialogs_ = nullptr;
  CQuorvanelDoc* doc_ = nullptr;
  QTemporaryDir* dir_ = nullptr;
};

}  // namespace qv::testing
