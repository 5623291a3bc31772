// Which reader a file needs, and the hint for a file the fixed reading would misread.
#include "gerber/file_kind.h"

#include <gtest/gtest.h>

#include <sstream>

#include "common/error.h"

namespace zor {
namespace {

FileKind kind(const std::string& text) {
  std::istringstream in(text);
  return detect_file_kind(in);
}

std::optional<std::string> hint(const std::string& text) {
  std::istringstream in(text);
  return full_reading_hint(in);
}

std::string data(const std::string& name) {
  return std::string(ZOR_TEST_DATA) + "/" + name;
}

TEST(FileKind, GerberAndDrillFilesAreToldApartByTheirStatements) {
  EXPECT_EQ(kind("G04 x*\n%FSLAX24Y24*%\n"), FileKind::kGerber);
  EXPECT_EQ(kind("G54D10*\nX100Y100D02*\nX200Y100D01*\nM02*\n"), FileKind::kGerber);
  EXPECT_EQ(kind("M48\nINCH,TZ\nT1C0.02\n%\nT1\nX100Y100\nM30\n"), FileKind::kExcellon);
  EXPECT_EQ(kind("%\nT1C0.028F200S100\nX002250Y002300\nM30\n"), FileKind::kExcellon);
  EXPECT_EQ(kind(""), FileKind::kUnknown);
  EXPECT_EQ(kind("hello world\n"), FileKind::kUnknown);
  EXPECT_EQ(kind(std::string(4000, '\x01')), FileKind::kUnknown);
  // A drill drawing is a Gerber file whatever its name.
  EXPECT_EQ(detect_file_kind_file(data("gerber/orcad_rs232_cm.top")), FileKind::kGerber);
  EXPECT_THROW(detect_file_kind_file(data("no such file")), IoError);
}

TEST(FullReadingHint, GerberFormatsTheFixedReadingWouldMisread) {
  EXPECT_EQ(hint("%FSLAX46Y46*%\n%MOMM*%\n"),
            "Файл задаёт единицы мм, формат 4.6: включите «Полное чтение файла»");
  EXPECT_EQ(hint("G70*\n%FSAX24Y24*%\n"),
            "Файл задаёт единицы дюймы, формат 2.4: включите «Полное чтение файла»");
  EXPECT_EQ(hint("%FSTAX32Y32*%%MOMM*%"),
            "Файл задаёт единицы мм, формат 3.2, нули в конце опущены: включите «Полное "
            "чтение файла»");
  EXPECT_EQ(hint("%FSLAX23Y23*%\nG54D10*\n"),
            "Файл задаёт формат 2.3: включите «Полное чтение файла»");
}

TEST(FullReadingHint, NothingWhenTheFixedReadingIsRightOrNothingIsDeclared) {
  EXPECT_FALSE(hint("%FSLAX32Y32*%%MOMM*%\nG54D10*\nX100Y100D02*\n"));  // hundredths of a mm
  EXPECT_FALSE(hint("G54D10*\nX100Y100D02*\nX200Y100D01*\nM02*\n"));
  EXPECT_FALSE(hint("M48\nMETRIC\nT1C0.8\n%\nT1\nX1000Y800\nM30\n"));
  EXPECT_FALSE(hint("hello\n"));
  EXPECT_FALSE(full_reading_hint(data("no such file")));
}

TEST(FullReadingHint, DrillFilesByUnitsNumbersAndZeros) {
  EXPECT_EQ(hint("M48\nINCH,TZ\nT1C0.02\n%\nT1\nX100Y100\n"),
            "Файл задаёт единицы дюймы: включите «Полное чтение файла»");
  EXPECT_EQ(hint("M48\nMETRIC\nT1C0.8\n%\nT1\nX1.5Y2.25\n"),
            "Файл задаёт единицы мм, числа с точкой: включите «Полное чтение файла»");
  EXPECT_EQ(hint("M48\nMETRIC,LZ,000.000\nT1C0.8\n%\nT1\nX001500Y002250\n"),
            "Файл задаёт единицы мм, формат 3.3, нули в начале сохранены: включите «Полное "
            "чтение файла»");
  EXPECT_EQ(full_reading_hint(data("drill/eagle_arduino-uno.drd")),
            "Файл задаёт единицы дюймы, формат 2.4: включите «Полное чтение файла»");
  EXPECT_EQ(full_reading_hint(data("gerber/kicad6_project-controller-B_Cu.gbr")),
            "Файл задаёт единицы мм, формат 4.6: включите «Полное чтение файла»");
}

}  // namespace
}  // namespace zor
