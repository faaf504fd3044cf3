#include "cli/cli_options.h"

#include <charconv>
#include <cmath>
#include <string_view>
#include <utility>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/batch_mode.h"
#include "cli/exit_status.h"
#include "records/identification.h"

namespace qv::cli {

namespace {

template <typename Enum>
using Choices = std::vector<std::pair<std::string, Enum>>;

const Choices<FilterClass> kClassChoices = {{"iir", FilterClass::Iir}, {"fir", FilterClass::Fir}};
const Choices<BandType> kBandChoices = {{"lowpass", BandType::LowPass},
                                        {"highpass", BandType::HighPass},
                                        {"bandpass", BandType::BandPass},
                                        {"bandstop", BandType::BandStop}};
const Choices<FilterModel> kModelChoices = {{"butterworth", FilterModel::Butterworth},
                                            {"chebyshev", FilterModel::Chebyshev},
                                            {"bessel", FilterModel::Bessel},
                                            {"rectangle", FilterModel::Rectangle},
                                            {"raised-cosine", FilterModel::RaisedCosine},
                                            {"chebyshev2", FilterModel::ChebyshevII},
                                            {"elliptic", FilterModel::Elliptic},
                                            {"kaiser", FilterModel::Kaiser},
                                            {"equiripple", FilterModel::Equiripple}};
const Choices<Quantization> kQuantizationChoices = {
    {"float", Quantization::Float}, {"8", Quantization::Signed8}, {"16", Quantization::Signed16}};
const Choices<IirStructure> kStructureChoices = {{"direct", IirStructure::Direct},
                                                 {"sections", IirStructure::Sections}};
const Choices<SectionScaling> kScalingChoices = {{"linf", SectionScaling::LInfinity},
                                                 {"l2", SectionScaling::L2}};

// Number texts may carry one leading plus sign, which the standard conversions refuse.
std::string_view WithoutPlus(std::string_view text) {
  if (text.size() > 1 && text.front() == '+' && text[1] != '-') {
    text.remove_prefix(1);
  }
  return text;
}

// Decimal only: a leading zero does not make the number octal.
bool ParseWholeNumber(std::string_view text, std::int32_t& value) {
  text = WithoutPlus(text);
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  return !text.empty() && error == std::errc() && stop == end;
}

// Decimal notation with an optional exponent; infinities and not-a-number are refused.
bool ParseReal(std::string_view text, double& value) {
  text = WithoutPlus(text);
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::general);
  return !text.empty() && error == std::errc() && stop == end && std::isfinite(value);
}

// One real, or two separated by a comma.
bool ParseEdges(std::string_view text, BandEdges& edges) {
  const std::size_t comma = text.find(',');
  edges = BandEdges{};
  if (!ParseReal(text.substr(0, comma), edges.hz[0])) return false;
  edges.count = 1;
  if (comma == std::string_view::npos) return true;
  edges.count = 2;
  return ParseReal(text.substr(comma + 1), edges.hz[1]);
}

void AddEdges(CLI::App& app, const std::string& name, std::optional<BandEdges>& field,
              const std::string& description) {
  app.add_option_function<std::string>(
         name,
         [&field](const std::string& text) {
           BandEdges edges;
           ParseEdges(text, edges);
           field = edges;
         },
         description)
      ->type_name("HZ[,HZ]")
      ->check(CLI::Validator(
          [](std::string& text) -> std::string {
            BandEdges edges;
            return ParseEdges(text, edges) ? std::string()
                                           : "one finite real number, or two separated by a "
                                             "comma, is required, not '" +
                                                 text + "'";
          },
          ""));
}

void AddWholeNumber(CLI::App& app, const std::string& name, std::optional<std::int32_t>& field,
                    const std::string& description) {
  app.add_option_function<std::string>(
         name,
         [&field](const std::string& text) {
           std::int32_t value = 0;
           ParseWholeNumber(text, value);
           field = value;
         },
         description)
      ->type_name("INT32")
      ->check(CLI::Validator(
          [](std::string& text) -> std::string {
            std::int32_t value = 0;
            return ParseWholeNumber(text, value)
                       ? std::string()
                       : "a whole number from -2147483648 to 2147483647 is required, not '" + text +
                             "'";
          },
          ""));
}

void AddReal(CLI::App& app, const std::string& name, std::optional<double>& field,
             const std::string& description) {
  app.add_option_function<std::string>(
         name,
         [&field](const std::string& text) {
           double value = 0.0;
           ParseReal(text, value);
           field = value;
         },
         description)
      ->type_name("REAL")
      ->check(CLI::Validator(
          [](std::string& text) -> std::string {
            double value = 0.0;
            return ParseReal(text, value) ? std::string()
                                          : "a finite real number is required, not '" + text + "'";
          },
          ""));
}

template <typename Enum>
void AddChoice(CLI::App& app, const std::string& name, const Choices<Enum>& choices,
               std::optional<Enum>& field, const std::string& description) {
  std::vector<std::string> names;
  std::string typeName;
  for (const auto& [text, value] : choices) {
    names.push_back(text);
    typeName += (typeName.empty() ? "" : "|") + text;
  }
  app.add_option_function<std::string>(
         name,
         [&field, &choices](const std::string& text) {
           for (const auto& [choice, value] : choices) {
             if (choice == text) {
               field = value;
             }
           }
         },
         description)
      ->type_name(typeName)
      ->check(CLI::IsMember(names).description(""));
}

}  // namespace

