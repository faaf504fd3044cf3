// The .coe, .mif and .csv exports read back by small readers of each format's grammar (not by
// the writer's own strings) to exactly the design's coefficients, and the full-scale tap that
// the core files refuse.
#include <gtest/gtest.h>

#include <cctype>
#include <charconv>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "codegen/coefficient_csv.h"
#include "codegen/fpga_coefficient_files.h"
#include "codegen/output_codes.h"
#include "codegen_test_support.h"
#include "tests/support/scratch_directory.h"

namespace qv {
namespace {

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::optional<long> Integer(const std::string& text) {
  const std::string t = Trim(text);
  long value = 0;
  const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value);
  if (t.empty() || error != std::errc() || end != t.data() + t.size()) return std::nullopt;
  return value;
}

// A .coe file: ';' comment lines, then "keyword = value ;" statements; radix=10 must come
// before coefdata, whose comma-separated values end at the statement's ';'.
std::optional<std::vector<long>> ReadCoe(const std::string& text) {
  std::string body;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    if (Trim(line).rfind(';', 0) != 0) body += line + "\n";
  }
  std::optional<long> radix;
  std::optional<std::vector<long>> coefficients;
  std::size_t at = 0;
  while (!Trim(body.substr(at)).empty()) {
    const std::size_t end = body.find(';', at);
    if (end == std::string::npos) return std::nullopt;  // a statement without its ';'
    const std::string statement = body.substr(at, end - at);
    at = end + 1;
    const std::size_t equals = statement.find('=');
    if (equals == std::string::npos || coefficients) return std::nullopt;
    std::string keyword = Trim(statement.substr(0, equals));
    for (char& c : keyword) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::string value = statement.substr(equals + 1);
    if (keyword == "radix") {
      radix = Integer(value);
    } else if (keyword == "coefdata" && radix == 10) {
      coefficients.emplace();
      std::istringstream items(value);
      for (std::string item; std::getline(items, item, ',');) {
        const std::optional<long> v = Integer(item);
        if (!v) return std::nullopt;
        coefficients->push_back(*v);
      }
    } else {
      return std::nullopt;
    }
  }
  return coefficients;
}

// A .mif file: "--" comments to the line end, "NAME=VALUE;" settings, then CONTENT BEGIN with
// "address : data;" entries and END;. The data must fit WIDTH bits as signed decimal, and every
// address 0..DEPTH-1 must appear exactly once.
struct Mif {
  long width = 0;
  std::vector<long> words;
};

std::optional<Mif> ReadMif(const std::string& text) {
  std::string body;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    body += line.substr(0, line.find("--")) + "\n";
  }
  std::map<std::string, std::string> settings;
  std::size_t at = 0;
  const std::size_t begin = body.find("CONTENT");
  if (begin == std::string::npos) return std::nullopt;
  while (at < begin) {
    const std::size_t end = body.find(';', at);
    if (end == std::string::npos || end > begin) break;
    const std::string statement = body.substr(at, end - at);
    at = end + 1;
    const std::size_t equals = statement.find('=');
    if (equals == std::string::npos) return std::nullopt;
    settings[Trim(statement.substr(0, equals))] = Trim(statement.substr(equals + 1));
  }
  if (!Trim(body.substr(at, begin - at)).empty() || settings["ADDRESS_RADIX"] != "UNS" ||
      settings["DATA_RADIX"] != "DEC" || settings.size() != 4) {
    return std::nullopt;
  }
  const std::optional<long> width = Integer(settings["WIDTH"]);
  const std::optional<long> depth = Integer(settings["DEPTH"]);
  std::istringstream content(body.substr(begin));
  std::string word;
  content >> word;
  std::string beginWord;
  content >> beginWord;
  if (!width || !depth || *depth < 1 || beginWord != "BEGIN") return std::nullopt;
  Mif mif{*width, std::vector<long>(static_cast<std::size_t>(*depth))};
  std::vector<bool> seen(mif.words.size());
  std::string rest((std::istreambuf_iterator<char>(content)), std::istreambuf_iterator<char>());
  std::size_t pos = 0;
  for (;;) {
    const std::size_t end = rest.find(';', pos);
    if (end == std::string::npos) return std::nullopt;
    const std::string entry = Trim(rest.substr(pos, end - pos));
    pos = end + 1;
    if (entry == "END") break;
    const std::size_t colon = entry.find(':');
    if (colon == std::string::npos) return std::nullopt;
    const std::optional<long> address = Integer(entry.substr(0, colon));
    const std::optional<long> data = Integer(entry.substr(colon + 1));
    const long half = 1L << (*width - 1);
    if (!address || !data || *address < 0 || *address >= *depth ||
        seen[static_cast<std::size_t>(*address)] || *data < -half || *data >= half) {
      return std::nullopt;
    }
    seen[static_cast<std::size_t>(*address)] = true;
    mif.words[static_cast<std::size_t>(*address)] = *data;
  }
  if (!Trim(rest.substr(pos)).empty()) return std::nullopt;
  for (const bool s : seen) {
    if (!s) return std::nullopt;
  }
  return mif;
}

// A CSV file: its header line and rows of numbers, each read as a double.
struct Csv {
  std::string header;
  std::vector<std::vector<double>> rows;
};

Csv ReadCsv(const std::string& text) {
  Csv csv;
  std::istringstream lines(text);
  std::getline(lines, csv.header);
  for (std::string line; std::getline(lines, line);) {
    std::vector<double> row;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, ',');) {
      double value = 0.0;
      const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
      EXPECT_TRUE(error == std::errc() && end == cell.data() + cell.size()) << cell;
      row.push_back(value);
    }
    csv.rows.push_back(row);
  }
  return csv;
}

