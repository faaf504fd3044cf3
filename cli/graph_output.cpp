#include "cli/graph_output.h"

#include <CLI/CLI.hpp>

#include "codegen/output_codes.h"
#include "output/output_service.h"

namespace qv::cli {

void AddGraphOption(CLI::App& app, std::optional<std::string>& path) {
  app.add_option_function<std::string>(
         "--gif", [&path](const std::string& value) { path = value; },
         "write the six graphs of the calculated design as a 1024 x 700 GIF image")
      ->type_name("FILE.gif");
}

bool WriteGraphImage(const std::string& path, const Calculation& calculated, std::ostream& err) {
  const OutputCode result = Write(OutputFormat::Gif, calculated, {}, path);
  if (result == OutputCode::Ok) {
    return true;
  }
  err << OutputMessage(result);
  return false;
}

}  // namespace qv::cli