std::optional<ExitStatus> ParseCliOptions(int argc, const char* const* argv, CliOptions& options,
                                          std::ostream& out, std::ostream& err) {
  CLI::App app{
      "Designs a digital filter, computes its responses and writes what is asked for.\n"
      "Starts from the defaults of a new design, or from --open; every other option\n"
      "overrides its field.",
      "quorvanel-cli"};
  app.set_version_flag("--version", std::string(kProductName) + std::string(kVersionSeparator) +
                                        std::string(kVersionText));
  SpecOverrides& o = options.overrides;
  app.add_option_function<std::string>(
         "--open", [&options](const std::string& path) { options.openPath = path; },
         "start from the parameters of a design file (else the defaults of a new design)")
      ->type_name("FILE.qvd");
  AddChoice(app, "--class", kClassChoices, o.filterClass, "filter class");
  AddChoice(app, "--band", kBandChoices, o.bandType, "band type");
  AddChoice(app, "--model", kModelChoices, o.model,
            "model (rectangle, raised-cosine, kaiser, equiripple: FIR only; chebyshev2, "
            "elliptic, kaiser, equiripple: designed from the tolerance scheme)");
  AddWholeNumber(app, "--fs", o.fsample, "sampling frequency, whole Hz");
  AddWholeNumber(app, "--fc1", o.fcut1,
                 "first cut frequency (low and high pass: the cut), whole Hz");
  AddWholeNumber(app, "--fc2", o.fcut2, "second cut frequency (band pass and band stop), whole Hz");
  AddWholeNumber(app, "--order", o.order, "filter order (the IIR models)");
  AddWholeNumber(app, "--taps", o.taps, "FIR tap count");
  AddReal(app, "--ripple", o.ripple,
          "pass-band ripple in dB (Chebyshev; Rp of the tolerance scheme)");
  AddReal(app, "--rolloff", o.rollOff, "roll-off factor alpha (raised cosine)");
  AddChoice(app, "--quant", kQuantizationChoices, o.quantization, "coefficient quantisation");
  AddEdges(app, "--pass", o.passEdges,
           "pass-band edge(s) in Hz of the tolerance scheme: one for low and high pass, two for "
           "band pass and band stop; sets a scheme, which the design is checked against");
  AddEdges(app, "--stop", o.stopEdges,
           "stop-band edge(s) in Hz of the tolerance scheme, as --pass; sets a scheme");
  AddReal(app, "--atten", o.attenuation, "stop-band attenuation As in dB of the tolerance scheme");
  app.add_flag("--min-order", o.minimumOrder,
               "choose the smallest order or tap count that meets the tolerance scheme");
  AddChoice(app, "--structure", kStructureChoices, o.structure,
            "quantised IIR designs: one direct form, or second-order sections");
  AddChoice(app, "--scaling", kScalingChoices, o.sectionScaling,
            "gain scaling of second-order sections: L-infinity (default) or L2");
  AddOutputOptions(app, options.outputs);
  // Every line of the batch input is a whole specification, and its result goes to stdout.
  CLI::Option* batch =
      app.add_flag("--batch", options.batch,
                   "read JSON specifications from stdin, one per line, and print "
                   "one JSON result per line; takes no other option but --jobs and --fields");
  const std::string jobsRange = "a whole number from 1 to " + std::to_string(kMaxBatchJobs);
  CLI::Option* jobs =
      app.add_option_function<std::string>(
             "--jobs",
             [&options](const std::string& text) {
               std::int32_t value = 0;
               ParseWholeNumber(text, value);
               options.jobs = value;
             },
             "worker threads of --batch (default: one per core)")
          ->type_name("N")
          ->check(CLI::Validator(
              [jobsRange](std::string& text) -> std::string {
                std::int32_t value = 0;
                return ParseWholeNumber(text, value) && value >= 1 && value <= kMaxBatchJobs
                           ? std::string()
                           : jobsRange + " is required, not '" + text + "'";
              },
              ""))
          ->needs(batch);
  CLI::Option* fields =
      app.add_option_function<std::string>(
             "--fields",
             [&options](const std::string& list) {
               std::string unknown;
               options.outputs.fields = JsonFields::Parse(list, unknown).value_or(JsonFields{});
             },
             "with --json or --batch: print only these parts of the answer, comma-separated: "
             "spec, scale, design, responses, verdict (the check against the tolerance scheme), "
             "or one field of the design or the responses (such as firTaps, magnitudeDb, poles)")
          ->type_name("LIST")
          ->check(CLI::Validator(
              [](std::string& list) -> std::string {
                std::string unknown;
                return JsonFields::Parse(list, unknown)
                           ? std::string()
                           : "unknown field '" + unknown +
                                 "'; the fields are: " + JsonFields::KnownNames();
              },
              ""));
  // Checked here rather than declared on each option, whose help would repeat it.
  const auto refuseBesideBatch = [&app, batch, jobs, fields] {
    for (const CLI::Option* other : app.get_options()) {
      if (batch->count() > 0 && other != batch && other != jobs && other != fields &&
          other->count() > 0) {
        throw CLI::ExcludesError(batch->get_name(), other->get_name());
      }
    }
  };

  try {
    app.parse(argc, argv);
    refuseBesideBatch();
    // The one printout that --fields shapes is the JSON answer, of --json or of every batch line.
    if (fields->count() > 0 && !options.outputs.json && !options.batch) {
      throw CLI::ValidationError("--fields", "needs --json or --batch");
    }
  } catch (const CLI::ParseError& error) {
    const int code = app.exit(error, out, err);
    return code == static_cast<int>(CLI::ExitCodes::Success) ? ExitStatus::Success
                                                             : ExitStatus::Usage;
  }
  return std::nullopt;
}