std::vector<long> IntegerTaps(const test::GeneratorInput& in) {
  std::vector<long> taps;
  for (int n = 0; n < in.spec.taps; ++n) {
    taps.push_back(static_cast<long>(in.design.firTaps[static_cast<std::size_t>(n)]));
  }
  return taps;
}

FilterSpec Fir(FilterModel model, int taps, Quantization quantization) {
  FilterSpec spec;
  spec.filterClass = FilterClass::Fir;
  spec.model = model;
  spec.taps = taps;
  spec.quantization = quantization;
  return spec;
}

FilterSpec Iir(BandType band, FilterModel model, int order, Quantization quantization) {
  FilterSpec spec;
  spec.bandType = band;
  spec.model = model;
  spec.order = order;
  spec.fcut2 = 200;
  spec.quantization = quantization;
  return spec;
}

class FpgaFiles : public testing::TestWithParam<FilterSpec> {};

TEST_P(FpgaFiles, ReadBackToTheTaps) {
  const test::GeneratorInput in = test::Calculated(GetParam());
  test::ScratchDirectory dir;
  ASSERT_EQ(Write(OutputFormat::Coe, in, {}, dir.Path("f.coe")), OutputCode::Ok);
  ASSERT_EQ(Write(OutputFormat::Mif, in, {}, dir.Path("f.mif")), OutputCode::Ok);
  const std::optional<std::vector<long>> coe = ReadCoe(test::ReadFile(dir.Path("f.coe")));
  ASSERT_TRUE(coe.has_value()) << test::ReadFile(dir.Path("f.coe"));
  EXPECT_EQ(*coe, IntegerTaps(in));
  const std::optional<Mif> mif = ReadMif(test::ReadFile(dir.Path("f.mif")));
  ASSERT_TRUE(mif.has_value()) << test::ReadFile(dir.Path("f.mif"));
  EXPECT_EQ(mif->width, in.spec.quantization == Quantization::Signed8 ? 8 : 16);
  EXPECT_EQ(mif->words, IntegerTaps(in));
}

INSTANTIATE_TEST_SUITE_P(Designs, FpgaFiles,
                         testing::Values(Fir(FilterModel::Rectangle, 31, Quantization::Signed8),
                                         Fir(FilterModel::RaisedCosine, 2, Quantization::Signed16),
                                         Fir(FilterModel::Butterworth, 30, Quantization::Signed16),
                                         Fir(FilterModel::Chebyshev, kMaxTaps,
                                             Quantization::Signed8),
                                         Fir(FilterModel::Bessel, 101, Quantization::Signed16)));

class CsvFile : public testing::TestWithParam<FilterSpec> {};

TEST_P(CsvFile, ReadsBackExactly) {
  const test::GeneratorInput in = test::Calculated(GetParam());
  test::ScratchDirectory dir;
  ASSERT_EQ(Write(OutputFormat::Csv, in, {}, dir.Path("f.csv")), OutputCode::Ok);
  const Csv csv = ReadCsv(test::ReadFile(dir.Path("f.csv")));
  const bool iir = in.spec.filterClass == FilterClass::Iir;
  EXPECT_EQ(csv.header, iir ? "index,numerator,denominator" : "index,tap");
  const int rows = iir ? in.spec.effectiveOrder + 1 : in.spec.taps;
  ASSERT_EQ(csv.rows.size(), static_cast<std::size_t>(rows));
  for (std::size_t k = 0; k < csv.rows.size(); ++k) {
    const std::vector<double>& row = csv.rows[k];
    ASSERT_EQ(row.size(), iir ? 3u : 2u) << "row " << k;
    EXPECT_EQ(row[0], static_cast<double>(k));
    // Exactly the stored doubles, bit for bit.
    EXPECT_EQ(row[1], iir ? in.design.numerator[k] : in.design.firTaps[k]) << "row " << k;
    if (iir) {
      EXPECT_EQ(row[2], in.design.denominator[k]) << "row " << k;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Designs, CsvFile,
    testing::Values(Iir(BandType::LowPass, FilterModel::Butterworth, 2, Quantization::Float),
                    Iir(BandType::BandStop, FilterModel::Chebyshev, 9, Quantization::Float),
                    Iir(BandType::HighPass, FilterModel::Bessel, 3, Quantization::Signed16),
                    Fir(FilterModel::RaisedCosine, 31, Quantization::Float),
                    Fir(FilterModel::Butterworth, 1, Quantization::Float),
                    Fir(FilterModel::Rectangle, 64, Quantization::Signed8)));

// The quantisation reaches +2^(bits-1) when the largest tap is a power of two: one more than
// the signed word holds, while -2^(bits-1) fits.
TEST(FpgaWord, FullScaleTapIsRefusedAndTheMostNegativeFits) {
  struct Word {
    Quantization quantization;
    double full;
  };
  for (const Word w : {Word{Quantization::Signed8, 128.0}, Word{Quantization::Signed16, 32768.0}}) {
    for (const OutputFormat format : {OutputFormat::Coe, OutputFormat::Mif}) {
      test::ScratchDirectory dir;
      const test::GeneratorInput over = test::HandMadeFir({3.0, w.full, 3.0}, w.quantization, 7);
      EXPECT_EQ(Write(format, over, {}, dir.Path("a")), OutputCode::TapOutsideWord);
      EXPECT_FALSE(test::FileExists(dir.Path("a")));
      const test::GeneratorInput most = test::HandMadeFir({3.0, -w.full, 3.0}, w.quantization, 7);
      EXPECT_EQ(Write(format, most, {}, dir.Path("b")), OutputCode::Ok);
    }
  }
}

}  // namespace
}  // namespace qv
