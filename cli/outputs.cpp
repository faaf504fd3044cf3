#include "cli/outputs.h"

#include <CLI/CLI.hpp>

#include "cli/exit_status.h"
#include "cli/graph_output.h"
#include "cli/json_output.h"
#include "codegen/output_codes.h"
#include "output/output_service.h"

namespace qv::cli {

void AddOutputOptions(CLI::App& app, OutputOptions& options) {
  app.add_option_function<std::string>(
         "--save", [&options](const std::string& path) { options.savePath = path; },
         "write the design file (.qvd) of the calculated design")
      ->type_name("FILE.qvd");
  app.add_flag("--json", options.json, "print the calculated design as one JSON object on stdout");
  AddGraphOption(app, options.gifPath);
  AddCodegenOptions(app, options.codegen);
}

ExitStatus WriteOutputs(const OutputOptions& options, const Calculation& calculated,
                        std::ostream& out, std::ostream& err) {
  ExitStatus status = ExitStatus::Success;
  if (options.savePath) {
    qv::OutputOptions save;
    save.keptChunks = options.keptChunks;
    if (const OutputCode code =
            Write(OutputFormat::DesignFile, calculated, save, *options.savePath);
        code != OutputCode::Ok) {
      err << OutputMessage(code);
      status = ExitStatus::OutputFailed;
    }
  }
  // The generators' outputs run here, each setting ExitStatus::OutputFailed when refused or failed.
  if (options.gifPath && !WriteGraphImage(*options.gifPath, calculated, err)) {
    status = ExitStatus::OutputFailed;
  }
  if (!WriteCodegenOutputs(options.codegen, calculated, out, err)) {
    status = ExitStatus::OutputFailed;
  }
  if (options.json && !WriteDesignJson(out, calculated, options.fields)) {
    status = ExitStatus::OutputFailed;
  }
  return status;
}

}  // namespace qv::cli