void ApplyOverrides(const SpecOverrides& overrides, FilterSpec& spec) {
  spec.filterClass = overrides.filterClass.value_or(spec.filterClass);
  spec.bandType = overrides.bandType.value_or(spec.bandType);
  spec.model = overrides.model.value_or(spec.model);
  spec.fsample = overrides.fsample.value_or(spec.fsample);
  spec.fcut1 = overrides.fcut1.value_or(spec.fcut1);
  spec.fcut2 = overrides.fcut2.value_or(spec.fcut2);
  spec.order = overrides.order.value_or(spec.order);
  spec.taps = overrides.taps.value_or(spec.taps);
  spec.ripple = overrides.ripple.value_or(spec.ripple);
  spec.rollOff = overrides.rollOff.value_or(spec.rollOff);
  spec.quantization = overrides.quantization.value_or(spec.quantization);
  ToleranceScheme& scheme = spec.scheme;
  if (overrides.passEdges) {
    scheme.pass1 = overrides.passEdges->hz[0];
    scheme.pass2 = overrides.passEdges->hz[1];
  }
  if (overrides.stopEdges) {
    scheme.stop1 = overrides.stopEdges->hz[0];
    scheme.stop2 = overrides.stopEdges->hz[1];
  }
  scheme.active = scheme.active || overrides.passEdges || overrides.stopEdges;
  scheme.attenuation = overrides.attenuation.value_or(scheme.attenuation);
  scheme.minimumOrder = scheme.minimumOrder || overrides.minimumOrder;
  spec.structure = overrides.structure.value_or(spec.structure);
  spec.sectionScaling = overrides.sectionScaling.value_or(spec.sectionScaling);
}

std::optional<std::string> ApplyFormRules(const SpecOverrides& overrides, FilterSpec& spec) {
  // A combination that comes from the opened file alone is the file's, and the calculation
  // refuses it; only the command line's own choice is a usage error.
  const bool chosenHere = overrides.filterClass.has_value() || overrides.model.has_value();
  const bool windowModel =
      spec.model == FilterModel::Kaiser || spec.model == FilterModel::Equiripple;
  const bool firOnlyModel =
      spec.model == FilterModel::Rectangle || spec.model == FilterModel::RaisedCosine;
  if (chosenHere && spec.filterClass == FilterClass::Iir && (firOnlyModel || windowModel)) {
    return std::string(overrides.model ? "--model" : "--class") +
           (windowModel
                ? ": the kaiser and equiripple models are for the FIR class only (--class fir)"
                : ": the rectangle and raised-cosine models are for the FIR class only (--class "
                  "fir)");
  }
  // The band type may come from the opened file; the edges given here must fit it.
  const int edges = IsBandType(spec.bandType) ? 2 : 1;
  for (const auto& [option, given] :
       {std::pair{"--pass", overrides.passEdges}, std::pair{"--stop", overrides.stopEdges}}) {
    if (given && given->count != edges) {
      return std::string(option) + (edges == 2
                                        ? ": a band pass or band stop has two edges, LOWER,UPPER"
                                        : ": a low or high pass has one edge");
    }
  }
  if (spec.bandType == BandType::LowPass || spec.bandType == BandType::HighPass) {
    spec.fcut2 = spec.fcut1;
  }
  return std::nullopt;
}

}  // namespace qv::cli
